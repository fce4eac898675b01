#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace tess::test {

namespace fs = std::filesystem;

void makeUnreadable(const fs::path& file) {
    fs::permissions(file.parent_path(), fs::perms::owner_all | fs::perms::group_read |
                                            fs::perms::group_exec | fs::perms::others_read |
                                            fs::perms::others_exec);
    fs::permissions(file, fs::perms::none);
}

std::string runWithoutReadRights(const std::function<std::string()>& action) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return {};
    }
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        constexpr uid_t kNobody = 65534;
        std::string result;
        int status = 0;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            result = std::string("cannot give up root: ") + std::strerror(errno);
            status = 1;
        } else {
            try {
                result = action();
            } catch (const std::exception& e) {
                result = std::string("uncaught: ") + e.what();
                status = 1;
            }
        }
        for (std::size_t done = 0; done < result.size();) {
            const ssize_t n = ::write(pipeEnds[1], result.data() + done, result.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(status);  // no exit handlers: they belong to the parent
    }
    ::close(pipeEnds[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        ADD_FAILURE() << "no child process: " << std::strerror(errno);
        return {};
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << result;
    return result;
}

}  // namespace tess::test
