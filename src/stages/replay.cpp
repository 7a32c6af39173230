// SPDX-License-Identifier: MIT
#include "stages/replay.h"

#include "stages/export_rule.h"

namespace sabrota {

Replay::Replay(const RunInput& input, const ExportRule* like)
    : window_(platform::Services{box_, timers_, files_, shell_, printer_, folder_},
              std::make_unique<Watch>(like)) {
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

// A replay that the live window is compared with would only make again the 65,536 entries
// the live window has just made from the same values. It ends as that making ended, and makes
// its entries later only if the live window's list changes before the comparison.
std::optional<int> Replay::Watch::listAlreadyShown(const ListSource& from) {
    std::optional<int> ownIndex = like ? like->listShows(from) : std::nullopt;
    if (ownIndex)
        deferred = from;
    return ownIndex;
}

void Replay::makeList() {
    watch().deferred.reset();
    watch().like = nullptr;
    window_.BuildNetworkList();
}

bool Replay::shownBy(const Form1& live) {
    for (const auto& d : designTable()) {
        const Control& x = live.control(d.id, d.index);
        const Control& y = window_.control(d.id, d.index);
        if (x.Caption != y.Caption || x.BackColor != y.BackColor || x.ForeColor != y.ForeColor)
            return false;
    }
    if (const auto& deferred = watch().deferred) {
        const ExportRule* like = ExportRule::of(live);
        if (like && like->listShows(*deferred))
            return true;
        makeList();
    }
    return live.List1.ListCount() == window_.List1.ListCount() &&
           live.List1.text() == window_.List1.text();
}

}  // namespace sabrota
