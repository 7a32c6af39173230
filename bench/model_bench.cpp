// Timings of the model: the network list (the tick of Timer10), the CSV export to a real file,
// and a whole headless run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "headless/headless.h"
#include "platform/posix/posix_services.h"

namespace {

using sabrota::headless::HeadlessWindow;

// Types the address, picks the mask and lets the stages run until Timer10 is the next to fire.
void upToTimer10(HeadlessWindow& w, const std::string& address, int prefix) {
    w.enter(address, prefix);
    w->CMD1_Click();
    for (int i = 0; i < 100 && !w.clock.armed(10); ++i)
        w.clock.advance(10);
    if (!w.clock.armed(10) || !w.box.shown.empty())
        throw std::runtime_error("the run did not reach Timer10");
}

void networkList(benchmark::State& state, const std::string& address, int prefix, int entries) {
    HeadlessWindow w;
    upToTimer10(w, address, prefix);
    for (auto _ : state) {
        state.PauseTiming();
        w->List1.Clear();  // Calculate has emptied it before Timer10 comes
        state.ResumeTiming();
        w->timerTick(10);
        benchmark::DoNotOptimize(w->List1.ListCount());
    }
    if (w->List1.ListCount() != entries)
        state.SkipWithError("wrong number of entries");
    state.SetItemsProcessed(state.iterations() * entries);
    state.counters["entries"] = entries;
}

void BM_Timer10_ClassC_31(benchmark::State& state) {
    networkList(state, "192.168.1.10", 31, 128);
}
void BM_Timer10_ClassB_31(benchmark::State& state) {
    networkList(state, "172.16.5.4", 31, 32768);
}
void BM_Timer10_ClassA_24(benchmark::State& state) {
    networkList(state, "10.1.2.3", 24, 65536);
}
BENCHMARK(BM_Timer10_ClassC_31)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Timer10_ClassB_31)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Timer10_ClassA_24)->Unit(benchmark::kMillisecond);

// A window whose export goes to a real file in a scratch folder.
struct DiskWindow {
    sabrota::headless::VirtualClock clock;
    sabrota::headless::ScriptedMessageBox box;
    sabrota::platform::PosixFileStore files;
    sabrota::headless::RecordingShell shell;
    sabrota::headless::RecordingPrinter printer;
    sabrota::headless::StayingFolder folder;
    sabrota::Form1 form{sabrota::platform::Services{box, clock, files, shell, printer, folder}};
    DiskWindow() {
        clock.attach([this](int n) { form.timerTick(n); });
        form.Form_Load();
    }
};

void BM_CsvExport_16384(benchmark::State& state) {
    char pattern[] = "/tmp/sabrota-bench.XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    if (!dir) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    {
        DiskWindow w;
        w.form.Text1.Text = "172";
        w.form.Text2.Text = "16";
        w.form.Text3.Text = "5";
        w.form.Text4.Text = "4";
        w.form.Combo1.setListIndex(30 - 8);
        w.form.CMD1_Click();
        w.clock.runUntilIdle();
        if (w.form.List1.ListCount() != 16384)
            state.SkipWithError("the run did not list 16,384 networks");
        for (auto _ : state) {
            w.form.timerTick(11);  // the export tick: builds the text and writes the file
            state.PauseTiming();
            w.box.shown.clear();
            state.ResumeTiming();
        }
        const auto size = std::filesystem::file_size("ip-file.csv");
        state.counters["file_bytes"] = static_cast<double>(size);
        state.SetBytesProcessed(state.iterations() * static_cast<long long>(size));
    }
    std::filesystem::current_path(before);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CsvExport_16384)->Unit(benchmark::kMillisecond);

void BM_WholeRun_Overview(benchmark::State& state) {
    HeadlessWindow w;
    for (auto _ : state) {
        w.calculate("192.168.1.130", 26);
        benchmark::DoNotOptimize(w->List1.ListCount());
    }
    if (w->List1.ListCount() != 4 || !w.box.shown.empty())
        state.SkipWithError("the run went wrong");
}
BENCHMARK(BM_WholeRun_Overview)->Unit(benchmark::kMicrosecond);

}  // namespace
