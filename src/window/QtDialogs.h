#pragma once

#include <QString>

#include "base/CommonDlg.h"

class QWidget;

namespace tess::window {

// The real dialog seam: Qt's message boxes, file and colour dialogs.
class QtDialogs : public CommonDlg {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    MsgAnswer message(const MessageRequest& request) override;
    std::string openFile(const OpenFileRequest& request) override;
    std::string saveFile(const OpenFileRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t preset) override;

private:
    QWidget* parent_ = nullptr;
};

// "Desc|*.a|All|*.*" as Qt writes it: "Desc (*.a);;All (*.*)".
QString QtFilter(const std::string& filter);

}  // namespace tess::window
