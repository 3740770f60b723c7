#include "CliSession.hpp"

#include <cstdio>
#include <ctime>
#include <set>
#include <stdexcept>

#include "CliExecutor.hpp"
#include "CliGrammar.hpp"

namespace arraysim {

namespace {

constexpr std::size_t kMaxLine = 64 * 1024;

struct Refused {};

std::string hex(std::uint32_t v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", width, v);
    return buf;
}

std::string utcNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &tm);
    return buf;
}

}  // namespace

CliSession::CliSession(SimulatorState& state, std::size_t array) : state_(state), array_(array) {}

std::string CliSession::greeting() const {
    const std::string model = state_.read(array_, [](const SimArray& a) {
        return str(a.model()["system"], "model_name") + " " + a.name();
    });
    return "\r\nKESTRIS " + model + " command line interface\r\n\r\n" + kPrompt;
}

std::string CliSession::echo(const std::string& line) const {
    // Arrays that wrap long lines echo a command over several lines.
    const auto width = state_.read(array_, [](const SimArray& a) { return num(a.model().value("cli", Json::object()), "echo_width"); });
    if (width == 0 || line.size() <= width) return line + "\r\n";
    std::string out;
    for (std::size_t at = 0; at < line.size(); at += width) out += line.substr(at, width) + "\r\n";
    return out;
}

std::string CliSession::feed(const std::string& bytes) {
    std::string out;
    for (char ch : bytes) {
        if (finished_) break;
        if (ch == '\n') {
            std::string line = std::move(pending_);
            pending_.clear();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out += handleLine(line);
            continue;
        }
        if (pending_.size() < kMaxLine) pending_ += ch;
    }
    return out;
}

std::string CliSession::handleLine(const std::string& line) {
    if (line.empty()) return std::string("\r\n") + kPrompt;
    if (line == "exit") {
        finished_ = true;
        return echo(line);
    }
    const CliOutcome o = execute(line);
    std::string out = echo(line) + hex(o.status, 2) + "\r\n";
    if (o.status == 0) {
        for (auto& r : o.results) out += r + "\r\n";
    } else {
        out += hex(o.message, 4) + "\r\n";
        if (o.status == 1) {
            out += o.option + "\r\n" + (o.hasParameter ? "01" : "00") + "\r\n";
            if (o.hasParameter) out += o.parameter + "\r\n";
        }
    }
    return out + kPrompt;
}

void CliSession::followOnRemoteArray(const CliCommand& command, const CliOutcome& outcome, const Json& before) {
    const std::uint64_t id = command.name == "start copy-xmirrex" ? std::stoul(outcome.results.at(0), nullptr, 16)
                                                                  : command.number("-session-id");
    const auto [box, after] = state_.read(array_, [&](const SimArray& a) {
        Json found;
        for (auto& s : a.model()["copy_sessions"])
            if (num(s, "id") == id) found = s;
        return std::make_pair(str(a.model()["system"], "box_id"), found);
    });
    const Json& known = after.is_null() ? before : after;
    if (known.is_null()) return;
    // The partner: named by this session when it is itself the copy of a
    // session started on the other array, else the session there that names
    // this one.
    const Json link = known.value("twin_of", Json());
    const Json key{{"box", box}, {"id", id}};
    const std::string partnerBox = link.is_null() ? str(known, "remote_box") : str(link, "box");
    for (std::size_t j = 0; j < state_.arrayCount(); ++j) {
        if (j == array_) continue;
        if (state_.read(j, [&](const SimArray& a) { return str(a.model()["system"], "box_id"); }) != partnerBox) continue;
        try {
            // A change the other array's model cannot take (a volume it does
            // not have) leaves it as it was.
            state_.change(j, [&](Json& m) {
                Json& sessions = m["copy_sessions"];
                Json kept = Json::array();
                Json twin;
                for (auto& s : sessions) {
                    const bool partner = link.is_null() ? s.value("twin_of", Json()) == key : num(s, "id") == num(link, "id");
                    if (partner && twin.is_null())
                        twin = s;
                    else
                        kept.push_back(s);
                }
                if (after.is_null()) {  // stopped
                    if (twin.is_null()) throw std::runtime_error("no partner session");
                    sessions = kept;
                    return;
                }
                Json tid;
                if (twin.is_null()) {
                    if (command.name != "start copy-xmirrex") throw std::runtime_error("no partner session");
                    std::set<std::uint64_t> used;
                    for (auto& s : kept) used.insert(num(s, "id"));
                    std::uint64_t n = id;
                    while (used.count(n)) n = (n + 1) & 0xFFFF;
                    tid = n;
                } else {
                    tid = twin["id"];
                }
                const Json ownLink = twin.is_null() ? key : twin.value("twin_of", Json());
                twin = after;
                twin.erase("twin_of");
                twin["id"] = tid;
                twin["remote_box"] = box;
                twin["remote_side"] = num(after, "remote_side") ? 0 : 1;
                if (!ownLink.is_null()) twin["twin_of"] = ownLink;
                kept.push_back(twin);
                sessions = kept;
            });
        } catch (const std::exception&) {
        }
    }
}

CliOutcome CliSession::execute(const std::string& line) {
    CliCommand command;
    CliOutcome outcome;
    if (line.size() >= kMaxLine) {
        outcome = CliOutcome::refuse(cli_msg::kSyntax, "(line)", "too long");
    } else if (CliGrammar::parse(line, command, outcome)) {
        state_.cli().stall(array_, command.name);
        if (auto armed = state_.cli().take(array_, command.name)) {
            outcome = *armed;
        } else {
            const std::string now = utcNow();
            // The session as it was, for the other array of a remote copy.
            Json before;
            if (command.has("-session-id")) {
                const auto id = command.number("-session-id");
                before = state_.read(array_, [&](const SimArray& a) {
                    for (auto& s : a.model()["copy_sessions"])
                        if (num(s, "id") == id) return s;
                    return Json();
                });
            }
            try {
                auto problems = state_.change(array_, [&](Json& m) {
                    outcome = CliExecutor::run(command, m, now);
                    if (outcome.status != 0) throw Refused{};
                });
                if (!problems.empty()) {
                    outcome = CliOutcome::error(cli_msg::kInternal);
                    for (auto& p : problems) outcome.results.push_back(p);
                } else if (command.name.find("copy-xmirrex") != std::string::npos ||
                           command.name == "stop copy-session") {
                    followOnRemoteArray(command, outcome, before);
                }
            } catch (const Refused&) {
            } catch (const std::exception& e) {
                outcome = CliOutcome::error(cli_msg::kInternal);
                outcome.results.push_back(e.what());
            }
        }
    }
    state_.cli().record(array_, line, outcome);
    if (outcome.status == 0) state_.faults(array_).wake();
    // The problems of a refused change go to the journal only.
    if (outcome.status != 0) outcome.results.clear();
    return outcome;
}

}  // namespace arraysim
