// SPDX-License-Identifier: MIT
// The rules every window shares: which changes each kind of control takes, the design's faces
// and where the window's picture goes on the printed page.
#include <gtest/gtest.h>

#include <string>

#include "frontend/control_rules.h"
#include "frontend/faces.h"
#include "frontend/page_fit.h"

namespace {

using namespace sabrota;
namespace fe = sabrota::frontend;

// Writes down which toolkit calls a widget would get.
struct Calls {
    std::string made;
    void setCaption(const std::string& c) { made += "caption:" + c + " "; }
    void setText(const std::string& t) { made += "text:" + t + " "; }
    void setColors(Color, Color) { made += "colours "; }
    void setEnabled(bool on) { made += on ? "on " : "off "; }
    void setVisible(bool on) { made += on ? "shown " : "hidden "; }
};

struct ChangeCase {
    const char* name;
    Kind kind;
    unsigned changes;
    const char* made;
};

TEST(FrontendRules, EachKindOfControlTakesItsOwnChanges) {
    // clang-format off
    const ChangeCase cases[] = {
        {"label takes its caption",    Kind::Value,    fe::kAll, "caption:C colours off hidden "},
        {"caption label the same",     Kind::Caption,  fe::kCaption | fe::kText, "caption:C "},
        {"button takes its caption",   Kind::Button,   fe::kAll, "caption:C colours off hidden "},
        {"octet box takes its text",   Kind::TextBox,  fe::kAll, "text:T colours off hidden "},
        {"mask box takes its text",    Kind::ComboBox, fe::kCaption | fe::kText, "text:T "},
        {"list takes neither",         Kind::ListBox,  fe::kCaption | fe::kText | fe::kColors, "colours "},
        {"nothing changed, no call",   Kind::Button,   0, ""},
    };
    // clang-format on
    Control now;
    now.Caption = "C";
    now.Text = "T";
    now.Enabled = false;
    now.Visible = false;
    for (const ChangeCase& c : cases) {
        ControlDesign d{};
        d.kind = c.kind;
        Calls calls;
        fe::applyChanges(calls, d, now, c.changes);
        EXPECT_EQ(calls.made, c.made) << c.name;
    }
}

TEST(FrontendRules, EveryFaceGoesByTheDesignsName) {
    // The window's own font is the design's Gothic face, as the controls without a font of
    // their own show it.
    EXPECT_EQ(fe::designFace(Face::WindowFont).japanese, "ＭＳ Ｐゴシック");
    EXPECT_EQ(fe::designFace(Face::MsPGothic).english, "MS PGothic");
    EXPECT_EQ(fe::designFace(Face::HgpSoeiKakuPop).japanese, "HGP創英角ﾎﾟｯﾌﾟ体");
    EXPECT_EQ(fe::designFace(Face::HgSoeiKakuPop).english, "HGSoeiKakupoptai");
}

struct PageCase {
    const char* name;
    fe::PageSize image, area;
    fe::Placement expected;
};

TEST(FrontendRules, ThePictureFillsThePageInItsMiddle) {
    // clang-format off
    const PageCase cases[] = {
        {"fills the width, centred down",  {800, 600}, {1000, 1000}, {0, 125, 1000, 750}},
        {"fills the height, centred across", {800, 600}, {1600, 600}, {400, 0, 800, 600}},
        {"shrinks to the height",          {800, 600}, {4000, 300},  {1800, 0, 400, 300}},
        {"a tall picture",                 {300, 600}, {600, 600},   {150, 0, 300, 600}},
        {"nothing to print",               {0, 600},   {600, 600},   {0, 0, 0, 0}},
        {"no printable area",              {800, 600}, {600, 0},     {0, 0, 0, 0}},
    };
    // clang-format on
    for (const PageCase& c : cases) {
        const fe::Placement p = fe::placeOnPage(c.image, c.area);
        EXPECT_DOUBLE_EQ(p.left, c.expected.left) << c.name;
        EXPECT_DOUBLE_EQ(p.top, c.expected.top) << c.name;
        EXPECT_DOUBLE_EQ(p.width, c.expected.width) << c.name;
        EXPECT_DOUBLE_EQ(p.height, c.expected.height) << c.name;
    }
    // The window, 779 by 567 pixels, goes on a landscape page; a square or tall one would not.
    EXPECT_TRUE(fe::printsLandscape({779, 567}));
    EXPECT_FALSE(fe::printsLandscape({567, 567}));
    EXPECT_FALSE(fe::printsLandscape({567, 779}));
}

}  // namespace
