// SPDX-License-Identifier: MIT
// Timings of the model: the network list (the tick of Timer10), the CSV export in memory and to a
// real file, and a whole headless run. Beside each of the first three runs a plain baseline that
// makes the same result with nothing but the standard library and the C library; the
// BM_Plain_ benchmarks are those baselines, and scripts/bench_ratios.py sets each against its
// own from the same run. The export's rule replays every run that ends well on a window of its
// own; BM_WholeRun_ClassA_24 pays for that replay, and BM_Plain_WholeRun_ClassA_24_NoReplay is
// the same run on a window that checks nothing.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "headless/headless.h"
#include "platform/ansi_text_writer.h"
#include "platform/posix/posix_services.h"

namespace {

using sabrota::headless::HeadlessWindow;

// A window with the headless services whose ticks run the stages and nothing else: no replay
// after a run. It times the stages alone.
struct BareWindow {
    sabrota::headless::VirtualClock clock;
    sabrota::headless::ScriptedMessageBox box;
    sabrota::headless::MemoryFileStore files;
    sabrota::headless::RecordingShell shell;
    sabrota::headless::RecordingPrinter printer;
    sabrota::headless::StayingFolder folder;
    sabrota::Form1 form{sabrota::platform::Services{box, clock, files, shell, printer, folder},
                        std::make_unique<sabrota::RunWatch>()};
    BareWindow() {
        clock.attach([this](int n) { form.timerTick(n); });
        form.Form_Load();
    }
    sabrota::Form1* operator->() { return &form; }
    void enter(const std::string& a, const std::string& b, const std::string& c,
               const std::string& d, int prefix) {
        form.Text1.Text = a;
        form.Text2.Text = b;
        form.Text3.Text = c;
        form.Text4.Text = d;
        form.Combo1.setListIndex(prefix - 8);
    }
};

// Types the address, picks the mask and lets the stages run until Timer10 is the next to fire.
void upToTimer10(BareWindow& w, const std::string& address, int prefix) {
    HeadlessWindow typed;  // splits the dotted address as the user's boxes hold it
    typed.enter(address, prefix);
    w.enter(typed->Text1.Text, typed->Text2.Text, typed->Text3.Text, typed->Text4.Text, prefix);
    w->CMD1_Click();
    for (int i = 0; i < 100 && !w.clock.armed(10); ++i)
        w.clock.advance(10);
    if (!w.clock.armed(10) || !w.box.shown.empty())
        throw std::runtime_error("the run did not reach Timer10");
}

void networkList(benchmark::State& state, const std::string& address, int prefix, int entries) {
    BareWindow w;
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

// The same 65,536 texts 10.0.0.0 … 10.255.255.0, each octet written with std::to_chars into one
// buffer allocated beforehand, with the start of every entry kept in a second one.
void BM_Plain_ToChars_List65536(benchmark::State& state) {
    constexpr std::size_t kEntries = 65536;
    std::vector<char> chars(kEntries * 16);
    std::vector<std::uint32_t> starts(kEntries + 1);
    int first = 10;
    benchmark::DoNotOptimize(first);
    char* const begin = chars.data();
    char* const end = begin + chars.size();
    std::size_t n = 0;
    for (auto _ : state) {
        char* p = begin;
        n = 0;
        for (int second = 0; second < 256; ++second) {
            for (int third = 0; third < 256; ++third) {
                starts[n++] = static_cast<std::uint32_t>(p - begin);
                p = std::to_chars(p, end, first).ptr;
                *p++ = '.';
                p = std::to_chars(p, end, second).ptr;
                *p++ = '.';
                p = std::to_chars(p, end, third).ptr;
                *p++ = '.';
                p = std::to_chars(p, end, 0).ptr;
            }
        }
        starts[n] = static_cast<std::uint32_t>(p - begin);
        benchmark::DoNotOptimize(begin);
        benchmark::ClobberMemory();
    }
    const std::string_view last(begin + starts[n - 1], starts[n] - starts[n - 1]);
    if (n != kEntries || last != "10.255.255.0")
        state.SkipWithError("the baseline made the wrong list");
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(kEntries));
}
BENCHMARK(BM_Plain_ToChars_List65536)->Unit(benchmark::kMillisecond);

// Message boxes that only count, so that the export's own work is what is timed.
class CountingBox : public sabrota::platform::MessageBox {
  public:
    void show(std::string_view, sabrota::platform::BoxStyle, std::string_view) override { ++shown; }
    int shown = 0;
};

// Takes the finished file without copying it; it keeps one copy when asked.
class TakingFileStore : public sabrota::platform::FileStore {
  public:
    bool replaceFile(std::string_view, std::string_view bytes) override {
        size = bytes.size();
        if (keep)
            kept.assign(bytes);
        return true;
    }
    std::size_t size = 0;
    bool keep = false;
    std::string kept;
};

// A window with 172.16.5.4 /30 calculated, 16,384 networks listed, whose export goes to Store.
template <typename Store>
struct ExportWindow {
    sabrota::headless::VirtualClock clock;
    CountingBox box;
    Store files;
    sabrota::headless::RecordingShell shell;
    sabrota::headless::RecordingPrinter printer;
    sabrota::headless::StayingFolder folder;
    sabrota::Form1 form{sabrota::platform::Services{box, clock, files, shell, printer, folder}};
    ExportWindow() {
        clock.attach([this](int n) { form.timerTick(n); });
        form.Form_Load();
        form.Text1.Text = "172";
        form.Text2.Text = "16";
        form.Text3.Text = "5";
        form.Text4.Text = "4";
        form.Combo1.setListIndex(30 - 8);
        form.CMD1_Click();
        clock.runUntilIdle();
        box.shown = 0;
    }
    bool listed() const { return form.List1.ListCount() == 16384 && box.shown == 0; }
};

// The file the export writes for 172.16.5.4 /30.
std::string exportedFile() {
    ExportWindow<TakingFileStore> w;
    w.files.keep = true;
    w.form.timerTick(11);
    return w.files.kept;
}

// Lines 1 to 22 of that file, everything before the list.
std::string fileHead(const std::string& file) {
    const std::string heading =
        sabrota::platform::AnsiTextWriter::encode("ネットワークアドレス一覧\r\n");
    const auto at = file.find(heading);
    return at == std::string::npos ? std::string() : file.substr(0, at + heading.size());
}

// The 16,384 networks of 172.16.0.0/16 with /30, as text.
std::vector<std::string> classBNetworks30() {
    std::vector<std::string> out;
    for (int third = 0; third < 256; ++third)
        for (int fourth = 0; fourth < 256; fourth += 4)
            out.push_back("172.16." + std::to_string(third) + "." + std::to_string(fourth));
    return out;
}

// The bytes of the file as a plain loop writes them: the head, then each entry and a comma into
// one string reserved beforehand, CR LF after every tenth.
std::string plainFile(const std::string& head, const std::vector<std::string>& entries,
                      std::size_t size) {
    std::string out;
    out.reserve(size);
    out.append(head);
    int row = 0;
    for (const std::string& e : entries) {
        out.append(e);
        out.push_back(',');
        if (++row == 10) {
            out.append("\r\n");
            row = 0;
        }
    }
    return out;
}

void BM_CsvExport_16384_Memory(benchmark::State& state) {
    ExportWindow<TakingFileStore> w;
    if (!w.listed()) {
        state.SkipWithError("the run did not list 16,384 networks");
        return;
    }
    for (auto _ : state)
        w.form.timerTick(11);  // the export tick: builds the text and hands it over
    if (w.box.shown != static_cast<int>(state.iterations()) || w.files.size != 235471)
        state.SkipWithError("the export went wrong");
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(w.files.size));
    state.counters["file_bytes"] = static_cast<double>(w.files.size);
}
BENCHMARK(BM_CsvExport_16384_Memory)->Unit(benchmark::kMillisecond);

