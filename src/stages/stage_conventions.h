// SPDX-License-Identifier: MIT
// What the eight input stages share: the hexadecimal text, the bit cells and cutting a piece
// out of a text by character position.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "window/controls.h"

namespace sabrota {

// Two upper-case hexadecimal digits: 0 gives "00", 10 "0A", 192 "C0".
std::string hex2(int value);

// Fills the eight cells from the working copy v, least significant bit into cell 1, with bit
// holding the bit of each pass; v ends at 0. onCell(index, bit) runs after each caption.
template <typename OnCell>
void fillBitCells(CellArray& cells, std::int16_t& v, std::int16_t& bit, std::int16_t& bitIndex,
                  OnCell onCell) {
    for (bitIndex = 1; bitIndex <= 8; ++bitIndex) {
        bit = static_cast<std::int16_t>(v % 2);
        v = static_cast<std::int16_t>(v / 2);
        cells(bitIndex).Caption = std::to_string(bit);
        onCell(bitIndex, bit);
    }
}

// Characters start … start + count - 1 (counted from 1) of a UTF-8 text; fewer, or none, where
// the text is shorter.
std::string midChars(std::string_view text, std::size_t start, std::size_t count);

}  // namespace sabrota
