#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "codec/Nemesis.h"
#include "tests/support/NemesisTestSupport.h"

namespace tess::codec {
namespace {

namespace fs = std::filesystem;

// Real streams shipped in a game, kept outside the repository.
TEST(NemesisCorpus, RealStreamsRoundTripAndNeverGrow) {
    const fs::path folder = fs::path(TESS_SHARED_DIR) / "corpus" / "nemesis" / "art";
    if (!fs::is_directory(folder)) GTEST_SKIP() << "no Nemesis corpus at " << folder;

    std::size_t files = 0, originalTotal = 0, ourTotal = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const test::Bytes original = test::readBytes(entry.path());
        const NemesisDecoded decoded = decodeNemesis(original);
        ASSERT_TRUE(decoded.ok()) << describe(decoded.status) << " at " << decoded.errorAt;
        // Sega's tool added a 0x00 when the codes ended on a byte boundary; nothing reads it.
        const bool padded = decoded.consumed + 1 == original.size() && original.back() == 0;
        EXPECT_TRUE(decoded.consumed == original.size() || padded) << decoded.consumed;

        const NemesisEncoded encoded = encodeNemesis(decoded.data);
        ASSERT_TRUE(encoded.ok());
        const NemesisDecoded again = decodeNemesis(encoded.stream);
        ASSERT_TRUE(again.ok()) << describe(again.status);
        EXPECT_EQ(again.data, decoded.data);
        EXPECT_EQ(again.consumed, encoded.stream.size());
        EXPECT_LE(encoded.stream.size(), original.size());
        ++files;
        originalTotal += original.size();
        ourTotal += encoded.stream.size();
    }
    EXPECT_GT(files, 0u);

    // The corpus lists the best size a public encoder reaches per file; ours must not lose.
    std::ifstream sizes(folder.parent_path() / "sizes.tsv");
    std::string line;
    std::size_t publicTotal = 0;
    std::getline(sizes, line);
    while (std::getline(sizes, line)) {
        std::istringstream fields(line);
        std::string field;
        for (int column = 0; column < 5 && std::getline(fields, field, '\t'); ++column) {
            if (column == 4) publicTotal += std::stoul(field);
        }
    }
    if (publicTotal > 0) {
        EXPECT_LE(ourTotal, publicTotal);
    }
    RecordProperty("original_bytes", std::to_string(originalTotal));
    RecordProperty("our_bytes", std::to_string(ourTotal));
}

}  // namespace
}  // namespace tess::codec
