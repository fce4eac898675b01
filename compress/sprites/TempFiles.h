#pragma once

#include <string>

namespace tess::compress {

// The compression interface's two temporary files: "dump.bin" holds the
// decompressed block of the current compressed sprite (tile offsets count in
// it), "dumpc.bin" its recompressed form. The editor keeps them in the current
// directory; the command line keeps them in a folder of its own, so that it
// never disturbs an editor running in the same directory.
struct TempFiles {
    std::string dump = "dump.bin";
    std::string dumpc = "dumpc.bin";

    // Deletes both, so that neither exists afterwards. Raises tess::fileError
    // when one exists and cannot be deleted.
    void remove() const;
};

}  // namespace tess::compress
