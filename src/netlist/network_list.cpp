// SPDX-License-Identifier: MIT
#include <charconv>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "analysis/arithmetic.h"
#include "platform/compiler.h"
#include "window/form1.h"

namespace sabrota {

namespace {
// The most a valid run lists: a class A address with /24. Fields changed under a running chain
// must not make the list run on past it.
constexpr int kMostEntries = 65536;
constexpr std::string_view kRefusal = "CPU(T_T):計算が大変なので計算いたしません！！";
// The longest ordinary entry: four octets of three digits and three dots.
constexpr std::size_t kLongestEntry = 15;
// A 32-bit number in decimal, with its sign.
constexpr std::size_t kLongestNumber = 11;

// The part of the entries that stays the same over many of them, made once when it changes:
// the class part, and for class A the second octet after it. The rest of each entry is written
// straight after a copy of it. (Copying a whole entry just written digit by digit would wait
// for those writes; the lead was written long before.)
class Lead {
  public:
    static constexpr std::size_t kMostSize = 3 * (kLongestNumber + 1);

    std::size_t size() const { return size_; }
    void cut(std::size_t size) { size_ = size; }
    void number(std::int32_t v) {
        size_ =
            static_cast<std::size_t>(std::to_chars(buf_ + size_, buf_ + kMostSize, v).ptr - buf_);
    }
    void dot() { buf_[size_++] = '.'; }
    std::string_view text() const { return {buf_, size_}; }
    // The room behind `to` takes at least kMostSize characters; a short lead is one fixed move.
    char* copyTo(char* to) const {
        if (size_ <= 16)
            std::memcpy(to, buf_, 16);
        else
            std::memcpy(to, buf_, size_);
        return to + size_;
    }

  private:
    char buf_[kMostSize + 1] = {};
    std::size_t size_ = 0;
};

// The texts of the octets 0 to 255, each in four bytes with its length in the last: an octet of
// an entry is then one fixed copy, without dividing.
struct OctetTexts {
    char text[256][4] = {};
    constexpr OctetTexts() {
        for (unsigned v = 0; v < 256; ++v) {
            char* p = text[v];
            if (v >= 100)
                *p++ = static_cast<char>('0' + v / 100);
            if (v >= 10)
                *p++ = static_cast<char>('0' + v / 10 % 10);
            *p = static_cast<char>('0' + v % 10);
            text[v][3] = static_cast<char>(v >= 100 ? 3 : v >= 10 ? 2 : 1);
        }
    }
};
constexpr OctetTexts kOctetTexts;

// An octet of an entry in decimal. The runs only hand on octets from 0 to 255, but a number
// outside that is still written whole. The room behind p takes at least four characters.
[[gnu::always_inline]] inline char* octetText(char* p, std::int32_t v) {
    if (v < 0 || v > 255) [[unlikely]]
        return std::to_chars(p, p + kLongestNumber, v).ptr;
    const char* text = kOctetTexts.text[v];
    std::memcpy(p, text, 4);
    return p + text[3];
}

// Room for an entry: the lead, a third octet and its dot, a fourth octet.
constexpr std::size_t kRoom = Lead::kMostSize + 2 * kLongestNumber + 1;

// The fields of one octet's runs. Every run sets them afresh, but the masks do not change
// within the tick, so the step and the number of passes are worked out by the first run only.
class OctetRuns {
  public:
    OctetRuns(std::int32_t& step, std::int32_t& octet, std::int32_t& passes)
        : stepField_(step), octetField_(octet), passesField_(passes) {}

    // A run: passes + 1 passes of counter (the bound fixed when it starts); in a pass where the
    // octet is below `below`, body(octet), and the octet grows by the step. The counter and the
    // octet are counted in locals and left in the fields as the passes leave them, also when a
    // fault ends the list.
    template <typename Counter, typename Body>
    [[gnu::always_inline]] void run(std::int32_t mask, Counter& counter, std::int32_t below,
                                    Body&& body) {
        if (!known_) {
            stepField_ = arith::checked(256LL - mask);
            octetField_ = 0;
            passesField_ = arith::divide(256, stepField_);
            step_ = stepField_;
            passes_ = passesField_;
            known_ = true;
        } else {
            stepField_ = step_;
            octetField_ = 0;
            passesField_ = passes_;
        }
        Counter pass = 0;
        std::int32_t octet = 0;
        try {
            // The counter is the window's 16-bit field; passes_ is at most 256.
            // NOLINTNEXTLINE(bugprone-too-small-loop-variable)
            for (pass = 0; pass <= passes_; ++pass) {
                if (octet >= below) {
                    // The passes left would only count on: the octet stays where it is.
                    pass = static_cast<Counter>(passes_ + 1);
                    break;
                }
                body(octet);
                octet = arith::checked(static_cast<long long>(octet) + step_);
            }
        } catch (...) {
            counter = pass;
            octetField_ = octet;
            throw;
        }
        counter = pass;
        octetField_ = octet;
    }

