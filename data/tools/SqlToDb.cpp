// Builds an SQLite game database from its SQL text: sqltodb OUT.mdb IN.sql
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sqltodb OUT IN.sql\n";
        return 1;
    }
    std::ifstream in(argv[2]);
    if (!in) {
        std::cerr << "cannot read " << argv[2] << "\n";
        return 1;
    }
    std::stringstream sql;
    sql << in.rdbuf();

    std::remove(argv[1]);  // built afresh, never appended to
    sqlite3* db = nullptr;
    if (sqlite3_open(argv[1], &db) != SQLITE_OK) {
        std::cerr << "cannot create " << argv[1] << ": " << sqlite3_errmsg(db) << "\n";
        sqlite3_close(db);
        return 1;
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.str().c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::cerr << argv[2] << ": " << (error ? error : "error") << "\n";
        sqlite3_free(error);
        sqlite3_close(db);
        std::remove(argv[1]);
        return 1;
    }
    sqlite3_close(db);
    return 0;
}
