// SPDX-License-Identifier: MIT
// The model of the one window: its controls under their own names, the form-level fields and
// every handler. Handlers are defined in the file of their concern (the stages, the analysis, ...).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"
#include "window/controls.h"
#include "window/design.h"
#include "window/run_watch.h"

namespace sabrota {

using CaptionControl = Control;
using ValueControl = Control;
using TextBoxControl = Control;
using ButtonControl = Control;
using ComboBoxControl = ComboBox;
using ListBoxControl = ListBox;

// A conversion or arithmetic fault inside a stage. The stage that meets one ends the run
// quietly instead of taking the program down.
struct RunTimeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr int kTimerCount = 11;

class Form1 {
  public:
    // A window of the program: the export's rule watches its stages.
    explicit Form1(platform::Services services);
    // A window with a watch of its own; a plain RunWatch checks nothing and exports nothing.
    Form1(platform::Services services, std::unique_ptr<RunWatch> watch);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Controls, by the names of the design table.
#define SABROTA_CONTROL(name, kind, ...) kind##Control name;
#define SABROTA_CELLS(name, ...) CellArray name;
#include "window/design_table.inc"
#undef SABROTA_CONTROL
#undef SABROTA_CELLS

    std::array<Timer, kTimerCount> timers;
    Timer& Timer1 = timers[0];
    Timer& Timer2 = timers[1];
    Timer& Timer3 = timers[2];
    Timer& Timer4 = timers[3];
    Timer& Timer5 = timers[4];
    Timer& Timer6 = timers[5];
    Timer& Timer7 = timers[6];
    Timer& Timer8 = timers[7];
    Timer& Timer9 = timers[8];
    Timer& Timer10 = timers[9];
    Timer& Timer11 = timers[10];

    // The control of a design-table row.
    Control& control(ControlId id, int index = 0);
    const Control& control(ControlId id, int index = 0) const;

    // Events.
    void Form_Load();
    void CMD1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdPrint_Click();
    void Label70_Click();
    // Text pasted into an octet box. A whole dotted address, perhaps with "/n" or a dotted mask
    // after it, fills Text1 … Text4 and selects the matching Combo1 item; true when it did.
    // Anything else is left to the box, which pastes it as typing.
    bool pasteAddress(std::string_view text);
    // The click handler that a control's design row names; Click::None does nothing.
    void click(Click handler);
    // A tick of Timer1 … Timer11. A tick that comes while the same stage is still running
    // (its message box open) is let go: a stage never runs inside itself.
    void timerTick(int number);
    bool stageRunning(int number) const {
        return running_[number - 1];
    }

    // Window fields: working values of the handlers, named as the program has them.
    std::int16_t cellIndex = 0;
    std::int16_t bitIndex = 0;
    std::int16_t addrOctet1 = 0, addrOctet2 = 0, addrOctet3 = 0, addrOctet4 = 0;
    std::int16_t addrBit1 = 0, addrBit2 = 0, addrBit3 = 0, addrBit4 = 0;
    std::string maskText;
    std::int16_t maskOctet1 = 0, maskOctet2 = 0, maskOctet3 = 0, maskOctet4 = 0;
    std::int16_t maskBit1 = 0, maskBit2 = 0, maskBit3 = 0, maskBit4 = 0;
    std::int32_t blockSize1 = 0, blockSize2 = 0, blockSize3 = 0, blockSize4 = 0;
    std::int32_t addrCountA = 0, addrCountB = 0, addrCountC = 0;
    std::int32_t hostCount = 0, halvingWork = 0, hostBits = 0;
    std::int32_t inOctet1 = 0, inOctet2 = 0, inOctet3 = 0, inOctet4 = 0;
    std::int32_t octetStep = 0;
    std::int32_t netOctet2 = 0, netOctet3 = 0, netOctet4 = 0;
    std::int32_t bcastOctet2 = 0, bcastOctet3 = 0, bcastOctet4 = 0;
    std::int16_t passIndex = 0;
    std::int32_t subnetCountA = 0, subnetCountB = 0, subnetCountC = 0;
    std::int32_t subnetCount = 0, subnetHalving = 0, subnetBits = 0;
    std::int32_t listNetCount = 0, listMask2 = 0, listMask3 = 0, listMask4 = 0;
    std::int32_t listStep2 = 0, listStep3 = 0, listStep4 = 0;
    std::int32_t listOctet2 = 0, listOctet3 = 0, listOctet4 = 0;
    std::int32_t listSteps2 = 0, listSteps3 = 0, listSteps4 = 0;
    std::int32_t listCounter = 0;
    std::int16_t listInner = 0, listOuter = 0;
    std::string addrBits1, addrBits2, addrBits3, addrBits4;
    std::string maskBits1, maskBits2, maskBits3, maskBits4;

    // The octet texts and the mask text as the stages last read them.
    using RunInput = sabrota::RunInput;
    RunInput runInput;
    // What watches the stages for the export.
    RunWatch& runWatch() {
        return *watch_;
    }
    const RunWatch& runWatch() const {
        return *watch_;
    }

    // The tail of Timer10: every network of the chosen size inside the class network.
    void BuildNetworkList();

    // The three procedures shared by the classification and the subnet arithmetic.
    void ShowHostCount();
    void ComputeNetworkRange();
    void CheckCoincidence();

  private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void Timer6_Timer();
    void Timer7_Timer();
    void Timer8_Timer();
    void Timer9_Timer();
    void Timer10_Timer();
    void Timer11_Timer();

    struct AddressStage;
    struct MaskStage;
    void runAddressStage(const AddressStage& s);
    void runMaskStage(const MaskStage& s);
    bool addressStillValid();
    bool maskStillSelectable();
    void resetResultFields();

    bool maskTextAcceptable(std::string_view text) const;

    // A modal box; an empty title shows the program's name.
    void msgBox(std::string_view prompt, platform::BoxStyle style, std::string_view title = {});

    platform::Services services_;
    std::unique_ptr<RunWatch> watch_;
    std::array<bool, kTimerCount> running_{};
};

// Conversions as the stages make them: a fault is a RunTimeError.
std::int16_t toInt16(std::string_view text);
std::int32_t toInt32(std::string_view text);
// "0" … "255" and any other whole number: plain decimal digits.
std::string decimal(long long v);

}  // namespace sabrota
