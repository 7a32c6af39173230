// SPDX-License-Identifier: MIT
#include "platform/posix/posix_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <vector>

#include "platform/posix/posix_temporary.h"

namespace sabrota::platform {

namespace fs = std::filesystem;

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// What the new file takes over from the one it replaces.
struct Keep {
    bool exists = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

// The old file's group where the user may give it (and, for root, its owner too). Where the
// group cannot be kept, the group's rights shrink to what everybody else had, so that the
// members of the user's own group gain nothing.
bool takeOver(int fd, const Keep& keep, mode_t mode) {
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if (keep.exists && (now.st_uid != keep.uid || now.st_gid != keep.gid) &&
        ::fchown(fd, keep.uid, keep.gid) != 0) {
        if (errno != EPERM)
            return false;
        if (now.st_gid != keep.gid && ::fchown(fd, static_cast<uid_t>(-1), keep.gid) != 0) {
            if (errno != EPERM)
                return false;
            mode = (mode & ~mode_t{070}) | (mode & ((mode & 07) << 3));
        }
    }
    return ::fchmod(fd, mode) == 0;
}

// The new content in a temporary file of the folder: written, given its owner, group and mode,
// synced, and only then given a temporary name.
bool writeTemporary(int dirFd, std::string_view base, std::string_view bytes, const Keep& keep,
                    mode_t mode, Temporary& t) {
    return createTemporary(dirFd, base, t) && writeAll(t.fd.get(), bytes) &&
           takeOver(t.fd.get(), keep, mode) && ::fsync(t.fd.get()) == 0 &&
           nameTemporary(dirFd, base, t);
}

bool syncFolder(int dirFd) {
    // Some file systems cannot sync a folder at all; a rename there is as safe as it gets.
    return ::fsync(dirFd) == 0 || errno == EINVAL;
}

// Follows symbolic links from name to the file they end at, which need not exist yet (an
// export through a dangling link creates its target). False for a loop or an unreadable link.
bool followLinks(std::string name, std::string& target) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return false;
            target = name;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = name;
            return true;
        }
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(name.c_str(), buf.data(), buf.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= buf.size())
            return false;
        const fs::path link(std::string(buf.data(), static_cast<std::size_t>(n)));
        name = (link.is_absolute() ? link : fs::path(name).parent_path() / link).string();
    }
    return false;
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

PosixFileStore::PosixFileStore() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

bool PosixFileStore::replaceFile(std::string_view name, std::string_view bytes) {
    std::string target;
    if (!followLinks(std::string(name), target))
        return false;
    const fs::path path(target);
    const std::string base = path.filename().string();
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (base.empty() || dir.get() < 0)
        return false;
    sweepTemporaries(dir.get(), base);

    Keep keep;
    mode_t mode = defaultFileMode();
    struct stat st {};
    if (::fstatat(dir.get(), base.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        // A file the user may not write stays a failure, though a rename would replace it.
        if (!S_ISREG(st.st_mode) ||
            ::faccessat(dir.get(), base.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        keep = {true, st.st_uid, st.st_gid};
        mode = st.st_mode & 0777;
    } else if (errno != ENOENT) {
        return false;
    }

    Temporary t;
    if (!writeTemporary(dir.get(), base, bytes, keep, mode, t) ||
        ::renameat(dir.get(), t.name.c_str(), dir.get(), base.c_str()) != 0) {
        discardTemporary(dir.get(), t);
        return false;
    }
    return syncFolder(dir.get());
}

}  // namespace sabrota::platform
