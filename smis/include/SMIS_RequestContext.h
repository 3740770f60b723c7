#pragma once
// What provider code may know about the CIM request it is answering: whether
// its client is still there, whether the server is stopping, which arrays
// already failed to answer in time during this request, and which arrays'
// command channels it already waited a whole time-out for.
//
// The host makes one context per request and installs it on the thread that
// answers the request for as long as it does; code below finds it with
// current(). The host marks it when the client's connection closes, from any
// thread, and waiters wake at once. Where no host installs one (another CIM
// server), the static helpers answer as for a client that never leaves, and
// the server's stop is still seen through the cancel event.
//
//   // host, per request
//   auto context = std::make_shared<SMIS_RequestContext>();
//   SMIS_RequestContext::Scope scope(*context);
//   ...                                      // another thread: context->clientLeft();
//
//   // provider, in a wait loop
//   if (SMIS_RequestContext::waitCurrent(interval))
//       return FAILED;                       // client gone or server stopping

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace smis::platform {
class NamedEvent;
}

namespace cimple {

class SMIS_RequestContext {
public:
    // The machine-wide event the server's stop sets; every wait watches it.
    static constexpr const char* CANCEL_EVENT_NAME = "Global\\SMIS_Event_Cancel_Connection";

    SMIS_RequestContext();
    ~SMIS_RequestContext();
    SMIS_RequestContext(const SMIS_RequestContext&) = delete;
    SMIS_RequestContext& operator=(const SMIS_RequestContext&) = delete;

    // Installs a context on this thread for the scope's life; the one
    // installed before comes back at its end.
    class Scope {
    public:
        explicit Scope(SMIS_RequestContext& context);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        SMIS_RequestContext* _previous;
    };

    // The context of the request this thread answers; null outside one.
    static SMIS_RequestContext* current();

    // The host: the client's connection closed. Any thread; wakes waiters.
    void clientLeft();

    // Lock-free, so a walk may ask it as often as it likes.
    bool clientGone() const { return _gone.load(std::memory_order_relaxed); }
    // The client is gone or the server is stopping.
    bool cancelled() const;
    // Waits up to timeout, ending at once when the request is cancelled;
    // true when it is.
    bool waitCancelled(std::chrono::milliseconds timeout) const;

    // An array that did not answer in time during this request is not asked
    // again by it; the rest of the answer comes from the table.
    void noteTimedOut(const std::string& address);
    bool timedOut(const std::string& address) const;
    // An array whose command channel stayed held by other (answering)
    // exchanges for a whole time-out while this request waited for it: the
    // array is not silent, but the request does not wait for its channel
    // again.
    void noteChannelBusy(const std::string& address);
    bool channelBusy(const std::string& address) const;
    // A wait the client asked for (a copy wait) asks the array again on
    // each of its passes: it forgets an earlier time-out or busy channel of
    // that array.
    void forgetTimedOut(const std::string& address);

    // The same for the current request; without one: the client never
    // leaves, the cancel event alone cancels, and no array is remembered.
    static bool currentClientGone();
    static bool currentCancelled();
    static bool waitCurrent(std::chrono::milliseconds timeout);
    static void noteCurrentTimedOut(const std::string& address);
    static bool currentTimedOut(const std::string& address);
    static void noteCurrentChannelBusy(const std::string& address);
    static bool currentChannelBusy(const std::string& address);
    static void forgetCurrentTimedOut(const std::string& address);

    // True when the server's cancel event is set (false while none exists).
    static bool stopping();

private:
    mutable std::mutex _lock;
    mutable std::condition_variable _changed;
    std::atomic<bool> _gone{false}; // set under _lock, so a waiter cannot miss it
    void _note(std::set<std::string>& addresses, const std::string& address);
    bool _has(const std::set<std::string>& addresses, const std::string& address) const;

    std::set<std::string> _timedOut;
    std::set<std::string> _channelBusy;
    // The cancel event, opened at the first wait that needs it.
    mutable std::unique_ptr<smis::platform::NamedEvent> _cancel;
};

}  // namespace cimple
