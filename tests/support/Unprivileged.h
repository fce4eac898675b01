#pragma once

// Checks of files the program has no right to read. Root may read any file,
// so such a check runs in a child process that has given up root.
#include <filesystem>
#include <functional>
#include <string>

namespace tess::test {

// Takes every right to `file` from everyone but root (mode 000), and opens its
// folder to all, so that only the file's own mode keeps it from being read.
void makeUnreadable(const std::filesystem::path& file);

// Runs `action` in a child process without the right to read such a file: as
// root, the child first becomes the user nobody (uid and gid 65534); any other
// user is without it already. Returns what `action` returned. The test fails
// when the child cannot give up root or does not end normally, so a check
// never passes because root reads everything. `action` reports through its
// result, not through assertions, which a child process cannot pass on.
std::string runWithoutReadRights(const std::function<std::string()>& action);

}  // namespace tess::test
