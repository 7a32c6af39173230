// What a screen reader hears of the window's own widgets: the design's labels with their
// meaning and what they show, the home-page link as a link, and the window as a frame.
#pragma once

#include <QString>

namespace sabrota::qt {

class DesignLabel;

// Said for a value field that shows nothing yet, so an empty field is not silence.
inline constexpr char16_t kEmptyField[] = u"空";

// Puts the window's accessible interfaces in place; the first call does it, later ones
// nothing. Called before the window builds its widgets.
void installAccessibility();

// What a screen reader names the label: a value field by its meaning and what it shows
// ("アドレスクラス C", "アドレスクラス 空"), a caption by its text.
QString spokenName(const DesignLabel& label);

// Tells a screen reader that the label's caption was before and is now its text.
void announceCaptionChange(DesignLabel& label, const QString& before);

}  // namespace sabrota::qt
