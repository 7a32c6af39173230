// SPDX-License-Identifier: MIT
#include "stages/export_rule.h"

#include "stages/replay.h"
#include "window/form1.h"

namespace sabrota {

std::unique_ptr<RunWatch> exportRuleFor(Form1& window) {
    return std::make_unique<ExportRule>(window);
}

ExportRule::ExportRule(Form1& window) : window_(window) {}

ExportRule::~ExportRule() = default;

const ExportRule* ExportRule::of(const Form1& window) {
    return dynamic_cast<const ExportRule*>(&window.runWatch());
}

void ExportRule::stageEnded() {
    // Timer9 has turned the button on and the list is still to come: no whole run yet.
    if (window_.Timer10.armed()) {
        drop();
        return;
    }
    if (window_.Command3.Enabled) {
        input_ = window_.runInput;
        reference_ = std::make_unique<Replay>(*input_, this);
        // The button is on, but what the stages read can come from two chains: a stage that
        // stopped in its box while the window was cleared and another run read some of the
        // boxes turns the button on at its end. A clean run of such an input stops at a box
        // and shows an empty window, which a cleared window also shows; only a clean run that
        // ends well stands for a file.
        if (!reference_->endedWell()) {
            drop();
            window_.Command3.Enabled = false;
            return;
        }
    }
    if (input_ && !reference().shownBy(window_)) {
        drop();
        window_.Command3.Enabled = false;
    }
}

void ExportRule::runStarted() {
    drop();
}

void ExportRule::windowCleared() {
    input_ = RunInput{};
    reference_.reset();
}

void ExportRule::drop() {
    input_.reset();
    reference_.reset();
}

Replay& ExportRule::reference() {
    if (!reference_)
        reference_ = std::make_unique<Replay>(input_.value(), this);
    return *reference_;
}

// The window makes its own list always; it only remembers what it made it from.
std::optional<int> ExportRule::listAlreadyShown(const ListSource&) {
    listMade_.reset();
    return std::nullopt;
}

void ExportRule::listMade(const ListSource& from, int ownIndex) {
    listMade_ = ListMade{from, window_.List1.revision(), ownIndex};
}

std::optional<int> ExportRule::listShows(const ListSource& from) const {
    if (listMade_ && listMade_->from == from && listMade_->revision == window_.List1.revision())
        return listMade_->ownIndex;
    return std::nullopt;
}

}  // namespace sabrota
