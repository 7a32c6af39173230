// SPDX-License-Identifier: MIT
#include "window/form1.h"

namespace sabrota {

// Steps 1 to 4 of Calculate; Clear does the same.
void Form1::resetResultFields() {
    for (Control* c :
         {&Label9, &Label10, &Label11, &Label12, &Label14, &Label46, &Label20, &Label24, &Label27,
          &Label29, &Label31, &Label33, &Label35, &Label37, &Label39})
        c->Caption.clear();
    for (Control* c : {&Label33, &Label35, &Label37, &Label39})
        c->BackColor = colors::kButtonFace;
    for (Control* c : {&Label41, &Label43, &Label45, &Label47})
        c->Caption.clear();
    for (Control* c : {&Label41, &Label43, &Label45, &Label47})
        c->BackColor = colors::kButtonFace;
    for (Control* c :
         {&Label21, &Label15, &Label16, &Label17, &Label18, &Label53, &Label58, &Label59, &Label60,
          &Label61, &Label62, &Label63, &Label64, &Label65, &Label66, &Label67, &Label68, &Label69})
        c->Caption.clear();
}

// Nothing records whether a run is on its way: a second Calculate starts a chain beside it.
// The results of the previous run go at once, and the export with them: it comes back when
// this run has ended well.
void Form1::CMD1_Click() {
    runWatch().runStarted();
    Command3.Enabled = false;
    resetResultFields();
    List1.Clear();
    Text4.BackColor = colors::kWindowBackground;
    Timer1.arm();
}

}  // namespace sabrota
