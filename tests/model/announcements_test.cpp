// SPDX-License-Identifier: MIT
// When a front end tells a screen reader how a command ended, and with which sentence: the
// binder drives the model as a window does, its view hands each event to the announcements,
// and every click reaches them once the binder has handled it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frontend/announcements.h"
#include "frontend/binder.h"
#include "headless/headless.h"
#include "support/texts.h"

namespace sabrota {
namespace {

struct Said : frontend::Speaker {
    void say(const std::string& sentence) override { sentences.push_back(sentence); }
    std::vector<std::string> sentences;
};

struct AnnouncingView : frontend::View {
    explicit AnnouncingView(frontend::Announcements& a) : announcements(a) {}
    void showControl(const ControlDesign&, const Control&, unsigned) override {}
    void showMaskIndex(int) override {}
    void showListIndex(int) override {}
    void eventDone() override { announcements.eventDone(*form); }
    void boxClosed(std::string_view prompt) override { announcements.boxClosed(prompt); }
    frontend::Announcements& announcements;
    const Form1* form = nullptr;
};

class Session {
  public:
    Session() : announcements(said), view(announcements), binder(view, services()) {
        view.form = &binder.form();
        clock.attach([this](int n) { binder.ticked(n); });
        binder.start();
    }
    void enter(const std::string& a, const std::string& b, const std::string& c,
               const std::string& d, int prefix) {
        binder.typed(ControlId::Text1, a);
        binder.typed(ControlId::Text2, b);
        binder.typed(ControlId::Text3, c);
        binder.typed(ControlId::Text4, d);
        binder.maskChosen(prefix - 8);
    }
    void click(Click handler) {
        binder.clicked(handler);
        announcements.clicked(handler, binder.form());
    }
    void run() { clock.runUntilIdle(); }

    Said said;
    frontend::Announcements announcements;
    AnnouncingView view;
    headless::VirtualClock clock;
    headless::ScriptedMessageBox box;
    headless::MemoryFileStore files;
    headless::RecordingShell shell;
    headless::RecordingPrinter printer;
    headless::StayingFolder folder;
    frontend::Binder binder;

  private:
    platform::Services services() { return {box, clock, files, shell, printer, folder}; }
};

const std::string kRun192 =
    "アドレスクラス C、アドレスの種類 プライベート、使用可能なホスト数 62 "
    "台、ネットワークアドレス 192.168.1.128 ～ ブロードキャストアドレス "
    "192.168.1.191、サブネットの本数 4 本";
const std::string kClear = "クリア、サブネットマスク 255.255.255.000 /24";

struct Step {
    const char* name;
    std::function<void(Session&)> act;
    std::vector<std::string> said;  // what the step made the reader say, in order
    bool busy = false;              // a run or the export still on its way after the step
};

// One session, step by step: each command is said once, when it has ended, and never while
// a run or the export is on its way.
TEST(Announcements, EachCommandIsSaidOnceWhenItHasEnded) {
    // clang-format off
    const Step steps[] = {
        {"typing says nothing",         [](Session& s) { s.enter("192", "168", "1", "130", 26); }, {}},
        {"計算 says nothing yet",       [](Session& s) { s.click(Click::CMD1_Click); },           {}, true},
        {"the run's end is said",       [](Session& s) { s.run(); },                              {kRun192}},
        {"CSV出力 waits for its box",   [](Session& s) { s.click(Click::Command3_Click); },       {}, true},
        {"the export's box is said",    [](Session& s) { s.run(); },                              {"CSV出力、" + test::kExportSuccess}},
        {"Clear is said at once",       [](Session& s) { s.click(Click::Command2_Click); },       {kClear}},
        {"a clear window's Clear too",  [](Session& s) { s.click(Click::Command2_Click); },       {kClear}},
        {"a run ended by a box",        [](Session& s) { s.enter("300", "1", "1", "1", 24); s.click(Click::CMD1_Click); s.run(); }, {std::string(kNoResults)}},
        {"Clear during a run",          [](Session& s) { s.enter("192", "168", "1", "130", 26); s.click(Click::CMD1_Click); s.click(Click::Command2_Click); }, {kClear}, true},
        // Clear emptied the boxes the run goes on to read: it ends at the first octet's box.
        {"the run goes on to its end",  [](Session& s) { s.run(); },                              {std::string(kNoResults)}},
        {"other clicks say nothing",    [](Session& s) { s.click(Click::Command1_Click); s.click(Click::Label70_Click); }, {}},
    };
    // clang-format on
    Session s;
    for (const Step& step : steps) {
        s.said.sentences.clear();
        step.act(s);
        EXPECT_EQ(s.said.sentences, step.said) << step.name;
        EXPECT_EQ(s.announcements.busy(), step.busy) << step.name;
    }
}

}  // namespace
}  // namespace sabrota
