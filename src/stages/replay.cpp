// SPDX-License-Identifier: MIT
#include "stages/replay.h"

namespace sabrota {

Replay::Replay(const Form1::RunInput& input, const Form1* like)
    : window_(platform::Services{box_, timers_, files_, shell_, printer_, folder_},
              Form1::Replica{like}) {
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

void Replay::makeList() {
    window_.listDeferred_.reset();
    window_.listLike_ = nullptr;
    window_.BuildNetworkList();
}

bool Replay::shownBy(const Form1& live) {
    for (const auto& d : designTable()) {
        const Control& x = live.control(d.id, d.index);
        const Control& y = window_.control(d.id, d.index);
        if (x.Caption != y.Caption || x.BackColor != y.BackColor || x.ForeColor != y.ForeColor)
            return false;
    }
    if (window_.listDeferred_) {
        if (live.listShows(*window_.listDeferred_))
            return true;
        makeList();
    }
    return live.List1.ListCount() == window_.List1.ListCount() &&
           live.List1.text() == window_.List1.text();
}

}  // namespace sabrota
