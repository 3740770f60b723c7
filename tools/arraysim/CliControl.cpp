#include "CliControl.hpp"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "CliGrammar.hpp"

namespace arraysim {

Json CliFault::toJson() const {
    return Json{{"array", array},     {"command", command},   {"status", reply.status},
                {"message", reply.message}, {"option", reply.option}, {"parameter", reply.parameter},
                {"remaining", remaining}, {"stall", stallSeconds}};
}

CliFault CliFault::fromJson(const Json& j) {
    CliFault f;
    f.array = num(j, "array");
    f.command = str(j, "command");
    if (!f.command.empty()) {
        const auto names = CliGrammar::commandNames();
        if (std::find(names.begin(), names.end(), f.command) == names.end())
            throw std::invalid_argument("unknown command \"" + f.command + "\"");
    }
    if (j.contains("stall")) {
        f.stallSeconds = static_cast<std::uint32_t>(num(j, "stall"));
        if (f.stallSeconds == 0 || f.stallSeconds > 600) throw std::invalid_argument("stall needs 1 to 600 seconds");
        f.remaining = j.contains("count") ? static_cast<int>(num(j, "count")) : 1;
        if (f.remaining == 0) f.remaining = -1;
        return f;
    }
    if (j.contains("busy")) {
        f.reply = CliOutcome::error(cli_msg::kBusy);
        f.remaining = static_cast<int>(num(j, "busy"));
        if (f.remaining <= 0) throw std::invalid_argument("busy needs a count above 0");
        return f;
    }
    const auto status = num(j, "status", 2);
    if (status == 0) throw std::invalid_argument("an armed reply needs a non-zero status");
    if (!j.contains("message")) throw std::invalid_argument("an armed reply needs a message number");
    const auto message = static_cast<std::uint32_t>(num(j, "message"));
    f.reply = status == 1 ? CliOutcome::refuse(message, str(j, "option"), str(j, "parameter"))
                          : CliOutcome::error(message);
    f.reply.status = static_cast<std::uint32_t>(status);
    f.remaining = j.contains("count") ? static_cast<int>(num(j, "count")) : 1;
    if (f.remaining == 0) f.remaining = -1;
    return f;
}

void CliControl::arm(const CliFault& fault) {
    std::lock_guard lk(mu_);
    faults_.push_back(fault);
}

void CliControl::clear(std::size_t array) {
    {
        std::lock_guard lk(mu_);
        faults_.erase(
            std::remove_if(faults_.begin(), faults_.end(), [&](const CliFault& f) { return f.array == array; }),
            faults_.end());
        ++clears_;
    }
    cleared_.notify_all();
}

std::vector<CliFault> CliControl::faults(std::size_t array) const {
    std::lock_guard lk(mu_);
    std::vector<CliFault> out;
    for (auto& f : faults_)
        if (f.array == array) out.push_back(f);
    return out;
}

void CliControl::stall(std::size_t array, const std::string& command) {
    std::unique_lock lk(mu_);
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->array != array || it->stallSeconds == 0 || (!it->command.empty() && it->command != command)) continue;
        const auto seconds = it->stallSeconds;
        if (it->remaining > 0 && --it->remaining == 0) faults_.erase(it);
        const auto clears = clears_;
        cleared_.wait_for(lk, std::chrono::seconds(seconds), [&] { return clears_ != clears; });
        return;
    }
}

std::optional<CliOutcome> CliControl::take(std::size_t array, const std::string& command) {
    std::lock_guard lk(mu_);
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->array != array || it->stallSeconds != 0 || (!it->command.empty() && it->command != command)) continue;
        CliOutcome reply = it->reply;
        if (it->remaining > 0 && --it->remaining == 0) faults_.erase(it);
        return reply;
    }
    return std::nullopt;
}

void CliControl::record(std::size_t array, const std::string& line, const CliOutcome& outcome) {
    std::lock_guard lk(mu_);
    journal_.push_back(Json{{"seq", next_++},
                            {"array", array},
                            {"line", line},
                            {"status", outcome.status},
                            {"message", outcome.message},
                            {"results", outcome.results}});
    while (journal_.size() > kKeep) journal_.pop_front();
}

Json CliControl::journal(std::size_t array) const {
    std::lock_guard lk(mu_);
    Json out = Json::array();
    for (auto& e : journal_)
        if (num(e, "array") == array) out.push_back(e);
    return out;
}

void CliControl::clearJournal() {
    std::lock_guard lk(mu_);
    journal_.clear();
}

}  // namespace arraysim
