// SPDX-License-Identifier: MIT
// Sabrota for Windows: the Windows services, handed to the Win32 window.
#include "platform/windows/windows_api.h"

#include "platform/windows/services/windows_services.h"
#include "win32/window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    sabrota::platform::WindowsFileStore files;
    sabrota::platform::WindowsProgramFolder folder;
    sabrota::platform::WindowsShellOpen shell;
    return sabrota::win32::run(instance, show, {files, folder, shell});
}
