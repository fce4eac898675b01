#include "tests/support/ScriptedDialogs.h"

#include <stdexcept>

namespace tess::test {
namespace {

template <class T>
T take(std::deque<T>& queue, const std::string& what) {
    if (queue.empty()) throw std::logic_error("unscripted dialog: " + what);
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

}  // namespace

MsgAnswer ScriptedDialogs::message(const MessageRequest& request) {
    messages_.push_back(request);
    if (request.buttons == MsgButtons::Ok && answers_.empty()) return MsgAnswer::Ok;
    return take(answers_, "message box \"" + request.text + "\"");
}

std::string ScriptedDialogs::openFile(const OpenFileRequest& request) {
    fileRequests_.push_back(request);
    return take(files_, "file dialog \"" + request.title + "\"");
}

std::string ScriptedDialogs::saveFile(const OpenFileRequest& request) { return openFile(request); }

std::optional<std::uint32_t> ScriptedDialogs::chooseColour(std::uint32_t preset) {
    colourPresets_.push_back(preset);
    return take(colours_, "colour dialog");
}

}  // namespace tess::test
