// SPDX-License-Identifier: MIT
// The rules of IPv4 addressing the program applies in more than one place: a mask from its
// octets, whether its 1 bits are contiguous, its prefix length, and the class ranges of the
// first octet. Plain arithmetic on numbers, nothing of the window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace sabrota::ipv4 {

// The 32 bits of four octets, the first one most significant; nothing where one is outside
// 0 … 255.
std::optional<std::uint32_t> fromOctets(const std::array<int, 4>& octets);

// Whether the 1 bits of a mask stand together at its top: 255.255.255.192 does, 255.0.255.0
// does not.
constexpr bool contiguous(std::uint32_t mask) {
    const std::uint32_t hostPart = ~mask;
    return (hostPart & (hostPart + 1)) == 0;
}

// The number of 1 bits of a mask: its prefix length where it is contiguous.
int prefixLength(std::uint32_t mask);

// The class of an address by its first octet. Anything below 127 counts as class A, as the
// stages compare; 224 and above is no class of the program's.
enum class AddressClass { A, Loopback, B, C, None };
AddressClass classOf(int firstOctet);

// How many leading octets the natural mask of a class covers: 1 for A, 2 for B, 3 for C, all
// four for the loopback network and for no class, which have no bits beyond it.
int naturalMaskOctets(AddressClass c);

}  // namespace sabrota::ipv4
