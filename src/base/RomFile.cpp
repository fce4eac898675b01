#include "base/RomFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/RuntimeError.h"
#include "base/WholeFile.h"

namespace tess {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::size_t readAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) {
    if (offset < 0) throw badRecordNumberError();
    File file(std::fopen(path.c_str(), "rb"));
    if (!file || fseeko(file.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
        throw fileError(path, std::strerror(errno));
    }
    const std::size_t got = std::fread(out.data(), 1, out.size(), file.get());
    // A short read is the end of the file; an error (a folder, a failing
    // disk) must not pass for one.
    if (got < out.size() && std::ferror(file.get())) throw fileError(path, std::strerror(errno));
    return got;
}

std::vector<std::uint8_t> readWhole(const std::string& path) {
    std::string why;
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path, why);
    if (!bytes) throw fileError(path, why);
    return std::move(*bytes);
}

void writeWhole(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string why;
    if (!writeWholeFile(path, bytes, why)) throw fileError(path, why);
}

}  // namespace tess
