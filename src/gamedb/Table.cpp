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

// Where the named column stands (names compare case-insensitively); raises
// "Item not found in this collection." when no column has that name.
std::size_t columnIndex(const std::vector<std::string>& columns, const std::string& name) {
    const auto it = std::find_if(columns.begin(), columns.end(),
                                 [&](const std::string& c) { return EqualsIgnoringCase(c, name); });
    if (it == columns.end()) {
        throw DatabaseError(err::ItemNotFound, "Item not found in this collection.");
    }
    return static_cast<std::size_t>(it - columns.begin());
}

DatabaseError noCurrentRecord() { return {err::NoCurrentRecord, "No current record."}; }

}  // namespace

const Value& TableRow::field(const std::string& name) const {
    return values_[columnIndex(columns_, name)];
}

TableCursor::TableCursor(Table table) : table_(std::move(table)) {}

void TableCursor::moveNext() {
    if (eof()) throw noCurrentRecord();
    ++pos_;
}

const Value& TableCursor::field(const std::string& name) const {
    const std::size_t column = columnIndex(table_.columns, name);
    if (eof()) throw noCurrentRecord();
    return table_.rows[pos_][column];
}

TableRow TableCursor::currentRow() const {
    if (eof()) throw noCurrentRecord();
    return {table_.columns, table_.rows[pos_]};
}

void TableCursor::seek(const Value& key) {
    const auto& rows = table_.rows;
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const std::vector<Value>& row) {
        return keyEquals(row[table_.keyColumn], key);
    });
    pos_ = static_cast<std::size_t>(it - rows.begin());
}

}  // namespace tess::gamedb
