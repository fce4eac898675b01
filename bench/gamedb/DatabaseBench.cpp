// Loading a large game table from each store: many.mdb's SPRITE table (420
// rows, an index over two leaf pages) and the same rows copied into SQLite.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "gamedb/Database.h"

namespace {

using tess::gamedb::openDatabase;
using tess::gamedb::Table;

const std::string kMany = TESS_TEST_DATA "/jet/many.mdb";

void BM_JetOpen(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(openDatabase(kMany));
}
BENCHMARK(BM_JetOpen)->Unit(benchmark::kMicrosecond);

void loadSprites(benchmark::State& state, const std::string& path) {
    const auto db = openDatabase(path);
    std::size_t rows = 0;
    for (auto _ : state) {
        const Table table = db->loadTable("SPRITE");
        rows = table.rows.size();
        benchmark::DoNotOptimize(table.rows.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows),
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void BM_JetLoadSprites(benchmark::State& state) { loadSprites(state, kMany); }
BENCHMARK(BM_JetLoadSprites)->Unit(benchmark::kMicrosecond);

// The same 420 rows in an SQLite file written once from the Jet table.
void BM_SqliteLoadSprites(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tess_bench_" + std::to_string(::getpid()) + ".db");
    const Table source = openDatabase(kMany)->loadTable("SPRITE");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY, Heading INTEGER, Palette INTEGER, "
                 "Width INTEGER, Height INTEGER, White TEXT, Grey TEXT); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO SPRITE VALUES (?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
    for (const auto& row : source.rows) {
        for (int c = 0; c < 7; ++c) {
            const auto& v = row[static_cast<std::size_t>(c)];
            if (v.isNull()) {
                sqlite3_bind_null(insert, c + 1);
            } else {
                sqlite3_bind_text(insert, c + 1, v.text().c_str(), -1, SQLITE_TRANSIENT);
            }
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    loadSprites(state, path.string());
    std::filesystem::remove(path);
}
BENCHMARK(BM_SqliteLoadSprites)->Unit(benchmark::kMicrosecond);

}  // namespace
