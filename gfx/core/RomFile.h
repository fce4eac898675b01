#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tess::gfx {

// Byte access to ROM images and other data files. Each call opens the file,
// does its one read or write and closes it again.

// Reads up to out.size() bytes from `offset` into out and returns how many
// the file held; a read that reaches the end of the file stops there and
// leaves the rest of out untouched. Raises tess::fileError when the file
// cannot be opened or read, and "Bad record number" (63) for a negative
// offset.
std::size_t readAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out);

// Writes all of `bytes` at `offset` into an existing file, in place: the file
// is never created, truncated or shortened (a write past its end extends it).
// Raises tess::fileError when the file cannot be opened or written and 63 for
// a negative offset.
void writeAt(const std::string& path, std::int64_t offset, std::span<const std::uint8_t> bytes);

}  // namespace tess::gfx
