#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/CommonDlg.h"

namespace tess::test {

// The dialog seam for tests: records every request and answers from queues
// filled by the test, so no real modal dialog ever opens. A question (Yes /
// No / Cancel), file dialog or colour dialog with nothing queued throws
// std::logic_error, so an unexpected dialog fails the test; an OK-only box
// needs no answer.
class ScriptedDialogs : public CommonDlg {
public:
    void queueAnswer(MsgAnswer answer) { answers_.push_back(answer); }
    void queueFile(std::string path) { files_.push_back(std::move(path)); }
    // std::nullopt scripts a cancelled colour dialog.
    void queueColour(std::optional<std::uint32_t> colour) { colours_.push_back(colour); }

    const std::vector<MessageRequest>& messages() const { return messages_; }
    const std::vector<OpenFileRequest>& fileRequests() const { return fileRequests_; }
    // The preset of every colour dialog shown, in order.
    const std::vector<std::uint32_t>& colourPresets() const { return colourPresets_; }
    // True when every queued answer has been used.
    bool allAnswersUsed() const { return answers_.empty() && files_.empty() && colours_.empty(); }

    MsgAnswer message(const MessageRequest& request) override;
    std::string openFile(const OpenFileRequest& request) override;
    // Answered from the same queue as openFile, and recorded with it.
    std::string saveFile(const OpenFileRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t preset) override;

private:
    std::deque<MsgAnswer> answers_;
    std::deque<std::string> files_;
    std::deque<std::optional<std::uint32_t>> colours_;
    std::vector<MessageRequest> messages_;
    std::vector<OpenFileRequest> fileRequests_;
    std::vector<std::uint32_t> colourPresets_;
};

}  // namespace tess::test
