#include "NamedEvent.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <unordered_map>

namespace smis::platform {

struct NamedEvent::State {
    explicit State(std::string n) : name(std::move(n)) {}
    const std::string name;
    mutable std::mutex lock;
    mutable std::condition_variable changed;
    bool signalled = false;
};

namespace {

struct EventRegistry {
    std::mutex lock;
    std::unordered_map<std::string, std::weak_ptr<NamedEvent::State>> byName;
};

EventRegistry& registry()
{
    static EventRegistry* r = new EventRegistry;
    return *r;
}

unsigned nextHandleId()
{
    static std::atomic<unsigned> counter{0};
    return ++counter;
}

}  // namespace

NamedEvent::NamedEvent(std::shared_ptr<State> state, unsigned id) : _state(std::move(state)), _id(id) {}

NamedEvent::~NamedEvent()
{
    EventRegistry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    const std::string name = _state->name;
    _state.reset();
    auto it = r.byName.find(name);
    if (it != r.byName.end() && it->second.expired())
        r.byName.erase(it);
}

std::unique_ptr<NamedEvent> NamedEvent::create(const std::string& name)
{
    try {
        EventRegistry& r = registry();
        std::lock_guard<std::mutex> guard(r.lock);
        std::shared_ptr<State> state = r.byName[name].lock();
        if (!state) {
            state = std::make_shared<State>(name);
            r.byName[name] = state;
        }
        return std::unique_ptr<NamedEvent>(new NamedEvent(std::move(state), nextHandleId()));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<NamedEvent> NamedEvent::open(const std::string& name)
{
    try {
        EventRegistry& r = registry();
        std::lock_guard<std::mutex> guard(r.lock);
        auto it = r.byName.find(name);
        if (it == r.byName.end())
            return nullptr;
        std::shared_ptr<State> state = it->second.lock();
        if (!state)
            return nullptr;
        return std::unique_ptr<NamedEvent>(new NamedEvent(std::move(state), nextHandleId()));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const std::string& NamedEvent::name() const
{
    return _state->name;
}

void NamedEvent::set()
{
    {
        std::lock_guard<std::mutex> guard(_state->lock);
        _state->signalled = true;
    }
    _state->changed.notify_all();
}

void NamedEvent::reset()
{
    std::lock_guard<std::mutex> guard(_state->lock);
    _state->signalled = false;
}

bool NamedEvent::isSet() const
{
    std::lock_guard<std::mutex> guard(_state->lock);
    return _state->signalled;
}

bool NamedEvent::wait(std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(_state->lock);
    const auto signalled = [this] { return _state->signalled; };
    // Beyond a year the deadline arithmetic could overflow: wait without one.
    if (timeout >= std::chrono::hours(24 * 365)) {
        _state->changed.wait(guard, signalled);
        return true;
    }
    if (timeout.count() <= 0)
        return _state->signalled;
    return _state->changed.wait_for(guard, timeout, signalled);
}

}  // namespace smis::platform
