#include "widgets/ToolIcons.h"

#include <QImage>
#include <QPixmap>
#include <array>

#include "base/RuntimeError.h"

namespace tess::widgets {
namespace {

// Our own pixel art, one character a pixel. '.' is transparent; the other
// letters name the colours below.
QRgb colourOf(char c) {
    switch (c) {
        case 'B': return qRgb(24, 56, 144);    // dark blue
        case 'G': return qRgb(112, 112, 112);  // dark grey
        case 'N': return qRgb(24, 112, 40);    // dark green
        case 'Y': return qRgb(184, 136, 24);   // dark yellow
        case 'b': return qRgb(64, 128, 232);   // blue
        case 'c': return qRgb(136, 208, 248);  // light blue
        case 'g': return qRgb(192, 192, 192);  // light grey
        case 'k': return qRgb(0, 0, 0);        // outline
        case 'n': return qRgb(64, 184, 72);    // green
        case 'p': return qRgb(248, 152, 184);  // pink
        case 'r': return qRgb(224, 48, 48);    // red
        case 't': return qRgb(232, 192, 136);  // tan
        case 'w': return qRgb(255, 255, 255);  // white
        case 'y': return qRgb(248, 216, 64);   // yellow
        default: return qRgba(0, 0, 0, 0);
    }
}

using Art = std::array<const char*, 16>;

// ilTool1, icons 1 to 13.
const std::array<Art, 13> kArt{{
    {{
        // 1: Open
        "................",
        "................",
        ".kkkk...........",
        "kyyyyk..........",
        "kyyyyykkkkkkk...",
        "kyyyyyyyyyyyyk..",
        "kyyYYYYYYYYYYYYk",
        "kyYtttttttttttYk",
        "kyYtttttttttttk.",
        "kYtttttttttttYk.",
        "kYttttttttttttk.",
        "Yttttttttttttk..",
        "kttttttttttttk..",
        "kkkkkkkkkkkkk...",
        "................",
        "................",
    }},
    {{
        // 2: Save
        "kkkkkkkkkkkkkkk.",
        "kBBwwwwwwwwwwBBk",
        "kBBwwwwwwwwwwBBk",
        "kBBwwGGGGGGwwBBk",
        "kBBwwwwwwwwwwBBk",
        "kBBwwGGGGGGwwBBk",
        "kBBwwwwwwwwwwBBk",
        "kBBBBBBBBBBBBBBk",
        "kBBBBBBBBBBBBBBk",
        "kBBBgggggggggBBk",
        "kBBBgGGgggggBBBk",
        "kBBBgGGgggggBBBk",
        "kBBBgGGgggggBBBk",
        "kBBBgggggggggBBk",
        ".kkkkkkkkkkkkkkk",
        "................",
    }},
    {{
        // 3: Undo
        "................",
        "................",
        "....k...........",
        "...kbk..........",
        "..kbbkkkkkkk....",
        ".kbbbbbbbbbbkk..",
        "kbbbbbbbbbbbbbk.",
        ".kbbbbbbbbbbbbbk",
        "..kbbkkkkkkkbbbk",
        "...kbk......kbbk",
        "....k.......kbbk",
        "............kbbk",
        "...........kbbk.",
        "........kkkbbk..",
        "........kbbbk...",
        "........kkkk....",
    }},
    {{
        // 4: Redo
        "................",
        "................",
        "...........k....",
        "..........kbk...",
        "....kkkkkkkbbk..",
        "..kkbbbbbbbbbbk.",
        ".kbbbbbbbbbbbbbk",
        "kbbbbbbbbbbbbbk.",
        "kbbbkkkkkkkbbk..",
        "kbbk......kbk...",
        "kbbk.......k....",
        "kbbk............",
        ".kbbk...........",
        "..kbbkkk........",
        "...kbbbk........",
        "....kkkk........",
    }},
    {{
        // 5: Pencil
        "................",
        "............kk..",
        "...........kppk.",
        "..........kpppk.",
        ".........kgkppk.",
        "........kyggkk..",
        ".......kyyykk...",
        "......kyyyYk....",
        ".....kyyyYk.....",
        "....kyyyYk......",
        "...ktyyYk.......",
        "...kttYk........",
        "..ktttk.........",
        "..kGtk..........",
        ".kkk............",
        "................",
    }},
    {{
        // 6: Eyedropper
        "................",
        "...........kkk..",
        "..........kkkkk.",
        "..........kkkkk.",
        "........kkkkkk..",
        ".........kkkk...",
        "........kcwk.k..",
        ".......kcwwk....",
        "......kcwwk.....",
        ".....kcwwk......",
        "....kcwwk.......",
        "...kccwk........",
        "...kcck.........",
        "..kkk...........",
        ".kb.............",
        ".bb.............",
    }},
    {{
        // 7: Color replacer
        "................",
        "kkkkkk..........",
        "krrrrk..........",
        "krrrrk...k......",
        "krrrrkkkkkk.....",
        "krrrrk...kk.....",
        "kkkkkk...k......",
        "................",
        "................",
        "......k...kkkkkk",
        ".....kk...kbbbbk",
        "....kkkkkkkbbbbk",
        ".....kk...kbbbbk",
        "......k...kbbbbk",
        "..........kkkkkk",
        "................",
    }},
    {{
        // 8: Selection
        "................",
        "................",
        ".kk..kk..kk..kk.",
        ".k............k.",
        "................",
        "................",
        ".k............k.",
        ".k............k.",
        "................",
        "................",
        ".k............k.",
        ".k............k.",
        "................",
        ".kk..kk..kk..kk.",
        "................",
        "................",
    }},
    {{
        // 9: Eraser
        "................",
        "................",
        ".........kkk....",
        "........kpppk...",
        ".......kpppppk..",
        "......kpppppppk.",
        ".....kwpppppppk.",
        "....kwwwpppppk..",
        "...kwwwwwpppk...",
        "..kwwwwwwwpk....",
        "..kgwwwwwwk.....",
        "...kgwwwwk......",
        "....kgwwk.......",
        ".....kkk........",
        "................",
        "kkkkkkkkkkkkkkk.",
    }},
    {{
        // 10: Spray can
        "..........r.....",
        "........r...r...",
        "....kkk...r.....",
        "....kGk.r...r...",
        "...kkkkk..r.....",
        "..kggggGk.......",
        "..kgrrrGk.......",
        "..kgrrrGk.......",
        "..kgwwwGk.......",
        "..kgwwwGk.......",
        "..kgrrrGk.......",
        "..kgrrrGk.......",
        "..kgrrrGk.......",
        "..kggggGk.......",
        "...kkkkk........",
        "................",
    }},
    {{
        // 11: Paint bucket
        "................",
        "......kk........",
        ".....kGGk.......",
        "....kG..Gk......",
        "...kkkkkkkk.....",
        "..kggggggggk....",
        "..kgwwwwwggkb...",
        "..kgwwwwwwgkbb..",
        "..kgwwwwwwgkbbb.",
        "...kgwwwwgk.bbb.",
        "...kgwwwwgk.bbb.",
        "....kgggggk..b..",
        "....kkkkkkk.....",
        "................",
        "................",
        "................",
    }},
    {{
        // 12: Shape
        "................",
        ".kk.............",
        ".kkk............",
        "..kkk...........",
        "...kkk..........",
        "....kkk.........",
        ".....kkk........",
        "......kk........",
        "................",
        "........bbbbbbb.",
        "........b.....b.",
        "........b.....b.",
        "........b.....b.",
        "........b.....b.",
        "........bbbbbbb.",
        "................",
    }},
    {{
        // 13: Reload
        "................",
        ".....kkkkk......",
        "...kknnnnnkk.k..",
        "..knnkkkkknnkNk.",
        ".knkk.....kknNk.",
        ".knk.......knNk.",
        "kNk.......kNNNk.",
        "kNk.......kkkkk.",
        "kNk.............",
        "kNk........kNk..",
        ".kNk......kNNk..",
        ".kNNkk..kkNNk...",
        "..kNNNkkNNNk....",
        "...kkNNNNkk.....",
        ".....kkkk.......",
        "................",
    }},
}};

}  // namespace

QIcon ToolIcon(int number) {
    if (number < 1 || number > static_cast<int>(kArt.size())) throw subscriptError();
    QImage image(16, 16, QImage::Format_ARGB32);
    const Art& art = kArt[static_cast<std::size_t>(number - 1)];
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, colourOf(art[static_cast<std::size_t>(y)][x]));
    }
    // Pixel art stays crisp only when scaled by whole steps without smoothing:
    // the icon carries its own 2x picture for screens of device pixel ratio 2.
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image));
    icon.addPixmap(
        QPixmap::fromImage(image.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return icon;
}

}  // namespace tess::widgets
