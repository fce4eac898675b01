// The Jet (Access) store, read through libmdb: Jet 3 (Access 97) and Jet 4
// (Access 2000 to 2003, and the ACE formats that keep its layout).
//
// libmdb (mdbtools 1.0) reads pages, parses table definitions and column
// layouts, cracks a row into its fields and converts Jet 4 text to UTF-8.
// The rest is done here, with bounds checks and loop guards, because
// libmdb's own fall short: its index definitions are looked up by position,
// so a table whose index numbers have a gap (an index was deleted in Access)
// gets the wrong key columns and stderr noise; its index scan
// (mdb_index_find_next) stops after the first leaf page; its table scan
// returns stored order; its Memo reader caps values at its bind size and
// follows page chains unguarded; and its catalog reader parses object
// properties that can exhaust memory on a damaged file.

// mdbtools.h includes glib.h inside extern "C", where glib's C++ templates
// do not compile; including glib.h first makes that inner include a no-op.
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/RuntimeError.h"
#include "gamedb/Database.h"
#include "gamedb/TextCoding.h"

namespace tess::gamedb {
namespace {

// What differs between the two page layouts, beyond the table-definition
// header offsets libmdb knows (MdbFormatConstants).
struct JetLayout {
    std::size_t pageSize;
    // Index pages: next leaf, the entry bitmap (a set bit k ends an entry at
    // firstEntry + k; the map runs up to firstEntry).
    std::size_t nextLeafOffset;
    std::size_t entryMapOffset;
    std::size_t firstEntry;
    // Table definitions: the length field of a column or index name, one
    // real index (its key columns start at realKeysAt), one logical index
    // (the real index it uses, its type).
    std::size_t nameLengthSize;
    std::size_t realIndexSize;
    std::size_t realKeysAt;
    std::size_t logicalIndexSize;
    std::size_t logicalRealNumberAt;
    std::size_t logicalTypeAt;
};
constexpr JetLayout kJet3{2048, 0x0c, 0x16, 0xf8, 1, 39, 0, 20, 4, 19};
constexpr JetLayout kJet4{4096, 0x10, 0x1b, 0x1e0, 2, 52, 4, 28, 8, 23};

constexpr std::uint8_t kDataPage = 0x01;
constexpr std::uint8_t kIndexNodePage = 0x03;
constexpr std::uint8_t kIndexLeafPage = 0x04;
constexpr std::size_t kOwnerOffset = 4;         // data and index pages: the table's definition page
constexpr std::size_t kNextDefinitionPage = 4;  // definition pages: where the definition goes on
constexpr std::size_t kDefinitionContinues = 8;  // ... from this offset of that page
constexpr unsigned kRowStartMask = 0x1fff;
constexpr unsigned kRowDeleted = 0x8000;
constexpr unsigned kRowOverflow = 0x4000;  // the row only points to where it moved
constexpr int kMaxOverflowHops = 4;
constexpr std::size_t kKeyColumnSlots = 10;     // per real index: column number (2), order (1)
constexpr std::size_t kFirstPageAfterKeys = 4;  // the index's usage map comes first
constexpr std::uint8_t kForeignKeyIndex = 2;    // shares another index's pages
// Access allows 255 columns and 32 indexes; more means a damaged definition.
constexpr std::uint32_t kMaxIndexes = 256;
constexpr std::size_t kMaxDefinitionPages = 64;
constexpr std::size_t kLongValueHeader = 12;  // in-row part of a Memo or OLE value
constexpr std::uint32_t kLongValueInline = 0x80000000;
constexpr std::uint32_t kLongValueSinglePage = 0x40000000;

using Bytes = std::span<const std::uint8_t>;

std::uint32_t le16(Bytes b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t le32(Bytes b, std::size_t at) {
    return le16(b, at) | static_cast<std::uint32_t>(le16(b, at + 2)) << 16;
}
std::uint64_t le64(Bytes b, std::size_t at) {
    return le32(b, at) | static_cast<std::uint64_t>(le32(b, at + 4)) << 32;
}
std::uint32_t be24(Bytes b, std::size_t at) { return b[at] << 16 | b[at + 1] << 8 | b[at + 2]; }

// A row's address: data page and row number on it.
struct RowId {
    std::uint32_t page = 0;
    std::uint32_t row = 0;
    auto operator<=>(const RowId&) const = default;
};

// Row pointers in long values and overflow rows: row number in the low byte,
// page number above it.
RowId rowPointer(std::uint32_t value) { return {value >> 8, value & 0xff}; }

struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t size() const { return end - begin; }
};

// A GUID as Access shows it: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, the
// first three groups stored little-endian.
std::string guidText(Bytes b) {
    constexpr std::array<int, 16> order = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string out = "{";
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b[static_cast<std::size_t>(order[i])]);
        out += hex;
    }
    return out + "}";
}

