#pragma once

// File reads that give why they failed instead of raising, and all-or-nothing
// writes, for callers that word a failure themselves. The reads that raise
// tess::fileError are in RomFile.h.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tess {

// Why a path cannot be read as a file, in the words every front end shows
// after the path: "no such file", "is a folder", "is not a regular file" (a
// device or a FIFO, whose reading may never end), or the system's reason the
// file does not open ("Permission denied").
struct Unreadable {
    enum class Kind { Missing, Folder, NotRegularFile, CannotOpen };
    Kind kind;
    std::string why;
};
// Nothing for a regular file, or a link to one, that opens for reading.
std::optional<Unreadable> whyUnreadable(const std::filesystem::path& path);
// What keeps an existing file of this status from being read or replaced as a
// file (a folder, a device, a FIFO); nothing for a regular file.
std::optional<Unreadable> notRegular(const std::filesystem::file_status& status);

// The file's bytes, or nullopt with the reason in `why` (whyUnreadable's, or a read error).
std::optional<std::vector<uint8_t>> readWholeFile(const std::filesystem::path& path,
                                                  std::string& why);

// Up to `length` bytes of the file from byte `offset` on (fewer where the file
// ends first), or nullopt with the reason in `why`. Only those bytes are read.
std::optional<std::vector<uint8_t>> readFileRange(const std::filesystem::path& path,
                                                  std::uint64_t offset, std::size_t length,
                                                  std::string& why);

// Creates or replaces `path` with exactly `bytes`, all or nothing, flushed to
// the disk (ReplaceFile). An existing `path` that is no regular file is
// refused in whyUnreadable's words. Returns false with the reason in `why`.
bool writeWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                    std::string& why);

}  // namespace tess
