// SPDX-License-Identifier: MIT
// The export belongs to one run, by one rule. Chains of stages can interleave, a stage can stop
// in its box while others tick, Clear and Calculate can come at any moment and the user can edit
// any box between two stages. Instead of following all that, the rule asks one question when a
// tick is over: does the window show what a clean run of the input the stages read shows, and
// did that clean run end well? Then the file, made from the window and that input, is the clean
// run's file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "window/run_watch.h"

namespace sabrota {

class Replay;

class ExportRule final : public RunWatch {
  public:
    explicit ExportRule(Form1& window);
    ~ExportRule() override;
    ExportRule(const ExportRule&) = delete;
    ExportRule& operator=(const ExportRule&) = delete;

    // The rule of a window of the program; none for a window without it.
    static const ExportRule* of(const Form1& window);

    void stageEnded() override;
    void runStarted() override;
    void windowCleared() override;
    std::optional<RunInput> exportInput() const override { return input_; }
    std::optional<int> listAlreadyShown(const ListSource& from) override;
    void listMade(const ListSource& from, int ownIndex) override;

    // The entry the window's list selected when it was last made whole from these values, as
    // long as nothing has changed the list since.
    std::optional<int> listShows(const ListSource& from) const;

  private:
    void drop();
    Replay& reference();

    Form1& window_;
    // What the export writes: a run that ended well, an empty input for a window that holds no
    // results (start-up, Clear), nothing while no whole run is on the window.
    std::optional<RunInput> input_ = RunInput{};
    // The clean run of input_, made when first needed; none while there is no input.
    std::unique_ptr<Replay> reference_;
    struct ListMade {
        ListSource from;
        std::uint64_t revision;  // the list's revision when it was made: unchanged since
        int ownIndex;
    };
    std::optional<ListMade> listMade_;
};

}  // namespace sabrota