// Owns the libmdb handle and is the only way pages are read. libmdb reports
// failures on stderr and with null results; this checks what it can first
// (signature, version, page numbers) so that bad files get a DatabaseError
// instead of libmdb's noise.
class JetFile {
public:
    explicit JetFile(std::string path) : path_(std::move(path)) {
        requireReadableDatabase(path_);
        std::ifstream in(path_, std::ios::binary);
        std::array<char, 0x15> head{};
        if (!in.read(head.data(), head.size()) || head[0] != 0) damaged("no Jet header");
        const auto version = static_cast<unsigned char>(head[0x14]);
        if (version > MDB_VER_ACCDB_2016) damaged("unknown Jet version");
        layout_ = version == MDB_VER_JET3 ? &kJet3 : &kJet4;
        std::error_code ec;
        const auto size = std::filesystem::file_size(path_, ec);
        if (ec || size < 3 * layout_->pageSize) damaged("file too short");
        pageCount_ = size / layout_->pageSize;

        mdb_.reset(mdb_open(path_.c_str(), MDB_NOFLAGS));
        if (!mdb_ || mdb_->fmt->pg_size != static_cast<ssize_t>(layout_->pageSize)) {
            damaged("cannot open");
        }
    }

    MdbHandle* handle() const { return mdb_.get(); }
    const JetLayout& layout() const { return *layout_; }
    const MdbFormatConstants& format() const { return *mdb_->fmt; }
    bool isJet3() const { return layout_ == &kJet3; }

    [[noreturn]] void damaged(const std::string& why) const {
        throw unrecognizedDatabaseError(path_, why);
    }

    void checkPageNumber(std::uint32_t number) const {
        if (number == 0 || number >= pageCount_) {
            damaged("bad page number " + std::to_string(number));
        }
    }

    // Reads a page into libmdb's spare buffer: valid until the next call.
    Bytes sparePage(std::uint32_t number) const {
        checkPageNumber(number);
        if (mdb_read_alt_pg(mdb_.get(), number) != static_cast<ssize_t>(layout_->pageSize)) {
            damaged("unreadable page " + std::to_string(number));
        }
        return {mdb_->alt_pg_buf, layout_->pageSize};
    }

    // Reads a page into libmdb's main buffer, the one mdb_crack_row works on.
    Bytes mainPage(std::uint32_t number) const {
        checkPageNumber(number);
        if (mdb_read_pg(mdb_.get(), number) != static_cast<ssize_t>(layout_->pageSize)) {
            damaged("unreadable page " + std::to_string(number));
        }
        return {mdb_->pg_buf, layout_->pageSize};
    }

    // Where row `row` lies on a data page; `flags` gets the flag bits of its
    // start offset. Raises for a row the page does not hold.
    Range rowRange(Bytes page, std::uint32_t row, unsigned* flags = nullptr) const {
        const std::size_t countAt = format().row_count_offset;
        const std::uint32_t count = le16(page, countAt);
        if (page[0] != kDataPage || row >= count) damaged("pointer to a missing row");
        const std::uint32_t start = le16(page, countAt + 2 + 2 * row);
        const std::size_t end =
            row == 0 ? page.size() : le16(page, countAt + 2 * row) & kRowStartMask;
        const Range r{start & kRowStartMask, end};
        if (r.begin < countAt + 2 + 2 * count || r.begin >= r.end || r.end > page.size()) {
            damaged("bad row offsets");
        }
        if (flags) *flags = start & ~kRowStartMask;
        return r;
    }

    // Stored text as UTF-8: Jet 3 keeps code-page text, Jet 4 UCS-2 (maybe
    // "Unicode compressed"), which libmdb converts.
    std::string text(Bytes b) const {
        if (isJet3()) return Windows1252ToUtf8({reinterpret_cast<const char*>(b.data()), b.size()});
        if (b.empty()) return {};
        std::string out(b.size() * 3 + 1, '\0');  // worst case: every byte one 3-byte character
        const int n = mdb_unicode2ascii(mdb_.get(), reinterpret_cast<const char*>(b.data()),
                                        b.size(), out.data(), out.size());
        out.resize(static_cast<std::size_t>(n < 0 ? 0 : n));
        return out;
    }

private:
    struct Closer {
        void operator()(MdbHandle* h) const { mdb_close(h); }
    };

