// How the Qt window copes with the longest network list, and how long the program takes from
// process start to its first painted window.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QListView>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gui/main_window.h"

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
    MainWindow window;
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
    MainWindow window;
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

// Starts the program's start-up probe, which leaves right after its first paint; the whole
// process time.
void startUp(benchmark::State& state, const char* platform) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.push_back(std::string("QT_QPA_PLATFORM=") + platform);
    std::vector<char*> envp;
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string exe = SABROTA_PROBE;
    char* argv[] = {exe.data(), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
            state.SkipWithError("cannot start the program");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not end cleanly");
            return;
        }
    }
}

void BM_StartUpToFirstPaintOffscreen(benchmark::State& state) {
    startUp(state, "offscreen");
}
BENCHMARK(BM_StartUpToFirstPaintOffscreen)->Unit(benchmark::kMillisecond)->UseRealTime();

// Needs an X server (bench/qt/startup_xvfb.sh provides one).
void BM_StartUpToFirstPaintX11(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no DISPLAY");
        return;
    }
    startUp(state, "xcb");
}
BENCHMARK(BM_StartUpToFirstPaintX11)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
