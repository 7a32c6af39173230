// SPDX-License-Identifier: MIT
#include "platform/posix/posix_user_dirs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace sabrota::platform {

namespace {

bool isAbsolute(std::string_view s) {
    return !s.empty() && s.front() == '/';
}

}  // namespace

std::string documentsFolderIn(std::string_view userDirs, const std::string& home) {
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    std::string found;
    while (!userDirs.empty()) {
        const std::size_t end = std::min(userDirs.find('\n'), userDirs.size());
        std::string_view line = userDirs.substr(0, end);
        userDirs.remove_prefix(std::min(end + 1, userDirs.size()));
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
            line.remove_suffix(1);
        if (line.substr(0, kKey.size()) != kKey)
            continue;
        std::string_view value = line.substr(kKey.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        std::string start;
        if (value.substr(0, 5) == "$HOME" && (value.size() == 5 || value[5] == '/')) {
            if (!isAbsolute(home))
                continue;
            start = home;
            value.remove_prefix(5);
        } else if (value.empty() || value.front() != '/') {
            continue;
        }
        // The file's writer escapes quotes, backslashes, dollars and backquotes.
        for (std::size_t i = 0; i < value.size(); ++i)
            start += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
        found = start;
    }
    return found;
}

std::string documentsFolderOf(const std::string& home) {
    std::filesystem::path config;
    if (const char* v = std::getenv("XDG_CONFIG_HOME"); v != nullptr && isAbsolute(v))
        config = v;
    else if (isAbsolute(home))
        config = std::filesystem::path(home) / ".config";
    else
        return {};
    std::ifstream in(config / "user-dirs.dirs", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return documentsFolderIn(text, home);
}

}  // namespace sabrota::platform
