#include "tests/support/ScriptedDialogs.h"

namespace tess::test {

MsgAnswer ScriptedDialogs::message(const MessageRequest& request) {
    messages.push_back(request);
    if (answers.empty()) {
        return request.buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string ScriptedDialogs::openFile(const OpenFileRequest& request) {
    fileDialogs.push_back(request);
    if (files.empty()) return {};
    std::string file = files.front();
    files.pop_front();
    return file;
}

std::optional<std::uint32_t> ScriptedDialogs::chooseColour(std::uint32_t preset) {
    colourPresets.push_back(preset);
    if (colours.empty()) return std::nullopt;
    const auto colour = colours.front();
    colours.pop_front();
    return colour;
}

}  // namespace tess::test
