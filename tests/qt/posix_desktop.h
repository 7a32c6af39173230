// SPDX-License-Identifier: MIT
// The desktop services the Linux program gives its window, for tests and benchmarks that open
// the real window.
#pragma once

#include "gui/main_window.h"
#include "platform/posix/posix_services.h"

namespace sabrota::qttest {

struct PosixDesktop {
    platform::PosixFileStore files;
    platform::ExecutableFolder folder;
    qt::WindowOptions options(platform::MessageBox* box = nullptr) {
        return qt::WindowOptions{files, folder, box};
    }
};

}  // namespace sabrota::qttest
