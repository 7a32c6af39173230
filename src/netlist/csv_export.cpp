// SPDX-License-Identifier: MIT
#include <algorithm>

#include "analysis/arithmetic.h"
#include "platform/ansi_text_writer.h"
#include "window/form1.h"

namespace sabrota {

namespace {
constexpr std::string_view kFileName = "ip-file.csv";
constexpr int kMostListed = 16384;
constexpr std::string_view kSuccess = "新しいファイルを作成しました。ip-file.csv";
constexpr std::string_view kRefused =
    "新しいファイルを作成しました。ip-file.csv。しかしネットワーク数は多すぎて書き込めません！"
    "ごめんなさい。";
constexpr std::string_view kRefusalLine =
    "ネットワーク数は多すぎて書き込めません！ごめんなさい。16384本以下でご使用ください。";
constexpr std::string_view kFailure = "ファイルエラー:ファイルを閉じてください。";

// Lines 4 and 8: "BIN", then the four octets' bits, each after "'", with zone steps between.
void writeBitsLine(platform::AnsiTextWriter& w, const std::string* bits[4]) {
    w.write("BIN,'");
    w.write(*bits[0]);
    for (int i = 1; i < 4; ++i) {
        w.zone();
        w.write(",'");
        w.write(*bits[i]);
    }
    w.endLine();
}

void writeHexLine(platform::AnsiTextWriter& w, std::initializer_list<const Control*> labels) {
    w.write("HEX");
    for (const Control* c : labels) {
        w.write(",'");
        w.write(c->Caption);
    }
    w.endLine();
}

// The entries 0 … lastIndex, each with a comma after it, ten to a line. An index past the list
// reads as an empty entry and still has its comma.
void writeList(platform::AnsiTextWriter& w, const ListBox& list, std::int32_t lastIndex) {
    // An entry is at most 15 bytes, then its comma and a fifth of a line end.
    w.reserve(w.bytes().size() + 17 * static_cast<std::size_t>(std::max(lastIndex + 1, 0)));
    // Entries are addresses: their text is looked at once, not one entry at a time.
    const bool ascii = platform::isAscii(list.text());
    std::int32_t rowCount = 0;
    for (std::int32_t i = 0; i <= lastIndex; ++i) {
        if (ascii)
            w.writeAscii(list.List(i));
        else
            w.write(list.List(i));
        w.write(',');
        if (++rowCount == 10) {
            w.endLine();
            rowCount = 0;
        }
    }
}

}  // namespace

// The click only arms the export; a second click before the tick arms the same timer again.
void Form1::Command3_Click() {
    Timer11.arm();
}

void Form1::Timer11_Timer() {
    // The file describes the run whose results the window shows, with the address and the mask
    // as that run read them. A click that a new Calculate overtook finds nothing to write.
    const std::optional<RunInput> exported = runWatch().exportInput();
    if (!exported) {
        Timer11.disarm();
        return;
    }
    const RunInput& input = *exported;
    for (std::string* s : {&addrBits1, &addrBits2, &addrBits3, &addrBits4, &maskBits1, &maskBits2,
                           &maskBits3, &maskBits4})
        s->clear();
    try {
        for (cellIndex = 8; cellIndex >= 1; --cellIndex) {
            addrBits1 += Label81(cellIndex).Caption;
            addrBits2 += Label82(cellIndex).Caption;
            addrBits3 += Label83(cellIndex).Caption;
            addrBits4 += Label84(cellIndex).Caption;
        }
        for (cellIndex = 8; cellIndex >= 1; --cellIndex) {
            maskBits1 += Label74(cellIndex).Caption;
            maskBits2 += Label75(cellIndex).Caption;
            maskBits3 += Label76(cellIndex).Caption;
            maskBits4 += Label77(cellIndex).Caption;
        }

        // The whole file is made in memory and put in place only when complete, so a failure
        // never leaves a half-written export in place of the previous one.
        platform::AnsiTextWriter w;
        auto line = [&w](std::initializer_list<std::string_view> pieces) {
            for (auto p : pieces)
                w.write(p);
            w.endLine();
        };
        line({Label54.Caption, ",", Label55.Caption});
        line({input.text1, ".", input.text2, ".", input.text3, ".", input.text4});
        line(
            {"入力IPアドレス,", input.text1, ",", input.text2, ",", input.text3, ",", input.text4});
        const std::string* addrBits[4] = {&addrBits1, &addrBits2, &addrBits3, &addrBits4};
        writeBitsLine(w, addrBits);
        writeHexLine(w, {&Label62, &Label63, &Label64, &Label65});
        line({"選択サブネットマスク,", input.mask});
        line({"DEC,", Label9.Caption, ",", Label10.Caption, ",", Label11.Caption, ",",
              Label12.Caption});
        const std::string* maskBits[4] = {&maskBits1, &maskBits2, &maskBits3, &maskBits4};
        writeBitsLine(w, maskBits);
        writeHexLine(w, {&Label66, &Label67, &Label68, &Label69});
        line({Label13.Caption, ",", Label14.Caption});
        line({Label44.Caption, ",", Label46.Caption});

        w.write(Label25.Caption);
        w.write(",'");
        w.zone();
        w.write(Label20.Caption + "-2");
        w.zone();
        w.write("," + Label24.Caption + "台");
        w.zone();
        w.write(",2の" + Label59.Caption + "乗");
        w.endLine();

        w.write(Label26.Caption);
        w.write(",'");
        w.zone();
        w.write(Label27.Caption + "÷" + Label20.Caption);
        w.zone();
        w.write("," + Label31.Caption + "本");
        w.zone();
        w.write(",2の" + Label61.Caption + "乗");
        w.endLine();

        line({Label49.Caption});
        line({Label32.Caption, ",,", Label40.Caption});
        line({Label33.Caption, ".", Label35.Caption, ".", Label37.Caption, ".", Label39.Caption,
              ",～,", Label41.Caption, ".", Label43.Caption, ".", Label45.Caption, ".",
              Label47.Caption});
        line({Label42.Caption});
        line({Label21.Caption, ".", Label15.Caption, ".", Label16.Caption, ".", Label17.Caption});
        line({Label19.Caption, ",", Label53.Caption});
        line({Label18.Caption});
        line({});
        line({Label56.Caption});

        std::int32_t lastIndex = 0;
        if (!Label31.Caption.empty()) {
            const auto v = numeric::parse(Label31.Caption);
            if (!v)
                throw RunTimeError("type mismatch");
            lastIndex = arith::fromDouble(*v - 1);
        }

        if (lastIndex > kMostListed) {
            line({kRefusalLine});
            if (!services_.files.replaceFile(kFileName, w.bytes()))
                throw RunTimeError("file error");
            msgBox(kRefused, platform::BoxStyle::Plain);
            Timer11.disarm();
            return;
        }

        writeList(w, List1, lastIndex);
        if (!services_.files.replaceFile(kFileName, w.bytes()))
            throw RunTimeError("file error");
        msgBox(kSuccess, platform::BoxStyle::Plain);
        Timer11.disarm();
        Command3.Enabled = false;
    } catch (const std::exception&) {
        // Whatever stops the file (a file error, a caption that is not a number, a code page
        // the system lacks, memory) ends in the one failure box, and the old file stays.
        msgBox(kFailure, platform::BoxStyle::Plain);
        Timer11.disarm();
    }
}

}  // namespace sabrota
