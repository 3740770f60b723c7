#include "RequestLog.hpp"

namespace arraysim {

void RequestLog::add(RequestRecord r) {
    std::lock_guard lk(mu_);
    r.seq = next_++;
    records_.push_back(std::move(r));
    while (records_.size() > kKeep) records_.pop_front();
}

Json RequestLog::since(std::uint64_t after) const {
    std::lock_guard lk(mu_);
    Json out = Json::array();
    for (auto& r : records_) {
        if (r.seq <= after) continue;
        out.push_back(Json{{"seq", r.seq}, {"array", r.array}, {"command", r.command}, {"params", r.params},
                           {"data_in", r.dataIn}, {"status", r.status}, {"data_out", r.dataOut},
                           {"outcome", r.outcome}});
    }
    return out;
}

void RequestLog::clear() {
    std::lock_guard lk(mu_);
    records_.clear();
}

}  // namespace arraysim
