// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include <cmath>

#include "platform/number_parse.h"

namespace sabrota {

Form1::Form1(platform::Services services) : Form1(services, nullptr) {
    watch_ = exportRuleFor(*this);
}

Form1::Form1(platform::Services services, std::unique_ptr<RunWatch> watch)
    : services_(services), watch_(watch ? std::move(watch) : std::make_unique<RunWatch>()) {
    for (const auto& d : designTable()) {
        Control& c = control(d.id, d.index);
        if (d.kind == Kind::TextBox || d.kind == Kind::ComboBox)
            c.Text = std::string(d.text);
        else
            c.Caption = std::string(d.text);
        c.BackColor = designBack(d);
        c.ForeColor = designFore(d);
    }
    for (auto item : maskItems())
        Combo1.items.emplace_back(item);
    for (int i = 0; i < kTimerCount; ++i) {
        timers[static_cast<std::size_t>(i)].number_ = i + 1;
        timers[static_cast<std::size_t>(i)].driver_ = &services_.timers;
    }
}

Control& Form1::control(ControlId id, int index) {
    switch (id) {
#define SABROTA_CONTROL(name, ...) \
    case ControlId::name:          \
        return name;
#define SABROTA_CELLS(name, ...) \
    case ControlId::name:        \
        return name(index < 1 || index > 8 ? 1 : index);
#include "window/design_table.inc"
#undef SABROTA_CONTROL
#undef SABROTA_CELLS
    }
    throw std::out_of_range("no such control");
}

const Control& Form1::control(ControlId id, int index) const {
    return const_cast<Form1*>(this)->control(id, index);
}

void Form1::click(Click handler) {
    switch (handler) {
        case Click::None:
            return;
        case Click::CMD1_Click:
            return CMD1_Click();
        case Click::Command1_Click:
            return Command1_Click();
        case Click::Command2_Click:
            return Command2_Click();
        case Click::Command3_Click:
            return Command3_Click();
        case Click::cmdPrint_Click:
            return cmdPrint_Click();
        case Click::Label70_Click:
            return Label70_Click();
    }
}

void Form1::timerTick(int number) {
    if (number < 1 || number > kTimerCount)
        return;
    bool& running = running_[static_cast<std::size_t>(number - 1)];
    if (running)
        return;
    // The export waits while a stage is open in its box: what the window shows then is half a
    // stage. The timer stays armed and ticks again.
    if (number == 11)
        for (int n = 1; n <= 10; ++n)
            if (running_[static_cast<std::size_t>(n - 1)])
                return;
    running = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running};
    switch (number) {
        case 1:
            Timer1_Timer();
            break;
        case 2:
            Timer2_Timer();
            break;
        case 3:
            Timer3_Timer();
            break;
        case 4:
            Timer4_Timer();
            break;
        case 5:
            Timer5_Timer();
            break;
        case 6:
            Timer6_Timer();
            break;
        case 7:
            Timer7_Timer();
            break;
        case 8:
            Timer8_Timer();
            break;
        case 9:
            Timer9_Timer();
            break;
        case 10:
            Timer10_Timer();
            break;
        case 11:
            Timer11_Timer();
            break;
    }
    // The export's own tick writes only a file; what it leaves in the window is for the next
    // stage to judge.
    if (number <= 10)
        watch_->stageEnded();
}

void Form1::msgBox(std::string_view prompt, platform::BoxStyle style, std::string_view title) {
    services_.box.show(prompt, style, title.empty() ? kWindowTitle : title);
}

Form1::~Form1() = default;

std::int16_t toInt16(std::string_view text) {
    const auto c = numeric::toInteger16(text);
    if (c.status == numeric::Conversion::NotNumeric)
        throw RunTimeError("type mismatch");
    if (c.status == numeric::Conversion::Overflow)
        throw RunTimeError("overflow");
    return c.value;
}

std::int32_t toInt32(std::string_view text) {
    const auto c = numeric::toInteger32(text);
    if (c.status == numeric::Conversion::NotNumeric)
        throw RunTimeError("type mismatch");
    if (c.status == numeric::Conversion::Overflow)
        throw RunTimeError("overflow");
    return c.value;
}

std::string decimal(long long v) {
    return std::to_string(v);
}

}  // namespace sabrota
