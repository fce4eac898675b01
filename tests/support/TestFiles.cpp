#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <random>
#include <sstream>

namespace tess::test {

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("tessellane-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void makeSqliteDb(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

void writeRom(const std::string& path, const std::string& headerText, std::size_t size) {
    std::string rom(size, '\0');
    for (std::size_t i = 0; i < headerText.size() && 0x183 + i < size; ++i) {
        rom[0x183 + i] = headerText[i];
    }
    writeFile(path, rom);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void copyJetFixtures(const std::string& folder) {
    for (const char* name : {"game.mdb", "t00001.mdb", "t00001r1.mdb", "many.mdb"}) {
        std::filesystem::copy_file(std::string(TESS_TEST_DATA) + "/jet/" + name, folder + name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace tess::test
