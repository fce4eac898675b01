#include "compress/sprites/TempFiles.h"

#include <filesystem>

#include "app/core/RuntimeError.h"

namespace tess::compress {

void TempFiles::remove() const {
    for (const std::string* name : {&dump, &dumpc}) {
        std::error_code ec;
        std::filesystem::remove(*name, ec);
        if (ec) throw fileError(*name);
    }
}

}  // namespace tess::compress
