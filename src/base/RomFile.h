#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tess {

// Byte access to ROM images and other data files. Each call opens the file,
// does its one read and closes it again. Files are written whole, all or
// nothing (base/FileSystem.h).

// Reads up to out.size() bytes from `offset` into out and returns how many
// the file held; a read that reaches the end of the file stops there and
// leaves the rest of out untouched. Raises tess::fileError when the file
// cannot be opened or read, and err::BadRecordNumber for a negative
// offset.
std::size_t readAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out);

// All the bytes of a file. Raises tess::fileError when it cannot be read.
std::vector<std::uint8_t> readWhole(const std::string& path);

// Creates or replaces a file, all or nothing (writeWholeFile). Raises
// tess::fileError when it cannot be written.
void writeWhole(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tess
