// SPDX-License-Identifier: MIT
// Which of the binder's changes a widget of each kind of control takes, and the keys that press
// a button: the rules every window follows, so that a front end only says how its toolkit sets
// a property.
#pragma once

#include <string>

#include "frontend/binder.h"
#include "window/design.h"

namespace sabrota::frontend {

// A label of the design: a caption that never changes or a value field the program writes.
constexpr bool isLabel(Kind k) {
    return k == Kind::Caption || k == Kind::Value;
}
// Labels and buttons show a caption; the octet boxes and the mask box's line show a text.
constexpr bool showsCaption(Kind k) {
    return isLabel(k) || k == Kind::Button;
}
constexpr bool showsText(Kind k) {
    return k == Kind::TextBox || k == Kind::ComboBox;
}

// Sets on one widget what changed. Ops is the front end's small set of toolkit calls:
//   setCaption(const std::string&), setText(const std::string&), setColors(Color back,
//   Color fore), setEnabled(bool), setVisible(bool)
// each called only for a change the widget's kind takes.
template <typename Ops>
void applyChanges(Ops&& ops, const ControlDesign& d, const Control& now, unsigned changes) {
    if ((changes & kCaption) && showsCaption(d.kind))
        ops.setCaption(now.Caption);
    if ((changes & kText) && showsText(d.kind))
        ops.setText(now.Text);
    if (changes & kColors)
        ops.setColors(now.BackColor, now.ForeColor);
    if (changes & kEnabled)
        ops.setEnabled(now.Enabled);
    if (changes & kVisible)
        ops.setVisible(now.Visible);
}

// Enter and Return press the focused command button as Space does (the toolkit's own key), as
// on the desktop the program was made for; once per key stroke: a held key does not run the
// command again and again.
constexpr bool enterPressesButton(bool autoRepeat) {
    return !autoRepeat;
}

}  // namespace sabrota::frontend
