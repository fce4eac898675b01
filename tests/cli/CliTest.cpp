#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <filesystem>
#include <optional>

#include "base/Messages.h"
#include "codec/Nemesis.h"
#include "tests/support/NemesisTestSupport.h"

namespace tess {
namespace {

using test::CliRun;
using test::quote;

CliRun cli(const std::string& args) { return test::runCli(args); }

using test::Bytes;

// An indexed PNG whose pixel (x, y) holds index pixel(x, y), with a table of
// 16 colours (not greys: Qt writes a grey table as a grey PNG).
void writeIndexedPng(const std::string& path, int width, int height, int (*pixel)(int, int)) {
    QImage image(width, height, QImage::Format_Indexed8);
    for (int i = 0; i < 16; ++i) image.setColor(i, qRgb(8 * i, 255 - 8 * i, 64));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, static_cast<uint>(pixel(x, y)));
    }
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

void place(Bytes& into, std::size_t at, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), into.begin() + static_cast<std::ptrdiff_t>(at));
}

// The fixture databases, and the fixture ROM of game "T-00001" in `rom`.
class CliOnFixtures : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(rom, test::fixtureGameRom()); }
    std::string db = "--db-folder " + quote(std::string(TESS_TEST_DATA) + "/jet");
    test::TempDir dir;
    std::string rom = dir.file("game.bin");
};

// Commands that answer with a text and an exit status: 0 success, 1 failure
// or refusal, 2 a database error. The fixture ROM suits both fixture games:
// its blocks decode and fit, and no tile or palette lies outside it or inside
// a block, so linting with it finds what linting without it finds. Nothing
// here changes the ROM, a refused import included: which images are refused,
// and in what words, is for the image tests; a path that is no readable file,
// for the next test.
TEST_F(CliOnFixtures, CommandsPrintTheirAnswerAndExitWithItsStatus) {
    test::writeFile(dir.file("rev1.bin"), test::fixtureGameRom("T-00001 -01"));
    test::writeRom(dir.file("other.bin"), "T-00002 -00");
    std::filesystem::create_directory(dir / "broken");
    test::writeFile(dir.file("broken/game.mdb"), std::string(4096, 'x'));  // no database at all
    std::filesystem::create_directory(dir / "empty");
    writeIndexedPng(dir.file("small.png"), 8, 8, [](int, int) { return 1; });
    const std::string rev1 = quote(dir.file("rev1.bin")), other = quote(dir.file("other.bin"));
    const std::string game = quote(rom), demo = quote(std::string(TESS_BIN_DIR) + "/demo.bin");
    const std::string unsupported = std::string(kUnsupportedRomText) + "\n";
    const std::string rev01 = "Test Game One (Rev 01)\t", one = "Test Game One\t";
    const std::string leftOut = "\" is no ID of HEAD: the tree leaves the sprite out\n";
    const std::string rev01Findings = "warning\t" + rev01 +
                                      "HEAD\tx9\tthe heading has no sprites\n" + "error\t" + rev01 +
                                      "SPRITE\tNovember\tHeading \"zz" + leftOut;
    const std::string oneFindings =
        "warning\t" + one + "HEAD\t5\tthe heading has no sprites\n" + "error\t" + one +
        "SPRITE\torphan\tHeading \"99" + leftOut + "error\t" + one +
        "SPRITE\tTrailing CRLF\tWhite line 3 has fewer than three fields\n";
    const struct {
        std::string args;
        int status;
        std::optional<std::string> out;  // nothing: not checked
        std::string err =
            "";  // standard error: all of it when empty or ending a line, else how it begins
    } cases[] = {
        {db + " identify " + rev1, 0, "Game: Test Game One (Rev 01)\n"},
        {db + " identify " + other, 1, unsupported},
        {db + " games", 0,
         "Test Game One (Rev 01)*40%*Second Author\nTest Game One*75%*Fixture Author\n"},
        {"", 1, "", "usage: tessellane-cli"},
        {db + " frobnicate", 1, "", "usage: tessellane-cli"},
        {"--db-folder " + quote(dir.file("empty")) + " games", 2, "", "Could not find file '"},
        {"--db-folder " + quote(dir.file("broken")) + " identify " + rev1, 2, "",
         "Unrecognized database format '"},
        {"--db-folder " + quote(dir.file("empty")) + " lint", 2, "", "Could not find file '"},
        {db + " lint", 1, rev01Findings + oneFindings},
        {db + " lint " + game, 1, oneFindings},
        {db + " lint " + rev1, 1, rev01Findings},
        {db + " lint " + other, 1, "", unsupported},
        {db + " export " + game + " nope " + quote(dir.file("n.png")), 1, "",
         "The game has no sprite named \"nope\" (neither plain nor compressed).\n"},
        {db + " import " + game + " alpha " + quote(dir.file("small.png")), 1, "",
         "The image is 8 x 8 pixels; this sprite needs 16 x 8 (2 x 1 tiles).\n"},
        // Output files are written whole or not at all (see the WholeFile tests).
        {db + " export " + game + " alpha /dev/full", 1, "",
         "cannot write /dev/full: is not a regular file\n"},
        {"lint", 0, ""},  // the demo's database beside the program
        {"lint " + demo, 0, ""},
        {"checksum " + demo, 0, std::nullopt},
        {"checksum " + game + " --fox", 1, "", "usage: tessellane-cli"},
        {"checksum", 1, "", "usage: tessellane-cli"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.out) {
            EXPECT_EQ(run.out, *c.out);
        }
        if (c.err.empty() || c.err.ends_with('\n')) {
            EXPECT_EQ(run.err, c.err);
        } else {
            EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
        }
    }
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), test::fixtureGameRom()));

    // The tree of revision 01, whose keys are text, a node a line: the indent
    // of its depth, then key, text and image (how it is built is for the tree's
    // tests).
    const CliRun tree = cli(db + " tree " + rev1);
    EXPECT_TRUE(
        tree.out.starts_with("QBRKHEAD_h1\tProps\t1\n"
                             "  QBRKCHILD_kilo\tkilo\t2\n"
                             "QBRKHEAD_H10\tVillains\t1\n"
                             "  QBRKCHILD_Big Sprite\tBig Sprite\t2\n"))
        << tree.out;
    EXPECT_TRUE(
        tree.out.ends_with("  QBRKHEADCOMP_Zone 1\tZone 1\t1\n"
                           "    QBRKHEADCOMPCHILD_Foxtrot\tFoxtrot\t2\n"))
        << tree.out;
}

