#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tess::cli {

// Runs one "nemesis" subcommand of the command-line tool; `args` are the words after "nemesis":
//   decompress FILE OFFSET OUT   decode the stream at OFFSET (decimal or 0x hex) of FILE into OUT
//   compress [--best] IN OUT     encode the whole tiles of IN into OUT (--best: the longer search)
//   help                         print the usage
// On success prints one line of sizes to `out` and returns 0. On failure prints one line saying
// why to `err` (with the usage for a malformed command line) and returns 1; OUT is then left as
// it was.
int runNemesisCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tess::cli
