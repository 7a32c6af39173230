// The look of the window: the design's fonts on the faces this desktop has, and its colours on
// Qt palettes.
#pragma once

#include <QColor>
#include <QFont>

#include "window/design.h"

class QWidget;

namespace sabrota::qt {

// The faces the design names, mapped onto installed Japanese fonts. Safe to call again.
void installFontSubstitutions();
QFont windowFont();
QFont designFont(const ControlDesign& d);

// 0x00BBGGRR, or a system colour of the desktop's palette.
QColor toQColor(Color c);

// Gives a widget of this kind the background and text colours; a disabled widget keeps the
// desktop's greyed text.
void applyColors(QWidget& w, Kind kind, Color back, Color fore);

}  // namespace sabrota::qt
