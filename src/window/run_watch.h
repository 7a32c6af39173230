// SPDX-License-Identifier: MIT
// The one hook between the window and the export's rule. The window tells it when a stage's
// tick is over, when Calculate or Clear has emptied the results, and when the list of networks
// is about to be made and has been made; it asks it which input CSV出力 writes. The rule itself
// lives with the stages (their export_rule.h); the window knows only this.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace sabrota {

class Form1;

// The input boxes as the stages of one run read them: Text1 … Text4 and Combo1's text.
struct RunInput {
    std::string text1, text2, text3, text4, mask;
    bool operator==(const RunInput&) const = default;
};

// Everything the list of networks is made from. The same values make the same entries, the
// same highlighted one and the same end, a fault or none.
struct ListSource {
    std::int32_t netCount, mask2, mask3, mask4, octet1, octet2, octet3;
    std::int16_t classOctet;
    std::string own;
    bool operator==(const ListSource&) const = default;
};

// As it stands, a watch that checks nothing and has nothing to export: a window with it runs
// the stages and nothing else.
class RunWatch {
  public:
    virtual ~RunWatch() = default;
    // A tick of Timer1 … Timer10 is over.
    virtual void stageEnded() {}
    // Calculate has emptied the results: nothing to export until a run has ended well.
    virtual void runStarted() {}
    // Clear has emptied the window: the export stands for a window with no results.
    virtual void windowCleared() {}
    // What CSV出力 writes for the address and the mask; nothing when there is no run to write.
    virtual std::optional<RunInput> exportInput() const { return std::nullopt; }
    // The list's stage is about to make the entries from these values. An index means they
    // need not be made (the window stands in for one that shows them already): the making
    // ended well with that entry selected.
    virtual std::optional<int> listAlreadyShown(const ListSource& from) {
        (void)from;
        return std::nullopt;
    }
    // The list's stage has made every entry from these values and selected ownIndex.
    virtual void listMade(const ListSource& from, int ownIndex) {
        (void)from;
        (void)ownIndex;
    }
};

// The export's rule for a window of the program.
std::unique_ptr<RunWatch> exportRuleFor(Form1& window);

}  // namespace sabrota
