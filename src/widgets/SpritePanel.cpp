#include "widgets/SpritePanel.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "sprites/BackgroundPacker.h"
#include "sprites/SpriteFacts.h"

namespace tess::widgets {

SpritePanel::SpritePanel(QWidget* parent) : QFrame(parent) {
    setObjectName("SpritePanel");
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    facts_ = new QFormLayout;
    layout->addLayout(facts_);
    meter_ = new QLabel(this);
    meter_->setObjectName("sizeMeter");
    meter_->setWordWrap(true);
    meter_->setMargin(4);
    meter_->hide();
    layout->addWidget(meter_);
    layout->addStretch();
    packer_ = std::make_unique<sprites::BackgroundPacker>(
        [this](std::uint64_t job, std::optional<std::int64_t> size) {
            // On the packer's thread: the figure is shown on the window's.
            QMetaObject::invokeMethod(
                this, [=, this] { showPacked(job, size); }, Qt::QueuedConnection);
        });
}

SpritePanel::~SpritePanel() = default;

void SpritePanel::showSprite(const tiles::SpriteDocument& doc, std::int32_t paletteOffset) {
    while (facts_->rowCount() > 0) facts_->removeRow(0);
    for (const auto& [label, value] : sprites::DescribeSprite(doc, paletteOffset)) {
        auto* text = new QLabel(QString::fromStdString(value), this);
        text->setWordWrap(true);
        facts_->addRow(QString::fromStdString(label + ":"), text);
    }
}

void SpritePanel::measure(const tiles::SpriteDocument& doc) {
    if (!doc.Record || doc.Record->sprite.kind != tiles::SpriteKind::Compressed) {
        showMeter(Meter::Hidden, {});
        return;
    }
    std::string why;
    std::optional<sprites::PackingJob> job = sprites::PackingJobFor(doc, why);
    if (!job) {
        newestJob_ = 0;  // what is packing now no longer counts
        showMeter(Meter::TooLarge, "cannot be packed: " + why);
        return;
    }
    maxSize_ = job->maxSize;
    newestJob_ = packer_->pack(std::move(*job));
    showMeter(Meter::Packing,
              meterState_ == Meter::Hidden ? "packing..." : meter_->text().toStdString());
}

void SpritePanel::showPacked(std::uint64_t job, std::optional<std::int64_t> size) {
    if (job != newestJob_) return;  // a newer packing is on its way
    if (!size) {
        showMeter(Meter::TooLarge, "cannot be packed");
        return;
    }
    showMeter(*size > maxSize_ ? Meter::TooLarge : Meter::Fits,
              sprites::MeterText(*size, maxSize_));
}

void SpritePanel::showMeter(Meter state, const std::string& text) {
    meterState_ = state;
    meter_->setVisible(state != Meter::Hidden);
    meter_->setText(QString::fromStdString(text));
    // A sprite too large for its slot stands out; the words say it as well.
    // A figure being worked out again is greyed.
    meter_->setStyleSheet(state == Meter::TooLarge
                              ? "background: #F4C542; color: #000000; font-weight: bold;"
                          : state == Meter::Packing ? "color: #808080;"
                                                    : "");
}

QString SpritePanel::meterText() const { return meter_->text(); }

}  // namespace tess::widgets
