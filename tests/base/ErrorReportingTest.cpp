#include <gtest/gtest.h>

#include "base/ErrorReporting.h"
#include "tests/support/ScriptedDialogs.h"

namespace tess {
namespace {

TEST(ErrorReporting, RuntimeErrorBoxShowsNumberDescriptionAndSource) {
    test::ScriptedDialogs dialogs;
    HandleRuntimeError(dialogs, RuntimeError(7000, "What went wrong.", "Where"));
    HandleRuntimeError(dialogs, objectNotSetError());          // 91 is passed over silently
    HandleRuntimeError(dialogs, RuntimeError(65536 + 13, "x"));  // narrowed to 16 bits: 13
    ASSERT_EQ(dialogs.messages().size(), 2u);
    // The decompression failure's whole text is pinned by Save ROM's tests.
    EXPECT_EQ(dialogs.messages()[0].text,
              "Runtime Error: 7000\r\n'What went wrong.'\r\n\r\nSource: Where");
    EXPECT_EQ(dialogs.messages()[0].title, "Generic Runtime Error Handler");
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.messages()[1].text.substr(0, 18), "Runtime Error: 13\r");
}

TEST(ErrorReporting, ProcessingErrorNeverVaries) {
    test::ScriptedDialogs dialogs;
    ShowProcessingError(dialogs);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].title, "Processing error!");
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.messages()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(dialogs.messages()[0].text,
              "An unexpected error occured and the request could not be processed. Please try "
              "reloading the program and try again. If this persists, constact Wren and tell him "
              "where this is happening and what game you're trying to use");
}

}  // namespace
}  // namespace tess
