#include "TempInstallDir.h"

#include "SMIS_EnvAccess.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace smis::test {

namespace fs = std::filesystem;

namespace {

// Drops what the process has read from the previous install directory, so
// that the next reader starts from the files of this one.
void forgetProcessState()
{
    cimple::SMIS_EnvAccess::destroy();
}

}  // namespace

TempInstallDir::TempInstallDir()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/smis-install-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed for " + pattern);
    _path = pattern;
    for (const char* sub : {"bin", "env", "data", "run", "log"})
        fs::create_directories(fs::path(_path) / sub);

    if (const char* previous = std::getenv("SMIS_INSTALL_DIR")) {
        _hadPrevious = true;
        _previous = previous;
    }
    ::setenv("SMIS_INSTALL_DIR", _path.c_str(), 1);
    forgetProcessState();
}

TempInstallDir::~TempInstallDir()
{
    forgetProcessState();
    if (_hadPrevious)
        ::setenv("SMIS_INSTALL_DIR", _previous.c_str(), 1);
    else
        ::unsetenv("SMIS_INSTALL_DIR");
    std::error_code ec;
    fs::remove_all(_path, ec);
}

std::string TempInstallDir::file(std::string_view relative) const
{
    return _path + "/" + std::string(relative);
}

void TempInstallDir::writeEnv(const std::vector<std::string>& lines) const
{
    std::string content;
    for (const std::string& line : lines)
        content += line + "\n";
    writeFile("env/smis_env.inf", content);
    forgetProcessState();
}

void TempInstallDir::writeFile(std::string_view relative, std::string_view content) const
{
    const fs::path target = fs::path(_path) / std::string(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + target.string());
}

std::string TempInstallDir::readFile(std::string_view relative) const
{
    std::ifstream in(fs::path(_path) / std::string(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace smis::test
