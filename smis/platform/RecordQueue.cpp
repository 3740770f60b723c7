#include "RecordQueue.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace smis::platform {

struct RecordQueue::State {
    mutable std::mutex lock;
    std::condition_variable arrived;
    std::deque<Record> records;
    bool open = true;
};

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, std::weak_ptr<RecordQueue::State>> queues;
};

Registry& registry() {
    static Registry* r = new Registry;  // outlives every static queue end
    return *r;
}

std::shared_ptr<RecordQueue::State> find(const std::string& name) {
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    auto it = r.queues.find(name);
    if (it == r.queues.end()) return nullptr;
    auto state = it->second.lock();
    if (!state) r.queues.erase(it);
    return state;
}

}  // namespace

RecordQueue::RecordQueue(std::string name, std::shared_ptr<State> state)
    : _name(std::move(name)), _state(std::move(state)) {}

std::unique_ptr<RecordQueue> RecordQueue::create(const std::string& name) {
    Registry& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    auto it = r.queues.find(name);
    if (it != r.queues.end() && !it->second.expired()) return nullptr;
    auto state = std::make_shared<State>();
    r.queues[name] = state;
    return std::unique_ptr<RecordQueue>(new RecordQueue(name, std::move(state)));
}

bool RecordQueue::exists(const std::string& name) { return find(name) != nullptr; }

RecordQueue::SendResult RecordQueue::send(const std::string& name, Record record) {
    if (!record) return SendResult::INVALID;
    auto state = find(name);
    if (!state) return SendResult::NO_QUEUE;
    {
        std::lock_guard<std::mutex> g(state->lock);
        if (!state->open) return SendResult::NO_QUEUE;  // record freed on return
        state->records.push_back(std::move(record));
    }
    state->arrived.notify_one();
    return SendResult::SENT;
}

RecordQueue::~RecordQueue() {
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> g(r.lock);
        auto it = r.queues.find(_name);
        if (it != r.queues.end() && it->second.lock() == _state) r.queues.erase(it);
    }
    std::deque<Record> left;
    {
        std::lock_guard<std::mutex> g(_state->lock);
        _state->open = false;
        left.swap(_state->records);
    }
    // left frees the records still queued
}

RecordQueue::Record RecordQueue::receive(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> g(_state->lock);
    if (!_state->arrived.wait_for(g, timeout, [this] { return !_state->records.empty(); })) return Record();
    Record r = std::move(_state->records.front());
    _state->records.pop_front();
    return r;
}

std::size_t RecordQueue::pending() const {
    std::lock_guard<std::mutex> g(_state->lock);
    return _state->records.size();
}

}  // namespace smis::platform
