// tessellane-cli: the editor's core without a window, for scripts and for
// checking a game database on a machine without a display.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "cli/ChecksumCommand.h"
#include "cli/Command.h"
#include "cli/LintCommand.h"
#include "cli/NemesisCommand.h"
#include "cli/SpriteCommands.h"
#include "gamedb/GameSummary.h"
#include "gamedb/SpriteTree.h"

namespace {

using tess::gamedb::GameDatabase;

using tess::cli::kDatabaseError;
using tess::cli::kFailed;
using tess::cli::kOk;

void usage(std::ostream& out) {
    out << "usage: tessellane-cli [--db-folder DIR] COMMAND\n"
           "       tessellane-cli --help | --version\n"
           "commands:\n"
           "  identify ROM      name the game the ROM belongs to\n"
           "  tree ROM          list the game's sprite tree: KEY<TAB>TEXT<TAB>IMAGE\n"
           "  games             list the supported games as Name*Completion%*Author\n"
           "  export ROM SPRITE OUT.png\n"
           "                    write a sprite as an indexed PNG of its palette indices\n"
           "  export --sheet ROM FOLDER\n"
           "                    write every sprite as FOLDER/NAME.png, listed in FOLDER/index.tsv\n"
           "  import [--dry-run] ROM SPRITE IMAGE\n"
           "                    write a PNG or 4-bit BMP of the sprite's size into its tiles\n"
           "                    and save it into the ROM; --dry-run writes nothing and prints\n"
           "                    the size the save would have\n"
           "                    SPRITE: a key as 'tree' prints it, or a name (plain first)\n"
           "  size [--tsv] ROM [SPRITE...]\n"
           "                    compressed sprites against their slots: the block in the ROM,\n"
           "                    what it packs to now, MaxSize and the bytes to spare\n"
           "  lint [ROM]        check the game database of the ROM's game, or of every game:\n"
           "                    LEVEL<TAB>GAME<TAB>TABLE<TAB>ROW<TAB>MESSAGE\n"
           "  checksum ROM [--fix]\n"
           "                    print the header's checksum and the computed one; --fix writes it\n"
           "  nemesis decompress FILE OFFSET OUT\n"
           "  nemesis compress [--best] IN OUT\n"
           "                    the Nemesis codec on files\n";
}

std::string executableFolder(const char* argv0) {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0);
    return self.parent_path().string();
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
        if (!tess::cli::IdentifyOrSay(db, args[1], out, std::cerr)) return kFailed;
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
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "lint" && rest.size() <= 1) {
        GameDatabase db(appFolder);
        return tess::cli::LintGames(db, rest, out, std::cerr);
    }
    if (command == "checksum" && (rest.size() == 1 || (rest.size() == 2 && rest[1] == "--fix"))) {
        return tess::cli::CheckChecksum(rest, out, std::cerr);
    }
    if (command == "export" && rest.size() == 3 && rest[0] == "--sheet") {
        GameDatabase db(appFolder);
        return tess::cli::ExportSheet(db, rest, out, std::cerr);
    }
    if (command == "export" && rest.size() == 3) {
        GameDatabase db(appFolder);
        return tess::cli::ExportSprite(db, rest, out, std::cerr);
    }
    if (command == "size" && !rest.empty() && rest.size() >= (rest[0] == "--tsv" ? 2u : 1u)) {
        GameDatabase db(appFolder);
        return tess::cli::SizeReport(db, rest, out, std::cerr);
    }
    if (command == "import" && rest.size() == (!rest.empty() && rest[0] == "--dry-run" ? 4u : 3u)) {
        GameDatabase db(appFolder);
        return tess::cli::ImportSprite(db, rest, out, std::cerr);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--help") {
        usage(std::cout);
        return kOk;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "tessellane-cli " TESSELLANE_VERSION "\n";
        return kOk;
    }
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
        return tess::cli::runNemesisCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
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
