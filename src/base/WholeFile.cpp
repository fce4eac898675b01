#include "base/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <system_error>

namespace tess {
namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel allows

// A name beside the destination that no other writer in this process or another uses at the
// same moment: leading dot, the destination's name, a per-process counter and the clock.
fs::path temporaryBeside(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = "." + path.filename().string() + ".part" + std::to_string(counter++) +
                             "-" + std::to_string(ticks);
    return path.parent_path() / name;
}

// The file a path writes to: the path itself, or the end of its chain of links.
std::optional<fs::path> linkTarget(fs::path path, std::string& why) {
    for (int hop = 0;; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(path, error)) return path;
        if (hop == kMaxLinkHops) {
            why = std::strerror(ELOOP);
            return std::nullopt;
        }
        const fs::path link = fs::read_symlink(path, error);
        if (error) {
            why = error.message();
            return std::nullopt;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
}

// What keeps an existing file of this status from being read or replaced as a file.
std::optional<Unreadable> notRegular(const fs::file_status& status) {
    if (fs::is_directory(status)) return Unreadable{Unreadable::Kind::Folder, "is a folder"};
    if (!fs::is_regular_file(status)) {
        return Unreadable{Unreadable::Kind::NotRegularFile, "is not a regular file"};
    }
    return std::nullopt;
}

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

// Writes all of `bytes` to `fd`, then flushes them to the disk.
bool writeAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return ::fsync(fd) == 0;
}

}  // namespace

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
    if (path.empty() || path.filename().empty()) {
        why = "no file name";
        return false;
    }
    const auto target = linkTarget(path, why);
    if (!target) return false;
    std::error_code error;
    const fs::file_status status = fs::status(*target, error);
    mode_t mode = 0666;  // less the umask, as for any new file
    const bool replacing = fs::exists(status);
    if (replacing) {
        if (const auto fault = notRegular(status)) {
            why = fault->why;
            return false;
        }
        mode = static_cast<mode_t>(status.permissions() & fs::perms::mask);
    }

    const fs::path temporary = temporaryBeside(*target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    // A replaced file keeps its permissions, which the umask may not allow.
    bool ok = (!replacing || ::fchmod(fd, mode) == 0) && writeAll(fd, bytes);
    int failure = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        why = std::strerror(failure);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), target->c_str()) != 0) {
        why = std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tess
