#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "base/CommonDlg.h"
#include "sprites/Recovery.h"
#include "tiles/SpriteDocument.h"

namespace tess::window {

// The sprite's unsaved painting, kept on disk for a later session
// (sprites::Recovery): half a second after each change, at once when the
// program may end next, and offered back when the sprite is opened again.
class UnsavedPainting : public QObject {
public:
    UnsavedPainting(QObject* parent, const std::string& folder, const tiles::SpriteDocument& doc,
                    CommonDlg& dialogs);

    // The pixels changed: they are kept a moment later, so that a stroke in
    // progress costs no write.
    void changed() { due_.start(); }
    // Keeps them now, when the sprite has unsaved painting.
    void keep();
    // The user saved them, or chose to drop them.
    void forget() { recovery_.forget(doc_); }
    // After a load: offers back what an earlier session kept for this sprite
    // of this ROM, if it differs from what was loaded; `restore` lays it in
    // when the user says Yes. No discards it, Cancel keeps it for next time.
    void offer(const std::function<void(const tiles::ByteGrid&)>& restore);

private:
    sprites::Recovery recovery_;
    const tiles::SpriteDocument& doc_;
    CommonDlg& dialogs_;
    QTimer due_;
};

}  // namespace tess::window
