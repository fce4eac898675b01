#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tess::cli {

// checksum ROM [--fix]: prints the header's stored checksum and the computed
// one. Without --fix returns kOk when they agree and kFailed when they differ;
// with --fix writes the computed word into the header (those two bytes, and
// only when they differ) and returns kOk. A file that cannot be read or
// written, or one shorter than the cartridge header, gets its reason on `err`,
// returns kFailed and is left as it was.
int CheckChecksum(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tess::cli
