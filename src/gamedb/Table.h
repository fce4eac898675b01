#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "gamedb/Value.h"

namespace tess::gamedb {

// A whole table read into memory, rows in the order of its "PrimaryKey" index.
struct Table {
    std::string name;
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;
    std::size_t keyColumn = 0;  // the column "PrimaryKey" is on
};

// One row as it stood when it was read, kept apart from the cursor, which
// moves on: its fields read, convert and fail as the cursor's do.
class TableRow {
public:
    TableRow() = default;
    TableRow(std::vector<std::string> columns, std::vector<Value> values)
        : columns_(std::move(columns)), values_(std::move(values)) {}

    // Raises err::ItemNotFound for an unknown field.
    const Value& field(const std::string& name) const;

private:
    std::vector<std::string> columns_;
    std::vector<Value> values_;
};

// The cursor every part of the program reads tables through: counted scans in
// index order, field reads on the current row and seek "=" on the index.
class TableCursor {
public:
    explicit TableCursor(Table table);

    const std::string& name() const { return table_.name; }
    int rowCount() const { return static_cast<int>(table_.rows.size()); }
    void moveFirst() { pos_ = 0; }
    // Moving past the end is allowed once; a further move raises err::NoCurrentRecord.
    void moveNext();
    bool eof() const { return pos_ >= table_.rows.size(); }

    // Reads a named field of the current row (names compare case-insensitively).
    // Raises err::ItemNotFound for an unknown field and err::NoCurrentRecord
    // when the cursor stands past the last row.
    const Value& field(const std::string& name) const;
    // The current row, to read after the cursor has moved on; raises
    // err::NoCurrentRecord past the last row.
    TableRow currentRow() const;

    // Seek "=": positions on the first row, in index order, whose key equals
    // the given one (text keys compare case-insensitively, number keys as
    // numbers). Afterwards eof() tells whether no row matched.
    void seek(const Value& key);

private:
    Table table_;
    std::size_t pos_ = 0;
};

// The counted scan the game tables are read with: calls row(table) on each row
// in index order, then moves the table back to its first row.
template <class Row>
void ScanRows(TableCursor& table, Row&& row) {
    table.moveFirst();
    const int rows = table.rowCount();
    for (int i = 1; i <= rows; ++i) {
        row(table);
        table.moveNext();
    }
    table.moveFirst();
}

}  // namespace tess::gamedb
