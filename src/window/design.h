// SPDX-License-Identifier: MIT
// The window as it stands before any code runs: every control with its rectangle, text, font,
// colours and look. The model (Form1) and the Qt window are both built from this one table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sabrota {

// 0x00BBGGRR; a value 0x800000nn names the desktop's system colour nn.
using Color = std::uint32_t;

namespace colors {
inline constexpr Color kWindowBackground = 0x80000005;
inline constexpr Color kWindowText = 0x80000008;
inline constexpr Color kHighlight = 0x8000000D;
inline constexpr Color kButtonFace = 0x8000000F;
inline constexpr Color kButtonText = 0x80000012;
inline constexpr Color k3DLight = 0x80000016;
inline constexpr Color kPeach = 0x00C0E0FF;       // the window's own background
inline constexpr Color kLightRed = 0x00C0C0FF;    // a 0 bit of the mask
inline constexpr Color kLightBlue = 0x00FFC0C0;   // a 1 bit of the mask
inline constexpr Color kLightCyan = 0x00FFFFC0;   // a 1 bit beyond the class's natural mask
inline constexpr Color kPaleYellow = 0x00C0FFFF;  // an address that coincides; the link's ground
inline constexpr Color kPaleGreen = 0x00C0FFC0;   // the network list
inline constexpr Color kMagenta = 0x00C000C0;     // the two input headings
inline constexpr Color kGreen = 0x0000C000;       // the host and subnet counts
inline constexpr Color kRed = 0x000000FF;         // the notice
inline constexpr Color kTeal = 0x00C0C000;        // the product title
inline constexpr Color kBlue = 0x00FF0000;        // the home-page link
inline constexpr Color kDefault = 0xFFFFFFFF;     // "as the kind of control has it"
}  // namespace colors

inline constexpr bool isSystemColor(Color c) {
    return (c & 0xFFFFFF00u) == 0x80000000u;
}

enum class Kind { Caption, Value, TextBox, ComboBox, ListBox, Button };
enum class Face { WindowFont, MsPGothic, HgpSoeiKakuPop, HgSoeiKakuPop };
enum class Weight { Regular, Bold, BoldItalic };
enum class Look { Plain, Centred, FramedCentred };
// The click handlers of the window; Form1::click runs the one a control names.
enum class Click {
    None,
    CMD1_Click,
    Command1_Click,
    Command2_Click,
    Command3_Click,
    cmdPrint_Click,
    Label70_Click
};

struct Rect {
    int left, top, width, height;  // twips from the top-left of the client area
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 11685;
inline constexpr int kClientHeightTwips = 8505;

inline constexpr std::string_view kWindowTitle = "Sabrota";
inline constexpr double kWindowFontPoints = 8.25;

// The version of the executable, "1.03.0003", and as the window's version caption writes it
// after "Ver", "1.33".
std::string productVersion();
std::string captionVersion();

// Every control name of the window, in the order of the design table.
enum class ControlId {
#define SABROTA_CONTROL(name, ...) name,
#define SABROTA_CELLS(name, ...) name,
#include "window/design_table.inc"
#undef SABROTA_CONTROL
#undef SABROTA_CELLS
};

struct ControlDesign {
    std::string_view name;  // "Label20"; cells of an array share their array's name
    ControlId id;
    int index;  // 1..8 for a bit cell (1 is the rightmost, least significant), otherwise 0
    Kind kind;
    Rect rect;
    std::string_view text;
    Face face;
    double points;  // 0 for the window font
    Weight weight;
    Color back;  // colors::kDefault: the kind's default
    Color fore;
    Look look;
    Click click;
    // What the control holds, for a screen reader; empty for a caption. A bit cell's is its
    // octet's.
    std::string_view meaning;
};

inline constexpr bool isFramed(Look l) {
    return l == Look::FramedCentred;
}
inline constexpr bool isCentred(Look l) {
    return l == Look::Centred || l == Look::FramedCentred;
}

// The colours a control of this kind has where the design gives none.
Color defaultBack(Kind k);
Color defaultFore(Kind k);
inline Color designBack(const ControlDesign& d) {
    return d.back == colors::kDefault ? defaultBack(d.kind) : d.back;
}
inline Color designFore(const ControlDesign& d) {
    return d.fore == colors::kDefault ? defaultFore(d.kind) : d.fore;
}

// What a screen reader calls the control: a caption by its text, a value field by what it
// holds ("アドレスクラス"), a bit cell by its octet and bit ("アドレス第1オクテット ビット8").
std::string accessibleName(const ControlDesign& d);

// All controls, the 64 bit cells included (cell 8 of an array first).
const std::vector<ControlDesign>& designTable();
const ControlDesign& design(ControlId id, int index = 0);

// The address the home-page link shows and opens. A placeholder under a domain reserved for
// documentation until the product has a page of its own.
std::string_view homePage();

// Combo1's items: index k stands for prefix length k + 8.
inline constexpr int kMaskItemCount = 24;
const std::array<std::string_view, kMaskItemCount>& maskItems();
inline constexpr int kStartMaskIndex = 16;

// Keyboard order of the controls that take the focus.
const std::array<ControlId, 11>& tabOrder();

inline constexpr int kCellWidth = 255;
inline constexpr int kCellHeight = 375;
inline constexpr int kCellPitch = 240;  // against a width of 255: neighbours share a frame line

}  // namespace sabrota
