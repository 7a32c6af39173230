#include <algorithm>

#include "analysis/arithmetic.h"
#include "window/form1.h"

namespace sabrota {

namespace {
// The most a valid run lists: a class A address with /24. Fields changed under a running chain
// must not make the list run on past it.
constexpr int kMostEntries = 65536;
constexpr std::string_view kRefusal = "CPU(T_T):計算が大変なので計算いたしません！！";
}  // namespace

// The tail of Timer10: every network of the chosen size inside the class network, ascending.
void Form1::BuildNetworkList() {
    const ListBox::Update update(List1);
    List1.Clear();
    listNetCount = toInt32(Label31.Caption);
    listMask2 = toInt32(Label10.Caption);
    listMask3 = toInt32(Label11.Caption);
    listMask4 = toInt32(Label12.Caption);
    inOctet1 = toInt32(Text1.Text);

    auto append = [&](std::string entry) {
        if (List1.ListCount() >= kMostEntries)
            throw RunTimeError("list too long");
        List1.AddItem(std::move(entry));
    };
    // The fourth-octet run: listSteps4 + 1 passes, the last of which meets 256 and adds nothing.
    auto fourthRun = [&](const std::string& prefix, auto& counter) {
        listStep4 = arith::checked(256LL - listMask4);
        listOctet4 = 0;
        listSteps4 = arith::divide(256, listStep4);
        for (counter = 0; counter <= listSteps4; ++counter) {
            if (listOctet4 < 255) {
                append(prefix + "." + decimal(listOctet4));
                listOctet4 = arith::checked(static_cast<long long>(listOctet4) + listStep4);
            }
        }
    };
    auto thirdRun = [&](const std::string& prefix) {
        listStep3 = arith::checked(256LL - listMask3);
        listOctet3 = 0;
        listSteps3 = arith::divide(256, listStep3);
        for (listCounter = 0; listCounter <= listSteps3; ++listCounter) {
            if (listOctet3 < 256) {
                fourthRun(prefix + "." + decimal(listOctet3), listInner);
                listOctet3 = arith::checked(static_cast<long long>(listOctet3) + listStep3);
            }
        }
    };

    if (addrOctet1 >= 192 && addrOctet1 <= 223) {
        fourthRun(decimal(inOctet1) + "." + decimal(inOctet2) + "." + decimal(inOctet3),
                  listCounter);
    } else if (addrOctet1 >= 128 && addrOctet1 <= 191) {
        thirdRun(decimal(inOctet1) + "." + decimal(inOctet2));
    } else if (addrOctet1 < 128) {
        if (listNetCount > 65537) {
            List1.AddItem(std::string(kRefusal));
        } else {
            listStep2 = arith::checked(256LL - listMask2);
            listOctet2 = 0;
            listSteps2 = arith::divide(256, listStep2);
            for (listOuter = 0; listOuter <= listSteps2; ++listOuter) {
                if (listOctet2 < 256) {
                    thirdRun(decimal(inOctet1) + "." + decimal(listOctet2));
                    listOctet2 = arith::checked(static_cast<long long>(listOctet2) + listStep2);
                }
            }
        }
    }
    Timer10.disarm();
    Command3.Enabled = true;
    selectOwnNetwork();
}

// Among thousands of entries the user finds their own network highlighted and in view.
void Form1::selectOwnNetwork() {
    const std::string own =
        Label33.Caption + "." + Label35.Caption + "." + Label37.Caption + "." + Label39.Caption;
    const auto& e = List1.entries();
    const auto it = std::find(e.begin(), e.end(), own);
    List1.ListIndex = it == e.end() ? -1 : static_cast<int>(it - e.begin());
}

}  // namespace sabrota
