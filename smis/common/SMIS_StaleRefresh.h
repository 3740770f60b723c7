#pragma once
// Arrays whose cache missed a change a method made on them.
//
// A method that changed an array refreshes the array's table (or copy
// sessions) before it answers. When that refresh fails (the array answered
// busy, went silent, the cache could not be written), the answer still names
// what the array made, but the cache does not hold it: without more, the
// client would not see it until the next periodic poll, minutes later. The
// refresh marks the array here instead, and the polling service runs the
// array's refresh task again after a short back-off, doubling up to a cap,
// until a refresh of that kind succeeds. Refreshes the polling tasks make on
// their own schedule only settle a mark; they never set one, so an array
// that is merely down is not asked more often than its intervals say.

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace cimple {

class SMIS_StaleRefresh {
public:
    enum Kind { TABLE = 0, COPY_SESSIONS = 1 };
    static constexpr std::chrono::milliseconds FIRST_RETRY{1000};
    static constexpr std::chrono::milliseconds RETRY_CAP{4000};

    using Clock = std::chrono::steady_clock;

    // The outcome of one refresh (0 success, -1 cancelled, else a failure):
    // a success clears the mark; a failure sets it when mayMark (a method's
    // refresh), otherwise it leaves an existing mark for its next retry.
    void settle(const std::string& address, Kind kind, int result, bool mayMark);
    // Asks for a refresh of that kind at once (then, until one succeeds, with
    // the same back-off as a missed change): the array's first table arrived,
    // and the copy sessions, which need it, were not refreshed yet.
    void dueNow(const std::string& address, Kind kind);

    // The marks whose retry is due at now, handed out once: each one's next
    // retry is put one back-off further (doubling, at most RETRY_CAP). The
    // caller runs the refresh only where ready(address, kind) says it can
    // start now; the others keep their due time and are offered again.
    template <class Ready>
    std::vector<std::pair<std::string, Kind>> takeDue(Clock::time_point now, Ready&& ready)
    {
        std::vector<std::pair<std::string, Kind>> due;
        std::lock_guard<std::mutex> lock(_mutex);
        for (auto& [key, mark] : _marks) {
            if (mark.due > now || !ready(key.first, key.second))
                continue;
            due.push_back(key);
            mark.due = now + mark.backoff;
            mark.backoff = std::min(mark.backoff * 2, RETRY_CAP);
        }
        return due;
    }

    bool marked(const std::string& address, Kind kind) const;

    // True on the thread of a polling task: its refreshes do not set marks.
    static bool onPollingTask();
    // Marks the calling thread as a polling task's for the scope.
    class PollingTaskScope {
    public:
        PollingTaskScope();
        ~PollingTaskScope();
        PollingTaskScope(const PollingTaskScope&) = delete;
        PollingTaskScope& operator=(const PollingTaskScope&) = delete;

    private:
        bool _previous;
    };

private:
    struct Mark {
        Clock::time_point due;
        std::chrono::milliseconds backoff{FIRST_RETRY};
    };
    mutable std::mutex _mutex;
    std::map<std::pair<std::string, Kind>, Mark> _marks;
};

}  // namespace cimple