    std::string path_;
    const JetLayout* layout_ = &kJet4;
    std::uint64_t pageCount_ = 0;
    std::unique_ptr<MdbHandle, Closer> mdb_;
};

// An index as the table definition gives it: its key columns (positions in
// the table's column list) and its first page.
struct IndexDefinition {
    std::string name;
    std::vector<unsigned> keyColumns;
    std::uint32_t firstPage = 0;
};

// One table read through its definition (libmdb for the columns, here for
// the indexes) and its index and data pages (here).
class TableReader {
public:
    TableReader(const JetFile& file, std::uint32_t definitionPage, const std::string& name)
        : file_(file), owner_(definitionPage) {
        // libmdb trusts the counts in a table definition and loops or allocates
        // by them; bound them first.
        definition_ = definitionBytes(definitionPage);
        const MdbFormatConstants& fmt = file_.format();
        const Bytes def(definition_);
        if (def.size() < fmt.tab_cols_start_offset ||
            le16(def, fmt.tab_num_cols_offset) > MDB_MAX_COLS ||
            le32(def, fmt.tab_num_idxs_offset) > kMaxIndexes ||
            le32(def, fmt.tab_num_ridxs_offset) > kMaxIndexes) {
            file_.damaged("bad definition of table " + name);
        }
        entry_.mdb = file_.handle();
        entry_.object_type = MDB_TABLE;
        entry_.table_pg = definitionPage;
        g_strlcpy(entry_.object_name, name.c_str(), sizeof entry_.object_name);
        def_.reset(mdb_read_table(&entry_));
        if (!def_ || !mdb_read_columns(def_.get())) {
            file_.damaged("bad definition of table " + name);
        }
        fields_.resize(def_->num_cols);
        readIndexes();
    }

    const MdbTableDef& def() const { return *def_; }

    const MdbColumn& column(unsigned i) const {
        return *static_cast<const MdbColumn*>(g_ptr_array_index(def_->columns, i));
    }

    // The column with this name (any case); raises when there is none.
    unsigned columnNumber(const char* name) const {
        for (unsigned i = 0; i < def_->num_cols; ++i) {
            if (g_ascii_strcasecmp(column(i).name, name) == 0) return i;
        }
        file_.damaged("no column " + std::string(name) + " in " + def_->name);
    }

    // The index with this name (any case), or null.
    const IndexDefinition* index(const char* name) const {
        const auto it = std::find_if(indexes_.begin(), indexes_.end(), [&](const auto& index) {
            return g_ascii_strcasecmp(index.name.c_str(), name) == 0;
        });
        return it == indexes_.end() ? nullptr : &*it;
    }

    // The table's rows in index order: descend from the index's first page to
    // its first leaf, then follow the chain of leaves. (An Access 97 node page
    // may not list its last leaf at all; the chain still reaches it.)
    std::vector<RowId> indexOrder(const IndexDefinition& index) const {
        std::set<std::uint32_t> visited;
        Bytes page = indexPage(index.firstPage, visited);
        while (page[0] == kIndexNodePage) {
            const auto entries = indexEntries(page);
            if (entries.empty()) file_.damaged("empty index node");
            // A node entry ends with the page number of its child.
            page = indexPage(be24(page, entries.front().end - 3), visited);
        }
        std::vector<RowId> rows;
        std::set<RowId> seen;
        for (;;) {
            for (const Range& e : indexEntries(page)) {
                // A leaf entry ends with the row's data page (3 bytes) and row number.
                const RowId id{be24(page, e.end - 4), page[e.end - 1]};
                if (!seen.insert(id).second) file_.damaged("index lists a row twice");
                rows.push_back(id);
            }
            const std::uint32_t next = le32(page, file_.layout().nextLeafOffset);
            if (next == 0) return rows;
            page = indexPage(next, visited);
            if (page[0] != kIndexLeafPage) file_.damaged("bad index leaf chain");
        }
    }

    // The values of the given columns of one row.
    std::vector<Value> readRow(RowId id, const std::vector<unsigned>& columns) {
        const Range r = locateRow(id);
        if (mdb_crack_row(def_.get(), static_cast<int>(r.begin), r.size(), fields_.data()) < 0) {
            file_.damaged("bad row on page " + std::to_string(id.page));
        }
        std::vector<Value> values;
        values.reserve(columns.size());
        for (const unsigned c : columns) values.push_back(fieldValue(column(c), fields_[c]));
        return values;
    }

private:
    struct Freer {
        void operator()(MdbTableDef* def) const { mdb_free_tabledef(def); }
    };

