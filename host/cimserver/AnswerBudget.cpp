#include "AnswerBudget.h"

#include <algorithm>

namespace cimserver {

bool AnswerBudget::take_memory(std::size_t n)
{
    std::size_t now = _memory.load();
    do {
        if (now + n > _limits.memory)
            return false;
    } while (!_memory.compare_exchange_weak(now, now + n));
    return true;
}

AnswerBudget::Room AnswerBudget::room(std::size_t held, std::size_t n, std::size_t cap)
{
    if (cap == 0 || (held <= cap && n <= cap - held))
        return Room::Now;
    return n > cap ? Room::Never : Room::AfterClientReads;
}

std::shared_ptr<AnswerBudget::Claim> AnswerBudget::claim()
{
    return std::make_shared<Claim>();
}

void AnswerBudget::drop(Claim& claim)
{
    _spooled -= claim.pending;
    claim.pending = 0;
    if (claim.listed) {
        _claims.erase(std::find(_claims.begin(), _claims.end(), &claim));
        claim.listed = false;
    }
}

bool AnswerBudget::take_spool(Claim& claim, std::size_t n)
{
    bool others_lost = false;
    bool fits = true;
    {
        std::lock_guard lock(_mutex);
        if (claim.lost)
            return false;
        while (_spooled + n > _limits.spool) {
            Claim* behind = &claim;
            std::size_t most = claim.pending + n;
            for (Claim* c : _claims)
                if (c != &claim && c->pending > most) {
                    behind = c;
                    most = c->pending;
                }
            behind->lost = true;
            drop(*behind);
            if (behind == &claim) {
                fits = false;
                break;
            }
            others_lost = true;
        }
        if (fits) {
            _spooled += n;
            claim.pending += n;
            if (!claim.listed) {
                _claims.push_back(&claim);
                claim.listed = true;
            }
        }
    }
    if (others_lost && _on_loss)
        _on_loss();
    return fits;
}

void AnswerBudget::give_spool(Claim& claim, std::size_t n)
{
    std::lock_guard lock(_mutex);
    if (!claim.listed)
        return; // dropped already
    n = std::min(n, claim.pending);
    claim.pending -= n;
    _spooled -= n;
}

void AnswerBudget::release(Claim& claim)
{
    std::lock_guard lock(_mutex);
    drop(claim);
}

std::size_t AnswerBudget::spooled() const
{
    std::lock_guard lock(_mutex);
    return _spooled;
}

} // namespace cimserver
