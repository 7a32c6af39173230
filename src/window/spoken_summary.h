// SPDX-License-Identifier: MIT
// What a screen reader says when a run, Clear or the export has ended: one short sentence of
// what the window now shows, each field called by its meaning in the design table. The front
// end decides how the sentence reaches the reader; the words are decided here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "window/design.h"

namespace sabrota {

class Form1;

// Said for a run that left no result on the window (it stopped at a message box).
inline constexpr std::string_view kNoResults = "結果なし";

// The results of a run: class, kind, usable hosts, network and broadcast address, the count of
// subnets, the warning when it shows, and the list's one entry when it is no network (the
// refusal). "アドレスクラス C、アドレスの種類 プライベート、使用可能なホスト数 62 台、…".
std::string runSummary(const Form1& form);
// The value fields a run's summary reads, in the order it reads them.
inline constexpr std::array<ControlId, 13> kSummaryFields = {
    ControlId::Label14, ControlId::Label46, ControlId::Label24, ControlId::Label33,
    ControlId::Label35, ControlId::Label37, ControlId::Label39, ControlId::Label41,
    ControlId::Label43, ControlId::Label45, ControlId::Label47, ControlId::Label31,
    ControlId::Label18};

// After Clear: the mask the box went back to.
std::string clearSummary(const Form1& form);
// After the export's box has closed: the button's caption and what the box said.
std::string exportSummary(const Form1& form, std::string_view prompt);

// Tells when a summary is due. The front end reports every event (click, tick, typing) once
// it has been handled, and every message box once it has closed; afterEvent answers with the
// sentence to say, or nothing. A run is on while a stage timer is armed, the export while its
// timer is.
class SummaryWatch {
  public:
    std::optional<std::string> afterEvent(const Form1& form);
    void boxClosed(std::string_view prompt) { prompt_ = prompt; }
    // Whether a run or the export is still on its way, as of the last event.
    bool busy() const { return runOn_ || exportOn_; }

  private:
    bool runOn_ = false;
    bool exportOn_ = false;
    std::string prompt_;
};

}  // namespace sabrota
