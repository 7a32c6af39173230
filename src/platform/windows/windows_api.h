// SPDX-License-Identifier: MIT
// windows.h, without its macro MessageBox (for MessageBoxW), which would rename the model's
// MessageBox interface wherever both are seen. Windows code includes this instead.
#pragma once

#include <windows.h>

#undef MessageBox
