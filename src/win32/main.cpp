// SPDX-License-Identifier: MIT
#include "platform/windows/windows_api.h"

#include "win32/window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    return sabrota::win32::run(instance, show);
}
