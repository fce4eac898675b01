#include <gtest/gtest.h>

#include "app/core/ErrorReporting.h"
#include "app/ui/ProgramState.h"
#include "tests/support/ScriptedDialogs.h"

namespace tess {
namespace {

TEST(ErrorReporting, RuntimeErrorBoxShowsNumberDescriptionAndSource) {
    test::ScriptedDialogs dialogs;
    HandleRuntimeError(dialogs, RuntimeError(err::Decompression,
                                             "Program encountered an error while running the "
                                             "decompression routine.",
                                             "Decompression execution"));
    HandleRuntimeError(dialogs, objectNotSetError());          // 91 is passed over silently
    HandleRuntimeError(dialogs, RuntimeError(65536 + 13, "x"));  // narrowed to 16 bits: 13
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text,
              "Runtime Error: 7000\r\n'Program encountered an error while running the "
              "decompression routine.'\r\n\r\nSource: Decompression execution");
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
    EXPECT_EQ(dialogs.messages()[0].text.substr(0, 63),
              "An unexpected error occured and the request could not be proces");
}

TEST(StartUp, OnlyTheExactDebugSwitchSelectsTheDeveloperFolder) {
    EXPECT_EQ(AppFolderFor("/debug", "/opt/tess"), "C:\\Dev\\Projects\\KVEL\\");
    EXPECT_EQ(AppFolderFor("/DEBUG", "/opt/tess"), "/opt/tess/");
    EXPECT_EQ(AppFolderFor("/debug rom.bin", "/opt/tess"), "/opt/tess/");
    EXPECT_EQ(AppFolderFor("", "/"), "//");  // the separator is appended even to a root
}

}  // namespace
}  // namespace tess
