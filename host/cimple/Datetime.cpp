#include <cimple/Datetime.h>

#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace cimple {

namespace {

constexpr sint64 MAX_INTERVAL_DAYS = 99999999;
constexpr sint32 MAX_UTC_OFFSET = 999;

// Writes value as exactly width decimal digits (leading zeros) at p and
// answers the position after them; the value fits the width.
char* put_digits(char* p, uint64 value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return p + width;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
sint64 days_from_civil(sint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const sint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<sint64>(doe) - 719468;
}

void civil_from_days(sint64 z, sint64& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const sint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<sint64>(yoe) + era * 400 + (m <= 2);
}

bool is_leap(sint64 y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned days_in_month(sint64 y, unsigned m)
{
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : days[m - 1];
}

// Reads n decimal digits at p; false if one is not a digit.
bool digits(const char* p, int n, uint64& out)
{
    uint64 v = 0;
    for (int i = 0; i < n; i++) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        v = v * 10 + static_cast<uint64>(p[i] - '0');
    }
    out = v;
    return true;
}

} // namespace

Datetime Datetime::now()
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    struct tm tm;
    time_t t = tv.tv_sec;
    sint32 offset = 0;
    if (localtime_r(&t, &tm))
        offset = static_cast<sint32>(tm.tm_gmtoff / 60);
    if (offset > MAX_UTC_OFFSET || offset < -MAX_UTC_OFFSET)
        offset = 0;
    uint64 usec = static_cast<uint64>(tv.tv_sec) * SEC + static_cast<uint64>(tv.tv_usec);
    return Datetime(usec, offset);
}

void Datetime::set(uint64 usec)
{
    _usec = usec;
    _utc = 0;
    _interval = true;
}

void Datetime::set(uint64 usec, sint32 utc_offset)
{
    _usec = usec;
    _utc = utc_offset;
    _interval = false;
}

String Datetime::ascii() const
{
    char buf[64];
    if (_interval) {
        uint64 days = _usec / DAY;
        if (days > static_cast<uint64>(MAX_INTERVAL_DAYS))
            return String();
        uint64 rest = _usec % DAY;
        // ddddddddhhmmss.mmmmmm:000
        char* p = put_digits(buf, days, 8);
        p = put_digits(p, rest / HOUR, 2);
        p = put_digits(p, rest % HOUR / MIN, 2);
        p = put_digits(p, rest % MIN / SEC, 2);
        *p++ = '.';
        p = put_digits(p, rest % SEC, 6);
        *p++ = ':';
        p = put_digits(p, 0, 3);
        return String(buf, static_cast<size_t>(p - buf));
    }
    if (_utc > MAX_UTC_OFFSET || _utc < -MAX_UTC_OFFSET)
        return String();
    // The fields show the local time of the zone at the given offset.
    sint64 local = static_cast<sint64>(_usec / SEC) + static_cast<sint64>(_utc) * 60;
    // Floor division: a negative local time lies before 1970-01-01 00:00.
    sint64 days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
    sint64 secs = local - days * 86400;
    sint64 y;
    unsigned m, d;
    civil_from_days(days, y, m, d);
    if (y < 0 || y > 9999)
        return String();
    // yyyymmddhhmmss.mmmmmm+utc (the year, day time and offset are in range here)
    char* p = put_digits(buf, static_cast<uint64>(y), 4);
    p = put_digits(p, m, 2);
    p = put_digits(p, d, 2);
    p = put_digits(p, static_cast<uint64>(secs / 3600), 2);
    p = put_digits(p, static_cast<uint64>(secs % 3600 / 60), 2);
    p = put_digits(p, static_cast<uint64>(secs % 60), 2);
    *p++ = '.';
    p = put_digits(p, _usec % SEC, 6);
    *p++ = _utc < 0 ? '-' : '+';
    p = put_digits(p, static_cast<uint64>(_utc < 0 ? -_utc : _utc), 3);
    return String(buf, static_cast<size_t>(p - buf));
}

bool Datetime::set(const char* text)
{
    if (!text)
        return false;
    size_t n = 0;
    while (n <= TEXT_SIZE && text[n])
        n++;
    if (n != TEXT_SIZE || text[14] != '.')
        return false;
    uint64 hh, mm, ss, us, tail;
    if (!digits(text + 8, 2, hh) || !digits(text + 10, 2, mm) || !digits(text + 12, 2, ss) ||
        !digits(text + 15, 6, us) || !digits(text + 22, 3, tail))
        return false;
    if (hh > 23 || mm > 59 || ss > 59)
        return false;
    uint64 time_of_day = hh * HOUR + mm * MIN + ss * SEC + us;
    if (text[21] == ':') {
        uint64 days;
        if (tail != 0 || !digits(text, 8, days))
            return false;
        set(days * DAY + time_of_day);
        return true;
    }
    if (text[21] != '+' && text[21] != '-')
        return false;
    uint64 y, mo, d;
    if (!digits(text, 4, y) || !digits(text + 4, 2, mo) || !digits(text + 6, 2, d))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > days_in_month(static_cast<sint64>(y), static_cast<unsigned>(mo)))
        return false;
    sint32 offset = static_cast<sint32>(tail);
    if (text[21] == '-')
        offset = -offset;
    sint64 local = days_from_civil(static_cast<sint64>(y), static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 +
                   static_cast<sint64>(hh * 3600 + mm * 60 + ss);
    sint64 utc = local - static_cast<sint64>(offset) * 60;
    if (utc < 0)
        return false; // before the epoch: not representable
    set(static_cast<uint64>(utc) * SEC + us, offset);
    return true;
}

} // namespace cimple
