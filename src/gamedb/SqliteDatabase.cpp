// The SQLite store: the same tables as the Jet files, read-only, with the
// table's declared primary key standing in for the index "PrimaryKey".
//
// Rows are put in key order here, text in Access's order, rather than by an
// ORDER BY with a collation: a collation SQLite lacks would have to be stored
// in the file, and then ordinary SQLite tools could no longer edit it. The
// tables are small.
#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "gamedb/AccessText.h"
#include "gamedb/Database.h"

namespace tess::gamedb {
namespace {

std::string quoteIdentifier(const std::string& name) {
    std::string out = "\"";
    for (const char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// Owns the connection and its statements; every SQLite failure becomes a
// DatabaseError carrying SQLite's own message.
class SqliteFile {
public:
    using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

    explicit SqliteFile(std::string path) : path_(std::move(path)) {
        requireReadableDatabase(path_);
        sqlite3* db = nullptr;
        const int rc = sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        db_.reset(db);
        if (rc != SQLITE_OK) fail();
        // Opening is lazy: reading the schema is what finds a file that is no database.
        step(prepare("SELECT count(*) FROM sqlite_master"));
    }

    Statement prepare(const std::string& sql) const {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) fail();
        return Statement(stmt, sqlite3_finalize);
    }

    void bind(const Statement& stmt, int index, const std::string& text) const {
        if (sqlite3_bind_text(stmt.get(), index, text.c_str(), -1, SQLITE_TRANSIENT) != SQLITE_OK) {
            fail();
        }
    }

    // Advances to the next row; false when there is none.
    bool step(const Statement& stmt) const {
        const int rc = sqlite3_step(stmt.get());
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }

private:
    [[noreturn]] void fail() const {
        throw unrecognizedDatabaseError(path_, db_ ? sqlite3_errmsg(db_.get()) : "out of memory");
    }

    std::string path_;
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db_{nullptr, sqlite3_close};
};

std::string columnText(sqlite3_stmt* stmt, int col) {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, col));
    return data ? std::string(data, static_cast<std::size_t>(sqlite3_column_bytes(stmt, col)))
                : std::string();
}

Value columnValue(sqlite3_stmt* stmt, int col) {
    switch (sqlite3_column_type(stmt, col)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_column_int64(stmt, col)));
        case SQLITE_FLOAT: return Value(sqlite3_column_double(stmt, col));
        case SQLITE_NULL: return Value();
        default:  // TEXT, and BLOB as the text of its bytes
            return Value(columnText(stmt, col));
    }
}

// Key order as an Access index keeps it: no value first, then numbers, then
// text.
int compareKeys(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return static_cast<int>(b.isNull()) - static_cast<int>(a.isNull());
    if (a.isText() != b.isText()) return a.isText() ? 1 : -1;
    if (a.isText()) return CompareAccessText(a.text(), b.text());
    const double x = parseNumberText(a.text()), y = parseNumberText(b.text());
    return x < y ? -1 : x > y ? 1 : 0;
}

class SqliteDatabase final : public Database {
public:
    explicit SqliteDatabase(std::string path) : file_(std::move(path)) {}

    Table loadTable(const std::string& name) override {
        // Table names compare without case, as in Access.
        const auto find = file_.prepare(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
        file_.bind(find, 1, name);
        if (!file_.step(find)) throw tableNotFoundError(name);
        Table table;
        table.name = columnText(find.get(), 0);

        const auto keys =
            file_.prepare("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk");
        file_.bind(keys, 1, table.name);
        std::vector<std::string> keyNames;
        while (file_.step(keys)) keyNames.push_back(columnText(keys.get(), 0));
        if (keyNames.empty()) throw primaryKeyNotFoundError();

        const auto rows = file_.prepare("SELECT * FROM " + quoteIdentifier(table.name));
        const int count = sqlite3_column_count(rows.get());
        std::vector<std::size_t> keyColumns(keyNames.size());
        for (int c = 0; c < count; ++c) {
            table.columns.emplace_back(sqlite3_column_name(rows.get(), c));
            const auto key = std::find(keyNames.begin(), keyNames.end(), table.columns.back());
            if (key != keyNames.end()) {
                keyColumns[static_cast<std::size_t>(key - keyNames.begin())] =
                    static_cast<std::size_t>(c);
            }
        }
        table.keyColumn = keyColumns.front();
        while (file_.step(rows)) {
            auto& row = table.rows.emplace_back();
            row.reserve(static_cast<std::size_t>(count));
            for (int c = 0; c < count; ++c) row.push_back(columnValue(rows.get(), c));
        }
        std::stable_sort(table.rows.begin(), table.rows.end(), [&](const auto& a, const auto& b) {
            for (const std::size_t c : keyColumns) {
                if (const int order = compareKeys(a[c], b[c])) return order < 0;
            }
            return false;
        });
        return table;
    }

private:
    SqliteFile file_;
};

}  // namespace

std::unique_ptr<Database> openSqliteDatabase(const std::string& path) {
    return std::make_unique<SqliteDatabase>(path);
}

}  // namespace tess::gamedb
