#pragma once
// A text of a VELDARO_RefTable text getter, released on every path.
//
//   Owned_Table_Text wwn(table.getCAPortWwn(ca, p));
//   if (!wwn) ... // missing text
//   instance->Name.set(wwn.get());

#include "VELDARO_RefTable.h"

namespace cimple {

class Owned_Table_Text {
public:
    explicit Owned_Table_Text(char* text) : _text(text) {}
    ~Owned_Table_Text() { VELDARO_RefTable::getMemFree(_text); }
    Owned_Table_Text(const Owned_Table_Text&) = delete;
    Owned_Table_Text& operator=(const Owned_Table_Text&) = delete;
    explicit operator bool() const { return _text != nullptr; }
    const char* get() const { return _text; }

private:
    char* _text;
};

}  // namespace cimple
