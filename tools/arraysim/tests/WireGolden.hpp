// Reads the golden byte examples of the wire notes (docs/wire/*.md): the
// fenced block that follows the first line containing a marker, as bytes.
#pragma once

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "WireBytes.hpp"

namespace arraysim::test {

inline std::string wireDocDir() {
    if (const char* d = std::getenv("ARRAYSIM_WIRE_DOCS"); d && *d) return d;
#ifdef SMIS_SOURCE_DIR
    return std::string(SMIS_SOURCE_DIR) + "/docs/wire";
#else
    return "docs/wire";
#endif
}

// Lines look like "0010: 01 00 ..." or "CE 31 00 00  00 ...": an optional
// offset with a colon, then two-digit hex tokens up to the first other word.
inline std::optional<Bytes> goldenBlock(const std::string& file, const std::string& marker) {
    std::ifstream in(wireDocDir() + "/" + file);
    if (!in) return std::nullopt;
    std::string line;
    bool seen = false, inBlock = false;
    Bytes out;
    while (std::getline(in, line)) {
        if (!seen) {
            seen = line.find(marker) != std::string::npos;
            continue;
        }
        if (line.rfind("```", 0) == 0) {
            if (inBlock) return out;
            inBlock = true;
            continue;
        }
        if (!inBlock) continue;
        std::istringstream words(line);
        std::string w;
        bool first = true;
        while (words >> w) {
            if (first && w.back() == ':') {
                first = false;
                continue;
            }
            first = false;
            if (w.size() != 2 || !std::isxdigit(static_cast<unsigned char>(w[0])) ||
                !std::isxdigit(static_cast<unsigned char>(w[1])))
                break;
            out.push_back(static_cast<std::uint8_t>(std::stoul(w, nullptr, 16)));
        }
    }
    return std::nullopt;
}

}  // namespace arraysim::test
