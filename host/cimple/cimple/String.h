// Text value of the framework: an owned, zero-terminated byte string.
// Positions past the end are the caller's fault (as in CIMPLE, which asserts
// on them); a null `const char*` given to a member counts as the empty text.
// The members are CIMPLE's, no more: conveniences beyond them are the
// project's own helpers.
#ifndef CIMPLE_STRING_H
#define CIMPLE_STRING_H

#include <cimple/Type.h>

#include <string>

namespace cimple {

class String {
public:
    String() = default;
    String(const String&) = default;
    String(String&&) noexcept = default;
    String(const char* s) : _rep(s ? s : "") {}
    String(const char* s1, const char* s2) : String(s1) { append(s2); }
    String(const char* s1, const char* s2, const char* s3) : String(s1, s2) { append(s3); }
    String(const char* s, size_t n) : _rep(s ? std::string(s, n) : std::string()) {}

    void reserve(size_t n) { _rep.reserve(n); }
    void assign(const String& s) { _rep = s._rep; }
    void assign(const char* s, size_t n) { if (s) _rep.assign(s, n); else _rep.clear(); }
    void assign(const char* s) { _rep.assign(s ? s : ""); }
    void append(const String& s) { _rep.append(s._rep); }
    void append(const char* s) { if (s) _rep.append(s); }
    void append(const char* s, size_t n) { if (s) _rep.append(s, n); }
    void append(char c) { _rep.push_back(c); }
    // Removes n characters from pos (size_t(-1): to the end).
    void remove(size_t pos, size_t n);
    // n characters from pos (size_t(-1): to the end).
    String substr(size_t pos, size_t n = size_t(-1));

    String& operator=(const String&) = default;
    String& operator=(String&&) noexcept = default;
    String& operator=(const char* s) { assign(s); return *this; }

    void clear() { _rep.clear(); }
    // Never null; valid until the text is next changed.
    const char* c_str() const { return _rep.c_str(); }
    size_t size() const { return _rep.size(); }
    bool empty() const { return _rep.empty(); }
    size_t capacity() const { return _rep.capacity(); }
    char operator[](size_t i) const { return _rep[i]; }
    void set(size_t i, char c) { _rep[i] = c; }

    bool equal(const String& s) const { return _rep == s._rep; }
    bool equal(const char* s) const { return _rep == (s ? s : ""); }
    bool equal(const char* s, size_t n) const { return _rep.size() == n && _rep.compare(0, n, s, n) == 0; }
    bool equal(size_t pos, const char* s, size_t n) const { return _rep.compare(pos, n, s, n) == 0; }
    // ASCII comparison without regard to case.
    bool equali(const String& s) const;
    bool equali(const char* s) const;
    bool equali(const char* s, size_t n) const;

    // Position of the first c (or text s), from the start or from position n
    // (at most size()); size_t(-1) when absent.
    size_t find(char c) const { return _rep.find(c); }
    size_t find(char c, size_t n) const { return _rep.find(c, n); }
    size_t find(const char* s) const { return _rep.find(s ? s : ""); }
    size_t find(const String& s) const { return _rep.find(s._rep); }

private:
    std::string _rep;
};

inline bool operator==(const String& a, const String& b) { return a.equal(b); }
inline bool operator==(const String& a, const char* b) { return a.equal(b); }
inline bool operator==(const char* a, const String& b) { return b.equal(a); }
inline bool operator!=(const String& a, const String& b) { return !a.equal(b); }
inline bool operator!=(const String& a, const char* b) { return !a.equal(b); }
inline bool operator!=(const char* a, const String& b) { return !b.equal(a); }

// ASCII comparison of two texts without regard to case; null counts as "".
bool eqi(const char* a, const char* b);
inline bool eqi(const String& a, const String& b) { return eqi(a.c_str(), b.c_str()); }
inline bool eqi(const String& a, const char* b) { return eqi(a.c_str(), b); }
inline bool eqi(const char* a, const String& b) { return eqi(a, b.c_str()); }

} // namespace cimple

#endif
