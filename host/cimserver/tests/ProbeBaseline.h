#pragma once
// How long a probe may take while something else is held: what the same
// probe took in the same test with nothing held, times three or plus 5 s,
// whichever is more. That follows the machine's load (a method that logs in
// over SSH takes a second on a quiet machine and several under many
// builds), while a probe that waited for the hold (a stall of 30 s or more)
// is past it many times over.
#include <algorithm>
#include <chrono>
#include <map>
#include <string>

namespace cimserver::test {

class ProbeBaseline {
public:
    using Clock = std::chrono::steady_clock;

    // The time of a probe asked with nothing held.
    void record(const std::string& probe, Clock::duration took) { _baseline[probe] = took; }
    bool recorded() const { return !_baseline.empty(); }

    // The bound for that probe: zero for a probe that has no baseline, so
    // that a probe left out of the baseline round fails rather than passes.
    Clock::duration bound(const std::string& probe) const
    {
        const auto it = _baseline.find(probe);
        if (it == _baseline.end())
            return Clock::duration::zero();
        return std::max<Clock::duration>(3 * it->second, it->second + std::chrono::seconds(5));
    }

private:
    std::map<std::string, Clock::duration> _baseline;
};

} // namespace cimserver::test
