// SPDX-License-Identifier: MIT
#include "frontend/announcements.h"

#include "window/form1.h"

namespace sabrota::frontend {

void Announcements::eventDone(const Form1& form) {
    if (const auto sentence = watch_.afterEvent(form))
        speaker_.say(*sentence);
}

void Announcements::boxClosed(std::string_view prompt) {
    watch_.boxClosed(prompt);
}

void Announcements::clicked(Click handler, const Form1& form) {
    if (handler == Click::Command2_Click)
        speaker_.say(clearSummary(form));
}

}  // namespace sabrota::frontend
