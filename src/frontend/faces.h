// SPDX-License-Identifier: MIT
// The faces the window is drawn with, by the names a system lists them under, and what stands in
// for them where they are missing: one list for every front end.
#pragma once

#include <array>
#include <string_view>

#include "window/design.h"

namespace sabrota::frontend {

// A face of the design under its Japanese name (as Windows lists it) and its English one.
struct FaceNames {
    std::string_view japanese;
    std::string_view english;
};

// The design's face of a control; the window's own font is "ＭＳ Ｐゴシック" too.
constexpr FaceNames designFace(Face f) {
    switch (f) {
        case Face::HgpSoeiKakuPop:
            return {"HGP創英角ﾎﾟｯﾌﾟ体", "HGPSoeiKakupoptai"};
        case Face::HgSoeiKakuPop:
            return {"HG創英角ﾎﾟｯﾌﾟ体", "HGSoeiKakupoptai"};
        case Face::MsPGothic:
        case Face::WindowFont:
            break;
    }
    return {"ＭＳ Ｐゴシック", "MS PGothic"};
}

// Whether the face is one of the heavy display faces, which a Gothic face standing in for it
// comes nearest drawn bold.
constexpr bool isDisplayFace(Face f) {
    return f == Face::HgpSoeiKakuPop || f == Face::HgSoeiKakuPop;
}

// Japanese Gothic faces of desktops without the design's, best first, each in its proportional
// and fixed-pitch form. The IPA faces come nearest the design's metrics.
struct GothicFamily {
    std::string_view proportional;
    std::string_view fixed;
};
inline constexpr std::array<GothicFamily, 6> kStandInGothics = {{
    {"IPAPGothic", "IPAGothic"},
    {"Noto Sans CJK JP", "Noto Sans Mono CJK JP"},
    {"VL PGothic", "VL Gothic"},
    {"TakaoPGothic", "TakaoGothic"},
    {"Hiragino Kaku Gothic ProN", "Hiragino Kaku Gothic ProN"},  // macOS
    {"Yu Gothic", "Yu Gothic"},                                  // Windows without the design's
}};

}  // namespace sabrota::frontend
