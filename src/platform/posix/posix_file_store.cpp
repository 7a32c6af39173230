#include "platform/posix/posix_file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace sabrota::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMark = ".sabrota-";
constexpr int kSuffixLength = 6;
// A temporary file without a lock is left alone for this long: a writer on a file system
// without unnamed files takes its lock a moment after creating the file.
constexpr time_t kStaleAfterSeconds = 60;

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

std::string temporaryName(std::string_view base) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[kSuffixLength] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        const auto seed = static_cast<unsigned long>(::time(nullptr)) ^
                          (static_cast<unsigned long>(::getpid()) << 16);
        for (int i = 0; i < kSuffixLength; ++i)
            random[i] = static_cast<unsigned char>(seed >> (5 * i));
    }
    std::string name = "." + std::string(base) + std::string(kMark);
    for (const unsigned char c : random)
        name += kAlphabet[c % (sizeof kAlphabet - 1)];
    return name;
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

// A complete, synced temporary file with its final mode and a name in the folder.
struct Temporary {
    UniqueFd fd;
    std::string name;
};

// Gives an unnamed file the name; false when it is taken or the file system refuses.
bool linkUnnamed(int fd, int dirFd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    // Without /proc only a process that may read any folder links a descriptor itself.
    return errno == ENOENT && ::linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Writes bytes into a new temporary file of the folder. Where the file system has unnamed
// files the file is one, locked from the start and linked under its temporary name only when
// complete; otherwise it is created under that name and locked at once. name: the final name to
// link an unnamed file under straight away (no replacement), or empty for a temporary name.
bool writeTemporary(int dirFd, std::string_view base, std::string_view bytes, const Keep& keep,
                    mode_t mode, Temporary& t, const std::string& finalName = {}) {
    t.fd.reset(::openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    const bool unnamed = t.fd.get() >= 0;
    if (!unnamed) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
        for (int tries = 0; t.fd.get() < 0 && tries < 100; ++tries) {
            t.name = temporaryName(base);
            t.fd.reset(::openat(dirFd, t.name.c_str(),
                                O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (t.fd.get() < 0 && errno != EEXIST)
                break;
        }
        if (t.fd.get() < 0) {
            t.name.clear();
            return false;
        }
    }
    // The lock tells a later export's sweep that this file is still being written.
    ::flock(t.fd.get(), LOCK_EX | LOCK_NB);
    if (!(writeAll(t.fd.get(), bytes) && takeOver(t.fd.get(), keep, mode) &&
          ::fsync(t.fd.get()) == 0))
        return false;
    if (!unnamed)
        return true;
    if (!finalName.empty()) {
        if (!linkUnnamed(t.fd.get(), dirFd, finalName))
            return false;
        t.name = finalName;
        return true;
    }
    for (int tries = 0; tries < 100; ++tries) {
        const std::string name = temporaryName(base);
        if (linkUnnamed(t.fd.get(), dirFd, name)) {
            t.name = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void discard(int dirFd, Temporary& t) {
    if (!t.name.empty())
        ::unlinkat(dirFd, t.name.c_str(), 0);
    t.name.clear();
}

bool syncFolder(int dirFd) {
    // Some file systems cannot sync a folder at all; a rename there is as safe as it gets.
    return ::fsync(dirFd) == 0 || errno == EINVAL;
}

// Removes the temporary files that killed exports left: the user's, unlocked, older than a
// minute, one name only. Only the very file that was checked goes.
void sweep(int dirFd, std::string_view base) {
    const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        if (isStoreTemporary(e->d_name, base))
            names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    const time_t now = ::time(nullptr);
    for (const std::string& name : names) {
        const UniqueFd fd(
            ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat held {};
        struct stat there {};
        if (fd.get() >= 0 && ::fstat(fd.get(), &held) == 0 && S_ISREG(held.st_mode) &&
            held.st_uid == ::geteuid() && held.st_nlink == 1 &&
            held.st_mtime <= now - kStaleAfterSeconds &&
            ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_dev == there.st_dev && held.st_ino == there.st_ino)
            ::unlinkat(dirFd, name.c_str(), 0);
    }
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

bool isStoreTemporary(std::string_view entry, std::string_view base) {
    const std::size_t head = 1 + base.size() + kMark.size();
    if (entry.size() != head + kSuffixLength || entry[0] != '.' ||
        entry.substr(1, base.size()) != base ||
        entry.substr(1 + base.size(), kMark.size()) != kMark)
        return false;
    return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(head), entry.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

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
    sweep(dir.get(), base);

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
        discard(dir.get(), t);
        return false;
    }
    return syncFolder(dir.get());
}

bool createFileIn(int dirFd, const std::string& name, std::string_view bytes, mode_t mode) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
        return false;
    Temporary t;
    if (!writeTemporary(dirFd, name, bytes, Keep{}, mode & 0777, t, name)) {
        if (t.name != name)
            discard(dirFd, t);
        return false;
    }
    if (t.name != name) {
        // A named temporary: a second name that cannot replace anything, then the first goes.
        const bool linked = ::linkat(dirFd, t.name.c_str(), dirFd, name.c_str(), 0) == 0;
        discard(dirFd, t);
        if (!linked)
            return false;
    }
    return syncFolder(dirFd);
}

}  // namespace sabrota::platform
