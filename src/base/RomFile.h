#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tess {

// Byte access to ROM images and other data files. Each call opens the file,
// does its one read or write and closes it again.

// Reads up to out.size() bytes from `offset` into out and returns how many
// the file held; a read that reaches the end of the file stops there and
// leaves the rest of out untouched. Raises tess::fileError when the file
// cannot be opened or read, and err::BadRecordNumber for a negative
// offset.
std::size_t readAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out);

// Writes all of `bytes` at `offset` into an existing file, in place: the file
// is never created, truncated or shortened (a write past its end extends it).
// Raises tess::fileError when the file cannot be opened or written and err::BadRecordNumber for
// a negative offset.
void writeAt(const std::string& path, std::int64_t offset, std::span<const std::uint8_t> bytes);

// All the bytes of a file. Raises tess::fileError when it cannot be read.
std::vector<std::uint8_t> readWhole(const std::string& path);

// An existing file opened once for several positioned writes in place: it is
// never created or truncated. Every failure raises tess::fileError, a short
// write included, so that no write can pass for done when it was not. The file
// is closed by close(), which reports a failing close, or by the destructor.
class FileWriter {
public:
    explicit FileWriter(const std::string& path);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // The file's length in bytes when it was opened.
    std::int64_t size() const { return size_; }
    // Writes all of `bytes` at `offset` (63 for a negative offset).
    void writeAt(std::int64_t offset, std::span<const std::uint8_t> bytes);
    void close();

private:
    std::string path_;
    int fd_ = -1;
    std::int64_t size_ = 0;
};

}  // namespace tess
