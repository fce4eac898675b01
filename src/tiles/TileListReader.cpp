#include "tiles/TileListReader.h"

#include <string>

#include "base/RuntimeError.h"
#include "gamedb/Value.h"

namespace tess::tiles {

constexpr std::string_view kLineBreak = "\r\n";

bool TileListLines::next(std::string_view& line) {
    if (done_) return false;
    line = rest_;
    if (const auto end = rest_.find(kLineBreak); end != std::string_view::npos) {
        line = rest_.substr(0, end);
        rest_.remove_prefix(end + kLineBreak.size());
    } else {
        done_ = true;
    }
    return true;
}

TileListFields SplitTileListLine(std::string_view line) {
    TileListFields fields;
    if (line.empty()) return fields;
    while (fields.count < fields.field.size()) {
        const auto comma = line.find(',');
        fields.field[fields.count++] = line.substr(0, comma);
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
    }
    return fields;
}

std::int32_t TileListNumber(std::string_view field) {
    return gamedb::Value(std::string(field)).toLong();
}

bool TileListReader::next(TileListEntry& entry) {
    std::string_view line;
    if (!lines_.next(line)) return false;
    ++line_;
    field_ = 0;
    const TileListFields fields = SplitTileListLine(line);
    if (fields.count < fields.field.size()) throw subscriptError();
    std::array<std::int32_t, 3> values{};
    for (std::size_t i = 0; i < fields.field.size(); ++i) {
        field_ = static_cast<int>(i) + 1;
        values[i] = TileListNumber(fields.field[i]);
    }
    entry = {values[0], values[1], values[2]};
    return true;
}

}  // namespace tess::tiles
