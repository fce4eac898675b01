// The Jet store on real Access 97 files (tests/data/jet3, every row in index
// order in CONTENT.md, descending keys among them). They are not game
// databases: they hold the page layout, the index shapes and the value types
// the store must read. Seek on them is tested with the Access 2000 files.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "gamedb/Database.h"
#include "gamedb/TextCoding.h"

namespace tess::gamedb {
namespace {

const std::string kJet3 = TESS_TEST_DATA "/jet3/";

struct ExpectedTable {
    std::string file, name;
    std::size_t rowCount = 0;
    std::vector<std::string> keys;               // every row's key, in index order
    std::vector<std::vector<std::string>> rows;  // every row, or only the first ones
    std::vector<bool> byteColumns;
};

// One value of a CONTENT.md row line, up to the " | " that ends it.
std::string nextValue(const std::string& line, std::size_t& at) {
    std::size_t end = at;
    if (line[at] == '"') {
        for (++end; line[end] != '"'; ++end) {
            if (line[end] == '\\') ++end;
        }
        ++end;
    } else {
        end = line.find(" | ", at);
        if (end == std::string::npos) end = line.size();
    }
    std::string value = line.substr(at, end - at);
    at = end + 3;
    return value;
}

std::vector<ExpectedTable> readContent() {
    std::ifstream in(kJet3 + "CONTENT.md");
    const std::regex heading(R"(### (\S+) / (\S+) \((\d+) rows\))");
    const std::regex rowLine(R"(\d+ \d+:\d+: .*)");
    const std::regex columnType(R"(`[^`]+` (\w+))");
    std::vector<ExpectedTable> tables;
    bool fullRows = false;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (line.starts_with("# Appendix")) break;  // other indexes than PrimaryKey
        if (std::regex_match(line, m, heading)) {
            tables.push_back({m[1], m[2], std::stoul(m[3]), {}, {}, {}});
        } else if (line.starts_with("- columns (table order): ")) {
            for (std::sregex_iterator it(line.begin(), line.end(), columnType), end; it != end;
                 ++it) {
                tables.back().byteColumns.push_back((*it)[1] == "BYTE");
            }
        } else if (line == "```") {
            fullRows = false;
        } else if (line.starts_with("# ")) {
            fullRows = true;  // a column header: whole rows follow
        } else if (std::regex_match(line, rowLine)) {
            std::size_t at = line.find(": ") + 2;
            std::vector<std::string> values;
            while (at < line.size()) values.push_back(nextValue(line, at));
            // The notes were written by a Java reader, whose bytes are signed;
            // an Access Byte holds 0 to 255.
            for (std::size_t c = 0; fullRows && c < values.size(); ++c) {
                if (tables.back().byteColumns.at(c) && values[c].starts_with("-")) {
                    values[c] = std::to_string(256 + std::stoi(values[c]));
                }
            }
            if (fullRows) {
                tables.back().rows.push_back(values);
            } else {
                tables.back().keys.push_back(values.at(0));
            }
        }
    }
    return tables;
}

// Quoted CONTENT.md text as UTF-8: \u00XX stands for the code-page byte XX.
std::string unquote(const std::string& quoted) {
    std::string bytes;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] != '\\') {
            bytes += quoted[i];
            continue;
        }
        const char c = quoted[++i];
        if (c == 'u') {  // a byte the code page maps to the same code point
            const auto byte = static_cast<char>(std::stoi(quoted.substr(i + 1, 4), nullptr, 16));
            bytes += Windows1252ToUtf8(std::string(1, byte));
            i += 4;
        } else {
            bytes += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return bytes;
}

// Whether a stored value is the one CONTENT.md writes.
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

class Jet3Content : public ::testing::TestWithParam<std::string> {};

TEST_P(Jet3Content, EveryTableReadsInIndexOrderWithItsValues) {
    const auto db = openDatabase(kJet3 + GetParam());
    int checked = 0;
    for (const ExpectedTable& expected : readContent()) {
        if (expected.file != GetParam()) continue;
        SCOPED_TRACE(expected.name);
        ++checked;
        const Table table = db->loadTable(expected.name);
        ASSERT_EQ(table.rows.size(), expected.rowCount);
        std::string mismatches;
        for (std::size_t r = 0; r < expected.keys.size(); ++r) {
            if (!matches(table.rows[r][table.keyColumn], expected.keys[r])) {
                mismatches += "key " + std::to_string(r) + " != " + expected.keys[r] + "\n";
            }
        }
        for (std::size_t r = 0; r < expected.rows.size(); ++r) {
            ASSERT_EQ(table.rows[r].size(), expected.rows[r].size());
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                if (!matches(table.rows[r][c], expected.rows[r][c])) {
                    mismatches += "row " + std::to_string(r) + " " + table.columns[c] +
                                  " != " + expected.rows[r][c] + "\n";
                }
            }
        }
        EXPECT_EQ(mismatches, "");
    }
    EXPECT_GT(checked, 2);
}

INSTANTIATE_TEST_SUITE_P(Access97, Jet3Content,
                         ::testing::Values("testV1997.mdb", "indexTestV1997.mdb",
                                           "testIndexCodesV1997.mdb"),
                         [](const auto& fixture) {
                             return fixture.param.substr(0, fixture.param.find('.'));
                         });

}  // namespace
}  // namespace tess::gamedb
