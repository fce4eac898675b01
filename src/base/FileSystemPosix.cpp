#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>

#include "base/FileSystem.h"
#include "base/RomFile.h"
#include "base/RuntimeError.h"
#include "base/WholeFile.h"

namespace tess {
namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;                           // as the kernel allows
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;  // between two calls of betweenPieces
constexpr const char* kTemporaryMark = ".tess-";

// The file a path writes to: the path itself, or the end of its chain of links.
std::optional<fs::path> linkTarget(fs::path path, std::string& why) {
    for (int hop = 0;; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(path, error)) return path;
        if (hop == kMaxLinkHops) {
            why = std::strerror(ELOOP);
            return std::nullopt;
        }
        const fs::path link = fs::read_symlink(path, error);
        if (error) {
            why = error.message();
            return std::nullopt;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
}

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// ".NAME.tess-PID-N": hidden beside the target, and naming the process that
// writes it, so that what a killed process left can be told and removed.
std::string temporaryPrefix(const fs::path& target) {
    return "." + target.filename().string() + kTemporaryMark;
}

fs::path temporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    return folderOf(target) / (temporaryPrefix(target) + std::to_string(ThisProcess()) + "-" +
                               std::to_string(counter++));
}

void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = temporaryPrefix(target);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folderOf(target), error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix)) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && !ProcessRuns(pid)) fs::remove(entry.path(), error);
    }
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes, const ReplaceOptions& options) {
    while (!bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), kPieceBytes);
        const ssize_t n = ::write(fd, bytes.data(), piece);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
        if (!bytes.empty() && options.betweenPieces) options.betweenPieces();
    }
    return options.durability == Durability::Cached || ::fsync(fd) == 0;
}

// The rename is only lasting once the folder that holds the name is flushed too.
void flushFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // some file systems cannot flush a folder; the rename stands all the same
    ::close(fd);
}

}  // namespace

long ThisProcess() { return static_cast<long>(::getpid()); }

bool ProcessRuns(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

bool ReplaceFile(const fs::path& path, std::span<const std::uint8_t> bytes, std::string& why,
                 const ReplaceOptions& options) {
    if (path.empty() || path.filename().empty()) {
        why = "no file name";
        return false;
    }
    const auto target = linkTarget(path, why);
    if (!target) return false;
    struct stat old {};
    const bool replacing = ::stat(target->c_str(), &old) == 0;
    if (replacing) {
        std::error_code error;  // a status that cannot be read is no regular file's
        if (const auto fault = notRegular(fs::status(*target, error))) {
            why = fault->why;
            return false;
        }
    }
    removeStaleTemporaries(*target);

    const mode_t mode = replacing ? old.st_mode & 07777 : 0666;  // a new file: less the umask
    const fs::path temporary = temporaryBeside(*target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    if (replacing) {
        // The umask may not allow the old permissions; the owner is kept where
        // this process may give the file away.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
    }
    bool ok = (!replacing || ::fchmod(fd, mode) == 0) && writeAll(fd, bytes, options);
    int failure = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && ::rename(temporary.c_str(), target->c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        why = std::strerror(failure);
        ::unlink(temporary.c_str());
        return false;
    }
    if (options.durability == Durability::Flushed) flushFolder(folderOf(*target));
    return true;
}

void RewriteFile(const std::string& path,
                 const std::function<void(std::vector<std::uint8_t>&)>& edit,
                 const ReplaceOptions& options) {
    std::vector<std::uint8_t> bytes = readWhole(path);
    edit(bytes);
    std::string why;
    if (!ReplaceFile(path, bytes, why, options)) throw fileError(path, why);
}

}  // namespace tess