// Every command that takes a ROM refuses a path that is no readable file in
// the same words, on standard error with status 1, before it reads or writes
// anything: a FIFO is never opened, as reading one would wait forever.
TEST_F(CliOnFixtures, CommandsThatTakeARomSayWhyAPathIsNone) {
    std::filesystem::create_directory(dir / "romdir");
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const std::string out = quote(dir.file("out")), image = quote(dir.file("in.png"));
    const std::string commands[] = {"identify ROM",
                                    "tree ROM",
                                    "export ROM alpha " + out,
                                    "export --sheet ROM " + out,
                                    "import ROM alpha " + image,
                                    "import --dry-run ROM alpha " + image,
                                    "lint ROM",
                                    "checksum ROM",
                                    "checksum ROM --fix"};
    const std::pair<std::string, std::string> paths[] = {
        {dir.file("romdir"), "is a folder"},
        {dir.file("fifo"), "is not a regular file"},
        {dir.file("missing.bin"), "no such file"}};
    for (const auto& [path, why] : paths) {
        for (std::string args : commands) {
            args.replace(args.find("ROM"), 3, quote(path));
            SCOPED_TRACE(args);
            const CliRun run = cli(db + " " + args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "cannot read " + path + ": " + why + "\n");
        }
    }
    EXPECT_EQ(dir.entries(), 3u);  // the ROM, the folder and the FIFO: nothing was written
}

// An indexed PNG of the sprite's palette indices with its palette, colour 0
// transparent. A bare name finds the plain sprite first; a key tells a plain
// and a compressed sprite of one name apart.
TEST_F(CliOnFixtures, ExportWritesIndexedPngsOfSpritesChosenByNameOrKey) {
    auto exported = [&](const std::string& sprite) {
        const CliRun run = cli(db + " export " + quote(rom) + " " + quote(sprite) + " " +
                               quote(dir.file("out.png")));
        EXPECT_EQ(run.status, 0) << sprite << ": " << run.err;
        return QImage(QString::fromStdString(dir.file("out.png")));
    };
    const auto romByte = [](std::size_t i) { return static_cast<int>((i * 7 + 3) & 0xFF); };
    const QImage alpha = exported("alpha");  // tiles at 4096 and 4128
    ASSERT_EQ(alpha.size(), QSize(16, 8));
    ASSERT_EQ(alpha.format(), QImage::Format_Indexed8);
    ASSERT_EQ(alpha.colorCount(), 16);
    EXPECT_EQ(qAlpha(alpha.color(0)), 0);
    EXPECT_EQ(alpha.color(1), qRgb(0, 32, 32));  // word 02 20 at 7682
    // Every pixel as the load reads it (the LoadSprite tests); one of the second tile here.
    EXPECT_EQ(alpha.pixelIndex(9, 1), romByte(4128 + 4) & 15);
    EXPECT_EQ(exported("Shared").pixelIndex(0, 0), romByte(4384) >> 4);  // the plain one
    EXPECT_EQ(exported("QBRKCHILD_Shared").pixelIndex(1, 0), romByte(4384) & 15);
    EXPECT_EQ(exported("QBRKHEADCOMPCHILD_Shared").pixelIndex(1, 0),
              test::fixtureBlockData(6144, 1)[0] & 15);
    // zebra is compressed only: white tiles, then the grey ones from the same block.
    const QImage zebra = exported("zebra");
    ASSERT_EQ(zebra.size(), QSize(16, 16));
    const Bytes data = test::fixtureBlockData(6400, 4);
    EXPECT_EQ(zebra.pixelIndex(8, 0), data[32] >> 4);
    EXPECT_EQ(zebra.pixelIndex(9, 9), data[96 + 4] & 15);
}

