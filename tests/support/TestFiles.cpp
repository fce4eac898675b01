#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <random>
#include <sstream>

#include "compress/codec/Nemesis.h"

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

TempFile::TempFile(const std::vector<std::uint8_t>& bytes) : path_(dir_.file("file.bin")) {
    writeBytes(path_, bytes);
}

std::vector<std::uint8_t> TempFile::bytes() const { return readBytes(path_); }

std::size_t TempDir::entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                  std::filesystem::directory_iterator()));
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

std::vector<std::uint8_t> fixtureBlockData(std::size_t offset, std::size_t tiles) {
    std::vector<std::uint8_t> data(32 * tiles);
    for (std::size_t j = 0; j < data.size(); ++j) data[j] = static_cast<std::uint8_t>(5 * j + offset / 256);
    return data;
}

std::string fixtureGameRom(const std::string& header) {
    std::string rom(16384, '\0');
    for (std::size_t i = 4096; i < rom.size(); ++i) rom[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    for (const FixtureBlock& block : kFixtureBlocks) {
        const auto stream = compress::encodeNemesis(fixtureBlockData(block.offset, block.tiles)).stream;
        rom.replace(block.offset, stream.size(), std::string(stream.begin(), stream.end()));
    }
    for (std::size_t e = 0; e < 16; ++e) {
        rom[7680 + 2 * e] = static_cast<char>(e > 7 ? 0x0E : 0x02);
        rom[7681 + 2 * e] = static_cast<char>((2 * (e % 8)) << 4);
        rom[7712 + 2 * e] = 0x00;
        rom[7713 + 2 * e] = static_cast<char>(2 * (e % 8));
    }
    rom.replace(0x183, header.size(), header);
    return rom;
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

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    const std::string content = readFile(path.string());
    return {content.begin(), content.end()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    writeFile(path.string(), std::string(bytes.begin(), bytes.end()));
}

void copyJetFixtures(const std::string& folder) {
    for (const char* name : {"game.mdb", "t00001.mdb", "t00001r1.mdb", "many.mdb"}) {
        std::filesystem::copy_file(std::string(TESS_TEST_DATA) + "/jet/" + name, folder + name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace tess::test
