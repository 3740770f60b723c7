#include "CliSession.hpp"

#include <cstdio>
#include <ctime>

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

CliOutcome CliSession::execute(const std::string& line) {
    CliCommand command;
    CliOutcome outcome;
    if (line.size() >= kMaxLine) {
        outcome = CliOutcome::refuse(cli_msg::kSyntax, "(line)", "too long");
    } else if (CliGrammar::parse(line, command, outcome)) {
        if (auto armed = state_.cli().take(array_, command.name)) {
            outcome = *armed;
        } else {
            const std::string now = utcNow();
            try {
                auto problems = state_.change(array_, [&](Json& m) {
                    outcome = CliExecutor::run(command, m, now);
                    if (outcome.status != 0) throw Refused{};
                });
                if (!problems.empty()) {
                    outcome = CliOutcome::error(cli_msg::kInternal);
                    for (auto& p : problems) outcome.results.push_back(p);
                }
            } catch (const Refused&) {
            } catch (const std::exception& e) {
                outcome = CliOutcome::error(cli_msg::kInternal);
                outcome.results.push_back(e.what());
            }
        }
    }
    state_.cli().record(array_, line, outcome);
    // The problems of a refused change go to the journal only.
    if (outcome.status != 0) outcome.results.clear();
    return outcome;
}

}  // namespace arraysim
