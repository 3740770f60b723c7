#include <cimple/String.h>

#include <strings.h>

namespace cimple {

String String::substr(size_t pos, size_t n) const
{
    if (pos >= _rep.size())
        return String();
    String r;
    r._rep = _rep.substr(pos, n);
    return r;
}

bool String::equali(const char* s) const
{
    return eqi(_rep.c_str(), s);
}

bool eqi(const char* a, const char* b)
{
    return strcasecmp(a ? a : "", b ? b : "") == 0;
}

} // namespace cimple
