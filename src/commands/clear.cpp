// SPDX-License-Identifier: MIT
#include "window/form1.h"

namespace sabrota {

// Clear leaves the timers alone: a stage that is armed runs afterwards on the emptied fields.
void Form1::Command2_Click() {
    Text1.Text.clear();
    Text2.Text.clear();
    Text3.Text.clear();
    Text4.Text.clear();
    for (cellIndex = 1; cellIndex <= 8; ++cellIndex) {
        for (CellArray* a : {&Label81, &Label82, &Label83, &Label84}) {
            (*a)(cellIndex).Caption.clear();
            (*a)(cellIndex).BackColor = colors::kButtonFace;
        }
        for (CellArray* a : {&Label74, &Label75, &Label76, &Label77}) {
            (*a)(cellIndex).Caption.clear();
            (*a)(cellIndex).BackColor = colors::kButtonFace;
        }
    }
    resetResultFields();
    Text4.BackColor = colors::kWindowBackground;
    Combo1.setListIndex(kStartMaskIndex);
    List1.Clear();
    Command3.Enabled = false;
    // The window holds no run now; a stage of a chain still on its way may write into it.
    runWatch().windowCleared();
}

}  // namespace sabrota
