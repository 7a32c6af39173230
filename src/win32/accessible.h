// SPDX-License-Identifier: MIT
// The MSAA object a control hands to screen readers through WM_GETOBJECT: the system's own
// object for the control, under the name the design gives it. Windows' readers also find the
// name annotated on the control; this answer reaches every MSAA client, Wine's too.
#pragma once

#include "platform/windows/windows_api.h"

#include <string>

namespace sabrota::win32 {

// The answer to WM_GETOBJECT(w, l) for the control, or 0 when the request is not for the
// control's client object and the control's own procedure answers it. A role other than 0
// stands in for the system's (ROLE_SYSTEM_ALERT for the window's spoken summaries).
LRESULT namedAccessibleObject(HWND control, WPARAM w, LPARAM l, const std::wstring& name,
                              long role = 0);

}  // namespace sabrota::win32
