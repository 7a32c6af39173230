// SPDX-License-Identifier: MIT
#include "analysis/ipv4_rules.h"

#include <bit>

namespace sabrota::ipv4 {

std::optional<std::uint32_t> fromOctets(const std::array<int, 4>& octets) {
    std::uint32_t mask = 0;
    for (const int o : octets) {
        if (o < 0 || o > 255)
            return std::nullopt;
        mask = (mask << 8) | static_cast<std::uint32_t>(o);
    }
    return mask;
}

int prefixLength(std::uint32_t mask) {
    return std::popcount(mask);
}

AddressClass classOf(int firstOctet) {
    if (firstOctet < 127)
        return AddressClass::A;
    if (firstOctet == 127)
        return AddressClass::Loopback;
    if (firstOctet <= 191)
        return AddressClass::B;
    if (firstOctet <= 223)
        return AddressClass::C;
    return AddressClass::None;
}

int naturalMaskOctets(AddressClass c) {
    switch (c) {
        case AddressClass::A:
            return 1;
        case AddressClass::B:
            return 2;
        case AddressClass::C:
            return 3;
        case AddressClass::Loopback:
        case AddressClass::None:
            break;
    }
    return 4;
}

}  // namespace sabrota::ipv4
