// The Jet store against every table of the real Access files, as their notes
// (CONTENT.md) give them: tests/data/jet (Access 2000, the fixture games),
// tests/data/jet3 (Access 97 page layouts, index shapes and value types) and
// tests/data/jet-index-gap (an Access 2000 file whose indexes were deleted).
// Each folder's notes have their own notation; each reader below turns its
// values into one: NULL, a number, "quoted text" with \r, \n, \t, \", \\ and
// \u00XX (a code-page byte) escaped, true / false, or a {GUID}.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "gamedb/Database.h"
#include "gamedb/TextCoding.h"

namespace tess::gamedb {
namespace {

using Strings = std::vector<std::string>;

const std::string kData = TESS_TEST_DATA "/";

struct ExpectedTable {
    std::string file, name;  // file: its path under tests/data
    std::size_t rowCount = 0;
    Strings columns;
    Strings keys;               // every row's key in index order, where the notes list only keys
    std::vector<Strings> rows;  // whole rows from the first on
};

// The values of a row: " | " between them, quoted text read whole.
Strings rowValues(const std::string& line, std::size_t at) {
    Strings values;
    while (at < line.size()) {
        std::size_t end = at;
        if (line[at] == '"') {
            for (++end; line[end] != '"'; ++end) {
                if (line[end] == '\\') ++end;
            }
            ++end;
        } else {
            end = std::min(line.find(" | ", at), line.size());
        }
        values.push_back(line.substr(at, end - at));
        at = end + 3;
    }
    return values;
}

// ---- tests/data/jet: "| # | a | "b \| c" | ... |" lines under "Rows in PrimaryKey order:"

// BIG16x16(b) of the notes: a 16x16 tile list, 32 bytes per tile from b.
std::string big16x16(const std::string& value) {
    const int base = std::stoi(value.substr(9));
    std::string out = "\"";
    for (int tile = 0; tile < 256; ++tile) {
        out += (tile ? "\\r\\n" : "") + std::to_string(tile % 16) + "," +
               std::to_string(tile / 16) + "," + std::to_string(base + 32 * tile);
    }
    const std::size_t unescaped = out.size() - 1 - 255 * 2;  // the quote, "\r\n" as 2 characters
    EXPECT_EQ(unescaped, std::stoul(value.substr(value.find('[') + 1))) << value;
    return out + "\"";
}

void readJet(std::vector<ExpectedTable>& tables) {
    std::ifstream in(kData + "jet/CONTENT.md");
    std::string line, file, table;
    int tableLine = -1;  // line number within a "Rows in PrimaryKey order" table
    while (std::getline(in, line)) {
        if (line.starts_with("## ")) file = "jet/" + line.substr(3, line.find(' ', 3) - 3);
        if (line.starts_with("### Table `")) table = line.substr(11, line.find('`', 11) - 11);
        if (line == "Rows in PrimaryKey order:") {
            tables.push_back({file, table, 0, {}, {}, {}});
            tableLine = 0;
        } else if (tableLine >= 0 && line.starts_with("|")) {
            if (tableLine++ == 1) continue;  // the "|---|" line
            // The values between "| # | " and the closing " |".
            Strings values = rowValues(line.substr(0, line.size() - 2), line.find(" | ") + 3);
            for (std::string& v : values) {
                if (v.starts_with("BIG16x16(")) v = big16x16(v);
            }
            if (tableLine == 1) {
                tables.back().columns = values;
            } else {
                tables.back().rows.push_back(values);
                tables.back().rowCount = tables.back().rows.size();
            }
        } else if (tableLine > 0) {
            tableLine = -1;
        }
    }
}

// ---- tests/data/jet3: "pos rowid: v1 | v2 | ..." lines, whole rows after a "# col | ..." line

void readJet3(std::vector<ExpectedTable>& tables) {
    std::ifstream in(kData + "jet3/CONTENT.md");
    const std::regex heading(R"(### (\S+) / (\S+) \((\d+) rows\))");
    const std::regex rowLine(R"(\d+ \d+:\d+: .*)");
    const std::regex column(R"(`([^`]+)` (\w+))");
    std::vector<bool> byteColumns;
    bool fullRows = false;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (line.starts_with("# Appendix")) break;  // other indexes than PrimaryKey
        if (std::regex_match(line, m, heading)) {
            tables.push_back({"jet3/" + m[1].str(), m[2], std::stoul(m[3]), {}, {}, {}});
        } else if (line.starts_with("- columns (table order): ")) {
            byteColumns.clear();
            for (std::sregex_iterator it(line.begin(), line.end(), column), end; it != end; ++it) {
                tables.back().columns.push_back((*it)[1]);
                byteColumns.push_back((*it)[2] == "BYTE");
            }
        } else if (line == "```") {
            fullRows = false;
        } else if (line.starts_with("# ")) {
            fullRows = true;  // a column header: whole rows follow
        } else if (std::regex_match(line, rowLine)) {
            Strings values = rowValues(line, line.find(": ") + 2);
            if (!fullRows) {
                tables.back().keys.push_back(values.at(0));
                continue;
            }
            // The notes were written by a Java reader, whose bytes are signed;
            // an Access Byte holds 0 to 255.
            for (std::size_t c = 0; c < values.size(); ++c) {
                if (byteColumns.at(c) && values[c].starts_with("-")) {
                    values[c] = std::to_string(256 + std::stoi(values[c]));
                }
            }
            tables.back().rows.push_back(values);
        }
    }
}

// ---- tests/data/jet-index-gap: tab-separated "R" lines of "T:text", "N:number" or "\N"

void readIndexGap(std::vector<ExpectedTable>& tables) {
    std::ifstream in(kData + "jet-index-gap/CONTENT.md");
    std::string line;
    while (std::getline(in, line)) {
        std::stringstream fields(line);
        std::string kind, cell;
        std::getline(fields, kind, '\t');
        if (line.starts_with("=== TABLE ")) {
            tables.push_back(
                {"jet-index-gap/testIndexPropertiesV2000.mdb", line.substr(10), 0, {}, {}, {}});
        } else if (kind == "COLS") {
            while (std::getline(fields, cell, '\t')) tables.back().columns.push_back(cell);
        } else if (kind == "R") {
            Strings row;
            while (std::getline(fields, cell, '\t')) {
                row.push_back(cell == "\\N"            ? "NULL"
                              : cell.starts_with("T:") ? "\"" + cell.substr(2) + "\""
                                                       : cell.substr(2));
            }
            tables.back().rows.push_back(row);
            tables.back().rowCount = tables.back().rows.size();
        }
    }
}

// ---- Values against the notation

// Quoted text as UTF-8: \u00XX stands for the code-page byte XX.
std::string unquote(const std::string& quoted) {
    std::string bytes;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] != '\\') {
            bytes += quoted[i];
            continue;
        }
        const char c = quoted[++i];
        if (c == 'u') {
            const auto byte = static_cast<char>(std::stoi(quoted.substr(i + 1, 4), nullptr, 16));
            bytes += Windows1252ToUtf8(std::string(1, byte));
            i += 4;
        } else {
            bytes += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return bytes;
}

