#include "FilePath.h"

namespace smis::platform {

std::string FilePath::join(std::initializer_list<std::string_view> parts)
{
    std::string result;
    bool first = true;
    for (std::string_view part : parts) {
        if (part.empty())
            continue;
        if (first) {
            result.assign(part);
            first = false;
            continue;
        }
        while (!part.empty() && part.front() == '/')
            part.remove_prefix(1);
        if (part.empty())
            continue;
        if (result.empty() || result.back() != '/')
            result.push_back('/');
        result.append(part);
    }
    return result;
}

}  // namespace smis::platform
