#include "window/QtDialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace tess::window {
namespace {

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical: return QMessageBox::Critical;
        case MsgIcon::Exclamation: return QMessageBox::Warning;
        case MsgIcon::Question: return QMessageBox::Question;
        case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString QtFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description already names its patterns; Qt reads them from the
        // parentheses, so the pattern part goes there when it is missing.
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        entries << (description.contains('(') ? description : description + " (" + patterns + ")");
    }
    return entries.join(";;");
}

MsgAnswer QtDialogs::message(const MessageRequest& request) {
    QMessageBox box(qtIcon(request.icon), QString::fromStdString(request.title),
                    QString::fromStdString(request.text).replace("\r\n", "\n"),
                    request.buttons == MsgButtons::Ok
                        ? QMessageBox::Ok
                        : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent_);
    switch (box.exec()) {
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        default: break;
    }
    // Escape on a Yes/No/Cancel box means Cancel, on an OK box just OK.
    return request.buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

std::string QtDialogs::openFile(const OpenFileRequest& request) {
    return QFileDialog::getOpenFileName(parent_, QString::fromStdString(request.title),
                                        QString::fromStdString(request.folder),
                                        QtFilter(request.filter))
        .toStdString();
}

std::string QtDialogs::saveFile(const OpenFileRequest& request) {
    // Qt takes the folder and the proposed name as one path.
    const QString fileName = QString::fromStdString(request.fileName);
    const QString start = request.folder.empty()
                              ? fileName
                              : QDir(QString::fromStdString(request.folder)).filePath(fileName);
    return QFileDialog::getSaveFileName(parent_, QString::fromStdString(request.title), start,
                                        QtFilter(request.filter))
        .toStdString();
}

std::optional<std::uint32_t> QtDialogs::chooseColour(std::uint32_t preset) {
    const QColor initial(preset & 0xFF, (preset >> 8) & 0xFF, (preset >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, parent_);
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<std::uint32_t>(chosen.red() + 256 * chosen.green() + 65536 * chosen.blue());
}

}  // namespace tess::window
