// SPDX-License-Identifier: MIT
// The look of the window: the design's fonts on the faces this desktop has, and its colours on
// Qt palettes.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

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

// The style every control of the window is drawn in, whatever the desktop's style is: one
// that draws each colour from the control's palette.
inline constexpr const char* kControlStyle = "Fusion";

// Every colour role of the window, in every state, fixed to the desktop colours the design was
// drawn with: the desktop's own theme, light or dark, changes only the title bar.
const QPalette& designPalette();

// 0x00BBGGRR, or one of the design's system colours (button face, window background, ...).
QColor toQColor(Color c);

// Gives the window the design's palette with its own background colour.
void applyWindowColors(QWidget& window);

// Gives a widget of this kind the background and text colours, built on the palette it
// inherits from the window; the palette is set only when these colours change it. A disabled
// control shows greyed text.
void applyColors(QWidget& w, Kind kind, Color back, Color fore);

}  // namespace sabrota::qt
