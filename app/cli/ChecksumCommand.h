#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tess::cli {

// "checksum ROM [--fix]" (args[0] is "checksum"): prints the header's stored
// checksum and the computed one. Without --fix returns 0 when they agree and
// 1 when they differ; with --fix writes the computed word into the header
// (only those two bytes, only when they differ) and returns 0. A file that
// cannot be read or written, or one shorter than the cartridge header, gets
// its reason on `err`, returns 1 and is left as it was. Returns -1 for a
// malformed command line.
int runChecksumCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tess::cli
