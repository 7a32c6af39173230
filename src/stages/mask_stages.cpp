// SPDX-License-Identifier: MIT
#include <array>

#include "analysis/ipv4_rules.h"
#include "platform/number_parse.h"
#include "stages/stage_conventions.h"
#include "window/form1.h"

namespace sabrota {

struct Form1::MaskStage {
    int octet;  // 1 … 4
    Timer& self;
    Timer& next;
    std::int16_t& value;
    std::int16_t& bit;
    Control& decimalField;
    Control& hex;
    CellArray& cells;
    std::string_view emptyTitle;
    std::string_view badPieceTitle;
};

namespace {
constexpr std::string_view kEmptyPrompt = "サブネットを指定してください。";
constexpr std::string_view kBadPiecePrompt = "サブネットマスクを一覧から選択してください。";
}  // namespace

// A typed text is taken when it is one of the items or a plain dotted mask: the pieces the
// stages cut (characters 1-3, 5-7, 9-11 and 13-15, the last one cut short where the text ends)
// are octets as the stages read numbers, "." stands at 4, 8 and 12, and after the pieces come
// only blanks and an optional "/n" that names the same mask. The text goes into the export as
// typed, so nothing else may pass: no comma, quote, "=", control or non-ASCII character.
bool Form1::maskTextAcceptable(std::string_view text) const {
    for (const auto& item : Combo1.items)
        if (text == item)
            return true;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    if (text.size() < 13 || text[3] != '.' || text[7] != '.' || text[11] != '.')
        return false;
    std::array<int, 4> octets{};
    for (std::size_t k = 0; k < 4; ++k) {
        const auto c = numeric::toInteger16(text.substr(4 * k, 3));
        if (c.status != numeric::Conversion::Ok)
            return false;
        octets[k] = c.value;
    }
    const auto mask = ipv4::fromOctets(octets);
    if (!mask)
        return false;
    std::string_view rest = text.size() > 15 ? text.substr(15) : std::string_view();
    auto skipBlanks = [&rest] {
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
    };
    skipBlanks();
    if (rest.empty())
        return true;
    if (rest.front() != '/')
        return false;
    rest.remove_prefix(1);
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
        ++digits;
    const std::string_view length = rest.substr(0, digits);
    rest.remove_prefix(digits);
    skipBlanks();
    if (!rest.empty())
        return false;
    // A mask with a hole in its 1 bits has no prefix length that could agree with it.
    if (!ipv4::contiguous(*mask))
        return false;
    return length == decimal(ipv4::prefixLength(*mask));
}

void Form1::runMaskStage(const MaskStage& s) {
    // Octets 2 to 4 read the first address octet again for their colour rule. A Text1 changed
    // to something that is not a number during the run simply gives no light cyan cell.
    bool ruleKnown = false;
    if (s.octet > 1) {
        const auto first = numeric::toInteger16(Text1.Text);
        if (first.status == numeric::Conversion::Ok) {
            addrOctet1 = first.value;
            ruleKnown = true;
        }
    }
    if (s.octet == 1)
        runInput.mask = Combo1.Text;
    if (Combo1.Text.empty()) {
        msgBox(kEmptyPrompt, platform::BoxStyle::Exclamation, s.emptyTitle);
        s.self.disarm();
        return;
    }
    maskText = Combo1.Text;
    if (!maskTextAcceptable(maskText)) {
        msgBox(kBadPiecePrompt, platform::BoxStyle::Exclamation, s.badPieceTitle);
        s.self.disarm();
        return;
    }
    const std::string piece = midChars(maskText, static_cast<std::size_t>(4 * s.octet - 3), 3);
    // The text can be typed: a piece that is missing, not a number or not an octet ends the
    // run with a box of its own instead of breaking the stages after it.
    const auto converted = numeric::toInteger16(piece);
    if (converted.status != numeric::Conversion::Ok || converted.value < 0 ||
        converted.value > 255) {
        msgBox(kBadPiecePrompt, platform::BoxStyle::Exclamation, s.badPieceTitle);
        s.self.disarm();
        return;
    }
    s.value = converted.value;
    s.decimalField.Caption = decimal(s.value);
    s.hex.Caption = hex2(s.value);
    // A 1 bit beyond the natural mask of the address's class is light cyan.
    const bool cyan = ruleKnown && s.octet > ipv4::naturalMaskOctets(ipv4::classOf(addrOctet1));
    fillBitCells(s.cells, s.value, s.bit, bitIndex, [&](int index, int b) {
        Control& cell = s.cells(index);
        cell.BackColor = b == 1 ? colors::kLightBlue : colors::kLightRed;
        if (b == 1 && cyan)
            cell.BackColor = colors::kLightCyan;
    });
    s.self.disarm();
    s.next.arm();
}

void Form1::Timer5_Timer() {
    runMaskStage({1, Timer5, Timer6, maskOctet1, maskBit1, Label9, Label66, Label74,
                  "サブネット１：選択してください", "サブネット１：範囲外！！"});
}

void Form1::Timer6_Timer() {
    runMaskStage({2, Timer6, Timer7, maskOctet2, maskBit2, Label10, Label67, Label75,
                  "サブネット２：選択してください", "サブネット２：範囲外！！"});
}

void Form1::Timer7_Timer() {
    runMaskStage({3, Timer7, Timer8, maskOctet3, maskBit3, Label11, Label68, Label76,
                  "サブネット３：選択してください", "サブネット３：範囲外！！"});
}

void Form1::Timer8_Timer() {
    runMaskStage({4, Timer8, Timer9, maskOctet4, maskBit4, Label12, Label69, Label77,
                  "サブネット４：選択してください", "サブネット４：範囲外！！"});
}

}  // namespace sabrota
