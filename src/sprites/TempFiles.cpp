#include "sprites/TempFiles.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/FileSystem.h"
#include "base/RuntimeError.h"

namespace tess::sprites {

void TempFiles::remove() const {
    for (const std::string* name : {&dump, &dumpc}) {
        std::error_code ec;
        std::filesystem::remove(*name, ec);
        if (ec) throw fileError(*name);
    }
}

namespace {

constexpr std::string_view kFolderPrefix = "tessellane-";

// What a killed process left: folders "tessellane-PID-..." whose process has ended.
void removeFoldersOfEndedProcesses(const std::filesystem::path& temp) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(temp, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kFolderPrefix) || !entry.is_directory(error)) continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + kFolderPrefix.size(), &end, 10);
        if (pid > 0 && *end == '-' && !ProcessRuns(pid))
            std::filesystem::remove_all(entry.path(), error);
    }
}

}  // namespace

PrivateTempFiles::PrivateTempFiles() {
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    removeFoldersOfEndedProcesses(temp);
    std::string pattern =
        (temp / (std::string(kFolderPrefix) + std::to_string(ThisProcess()) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw fileError(temp.string(), std::strerror(errno));
    folder_ = pattern;
    // The interface's own names, in the new folder.
    files_.dump = folder_ + "/" + files_.dump;
    files_.dumpc = folder_ + "/" + files_.dumpc;
}

PrivateTempFiles::~PrivateTempFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace tess::sprites
