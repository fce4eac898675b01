#include "gfx/core/RomFile.h"

#include <cstdio>
#include <memory>

#include "app/core/RuntimeError.h"

namespace tess::gfx {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

RuntimeError badRecordNumber() { return {63, "Bad record number"}; }

File openAt(const std::string& path, const char* mode, std::int64_t offset) {
    if (offset < 0) throw badRecordNumber();
    File file(std::fopen(path.c_str(), mode));
    if (!file) throw fileError(path);
    if (fseeko(file.get(), static_cast<off_t>(offset), SEEK_SET) != 0) throw fileError(path);
    return file;
}

}  // namespace

std::size_t readAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) {
    File file = openAt(path, "rb", offset);
    const std::size_t got = std::fread(out.data(), 1, out.size(), file.get());
    // A short read is the end of the file; an error (a folder, a failing
    // disk) must not pass for one.
    if (got < out.size() && std::ferror(file.get())) throw fileError(path);
    return got;
}

void writeAt(const std::string& path, std::int64_t offset, std::span<const std::uint8_t> bytes) {
    // "r+b" neither creates nor truncates.
    File file = openAt(path, "r+b", offset);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        throw fileError(path);
    }
    if (std::fclose(file.release()) != 0) throw fileError(path);
}

}  // namespace tess::gfx
