#pragma once
// Owns one text that a VELDARO_RefTable text getter returned and releases it
// on every path. A getter answers NULL when the text is not available; the
// builders treat that as a failed build or a missing value.
//
//   RefTable_Text serial(table.getSysSerialNumber());
//   if (serial.missing()) { ...log, return 1... }
//   instance->SerialNumber.set(serial.str());
//
//   RefTable_Text wwn(table.getCAPortWwn(ca, p));
//   if (!wwn) ... // missing text
//   instance->Name.set(wwn.get());

#include <cimple/cimple.h>

#include "VELDARO_RefTable.h"

namespace cimple {

class RefTable_Text {
public:
    explicit RefTable_Text(char* text) : _text(text) {}
    ~RefTable_Text() { VELDARO_RefTable::getMemFree(_text); }
    RefTable_Text(const RefTable_Text&) = delete;
    RefTable_Text& operator=(const RefTable_Text&) = delete;

    bool missing() const { return _text == nullptr; }
    explicit operator bool() const { return _text != nullptr; }
    // The text, or null when it is missing.
    const char* get() const { return _text; }
    // The text, or "" when it is missing.
    const char* c_str() const { return _text ? _text : ""; }
    String str() const { return String(c_str()); }

private:
    char* _text;
};

}  // namespace cimple