    // A definition that outgrows its page goes on from offset 8 of the page
    // its header names; this joins the pieces.
    std::vector<std::uint8_t> definitionBytes(std::uint32_t first) const {
        std::vector<std::uint8_t> out;
        std::set<std::uint32_t> visited;
        for (std::uint32_t number = first; number != 0;) {
            if (!visited.insert(number).second || visited.size() > kMaxDefinitionPages) {
                file_.damaged("table definition pages form a loop");
            }
            const Bytes page = file_.sparePage(number);
            if (page[0] != MDB_PAGE_TABLE) file_.damaged("bad table definition page");
            const std::size_t from = out.empty() ? 0 : kDefinitionContinues;
            out.insert(out.end(), page.begin() + static_cast<std::ptrdiff_t>(from), page.end());
            number = le32(page, kNextDefinitionPage);
        }
        return out;
    }

    // The indexes, read from the definition after the column names: one
    // block per real index (key columns, first page), one per logical index
    // (the real index it uses), then the logical indexes' names. Logical
    // indexes are matched to real ones by the number they store, which
    // keeps its gaps when Access deletes an index.
    void readIndexes() {
        const JetLayout& layout = file_.layout();
        const MdbFormatConstants& fmt = file_.format();
        const Bytes def(definition_);
        const std::size_t realCount = le32(def, fmt.tab_num_ridxs_offset);
        const std::size_t logicalCount = le32(def, fmt.tab_num_idxs_offset);
        const std::size_t columnCount = le16(def, fmt.tab_num_cols_offset);
        std::size_t at = fmt.tab_cols_start_offset + realCount * fmt.tab_ridx_entry_size +
                         columnCount * fmt.tab_col_entry_size;
        const auto need = [&](std::size_t n) {
            if (at + n > def.size())
                file_.damaged(std::string("definition of table ") + def_->name + " cut short");
        };
        const auto name = [&] {
            need(layout.nameLengthSize);
            const std::size_t length = layout.nameLengthSize == 1 ? def[at] : le16(def, at);
            at += layout.nameLengthSize;
            need(length);
            const Bytes text = def.subspan(at, length);
            at += length;
            return text;
        };
        for (std::size_t i = 0; i < columnCount; ++i) name();

        std::vector<IndexDefinition> real(realCount);
        for (IndexDefinition& index : real) {
            need(layout.realIndexSize);
            std::size_t key = at + layout.realKeysAt;
            for (std::size_t slot = 0; slot < kKeyColumnSlots; ++slot, key += 3) {
                const std::uint32_t internal = le16(def, key);
                if (internal == 0xffff) continue;
                index.keyColumns.push_back(columnWithInternalNumber(internal));
            }
            index.firstPage = le32(def, key + kFirstPageAfterKeys);
            at += layout.realIndexSize;
        }
        std::vector<std::uint32_t> uses(logicalCount);
        std::vector<std::uint8_t> types(logicalCount);
        for (std::size_t i = 0; i < logicalCount; ++i) {
            need(layout.logicalIndexSize);
            uses[i] = le32(def, at + layout.logicalRealNumberAt);
            types[i] = def[at + layout.logicalTypeAt];
            at += layout.logicalIndexSize;
        }
        for (std::size_t i = 0; i < logicalCount; ++i) {
            const std::string indexName = file_.text(name());
            // A foreign-key index in the other table of a relationship has no
            // pages of its own here.
            if (types[i] == kForeignKeyIndex && uses[i] >= realCount) continue;
            if (uses[i] >= realCount || real[uses[i]].keyColumns.empty()) {
                file_.damaged("bad definition of index " + indexName);
            }
            indexes_.push_back(real[uses[i]]);
            indexes_.back().name = indexName;
        }
    }

    // The table's column numbers count deleted columns too; keys name them so.
    unsigned columnWithInternalNumber(std::uint32_t internal) const {
        for (unsigned i = 0; i < def_->num_cols; ++i) {
            if (static_cast<std::uint32_t>(column(i).col_num) == internal) return i;
        }
        file_.damaged("index on a missing column of " + std::string(def_->name));
    }

