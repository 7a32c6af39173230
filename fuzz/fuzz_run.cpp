// SPDX-License-Identifier: MIT
// Whole runs on the window model driven by arbitrary bytes: typed octets and mask texts,
// presses of every button, time passing between stages and while a message box is open. The
// program must never crash or hang, must only ever show its own messages, and must keep the
// stage timers and the CSV button in step with the chain of stages. Every file it writes is the
// clean export of the input the file names: the address of its lines 2 and 3 and the mask text
// of line 6, calculated and exported on a window of its own.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "headless/headless.h"
#include "platform/ansi_text_writer.h"

namespace {

using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;

constexpr int kStyleExclamation = 48;
constexpr int kStyleOk = 0;

// Every box the program can show: prompt, title and style, as the user sees them.
const Shown kProgramBoxes[] = {
    {"半角の1～223で指定してください。", kStyleExclamation, "第１オクテット：数字ではありません"},
    {"範囲外です。1～223で指定してください。", kStyleExclamation, "第1オクテット：範囲外！！"},
    {"半角の0～255で指定してください。", kStyleExclamation, "第２オクテット：数字ではありません"},
    {"範囲外です。0～255で指定してください。", kStyleExclamation, "第２オクテット範囲外！！"},
    {"半角の0～255で指定してください。", kStyleExclamation, "第3オクテット：数字ではありません"},
    {"範囲外です。0～255で指定してください。", kStyleExclamation, "第3オクテット範囲外！！"},
    {"半角の0～255で指定してください。", kStyleExclamation, "第4オクテット：数字ではありません"},
    {"範囲外です。0～255で指定してください。", kStyleExclamation, "第4オクテット範囲外！！"},
    {"サブネットを指定してください。", kStyleExclamation, "サブネット１：選択してください"},
    {"サブネットを指定してください。", kStyleExclamation, "サブネット２：選択してください"},
    {"サブネットを指定してください。", kStyleExclamation, "サブネット３：選択してください"},
    {"サブネットを指定してください。", kStyleExclamation, "サブネット４：選択してください"},
    {"サブネットマスクを一覧から選択してください。", kStyleExclamation, "サブネット１：範囲外！！"},
    {"サブネットマスクを一覧から選択してください。", kStyleExclamation, "サブネット２：範囲外！！"},
    {"サブネットマスクを一覧から選択してください。", kStyleExclamation, "サブネット３：範囲外！！"},
    {"サブネットマスクを一覧から選択してください。", kStyleExclamation, "サブネット４：範囲外！！"},
    {"サブネットマスクが正しくありません。一覧から選択してください。", kStyleExclamation,
     "サブネットマスク：不正！！"},
    {"ループバックテスト用アドレスです。", kStyleExclamation, "ループバックテスト用！！"},
    {"クラスレス。ホスト数とネットワークの範囲のみ計算します。", kStyleExclamation,
     "クラスレス！！"},
    {"新しいファイルを作成しました。ip-file.csv", kStyleOk, "Sabrota"},
    {"新しいファイルを作成しました。ip-file."
     "csv。しかしネットワーク数は多すぎて書き込めません！ごめん"
     "なさい。",
     kStyleOk, "Sabrota"},
    {"ファイルエラー:ファイルを閉じてください。", kStyleOk, "Sabrota"},
    {"印刷できませんでした。プリンターを確認してください。", kStyleExclamation, "Sabrota"},
};
constexpr std::string_view kExportDone = "新しいファイルを作成しました。ip-file.csv";
constexpr std::string_view kExportRefused =
    "新しいファイルを作成しました。ip-file.csv。しかしネットワーク数は多すぎて書き込めません！"
    "ごめんなさい。";
constexpr std::string_view kListRefusal = "CPU(T_T):計算が大変なので計算いたしません！！";

constexpr int kMostActions = 48;
constexpr int kMostNesting = 6;
constexpr long long kIdleBoundMs = 60'000;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_run: %s\n", what);
    std::abort();
}

void expect(bool ok, const char* what) {
    if (!ok)
        fail(what);
}

void appendUtf8(std::string& s, char32_t cp) {
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One character as a keyboard or an input method could give it: mostly the characters of
// numbers and masks, sometimes any character of the Basic Multilingual Plane.
void appendChar(FuzzedDataProvider& in, std::string& s) {
    static constexpr std::string_view kTyped = "0123456789 .+-eE/\t,";
    const auto pick = in.ConsumeIntegral<std::uint8_t>();
    if (pick < 200) {
        s += kTyped[pick % kTyped.size()];
        return;
    }
    char32_t cp = in.ConsumeIntegralInRange<char32_t>(0x20, 0xFFFD);
    if (cp >= 0xD800 && cp <= 0xDFFF)
        cp = 0xFF10 + (cp & 7);  // full-width digits instead of lone surrogates
    appendUtf8(s, cp);
}

std::string typedText(FuzzedDataProvider& in, std::size_t most) {
    std::string s;
    const std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, most);
    for (std::size_t i = 0; i < n; ++i)
        appendChar(in, s);
    return s;
}

