#include "platform/posix/posix_services.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace sabrota::platform {

namespace fs = std::filesystem;

namespace {

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, p, left, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        offset += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool isMine(const struct stat& st) {
    return st.st_uid == ::geteuid();
}

std::string folderOf(const std::string& path) {
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? std::string(".") : parent;
}

// Follows symbolic links from name to the file they end at, which need not exist yet (a plain
// rewrite through a dangling link creates its target). False for a loop or an unreadable link.
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

// The store's temporary files are named <file>.XXXXXX, six letters or digits as mkstemp
// makes them.
bool isTemporaryName(std::string_view entry, std::string_view base) {
    if (entry.size() != base.size() + 7 || entry.substr(0, base.size()) != base ||
        entry[base.size()] != '.')
        return false;
    return std::all_of(
        entry.begin() + static_cast<std::ptrdiff_t>(base.size()) + 1, entry.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        });
}

// Whether an entry named like a temporary file is one of this store's, left behind by a
// process that died before renaming it: a regular file of the user's with one name, still with
// mkstemp's mode 0600 (the final mode is set only after the rename), held by no live writer
// (each writer keeps its temporary file locked) and holding nothing or the beginning of an
// export (every export begins with the same first line). A file of the user's own that merely
// has such a name fails one of these.
bool isStaleTemporary(int dirFd, const char* entry, std::string_view firstLine, int& fdOut) {
    const int fd = ::openat(dirFd, entry, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 && isMine(st) &&
                 (st.st_mode & 07777) == 0600 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (stale && st.st_size > 0) {
        const std::size_t want = std::min(static_cast<std::size_t>(st.st_size), firstLine.size());
        std::string head(want, '\0');
        stale = want > 0 && ::pread(fd, head.data(), want, 0) == static_cast<ssize_t>(want) &&
                head == firstLine.substr(0, want);
    }
    if (!stale) {
        ::close(fd);
        return false;
    }
    fdOut = fd;
    return true;
}

void removeStaleTemporaries(const std::string& folder, std::string_view base,
                            std::string_view firstLine) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (!isTemporaryName(e->d_name, base))
            continue;
        int fd = -1;
        if (!isStaleTemporary(dirFd, e->d_name, firstLine, fd))
            continue;
        // Only the very file that was checked goes, not one that took its name meanwhile.
        struct stat held {};
        struct stat now {};
        if (::fstat(fd, &held) == 0 &&
            ::fstatat(dirFd, e->d_name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_dev == now.st_dev && held.st_ino == now.st_ino)
            ::unlinkat(dirFd, e->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

enum class Renamed { Done, Failed, NoSpace, GroupNotKept };

Renamed failedWith(int error) {
    return error == ENOSPC || error == EDQUOT ? Renamed::NoSpace : Renamed::Failed;
}

// The new content in a temporary file beside the target, renamed into place. keep is the file
// being replaced (its group is kept), or null for a new file.
Renamed replaceByRename(const std::string& target, std::string_view bytes, mode_t mode,
                        const struct stat* keep) {
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failedWith(errno);
    // The lock tells a later export in another process that this file is still being written.
    ::flock(fd, LOCK_EX);
    struct stat st {};
    if (keep != nullptr && (::fstat(fd, &st) != 0 ||
                            (st.st_gid != keep->st_gid && ::fchown(fd, -1, keep->st_gid) != 0))) {
        ::unlink(temp.c_str());
        ::close(fd);
        return Renamed::GroupNotKept;
    }
    if (!(writeAllAt(fd, bytes, 0) && ::fsync(fd) == 0 &&
          ::rename(temp.c_str(), target.c_str()) == 0)) {
        const int error = errno;
        ::unlink(temp.c_str());
        ::close(fd);
        return failedWith(error);
    }
    // The final mode comes only now, so a temporary file that a killed process leaves behind
    // always has mkstemp's 0600, by which the next export knows it.
    ::fchmod(fd, mode);
    ::close(fd);
    syncFolder(folderOf(target));
    return Renamed::Done;
}

// Cuts a file back to its old length after a failed reservation; the old bytes were never
// touched.
void restoreLength(int fd, off_t oldSize) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size != oldSize) {
        [[maybe_unused]] const int r = ::ftruncate(fd, oldSize);
    }
}

bool rewriteInPlace(const std::string& target, std::string_view bytes,
                    PosixFileStore::Reserve reserve) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const off_t oldSize = st.st_size;
    const auto newSize = static_cast<off_t>(bytes.size());

    // Nothing of the old content is overwritten before the space for the new one is certain.
    bool reserved = true;
    if (newSize > 0 && reserve == PosixFileStore::Reserve::Allocate) {
        const int r = ::posix_fallocate(fd, 0, newSize);
        if (r == EOPNOTSUPP || r == ENOSYS || r == EINVAL)
            reserve = PosixFileStore::Reserve::TailFirst;
        else
            reserved = r == 0;
    }
    if (reserved && reserve == PosixFileStore::Reserve::TailFirst && newSize > oldSize)
        reserved = writeAllAt(fd, bytes.substr(static_cast<std::size_t>(oldSize)), oldSize);
    if (!reserved) {
        restoreLength(fd, oldSize);
        ::close(fd);
        return false;
    }

    bool ok = writeAllAt(fd, bytes, 0) && ::fsync(fd) == 0;
    if (ok && oldSize > newSize)
        ok = ::ftruncate(fd, newSize) == 0 && ::fsync(fd) == 0;
    // The writes themselves take the set-user-ID and set-group-ID bits off for anybody but root;
    // this takes them (and the sticky bit) off for root and the owner as well.
    if (ok && (st.st_mode & 07000) != 0)
        ::fchmod(fd, st.st_mode & 0777);
    ok = ::close(fd) == 0 && ok;
    return ok;
}

