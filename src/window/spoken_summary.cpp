// SPDX-License-Identifier: MIT
#include "window/spoken_summary.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "window/form1.h"

namespace sabrota {

namespace {

std::string meaning(ControlId id) {
    return accessibleName(design(id));
}

// Runs of blanks said as one: the mask items line up their prefix with several.
std::string squeezed(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ')
            out += c;
    return out;
}

// The four octet fields as one dotted address, or nothing while one of them is empty.
std::string dotted(std::initializer_list<const Control*> octets) {
    std::string address;
    for (const Control* c : octets) {
        if (c->Caption.empty())
            return {};
        if (!address.empty())
            address += '.';
        address += c->Caption;
    }
    return address;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& p : parts) {
        if (!all.empty())
            all += "、";
        all += p;
    }
    return all;
}

}  // namespace

std::string runSummary(const Form1& f) {
    std::vector<std::string> parts;
    // A value field by its meaning, followed by a unit caption where the window has one.
    auto field = [&](ControlId id, const Control& c, const Control* unit = nullptr) {
        if (!c.Caption.empty())
            parts.push_back(meaning(id) + ' ' + c.Caption + (unit ? ' ' + unit->Caption : ""));
    };
    field(ControlId::Label14, f.Label14);
    field(ControlId::Label46, f.Label46);
    field(ControlId::Label24, f.Label24, &f.Label36);

    const std::string network = dotted({&f.Label33, &f.Label35, &f.Label37, &f.Label39});
    const std::string broadcast = dotted({&f.Label41, &f.Label43, &f.Label45, &f.Label47});
    std::string range;
    if (!network.empty())
        range = f.Label32.Caption + ' ' + network;
    if (!broadcast.empty())
        range += (range.empty() ? "" : ' ' + f.Label38.Caption + ' ') + f.Label40.Caption + ' ' +
                 broadcast;
    if (!range.empty())
        parts.push_back(range);

    field(ControlId::Label31, f.Label31, &f.Label34);
    if (!f.Label18.Caption.empty())
        parts.push_back(f.Label19.Caption + ' ' + f.Label18.Caption);
    // An entry the list highlights none of is no network of the address: the refusal of a list
    // too long to make. The networks themselves are told by their count.
    if (f.List1.ListCount() > 0 && f.List1.ListIndex < 0)
        parts.push_back(meaning(ControlId::List1) + ' ' + std::string(f.List1.List(0)));

    return parts.empty() ? std::string(kNoResults) : joined(parts);
}

std::string clearSummary(const Form1& f) {
    return joined({f.Command2.Caption, meaning(ControlId::Combo1) + ' ' + squeezed(f.Combo1.Text)});
}

std::string exportSummary(const Form1& f, std::string_view prompt) {
    return joined({f.Command3.Caption, std::string(prompt)});
}

std::optional<std::string> SummaryWatch::afterEvent(const Form1& f) {
    // Timer1 … Timer10 are the stages of a run, Timer11 the export.
    const bool runOn =
        std::any_of(f.timers.begin(), f.timers.end() - 1, [](const Timer& t) { return t.armed(); });
    const bool exportOn = f.Timer11.armed();
    std::optional<std::string> say;
    if (exportOn_ && !exportOn && !prompt_.empty())
        say = exportSummary(f, prompt_);
    if (runOn_ && !runOn)
        say = say ? *say + "。" + runSummary(f) : runSummary(f);
    if (!runOn && !exportOn)
        prompt_.clear();
    runOn_ = runOn;
    exportOn_ = exportOn;
    return say;
}

}  // namespace sabrota
