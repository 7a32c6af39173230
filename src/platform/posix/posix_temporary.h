// SPDX-License-Identifier: MIT
// The file store's temporary files: made beside the file they are to replace, locked by their
// writer from the moment they have a name, named so that nobody takes them for a file of the
// user's (".<file>.sabrota-" and six letters or digits), and swept once their writer is gone.
#pragma once

#include <string>
#include <string_view>

#include "platform/posix/unique_fd.h"

namespace sabrota::platform {

struct Temporary {
    UniqueFd fd;       // open for writing, locked
    std::string name;  // empty while the file has no name
};

// Creates an empty temporary file in the folder dirFd: an unnamed one where the file system
// has them, otherwise one under a fresh temporary name for base, locked at once.
bool createTemporary(int dirFd, std::string_view base, Temporary& t);

// Gives a temporary file a fresh temporary name for base once it is complete. A named
// temporary keeps its name.
bool nameTemporary(int dirFd, std::string_view base, Temporary& t);

// Removes the temporary file's name, if it has one.
void discardTemporary(int dirFd, Temporary& t);

// Removes the temporary files for base that killed exports left in the folder: the user's,
// with one name, unlocked and older than a minute. Nothing else is touched.
void sweepTemporaries(int dirFd, std::string_view base);

// Whether a folder entry is named like one of the temporary files for base.
bool isStoreTemporary(std::string_view entry, std::string_view base);

}  // namespace sabrota::platform
