#pragma once

#include <QDialog>

#include "gamedb/GameSummary.h"

class QTreeWidget;

namespace tess::widgets {

// Lists every supported game with its completion and author; a double-click
// on a game shows its comment. The list is built once, when the window is
// pre-loaded at start-up; OK and the close box only hide the window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // The window's load step: builds the list from the game database. Opening
    // the first game's data is not guarded; see BuildSupportedGames.
    void loadGameList(gamedb::GameDatabase& db);

    // Adds one row from a "*"-separated text: piece 0 in the first column,
    // piece k in column k where both exist; an empty text adds nothing.
    static void AddListRow(QTreeWidget* list, const std::string& rowText);

    // Double-click on row r (1-based): shows game r's comment modally.
    void showDetails(int row);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTreeWidget* lvGames_;
    std::array<std::string, 256> SupportedGameComments{};
};

}  // namespace tess::widgets