TEST_F(CliOnFixtures, SheetExportWritesEverySpriteAndAnIndex) {
    const CliRun run = cli(db + " export --sheet " + quote(rom) + " " + quote(dir.file("sheet")));
    EXPECT_EQ(run.status, 1);  // "Trailing CRLF" cannot be loaded; the others are written
    EXPECT_TRUE(run.err.starts_with("plain sprite \"Trailing CRLF\": Runtime Error: 9\r\n"))
        << run.err;
    EXPECT_EQ(run.out, "10 sprites\n");
    EXPECT_EQ(test::readFile(dir.file("sheet/index.tsv")),
              "name\tkind\twidth\theight\tfile\n"
              "alpha\tplain\t2\t1\talpha.png\n"
              "Beta\tplain\t1\t2\tBeta.png\n"
              "Delta\tplain\t2\t2\tDelta.png\n"
              "gamma\tplain\t1\t1\tgamma.png\n"
              "orphan\tplain\t1\t1\torphan.png\n"
              "Shared\tplain\t1\t1\tShared.png\n"
              "anvil\tcompressed\t1\t1\tanvil.png\n"
              "Shared\tcompressed\t1\t1\tShared (compressed).png\n"
              "zebra\tcompressed\t2\t2\tzebra.png\n");
    const QImage shared(QString::fromStdString(dir.file("sheet/Shared (compressed).png")));
    EXPECT_EQ(shared.pixelIndex(1, 0), test::fixtureBlockData(6144, 1)[0] & 15);
}

TEST_F(CliOnFixtures, ImportWritesPlainAndCompressedSpritesIntoTheirBytesOnly) {
    Bytes expected = test::readBytes(rom);
    auto import = [&](const std::string& sprite, const std::string& image) {
        const CliRun run = cli(db + " import " + quote(rom) + " " + sprite + " " + quote(image));
        EXPECT_EQ(run.status, 0) << sprite << ": " << run.err;
        return run.out;
    };

    // An indexed PNG into the compressed "zebra": its white tiles are the
    // first two of the block; the grey ones keep their bytes.
    constexpr auto product = [](int x, int y) { return (x * y + x) % 16; };
    writeIndexedPng(dir.file("zebra.png"), 16, 16, product);
    Bytes data = test::fixtureBlockData(6400, 4);
    place(data, 0, test::makeArt(2, [&](int t, int x, int y) { return product(8 * t + x, y); }));
    const Bytes block = codec::encodeNemesis(data).stream;
    EXPECT_EQ(import("zebra", dir.file("zebra.png")),
              "compressed " + std::to_string(block.size()) + " bytes, limit 512\n");
    place(expected, 6400, block);
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), expected));
    EXPECT_EQ(codec::decodeNemesis(expected, 6400).data, data);

    // A colour PNG whose colours are the palette's own into the plain "gamma":
    // the same indices in its tile at 4224.
    constexpr auto diagonal = [](int x, int y) { return (x + y) % 16; };
    QImage colour(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int e = diagonal(x, y);  // entry e of 7680: (e > 7 ? 0E : 02, 2(e mod 8) << 4)
            colour.setPixel(x, y, e == 0 ? qRgb(0, 0, 0) : qRgb(0, 32 * (e % 8), e > 7 ? 224 : 32));
        }
    }
    ASSERT_TRUE(colour.save(QString::fromStdString(dir.file("gamma.png"))));
    EXPECT_EQ(import("gamma", dir.file("gamma.png")), "plain sprite: 1 tile\n");
    place(expected, 4224, test::makeArt(1, [&](int, int x, int y) { return diagonal(x, y); }));
    EXPECT_TRUE(test::sameBytes(test::readBytes(rom), expected));
}

