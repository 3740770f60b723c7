#include "LoginThrottle.h"

#include <algorithm>
#include <climits>

namespace cimserver {

LoginThrottle::Failures* LoginThrottle::entry(const std::string& address, Clock::time_point now, bool make)
{
    auto it = _addresses.find(address);
    if (it == _addresses.end() && _addresses.size() >= ADDRESSES)
        std::erase_if(_addresses, [&](const auto& a) { return now - a.second.last > MEMORY; });
    Failures* f = nullptr;
    if (it != _addresses.end())
        f = &it->second;
    else if (_addresses.size() >= ADDRESSES)
        f = &_overflow; // past the table, every further address is one
    else if (make)
        f = &_addresses[address];
    if (f)
        f->forget_if_quiet(now);
    return f;
}

bool LoginThrottle::crowded(Clock::time_point now) const
{
    return _all.count >= FREE_FAILURES_IN_ALL && now - _all.last <= MEMORY;
}

LoginThrottle::Clock::time_point LoginThrottle::turn(const std::string& address, Clock::time_point now)
{
    Failures* f = entry(address, now, false);
    if (!f || f->count == 0)
        return now; // never failed: never held back
    const bool own = f->count >= FREE_FAILURES;
    const bool shared = crowded(now);
    if (!own && !shared)
        return now;
    Clock::time_point t = now;
    if (own)
        t = std::max(t, f->next_turn);
    if (shared)
        t = std::max(t, _all.next_turn);
    if (t - now > LONGEST_WAIT)
        return Clock::time_point::max();
    if (own)
        f->next_turn = t + _delay;
    if (shared)
        _all.next_turn = t + _delay / 10;
    return t;
}

void LoginThrottle::failed(const std::string& address, Clock::time_point now)
{
    Failures* f = entry(address, now, true);
    if (f->count < UINT_MAX)
        f->count++;
    f->last = now;
    if (f->count == FREE_FAILURES)
        f->next_turn = std::max(f->next_turn, now + _delay);
    _all.forget_if_quiet(now);
    if (_all.count < UINT_MAX)
        _all.count++;
    _all.last = now;
    if (_all.count == FREE_FAILURES_IN_ALL)
        _all.next_turn = std::max(_all.next_turn, now + _delay / 10);
}

} // namespace cimserver
