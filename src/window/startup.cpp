// SPDX-License-Identifier: MIT
#include "window/form1.h"

namespace sabrota {

void Form1::Form_Load() {
    Text1.Text.clear();
    Text2.Text.clear();
    Text3.Text.clear();
    Text4.Text.clear();
    for (cellIndex = 1; cellIndex <= 8; ++cellIndex) {
        for (CellArray* a :
             {&Label81, &Label82, &Label83, &Label84, &Label74, &Label75, &Label76, &Label77})
            (*a)(cellIndex).Caption.clear();
    }
    for (Control* c :
         {&Label9,  &Label10, &Label11, &Label12, &Label14, &Label15, &Label16, &Label17,
          &Label18, &Label46, &Label20, &Label24, &Label27, &Label29, &Label31, &Label33,
          &Label35, &Label37, &Label39, &Label41, &Label43, &Label45, &Label47, &Label21,
          &Label53, &Label58, &Label59, &Label60, &Label61, &Label62, &Label63, &Label64,
          &Label65, &Label66, &Label67, &Label68, &Label69})
        c->Caption.clear();
    Combo1.setListIndex(kStartMaskIndex);
    Command3.Enabled = false;
    // Where the program's folder cannot be made current, the inherited one serves.
    services_.folder.makeCurrent();
}

}  // namespace sabrota
