#pragma once
// The install directory and the paths under it.
//
// The install directory is the parent of the directory that holds the running
// executable, or the value of SMIS_INSTALL_DIR when that is set; it never ends
// with '/'. The rule itself lives in pegcommon (Pegasus::InstallRoot) so that
// the log files of that library and the paths of arraycore always agree;
// pegcommon cannot depend on arraycore, so the one implementation sits there.

#include <initializer_list>
#include <string>
#include <string_view>

namespace smis::platform {

class InstallDir {
public:
    static std::string path();

    // path() joined with the given parts: file({"env", "smis_env.inf"}).
    static std::string file(std::initializer_list<std::string_view> parts);
};

}  // namespace smis::platform
