#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <zlib.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "codec/Nemesis.h"

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

std::vector<std::uint8_t> pngFile(const PngContent& png) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto be32 = [](std::vector<std::uint8_t>& to, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            to.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    auto chunk = [&](const char* type, const std::vector<std::uint8_t>& data) {
        be32(out, static_cast<std::uint32_t>(data.size()));
        std::vector<std::uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        out.insert(out.end(), body.begin(), body.end());
        be32(out,
             static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
    };
    std::vector<std::uint8_t> header;
    be32(header, static_cast<std::uint32_t>(png.width));
    be32(header, static_cast<std::uint32_t>(png.height));
    header.insert(header.end(), {static_cast<std::uint8_t>(png.bitDepth),
                                 static_cast<std::uint8_t>(png.colourType), 0, 0, 0});
    chunk("IHDR", header);
    if (!png.plte.empty()) chunk("PLTE", png.plte);
    if (!png.trns.empty()) chunk("tRNS", png.trns);
    // Every scanline with filter type 0 (none) in front.
    const std::size_t rowBytes = png.rows.size() / static_cast<std::size_t>(png.height);
    std::vector<std::uint8_t> raw;
    for (std::size_t y = 0; y < static_cast<std::size_t>(png.height); ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), png.rows.begin() + static_cast<std::ptrdiff_t>(y * rowBytes),
                   png.rows.begin() + static_cast<std::ptrdiff_t>((y + 1) * rowBytes));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    EXPECT_EQ(compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())),
              Z_OK);
    packed.resize(packedSize);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return out;
}

CliRun runCli(const std::string& args) {
    TempDir scratch;
    const std::string errFile = scratch.file("stderr");
    const std::string command =
        std::string(TESS_BIN_DIR) + "/tessellane-cli " + args + " 2>" + quote(errFile);
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buf{};
    while (const std::size_t n = fread(buf.data(), 1, buf.size(), pipe))
        run.out.append(buf.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = readFile(errFile);
    return run;
}

std::string quote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::uint8_t> fixtureBlockData(std::size_t offset, std::size_t tiles) {
    std::vector<std::uint8_t> data(32 * tiles);
    for (std::size_t j = 0; j < data.size(); ++j)
        data[j] = static_cast<std::uint8_t>(5 * j + offset / 256);
    return data;
}

std::string fixtureGameRom(const std::string& header) {
    std::string rom(16384, '\0');
    for (std::size_t i = 4096; i < rom.size(); ++i) rom[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    for (const FixtureBlock& block : kFixtureBlocks) {
        const auto stream =
            codec::encodeNemesis(fixtureBlockData(block.offset, block.tiles)).stream;
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

::testing::AssertionResult sameBytes(const std::vector<std::uint8_t>& actual,
                                     const std::vector<std::uint8_t>& expected) {
    return sameBytes(std::string(actual.begin(), actual.end()),
                     std::string(expected.begin(), expected.end()));
}

::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t first = 0;
    while (first < actual.size() && first < expected.size() && actual[first] == expected[first])
        ++first;
    std::size_t differ = 0;
    for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        differ += actual[i] != expected[i];
    return ::testing::AssertionFailure()
           << actual.size() << " bytes against " << expected.size() << " expected; " << differ
           << " differ, the first at " << first;
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

std::vector<std::uint8_t> bitmapFile(int width, int height, int (*pixel)(int x, int y),
                                     int bitsPerPixel) {
    const int rows = height < 0 ? -height : height;
    const std::size_t stride = static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
    std::vector<std::uint8_t> file(118 + stride * static_cast<std::size_t>(rows), 0);
    auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, 118, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<std::uint32_t>(bitsPerPixel), 2);
    put(34, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(rows)), 4);
    for (int y = 0; y < rows; ++y) {
        const std::size_t row =
            118 + stride * static_cast<std::size_t>(height < 0 ? y : rows - 1 - y);
        for (int x = 0; x < width && bitsPerPixel == 4; ++x) {
            file[row + static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? pixel(x, y) << 4 : pixel(x, y));
        }
    }
    return file;
}

void copyJetFixtures(const std::string& folder) {
    for (const char* name : {"game.mdb", "t00001.mdb", "t00001r1.mdb", "many.mdb"}) {
        std::filesystem::copy_file(std::string(TESS_TEST_DATA) + "/jet/" + name, folder + name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace tess::test
