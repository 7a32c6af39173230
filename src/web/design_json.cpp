// SPDX-License-Identifier: MIT
#include "web/design_json.h"

#include "frontend/faces.h"
#include "window/design.h"
#include "window/version.h"

namespace sabrota::web {

namespace {

std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string face(const ControlDesign& d) {
    std::string list;
    const frontend::FaceNames names = frontend::designFace(d.face);
    for (std::string_view n : {names.japanese, names.english})
        list += "'" + std::string(n) + "',";
    for (const frontend::GothicFamily& g : frontend::kStandInGothics)
        list += "'" + std::string(g.proportional) + "',";
    return list + "sans-serif";
}

}  // namespace

std::string designJson() {
    std::string json = "{\"version\":\"" + std::to_string(version::kMajor) + "." +
                       std::to_string(version::kMinor) + "." + std::to_string(version::kPatch) +
                       "\",\"home\":" + jsonString(homePage()) +
                       ",\"width\":" + std::to_string(kClientWidthTwips / kTwipsPerPixel) +
                       ",\"height\":" + std::to_string(kClientHeightTwips / kTwipsPerPixel) +
                       ",\"masks\":[";
    for (std::size_t i = 0; i < maskItems().size(); ++i)
        json += (i ? "," : "") + jsonString(maskItems()[i]);
    json += "],\"tab\":[";
    for (std::size_t i = 0; i < tabOrder().size(); ++i)
        json += (i ? "," : "") + std::to_string(static_cast<int>(tabOrder()[i]));
    json += "],\"rows\":[";
    bool first = true;
    for (const ControlDesign& d : designTable()) {
        const double points = d.face == Face::WindowFont ? kWindowFontPoints : d.points;
        json += std::string(first ? "" : ",") + "{\"name\":" + jsonString(d.name) +
                ",\"id\":" + std::to_string(static_cast<int>(d.id)) +
                ",\"index\":" + std::to_string(d.index) +
                ",\"kind\":" + std::to_string(static_cast<int>(d.kind)) +
                ",\"x\":" + std::to_string(d.rect.left / kTwipsPerPixel) +
                ",\"y\":" + std::to_string(d.rect.top / kTwipsPerPixel) +
                ",\"w\":" + std::to_string(d.rect.width / kTwipsPerPixel) +
                ",\"h\":" + std::to_string(d.rect.height / kTwipsPerPixel) +
                ",\"text\":" + jsonString(d.text) + ",\"face\":" + jsonString(face(d)) +
                ",\"px\":" + std::to_string(points * 96.0 / 72.0) +
                ",\"bold\":" + (d.weight != Weight::Regular ? "true" : "false") +
                ",\"italic\":" + (d.weight == Weight::BoldItalic ? "true" : "false") +
                ",\"framed\":" + (isFramed(d.look) ? "true" : "false") +
                ",\"centred\":" + (isCentred(d.look) ? "true" : "false") +
                ",\"click\":" + std::to_string(static_cast<int>(d.click)) +
                ",\"label\":" + jsonString(accessibleName(d)) + "}";
        first = false;
    }
    json += "]}";
    return json;
}

}  // namespace sabrota::web