    // Reads an index page of this table into the spare buffer, refusing a page
    // seen before so that a damaged chain cannot loop.
    Bytes indexPage(std::uint32_t number, std::set<std::uint32_t>& visited) const {
        if (!visited.insert(number).second) file_.damaged("index pages form a loop");
        const Bytes page = file_.sparePage(number);
        if ((page[0] != kIndexNodePage && page[0] != kIndexLeafPage) ||
            le32(page, kOwnerOffset) != owner_) {
            file_.damaged("bad index page " + std::to_string(number));
        }
        return page;
    }

    // The entries of an index page, from its entry bitmap.
    std::vector<Range> indexEntries(Bytes page) const {
        const JetLayout& layout = file_.layout();
        std::vector<Range> entries;
        std::size_t begin = layout.firstEntry;
        const std::size_t bits = (layout.firstEntry - layout.entryMapOffset) * 8;
        for (std::size_t bit = 0; bit < bits; ++bit) {
            if (!(page[layout.entryMapOffset + bit / 8] >> (bit % 8) & 1)) continue;
            const std::size_t end = layout.firstEntry + bit;
            // Every entry ends in at least a 4-byte row or page pointer.
            if (end > page.size() || end < begin + 4) file_.damaged("bad index entry");
            entries.push_back({begin, end});
            begin = end;
        }
        return entries;
    }

    // Loads the row's page into the main buffer and returns where the row
    // lies, following the pointer of a row that moved to another page.
    Range locateRow(RowId id) const {
        for (int hop = 0;; ++hop) {
            const Bytes page = file_.mainPage(id.page);
            if (le32(page, kOwnerOffset) != owner_) file_.damaged("index points outside its table");
            unsigned flags = 0;
            const Range r = file_.rowRange(page, id.row, &flags);
            // The target of a moved row is marked deleted; only the index's own row must be live.
            if (hop == 0 && (flags & kRowDeleted)) file_.damaged("index points to a deleted row");
            if (!(flags & kRowOverflow)) return r;
            if (hop == kMaxOverflowHops || r.size() < 4) file_.damaged("bad overflow row");
            id = rowPointer(le32(page, r.begin));
        }
    }

    Value fieldValue(const MdbColumn& col, const MdbField& field) const {
        // Jet keeps a Yes/No value in the row's null bit; Yes is -1 as in Access.
        if (col.col_type == MDB_BOOL) return Value(field.is_null ? 0 : -1);
        if (field.is_null) return Value();
        // mdb_crack_row checks where a field ends but not that it ends after it starts.
        if (field.siz < 0 || (field.siz > 0 && !field.value)) file_.damaged("bad field bounds");
        const Bytes b(static_cast<const std::uint8_t*>(field.value),
                      static_cast<std::size_t>(field.siz));
        const auto need = [&](std::size_t n) {
            if (b.size() < n) file_.damaged("short field " + std::string(col.name));
        };
        switch (col.col_type) {
            case MDB_BYTE: need(1); return Value(std::int64_t{b[0]});
            case MDB_INT:
                need(2);
                return Value(std::int64_t{static_cast<std::int16_t>(le16(b, 0))});
            case MDB_LONGINT:
            case MDB_COMPLEX:
                need(4);
                return Value(std::int64_t{static_cast<std::int32_t>(le32(b, 0))});
            case MDB_MONEY:  // a 64-bit count of ten-thousandths
                need(8);
                return Value(static_cast<double>(static_cast<std::int64_t>(le64(b, 0))) / 10000.0);
            case MDB_FLOAT: need(4); return Value(double{std::bit_cast<float>(le32(b, 0))});
            case MDB_DOUBLE:
            case MDB_DATETIME:  // days since 1899-12-30
                need(8);
                return Value(std::bit_cast<double>(le64(b, 0)));
            case MDB_TEXT: return Value(file_.text(b));
            case MDB_MEMO: return Value(file_.text(longValue(b)));
            case MDB_OLE: {
                const auto data = longValue(b);
                return Value(std::string(data.begin(), data.end()));
            }
            case MDB_REPID: need(16); return Value(guidText(b));
            case MDB_NUMERIC: {
                need(17);
                const std::unique_ptr<char, decltype(&g_free)> text(
                    mdb_numeric_to_string(file_.handle(), field.start, col.col_scale, col.col_prec),
                    g_free);
                return Value(text ? std::string(text.get()) : std::string());
            }
            default:  // binary: its bytes
                return Value(std::string(b.begin(), b.end()));
        }
    }

