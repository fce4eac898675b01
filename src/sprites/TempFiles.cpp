#include "sprites/TempFiles.h"

#include <stdlib.h>

#include <filesystem>

#include "base/RuntimeError.h"

namespace tess::sprites {

void TempFiles::remove() const {
    for (const std::string* name : {&dump, &dumpc}) {
        std::error_code ec;
        std::filesystem::remove(*name, ec);
        if (ec) throw fileError(*name);
    }
}

PrivateTempFiles::PrivateTempFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessellane-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw fileError(pattern);
    folder_ = pattern;
    files_.dump = folder_ + "/dump.bin";
    files_.dumpc = folder_ + "/dumpc.bin";
}

PrivateTempFiles::~PrivateTempFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace tess::sprites
