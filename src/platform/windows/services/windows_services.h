// SPDX-License-Identifier: MIT
// The desktop services that Windows' own calls provide: the export's file store, the program
// folder and the shell's "open".
#pragma once

#include <string>

#include "platform/services.h"

namespace sabrota::platform {

// Puts a new content in place of a file so that the file holds either its old content or the
// complete new one, whatever fails on the way: the content goes to a temporary file in the
// target's folder, which then replaces the target (ReplaceFileW, which keeps the target's
// attributes and security, or else MoveFileExW). Where neither can replace it (a folder the
// user may not write, a read-only file, a file another program holds open, as a spreadsheet
// does with the file it shows) the export refuses and the old file stays as it was. A
// temporary that a killed export left behind is removed by a later export.
class WindowsFileStore : public FileStore {
  public:
    bool replaceFile(std::string_view name, std::string_view bytes) override;
};

// The folder the program keeps ip-file.csv and ip-memo.txt in: the executable's own folder
// where the user may create files in it, otherwise (Program Files) a folder "Sabrota" in the
// user's Documents. Empty when neither can be named.
std::wstring programFolderFor(const std::wstring& executableFolder, bool executableFolderWritable,
                              const std::wstring& documents);

// Makes the program folder the current directory, creating Documents\Sabrota if that is the one.
class WindowsProgramFolder : public ProgramFolder {
  public:
    bool makeCurrent() override;
    // The folder of the running executable, without a trailing backslash.
    static std::wstring executableFolder();
    // Whether the user may create a file in the folder, found by creating one.
    static bool writable(const std::wstring& folder);
    // The user's Documents folder, empty when the system names none.
    static std::wstring documents();
};

// The shell's "open": a web address as it is, a file of the current directory by its full path.
class WindowsShellOpen : public ShellOpen {
  public:
    void open(std::string_view target) override;
};

}  // namespace sabrota::platform