void BM_Plain_Csv16384_Memory(benchmark::State& state) {
    const std::string expected = exportedFile();
    const std::string head = fileHead(expected);
    const auto entries = classBNetworks30();
    for (auto _ : state) {
        std::string out = plainFile(head, entries, expected.size());
        benchmark::DoNotOptimize(out.data());
    }
    if (head.empty() || plainFile(head, entries, expected.size()) != expected)
        state.SkipWithError("the baseline wrote other bytes than the export");
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(expected.size()));
}
BENCHMARK(BM_Plain_Csv16384_Memory)->Unit(benchmark::kMillisecond);

// A scratch folder in /tmp, made the current directory while it lives.
class ScratchFolder {
  public:
    ScratchFolder() : before_(std::filesystem::current_path()) {
        char pattern[] = "/tmp/sabrota-bench.XXXXXX";
        if (const char* dir = ::mkdtemp(pattern)) {
            dir_ = dir;
            std::filesystem::current_path(dir_);
        }
    }
    ~ScratchFolder() {
        std::filesystem::current_path(before_);
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    bool made() const { return !dir_.empty(); }

  private:
    std::filesystem::path before_;
    std::filesystem::path dir_;
};

// The export tick with the file store of the program: the text is built, written to a temporary
// file, synced and renamed over ip-file.csv.
void BM_CsvExport_16384_Disk(benchmark::State& state) {
    ScratchFolder scratch;
    if (!scratch.made()) {
        state.SkipWithError("no scratch folder");
        return;
    }
    ExportWindow<sabrota::platform::PosixFileStore> w;
    if (!w.listed()) {
        state.SkipWithError("the run did not list 16,384 networks");
        return;
    }
    for (auto _ : state)
        w.form.timerTick(11);
    const auto size = std::filesystem::file_size("ip-file.csv");
    if (w.box.shown != static_cast<int>(state.iterations()) || size != 235471)
        state.SkipWithError("the export went wrong");
    state.counters["file_bytes"] = static_cast<double>(size);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(size));
}
BENCHMARK(BM_CsvExport_16384_Disk)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes put in place the plain way: mkstemp, write, fsync, close, rename; with
// syncFolder, then an fsync of the folder, without which the rename itself may be lost in a crash
// (the program's store does that too); with build, the bytes are first made by the plain loop
// each time, as the export makes them on every tick.
enum class Folder { Unsynced, Synced };
enum class Bytes { Ready, Built };

