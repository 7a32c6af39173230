// SPDX-License-Identifier: MIT
// The export's file store on POSIX: a new content comes into place by a rename, or not at all.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/services.h"

namespace sabrota::platform {

// Puts a new content in place of a file so that the file holds either its old content or the
// complete new one, whatever fails on the way, a kill included.
//
// A symbolic link is followed to the file it ends at; the link stays a link. In that file's
// folder the new content goes into a temporary file, which is synced, given the old file's
// permission bits (without set-user-ID, set-group-ID and sticky bits) and group, and renamed
// over the old file; then the folder is synced. The new file is the user's own, so a file with
// further hard links becomes a file of its own and its other names keep the old content.
// Where that cannot work (a folder the user may not write, a file the user may not write, a
// sticky folder with another user's file, no room for a second copy, a file-size limit) the
// export fails and nothing changes.
//
// Temporary files are named ".<file>.sabrota-" and six letters or digits, and are locked by
// their writer from the moment they have a name. Left-overs of a killed export (the user's,
// unlocked, older than a minute) go at the next export; nothing else beside the file is touched.
class PosixFileStore : public FileStore {
  public:
    // Ignores SIGXFSZ for the process, so that a file-size limit makes a write fail rather
    // than kill the program.
    PosixFileStore();
    bool replaceFile(std::string_view name, std::string_view bytes) override;
};

}  // namespace sabrota::platform
