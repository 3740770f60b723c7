// Text value of the framework: an owned, zero-terminated byte string.
// A null `const char*` given to any member counts as the empty text.
#ifndef CIMPLE_STRING_H
#define CIMPLE_STRING_H

#include <cimple/Type.h>

#include <string>

namespace cimple {

class String {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    String() = default;
    String(const char* s) : _rep(s ? s : "") {}
    String(const char* s, size_t n) : _rep(s ? std::string(s, n) : std::string()) {}
    String(const String&) = default;
    String(String&&) noexcept = default;
    String& operator=(const String&) = default;
    String& operator=(String&&) noexcept = default;
    String& operator=(const char* s) { return assign(s); }

    size_t size() const { return _rep.size(); }
    bool empty() const { return _rep.empty(); }
    // Never null; valid until the text is next changed.
    const char* c_str() const { return _rep.c_str(); }
    char operator[](size_t i) const { return _rep[i]; }

    String& assign(const char* s) { _rep.assign(s ? s : ""); return *this; }
    String& assign(const char* s, size_t n) { if (s) _rep.assign(s, n); else _rep.clear(); return *this; }
    String& append(const char* s) { if (s) _rep.append(s); return *this; }
    String& append(const char* s, size_t n) { if (s) _rep.append(s, n); return *this; }
    String& append(const String& s) { _rep.append(s._rep); return *this; }
    String& append(char c) { _rep.push_back(c); return *this; }
    // Removes up to n characters from pos (nothing when pos lies past the end).
    String& remove(size_t pos, size_t n = npos) { if (pos < _rep.size()) _rep.erase(pos, n); return *this; }
    void clear() { _rep.clear(); }

    // Position of the first c (or text s) at or after pos; npos when absent.
    size_t find(char c, size_t pos = 0) const { return _rep.find(c, pos); }
    size_t find(const char* s, size_t pos = 0) const { return _rep.find(s ? s : "", pos); }
    // Position of the last c; npos when absent.
    size_t find_last(char c) const { return _rep.rfind(c); }
    // Up to n characters from pos; empty when pos lies past the end.
    String substr(size_t pos, size_t n = npos) const;

    bool equal(const char* s) const { return _rep == (s ? s : ""); }
    // ASCII comparison without regard to case.
    bool equali(const char* s) const;
    bool equali(const String& s) const { return equali(s.c_str()); }

    String& operator+=(const String& s) { return append(s); }
    String& operator+=(const char* s) { return append(s); }
    String& operator+=(char c) { return append(c); }

    friend bool operator==(const String& a, const String& b) { return a._rep == b._rep; }
    friend bool operator==(const String& a, const char* b) { return a.equal(b); }
    friend bool operator<(const String& a, const String& b) { return a._rep < b._rep; }
    friend String operator+(const String& a, const String& b) { String r(a); r.append(b); return r; }
    friend String operator+(const String& a, const char* b) { String r(a); r.append(b); return r; }

private:
    std::string _rep;
};

// ASCII comparison of two texts without regard to case; null counts as "".
bool eqi(const char* a, const char* b);

} // namespace cimple

#endif
