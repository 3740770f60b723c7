#pragma once
// In-process named queues of owned heap records.
//
// A queue exists from the receiving end's create() until that object is
// destroyed (or remove() is called). Senders find it by name; a record handed
// to send() belongs to the queue from then on, and to the receiver once it
// is received. Records still queued when the queue is removed are freed with
// std::free, so nothing sent is ever lost to a leak. Records never leave the
// process: the queue carries pointers, not bytes.
//
//   auto q = RecordQueue::create("q");                 // receiving end
//   RecordQueue::send("q", RecordQueue::Record(p, size));  // any thread
//   RecordQueue::Record r = q->receive(std::chrono::milliseconds(500));

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>

namespace smis::platform {

class RecordQueue {
public:
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    // One record: a block of the C heap (freed with std::free) and its size.
    struct Record {
        Record() = default;
        Record(void* block, std::size_t size) : data(block), bytes(size) {}
        std::unique_ptr<void, FreeDeleter> data;
        std::size_t bytes = 0;
        explicit operator bool() const { return data != nullptr; }
    };

    enum class SendResult { SENT, NO_QUEUE, INVALID };

    // The receiving end of a new queue of that name; null when a queue of
    // that name exists already.
    static std::unique_ptr<RecordQueue> create(const std::string& name);
    // True while a queue of that name exists.
    static bool exists(const std::string& name);
    // Hands the record to the queue of that name. On anything but SENT the
    // record is freed here, so the caller never has to (a null record gives
    // INVALID). Never waits for the receiver.
    static SendResult send(const std::string& name, Record record);

    // Removes the queue and frees every record still queued.
    ~RecordQueue();
    RecordQueue(const RecordQueue&) = delete;
    RecordQueue& operator=(const RecordQueue&) = delete;

    const std::string& name() const { return _name; }
    // The oldest record, waiting up to the timeout; an empty record when none
    // arrived in time.
    Record receive(std::chrono::milliseconds timeout);
    // Records waiting.
    std::size_t pending() const;

    struct State;

private:
    RecordQueue(std::string name, std::shared_ptr<State> state);

    std::string _name;
    std::shared_ptr<State> _state;
};

}  // namespace smis::platform
