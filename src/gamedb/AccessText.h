#pragma once

#include <string_view>

namespace tess::gamedb {

// Text comparisons as Access makes them on UTF-8 text.

// Access's "General" sort order (Access 2000 and later), the order its text
// indexes keep. Letter case never counts. Characters compare first by their
// base: punctuation and space before symbols, symbols before digits, digits
// before letters, an accented letter as its plain letter, "æ" as "ae" and
// "ß" as "ss". Hyphen, apostrophe and control characters are passed over
// there. Among texts that are equal so far, accents decide (plain first),
// then the passed-over characters: "coop" < "co-op" < "coop's". Returns
// less than, equal to or greater than 0.
int CompareAccessText(std::string_view a, std::string_view b);

// Equality without regard to letter case (ASCII and the Latin letters of the
// Windows code page), as Access's seek and its file names compare.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tess::gamedb
