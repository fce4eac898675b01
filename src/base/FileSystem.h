#pragma once

// The file-system calls that differ between platforms -- flushing to disk,
// replacing a file atomically, following links, telling whether a process
// still runs -- stand here, with one implementation per platform
// (FileSystemPosix.cpp for Linux and macOS): a port replaces that file alone.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tess {

// Whether a replaced file is flushed to the disk before it takes the old
// one's place. Every save flushes; benchmarks measure the flush apart.
enum class Durability { Flushed, Cached };

struct ReplaceOptions {
    Durability durability = Durability::Flushed;
    // Called between the pieces of a long write, so that a window stays
    // responsive while it saves.
    std::function<void()> betweenPieces;
};

// Creates or replaces the file `path` names with exactly `bytes`, all or
// nothing: the bytes go to a new file beside it, which is flushed and then
// renamed over it, and the folder is flushed after the rename. A kill, a full
// disk, a quota or a power cut at any moment leaves the old file or the new
// one, never a mix of both. A symbolic link is written through (its target is
// replaced); a replaced file keeps its permissions, and its owner where the
// process may keep it. An existing `path` that is no regular file (a folder, a
// device, a FIFO) is refused. Half-written files that killed processes left
// beside the target are removed. Returns false with the system's reason in
// `why` (for example "No space left on device"); the file is then as it was.
bool ReplaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                 std::string& why, const ReplaceOptions& options = {});

// Rewrites an existing file all or nothing (see ReplaceFile): reads it whole,
// lets `edit` change its bytes, then replaces the file with them. An
// exception from `edit` leaves the file untouched and passes on. Raises
// tess::fileError, with the system's reason, when the file cannot be read or
// replaced.
void RewriteFile(const std::string& path,
                 const std::function<void(std::vector<std::uint8_t>&)>& edit,
                 const ReplaceOptions& options = {});

// This process's number, and whether process `pid` still runs here: for
// naming temporary files and telling those of dead processes.
long ThisProcess();
bool ProcessRuns(long pid);

}  // namespace tess
