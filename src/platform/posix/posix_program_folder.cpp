// SPDX-License-Identifier: MIT
#include "platform/posix/posix_program_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <system_error>

#include "platform/posix/posix_file_store.h"
#include "platform/posix/posix_user_dirs.h"
#include "platform/posix/unique_fd.h"

namespace sabrota::platform {

namespace fs = std::filesystem;

namespace {

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

bool isAbsolute(const std::string& s) {
    return !s.empty() && s.front() == '/';
}

void refuse(const fs::path& folder, const char* why) {
    std::fprintf(stderr, "sabrota: not using the folder %s: %s\n", folder.c_str(), why);
}

// Why a folder may not hold the program's files, or null when it may: anybody who may write
// to it could put a link in place of ip-file.csv or ip-memo.txt.
const char* refusal(const struct stat& st) {
    if (!S_ISDIR(st.st_mode))
        return "it is not a folder";
    if (st.st_uid != ::geteuid())
        return "it belongs to another user";
    if ((st.st_mode & 022) != 0)
        return "others may write to it";
    return nullptr;
}

// Opens a folder without following a symbolic link and checks it; -1 (and the reason printed)
// when it fails.
int openChecked(const fs::path& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0) {
        const int error = errno;
        if (error != ENOENT)
            refuse(folder, ::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)
                               ? "it is a symbolic link"
                           : error == ENOTDIR ? "it is not a folder"
                                              : std::strerror(error));
        return -1;
    }
    if (::fstat(fd.get(), &st) != 0)
        return -1;
    if (const char* why = refusal(st)) {
        refuse(folder, why);
        return -1;
    }
    return fd.release();
}

// Opens the program folder, creating it and each missing folder above it for the user alone.
// The folder itself and every folder made here must pass openChecked and end up at 0700.
int openOwnFolder(const fs::path& dir) {
    fs::path made;
    for (auto it = dir.begin(); it != dir.end(); ++it) {
        made /= *it;
        const bool last = std::next(it) == dir.end();
        const bool created = ::mkdir(made.c_str(), 0700) == 0;
        if (!created && errno != EEXIST) {
            if (errno == ENOTDIR)
                refuse(made.parent_path(), "it is not a folder");
            else
                refuse(made, std::strerror(errno));
            return -1;
        }
        if (!created && !last)
            continue;
        UniqueFd fd(openChecked(made));
        if (fd.get() < 0)
            return -1;
        // Whatever the umask made of it, or a folder of the user's own that others may read.
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0 ||
            ((st.st_mode & 07777) != 0700 && ::fchmod(fd.get(), 0700) != 0)) {
            refuse(made, std::strerror(errno));
            return -1;
        }
        if (last)
            return fd.release();
    }
    return -1;
}

}  // namespace

bool isSharedProgramFolder(const fs::path& folder, const std::string& home) {
    const std::string f = withoutTrailingSlashes(folder.lexically_normal().string());
    if (within(f, "/usr") || within(f, "/opt") || f == "/bin" || f == "/sbin")
        return true;
    if (!isAbsolute(home))
        return false;
    const std::string h = withoutTrailingSlashes(fs::path(home).lexically_normal().string());
    return f == h + "/.local/bin" || f == h + "/bin";
}

fs::path programFolderFor(const FolderFacts& facts) {
    if (!facts.executableFolder.empty() && facts.executableFolderWritable &&
        !isSharedProgramFolder(facts.executableFolder, facts.home))
        return facts.executableFolder;
    // Relative values do not count, as for every program that reads them.
    fs::path documents;
    if (isAbsolute(facts.documents))
        documents = facts.documents;
    else if (isAbsolute(facts.home))
        documents = fs::path(facts.home) / "Documents";
    else
        return {};
    return (documents / "Sabrota").lexically_normal();
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
    if (const char* v = std::getenv("HOME"))
        f.home = v;
    if (f.home.empty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_dir != nullptr)
            f.home = pw->pw_dir;
    }
    f.documents = documentsFolderOf(f.home);
    return f;
}

bool ExecutableFolder::enter(const FolderFacts& facts) {
    const fs::path dir = programFolderFor(facts);
    if (dir.empty())
        return false;
    if (dir == facts.executableFolder)
        return ::chdir(dir.c_str()) == 0;
    const UniqueFd folder(openOwnFolder(dir));
    if (folder.get() < 0)
        return false;
    return ::fchdir(folder.get()) == 0;
}

bool ExecutableFolder::makeCurrent() {
    return enter(facts());
}

}  // namespace sabrota::platform