bool within(const std::string& folder, std::string_view root) {
    return folder == root ||
           (folder.size() > root.size() && folder.compare(0, root.size(), root) == 0 &&
            folder[root.size()] == '/');
}

std::string withoutTrailingSlashes(std::string s) {
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

}  // namespace

bool PosixFileStore::replaceFile(std::string_view name, std::string_view bytes) {
    std::string target;
    if (!followLinks(std::string(name), target))
        return false;
    const std::string folder = folderOf(target);
    const auto lineEnd = bytes.find('\n');
    removeStaleTemporaries(
        folder, fs::path(target).filename().string(),
        bytes.substr(0, lineEnd == std::string_view::npos ? bytes.size() : lineEnd + 1));

    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0)
        return errno == ENOENT &&
               replaceByRename(target, bytes, defaultFileMode(), nullptr) == Renamed::Done;
    if (!S_ISREG(st.st_mode))
        return false;

    const bool renameSafe = st.st_nlink == 1 && isMine(st) &&
                            ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    if (renameSafe) {
        // A target the user may not write to stays a failure, though a rename would replace it.
        const int probe = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        if (probe < 0)
            return false;
        ::close(probe);
        // On a full file system the old file's own space may still hold the new content.
        switch (replaceByRename(target, bytes, st.st_mode & 0777, &st)) {
            case Renamed::Done:
                return true;
            case Renamed::Failed:
                return false;
            case Renamed::NoSpace:
            case Renamed::GroupNotKept:
                break;
        }
    }
    return rewriteInPlace(target, bytes, reserve_);
}

bool isSharedProgramFolder(const fs::path& folder, const std::string& home) {
    const std::string f = withoutTrailingSlashes(folder.lexically_normal().string());
    if (within(f, "/usr") || within(f, "/opt") || f == "/bin" || f == "/sbin")
        return true;
    if (home.empty() || home.front() != '/')
        return false;
    const std::string h = withoutTrailingSlashes(fs::path(home).lexically_normal().string());
    return f == h + "/.local/bin" || f == h + "/bin";
}

fs::path programFolderFor(const FolderFacts& facts) {
    if (!facts.executableFolder.empty() && facts.executableFolderWritable &&
        !isSharedProgramFolder(facts.executableFolder, facts.home))
        return facts.executableFolder;
    // Relative values of these variables do not count, as for every program that reads them.
    fs::path data;
    if (!facts.dataHome.empty() && facts.dataHome.front() == '/')
        data = facts.dataHome;
    else if (!facts.home.empty() && facts.home.front() == '/')
        data = fs::path(facts.home) / ".local" / "share";
    else
        return {};
    return data / "sabrota";
}

fs::path ExecutableFolder::folder() {
    std::error_code ec;
    const auto exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return exe.parent_path();
}

FolderFacts ExecutableFolder::facts() {
    FolderFacts f;
    f.executableFolder = folder();
    f.executableFolderWritable =
        !f.executableFolder.empty() &&
        ::faccessat(AT_FDCWD, f.executableFolder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    if (const char* v = std::getenv("XDG_DATA_HOME"))
        f.dataHome = v;
    if (const char* v = std::getenv("HOME"))
        f.home = v;
    if (f.home.empty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_dir != nullptr)
            f.home = pw->pw_dir;
    }
    return f;
}

bool ExecutableFolder::enter(const FolderFacts& facts) {
    const fs::path dir = programFolderFor(facts);
    if (dir.empty())
        return false;
    if (dir != facts.executableFolder) {
        // Every folder that has to be made is the user's alone, whatever the umask says.
        fs::path made;
        for (const auto& part : dir) {
            made /= part;
            if (::mkdir(made.c_str(), 0700) == 0)
                ::chmod(made.c_str(), 0700);
            else if (errno != EEXIST)
                return false;
        }
    }
    return ::chdir(dir.c_str()) == 0;
}

bool ExecutableFolder::makeCurrent() {
    return enter(facts());
}

}  // namespace sabrota::platform
