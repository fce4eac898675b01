#include "gfx/core/TileListReader.h"

#include <array>
#include <string>

#include "app/core/RuntimeError.h"
#include "gamedb/core/Value.h"

namespace tess::gfx {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::int32_t toLong(std::string_view field) { return gamedb::Value(std::string(field)).toLong(); }

}  // namespace

TileListReader::TileListReader(std::string_view text) : rest_(text), done_(text.empty()) {}

bool TileListReader::next(TileListEntry& entry) {
    if (done_) return false;
    ++line_;
    field_ = 0;
    std::string_view line = rest_;
    if (const auto end = rest_.find(kLineBreak); end != std::string_view::npos) {
        line = rest_.substr(0, end);
        rest_.remove_prefix(end + kLineBreak.size());
    } else {
        done_ = true;
    }

    std::array<std::string_view, 3> fields;
    std::size_t count = 0;
    // An empty line has no fields at all, not one empty field; "1,2," has
    // three, the last one empty.
    if (!line.empty()) {
        while (count < fields.size()) {
            const auto comma = line.find(',');
            fields[count++] = line.substr(0, comma);
            if (comma == std::string_view::npos) break;
            line.remove_prefix(comma + 1);
        }
    }
    if (count < fields.size()) throw subscriptError();

    std::array<std::int32_t, 3> values{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        field_ = static_cast<int>(i) + 1;
        values[i] = toLong(fields[i]);
    }
    entry = {values[0], values[1], values[2]};
    return true;
}

}  // namespace tess::gfx
