// SPDX-License-Identifier: MIT
#include "headless/headless.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace sabrota::headless {

void VirtualClock::timerChanged(int number, int interval, bool enabled) {
    if (number < 1 || number > kTimerCount)
        return;
    interval_[number - 1] = interval;
    due_[number - 1] = (enabled && interval > 0) ? now_ + interval : -1;
}

void VirtualClock::advance(long long ms) {
    const long long until = now_ + ms;
    for (;;) {
        int next = -1;
        for (int i = 0; i < kTimerCount; ++i)
            if (due_[i] >= 0 && due_[i] <= until && (next < 0 || due_[i] < due_[next]))
                next = i;
        if (next < 0)
            break;
        if (due_[next] > now_)
            now_ = due_[next];
        // Rescheduled before the tick, as a periodic timer is; the stage switches it off.
        due_[next] = now_ + interval_[next];
        fired.push_back(next + 1);
        if (fire_)
            fire_(next + 1);
    }
    if (until > now_)
        now_ = until;
}

bool VirtualClock::anyArmed() const {
    return std::any_of(std::begin(due_), std::end(due_), [](long long d) { return d >= 0; });
}

bool VirtualClock::runUntilIdle(long long limitMs) {
    const long long end = now_ + limitMs;
    while (anyArmed() && now_ < end)
        advance(10);
    return !anyArmed();
}

void ScriptedMessageBox::show(std::string_view prompt, platform::BoxStyle style,
                              std::string_view title) {
    shown.push_back({std::string(prompt), style == platform::BoxStyle::Exclamation ? 48 : 0,
                     std::string(title)});
    ++openNow;
    if (whileOpen)
        whileOpen(shown.back());
    --openNow;
}

bool MemoryFileStore::replaceFile(std::string_view name, std::string_view bytes) {
    ++writes;
    if (throwing)
        throw std::runtime_error("the file store is broken");
    if (failing)
        return false;
    files.insert_or_assign(std::string(name), std::string(bytes));
    return true;
}

bool RecordingPrinter::printWindow() {
    if (whilePrinting)
        whilePrinting();
    if (!succeeds)
        return false;
    ++pages;
    return true;
}

HeadlessWindow::HeadlessWindow()
    : form(std::make_unique<Form1>(platform::Services{box, clock, files, shell, printer, folder})) {
    clock.attach([this](int n) { form->timerTick(n); });
    form->Form_Load();
}

void HeadlessWindow::calculate(const std::string& a, const std::string& b, const std::string& c,
                               const std::string& d, const std::string& maskText) {
    form->Text1.Text = a;
    form->Text2.Text = b;
    form->Text3.Text = c;
    form->Text4.Text = d;
    form->Combo1.typeText(maskText);
    form->CMD1_Click();
    clock.runUntilIdle();
}

void HeadlessWindow::enter(const std::string& dotted, int prefix) {
    std::string parts[4];
    std::istringstream in(dotted);
    for (auto& p : parts)
        std::getline(in, p, '.');
    form->Text1.Text = parts[0];
    form->Text2.Text = parts[1];
    form->Text3.Text = parts[2];
    form->Text4.Text = parts[3];
    form->Combo1.setListIndex(prefix - 8);
}

void HeadlessWindow::calculate(const std::string& dotted, int prefix) {
    enter(dotted, prefix);
    form->CMD1_Click();
    clock.runUntilIdle();
}

std::string HeadlessWindow::exportCsv() {
    form->Command3_Click();
    clock.runUntilIdle();
    const auto it = files.files.find("ip-file.csv");
    return it == files.files.end() ? std::string() : it->second;
}

}  // namespace sabrota::headless
