#include <cimple/String.h>

#include <strings.h>

namespace cimple {

void String::remove(size_t pos, size_t n)
{
    _rep.erase(pos, n);
}

String String::substr(size_t pos, size_t n)
{
    String r;
    r._rep = _rep.substr(pos, n);
    return r;
}

bool String::equali(const String& s) const
{
    return eqi(_rep.c_str(), s.c_str());
}

bool String::equali(const char* s) const
{
    return eqi(_rep.c_str(), s);
}

bool String::equali(const char* s, size_t n) const
{
    return _rep.size() == n && strncasecmp(s ? s : "", _rep.c_str(), n) == 0;
}

bool eqi(const char* a, const char* b)
{
    return strcasecmp(a ? a : "", b ? b : "") == 0;
}

} // namespace cimple
