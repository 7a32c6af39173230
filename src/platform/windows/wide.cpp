// SPDX-License-Identifier: MIT
#include "platform/windows/wide.h"

#include "platform/windows/windows_api.h"

namespace sabrota::platform {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), length);
    return out;
}

std::string narrow(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int n = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), length, nullptr, nullptr);
    return out;
}

}  // namespace sabrota::platform
