#pragma once
// Text operations on the framework's String that the framework itself does
// not offer: concatenation, search from the end, and substring and removal
// that tolerate positions past the end (the framework's own members require
// positions inside the text).

#include <cimple/String.h>

#include <cstddef>
#include <cstring>

namespace cimple {

// What String::find answers when the text is absent.
inline constexpr std::size_t npos = static_cast<std::size_t>(-1);

// The parts one after the other; each part is a String, a C text (null counts
// as "") or a char.
template <class... PARTS>
String concat(const PARTS&... parts)
{
    String r;
    (r.append(parts), ...);
    return r;
}

// The text without its trailing white space (blanks, tabs, line ends); null
// counts as "". Key values are served in this form: a server that trims the
// values it reads hands back no other, and the name must find the instance.
inline String without_trailing_space(const char* text)
{
    if (!text)
        return String();
    std::size_t n = std::strlen(text);
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t' || text[n - 1] == '\r' || text[n - 1] == '\n'))
        --n;
    return String(text, n);
}

// Position of the last c in s; npos when absent.
inline std::size_t find_last(const String& s, char c)
{
    for (std::size_t i = s.size(); i-- > 0;)
        if (s[i] == c)
            return i;
    return npos;
}

// Position of the first c (or text t) in s at or after pos; npos when absent
// (also when pos lies past the end).
inline std::size_t find_from(const String& s, char c, std::size_t pos)
{
    return pos <= s.size() ? s.find(c, pos) : npos;
}

inline std::size_t find_from(const String& s, const char* t, std::size_t pos)
{
    if (pos > s.size())
        return npos;
    const char* at = std::strstr(s.c_str() + pos, t ? t : "");
    return at ? static_cast<std::size_t>(at - s.c_str()) : npos;
}

// Up to n characters of s from pos; empty when pos lies past the end.
inline String substring(const String& s, std::size_t pos, std::size_t n = npos)
{
    if (pos >= s.size())
        return String();
    return String(s.c_str() + pos, n < s.size() - pos ? n : s.size() - pos);
}

// Removes up to n characters of s from pos (nothing when pos lies past the end).
inline void erase(String& s, std::size_t pos, std::size_t n = npos)
{
    if (pos < s.size())
        s.remove(pos, n < s.size() - pos ? n : s.size() - pos);
}

}  // namespace cimple
