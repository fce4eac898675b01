#include "base/WholeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "base/FileSystem.h"

namespace tess {
namespace fs = std::filesystem;

namespace {

// Opens `path` for reading into `in`. A folder is refused by name (a stream
// opens one without complaint, and only its reads fail), and so is a FIFO or
// a device, whose reading may never end.
bool openForReading(const fs::path& path, std::ifstream& in, std::string& why) {
    if (const auto unreadable = whyUnreadable(path)) {
        why = unreadable->why;
        return false;
    }
    in.open(path, std::ios::binary);
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

std::optional<Unreadable> notRegular(const fs::file_status& status) {
    if (fs::is_directory(status)) return Unreadable{Unreadable::Kind::Folder, "is a folder"};
    if (!fs::is_regular_file(status)) {
        return Unreadable{Unreadable::Kind::NotRegularFile, "is not a regular file"};
    }
    return std::nullopt;
}

std::optional<Unreadable> whyUnreadable(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    using Kind = Unreadable::Kind;
    // Not found covers a path through a folder that is missing or is a file.
    if (status.type() == fs::file_type::not_found) return Unreadable{Kind::Missing, "no such file"};
    if (error) return Unreadable{Kind::CannotOpen, error.message()};
    if (auto fault = notRegular(status)) return fault;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Unreadable{Kind::CannotOpen, std::strerror(errno)};
    ::close(fd);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> readWholeFile(const fs::path& path, std::string& why) {
    std::ifstream in;
    if (!openForReading(path, in, why)) return std::nullopt;
    std::vector<uint8_t> bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(reinterpret_cast<char*>(bytes.data()), size);
    }
    if (size < 0 || !in) {
        why = "read error";
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> readFileRange(const fs::path& path, std::uint64_t offset,
                                                  std::size_t length, std::string& why) {
    std::ifstream in;
    if (!openForReading(path, in, why)) return std::nullopt;
    std::vector<uint8_t> bytes(length);
    in.seekg(static_cast<std::streamoff>(offset));
    if (in) in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    if (in.bad()) {
        why = "read error";
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

bool writeWholeFile(const fs::path& path, std::span<const uint8_t> bytes, std::string& why) {
    return ReplaceFile(path, bytes, why);
}

}  // namespace tess
