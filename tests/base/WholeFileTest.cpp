// All-or-nothing file writes, as the command line and the compression
// entries make them, and the reasons a path cannot be read.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <string>

#include "base/WholeFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Unprivileged.h"

namespace tess {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const Bytes kNew{1, 2, 3, 4, 5};
const Bytes kOld{9, 9};

TEST(WholeFile, WritesFilesAndThroughLinks) {
    test::TempDir dir;
    // A new file; a file replaced keeping its permissions.
    std::string why;
    EXPECT_TRUE(writeWholeFile(dir / "new.bin", kNew, why)) << why;
    EXPECT_EQ(test::readBytes(dir / "new.bin"), kNew);
    test::writeBytes(dir / "old.bin", kOld);
    fs::permissions(dir / "old.bin",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(writeWholeFile(dir / "old.bin", kNew, why)) << why;
    EXPECT_EQ(test::readBytes(dir / "old.bin"), kNew);
    EXPECT_EQ(fs::status(dir / "old.bin").permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A link is written through: the target changes, the link stays a link.
    test::writeBytes(dir / "target.bin", kOld);
    fs::create_symlink("target.bin", dir / "link.bin");
    fs::create_symlink("link.bin", dir / "link2.bin");
    EXPECT_TRUE(writeWholeFile(dir / "link2.bin", kNew, why)) << why;
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2.bin"));
    EXPECT_EQ(test::readBytes(dir / "target.bin"), kNew);
    fs::create_symlink("made.bin", dir / "dangling.bin");
    EXPECT_TRUE(writeWholeFile(dir / "dangling.bin", kNew, why)) << why;
    EXPECT_EQ(test::readBytes(dir / "made.bin"), kNew);
    EXPECT_EQ(dir.entries(), 7u);  // no temporary file left beside them
}

// Every front end words a path it cannot read alike; a FIFO or a device is
// refused before it is opened, as reading one may never end, and a write
// never replaces one.
TEST(WholeFile, SaysWhyAPathCannotBeReadOrWritten) {
    test::TempDir dir;
    test::writeBytes(dir / "rom.bin", kOld);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "rom.bin", dir / "link.bin");
    fs::create_symlink(dir / "gone.bin", dir / "dangling.bin");
    fs::create_symlink(dir / "fifo", dir / "link-to-fifo");
    using Kind = Unreadable::Kind;
    struct Case {
        fs::path path;
        std::optional<Kind> kind;
        std::string why;            // a read's
        std::string writeWhy = "";  // a write's, where one is tried here
    };
    std::vector<Case> cases = {
        {dir / "rom.bin", std::nullopt, ""},
        {dir / "link.bin", std::nullopt, ""},
        {dir / "missing.bin", Kind::Missing, "no such file"},
        {dir / "dangling.bin", Kind::Missing, "no such file"},
        {dir / "rom.bin" / "x.bin", Kind::Missing, "no such file"},  // a file on the way
        {dir / "missing" / "x.bin", Kind::Missing, "no such file", "No such file or directory"},
        {"", Kind::Missing, "no such file", "no file name"},
        {dir / "folder", Kind::Folder, "is a folder", "is a folder"},
        {dir / "fifo", Kind::NotRegularFile, "is not a regular file", "is not a regular file"},
        {dir / "link-to-fifo", Kind::NotRegularFile, "is not a regular file",
         "is not a regular file"},
        {"/dev/null", Kind::NotRegularFile, "is not a regular file"},
    };
    // A device node of the test's own (root may make one), never the machine's /dev/null: a
    // regression would replace it.
    const bool device = mknod((dir / "null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (device) {
        cases.push_back(
            {dir / "null", Kind::NotRegularFile, "is not a regular file", "is not a regular file"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto unreadable = whyUnreadable(c.path);
        EXPECT_EQ(unreadable ? std::optional(unreadable->kind) : std::nullopt, c.kind);
        EXPECT_EQ(unreadable ? unreadable->why : "", c.why);
        std::string why;
        EXPECT_EQ(readWholeFile(c.path, why).has_value(), !c.kind);
        EXPECT_EQ(why, c.why);
        if (c.writeWhy.empty()) continue;
        EXPECT_FALSE(writeWholeFile(c.path, kNew, why));
        EXPECT_EQ(why, c.writeWhy);
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_TRUE(!device || fs::is_character_file(dir / "null"));
    EXPECT_EQ(dir.entries(), device ? 7u : 6u);
}

TEST(WholeFile, AFileWithoutTheRightToReadItGivesTheSystemsReason) {
    test::TempDir dir;
    test::writeBytes(dir / "rom.bin", kOld);
    test::makeUnreadable(dir / "rom.bin");
    const std::string seen = test::runWithoutReadRights([&] {
        const auto unreadable = whyUnreadable(dir / "rom.bin");
        std::string why;
        const bool read = readWholeFile(dir / "rom.bin", why).has_value();
        if (!unreadable) return std::string("readable");
        return std::to_string(static_cast<int>(unreadable->kind)) + " " + unreadable->why + " / " +
               (read ? "read" : why);
    });
    EXPECT_EQ(seen, std::to_string(static_cast<int>(Unreadable::Kind::CannotOpen)) +
                        " Permission denied / Permission denied");
}

// A disk that fills up while the file is written: the old file stays whole
// and no partial file is left. A file-size limit makes the writes fail the
// way a full disk does.
TEST(WholeFile, WriteErrorKeepsTheOldFile) {
    test::TempDir dir;
    test::writeBytes(dir / "out.bin", kOld);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string why;
    const bool written = writeWholeFile(dir / "out.bin", Bytes(100000, 7), why);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(why, "File too large");
    EXPECT_EQ(test::readBytes(dir / "out.bin"), kOld);
    EXPECT_EQ(dir.entries(), 1u);
}

}  // namespace
}  // namespace tess
