#pragma once

#include <QFrame>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tiles/SpriteDocument.h"

class QFormLayout;
class QLabel;

namespace tess::sprites {
class BackgroundPacker;
}

namespace tess::widgets {

// The sprite panel beside the view: the loaded sprite's facts, a label and a
// value a line, and for a compressed sprite the size meter, which says how its
// packed block stands against its slot, the size Save ROM would write. The
// meter packs on a thread of its own, so painting never waits for it, shows
// only the newest packing's figure, and turns to a warning colour when the
// sprite no longer fits (the words say so too).
class SpritePanel : public QFrame {
    Q_OBJECT
public:
    explicit SpritePanel(QWidget* parent);
    ~SpritePanel() override;

    // The facts of the sprite the document holds (none without a sprite).
    void showSprite(const tiles::SpriteDocument& doc, std::int32_t paletteOffset);
    // Packs the document's compressed sprite as it stands now, in the
    // background; hides the meter for a plain sprite.
    void measure(const tiles::SpriteDocument& doc);

    // Packing: the last figure shown greyed until the newest one comes.
    enum class Meter { Hidden, Packing, Fits, TooLarge };
    Meter meterState() const { return meterState_; }
    QString meterText() const;

private:
    void showMeter(Meter state, const std::string& text);
    void showPacked(std::uint64_t job, std::optional<std::int64_t> size);

    QFormLayout* facts_;
    QLabel* meter_;
    Meter meterState_ = Meter::Hidden;
    std::uint64_t newestJob_ = 0;
    std::int64_t maxSize_ = 0;
    // Last, so that it stops, and no packing reports back, before the rest goes.
    std::unique_ptr<sprites::BackgroundPacker> packer_;
};

}  // namespace tess::widgets
