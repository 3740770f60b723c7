#include "LockRegister.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace smis::platform {

namespace {

struct Held {
    const void* token;
    std::string name;
};

// The reported locks this thread holds, in the order it took them (one
// entry per taking, so nested takings release one at a time).
thread_local std::vector<Held> heldByThread;

std::mutex handlerLock;
LockRegister::Handler& handlerSlot()
{
    static LockRegister::Handler handler;
    return handler;
}

}  // namespace

#ifdef SMIS_LOCK_REGISTER

bool LockRegister::active()
{
    return true;
}

void LockRegister::held(const void* token, const std::string& name)
{
    heldByThread.push_back({token, name});
}

void LockRegister::released(const void* token)
{
    // The latest taking of the token goes (takings of different locks need
    // not end in the reverse order).
    for (auto it = heldByThread.rbegin(); it != heldByThread.rend(); ++it)
        if (it->token == token) {
            heldByThread.erase(std::next(it).base());
            return;
        }
}

void LockRegister::exchange(const char* what)
{
    if (heldByThread.empty())
        return;
    std::string report = "lock register: ";
    report += what ? what : "an array exchange";
    report += " while this thread holds";
    for (const Held& h : heldByThread)
        report += " [" + h.name + "]";
    Handler handler;
    {
        std::lock_guard<std::mutex> guard(handlerLock);
        handler = handlerSlot();
    }
    if (handler) {
        handler(report);
        return;
    }
    std::fprintf(stderr, "%s\n", report.c_str());
    std::fflush(stderr);
    std::abort();
}

#else

bool LockRegister::active()
{
    return false;
}

void LockRegister::held(const void*, const std::string&) {}

void LockRegister::released(const void*) {}

void LockRegister::exchange(const char*) {}

#endif

std::vector<std::string> LockRegister::heldNames()
{
    std::vector<std::string> names;
    for (const Held& h : heldByThread)
        names.push_back(h.name);
    return names;
}

LockRegister::Handler LockRegister::onViolation(Handler handler)
{
    std::lock_guard<std::mutex> guard(handlerLock);
    return std::exchange(handlerSlot(), std::move(handler));
}

}  // namespace smis::platform
