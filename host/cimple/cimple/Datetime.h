// A CIM datetime: either a timestamp (microseconds since 1970-01-01 00:00:00
// UTC, with the UTC offset in minutes of the zone it is shown in) or an
// interval (a number of microseconds). Its text form is the 25-character CIM
// form: "yyyymmddhhmmss.mmmmmmsutc" for a timestamp (s is '+' or '-'), and
// "ddddddddhhmmss.mmmmmm:000" for an interval.
#ifndef CIMPLE_DATETIME_H
#define CIMPLE_DATETIME_H

#include <cimple/String.h>
#include <cimple/Type.h>

namespace cimple {

class Datetime {
public:
    static constexpr uint64 USEC = 1;
    static constexpr uint64 MSEC = 1000;
    static constexpr uint64 SEC = 1000 * MSEC;
    static constexpr uint64 MIN = 60 * SEC;
    static constexpr uint64 HOUR = 60 * MIN;
    static constexpr uint64 DAY = 24 * HOUR;
    // Length of the text form, without the terminating zero.
    static constexpr size_t TEXT_SIZE = 25;

    // The zero interval.
    Datetime() = default;
    // An interval of usec microseconds.
    explicit Datetime(uint64 usec) : _usec(usec) {}
    // A timestamp usec microseconds after the epoch, shown at UTC offset
    // utc_offset minutes (-999 to 999).
    Datetime(uint64 usec, sint32 utc_offset) : _usec(usec), _utc(utc_offset), _interval(false) {}

    // The current time as a timestamp in the local zone.
    static Datetime now();

    bool is_interval() const { return _interval; }
    bool is_timestamp() const { return !_interval; }
    uint64 usec() const { return _usec; }
    sint32 offset() const { return _utc; }

    // Makes the value an interval of usec microseconds.
    void set(uint64 usec);
    // Makes the value a timestamp, usec microseconds after the epoch, with
    // the given offset from UTC in minutes.
    void set(uint64 usec, sint32 offset);

    // The 25-character text form. A timestamp after 9999-12-31 or an interval
    // of more than 99999999 days cannot be written and gives "".
    String ascii() const;
    // Reads the text form; false (value unchanged) for anything else.
    bool set(const char* text);

    friend bool operator==(const Datetime& a, const Datetime& b)
    {
        return a._interval == b._interval && a._usec == b._usec && a._utc == b._utc;
    }
    friend bool operator!=(const Datetime& a, const Datetime& b) { return !(a == b); }

private:
    uint64 _usec = 0;
    sint32 _utc = 0;
    bool _interval = true;
};

} // namespace cimple

#endif
