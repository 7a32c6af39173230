// SPDX-License-Identifier: MIT
#include "stages/replay.h"

namespace sabrota {

Replay::Replay(const Form1::RunInput& input)
    : window_(platform::Services{box_, timers_, files_, shell_, printer_, folder_},
              Form1::Replica{}) {
    Form1& w = window_;
    w.Form_Load();
    w.Text1.Text = input.text1;
    w.Text2.Text = input.text2;
    w.Text3.Text = input.text3;
    w.Text4.Text = input.text4;
    w.Combo1.typeText(input.mask);
    w.CMD1_Click();
    // One stage is armed at a time; a clean run is ten ticks at most.
    for (int ticks = 0; ticks < 10; ++ticks) {
        int armed = 0;
        for (int n = 1; n <= 10 && armed == 0; ++n)
            if (w.timers[static_cast<std::size_t>(n - 1)].armed())
                armed = n;
        if (armed == 0)
            break;
        w.timerTick(armed);
    }
}

bool showSame(const Form1& a, const Form1& b) {
    for (const auto& d : designTable()) {
        const Control& x = a.control(d.id, d.index);
        const Control& y = b.control(d.id, d.index);
        if (x.Caption != y.Caption || x.BackColor != y.BackColor || x.ForeColor != y.ForeColor)
            return false;
    }
    return a.List1.ListCount() == b.List1.ListCount() && a.List1.text() == b.List1.text();
}

}  // namespace sabrota
