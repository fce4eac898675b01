#include "compress/lib/WholeFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <system_error>

namespace tess::compress {
namespace fs = std::filesystem;

namespace {

// A name beside the destination that no other writer in this process or another uses at the
// same moment: leading dot, the destination's name, a per-process counter and the clock.
fs::path temporaryBeside(const fs::path& path) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = "." + path.filename().string() + ".part" + std::to_string(counter++) +
                             "-" + std::to_string(ticks);
    return path.parent_path() / name;
}

std::string reasonOf(const std::error_code& error) { return error.message(); }

}  // namespace

std::optional<std::vector<uint8_t>> readWholeFile(const fs::path& path, std::string& why) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        why = "is a folder";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(reinterpret_cast<char*>(bytes.data()), size);
    }
    if (size < 0 || !in) {
        why = "read error";
        return std::nullopt;
    }
    return bytes;
}

bool writeWholeFile(const fs::path& path, std::span<const uint8_t> bytes, std::string& why) {
    std::error_code error;
    if (path.empty() || path.filename().empty()) {
        why = "no file name";
        return false;
    }
    if (fs::is_directory(path, error)) {
        why = "is a folder";
        return false;
    }
    const fs::path temporary = temporaryBeside(path);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            why = std::strerror(errno);
            return false;
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            why = "write error";
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, path, error);
    if (error) {
        why = reasonOf(error);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace tess::compress
