#pragma once

#include "paint/ScreenColour.h"

namespace tess::paint {

// The foreground and background colour swatches: the palette index the paint
// tools use, and the colour shown for it.
struct Swatch {
    int index = 0;
    ScreenColour colour;
};

class ColourSwatches {
public:
    // Both swatches start on entry 0 with its colour.
    explicit ColourSwatches(ScreenColour entry0) : fore_{0, entry0}, back_{0, entry0} {}

    const Swatch& foreground() const { return fore_; }
    const Swatch& background() const { return back_; }
    void setForeground(Swatch swatch) { fore_ = swatch; }
    void setBackground(Swatch swatch) { back_ = swatch; }

    // Which swatches show `colour`. Taken before a palette entry changes, it
    // says which swatches follow the entry's new colour: swatches follow an
    // edit by colour, not by index.
    struct Followers {
        bool fore = false;
        bool back = false;
    };
    Followers showing(ScreenColour colour) const {
        return {fore_.colour == colour, back_.colour == colour};
    }
    // Gives the followers the new colour; their indices stay.
    void follow(Followers followers, ScreenColour colour) {
        if (followers.fore) fore_.colour = colour;
        if (followers.back) back_.colour = colour;
    }

private:
    Swatch fore_;
    Swatch back_;
};

}  // namespace tess::paint
