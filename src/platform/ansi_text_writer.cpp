#include "platform/ansi_text_writer.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace sabrota::platform {

namespace {

// The bytes of the broken or unencodable sequence at s: its lead byte and the continuation
// bytes that follow it, no more than the lead announces, so the next character survives.
std::size_t sequenceLength(const char* s, std::size_t left) {
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t announced = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::size_t n = 1;
    while (n < announced && n < left && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

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

Cp932& converter() {
    static thread_local Cp932 cp;
    return cp;
}

}  // namespace

AnsiTextWriter::AnsiTextWriter() = default;
AnsiTextWriter::~AnsiTextWriter() = default;

std::string AnsiTextWriter::encode(std::string_view utf8) {
    if (isAscii(utf8))
        return std::string(utf8);
    return converter().convert(utf8);
}

void AnsiTextWriter::writeConverted(std::string_view text) {
    append(converter().convert(text));
}

void AnsiTextWriter::reserve(std::size_t bytes) {
    out_.reserve(bytes);
}

void AnsiTextWriter::zone() {
    const std::size_t blanks = kZoneWidth - column_ % kZoneWidth;
    out_.append(blanks, ' ');
    column_ += blanks;
}

}  // namespace sabrota::platform