// A valid octet now and then, so that runs get past the address stages.
std::string octetText(FuzzedDataProvider& in, int octet) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return std::to_string(octet == 1 ? in.ConsumeIntegralInRange(1, 223)
                                             : in.ConsumeIntegralInRange(0, 255));
        case 1: {
            static constexpr int kInteresting[] = {10, 127, 172, 192, 0, 255, 223, 128, 191, 16};
            return std::to_string(kInteresting[in.ConsumeIntegralInRange(0, 9)]);
        }
        default:
            return typedText(in, 3);  // the text boxes take three characters
    }
}

struct Harness {
    HeadlessWindow w;
    FuzzedDataProvider& in;
    int nesting = 0;
    long long enablerTicks = 0;  // ticks of Timer9 or Timer10 begun so far
    long long exportsDone = 0;
    long long ticks = 0;
    long long steps = 0;  // the user's actions so far, those while a box is open included

    explicit Harness(FuzzedDataProvider& data) : in(data) {
        w.clock.attach([this](int n) { tick(n); });
        w.box.whileOpen = [this](const Shown& s) { boxOpen(s); };
    }

    void tick(int n) {
        sabrota::Form1& f = *w;
        const bool before = f.Command3.Enabled;
        const long long enablersBefore = enablerTicks;
        const long long exportsBefore = exportsDone;
        ++ticks;
        if (n == 9 || n == 10)
            ++enablerTicks;
        ++nesting;
        f.timerTick(n);
        --nesting;
        // Only the end of Timer9 or of the list turns the CSV button on.
        if (!before && f.Command3.Enabled)
            expect(n == 9 || n == 10 || enablerTicks != enablersBefore,
                   "Command3 enabled outside Timer9 and Timer10");
        // Unless a run ended well while the export's box was open.
        if (n == 11 && exportsDone != exportsBefore && enablerTicks == enablersBefore)
            expect(!f.Command3.Enabled, "Command3 still enabled after a successful export");
        checkAlways();
    }

    void boxOpen(const Shown& s) {
        bool known = false;
        for (const Shown& b : kProgramBoxes)
            known = known || b == s;
        if (!known) {
            std::fprintf(stderr, "unknown box: \"%s\" / \"%s\" / %d\n", s.prompt.c_str(),
                         s.title.c_str(), s.style);
            fail("a box that is not one of the program's");
        }
        if (s.prompt == kExportDone) {
            ++exportsDone;
            expect(w.files.files.count("ip-file.csv") == 1, "export reported without a file");
        }
        if (s.prompt == kExportDone || s.prompt == kExportRefused)
            checkCleanExport();
        // The desktop keeps dispatching timer ticks while a modal box is open, and a front end
        // may let the user go on in the window: typing, Calculate, Clear, CSV出力, more boxes.
        if (nesting < kMostNesting && in.remaining_bytes() > 0 && in.ConsumeBool()) {
            ++nesting;
            for (int n = in.ConsumeIntegralInRange(1, 4); n > 0 && in.remaining_bytes() > 0; --n)
                step();
            --nesting;
        }
    }

    // Texts the session has typed, so that a field of the file in the code page can be told
    // back as the text it came from.
    std::vector<std::string> typed{""};
    std::string remember(std::string text) {
        typed.push_back(text);
        return text;
    }

    // The text whose encoding is the field, or nothing.
    bool fromFile(const std::string& field, std::string& text) const {
        using sabrota::platform::AnsiTextWriter;
        if (sabrota::platform::isAscii(field)) {
            text = field;
            return true;
        }
        for (const std::string& t : typed) {
            try {
                if (AnsiTextWriter::encode(t) == field) {
                    text = t;
                    return true;
                }
            } catch (const std::exception&) {
            }
        }
        return false;
    }

