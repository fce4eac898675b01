#include "widgets/SpritePanel.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

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
}

void SpritePanel::showFacts(const std::vector<std::pair<std::string, std::string>>& facts) {
    while (facts_->rowCount() > 0) facts_->removeRow(0);
    for (const auto& [label, value] : facts) {
        auto* text = new QLabel(QString::fromStdString(value), this);
        text->setWordWrap(true);
        facts_->addRow(QString::fromStdString(label + ":"), text);
    }
}

void SpritePanel::showMeter(Meter state, const std::string& text) {
    meterState_ = state;
    meter_->setVisible(state != Meter::Hidden);
    meter_->setText(state == Meter::Packing && text.empty() ? "packing..."
                                                            : QString::fromStdString(text));
    // A sprite too large for its slot stands out; the words say it as well.
    // A figure being worked out again is greyed.
    meter_->setStyleSheet(state == Meter::TooLarge
                              ? "background: #F4C542; color: #000000; font-weight: bold;"
                          : state == Meter::Packing ? "color: #808080;"
                                                    : "");
}

QString SpritePanel::meterText() const { return meter_->text(); }

}  // namespace tess::widgets
