// SPDX-License-Identifier: MIT
// windows.h first: the shell headers need its types.
#include "platform/windows/windows_api.h"

#include <shlobj.h>

#include <cwchar>

#include "platform/windows/services/windows_services.h"

namespace sabrota::platform {

std::wstring programFolderFor(const std::wstring& executableFolder, bool executableFolderWritable,
                              const std::wstring& documents) {
    if (!executableFolder.empty() && executableFolderWritable)
        return executableFolder;
    if (documents.empty())
        return {};
    return documents + L"\\Sabrota";
}

std::wstring WindowsProgramFolder::executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool WindowsProgramFolder::writable(const std::wstring& folder) {
    wchar_t name[48];
    std::swprintf(name, std::size(name), L"\\.sabrota-probe-%lu", GetCurrentProcessId());
    HANDLE h = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    DeleteFileW((folder + name).c_str());
    return true;
}

std::wstring WindowsProgramFolder::documents() {
    PWSTR path = nullptr;
    std::wstring out;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_CREATE, nullptr, &path)))
        out = path;
    CoTaskMemFree(path);
    return out;
}

bool WindowsProgramFolder::makeCurrent() {
    const std::wstring exe = executableFolder();
    const bool exeWritable = !exe.empty() && writable(exe);
    const std::wstring folder = programFolderFor(exe, exeWritable, exeWritable ? L"" : documents());
    if (folder.empty())
        return false;
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return SetCurrentDirectoryW(folder.c_str());
}

}  // namespace sabrota::platform
