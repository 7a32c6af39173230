// SPDX-License-Identifier: MIT
#include "gui/look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QStringList>
#include <QWidget>
#include <cstdio>

#include "frontend/faces.h"
#include "gui/qtext.h"

namespace sabrota::qt {

namespace {

// A face of the design under both the names a system that has it lists it by.
QStringList namesOf(Face face) {
    const frontend::FaceNames n = frontend::designFace(face);
    return {qs(n.japanese), qs(n.english)};
}

struct Faces {
    QString gothicP, popP, pop;
    bool popPDrawn = false, popDrawn = false;  // the display faces themselves are installed
};

// Which installed family draws each face of the design, found once: asking for an installed
// family by its own name spares Qt a search through fontconfig's substitutes and fallbacks for
// every size and weight.
Faces chooseFaces() {
    const QStringList installed = QFontDatabase::families();
    const auto first = [&](const QStringList& names) {
        for (const QString& n : names)
            if (installed.contains(n, Qt::CaseInsensitive))
                return n;
        return QString();
    };
    QString proportional, fixed;
    for (const frontend::GothicFamily& family : frontend::kStandInGothics) {
        proportional = first({qs(family.proportional), qs(family.fixed)});
        fixed = first({qs(family.fixed), qs(family.proportional)});
        if (!proportional.isEmpty())
            break;
    }
    if (proportional.isEmpty()) {
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        if (japanese.isEmpty()) {
            std::fputs(
                "sabrota: no installed font has Japanese characters, so the window's texts "
                "show as empty boxes; install the package fonts-ipafont-gothic\n",
                stderr);
            proportional = QGuiApplication::font().family();
        } else {
            proportional = japanese.front();
        }
        fixed = proportional;
    }
    Faces f;
    f.gothicP = first(namesOf(Face::MsPGothic));
    if (f.gothicP.isEmpty())
        f.gothicP = proportional;
    f.popP = first(namesOf(Face::HgpSoeiKakuPop));
    f.popPDrawn = !f.popP.isEmpty();
    if (!f.popPDrawn)
        f.popP = proportional;
    f.pop = first(namesOf(Face::HgSoeiKakuPop));
    f.popDrawn = !f.pop.isEmpty();
    if (!f.popDrawn)
        f.pop = fixed;
    return f;
}

const Faces& faces() {
    static const Faces f = chooseFaces();
    return f;
}

}  // namespace

QFont windowFont() {
    QFont f(faces().gothicP);
    f.setPointSizeF(kWindowFontPoints);
    return f;
}

QFont designFont(const ControlDesign& d) {
    if (d.face == Face::WindowFont)
        return windowFont();
    const Faces& all = faces();
    const bool popP = d.face == Face::HgpSoeiKakuPop, pop = d.face == Face::HgSoeiKakuPop;
    QFont f(popP ? all.popP : pop ? all.pop : all.gothicP);
    f.setPointSizeF(d.points);
    // The display faces are heavy; a Gothic face standing in for one comes nearest drawn bold.
    const bool heavy = (popP && !all.popPDrawn) || (pop && !all.popDrawn);
    f.setBold(heavy || d.weight != Weight::Regular);
    f.setItalic(d.weight == Weight::BoldItalic);
    return f;
}

namespace {

// The desktop colours the design was drawn with, kept whatever this desktop's theme is: the
// window's colours are part of its design, and a dark theme would otherwise turn the default
// texts white on the design's pale backgrounds.
constexpr QRgb kButtonFace = 0xF0F0F0, kWindowBack = 0xFFFFFF, kWindowText = 0x000000,
               kHighlight = 0x0078D7, kHighlightText = 0xFFFFFF, kLight3D = 0xE3E3E3,
               kHighlight3D = 0xFFFFFF, kShadow3D = 0xA0A0A0, kDarkShadow3D = 0x696969,
               kGrayText = 0x6D6D6D, kInfoBack = 0xFFFFE1, kLink = 0x0066CC, kVisited = 0x551A8B;

QPalette makeDesignPalette() {
    QPalette p;
    const auto all = [&](QPalette::ColorRole role, QRgb rgb) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, role, QColor(rgb));
    };
    all(QPalette::Window, kButtonFace);
    all(QPalette::Button, kButtonFace);
    all(QPalette::Base, kWindowBack);
    all(QPalette::AlternateBase, kButtonFace);
    all(QPalette::WindowText, kWindowText);
    all(QPalette::Text, kWindowText);
    all(QPalette::ButtonText, kWindowText);
    all(QPalette::BrightText, kHighlight3D);
    all(QPalette::Light, kHighlight3D);
    all(QPalette::Midlight, kLight3D);
    all(QPalette::Mid, kShadow3D);
    all(QPalette::Dark, kShadow3D);
    all(QPalette::Shadow, kDarkShadow3D);
    all(QPalette::Highlight, kHighlight);
    all(QPalette::HighlightedText, kHighlightText);
    all(QPalette::ToolTipBase, kInfoBack);
    all(QPalette::ToolTipText, kWindowText);
    all(QPalette::PlaceholderText, kGrayText);
    all(QPalette::Link, kLink);
    all(QPalette::LinkVisited, kVisited);
    // A disabled control greys its text, as on the design's desktop.
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(kGrayText));
    return p;
}

}  // namespace

const QPalette& designPalette() {
    static const QPalette p = makeDesignPalette();
    return p;
}

QColor toQColor(Color c) {
    if (isSystemColor(c)) {
        switch (c & 0xFFu) {
            case 0x05:
                return QColor(kWindowBack);
            case 0x08:
            case 0x12:
                return QColor(kWindowText);
            case 0x0D:
                return QColor(kHighlight);
            case 0x16:
                return QColor(kLight3D);
            default:
                return QColor(kButtonFace);
        }
    }
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

void applyWindowColors(QWidget& window) {
    QPalette p = designPalette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Window, toQColor(colors::kPeach));
    window.setPalette(p);
    window.setAutoFillBackground(true);
}

void applyColors(QWidget& w, Kind kind, Color back, Color fore) {
    // Built from the design's palette, never from the desktop's, and set only when it changes:
    // a control whose colours are those it inherits from the window keeps no palette of its own.
    QPalette p = w.palette();
    const QColor b = toQColor(back);
    const QColor f = toQColor(fore);
    const auto set = [&](QPalette::ColorRole role, const QColor& c, bool disabledToo) {
        p.setColor(QPalette::Active, role, c);
        p.setColor(QPalette::Inactive, role, c);
        if (disabledToo)
            p.setColor(QPalette::Disabled, role, c);
    };
    switch (kind) {
        case Kind::Caption:
        case Kind::Value:
            set(QPalette::Window, b, true);
            set(QPalette::Text, f, true);
            break;
        case Kind::TextBox:
        case Kind::ComboBox:
        case Kind::ListBox:
            set(QPalette::Base, b, true);
            set(QPalette::Text, f, false);
            break;
        case Kind::Button:
            set(QPalette::Button, b, true);
            set(QPalette::ButtonText, f, false);
            break;
    }
    if (p != w.palette())
        w.setPalette(p);
}

}  // namespace sabrota::qt
