// SPDX-License-Identifier: MIT
#include "analysis/arithmetic.h"
#include "window/form1.h"

namespace sabrota {

void Form1::ShowHostCount() {
    hostCount = toInt32(Label20.Caption);
    halvingWork = hostCount;
    hostBits = arith::halvingsToOne(halvingWork);
    Label58.Caption = "2";
    Label59.Caption = decimal(hostBits);
    hostCount = arith::checked(static_cast<long long>(hostCount) - 2);
    Label24.Caption = decimal(hostCount);
}

void Form1::ComputeNetworkRange() {
    inOctet1 = toInt32(Text1.Text);
    Label33.Caption = decimal(inOctet1);
    Label41.Caption = decimal(inOctet1);

    struct Octet {
        const Control& text;
        const Control& maskLabel;
        std::int32_t& in;
        std::int32_t& net;
        Control& netLabel;
        std::int32_t& bcast;
        Control& bcastLabel;
    };
    const Octet octets[3] = {
        {Text4, Label12, inOctet4, netOctet4, Label39, bcastOctet4, Label47},
        {Text3, Label11, inOctet3, netOctet3, Label37, bcastOctet3, Label45},
        {Text2, Label10, inOctet2, netOctet2, Label35, bcastOctet2, Label43},
    };
    for (const Octet& o : octets) {
        o.in = toInt32(o.text.Text);
        octetStep = toInt32(o.maskLabel.Caption);
        octetStep = arith::checked(256LL - octetStep);
        o.net = 256;
        // Steps down from 256 to the largest multiple of the step not above the octet; 257
        // passes cover the longest walk, 256 down to 0 in steps of 1. Once the walk has
        // arrived, every pass left would write the same two labels again, so the walk ends
        // there as if it had made them all.
        for (passIndex = 0; passIndex <= 256; ++passIndex) {
            if (o.net > o.in) {
                o.net = arith::checked(static_cast<long long>(o.net) - octetStep);
            } else {
                o.netLabel.Caption = decimal(o.net);
                o.bcast = arith::checked(static_cast<long long>(o.net) + octetStep - 1);
                o.bcastLabel.Caption = decimal(o.bcast);
                passIndex = 257;
                break;
            }
        }
    }
}

// Octets 2 to 4 are compared as text: an octet typed as "00" or "010" does not match.
void Form1::CheckCoincidence() {
    if (Text2.Text == Label35.Caption && Text3.Text == Label37.Caption &&
        Text4.Text == Label39.Caption && toInt32(Text1.Text) == toInt32(Label33.Caption)) {
        Label18.Caption = "ネットワークトアドレスと重複";
        Label53.Caption = "!!";
        for (Control* c : {&Label33, &Label35, &Label37, &Label39})
            c->BackColor = colors::kPaleYellow;
    }
    if (Text2.Text == Label43.Caption && Text3.Text == Label45.Caption &&
        Text4.Text == Label47.Caption && toInt32(Text1.Text) == toInt32(Label41.Caption)) {
        Label18.Caption = "ブロードキャストアドレスと重複";
        Label53.Caption = "!!";
        for (Control* c : {&Label41, &Label43, &Label45, &Label47})
            c->BackColor = colors::kPaleYellow;
    }
}

}  // namespace sabrota
