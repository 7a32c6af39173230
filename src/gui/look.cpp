#include "gui/look.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace sabrota::qt {

namespace {
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString kPopP = QStringLiteral("HGP創英角ﾎﾟｯﾌﾟ体");
const QString kPop = QStringLiteral("HG創英角ﾎﾟｯﾌﾟ体");
}  // namespace

void installFontSubstitutions() {
    // Debian's fontconfig has no alias for the Windows faces; without these the Latin digits
    // fall back to another family with other metrics.
    QFont::insertSubstitution(kPGothic, QStringLiteral("IPAPGothic"));
    // The display faces are heavy; the IPA Gothic faces drawn bold come nearest.
    QFont::insertSubstitution(kPopP, QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(kPop, QStringLiteral("IPAGothic"));
}

QFont windowFont() {
    QFont f(kPGothic);
    f.setPointSizeF(kWindowFontPoints);
    return f;
}

QFont designFont(const ControlDesign& d) {
    if (d.face == Face::WindowFont)
        return windowFont();
    QFont f(d.face == Face::HgpSoeiKakuPop  ? kPopP
            : d.face == Face::HgSoeiKakuPop ? kPop
                                            : kPGothic);
    f.setPointSizeF(d.points);
    const bool display = d.face == Face::HgpSoeiKakuPop || d.face == Face::HgSoeiKakuPop;
    f.setBold(display || d.weight != Weight::Regular);
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
