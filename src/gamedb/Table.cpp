#include "gamedb/Table.h"

#include <algorithm>

#include "base/RuntimeError.h"
#include "gamedb/AccessText.h"

namespace tess::gamedb {
namespace {

bool keyEquals(const Value& stored, const Value& wanted) {
    if (stored.isNull() || wanted.isNull()) return false;
    if (stored.isText()) return EqualsIgnoringCase(stored.text(), wanted.text());
    try {
        return parseNumberText(stored.text()) == parseNumberText(wanted.text());
    } catch (const RuntimeError&) {
        return false;  // text that is no number never equals a number key
    }
}

}  // namespace

TableCursor::TableCursor(Table table) : table_(std::move(table)) {}

void TableCursor::moveNext() {
    if (eof()) throw DatabaseError(err::NoCurrentRecord, "No current record.");
    ++pos_;
}

const Value& TableCursor::field(const std::string& name) const {
    const auto& cols = table_.columns;
    const auto it = std::find_if(cols.begin(), cols.end(),
                                 [&](const std::string& c) { return EqualsIgnoringCase(c, name); });
    if (it == cols.end())
        throw DatabaseError(err::ItemNotFound, "Item not found in this collection.");
    if (eof()) throw DatabaseError(err::NoCurrentRecord, "No current record.");
    return table_.rows[pos_][static_cast<std::size_t>(it - cols.begin())];
}

void TableCursor::seek(const Value& key) {
    const auto& rows = table_.rows;
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const std::vector<Value>& row) {
        return keyEquals(row[table_.keyColumn], key);
    });
    pos_ = static_cast<std::size_t>(it - rows.begin());
}

}  // namespace tess::gamedb
