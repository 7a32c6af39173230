// The desktop services that plain POSIX calls provide: the export's file store and the
// program folder.
#pragma once

#include <filesystem>
#include <string>

#include "platform/services.h"

namespace sabrota::platform {

// Puts a new content in place of a file so that the file holds either its old content or the
// complete new one, whatever fails on the way.
//
// Where that is safe (the folder may be written and the file is absent, or a regular file of
// the user's with one name) the content goes to a temporary file beside it, which is renamed
// into place. Otherwise (a folder the user may not write, a file with further hard links, a
// file of another user or of a group the user cannot give a new file, or a file system too full
// for a second copy) the file is rewritten in place: the space the new content needs is
// reserved first, so nothing of the old content is overwritten until the new content is sure
// to fit. Temporary files that a killed export left beside the file are removed. A symbolic link is
// followed: its target is what gets replaced. Neither way leaves the set-user-ID, set-group-ID or
// sticky bit on the file.
class PosixFileStore : public FileStore {
  public:
    // How a rewrite in place makes sure of its space: posix_fallocate, or, as on a file system
    // that cannot reserve space, by writing the part beyond the old end first.
    enum class Reserve { Allocate, TailFirst };

    explicit PosixFileStore(Reserve reserve = Reserve::Allocate) : reserve_(reserve) {}
    bool replaceFile(std::string_view name, std::string_view bytes) override;

  private:
    Reserve reserve_;
};

// What the choice of the program folder depends on.
struct FolderFacts {
    std::filesystem::path executableFolder;  // empty when it cannot be found
    bool executableFolderWritable = false;   // the user may create files in it
    std::string dataHome;                    // $XDG_DATA_HOME as set, possibly empty
    std::string home;                        // $HOME, or the account's home folder
};

// Folders that hold many installed programs rather than a program of its own: /usr and
// everything below it, /opt and everything below it, /bin, /sbin, and the user's ~/.local/bin
// and ~/bin.
bool isSharedProgramFolder(const std::filesystem::path& folder, const std::string& home);

// The folder the program keeps ip-file.csv and ip-memo.txt in: the executable's own folder for
// a copy the user keeps in a folder they may write, otherwise (an installed program, or a
// folder the user may not write) the user's data folder for Sabrota, $XDG_DATA_HOME/sabrota or
// ~/.local/share/sabrota. Empty when neither can be named.
std::filesystem::path programFolderFor(const FolderFacts& facts);

// Makes the program folder the current directory, creating the data folder (and any missing
// folder above it) with permissions for the user alone.
class ExecutableFolder : public ProgramFolder {
  public:
    bool makeCurrent() override;
    // The folder of the running executable, empty when it cannot be found.
    static std::filesystem::path folder();
    // The facts of this process: its executable, the environment, the user's account.
    static FolderFacts facts();
    // Chooses the program folder for the facts, creates it if it is the data folder, and makes
    // it the current directory. False (and the current directory unchanged) when any of it fails.
    static bool enter(const FolderFacts& facts);
};

}  // namespace sabrota::platform
