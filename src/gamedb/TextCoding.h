#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess::gamedb {

// The program keeps text as UTF-8. The game databases were written on Windows
// in code page 1252 (Access 97 files store it as such), and a ROM header is
// single-byte text of that code page too.

// The code points of UTF-8 text; a byte that starts no valid sequence gives
// U+FFFD, so the result is never shorter than the characters the text holds.
std::vector<char32_t> Utf8CodePoints(std::string_view text);

// Single-byte Windows-1252 text as UTF-8. The five bytes the code page leaves
// undefined (81 8D 8F 90 9D) become the control characters of the same value,
// as Windows maps them.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes, one a character; nothing when a character
// has no byte in that code page or the text is no valid UTF-8.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

}  // namespace tess::gamedb
