// SPDX-License-Identifier: MIT
// The name a screen reader hears for a control, read as a reader reads it through MSAA, from
// this process or another.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

inline std::wstring msaaName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return L"(no object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring said = SUCCEEDED(object->get_accName(self, &name)) && name ? name : L"(none)";
    SysFreeString(name);
    object->Release();
    return said;
}
