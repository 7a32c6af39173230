// SPDX-License-Identifier: MIT
// The user's documents folder as the desktop's user-dirs.dirs names it.
#pragma once

#include <string>
#include <string_view>

namespace sabrota::platform {

// XDG_DOCUMENTS_DIR as a user-dirs.dirs file sets it ("$HOME/..." or an absolute path; the
// last setting counts), empty when the text does not set it so.
std::string documentsFolderIn(std::string_view userDirs, const std::string& home);

// XDG_DOCUMENTS_DIR of the user's user-dirs.dirs ($XDG_CONFIG_HOME or ~/.config), empty when
// the file is missing or does not set it.
std::string documentsFolderOf(const std::string& home);

}  // namespace sabrota::platform
