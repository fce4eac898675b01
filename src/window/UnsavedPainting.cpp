#include "window/UnsavedPainting.h"

namespace tess::window {
namespace {

constexpr const char* kOfferText =
    "This sprite has changes that were never saved: Tessellane ended before they were. Do you "
    "want them back?\r\n\r\nYes restores them as an edit you can undo. No discards them. "
    "Cancel keeps them for the next time the sprite is opened.";

constexpr int kDelayMilliseconds = 500;

}  // namespace

UnsavedPainting::UnsavedPainting(QObject* parent, const std::string& folder,
                                 const tiles::SpriteDocument& doc, CommonDlg& dialogs)
    : QObject(parent), recovery_(folder), doc_(doc), dialogs_(dialogs) {
    due_.setSingleShot(true);
    due_.setInterval(kDelayMilliseconds);
    connect(&due_, &QTimer::timeout, this, [this] { keep(); });
}

void UnsavedPainting::keep() {
    due_.stop();
    if (!doc_.SpriteDirty || !doc_.Record || !doc_.Record->complete) return;
    std::string why;
    // A safety net: when it cannot be kept, painting goes on all the same.
    recovery_.keep(doc_, why);
}

void UnsavedPainting::offer(const std::function<void(const tiles::ByteGrid&)>& restore) {
    const std::optional<tiles::ByteGrid> kept = recovery_.find(doc_);
    if (!kept) return;
    if (!sprites::KeptPixelsDiffer(*kept, doc_)) {
        forget();
        return;
    }
    switch (dialogs_.message(
        {kOfferText, "Unsaved changes", MsgIcon::Question, MsgButtons::YesNoCancel})) {
        case MsgAnswer::Yes: restore(*kept); break;
        case MsgAnswer::No: forget(); break;
        default: break;  // kept for next time
    }
}

}  // namespace tess::window
