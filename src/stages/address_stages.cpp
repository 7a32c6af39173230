// SPDX-License-Identifier: MIT
#include "platform/number_parse.h"
#include "stages/stage_conventions.h"
#include "window/form1.h"

namespace sabrota {

namespace {

struct AddressMessages {
    std::string_view notNumericPrompt, notNumericTitle, outOfRangePrompt, outOfRangeTitle;
    int min, max;
};

constexpr std::string_view kOtherPrompt = "半角の0～255で指定してください。";
constexpr std::string_view kOtherRangePrompt = "範囲外です。0～255で指定してください。";

constexpr AddressMessages kMessages[4] = {
    {"半角の1～223で指定してください。", "第１オクテット：数字ではありません",
     "範囲外です。1～223で指定してください。", "第1オクテット：範囲外！！", 1, 223},
    {kOtherPrompt, "第２オクテット：数字ではありません", kOtherRangePrompt,
     "第２オクテット範囲外！！", 0, 255},
    {kOtherPrompt, "第3オクテット：数字ではありません", kOtherRangePrompt,
     "第3オクテット範囲外！！", 0, 255},
    {kOtherPrompt, "第4オクテット：数字ではありません", kOtherRangePrompt,
     "第4オクテット範囲外！！", 0, 255},
};

}  // namespace

struct Form1::AddressStage {
    int octet;  // 1 … 4
    Timer& self;
    Timer& next;
    const Control& text;
    std::string& read;  // what the export's rule remembers of this box
    std::int16_t& value;
    std::int16_t& bit;
    Control& hex;
    CellArray& cells;
};

void Form1::runAddressStage(const AddressStage& s) {
    const AddressMessages& m = kMessages[s.octet - 1];
    s.read = s.text.Text;
    const auto converted = numeric::toInteger16(s.text.Text);
    if (converted.status == numeric::Conversion::NotNumeric) {
        msgBox(m.notNumericPrompt, platform::BoxStyle::Exclamation, m.notNumericTitle);
        s.self.disarm();
        return;
    }
    // A number too large for the field ("1e5") is out of range like any other.
    s.value = converted.value;
    if (converted.status == numeric::Conversion::Overflow || s.value > m.max || s.value < m.min) {
        msgBox(m.outOfRangePrompt, platform::BoxStyle::Exclamation, m.outOfRangeTitle);
        s.self.disarm();
        return;
    }
    s.hex.Caption = hex2(s.value);
    fillBitCells(s.cells, s.value, s.bit, bitIndex, [](int, int) {});
    s.self.disarm();
    s.next.arm();
}

// The later stages read the text boxes again. Where the user has changed one during the run to
// something that is no octet, the run ends with that octet's own message.
bool Form1::addressStillValid() {
    const Control* boxes[4] = {&Text1, &Text2, &Text3, &Text4};
    for (int k = 0; k < 4; ++k) {
        const AddressMessages& m = kMessages[k];
        const auto c = numeric::toInteger16(boxes[k]->Text);
        if (c.status == numeric::Conversion::NotNumeric) {
            msgBox(m.notNumericPrompt, platform::BoxStyle::Exclamation, m.notNumericTitle);
            return false;
        }
        if (c.status == numeric::Conversion::Overflow || c.value < m.min || c.value > m.max) {
            msgBox(m.outOfRangePrompt, platform::BoxStyle::Exclamation, m.outOfRangeTitle);
            return false;
        }
    }
    return true;
}

void Form1::Timer1_Timer() {
    runAddressStage(
        {1, Timer1, Timer2, Text1, runInput.text1, addrOctet1, addrBit1, Label62, Label81});
}

void Form1::Timer2_Timer() {
    runAddressStage(
        {2, Timer2, Timer3, Text2, runInput.text2, addrOctet2, addrBit2, Label63, Label82});
}

void Form1::Timer3_Timer() {
    runAddressStage(
        {3, Timer3, Timer4, Text3, runInput.text3, addrOctet3, addrBit3, Label64, Label83});
}

void Form1::Timer4_Timer() {
    runAddressStage(
        {4, Timer4, Timer5, Text4, runInput.text4, addrOctet4, addrBit4, Label65, Label84});
}

}  // namespace sabrota
