#include "window/form1.h"

namespace sabrota {

// Steps 1 to 4 of Calculate; Clear does the same.
void Form1::resetResultFields() {
    for (Control* c :
         {&Label9, &Label10, &Label11, &Label12, &Label14, &Label46, &Label20, &Label24, &Label27,
          &Label29, &Label31, &Label33, &Label35, &Label37, &Label39})
        c->Caption.clear();
    for (Control* c : {&Label33, &Label35, &Label37, &Label39})
        c->BackColor = colors::kButtonFace;
    for (Control* c : {&Label41, &Label43, &Label45, &Label47})
        c->Caption.clear();
    for (Control* c : {&Label41, &Label43, &Label45, &Label47})
        c->BackColor = colors::kButtonFace;
    for (Control* c :
         {&Label21, &Label15, &Label16, &Label17, &Label18, &Label53, &Label58, &Label59, &Label60,
          &Label61, &Label62, &Label63, &Label64, &Label65, &Label66, &Label67, &Label68, &Label69})
        c->Caption.clear();
}

// Nothing records whether a run is on its way: a second Calculate starts a chain beside it.
// The results of the previous run go at once, and the export with them: it comes back when
// this run has ended well.
void Form1::CMD1_Click() {
    ++runSerial_;
    runNext_ = 1;
    runSound_ = true;
    runRead_ = {};
    olderChainReads_.clear();
    exportInput_.reset();
    Command3.Enabled = false;
    resetResultFields();
    List1.Clear();
    Text4.BackColor = colors::kWindowBackground;
    Timer1.arm();
}

Form1::RunInput Form1::inputBoxes() const {
    return {Text1.Text, Text2.Text, Text3.Text, Text4.Text, Combo1.Text};
}

std::string Form1::captions() const {
    std::string all;
    for (const auto& d : designTable()) {
        all += control(d.id, d.index).Caption;
        all += '\x1f';
    }
    return all;
}

void Form1::stageAdvanced(const Timer& self) {
    advanced_[static_cast<std::size_t>(self.number_ - 1)] = true;
}

void Form1::runSpoiled() {
    runSound_ = false;
    exportInput_.reset();
    Command3.Enabled = false;
}

namespace {
bool sameAddress(const Form1::RunInput& a, const Form1::RunInput& b) {
    return a.text1 == b.text1 && a.text2 == b.text2 && a.text3 == b.text3 && a.text4 == b.text4;
}
}  // namespace

// Stages 1 to 4 read their own text box, 5 to 8 Combo1, the analysis stages the whole address.
// The run keeps what its first reads found; a later read that finds something else means the
// results on the window mix two inputs, and the run can show them but not export them.
Form1::StageWatch Form1::stageStarting(int number) {
    StageWatch w;
    if (number > 10)
        return w;
    w.run = runSerial_;
    w.ticks = ++tickCount_;
    advanced_[static_cast<std::size_t>(number - 1)] = false;
    w.exportWas = Command3.Enabled;
    w.inTurn = number == runNext_;
    if (w.inTurn) {
        const RunInput now = inputBoxes();
        std::string* address[4] = {&runRead_.text1, &runRead_.text2, &runRead_.text3,
                                   &runRead_.text4};
        const std::string* typed[4] = {&now.text1, &now.text2, &now.text3, &now.text4};
        if (number <= 4)
            *address[number - 1] = *typed[number - 1];
        else if (number == 5)
            runRead_.mask = now.mask;
        else if (number <= 8)
            runSound_ = runSound_ && now.mask == runRead_.mask;
        else
            runSound_ = runSound_ && sameAddress(now, runRead_);
        // Only a whole run turns the button on; the stage's own end shows whether it got there.
        if (number >= 9)
            Command3.Enabled = false;
    } else {
        w.guarded = exportInput_.has_value() || (runSound_ && runNext_ > 0);
        if (w.guarded) {
            w.input = inputBoxes();
            w.captions = captions();
            w.listRevision = List1.revision();
        }
    }
    return w;
}

void Form1::stageFinished(int number, const StageWatch& w) {
    if (number > 10)
        return;
    if (w.run != runSerial_) {
        // Calculate or Clear came while this stage's box was open; what the stage wrote after
        // it belongs to no run.
        runSpoiled();
        return;
    }
    if (w.inTurn) {
        const bool succeeded =
            number <= 8 ? advanced_[static_cast<std::size_t>(number - 1)] : Command3.Enabled;
        if (number >= 9)
            runSound_ = runSound_ && sameAddress(inputBoxes(), runRead_);
        if (!succeeded) {
            runNext_ = 0;
            exportInput_.reset();
            Command3.Enabled = false;
            return;
        }
        if (number <= 8) {
            runNext_ = number + 1;
            return;
        }
        runNext_ = number == 9 && Timer10.armed() ? 10 : 0;
        for (const RunInput& older : olderChainReads_)
            runSound_ = runSound_ && older == runRead_;
        if (runSound_)
            exportInput_ = runRead_;
        else
            runSpoiled();
        return;
    }
    // A stage of an older chain: its end is not this run's end.
    if (number >= 9)
        Command3.Enabled = w.exportWas;
    if (!w.guarded)
        return;
    // Ticks inside its box make its own writes impossible to tell apart.
    const bool nested = tickCount_ != w.ticks;
    if (nested) {
        runSpoiled();
        return;
    }
    if (captions() == w.captions && List1.revision() == w.listRevision)
        return;
    const bool runGoesOn = runSound_ && runNext_ > 0;
    // An input stage ahead of the run writes only what the run's own stage writes again later.
    if (runGoesOn && number <= 8 && number > runNext_)
        return;
    // What a stage writes follows from the input it reads (the captions it reads back come
    // from stages with that input too): with the run's own input it wrote the run's results.
    if (!(inputBoxes() == w.input) || (exportInput_ && !(w.input == *exportInput_))) {
        runSpoiled();
        return;
    }
    if (runGoesOn)
        olderChainReads_.push_back(w.input);
}

}  // namespace sabrota
