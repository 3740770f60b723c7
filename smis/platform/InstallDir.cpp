#include "InstallDir.h"

#include "FilePath.h"

#include <Pegasus/InstallRoot.h>

#include <vector>

namespace smis::platform {

std::string InstallDir::path()
{
    return Pegasus::InstallRoot::path();
}

std::string InstallDir::file(std::initializer_list<std::string_view> parts)
{
    const std::string root = path();
    std::string result = root.empty() ? std::string("/") : root;
    for (std::string_view part : parts)
        result = FilePath::join({result, part});
    return result;
}

}  // namespace smis::platform
