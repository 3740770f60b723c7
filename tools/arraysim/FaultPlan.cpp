#include "FaultPlan.hpp"

#include <algorithm>
#include <stdexcept>

namespace arraysim {

namespace {
struct Named { FaultKind kind; const char* name; };
constexpr Named kNames[] = {
    {FaultKind::Refuse, "refuse"},
    {FaultKind::NoTls, "no_tls"},
    {FaultKind::SelfSigned, "self_signed"},
    {FaultKind::ChainWithRoot, "chain_with_root"},
    {FaultKind::WrongName, "wrong_name"},
    {FaultKind::NoName, "no_name"},
    {FaultKind::Drop, "drop"},
    {FaultKind::Stall, "stall"},
    {FaultKind::Truncate, "truncate"},
    {FaultKind::WrongLength, "wrong_length"},
    {FaultKind::WrongPacketId, "wrong_packet_id"},
    {FaultKind::CommStatus, "comm_status"},
    {FaultKind::Oversize, "oversize"},
    {FaultKind::CorruptContainer, "corrupt_container"},
    {FaultKind::Busy, "busy"},
    {FaultKind::Slow, "slow"},
};
}  // namespace

const char* faultName(FaultKind k) {
    for (auto& n : kNames)
        if (n.kind == k) return n.name;
    return "unknown";
}

Json Fault::toJson() const {
    Json j{{"kind", faultName(kind)}, {"packet", packet}, {"remaining", remaining},
           {"seconds", seconds}, {"millis", millis}, {"status", status}, {"length", length}, {"after_cli", afterCli}};
    if (command) j["command"] = *command;
    return j;
}

Fault Fault::fromJson(const Json& j) {
    Fault f;
    const std::string k = str(j, "kind");
    auto it = std::find_if(std::begin(kNames), std::end(kNames), [&](const Named& n) { return k == n.name; });
    if (it == std::end(kNames)) throw std::invalid_argument("unknown fault kind \"" + k + "\"");
    f.kind = it->kind;
    f.packet = str(j, "packet");
    static const char* packets[] = {"", "CE31", "CA35", "DA00", "DE00", "C639"};
    if (std::find(std::begin(packets), std::end(packets), f.packet) == std::end(packets))
        throw std::invalid_argument("unknown packet \"" + f.packet + "\"");
    if (j.contains("command")) f.command = static_cast<std::uint16_t>(num(j, "command"));
    f.remaining = j.contains("count") ? static_cast<int>(num(j, "count")) : -1;
    if (f.remaining == 0) f.remaining = -1;
    f.seconds = static_cast<std::uint32_t>(num(j, "seconds", 30));
    f.millis = static_cast<std::uint32_t>(num(j, "millis", 500));
    f.status = static_cast<std::uint32_t>(num(j, "status", f.kind == FaultKind::Busy ? 0x20 : 1));
    f.length = static_cast<std::uint32_t>(num(j, "length", 0));
    f.afterCli = j.value("after_cli", false);
    return f;
}

void FaultPlan::add(const Fault& f) {
    std::lock_guard lk(mu_);
    faults_.push_back(f);
}

void FaultPlan::clear() {
    std::lock_guard lk(mu_);
    faults_.clear();
    ++clears_;
}

bool FaultPlan::cleared(const Fault& taken) const {
    std::lock_guard lk(mu_);
    return clears_ != taken.epoch;
}

std::vector<Fault> FaultPlan::list() const {
    std::lock_guard lk(mu_);
    return faults_;
}

std::optional<Fault> FaultPlan::take(std::initializer_list<FaultKind> kinds, std::uint16_t command,
                                     const std::string& packet, bool exact) {
    std::lock_guard lk(mu_);
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->afterCli || std::find(kinds.begin(), kinds.end(), it->kind) == kinds.end()) continue;
        if (it->command && command != 0 && *it->command != command) continue;
        if (exact ? it->packet != packet : (!it->packet.empty() && !packet.empty() && it->packet != packet)) continue;
        Fault f = *it;
        f.epoch = clears_;
        if (it->remaining > 0 && --it->remaining == 0) faults_.erase(it);
        return f;
    }
    return std::nullopt;
}

bool FaultPlan::armed(FaultKind kind) const {
    std::lock_guard lk(mu_);
    return std::any_of(faults_.begin(), faults_.end(), [&](const Fault& f) { return f.kind == kind && !f.afterCli; });
}

void FaultPlan::wake() {
    std::lock_guard lk(mu_);
    for (Fault& f : faults_) f.afterCli = false;
}

}  // namespace arraysim
