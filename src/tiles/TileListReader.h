#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tess::tiles {

// The text form of the "White" and "Grey" fields: lines separated by CR LF,
// each "tx,ty,offset" with fields in decimal or "&H" hex; fields after the
// third are ignored. An empty text has no lines, and a text ending in CR LF
// has an empty last line.

// Hands out the lines of a tile list one at a time. It keeps a view of the
// text: the text must outlive it.
class TileListLines {
public:
    explicit TileListLines(std::string_view text) : rest_(text), done_(text.empty()) {}
    bool next(std::string_view& line);

private:
    std::string_view rest_;
    bool done_;
};

// The first three comma-separated fields of a line and how many of them there
// are: an empty line has none, "1,2," has three, the last one empty.
struct TileListFields {
    std::array<std::string_view, 3> field;
    std::size_t count = 0;
};
TileListFields SplitTileListLine(std::string_view line);

// A field as a whole number: 13 when it is no number, 6 beyond 32 bits.
std::int32_t TileListNumber(std::string_view field);

// One line of a tile list: the tile cell and the byte offset of its 32 bytes.
struct TileListEntry {
    std::int32_t tx = 0;
    std::int32_t ty = 0;
    std::int32_t offset = 0;
};

// Reads a tile list one entry at a time, so that a caller handles every line
// before a bad one.
class TileListReader {
public:
    explicit TileListReader(std::string_view text) : lines_(text) {}

    // Parses the next line into `entry` and returns true, or returns false
    // when no line is left. A line with fewer than three fields raises
    // err::SubscriptOutOfRange, a field that is no number err::TypeMismatch, a
    // number beyond 32 bits err::Overflow; the failing line
    // counts as read.
    bool next(TileListEntry& entry);

    // Where the last call to next() stood: the line's number (from 1), and
    // after a failure the field (1 to 3) whose conversion failed, or 0 when
    // the line had too few fields.
    int line() const { return line_; }
    int field() const { return field_; }

private:
    TileListLines lines_;
    int line_ = 0;
    int field_ = 0;
};

}  // namespace tess::tiles
