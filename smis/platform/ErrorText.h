#pragma once
// The system's message text of an error number (errno).

#include <string>

namespace smis::platform {

class ErrorText {
public:
    // Message text of the error number, e.g. "No such file or directory";
    // an unknown number gives the C library's "Unknown error <n>".
    static std::string message(int errorNumber);
};

}  // namespace smis::platform
