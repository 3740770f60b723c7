#include <Pegasus/InstallRoot.h>

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace Pegasus {

namespace {

std::string_view cutAtLastSlash(std::string_view text)
{
    const auto pos = text.rfind('/');
    return pos == std::string_view::npos ? text : text.substr(0, pos);
}

std::string withoutClosingSlash(std::string text)
{
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string executablePath()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return std::string();
        if (static_cast<size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string InstallRoot::fromExecutablePath(std::string_view exePath)
{
    return std::string(cutAtLastSlash(cutAtLastSlash(exePath)));
}

std::string InstallRoot::path()
{
    const char* over = std::getenv("SMIS_INSTALL_DIR");
    if (over && *over)
        return withoutClosingSlash(over);
    return fromExecutablePath(executablePath());
}

}  // namespace Pegasus
