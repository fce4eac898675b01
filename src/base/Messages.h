#pragma once

namespace tess {

// Message texts shown in more than one place or by more than one front end.
inline constexpr const char* kUnsupportedRomText =
    "File is either an corrupt, invalid, or does not currently have support by Tessellane";
inline constexpr const char* kPaletteChangedText =
    "Palette has been changed. Switching sprites will reset the palette, do you wish you save "
    "your changes made to the palette?";
inline constexpr const char* kSpriteChangedText =
    "Sprite has been changed. Switching sprites will destroy any changes you have made to this "
    "sprite, do you wish you save your changes before you switch?";
inline constexpr const char* kHelpText =
    "Help? I'll give you help. This is Wren stuff, backup your stuff. That's all the help I'm "
    "giving you...";

inline constexpr const char* kCompressionFailedText = "File did not get compressed...";
inline constexpr const char* kOversizeText =
    "WARNING:\r\nData is LARGER than the maximum size to fit in the ROM. Saving to the end of the "
    "ROM is currently unsupported. You must make your sprite less detailed so the compressor will "
    "compress it enough to fit.";

inline constexpr const char* kOnly4BitText = "Error: Only supports 4bit (16-color) bitmaps.";

// A sprite is only ever saved into the ROM it was read from.
inline constexpr const char* kSpriteOfAnotherRomText =
    "Nothing was saved: the sprite on screen was read from another ROM than the one loaded now. "
    "Double-click a sprite of this game in the tree, then save.";

// Saving a palette into a ROM it was not read from would damage that ROM.
inline constexpr const char* kPaletteOfAnotherRomText =
    "The palette shown was read from another ROM, so it was not saved into this one. Load a "
    "game this database knows to edit and save its palette.";

}  // namespace tess
