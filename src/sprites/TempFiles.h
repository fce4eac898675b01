#pragma once

#include <string>

namespace tess::sprites {

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

// The two files in a new folder of their own under the system's temp folder,
// removed again with the object: for loads that must not touch the editor's
// "dump.bin", and for the command line. The folder's name holds the process's
// number; folders of processes that ended without removing theirs (killed)
// are removed when the next one is made.
class PrivateTempFiles {
public:
    PrivateTempFiles();  // raises tess::fileError when no folder can be made
    ~PrivateTempFiles();
    PrivateTempFiles(const PrivateTempFiles&) = delete;
    PrivateTempFiles& operator=(const PrivateTempFiles&) = delete;

    const TempFiles& files() const { return files_; }

private:
    std::string folder_;
    TempFiles files_;
};

}  // namespace tess::sprites
