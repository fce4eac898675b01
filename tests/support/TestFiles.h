#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tess::test {

// A fresh folder under the system's temp folder, removed again at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // The folder as the program forms database paths from it: with a separator.
    std::string folder() const { return path_.string() + "/"; }
    // How many files and folders it holds.
    std::size_t entries() const;

private:
    std::filesystem::path path_;
};

// A real file holding the given bytes, removed again at the end.
class TempFile {
public:
    explicit TempFile(const std::vector<std::uint8_t>& bytes);
    const std::string& path() const { return path_; }
    std::vector<std::uint8_t> bytes() const;

private:
    TempDir dir_;
    std::string path_;
};

// Creates an SQLite database file from SQL text (fails the test on an error).
void makeSqliteDb(const std::string& path, const std::string& sql);

// Writes a ROM image of the given size whose header window at 0x183 holds the
// text (the rest of the file is zero).
void writeRom(const std::string& path, const std::string& headerText, std::size_t size = 0x400);

// A 16 KiB ROM of the fixture games "T-00001" (t00001.mdb, the default
// header) and "T-00001 -01" (t00001r1.mdb): byte i from 4096 on holds
// (7i + 3) mod 256, except for the Nemesis blocks that the fixtures'
// COMPRESSED rows name (see fixtureBlocks), and the palette lines at 7680 (the
// games' default) and 7712 hold known words: entry e at 7680 is
// (e > 7 ? 0E : 02, 2(e mod 8) << 4), at 7712 it is (00, 2(e mod 8)).
std::string fixtureGameRom(const std::string& header = "T-00001 -00");

// The ROM offsets of the fixture ROM's Nemesis blocks, with their tile counts.
struct FixtureBlock {
    std::size_t offset;
    std::size_t tiles;
};
inline constexpr FixtureBlock kFixtureBlocks[] = {{6144, 1}, {6400, 4}, {6656, 1},
                                                  {6912, 1}, {7168, 2}, {7424, 2}};
// What the block at `offset` decompresses to: byte j is (5j + offset / 256)
// mod 256.
std::vector<std::uint8_t> fixtureBlockData(std::size_t offset, std::size_t tiles);

// Compares two files' contents (or a file's and the expected bytes) and says
// where the first difference lies, instead of printing whole ROMs.
::testing::AssertionResult sameBytes(const std::vector<std::uint8_t>& actual,
                                     const std::vector<std::uint8_t>& expected);
::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A Windows bitmap of `bitsPerPixel` (4 for a 16-colour one) whose pixel
// (x, y), counted from the top-left, holds pixel(x, y): rows stored bottom up
// (top down for a negative height) and padded to 4 bytes, 16 colour-table
// entries, pixel data from offset 118.
std::vector<std::uint8_t> bitmapFile(int width, int height, int (*pixel)(int x, int y),
                                     int bitsPerPixel = 4);

// A PNG file written by hand, apart from the program's own PNG code, so that
// tests can make the files other tools write: any colour type and bit depth,
// a palette (PLTE) of any length, a tRNS chunk. `rows` are the image's
// scanlines, packed as the format stores them, without their filter bytes.
struct PngContent {
    int width = 0;
    int height = 0;
    int colourType = 3;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int bitDepth = 8;
    std::vector<std::uint8_t> rows = {};
    std::vector<std::uint8_t> plte = {};  // 3 bytes an entry
    std::vector<std::uint8_t> trns = {};  // the chunk's bytes as stored
};
std::vector<std::uint8_t> pngFile(const PngContent& png);

// Runs the built tessellane-cli with `args` (a shell command line's words)
// and gives what it printed and its exit status.
struct CliRun {
    std::string out;
    std::string err;
    int status = -1;
};
CliRun runCli(const std::string& args);
// A word quoted for that command line.
std::string quote(const std::string& word);

// Copies the fixture Access files into a folder, so tests may add files beside them.
void copyJetFixtures(const std::string& folder);

}  // namespace tess::test
