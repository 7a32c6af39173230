// SPDX-License-Identifier: MIT
// windows.h first: the shell headers need its types.
#include "platform/windows/windows_api.h"

#include <shellapi.h>

#include "platform/windows/services/windows_services.h"
#include "platform/windows/wide.h"

namespace sabrota::platform {

void WindowsShellOpen::open(std::string_view target) {
    std::wstring what = widen(target);
    const bool address = target.starts_with("http://") || target.starts_with("https://");
    if (!address) {
        wchar_t full[MAX_PATH * 4];
        const DWORD n =
            GetFullPathNameW(what.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
        if (n > 0 && n < std::size(full))
            what.assign(full, n);
    }
    ShellExecuteW(nullptr, L"open", what.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace sabrota::platform
