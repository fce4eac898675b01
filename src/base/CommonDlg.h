#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tess {

// The one seam through which every message box, file-open dialog and colour
// dialog passes. The application installs the Qt implementation; tests install
// a scripted one, so no test ever opens a real modal dialog.

enum class MsgIcon { None, Critical, Exclamation, Question };
enum class MsgButtons { Ok, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// Every box carries a title; boxes without one of their own use this.
inline constexpr const char* kAppTitle = "Tessellane";

struct MessageRequest {
    std::string text;
    std::string title = kAppTitle;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

// An open-file dialog: the chosen file must exist and the read-only box is
// hidden. The filter is in "Description|pattern|Description|pattern" form.
// A save dialog takes the same request, with the file name it proposes. The
// dialog opens in `folder`, or where the platform chooses when it is empty.
struct OpenFileRequest {
    std::string title;
    std::string filter;
    std::string fileName = {};
    std::string folder = {};
};

class CommonDlg {
public:
    virtual ~CommonDlg() = default;

    // Shows a modal message box and returns the button pressed.
    virtual MsgAnswer message(const MessageRequest& request) = 0;
    // Returns the chosen path, or "" when the user cancelled.
    virtual std::string openFile(const OpenFileRequest& request) = 0;
    // A file to write: asks before an existing file is replaced. Returns the
    // chosen path, or "" when the user cancelled.
    virtual std::string saveFile(const OpenFileRequest& request) = 0;
    // Colours are packed red + 256 * green + 65536 * blue. Returns nothing
    // when the user cancelled.
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t preset) = 0;
};

}  // namespace tess
