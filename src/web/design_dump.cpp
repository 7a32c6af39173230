// SPDX-License-Identifier: MIT
// Writes the design table's JSON for the page into the file named, at build time, under node.
#include <cstdio>
#include <string>

#include "web/design_json.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string json = sabrota::web::designJson();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f)
        return 1;
    const bool written = std::fwrite(json.data(), 1, json.size(), f) == json.size();
    return std::fclose(f) == 0 && written ? 0 : 1;
}
