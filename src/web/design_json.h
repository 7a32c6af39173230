// SPDX-License-Identifier: MIT
// The design table as the page builds its window from it: every control's rectangle in CSS
// pixels, texts, faces, colours, look, click handler and the name a screen reader hears, with
// the mask items, the keyboard order and the version. Written into the page when it is built,
// so the page draws the window before the WebAssembly has started.
#pragma once

#include <string>

namespace sabrota::web {

std::string designJson();

}  // namespace sabrota::web