    static std::vector<std::string> lines(const std::string& bytes) {
        std::vector<std::string> out(1);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes.compare(i, 2, "\r\n") == 0) {
                out.emplace_back();
                ++i;
            } else {
                out.back() += bytes[i];
            }
        }
        return out;
    }

    void checkCleanExport() {
        using sabrota::platform::AnsiTextWriter;
        const std::string written = w.files.files.at("ip-file.csv");
        const auto lines = Harness::lines(written);
        expect(lines.size() >= 6, "a file of fewer than six lines");
        const std::string addressHead = AnsiTextWriter::encode("入力IPアドレス,");
        const std::string maskHead = AnsiTextWriter::encode("選択サブネットマスク,");
        expect(lines[2].starts_with(addressHead) && lines[5].starts_with(maskHead),
               "lines 3 and 6 do not name the input");
        std::vector<std::string> fields(1);
        for (const char c : lines[2].substr(addressHead.size())) {
            if (c == ',')
                fields.emplace_back();
            else
                fields.back() += c;
        }
        // An octet text with a comma of its own cannot be told apart on line 3.
        if (fields.size() != 4)
            return;
        std::string octets[4], mask;
        for (std::size_t k = 0; k < 4; ++k)
            expect(fromFile(fields[k], octets[k]), "line 3 names an octet nobody typed");
        expect(fromFile(lines[5].substr(maskHead.size()), mask),
               "line 6 names a mask nobody typed");
        expect(lines[1] == fields[0] + "." + fields[1] + "." + fields[2] + "." + fields[3],
               "lines 2 and 3 name different addresses");
        // No input at all names the window that holds no run, as after start-up or Clear.
        HeadlessWindow clean;
        if (lines[1] != "..." || !mask.empty())
            clean.calculate(octets[0], octets[1], octets[2], octets[3], mask);
        const std::string expected = clean.exportCsv();
        expect(written == expected, "a file that is no clean export of the input it names");
    }

    void checkAlways() {
        const sabrota::Form1& f = *w;
        expect(f.List1.ListCount() <= 65536, "more than 65,536 list entries");
        const int count = f.List1.ListCount();
        expect(f.List1.ListIndex >= -1 && f.List1.ListIndex < count, "highlight past the list");
        if (count > 0) {
            const std::string_view first = f.List1.List(0);
            expect(first == kListRefusal || (!first.empty() && first.back() != '.'),
                   "malformed first list entry");
        }
    }

    void click(void (sabrota::Form1::*handler)()) {
        sabrota::Form1& f = *w;
        const bool before = f.Command3.Enabled;
        const long long enablersBefore = enablerTicks;
        ++nesting;
        (f.*handler)();
        --nesting;
        if (!before && f.Command3.Enabled)
            expect(enablerTicks != enablersBefore, "a click enabled Command3");
        checkAlways();
    }

    void step() {
        ++steps;
        sabrota::Form1& f = *w;
        switch (in.ConsumeIntegralInRange(0, 12)) {
            case 0:
            case 1: {
                const int k = in.ConsumeIntegralInRange(1, 4);
                sabrota::Control* boxes[] = {&f.Text1, &f.Text2, &f.Text3, &f.Text4};
                boxes[k - 1]->Text = remember(octetText(in, k));
                break;
            }
            case 2:
                f.Combo1.setListIndex(in.ConsumeIntegralInRange(0, 23));
                break;
            case 3:
                f.Combo1.typeText(
                    remember(typedText(in, in.ConsumeIntegralInRange<std::size_t>(0, 40))));
                break;
            case 4: {
                // An item with one character typed over, the nearest thing to a valid mask.
                std::string t(f.Combo1.items[in.ConsumeIntegralInRange<std::size_t>(0, 23)]);
                std::string c;
                appendChar(in, c);
                t.replace(in.ConsumeIntegralInRange<std::size_t>(0, t.size() - 1), 1, c);
                f.Combo1.typeText(remember(t));
                break;
            }
            case 5:
            case 6:
                click(&sabrota::Form1::CMD1_Click);
                break;
            case 7:
                click(&sabrota::Form1::Command2_Click);
                break;
            case 8:
                w.files.failing = in.ConsumeIntegralInRange(0, 7) == 0;
                click(&sabrota::Form1::Command3_Click);
                break;
            case 9:
                click(in.ConsumeBool() ? &sabrota::Form1::Command1_Click
                                       : &sabrota::Form1::Label70_Click);
                break;
            case 10: {
                w.printer.succeeds = in.ConsumeBool();
                const bool wasEnabled = f.Command3.Enabled;
                const long long ticksBefore = ticks;
                const long long stepsBefore = steps;
                click(&sabrota::Form1::cmdPrint_Click);
                for (const sabrota::Control* b :
                     {&f.CMD1, &f.Command1, &f.Command2, &f.Command3, &f.cmdPrint})
                    expect(b->Visible, "a button left hidden after printing");
                // Unless the user went on while the print's box was open.
                if (ticks == ticksBefore && steps == stepsBefore)
                    expect(f.Command3.Enabled == wasEnabled, "printing changed Command3");
                break;
            }
            default:
                w.clock.advance(in.ConsumeIntegralInRange(0, 400));
                break;
        }
    }

    void run() {
        for (int i = 0; i < kMostActions && in.remaining_bytes() > 0; ++i)
            step();
        w.box.whileOpen = [this](const Shown& s) {
            // Past the input: still only the program's own boxes, no more nesting.
            nesting = kMostNesting;
            boxOpen(s);
        };
        expect(w.clock.runUntilIdle(kIdleBoundMs), "a timer still armed after a minute");
        const sabrota::Form1& f = *w;
        for (int n = 1; n <= sabrota::kTimerCount; ++n) {
            expect(!f.timers[static_cast<std::size_t>(n - 1)].armed(), "a stage timer left armed");
            expect(!f.stageRunning(n), "a stage left running");
        }
        checkAlways();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Harness h(in);
    h.run();
    return 0;
}
