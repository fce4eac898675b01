#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/core/CommonDlg.h"

namespace tess::test {

// The dialog seam for tests: records every box and answers from queues.
// An unscripted message box answers OK (or Cancel for Yes/No/Cancel), an
// unscripted file dialog is cancelled, an unscripted colour dialog too.
class ScriptedDialogs : public CommonDlg {
public:
    MsgAnswer message(const MessageRequest& request) override;
    std::string openFile(const OpenFileRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t preset) override;

    std::deque<MsgAnswer> answers;
    std::deque<std::string> files;
    std::deque<std::optional<std::uint32_t>> colours;

    std::vector<MessageRequest> messages;
    std::vector<OpenFileRequest> fileDialogs;
    std::vector<std::uint32_t> colourPresets;
};

}  // namespace tess::test
