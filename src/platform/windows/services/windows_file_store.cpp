// SPDX-License-Identifier: MIT
#include "platform/windows/windows_api.h"

#include <cwchar>
#include <string>

#include "platform/windows/services/windows_services.h"
#include "platform/windows/wide.h"

namespace sabrota::platform {

namespace {

// The name of a temporary begins with this after a dot and the target's name, so that no
// file of the user's is ever taken for one.
constexpr std::wstring_view kTemporaryMark = L".sabrota-";
// A temporary older than this was left by an export that was killed; a live one is younger.
constexpr ULONGLONG kStaleAfter100ns = 60ULL * 10'000'000ULL;

std::wstring fullPath(const std::wstring& name) {
    const DWORD n = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return {};
    std::wstring out(n, L'\0');
    const DWORD got = GetFullPathNameW(name.c_str(), n, out.data(), nullptr);
    if (got == 0 || got >= n)
        return {};
    out.resize(got);
    return out;
}

// A symbolic link is followed to the file it names; the link itself stays. A file that does
// not exist yet is its own target.
std::wstring finalPath(const std::wstring& full) {
    HANDLE h = CreateFileW(full.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return full;
    wchar_t buf[MAX_PATH * 4];
    const DWORD n = GetFinalPathNameByHandleW(h, buf, static_cast<DWORD>(std::size(buf)),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(h);
    if (n == 0 || n >= std::size(buf))
        return full;
    std::wstring out(buf, n);
    if (out.starts_with(L"\\\\?\\UNC\\"))
        return L"\\\\" + out.substr(8);
    if (out.starts_with(L"\\\\?\\"))
        return out.substr(4);
    return out;
}

bool writeAll(HANDLE h, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0)
            return false;
        p += written;
        left -= written;
    }
    return true;
}

// Removes temporaries of this target that an export left more than a minute ago. One that
// another instance still writes is open without sharing and cannot be deleted.
void sweep(const std::wstring& folder, const std::wstring& pattern) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    FILETIME nowFt;
    GetSystemTimeAsFileTime(&nowFt);
    const ULONGLONG now = (ULONGLONG(nowFt.dwHighDateTime) << 32) | nowFt.dwLowDateTime;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const ULONGLONG written = (ULONGLONG(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                  found.ftLastWriteTime.dwLowDateTime;
        if (now > written && now - written > kStaleAfter100ns)
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

}  // namespace

bool WindowsFileStore::replaceFile(std::string_view name, std::string_view bytes) {
    // Full paths throughout: Wine's ReplaceFileW fails on relative names.
    const std::wstring full = fullPath(widen(name));
    if (full.empty())
        return false;
    const std::wstring target = finalPath(full);
    const std::size_t slash = target.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return false;
    const std::wstring folder = target.substr(0, slash);
    const std::wstring pattern = L"." + target.substr(slash + 1) + std::wstring(kTemporaryMark);
    sweep(folder, pattern);

    // A new name for every attempt; CREATE_NEW never opens a file that is there already.
    static unsigned serial = 0;
    std::wstring temporary;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        wchar_t tail[32];
        std::swprintf(tail, std::size(tail), L"%lu-%u", GetCurrentProcessId(), ++serial);
        temporary = folder + L"\\" + pattern + tail;
        h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool complete = writeAll(h, bytes) && FlushFileBuffers(h);
    const bool closed = CloseHandle(h);
    if (!complete || !closed) {
        DeleteFileW(temporary.c_str());
        return false;
    }

    bool placed = false;
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        placed = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    } else {
        // ReplaceFileW keeps the target's attributes and security. Where it cannot be used (a
        // file system without it), a rename over the target does the same job. Either fails on
        // a read-only file and on a file open without delete sharing, and leaves it untouched.
        placed = ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        if (!placed) {
            const DWORD why = GetLastError();
            if (why != ERROR_SHARING_VIOLATION && why != ERROR_ACCESS_DENIED &&
                why != ERROR_LOCK_VIOLATION && why != ERROR_UNABLE_TO_REMOVE_REPLACED)
                placed = MoveFileExW(temporary.c_str(), target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }
    }
    if (!placed)
        DeleteFileW(temporary.c_str());
    return placed;
}

}  // namespace sabrota::platform
