#pragma once
// Named manual-reset events shared by the threads of this process.
//
// Each NamedEvent object is one handle to an event; all handles of one name
// reach the same event, which exists while at least one handle is open.
// An event stays signalled from set() until reset(); every waiter sees it.

#include <chrono>
#include <memory>
#include <string>

namespace smis::platform {

class NamedEvent {
public:
    // A timeout that never ends.
    static constexpr std::chrono::milliseconds INFINITE_WAIT = std::chrono::milliseconds::max();

    // A handle to the event of that name; the event is made (not signalled)
    // when it does not exist yet. Null only when memory runs out.
    static std::unique_ptr<NamedEvent> create(const std::string& name);

    // A handle to the existing event of that name; null when there is none.
    static std::unique_ptr<NamedEvent> open(const std::string& name);

    ~NamedEvent();
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    const std::string& name() const;

    // A small number naming this handle in log texts, unique in the process.
    unsigned id() const { return _id; }

    void set();
    void reset();
    bool isSet() const;

    // Waits until the event is signalled or the timeout has passed; true when
    // it was signalled.
    bool wait(std::chrono::milliseconds timeout) const;

    struct State;

private:
    NamedEvent(std::shared_ptr<State> state, unsigned id);

    std::shared_ptr<State> _state;
    unsigned _id;
};

}  // namespace smis::platform
