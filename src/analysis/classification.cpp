// SPDX-License-Identifier: MIT
#include <array>
#include <optional>

#include "analysis/arithmetic.h"
#include "analysis/ipv4_rules.h"
#include "window/form1.h"

namespace sabrota {

namespace {

// The mask of Label9 … Label12 as 32 bits, or nothing where a caption is no octet.
std::optional<std::uint32_t> maskFromCaptions(const Control* const labels[4]) {
    std::array<int, 4> octets{};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto c = numeric::toInteger16(labels[i]->Caption);
        if (c.status != numeric::Conversion::Ok)
            return std::nullopt;
        octets[i] = c.value;
    }
    return ipv4::fromOctets(octets);
}

}  // namespace

// Combo1 can be typed into. A mask that is not one of the selectable /8 … /31 would make the
// arithmetic wrong (a count that is no power of two) or endless, so the run ends with a box.
// Empty captions were emptied by a later Calculate or Clear: that run has been superseded and
// ends quietly.
bool Form1::maskStillSelectable() {
    const Control* labels[4] = {&Label9, &Label10, &Label11, &Label12};
    for (const Control* l : labels)
        if (l->Caption.empty())
            return false;
    const auto mask = maskFromCaptions(labels);
    bool ok = false;
    if (mask)
        ok = ipv4::contiguous(*mask) && *mask >= 0xFF000000u && *mask <= 0xFFFFFFFEu;
    if (!ok)
        msgBox("サブネットマスクが正しくありません。一覧から選択してください。",
               platform::BoxStyle::Exclamation, "サブネットマスク：不正！！");
    return ok;
}

void Form1::Timer9_Timer() {
    if (!maskStillSelectable() || !addressStillValid()) {
        Timer9.disarm();
        return;
    }
    try {
        maskOctet1 = toInt16(Label9.Caption);
        maskOctet2 = toInt16(Label10.Caption);
        maskOctet3 = toInt16(Label11.Caption);
        maskOctet4 = toInt16(Label12.Caption);
        blockSize1 = 256 - maskOctet1;
        blockSize2 = 256 - maskOctet2;
        blockSize3 = 256 - maskOctet3;
        blockSize4 = 256 - maskOctet4;

        Label21.Caption = decimal(blockSize1 - 1);
        Label15.Caption = decimal(blockSize2 - 1);
        Label16.Caption = decimal(blockSize3 - 1);
        Label17.Caption = decimal(blockSize4 - 1);
        Label18.Caption.clear();

        addrOctet1 = toInt16(Text1.Text);
        addrOctet2 = toInt16(Text2.Text);

        using ipv4::AddressClass;
        const AddressClass cls = ipv4::classOf(addrOctet1);
        if (cls == AddressClass::A)
            Label14.Caption = "A";
        if (cls == AddressClass::Loopback)
            Label14.Caption = "ループバック";
        if (cls == AddressClass::B)
            Label14.Caption = "B";
        if (cls == AddressClass::C)
            Label14.Caption = "C";

        Label46.Caption = "グローバル";
        if (addrOctet1 == 10)
            Label46.Caption = "プライベート";
        if (addrOctet1 == 172 && addrOctet2 >= 16 && addrOctet2 <= 31)
            Label46.Caption = "プライベート";
        if (addrOctet1 == 192 && addrOctet2 == 168)
            Label46.Caption = "プライベート";
        if (addrOctet1 == 127)
            Label46.Caption = "ループバック";

        if (cls == AddressClass::C && blockSize1 == 1 && blockSize2 == 1 && blockSize3 == 1) {
            addrCountC = blockSize4;
            Label20.Caption = decimal(addrCountC);
            Timer10.arm();
        } else if (cls == AddressClass::B && blockSize1 == 1 && blockSize2 == 1) {
            addrCountB = arith::checked(static_cast<long long>(blockSize4) * blockSize3);
            Label20.Caption = decimal(addrCountB);
            Timer10.arm();
        } else if (cls == AddressClass::A && blockSize1 == 1) {
            addrCountA =
                arith::checked(static_cast<long long>(blockSize4) * blockSize3 * blockSize2);
            Label20.Caption = decimal(addrCountA);
            Timer10.arm();
        } else if (cls == AddressClass::Loopback) {
            msgBox("ループバックテスト用アドレスです。", platform::BoxStyle::Exclamation,
                   "ループバックテスト用！！");
        } else {
            msgBox("クラスレス。ホスト数とネットワークの範囲のみ計算します。",
                   platform::BoxStyle::Exclamation, "クラスレス！！");
            addrCountA =
                arith::checked(static_cast<long long>(blockSize4) * blockSize3 * blockSize2);
            Label20.Caption = decimal(addrCountA);
            ShowHostCount();
            ComputeNetworkRange();
            CheckCoincidence();
        }
    } catch (const RunTimeError&) {
        // Fields changed under a running chain (a second Calculate, Clear) can leave nothing
        // to compute with; the run ends here as it stands.
        Timer9.disarm();
        return;
    }
    Command3.Enabled = true;
    Timer9.disarm();
}

}  // namespace sabrota
