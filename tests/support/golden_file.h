// SPDX-License-Identifier: MIT
// Reading the expected export files of tests/data and telling where a written file differs.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace golden {

inline std::string read(const std::string& name) {
    std::ifstream in(std::string(SABROTA_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "missing golden file " << name << " (tests/data/make_golden.py)";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(bytes.substr(start));
            return out;
        }
        out.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
}

inline std::string printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

// Empty when equal; otherwise the first line that differs, both ways.
inline std::string firstDifference(const std::string& expected, const std::string& actual) {
    if (expected == actual)
        return {};
    const auto e = lines(expected);
    const auto a = lines(actual);
    std::size_t i = 0;
    while (i < e.size() && i < a.size() && e[i] == a[i])
        ++i;
    std::ostringstream m;
    m << "line " << i + 1 << " differs (" << e.size() << " lines expected, " << a.size()
      << " written)\n  expected: " << (i < e.size() ? printable(e[i]) : "<no line>")
      << "\n  written:  " << (i < a.size() ? printable(a[i]) : "<no line>");
    return m.str();
}

}  // namespace golden
