#include "platform/posix/posix_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace sabrota::platform {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool PosixFileStore::replaceFile(std::string_view name, std::string_view bytes) {
    const std::string target(name);
    // A target the user may not write to stays a failure, though a rename would replace it.
    mode_t mode = defaultFileMode();
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return false;
        const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0)
            return false;
        ::close(probe);
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }

    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

std::filesystem::path ExecutableFolder::folder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return exe.parent_path();
}

bool ExecutableFolder::makeCurrent() {
    const auto dir = folder();
    if (dir.empty())
        return false;
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    return !ec;
}

}  // namespace sabrota::platform
