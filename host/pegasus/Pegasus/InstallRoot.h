#pragma once
// The install directory of the running program, shared by this layer (which
// keeps its log files under <install>/log) and by arraycore's platform layer,
// which builds every other path from it.
//
// Rule: the SMIS_INSTALL_DIR environment variable when set and not empty;
// otherwise the parent of the directory that holds the executable
// (/proc/self/exe). The result never ends with '/' (except "/" itself).

#include <string>
#include <string_view>

namespace Pegasus {

class InstallRoot {
public:
    static std::string path();

    // The parent of the directory of an executable path ("/p/bin/x" -> "/p").
    // Each of the two steps cuts the text at its last '/'; a text without '/'
    // stays unchanged.
    static std::string fromExecutablePath(std::string_view exePath);
};

}  // namespace Pegasus
