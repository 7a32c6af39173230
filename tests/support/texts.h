// SPDX-License-Identifier: MIT
// Texts of the program that several test files expect, written out once, as the user reads
// them.
#pragma once

#include <string>

namespace sabrota::test {

// Combo1's item for /24, which start-up and Clear select.
inline const std::string kMask24 = "255.255.255.000    /24";
// The one entry of a class A list too long to compute.
inline const std::string kListRefusal = "CPU(T_T):計算が大変なので計算いたしません！！";
// The export's three boxes.
inline const std::string kExportSuccess = "新しいファイルを作成しました。ip-file.csv";
inline const std::string kExportRefused =
    "新しいファイルを作成しました。ip-file.csv。しかしネットワーク数は多すぎて書き込めません！"
    "ごめんなさい。";
inline const std::string kExportFailure = "ファイルエラー:ファイルを閉じてください。";

}  // namespace sabrota::test
