#include "gui/look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QStringList>
#include <QWidget>
#include <cstdio>

namespace sabrota::qt {

namespace {

// The design's faces, under the names a system that has them lists them by.
const QStringList kPGothic = {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")};
const QStringList kPopP = {QStringLiteral("HGP創英角ﾎﾟｯﾌﾟ体"), QStringLiteral("HGPSoeiKakupoptai")};
const QStringList kPop = {QStringLiteral("HG創英角ﾎﾟｯﾌﾟ体"), QStringLiteral("HGSoeiKakupoptai")};

// Japanese Gothic faces of Linux desktops, best first: proportional, then fixed-pitch. The IPA
// faces come nearest the design's metrics.
const char* const kGothics[][2] = {
    {"IPAPGothic", "IPAGothic"},
    {"Noto Sans CJK JP", "Noto Sans Mono CJK JP"},
    {"VL PGothic", "VL Gothic"},
    {"TakaoPGothic", "TakaoGothic"},
};

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
    for (const auto& pair : kGothics) {
        proportional = first({QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1])});
        fixed = first({QString::fromUtf8(pair[1]), QString::fromUtf8(pair[0])});
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
    f.gothicP = first(kPGothic);
    if (f.gothicP.isEmpty())
        f.gothicP = proportional;
    f.popP = first(kPopP);
    f.popPDrawn = !f.popP.isEmpty();
    if (!f.popPDrawn)
        f.popP = proportional;
    f.pop = first(kPop);
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

QColor toQColor(Color c) {
    if (isSystemColor(c)) {
        const QPalette p = QApplication::palette();
        switch (c & 0xFFu) {
            case 0x05:
                return p.color(QPalette::Active, QPalette::Base);
            case 0x08:
                return p.color(QPalette::Active, QPalette::Text);
            case 0x0D:
                return p.color(QPalette::Active, QPalette::Highlight);
            case 0x0F:
                return p.color(QPalette::Active, QPalette::Button);
            case 0x12:
                return p.color(QPalette::Active, QPalette::ButtonText);
            case 0x16:
                return p.color(QPalette::Active, QPalette::Light);
            default:
                return p.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

void applyColors(QWidget& w, Kind kind, Color back, Color fore) {
    QPalette p = w.palette();
    const QColor b = toQColor(back);
    const QColor f = toQColor(fore);
    const auto foreground = [&](QPalette::ColorRole role) {
        p.setColor(QPalette::Active, role, f);
        p.setColor(QPalette::Inactive, role, f);
    };
    switch (kind) {
        case Kind::Caption:
        case Kind::Value:
            p.setColor(QPalette::Window, b);
            p.setColor(QPalette::Text, f);
            break;
        case Kind::TextBox:
        case Kind::ComboBox:
        case Kind::ListBox:
            p.setColor(QPalette::Base, b);
            foreground(QPalette::Text);
            break;
        case Kind::Button:
            p.setColor(QPalette::Button, b);
            foreground(QPalette::ButtonText);
            break;
    }
    w.setPalette(p);
}

}  // namespace sabrota::qt