void plainDisk(benchmark::State& state, Folder folder, Bytes made) {
    ScratchFolder scratch;
    if (!scratch.made()) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const std::string expected = exportedFile();
    const std::string head = fileHead(expected);
    const auto entries = classBNetworks30();
    for (auto _ : state) {
        const std::string bytes =
            made == Bytes::Built ? plainFile(head, entries, expected.size()) : expected;
        char name[] = "plain-file.csv.XXXXXX";
        const int fd = ::mkstemp(name);
        bool ok = fd >= 0 &&
                  ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        ok = fd >= 0 && ::fsync(fd) == 0 && ok;
        ok = fd >= 0 && ::close(fd) == 0 && ok;
        ok = ok && ::rename(name, "plain-file.csv") == 0;
        if (ok && folder == Folder::Synced) {
            const int dir = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ok = dir >= 0 && ::fsync(dir) == 0;
            ok = dir >= 0 && ::close(dir) == 0 && ok;
        }
        if (!ok) {
            state.SkipWithError("the plain write failed");
            break;
        }
    }
    if (std::filesystem::file_size("plain-file.csv") != expected.size())
        state.SkipWithError("the plain write left other bytes");
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(expected.size()));
}

void BM_Plain_Csv16384_Disk(benchmark::State& state) {
    plainDisk(state, Folder::Unsynced, Bytes::Ready);
}
BENCHMARK(BM_Plain_Csv16384_Disk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Plain_Csv16384_DiskSyncedFolder(benchmark::State& state) {
    plainDisk(state, Folder::Synced, Bytes::Ready);
}
BENCHMARK(BM_Plain_Csv16384_DiskSyncedFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Plain_Csv16384_BuiltDiskSyncedFolder(benchmark::State& state) {
    plainDisk(state, Folder::Synced, Bytes::Built);
}
BENCHMARK(BM_Plain_Csv16384_BuiltDiskSyncedFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's file store alone, replacing ip-file.csv with bytes already made: what its checks
// (links, stale temporary files, owner and group, the lock) cost beside the plain way.
void BM_FileStore_Replace_16384(benchmark::State& state) {
    ScratchFolder scratch;
    if (!scratch.made()) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const std::string bytes = exportedFile();
    sabrota::platform::PosixFileStore store;
    for (auto _ : state) {
        if (!store.replaceFile("ip-file.csv", bytes)) {
            state.SkipWithError("the store failed");
            break;
        }
    }
    if (std::filesystem::file_size("ip-file.csv") != bytes.size())
        state.SkipWithError("the store left other bytes");
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(bytes.size()));
}
BENCHMARK(BM_FileStore_Replace_16384)->Unit(benchmark::kMillisecond)->UseRealTime();

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

// One whole run of the longest list, with the export's replay of it.
void BM_WholeRun_ClassA_24(benchmark::State& state) {
    HeadlessWindow w;
    for (auto _ : state) {
        w.calculate("10", "1", "2", "3", w->Combo1.items[24 - 8]);
        benchmark::DoNotOptimize(w->List1.ListCount());
    }
    if (w->List1.ListCount() != 65536 || !w->Command3.Enabled)
        state.SkipWithError("the run went wrong");
}
BENCHMARK(BM_WholeRun_ClassA_24)->Unit(benchmark::kMillisecond);

void BM_Plain_WholeRun_ClassA_24_NoReplay(benchmark::State& state) {
    BareWindow w;
    w.enter("10", "1", "2", "3", 24);
    for (auto _ : state) {
        w->CMD1_Click();
        w.clock.runUntilIdle();
        benchmark::DoNotOptimize(w->List1.ListCount());
    }
    if (w->List1.ListCount() != 65536)
        state.SkipWithError("the run went wrong");
}
BENCHMARK(BM_Plain_WholeRun_ClassA_24_NoReplay)->Unit(benchmark::kMillisecond);

}  // namespace
