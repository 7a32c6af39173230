#include "analysis/arithmetic.h"
#include "window/form1.h"

namespace sabrota {

void Form1::Timer10_Timer() {
    if (!maskStillSelectable() || !addressStillValid()) {
        Timer10.disarm();
        return;
    }
    try {
        ShowHostCount();
        if (addrOctet1 >= 192 && addrOctet1 <= 223) {
            subnetCountC = arith::divide(256, addrCountC);
            Label27.Caption = "256";
            Label29.Caption = decimal(addrCountC);
            Label31.Caption = decimal(subnetCountC);
        } else if (addrOctet1 >= 128 && addrOctet1 <= 191) {
            subnetCountB = arith::divide(65536, addrCountB);
            Label27.Caption = "65536";
            Label29.Caption = decimal(addrCountB);
            Label31.Caption = decimal(subnetCountB);
        } else if (addrOctet1 < 128) {
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
