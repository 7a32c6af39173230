// SPDX-License-Identifier: MIT
// Code page 932 through glibc's iconv.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "platform/code_page.h"

namespace sabrota::platform {

namespace {

class Cp932 {
  public:
    Cp932() : cd_(iconv_open("CP932", "UTF-8")) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("code page 932 is not available");
    }
    ~Cp932() { iconv_close(cd_); }
    Cp932(const Cp932&) = delete;
    Cp932& operator=(const Cp932&) = delete;

    std::string convert(std::string_view in) {
        std::string out;
        out.reserve(in.size() * 2);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char buf[256];
        while (left > 0) {
            char* dst = buf;
            std::size_t room = sizeof buf;
            const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (r != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // No code for this character, or not UTF-8 at all: one "?" for the sequence.
            const std::size_t skip = sequenceLength(src, left);
            src += skip;
            left -= skip;
            out += '?';
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::string toCodePage932(std::string_view utf8) {
    static thread_local Cp932 cp;
    return cp.convert(utf8);
}

}  // namespace sabrota::platform
