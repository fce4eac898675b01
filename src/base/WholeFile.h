#pragma once

// File reads and all-or-nothing writes for the compression entry points and
// the command line.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tess {

// The file's bytes, or nullopt with the reason in `why` (missing, a folder, unreadable).
std::optional<std::vector<uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                  std::string& why);

// Up to `length` bytes of the file from byte `offset` on (fewer where the file
// ends first), or nullopt with the reason in `why`. Only those bytes are read.
std::optional<std::vector<uint8_t>> readFileRange(const std::filesystem::path& path,
                                                  std::uint64_t offset, std::size_t length,
                                                  std::string& why);

// Creates or replaces `path` with exactly `bytes`, all or nothing, flushed to
// the disk (ReplaceFile). Returns false with the reason in `why`.
bool writeWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                    std::string& why);

}  // namespace tess
