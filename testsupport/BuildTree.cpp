#include "BuildTree.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace testsupport {

std::string BuildTree::directory()
{
    if (const char* dir = std::getenv("SMIS_BUILD_DIR"); dir && *dir)
        return dir;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw std::runtime_error("SMIS_BUILD_DIR is not set and /proc/self/exe cannot be read: " + error.message());
    return self.parent_path().parent_path().string();
}

std::string BuildTree::program(const std::string& name)
{
    const std::string dir = directory();
    const std::string path = dir + "/bin/" + name;
    if (::access(path.c_str(), X_OK) != 0)
        throw std::runtime_error(name + " is missing: no program " + path + " (build it, or set SMIS_BUILD_DIR " +
                                 "to the build tree that holds bin/" + name + ")");
    return path;
}

}  // namespace testsupport
