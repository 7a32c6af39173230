// SPDX-License-Identifier: MIT
// Text crossing from the model (UTF-8 std::string) to Qt.
#pragma once

#include <QString>
#include <string_view>

namespace sabrota::qt {

inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace sabrota::qt