TEST(CliOnDemo, DryRunMeasuresAndAHeavyEditOfTheTreasureChestDoesNotFit) {
    test::TempDir dir;
    const std::string demo = "--db-folder " + quote(TESS_BIN_DIR);
    const std::string rom = dir.file("demo.bin");
    std::filesystem::copy_file(std::string(TESS_BIN_DIR) + "/demo.bin", rom);
    const std::string before = test::readFile(rom);
    auto run = [&](const std::string& args) { return cli(demo + " " + args); };

    // Export then import gives the ROM back byte for byte; a dry run of
    // another picture measures it and writes nothing.
    const std::string hero = quote(dir.file("hero.png"));
    ASSERT_EQ(run("export " + quote(rom) + " Hero " + hero).status, 0);
    EXPECT_EQ(run("import " + quote(rom) + " Hero " + hero).status, 0);
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), before));
    constexpr auto noise = [](int x, int y) { return (x * x * 7 + y * 13 + x * y) % 16; };
    writeIndexedPng(dir.file("hero-noise.png"), 16, 24, noise);
    EXPECT_EQ(
        run("import --dry-run " + quote(rom) + " Hero " + quote(dir.file("hero-noise.png"))).out,
        "plain sprite: 6 tiles\n");
    EXPECT_TRUE(test::sameBytes(test::readFile(rom), before));

    writeIndexedPng(dir.file("noise.png"), 16, 16, noise);
    for (const std::string dryRun : {"--dry-run ", ""}) {
        const CliRun heavy = run("import " + dryRun + quote(rom) + " 'Treasure Chest' " +
                                 quote(dir.file("noise.png")));
        EXPECT_EQ(heavy.status, 1);
        EXPECT_TRUE(heavy.err.starts_with(std::string(kOversizeText) + "\ncompressed "))
            << heavy.err;
        EXPECT_TRUE(heavy.err.ends_with(" bytes, limit 100\n")) << heavy.err;
        EXPECT_TRUE(test::sameBytes(test::readFile(rom), before));
    }

    // The demo's compressed sprites against their slots, as data/demo gives them.
    EXPECT_EQ(run("size " + quote(rom)).out,
              "SPRITE          OFFSET  IN ROM  PACKS TO  MAXSIZE  SPARE\n"
              "Banner           12800     130       130      400    270\n"
              "Treasure Chest   12288      64        64      100     36\n");
    EXPECT_EQ(
        run("size --tsv " + quote(rom) + " 'Treasure Chest'").out,
        "name\toffset\tin_rom\tpacked\tmax_size\tspare\nTreasure Chest\t12288\t64\t64\t100\t36\n");
    // A block that no longer unpacks is shown without its sizes, and fails.
    std::string broken = before;
    broken[12288] = '\xFF';
    broken[12289] = '\xFF';
    test::writeFile(rom, broken);
    const CliRun damaged = run("size " + quote(rom) + " QBRKHEADCOMPCHILD_Treasure\\ Chest Hero");
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.out,
              "SPRITE          OFFSET  IN ROM  PACKS TO  MAXSIZE  SPARE\n"
              "Treasure Chest   12288       -         -      100      -\n");
    EXPECT_EQ(damaged.err, "The game has no compressed sprite named \"Hero\".\n");
}

// The words after the header are 1234 FFFF 0001 and an odd last byte AB: the
// sum wraps (1234 + FFFF + 0001 = 1234) and the odd byte counts as AB00.
TEST(CliChecksum, PrintsBothWordsFixWritesOnlyTheHeaderWordAndAShortFileIsRefused) {
    test::TempDir dir;
    const std::string path = dir.file("rom.bin");
    std::string rom(0x200, '\x5A');
    rom[0x18E] = '\x43';
    rom[0x18F] = '\x21';
    rom += std::string("\x12\x34\xFF\xFF\x00\x01\xAB", 7);
    test::writeFile(path, rom);

    const CliRun check = cli("checksum " + quote(path));
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "stored:   0x4321\ncomputed: 0xBD34\n");
    EXPECT_EQ(test::readFile(path), rom);

    const CliRun fix = cli("checksum " + quote(path) + " --fix");
    EXPECT_EQ(fix.status, 0) << fix.err;
    EXPECT_EQ(fix.out, "stored:   0x4321\ncomputed: 0xBD34\nfixed:    0xBD34 written at 0x018E\n");
    std::string fixed = rom;
    fixed[0x18E] = '\xBD';
    fixed[0x18F] = '\x34';
    EXPECT_EQ(test::readFile(path), fixed);
    EXPECT_EQ(cli("checksum " + quote(path)).status, 0);

    // A file shorter than the header is refused and left as it is.
    const std::string cut(0x1FF, '\x11');
    test::writeFile(path, cut);
    const CliRun shorter = cli("checksum " + quote(path) + " --fix");
    EXPECT_EQ(shorter.status, 1);
    EXPECT_EQ(shorter.err, path +
                               " is 511 bytes long, shorter than the 512-byte cartridge header: "
                               "not a Genesis ROM\n");
    EXPECT_EQ(test::readFile(path), cut);
}

}  // namespace
}  // namespace tess
