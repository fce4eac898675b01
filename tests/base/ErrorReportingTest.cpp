#include <gtest/gtest.h>

#include "base/ErrorReporting.h"
#include "tests/support/ScriptedDialogs.h"

namespace tess {
namespace {

// The decompression failure's whole text is pinned by Save ROM's tests.
TEST(ErrorReporting, RuntimeErrorsShowNumberDescriptionAndSourceAndTheProcessingErrorNeverVaries) {
    test::ScriptedDialogs dialogs;
    HandleRuntimeError(dialogs, RuntimeError(7000, "What went wrong.", "Where"));
    HandleRuntimeError(dialogs, objectNotSetError());            // 91 is passed over silently
    HandleRuntimeError(dialogs, RuntimeError(65536 + 13, "x"));  // narrowed to 16 bits: 13
    ShowProcessingError(dialogs);
    const std::pair<std::string, std::string> expected[] = {
        {"Generic Runtime Error Handler",
         "Runtime Error: 7000\r\n'What went wrong.'\r\n\r\nSource: Where"},
        {"Generic Runtime Error Handler", "Runtime Error: 13\r\n'x'\r\n\r\nSource: Tessellane"},
        {"Processing error!",
         "An unexpected error occured and the request could not be processed. Please try "
         "reloading the program and try again. If this persists, constact Wren and tell him "
         "where this is happening and what game you're trying to use"},
    };
    ASSERT_EQ(dialogs.messages().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const MessageRequest& box = dialogs.messages()[i];
        EXPECT_EQ(box.title, expected[i].first);
        EXPECT_EQ(box.text, expected[i].second);
        EXPECT_EQ(box.icon, MsgIcon::Critical) << box.title;
        EXPECT_EQ(box.buttons, MsgButtons::Ok) << box.title;
    }
}

}  // namespace
}  // namespace tess