    // The bytes of a Memo or OLE value: kept in the row, in one row of a
    // long-value page, or in a chain of such rows each starting with a
    // pointer to the next.
    std::vector<std::uint8_t> longValue(Bytes field) const {
        if (field.empty()) return {};  // the empty text
        if (field.size() < kLongValueHeader) file_.damaged("bad long value");
        const std::uint32_t head = le32(field, 0);
        const std::size_t length = head & ~(kLongValueInline | kLongValueSinglePage);
        if (head & kLongValueInline) {
            if (length > field.size() - kLongValueHeader) file_.damaged("bad long value");
            const auto data = field.subspan(kLongValueHeader, length);
            return {data.begin(), data.end()};
        }
        std::vector<std::uint8_t> out;
        std::set<RowId> visited;
        RowId id = rowPointer(le32(field, 4));
        while (out.size() < length) {
            if (!visited.insert(id).second) file_.damaged("long value pages form a loop");
            const Bytes page = file_.sparePage(id.page);
            const Range r = file_.rowRange(page, id.row);
            std::size_t begin = r.begin;
            if (head & kLongValueSinglePage) {
                if (r.size() < length) file_.damaged("long value cut short");
            } else {
                if (r.size() <= 4) file_.damaged("bad long value chain");
                id = rowPointer(le32(page, r.begin));
                begin += 4;
            }
            const std::size_t take = std::min(r.end - begin, length - out.size());
            out.insert(out.end(), page.begin() + static_cast<std::ptrdiff_t>(begin),
                       page.begin() + static_cast<std::ptrdiff_t>(begin + take));
        }
        return out;
    }

    const JetFile& file_;
    std::uint32_t owner_;  // the definition page, which data and index pages name
    std::vector<std::uint8_t> definition_;
    MdbCatalogEntry entry_{};
    std::unique_ptr<MdbTableDef, Freer> def_;
    std::vector<IndexDefinition> indexes_;
    std::vector<MdbField> fields_;
};

class JetDatabase final : public Database {
public:
    explicit JetDatabase(std::string path) : file_(std::move(path)) { readCatalog(); }

    Table loadTable(const std::string& name) override {
        const auto it = std::find_if(tables_.begin(), tables_.end(), [&](const CatalogEntry& t) {
            return g_ascii_strcasecmp(t.name.c_str(), name.c_str()) == 0;
        });
        if (it == tables_.end()) throw tableNotFoundError(name);
        TableReader reader(file_, it->definitionPage, it->name);
        const IndexDefinition* primaryKey = reader.index("PrimaryKey");
        if (!primaryKey) throw primaryKeyNotFoundError();

        Table table;
        table.name = it->name;
        std::vector<unsigned> all;
        for (unsigned i = 0; i < reader.def().num_cols; ++i) {
            table.columns.emplace_back(reader.column(i).name);
            all.push_back(i);
        }
        table.keyColumn = primaryKey->keyColumns.front();
        for (const RowId id : reader.indexOrder(*primaryKey)) {
            table.rows.push_back(reader.readRow(id, all));
        }
        return table;
    }

private:
    struct CatalogEntry {
        std::string name;
        std::uint32_t definitionPage;
    };

    // Lists the tables from the system table MSysObjects, read through its
    // "Id" index like any other table. (libmdb's mdb_read_catalog also parses
    // every object's properties, which runs out of memory on damaged files.)
    void readCatalog() {
        constexpr std::uint32_t kCatalogDefinitionPage = 2;
        TableReader objects(file_, kCatalogDefinitionPage, "MSysObjects");
        const IndexDefinition* byId = objects.index("Id");
        if (!byId) file_.damaged("no catalog index");
        const std::vector<unsigned> columns{
            objects.columnNumber("Id"), objects.columnNumber("Name"), objects.columnNumber("Type")};
        for (const RowId id : objects.indexOrder(*byId)) {
            const auto row = objects.readRow(id, columns);
            if (!row[0].isNumber() || !row[1].isText() || !row[2].isNumber()) continue;
            if ((row[2].toLong() & 0x7f) != MDB_TABLE) continue;
            tables_.push_back(
                {row[1].text(), static_cast<std::uint32_t>(row[0].toLong()) & 0xffffff});
        }
    }

    JetFile file_;
    std::vector<CatalogEntry> tables_;
};

}  // namespace

std::unique_ptr<Database> openJetDatabase(const std::string& path) {
    return std::make_unique<JetDatabase>(path);
}

}  // namespace tess::gamedb
