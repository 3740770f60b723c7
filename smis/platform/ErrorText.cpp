#include "ErrorText.h"

#include <cstring>

namespace smis::platform {

std::string ErrorText::message(int errorNumber)
{
    char buffer[256] = {};
    // GNU strerror_r: returns either the buffer or a static text.
    const char* text = ::strerror_r(errorNumber, buffer, sizeof buffer);
    return text ? std::string(text) : std::string();
}

}  // namespace smis::platform
