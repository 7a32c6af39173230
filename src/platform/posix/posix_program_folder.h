// SPDX-License-Identifier: MIT
// The program folder on POSIX: where ip-file.csv and ip-memo.txt live, made the current
// directory at start-up.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/services.h"

namespace sabrota::platform {

// What the choice of the program folder depends on.
struct FolderFacts {
    std::filesystem::path executableFolder;  // empty when it cannot be found
    bool executableFolderWritable = false;   // the user may create files in it
    std::string home;                        // $HOME, or the account's home folder
    std::string documents;  // XDG_DOCUMENTS_DIR of the user's user-dirs.dirs, possibly empty
};

// Folders that hold many installed programs rather than a program of its own: /usr and
// everything below it, /opt and everything below it, /bin, /sbin, and the user's ~/.local/bin
// and ~/bin.
bool isSharedProgramFolder(const std::filesystem::path& folder, const std::string& home);

// The folder the program keeps ip-file.csv and ip-memo.txt in: the executable's own folder for
// a copy the user keeps in a folder they may write, otherwise (an installed program, or a
// folder the user may not write) the folder Sabrota in the user's documents folder,
// XDG_DOCUMENTS_DIR or ~/Documents. Empty when neither can be named.
std::filesystem::path programFolderFor(const FolderFacts& facts);

// Makes the program folder the current directory. A folder outside the executable's is used
// only when it is the user's, not a symbolic link and not writable by group or others; the
// program creates it (and each missing folder above it) for the user alone and tightens a
// folder of the user's own to 0700. Otherwise one line on stderr names the folder and why.
class ExecutableFolder : public ProgramFolder {
  public:
    bool makeCurrent() override;
    // The folder of the running executable, empty when it cannot be found.
    static std::filesystem::path folder();
    // The facts of this process: its executable, the environment, the user's account.
    static FolderFacts facts();
    // Chooses the program folder for the facts, creates and checks it if it is not the
    // executable's, and makes it the current directory. False (and the current directory
    // unchanged) when any of it fails.
    static bool enter(const FolderFacts& facts);
};

}  // namespace sabrota::platform
