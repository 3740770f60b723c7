#pragma once
// Owned, NUL-terminated copy of a String's characters.

#include <string>

namespace Pegasus {

class CString {
public:
    CString() = default;
    explicit CString(std::string text) : _text(std::move(text)) {}

    operator const char*() const { return _text.c_str(); }
    const char* c_str() const { return _text.c_str(); }

private:
    std::string _text;
};

}  // namespace Pegasus
