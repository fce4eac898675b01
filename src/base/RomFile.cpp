#include "base/RomFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/RuntimeError.h"
#include "base/WholeFile.h"

namespace tess {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

RuntimeError badRecordNumber() { return {err::BadRecordNumber, "Bad record number"}; }

}  // namespace

std::size_t readAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) {
    if (offset < 0) throw badRecordNumber();
    File file(std::fopen(path.c_str(), "rb"));
    if (!file || fseeko(file.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
        throw fileError(path);
    }
    const std::size_t got = std::fread(out.data(), 1, out.size(), file.get());
    // A short read is the end of the file; an error (a folder, a failing
    // disk) must not pass for one.
    if (got < out.size() && std::ferror(file.get())) throw fileError(path);
    return got;
}

std::vector<std::uint8_t> readWhole(const std::string& path) {
    std::string why;
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, why);
    if (!bytes) throw fileError(path);
    return std::move(*bytes);
}

void writeAt(const std::string& path, std::int64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset < 0) throw badRecordNumber();
    FileWriter file(path);
    file.writeAt(offset, bytes);
    file.close();
}

FileWriter::FileWriter(const std::string& path) : path_(path) {
    // O_RDWR without O_CREAT or O_TRUNC: an existing file, changed in place.
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        throw fileError(path);
    }
    size_ = info.st_size;
}

FileWriter::~FileWriter() {
    if (fd_ >= 0) ::close(fd_);
}

void FileWriter::writeAt(std::int64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset < 0) throw badRecordNumber();
    if (fd_ < 0) throw fileError(path_);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw fileError(path_);
        done += static_cast<std::size_t>(n);
    }
}

void FileWriter::close() {
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0) throw fileError(path_);
}

}  // namespace tess
