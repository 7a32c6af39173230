// SPDX-License-Identifier: MIT
#include "platform/posix/posix_temporary.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <vector>

namespace sabrota::platform {

namespace {

constexpr std::string_view kMark = ".sabrota-";
constexpr int kSuffixLength = 6;
constexpr int kTries = 100;
// A temporary file without a lock is left alone for this long: a writer on a file system
// without unnamed files takes its lock a moment after creating the file.
constexpr time_t kStaleAfterSeconds = 60;

std::string temporaryName(std::string_view base) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[kSuffixLength] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        const auto seed = static_cast<unsigned long>(::clock()) ^
                          static_cast<unsigned long>(::time(nullptr)) ^
                          (static_cast<unsigned long>(::getpid()) << 16);
        for (int i = 0; i < kSuffixLength; ++i)
            random[i] = static_cast<unsigned char>(seed >> (5 * i));
    }
    std::string name = "." + std::string(base) + std::string(kMark);
    for (const unsigned char c : random)
        name += kAlphabet[c % (sizeof kAlphabet - 1)];
    return name;
}

// Links an unnamed file under name; false when the name is taken or the file system refuses.
bool linkUnnamed(int fd, int dirFd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    // Without /proc only a process that may read any folder links a descriptor itself.
    return errno == ENOENT && ::linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0;
}

}  // namespace

bool createTemporary(int dirFd, std::string_view base, Temporary& t) {
    t.name.clear();
    t.fd.reset(::openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (t.fd.get() < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
        for (int tries = 0; t.fd.get() < 0 && tries < kTries; ++tries) {
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
    return true;
}

bool nameTemporary(int dirFd, std::string_view base, Temporary& t) {
    if (!t.name.empty())
        return true;
    for (int tries = 0; tries < kTries; ++tries) {
        std::string name = temporaryName(base);
        if (linkUnnamed(t.fd.get(), dirFd, name)) {
            t.name = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void discardTemporary(int dirFd, Temporary& t) {
    if (!t.name.empty())
        ::unlinkat(dirFd, t.name.c_str(), 0);
    t.name.clear();
}

void sweepTemporaries(int dirFd, std::string_view base) {
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
        // Only the very file that was checked goes, not one that took its name meanwhile.
        if (fd.get() >= 0 && ::fstat(fd.get(), &held) == 0 && S_ISREG(held.st_mode) &&
            held.st_uid == ::geteuid() && held.st_nlink == 1 &&
            held.st_mtime <= now - kStaleAfterSeconds &&
            ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_dev == there.st_dev && held.st_ino == there.st_ino)
            ::unlinkat(dirFd, name.c_str(), 0);
    }
}

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

}  // namespace sabrota::platform
