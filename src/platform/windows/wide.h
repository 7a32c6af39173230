// SPDX-License-Identifier: MIT
// UTF-8, the model's text, to and from UTF-16, the text of Windows' W functions.
#pragma once

#include <string>
#include <string_view>

namespace sabrota::platform {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

}  // namespace sabrota::platform
