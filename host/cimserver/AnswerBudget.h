// What all the answers waiting for their clients may hold together: memory
// (chunks that did not leave yet) and spool (the same on disk). An answer
// takes memory while the total allows and spools the rest; past the spool's
// total, the answer furthest behind (the most bytes spooled and unsent) is
// marked lost, so a crowd of slow readers costs the slowest of them their
// connections and never the server's memory or disk. One answer's own
// bound pauses its walk instead: its client, reading, makes room.
#ifndef HOST_CIMSERVER_ANSWER_BUDGET_H
#define HOST_CIMSERVER_ANSWER_BUDGET_H

#include "SpoolDirectory.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cimserver {

struct AnswerLimits {
    std::size_t memory = std::size_t(256) << 20;  // chunks in memory, all answers together
    std::size_t spool = std::size_t(2) << 30;     // bytes spooled and unsent, all answers together
    std::shared_ptr<const SpoolDirectory> spool_folder; // none: nothing is spooled
};

class AnswerBudget {
public:
    // One answer's share of the spool.
    struct Claim {
        std::atomic<bool> lost{false}; // set when the answer must give up its connection
        std::size_t pending = 0;       // bytes spooled and unsent (under the budget's mutex)
        bool listed = false;
    };

    // on_loss: called (from any thread) after a claim was marked lost.
    explicit AnswerBudget(AnswerLimits limits, std::function<void()> on_loss = {})
        : _limits(std::move(limits)), _on_loss(std::move(on_loss))
    {
    }

    const AnswerLimits& limits() const { return _limits; }

    // Whether an answer with held bytes waiting (memory and spool together)
    // may queue n more under cap, one answer's bound (0: none): at once, once
    // its client has taken enough (its walk pauses meanwhile), or never (the
    // bytes alone pass the cap).
    enum class Room { Now, AfterClientReads, Never };
    static Room room(std::size_t held, std::size_t n, std::size_t cap);

    // False when n more bytes in memory would pass the total.
    bool take_memory(std::size_t n);
    void give_memory(std::size_t n) { _memory -= n; }
    std::size_t memory() const { return _memory; }

    std::shared_ptr<Claim> claim();
    // Counts n more spooled bytes for the claim. Past the total, claims
    // further behind than this one are marked lost until the bytes fit;
    // false (and the claim lost) when this one is itself furthest behind.
    bool take_spool(Claim& claim, std::size_t n);
    void give_spool(Claim& claim, std::size_t n);
    // The claim's answer is over: what it still counts goes back.
    void release(Claim& claim);
    std::size_t spooled() const;

private:
    void drop(Claim& claim); // under _mutex

    AnswerLimits _limits;
    std::function<void()> _on_loss;
    std::atomic<std::size_t> _memory{0};
    mutable std::mutex _mutex;
    std::size_t _spooled = 0;
    std::vector<Claim*> _claims; // those that count spooled bytes
};

} // namespace cimserver

#endif
