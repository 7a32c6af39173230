// SPDX-License-Identifier: MIT
// How the Qt window copes with the longest network list, and how long the program takes from
// process start to its first painted window.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "platform/posix/posix_services.h"

extern char** environ;

namespace {

using sabrota::qt::MainWindow;

std::vector<std::string> networks(int count) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        out.push_back("10." + std::to_string(i / 256) + "." + std::to_string(i % 256) + ".0");
    return out;
}

// 65,536 entries in the model, then until the list's viewport has been painted with them.
void BM_List65536ToPaint(benchmark::State& state) {
    sabrota::platform::PosixFileStore files;
    sabrota::platform::ExecutableFolder folder;
    MainWindow window(sabrota::qt::WindowOptions{files, folder});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    const auto entries = networks(65536);
    for (auto _ : state) {
        state.PauseTiming();
        window.form().List1.Clear();
        window.sync();
        for (const auto& e : entries)
            window.form().List1.AddItem(e);
        window.form().List1.ListIndex = 258;
        state.ResumeTiming();
        window.sync();
        benchmark::DoNotOptimize(window.listView()->viewport()->grab());
    }
}
BENCHMARK(BM_List65536ToPaint)->Unit(benchmark::kMillisecond);

// Scrolling to the far end of the full list and painting it there.
void BM_List65536ScrollToEnd(benchmark::State& state) {
    sabrota::platform::PosixFileStore files;
    sabrota::platform::ExecutableFolder folder;
    MainWindow window(sabrota::qt::WindowOptions{files, folder});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    for (const auto& e : networks(65536))
        window.form().List1.AddItem(e);
    window.sync();
    QListView* view = window.listView();
    const QModelIndex first = view->model()->index(0, 0);
    const QModelIndex last = view->model()->index(65535, 0);
    bool end = false;
    for (auto _ : state) {
        view->scrollTo(end ? first : last);
        end = !end;
        benchmark::DoNotOptimize(view->viewport()->grab());
    }
}
BENCHMARK(BM_List65536ScrollToEnd)->Unit(benchmark::kMillisecond);

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// A whole run as the user makes it: the click on 計算, the eleven stages on their timers, and
// the list painted. The time is the process's CPU time from the click to the painted list; the
// waits between the stages cost none. 10.1.2.3 /24 makes 65,536 entries, 192.168.1.130 /26
// four: the difference of the two is what the long list adds to a run.
void clickToPaintedList(benchmark::State& state, const char* const (&octets)[4], int prefix) {
    sabrota::platform::PosixFileStore files;
    sabrota::platform::ExecutableFolder folder;
    MainWindow window(sabrota::qt::WindowOptions{files, folder});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    const sabrota::ControlId ids[] = {sabrota::ControlId::Text1, sabrota::ControlId::Text2,
                                      sabrota::ControlId::Text3, sabrota::ControlId::Text4};
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(window.widgetFor(ids[i]), QString::fromLatin1(octets[i]));
    auto* combo = static_cast<QComboBox*>(window.widgetFor(sabrota::ControlId::Combo1));
    while (combo->currentIndex() < prefix - 8)
        QTest::keyClick(combo, Qt::Key_Down);
    const auto idle = [&] {
        for (const sabrota::Timer& t : window.form().timers)
            if (t.armed())
                return false;
        return true;
    };
    QWidget* calculate = window.widgetFor(sabrota::ControlId::CMD1);
    for (auto _ : state) {
        const double start = processCpuSeconds();
        QTest::mouseClick(calculate, Qt::LeftButton);
        if (!QTest::qWaitFor(idle, 20000)) {
            state.SkipWithError("the run did not end");
            return;
        }
        window.listView()->viewport()->repaint();
        state.SetIterationTime(processCpuSeconds() - start);
    }
    state.counters["entries"] = window.listModel()->rowCount();
}

void BM_ClickToPaintedList65536(benchmark::State& state) {
    static const char* const octets[4] = {"10", "1", "2", "3"};
    clickToPaintedList(state, octets, 24);
}
BENCHMARK(BM_ClickToPaintedList65536)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

void BM_ClickToPaintedList4(benchmark::State& state) {
    static const char* const octets[4] = {"192", "168", "1", "130"};
    clickToPaintedList(state, octets, 26);
}
BENCHMARK(BM_ClickToPaintedList4)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// Starts a start-up probe, which leaves right after its first paint. The time is the whole
// process's: its wall-clock time, or with cpu its user and system time.
void startUp(benchmark::State& state, std::string exe, const char* platform, bool cpu = false) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.push_back(std::string("QT_QPA_PLATFORM=") + platform);
    std::vector<char*> envp;
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    char* argv[] = {exe.data(), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
            state.SkipWithError("cannot start the program");
            return;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not end cleanly");
            return;
        }
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        if (cpu)
            state.SetIterationTime(seconds(usage.ru_utime) + seconds(usage.ru_stime));
    }
}

void BM_StartUpToFirstPaintOffscreen(benchmark::State& state) {
    startUp(state, SABROTA_PROBE, "offscreen");
}
BENCHMARK(BM_StartUpToFirstPaintOffscreen)->Unit(benchmark::kMillisecond)->UseRealTime();

// Needs an X server (bench/qt/startup_xvfb.sh provides one).
void BM_StartUpToFirstPaintX11(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no DISPLAY");
        return;
    }
    startUp(state, SABROTA_PROBE, "xcb");
}
BENCHMARK(BM_StartUpToFirstPaintX11)->Unit(benchmark::kMillisecond)->UseRealTime();

// The CPU time of the program's start-up on X11, and of a bare Qt program with the same
// widgets: the ratio of the two is what the program's own set-up costs. The CPU time, unlike
// the wall-clock time, hardly depends on what else the machine is doing.
void BM_StartUpCpuX11(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no DISPLAY");
        return;
    }
    startUp(state, SABROTA_PROBE, "xcb", true);
}
BENCHMARK(BM_StartUpCpuX11)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_BareStartUpCpuX11(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no DISPLAY");
        return;
    }
    startUp(state, SABROTA_BARE_PROBE, "xcb", true);
}
BENCHMARK(BM_BareStartUpCpuX11)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
