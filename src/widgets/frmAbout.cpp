#include "widgets/frmAbout.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "widgets/Pictures.h"
#include "widgets/frmDetails.h"

namespace tess::widgets {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About Tessellane");

    auto* image = label(this, "Image1", QString());
    image->setPixmap(ProgramPicture());
    auto* name = label(this, "lblName", "Tessellane");
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);

    lvGames_ = new QTreeWidget(this);
    lvGames_->setObjectName("lvGames");
    lvGames_->setHeaderLabels({"Game", "%", "Author"});
    lvGames_->setRootIsDecorated(false);
    lvGames_->setUniformRowHeights(true);
    lvGames_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvGames_->header()->setStretchLastSection(false);

    auto* warning = new QPlainTextEdit(this);
    warning->setObjectName("txtWarning");
    warning->setReadOnly(true);
    warning->setPlainText(
        "Warning:\n\nThis program is provided \"as-is\" with no warranty of any \n"
        "kind, either expressed or implied. The author cannot be \n"
        "held responsible for any damage this program may \ncause.\n");
    warning->setFixedHeight(warning->fontMetrics().lineSpacing() * 7 + 12);

    auto* ok = new QPushButton("&OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);

    auto* titles = new QVBoxLayout;
    titles->addWidget(name);
    titles->addWidget(label(this, "Label1", "ROM Sprite Editing Software."));
    titles->addWidget(label(this, "Label2", "Sprites, palettes and tiles of Genesis ROM images."));
    titles->addWidget(label(this, "Label3", "Back up your ROM before you save into it."));
    auto* top = new QHBoxLayout;
    top->addWidget(image, 0, Qt::AlignTop);
    top->addLayout(titles, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(label(this, "lblGames", "Currently supported games:"));
    layout->addWidget(lvGames_, 1);
    layout->addWidget(warning);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(420, 420);

    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
    connect(lvGames_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        showDetails(lvGames_->indexOfTopLevelItem(item) + 1);
    });
}

void frmAbout::loadGameList(gamedb::GameDatabase& db) {
    gamedb::SupportedGames games = gamedb::BuildSupportedGames(db);
    lvGames_->clear();
    for (const auto& row : games.rows) AddListRow(lvGames_, row);
    SupportedGameComments = std::move(games.comments);
}

void frmAbout::AddListRow(QTreeWidget* list, const std::string& rowText) {
    const auto pieces = gamedb::SplitListRow(rowText);
    if (pieces.empty()) return;
    auto* item = new QTreeWidgetItem(list);
    const int columns = std::min<int>(list->columnCount(), static_cast<int>(pieces.size()));
    for (int k = 0; k < columns; ++k) {
        item->setText(k, QString::fromStdString(pieces[static_cast<std::size_t>(k)]));
    }
}

void frmAbout::showDetails(int row) {
    // The comment table ends with the 255th game; later rows have no comment.
    if (row < 1 || row >= static_cast<int>(SupportedGameComments.size())) return;
    frmDetails details(this);
    details.setMessage(
        QString::fromStdString(SupportedGameComments[static_cast<std::size_t>(row)]));
    details.exec();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    // Closing only hides, like OK: rebuilding the list would close the loaded
    // game's data.
    event->ignore();
    hide();
}

}  // namespace tess::widgets
