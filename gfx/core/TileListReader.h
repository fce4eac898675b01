#pragma once

#include <cstdint>
#include <string_view>

namespace tess::gfx {

// One line of a tile list: the tile cell and the byte offset of its 32 bytes.
struct TileListEntry {
    std::int32_t tx = 0;
    std::int32_t ty = 0;
    std::int32_t offset = 0;
};

// Reads a tile list ("White" and "Grey" fields) one line at a time, so that a
// caller handles every line before a bad one. Lines are separated by CR LF; an
// empty text has no lines, and a text ending in CR LF has an empty last line.
// Each line is "tx,ty,offset" with fields in decimal or "&H" hex; fields
// after the third are ignored. The reader keeps a view of the text: the text
// must outlive it.
class TileListReader {
public:
    explicit TileListReader(std::string_view text);

    // Parses the next line into `entry` and returns true, or returns false
    // when no line is left. A line with fewer than three fields raises 9, a
    // field that is no number 13, a number beyond 32 bits 6; the failing line
    // counts as read.
    bool next(TileListEntry& entry);

    // Where the last call to next() stood: the line's number (from 1), and
    // after a failure the field (1 to 3) whose conversion failed, or 0 when
    // the line had too few fields.
    int line() const { return line_; }
    int field() const { return field_; }

private:
    std::string_view rest_;
    bool done_;
    int line_ = 0;
    int field_ = 0;
};

}  // namespace tess::gfx
