#pragma once
// Checks, in the builds that compile it on (SMIS_LOCK_REGISTER), that no
// thread talks to an array while it holds a lock that other requests need.
//
// The locks that must never be held across an array exchange (a table
// view's or table's mutex, a provider object's mutex, ...) report when a
// thread takes and lets go of them; every exchange (a binary command, a
// command-line command, a copy-state poll) asks the register first. An
// exchange on a thread that holds a reported lock is a violation: by default
// the register writes what happened to stderr and aborts the process, so no
// test run can miss it. The per-array method lock and the one-exchange
// command mutex are allowed across an exchange and do not report.
//
//   LockRegister::held(handle, "table mutex 10.0.0.1");
//   ...
//   LockRegister::exchange("binary command 10.0.0.1");  // aborts: held above
//   LockRegister::released(handle);
//
// In a build without SMIS_LOCK_REGISTER every call does nothing.

#include <functional>
#include <string>
#include <vector>

namespace smis::platform {

class LockRegister {
public:
    // True when this build checks the rule.
    static bool active();

    // This thread has taken (released) the lock known by token, a forbidden
    // one, named name in a report. Nested takings of one token count.
    static void held(const void* token, const std::string& name);
    static void released(const void* token);

    // This thread starts an array exchange described by what: a violation
    // when it holds any reported lock.
    static void exchange(const char* what);

    // The names of the reported locks this thread holds, oldest first.
    static std::vector<std::string> heldNames();

    // Replaces what a violation does (by default: report to stderr, abort)
    // with handler, which receives the report; returns the previous one (an
    // empty one stands for the default).
    using Handler = std::function<void(const std::string& report)>;
    static Handler onViolation(Handler handler);

    // Reports a lock as held for the life of a scope.
    class Hold {
    public:
        Hold(const void* token, const std::string& name) : _token(token) { held(token, name); }
        ~Hold() { released(_token); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        const void* _token;
    };
};

}  // namespace smis::platform
