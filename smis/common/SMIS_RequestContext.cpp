#include "SMIS_RequestContext.h"

#include <algorithm>
#include <thread>

#include "NamedEvent.h"

namespace cimple {

namespace {

thread_local SMIS_RequestContext* installed = nullptr;

// A wait looks at the cancel event at least this often; the client's leaving
// wakes it at once.
constexpr std::chrono::milliseconds STOP_CHECK{50};

bool eventSet(const smis::platform::NamedEvent* event)
{
    return event && event->isSet();
}

}  // namespace

SMIS_RequestContext::SMIS_RequestContext() = default;
SMIS_RequestContext::~SMIS_RequestContext() = default;

SMIS_RequestContext::Scope::Scope(SMIS_RequestContext& context) : _previous(installed)
{
    installed = &context;
}

SMIS_RequestContext::Scope::~Scope()
{
    installed = _previous;
}

SMIS_RequestContext* SMIS_RequestContext::current()
{
    return installed;
}

void SMIS_RequestContext::clientLeft()
{
    {
        std::lock_guard<std::mutex> guard(_lock);
        _gone = true;
    }
    _changed.notify_all();
}

bool SMIS_RequestContext::stopping()
{
    auto event = smis::platform::NamedEvent::open(CANCEL_EVENT_NAME);
    return eventSet(event.get());
}

bool SMIS_RequestContext::cancelled() const
{
    return clientGone() || stopping();
}

bool SMIS_RequestContext::waitCancelled(std::chrono::milliseconds timeout) const
{
    const auto end = std::chrono::steady_clock::now() + std::min(timeout, std::chrono::milliseconds(std::chrono::hours(24 * 365)));
    std::unique_lock<std::mutex> guard(_lock);
    for (;;) {
        if (_gone.load())
            return true;
        if (!_cancel)
            _cancel = smis::platform::NamedEvent::open(CANCEL_EVENT_NAME);
        if (eventSet(_cancel.get()))
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return false;
        const auto slice = std::min<std::chrono::steady_clock::duration>(end - now, STOP_CHECK);
        _changed.wait_for(guard, slice, [this] { return _gone.load(); });
    }
}

void SMIS_RequestContext::_note(std::set<std::string>& addresses, const std::string& address)
{
    std::lock_guard<std::mutex> guard(_lock);
    addresses.insert(address);
}

bool SMIS_RequestContext::_has(const std::set<std::string>& addresses, const std::string& address) const
{
    std::lock_guard<std::mutex> guard(_lock);
    return addresses.count(address) != 0;
}

void SMIS_RequestContext::noteTimedOut(const std::string& address) { _note(_timedOut, address); }

bool SMIS_RequestContext::timedOut(const std::string& address) const { return _has(_timedOut, address); }

void SMIS_RequestContext::noteChannelBusy(const std::string& address) { _note(_channelBusy, address); }

bool SMIS_RequestContext::channelBusy(const std::string& address) const { return _has(_channelBusy, address); }

void SMIS_RequestContext::forgetTimedOut(const std::string& address)
{
    std::lock_guard<std::mutex> guard(_lock);
    _timedOut.erase(address);
    _channelBusy.erase(address);
}

bool SMIS_RequestContext::currentClientGone()
{
    return installed && installed->clientGone();
}

bool SMIS_RequestContext::currentCancelled()
{
    return installed ? installed->cancelled() : stopping();
}

bool SMIS_RequestContext::waitCurrent(std::chrono::milliseconds timeout)
{
    if (installed)
        return installed->waitCancelled(timeout);
    if (auto event = smis::platform::NamedEvent::open(CANCEL_EVENT_NAME))
        return event->wait(timeout);
    // Nothing can cancel: the wait only paces.
    std::this_thread::sleep_for(timeout);
    return false;
}

void SMIS_RequestContext::noteCurrentTimedOut(const std::string& address)
{
    if (installed)
        installed->noteTimedOut(address);
}

bool SMIS_RequestContext::currentTimedOut(const std::string& address)
{
    return installed && installed->timedOut(address);
}

void SMIS_RequestContext::noteCurrentChannelBusy(const std::string& address)
{
    if (installed)
        installed->noteChannelBusy(address);
}

bool SMIS_RequestContext::currentChannelBusy(const std::string& address)
{
    return installed && installed->channelBusy(address);
}

void SMIS_RequestContext::forgetCurrentTimedOut(const std::string& address)
{
    if (installed)
        installed->forgetTimedOut(address);
}

}  // namespace cimple
