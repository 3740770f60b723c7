#pragma once
// Builds file paths from parts with '/' between them.

#include <initializer_list>
#include <string>
#include <string_view>

namespace smis::platform {

class FilePath {
public:
    // Joins the parts with exactly one '/' between neighbours: separators at
    // the seams are not doubled, empty parts are skipped, and a leading '/'
    // of the first part is kept. join({"/opt/x", "data", "a.cmf"}) gives
    // "/opt/x/data/a.cmf".
    static std::string join(std::initializer_list<std::string_view> parts);
};

}  // namespace smis::platform
