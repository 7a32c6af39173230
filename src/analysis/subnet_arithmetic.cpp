// SPDX-License-Identifier: MIT
#include "analysis/arithmetic.h"
#include "analysis/ipv4_rules.h"
#include "window/form1.h"

namespace sabrota {

void Form1::Timer10_Timer() {
    if (!maskStillSelectable() || !addressStillValid()) {
        Timer10.disarm();
        return;
    }
    try {
        ShowHostCount();
        using ipv4::AddressClass;
        const AddressClass cls = ipv4::classOf(addrOctet1);
        if (cls == AddressClass::C) {
            subnetCountC = arith::divide(256, addrCountC);
            Label27.Caption = "256";
            Label29.Caption = decimal(addrCountC);
            Label31.Caption = decimal(subnetCountC);
        } else if (cls == AddressClass::B) {
            subnetCountB = arith::divide(65536, addrCountB);
            Label27.Caption = "65536";
            Label29.Caption = decimal(addrCountB);
            Label31.Caption = decimal(subnetCountB);
        } else if (cls == AddressClass::A || cls == AddressClass::Loopback) {
            subnetCountA = arith::divide(16777216, addrCountA);
            Label27.Caption = "16777216";
            Label29.Caption = decimal(addrCountA);
            Label31.Caption = decimal(subnetCountA);
        }
        ComputeNetworkRange();
        CheckCoincidence();

        subnetCount = toInt32(Label31.Caption);
        subnetHalving = subnetCount;
        subnetBits = arith::halvingsToOne(subnetHalving);
        Label60.Caption = "2";
        Label61.Caption = decimal(subnetBits);

        BuildNetworkList();
    } catch (const RunTimeError&) {
        // Fields changed under a running chain; the run ends as it stands.
        Timer10.disarm();
        return;
    }
}

}  // namespace sabrota