bool matches(const Value& got, const std::string& expected) {
    if (expected == "NULL") return got.isNull();
    if (got.isNull()) return false;
    if (expected.starts_with("\"")) return got.isText() && got.text() == unquote(expected);
    if (expected.starts_with("{")) return got.isText() && got.text() == expected;
    if (expected == "true" || expected == "false") return got == Value(expected == "true" ? -1 : 0);
    if (got.isText()) return false;
    // Dates carry their stored serial in brackets; singles are compared as singles.
    const std::size_t serial = expected.find('[');
    const double want =
        std::stod(serial == std::string::npos ? expected : expected.substr(serial + 1));
    const double have = std::stod(got.text());
    return have == want || static_cast<float>(have) == static_cast<float>(want);
}

const std::vector<ExpectedTable>& expectedTables() {
    static const std::vector<ExpectedTable> tables = [] {
        std::vector<ExpectedTable> all;
        readJet(all);
        readJet3(all);
        readIndexGap(all);
        return all;
    }();
    return tables;
}

// What differs between a table and its notes, a line each.
std::string differences(const Table& table, const ExpectedTable& expected) {
    const std::string in = expected.file + " " + expected.name + ": ";
    if (table.name != expected.name) return in + "read as " + table.name + "\n";
    if (table.columns != expected.columns) return in + "other columns\n";
    if (table.rows.size() != expected.rowCount) {
        return in + std::to_string(table.rows.size()) + " rows\n";
    }
    std::string out;
    for (std::size_t r = 0; r < expected.keys.size(); ++r) {
        if (!matches(table.rows[r][table.keyColumn], expected.keys[r])) {
            out += in + "key " + std::to_string(r) + " != " + expected.keys[r] + "\n";
        }
    }
    for (std::size_t r = 0; r < expected.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            if (!matches(table.rows[r][c], expected.rows[r].at(c))) {
                out += in + "row " + std::to_string(r) + " " + table.columns[c] +
                       " != " + expected.rows[r][c] + "\n";
            }
        }
    }
    return out;
}

// Every table of the eight fixtures reads back in index order with its
// columns and values, and leaves stderr quiet (libmdb reports what it cannot
// parse there).
TEST(JetContent, EveryTableReadsBackAsItsNotesGiveIt) {
    std::string found;
    ::testing::internal::CaptureStderr();
    for (const ExpectedTable& expected : expectedTables()) {
        try {
            found += differences(openDatabase(kData + expected.file)->loadTable(expected.name),
                                 expected);
        } catch (const std::exception& e) {
            found += expected.file + " " + expected.name + ": " + e.what() + "\n";
        }
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(found, "");
    EXPECT_EQ(expectedTables().size(), 55u);  // as many as the notes describe
}

}  // namespace
}  // namespace tess::gamedb
