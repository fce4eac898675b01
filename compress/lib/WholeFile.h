#pragma once

// Whole-file reads and all-or-nothing writes for the compression entry points.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tess::compress {

// The file's bytes, or nullopt with the reason in `why` (missing, a folder, unreadable).
std::optional<std::vector<uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                  std::string& why);

// Creates or replaces `path` with exactly `bytes`. The bytes go to a temporary file in the same
// folder that is then renamed over `path`, so a failure at any step leaves either the old file
// or none, never a partial one. Returns false with the reason in `why`.
bool writeWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                    std::string& why);

}  // namespace tess::compress