  private:
    std::int32_t& stepField_;
    std::int32_t& octetField_;
    std::int32_t& passesField_;
    bool known_ = false;
    std::int32_t step_ = 0;
    std::int32_t passes_ = 0;
};
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
    // Among thousands of entries the user finds their own network highlighted and in view. Only
    // the entries under the one lead and third octet that begin its text are compared whole.
    const std::string own =
        Label33.Caption + "." + Label35.Caption + "." + Label37.Caption + "." + Label39.Caption;
    ListSource from{listNetCount, listMask2, listMask3,  listMask4, inOctet1,
                    inOctet2,     inOctet3,  addrOctet1, own};

    // A replay need not make again the entries its live window has just made from the same
    // values; it ends as that making ended.
    if (const std::optional<int> shownIndex = runWatch().listAlreadyShown(from)) {
        List1.ListIndex = *shownIndex;
        Timer10.disarm();
        Command3.Enabled = true;
        return;
    }

    // Each entry is written into room for the longest it could be; the last one too.
    if (listNetCount > 0 && listNetCount <= kMostEntries)
        List1.reserve(static_cast<std::size_t>(listNetCount),
                      static_cast<std::size_t>(listNetCount) * kLongestEntry + kRoom);
    const auto leadsToOwn = [&own](std::string_view made) { return own.starts_with(made); };
    int ownIndex = -1;

    Lead lead;
    ListBox::Filler fill(List1);
    // An entry: the lead, the third octet and a dot for classes A and B, the fourth octet.
    auto append = [&](const std::int32_t* third, std::int32_t fourth, bool mayBeOwn)
                      SABROTA_ALWAYS_INLINE {
                          if (fill.count() >= kMostEntries)
                              throw RunTimeError("list too long");
                          fill.add(kRoom, [&](char* p) SABROTA_ALWAYS_INLINE {
                              p = lead.copyTo(p);
                              if (third) {
                                  p = octetText(p, *third);
                                  *p++ = '.';
                              }
                              return octetText(p, fourth);
                          });
                          if (mayBeOwn && ownIndex < 0 && fill.last() == own)
                              ownIndex = fill.count() - 1;
                      };
    // The fourth-octet run: listSteps4 + 1 passes, the last of which meets 256 and adds nothing.
    OctetRuns fourthRuns(listStep4, listOctet4, listSteps4);
    auto fourthRun = [&](auto& counter, const std::int32_t* third,
                         bool mayBeOwn) SABROTA_ALWAYS_INLINE {
        fourthRuns.run(listMask4, counter, 255, [&](std::int32_t fourth) SABROTA_ALWAYS_INLINE {
            append(third, fourth, mayBeOwn);
        });
    };
    OctetRuns thirdRuns(listStep3, listOctet3, listSteps3);
    auto thirdRun = [&](bool mayBeOwn) SABROTA_ALWAYS_INLINE {
        thirdRuns.run(listMask3, listCounter, 256, [&](std::int32_t third) SABROTA_ALWAYS_INLINE {
            bool ownThird = false;
            if (mayBeOwn) {
                char buf[kLongestNumber + 1];
                char* end = std::to_chars(buf, buf + kLongestNumber, third).ptr;
                *end++ = '.';
                // The own network's text begins with the lead, or this run would not look.
                const std::string_view rest = std::string_view(own).substr(lead.size());
                ownThird = rest.starts_with({buf, static_cast<std::size_t>(end - buf)});
            }
            fourthRun(listInner, &third, ownThird);
        });
    };

    if (addrOctet1 >= 192 && addrOctet1 <= 223) {
        lead.number(inOctet1);
        lead.dot();
        lead.number(inOctet2);
        lead.dot();
        lead.number(inOctet3);
        lead.dot();
        fourthRun(listCounter, nullptr, leadsToOwn(lead.text()));
    } else if (addrOctet1 >= 128 && addrOctet1 <= 191) {
        lead.number(inOctet1);
        lead.dot();
        lead.number(inOctet2);
        lead.dot();
        thirdRun(leadsToOwn(lead.text()));
    } else if (addrOctet1 < 128) {
        if (listNetCount > 65537) {
            // Nothing to highlight: the refusal is no address.
            fill.add(kRefusal.size(), [](char* p) {
                std::memcpy(p, kRefusal.data(), kRefusal.size());
                return p + kRefusal.size();
            });
        } else {
            lead.number(inOctet1);
            lead.dot();
            const std::size_t classPart = lead.size();
            OctetRuns secondRuns(listStep2, listOctet2, listSteps2);
            secondRuns.run(listMask2, listOuter, 256,
                           [&](std::int32_t second) SABROTA_ALWAYS_INLINE {
                               lead.cut(classPart);
                               lead.number(second);
                               lead.dot();
                               thirdRun(leadsToOwn(lead.text()));
                           });
        }
    }
    fill.done();
    Timer10.disarm();
    Command3.Enabled = true;
    List1.ListIndex = ownIndex;
    runWatch().listMade(from, ownIndex);
}

}  // namespace sabrota
