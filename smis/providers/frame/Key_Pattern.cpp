#include "Key_Pattern.h"

#include <cstring>
#include <vector>

namespace cimple {

namespace {

int digitValue(char c, char kind)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (kind == 'x' && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (kind == 'X' && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool Key_Pattern::read(const char* key, const char* pattern, Tail tail, std::initializer_list<unsigned*> values)
{
    if (!key || !pattern)
        return false;
    std::vector<unsigned> found;
    const char* k = key;
    for (const char* p = pattern; *p;) {
        if (*p != '%') {
            if (*k != *p)
                return false;
            ++k;
            ++p;
            continue;
        }
        ++p;
        unsigned width = 0;
        while (*p >= '0' && *p <= '9')
            width = width * 10 + unsigned(*p++ - '0');
        const char kind = *p;
        if (width == 0 || width > 8 || (kind != 'd' && kind != 'x' && kind != 'X'))
            return false;
        ++p;
        const unsigned base = kind == 'd' ? 10 : 16;
        unsigned value = 0;
        for (unsigned i = 0; i < width; ++i, ++k) {
            const int digit = digitValue(*k, kind);
            if (digit < 0)
                return false;
            value = value * base + unsigned(digit);
        }
        found.push_back(value);
    }
    if (tail == ADDRESS && *k == '_')
        ++k;
    else if (*k != '\0' || tail == ADDRESS)
        return false;
    if (tail == ADDRESS && (*k == '\0' || std::strchr(k, '_')))
        return false;
    if (found.size() != values.size())
        return false;
    std::size_t i = 0;
    for (unsigned* out : values)
        if (out)
            *out = found[i++];
        else
            ++i;
    return true;
}

}  // namespace cimple
