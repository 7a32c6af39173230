// SPDX-License-Identifier: MIT
#include "window/design.h"

#include <cstdio>
#include <stdexcept>

#include "window/version.h"

namespace sabrota {

Color defaultBack(Kind k) {
    switch (k) {
        case Kind::TextBox:
        case Kind::ComboBox:
        case Kind::ListBox:
            return colors::kWindowBackground;
        default:
            return colors::kButtonFace;
    }
}

Color defaultFore(Kind k) {
    switch (k) {
        case Kind::TextBox:
        case Kind::ComboBox:
        case Kind::ListBox:
            return colors::kWindowText;
        default:
            return colors::kButtonText;
    }
}

namespace {

std::vector<ControlDesign> buildTable() {
    std::vector<ControlDesign> t;
#define SABROTA_CONTROL(nm, kind, l, tp, w, h, text, face, pts, weight, back, fore, look, click, \
                        meaning)                                                                 \
    t.push_back({#nm,                                                                            \
                 ControlId::nm,                                                                  \
                 0,                                                                              \
                 Kind::kind,                                                                     \
                 {l, tp, w, h},                                                                  \
                 text,                                                                           \
                 Face::face,                                                                     \
                 pts,                                                                            \
                 Weight::weight,                                                                 \
                 colors::back,                                                                   \
                 colors::fore,                                                                   \
                 Look::look,                                                                     \
                 Click::click,                                                                   \
                 meaning});
#define SABROTA_CELLS(nm, tp, left8, meaning)                                         \
    for (int i = 8; i >= 1; --i)                                                      \
        t.push_back({#nm,                                                             \
                     ControlId::nm,                                                   \
                     i,                                                               \
                     Kind::Value,                                                     \
                     {(left8) + (8 - i) * kCellPitch, (tp), kCellWidth, kCellHeight}, \
                     "",                                                              \
                     Face::MsPGothic,                                                 \
                     14.25,                                                           \
                     Weight::Bold,                                                    \
                     colors::kDefault,                                                \
                     colors::kDefault,                                                \
                     Look::FramedCentred,                                             \
                     Click::None,                                                     \
                     meaning});
#include "window/design_table.inc"
#undef SABROTA_CONTROL
#undef SABROTA_CELLS
    return t;
}

}  // namespace

const std::vector<ControlDesign>& designTable() {
    static const std::vector<ControlDesign> table = buildTable();
    return table;
}

std::string accessibleName(const ControlDesign& d) {
    if (d.index > 0)
        return std::string(d.meaning) + " ビット" + std::to_string(d.index);
    return std::string(d.meaning.empty() ? d.text : d.meaning);
}

std::string productVersion() {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d.%04d", version::kMajor, version::kMinor,
                  version::kPatch);
    return text;
}

std::string captionVersion() {
    return std::to_string(version::kMajor) + "." + std::to_string(version::kMinor) +
           std::to_string(version::kPatch);
}

std::string_view homePage() {
    return design(ControlId::Label70).text;
}

const ControlDesign& design(ControlId id, int index) {
    for (const auto& d : designTable())
        if (d.id == id && d.index == index)
            return d;
    throw std::out_of_range("no such control");
}

const std::array<std::string_view, kMaskItemCount>& maskItems() {
    static constexpr std::array<std::string_view, kMaskItemCount> items = {
        "255.000.000.000    /8",  "255.128.000.000    /9",  "255.192.000.000    /10",
        "255.224.000.000    /11", "255.240.000.000    /12", "255.248.000.000    /13",
        "255.252.000.000    /14", "255.254.000.000    /15", "255.255.000.000    /16",
        "255.255.128.000    /17", "255.255.192.000    /18", "255.255.224.000    /19",
        "255.255.240.000    /20", "255.255.248.000    /21", "255.255.252.000    /22",
        "255.255.254.000    /23", "255.255.255.000    /24", "255.255.255.128    /25",
        "255.255.255.192    /26", "255.255.255.224    /27", "255.255.255.240    /28",
        "255.255.255.248    /29", "255.255.255.252    /30", "255.255.255.254    /31",
    };
    return items;
}

const std::array<ControlId, 11>& tabOrder() {
    static constexpr std::array<ControlId, 11> order = {
        ControlId::Text1,    ControlId::Text2,    ControlId::Text3,    ControlId::Text4,
        ControlId::CMD1,     ControlId::Combo1,   ControlId::List1,    ControlId::cmdPrint,
        ControlId::Command1, ControlId::Command2, ControlId::Command3,
    };
    return order;
}

}  // namespace sabrota
