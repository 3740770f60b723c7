#pragma once
// Text type of the CIM server common library: an 8-bit character string.

#include <Pegasus/Common/CString.h>
#include <Pegasus/Common/Config.h>

#include <string>

namespace Pegasus {

class String {
public:
    String() = default;
    String(const char* text) : _text(text ? text : "") {}
    String(const char* text, Uint32 length) : _text(text ? std::string(text, length) : std::string()) {}
    String(std::string text) : _text(std::move(text)) {}

    Uint32 size() const { return static_cast<Uint32>(_text.size()); }
    CString getCString() const { return CString(_text); }
    const std::string& str() const { return _text; }

    String& append(const String& other)
    {
        _text += other._text;
        return *this;
    }

    friend bool operator==(const String& a, const String& b) { return a._text == b._text; }

private:
    std::string _text;
};

}  // namespace Pegasus
