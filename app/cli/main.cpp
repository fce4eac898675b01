// tessellane-cli: the editor's core without a window, for scripts and for
// checking a game database on a machine without a display.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <QImage>

#include "app/cli/ChecksumCommand.h"
#include "app/cli/LintCommand.h"
#include "app/core/ErrorReporting.h"
#include "compress/cli/NemesisCommand.h"
#include "app/core/Messages.h"
#include "app/core/RuntimeError.h"
#include "gamedb/core/GameSummary.h"
#include "gamedb/core/Identify.h"
#include "gamedb/core/SpriteTree.h"
#include "gfx/selection/SpriteSelection.h"

namespace {

using tess::gamedb::GameDatabase;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kDatabaseError = 2;

void usage(std::ostream& err) {
    err << "usage: tessellane-cli [--db-folder DIR] COMMAND\n"
           "commands:\n"
           "  identify ROM      name the game the ROM belongs to\n"
           "  tree ROM          list the game's sprite tree: KEY<TAB>TEXT<TAB>IMAGE\n"
           "  games             list the supported games as Name*Completion%*Author\n"
           "  export ROM NAME OUT.png\n"
           "                    write plain sprite NAME as an indexed PNG of its palette indices\n"
           "  lint [ROM]        check the game database of the ROM's game, or of every game:\n"
           "                    LEVEL<TAB>GAME<TAB>TABLE<TAB>ROW<TAB>MESSAGE\n"
           "  checksum ROM [--fix]\n"
           "                    print the header's checksum and the computed one; --fix writes it\n"
           "  nemesis decompress FILE OFFSET OUT\n"
           "  nemesis compress IN OUT\n"
           "                    the Nemesis codec on files\n";
}

std::string executableFolder(const char* argv0) {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0);
    return self.parent_path().string();
}

// Identification as File > Load does it; prints the unsupported message when
// no game matches.
bool identify(GameDatabase& db, const std::string& rom, std::ostream& out) {
    if (!tess::gamedb::IdentifyRom(db, rom)) {
        out << tess::kUnsupportedRomText << "\n";
        return false;
    }
    return true;
}

// The sprite as an indexed image: one pixel per sprite pixel holding its
// palette index, the palette's screen colours as colour table, entry 0 clear.
QImage spriteImage(const tess::gfx::SpriteDocument& doc, const tess::edit::GenesisPalette& palette) {
    const int width = doc.SpriteBuffer.upperX();
    const int height = doc.SpriteBuffer.upperY();
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < tess::edit::GenesisPalette::kEntries; ++i) {
        const auto c = palette.colour(i);
        colours << qRgba(c.r, c.g, c.b, i == 0 ? 0 : 255);
    }
    image.setColorTable(colours);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) line[x] = doc.SpriteBuffer.at(x, y);
    }
    return image;
}

// Loads a plain sprite as a double-click in the tree would; errors print the
// text of the box the editor would show.
int exportSprite(GameDatabase& db, const std::vector<std::string>& args, std::ostream& out) {
    const std::string& rom = args[1];
    if (!identify(db, rom, out)) return kFailed;
    tess::edit::GenesisPalette palette{tess::edit::ScreenColour{}};
    tess::gfx::SpriteDocument doc;
    tess::gfx::NullLoadTarget view;
    try {
        if (!tess::gfx::LoadPlainSprite(db, rom, args[2], palette, doc, view, {})) {
            std::cerr << tess::ProcessingErrorBox().text << "\n";
            return kFailed;
        }
    } catch (...) {
        std::cerr << tess::RuntimeErrorBox(tess::asRuntimeError(std::current_exception())).text
                  << "\n";
        return kFailed;
    }
    if (!spriteImage(doc, palette).save(QString::fromStdString(args[3]), "PNG")) {
        std::cerr << "cannot write " << args[3] << "\n";
        return kFailed;
    }
    return kOk;
}

int run(const std::vector<std::string>& args, const std::string& appFolder, std::ostream& out) {
    const std::string& command = args[0];
    if (command == "games" && args.size() == 1) {
        GameDatabase db(appFolder);
        for (const auto& row : tess::gamedb::BuildSupportedGames(db).rows) out << row << "\n";
        return kOk;
    }
    if ((command == "identify" || command == "tree") && args.size() == 2) {
        GameDatabase db(appFolder);
        if (!identify(db, args[1], out)) return kFailed;
        if (command == "identify") {
            out << "Game: " << db.table(GameDatabase::NFO).field("Name").keyText() << "\n";
            return kOk;
        }
        tess::gamedb::SpriteTree tree;
        tess::gamedb::BuildSpriteTree(db, tree);
        tree.forEachInTreeOrder([&](const tess::gamedb::TreeNode& node, int depth) {
            out << std::string(static_cast<std::size_t>(2 * depth), ' ') << node.key << '\t'
                << node.text << '\t' << node.image << "\n";
        });
        return kOk;
    }
    if (command == "lint") return tess::cli::runLintCommand(args, appFolder, out, std::cerr);
    if (command == "checksum") return tess::cli::runChecksumCommand(args, out, std::cerr);
    if (command == "export" && args.size() == 4) {
        GameDatabase db(appFolder);
        return exportSprite(db, args, out);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string appFolder = executableFolder(argv[0]) + "/";
    if (args.size() >= 2 && args[0] == "--db-folder") {
        appFolder = args[1];
        if (appFolder.empty() || appFolder.back() != '/') appFolder += '/';
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        usage(std::cerr);
        return kFailed;
    }
    if (args[0] == "nemesis") {
        return tess::compress::runNemesisCommand({args.begin() + 1, args.end()}, std::cout,
                                                 std::cerr);
    }
    try {
        const int status = run(args, appFolder, std::cout);
        if (status >= 0) return status;
        usage(std::cerr);
        return kFailed;
    } catch (const tess::DatabaseError& e) {
        std::cerr << e.description() << "\n";
        return kDatabaseError;
    } catch (const tess::RuntimeError& e) {
        std::cerr << "error " << e.number() << ": " << e.description() << "\n";
        return kFailed;
    }
}
