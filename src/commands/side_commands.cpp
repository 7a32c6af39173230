// SPDX-License-Identifier: MIT
#include "window/form1.h"

namespace sabrota {

namespace {
constexpr std::string_view kMemoFile = "ip-memo.txt";
}

// The memo lives beside the program; the desktop's editor opens it, the program never reads it.
void Form1::Command1_Click() {
    services_.shell.open(kMemoFile);
}

void Form1::Label70_Click() {
    services_.shell.open(homePage());
}

void Form1::cmdPrint_Click() {
    Control* buttons[] = {&CMD1, &Command1, &Command2, &Command3, &cmdPrint};
    for (Control* b : buttons)
        b->Visible = false;
    const bool printed = services_.printer.printWindow();
    for (Control* b : buttons)
        b->Visible = true;
    if (!printed)
        msgBox("印刷できませんでした。プリンターを確認してください。",
               platform::BoxStyle::Exclamation);
}

}  // namespace sabrota
