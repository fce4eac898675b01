#pragma once

#include <QFrame>
#include <string>
#include <utility>
#include <vector>

class QFormLayout;
class QLabel;

namespace tess::widgets {

// The sprite panel beside the view: the loaded sprite's facts, a label and a
// value a line, and for a compressed sprite the size meter, which says how its
// packed block stands against its slot and turns to a warning colour when it
// no longer fits (the words say so too).
class SpritePanel : public QFrame {
    Q_OBJECT
public:
    explicit SpritePanel(QWidget* parent);

    void showFacts(const std::vector<std::pair<std::string, std::string>>& facts);

    // Packing shows `text` greyed (the last figure) or, without one, "packing...".
    enum class Meter { Hidden, Packing, Fits, TooLarge };
    void showMeter(Meter state, const std::string& text = {});
    QString meterText() const;
    Meter meterState() const { return meterState_; }

private:
    QFormLayout* facts_;
    QLabel* meter_;
    Meter meterState_ = Meter::Hidden;
};

}  // namespace tess::widgets
