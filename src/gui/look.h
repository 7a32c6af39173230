// The look of the window: the design's fonts on the faces this desktop has, and its colours on
// Qt palettes.
#pragma once

#include <QColor>
#include <QFont>

#include "window/design.h"

class QWidget;

namespace sabrota::qt {

// The design's fonts. A face the design names is drawn with that face where it is installed,
// else with the best installed Japanese Gothic face (IPA, Noto Sans CJK JP, VL, Takao, then any
// face with Japanese characters). The faces are chosen once, at the first call; when no
// installed face has Japanese characters, one line on standard error says which package to
// install.
QFont windowFont();
QFont designFont(const ControlDesign& d);

// 0x00BBGGRR, or a system colour of the desktop's palette.
QColor toQColor(Color c);

// Gives a widget of this kind the background and text colours; a disabled widget keeps the
// desktop's greyed text.
void applyColors(QWidget& w, Kind kind, Color back, Color fore);

}  // namespace sabrota::qt
