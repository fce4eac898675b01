#pragma once

#include <memory>
#include <string>

#include "base/RuntimeError.h"
#include "gamedb/Table.h"

namespace tess::gamedb {

// An open, read-only game database file.
class Database {
public:
    virtual ~Database() = default;
    // Reads a whole table in "PrimaryKey" order. Raises err::TableNotFound for
    // a missing table and err::IndexNotFound when the table has no "PrimaryKey"
    // index.
    virtual Table loadTable(const std::string& name) = 0;
};

// Opens a Jet (Access) or SQLite file, chosen by the file's signature, not its
// name. Raises err::DatabaseNotFound for a missing file, err::CannotOpenDatabase
// for one that does not open (no right to read it, a folder, a FIFO) and
// err::UnrecognizedDatabase for a file of neither kind or one the engine cannot
// read.
std::unique_ptr<Database> openDatabase(const std::string& path);

// The two stores behind openDatabase. Each raises the same errors as
// openDatabase and loadTable, and err::UnrecognizedDatabase for a damaged file.
std::unique_ptr<Database> openJetDatabase(const std::string& path);
std::unique_ptr<Database> openSqliteDatabase(const std::string& path);

// Raises err::DatabaseNotFound or err::CannotOpenDatabase (see openDatabase)
// unless `path` opens for reading.
void requireReadableDatabase(const std::string& path);

// The engine's errors, worded as Access words them, shared by both stores.
DatabaseError databaseNotFoundError(const std::string& path);
// A file that exists but does not open; `why` is the system's reason.
DatabaseError cannotOpenDatabaseError(const std::string& path, const std::string& why);
DatabaseError tableNotFoundError(const std::string& table);
DatabaseError primaryKeyNotFoundError();
// A file of neither kind, or a damaged one; `why` (optional) says what is wrong.
DatabaseError unrecognizedDatabaseError(const std::string& path, const std::string& why = {});

}  // namespace tess::gamedb
