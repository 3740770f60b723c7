#include "ControlServer.hpp"

#include <poll.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace arraysim {

namespace {

Json fail(const std::string& why) { return Json{{"ok", false}, {"error", why}}; }

Json problems(const std::vector<std::string>& p) {
    if (p.empty()) return Json{{"ok", true}};
    std::string all;
    for (auto& s : p) all += s + "\n";
    return fail("the change breaks the model: " + all);
}

// Where an element's status lives: collection, key field, status field.
struct StatusTarget {
    const char* element;
    const char* collection;
    const char* key;
    const char* field;
};

constexpr StatusTarget kTargets[] = {
    {"cm", "cms", "index", "status"},
    {"ca", "cas", "index", "status"},
    {"de", "des", "index", "status"},
    {"de_status", "des", "index", "de_status"},
    {"disk", "disks", "plun", "status"},
    {"raid_group", "raid_groups", "rlun", "status"},
    {"volume", "volumes", "olun", "status"},
    {"mlu", "mlus", "mlun", "status"},
    {"thin_pool", "thin_pools", "number", "status"},
    {"tiering_pool", "tiering_pools", "number", "valid"},
    {"snapshot_pool", "snapshot_pools", "id", "status"},
    {"fan", "fans", "index", "status"},
    {"cpsu", "cpsus", "index", "status"},
    {"bbu", "bbus", "index", "status"},
    {"copy_session", "copy_sessions", "id", "state"},
    {"volume_alarm", "volume_alarms", "olun", "state"},
    {"pool_alarm", "pool_alarms", "pool", "state"},
};

}  // namespace

ControlServer::ControlServer(SimulatorState& state, std::string path, PortsFn ports, std::function<void()> onShutdown)
    : state_(state), path_(std::move(path)), ports_(std::move(ports)), onShutdown_(std::move(onShutdown)) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path_.size() >= sizeof addr.sun_path) throw std::runtime_error("control socket path too long: " + path_);
    std::memcpy(addr.sun_path, path_.c_str(), path_.size() + 1);
    ::unlink(path_.c_str());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 16) != 0) {
        if (fd_ >= 0) ::close(fd_);
        throw std::runtime_error("cannot open control socket " + path_ + ": " + std::strerror(errno));
    }
    thread_ = std::thread([this] { loop(); });
}

ControlServer::~ControlServer() { stop(); }

void ControlServer::stop() {
    if (stopping_.exchange(true)) return;
    if (thread_.joinable()) thread_.join();
    for (auto& c : clients_)
        if (c->thread.joinable()) c->thread.join();
    clients_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
}

void ControlServer::loop() {
    while (!stopping_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        const int one = 1; // answers leave without waiting for acknowledgements
        ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        for (auto it = clients_.begin(); it != clients_.end();) {
            if ((*it)->done) {
                (*it)->thread.join();
                it = clients_.erase(it);
            } else {
                ++it;
            }
        }
        auto client = std::make_unique<Client>();
        Client* raw = client.get();
        raw->thread = std::thread([this, raw, c] {
            serveClient(c);
            raw->done = true;
        });
        clients_.push_back(std::move(client));
    }
}

void ControlServer::serveClient(int fd) {
    std::string buf;
    char chunk[4096];
    while (!stopping_) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, 100);
        if (r < 0) break;
        if (r == 0) continue;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        buf.append(chunk, static_cast<std::size_t>(n));
        std::size_t nl;
        while ((nl = buf.find('\n')) != std::string::npos) {
            const std::string line = buf.substr(0, nl);
            buf.erase(0, nl + 1);
            Json reply;
            try {
                reply = handle(Json::parse(line));
            } catch (const std::exception& e) {
                reply = fail(std::string("bad request: ") + e.what());
            }
            const std::string out = reply.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
            std::size_t sent = 0;
            while (sent < out.size()) {
                const ssize_t w = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
                if (w <= 0) break;
                sent += static_cast<std::size_t>(w);
            }
        }
    }
    ::close(fd);
}

Json ControlServer::handle(const Json& req) {
    try {
        const std::string op = str(req, "op");
        const std::size_t array = num(req, "array");
        if (op != "ping" && op != "ports" && op != "reset" && op != "log" && op != "clear_log" && op != "shutdown" && op != "cli_clear_log" &&
            !(op == "dump" && !req.contains("array")) && array >= state_.arrayCount())
            return fail("no array " + std::to_string(array));
        if (op == "ping") return Json{{"ok", true}};
        if (op == "ports") return Json{{"ok", true}, {"arrays", ports_()}};
        if (op == "reset") {
            state_.reset();
            return Json{{"ok", true}};
        }
        if (op == "dump") {
            Json all = state_.dump();
            if (req.contains("array")) return Json{{"ok", true}, {"model", all["arrays"][array]}};
            return Json{{"ok", true}, {"model", all}};
        }
        if (op == "log") return Json{{"ok", true}, {"requests", state_.log().since(num(req, "after"))}};
        if (op == "clear_log") {
            state_.log().clear();
            return Json{{"ok", true}};
        }
        if (op == "set") {
            const Json::json_pointer ptr(str(req, "path"));
            const Json value = req.at("value");
            return problems(state_.change(array, [&](Json& m) { m[ptr] = value; }));
        }
        if (op == "patch") {
            const Json patch = req.at("patch");
            return problems(state_.change(array, [&](Json& m) { m = m.patch(patch); }));
        }
        if (op == "set_status") return setStatus(req);
        if (op == "advance_copy") return advanceCopy(req);
        if (op == "fault") {
            state_.faults(array).add(Fault::fromJson(req));
            return Json{{"ok", true}};
        }
        if (op == "clear_faults") {
            state_.faults(array).clear();
            return Json{{"ok", true}};
        }
        if (op == "faults") {
            Json out = Json::array();
            for (auto& f : state_.faults(array).list()) out.push_back(f.toJson());
            return Json{{"ok", true}, {"faults", out}};
        }
        if (op == "cli_fault") {
            CliFault f = CliFault::fromJson(req);
            f.array = array;
            state_.cli().arm(f);
            return Json{{"ok", true}};
        }
        if (op == "cli_clear_faults") {
            state_.cli().clear(array);
            return Json{{"ok", true}};
        }
        if (op == "cli_faults") {
            Json out = Json::array();
            for (auto& f : state_.cli().faults(array)) out.push_back(f.toJson());
            return Json{{"ok", true}, {"faults", out}};
        }
        if (op == "cli_log") return Json{{"ok", true}, {"lines", state_.cli().journal(array)}};
        if (op == "cli_clear_log") {
            state_.cli().clearJournal();
            return Json{{"ok", true}};
        }
        if (op == "shutdown") {
            if (onShutdown_) onShutdown_();
            return Json{{"ok", true}};
        }
        return fail("unknown op \"" + op + "\"");
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

Json ControlServer::setStatus(const Json& req) {
    const std::string element = str(req, "element");
    const std::size_t array = num(req, "array");
    const auto status = num(req, "status");
    if (element == "system" || element == "ce") {
        return problems(state_.change(array, [&](Json& m) { m[element]["status"] = status; }));
    }
    if (element == "port") {
        const auto ca = num(req, "key"), port = num(req, "port");
        bool found = false;
        auto p = state_.change(array, [&](Json& m) {
            for (auto& c : m["cas"])
                if (num(c, "index") == ca)
                    for (auto& pt : c["ports"])
                        if (num(pt, "index") == port) {
                            pt[req.value("field", std::string("status"))] = status;
                            found = true;
                        }
        });
        if (!found) return fail("no such port");
        return problems(p);
    }
    for (auto& t : kTargets) {
        if (element != t.element) continue;
        const auto key = num(req, "key");
        bool found = false;
        auto p = state_.change(array, [&](Json& m) {
            for (auto& e : m[t.collection])
                if (num(e, t.key) == key) {
                    e[t.field] = status;
                    found = true;
                }
        });
        if (!found) return fail(std::string("no ") + element + " " + std::to_string(key));
        return problems(p);
    }
    return fail("unknown element \"" + element + "\"");
}

Json ControlServer::advanceCopy(const Json& req) {
    const std::size_t array = num(req, "array");
    const auto seconds = num(req, "seconds", 60);
    const auto percent = num(req, "percent", 25);
    std::vector<std::uint64_t> ids;
    for (auto& i : list(req, "ids")) ids.push_back(i.get<std::uint64_t>());
    std::size_t moved = 0;
    auto p = state_.change(array, [&](Json& m) {
        for (auto& s : m["copy_sessions"]) {
            if (!ids.empty() && std::find(ids.begin(), ids.end(), num(s, "id")) == ids.end()) continue;
            ++moved;
            s["elapsed"] = num(s, "elapsed") + seconds;
            const auto total = num(s, "total_blocks");
            const auto copied = std::min(total, num(s, "copied_blocks") + total * percent / 100);
            s["copied_blocks"] = copied;
            // A session whose copy completed leaves its copying phase.
            if (copied >= total && num(s, "phase") == 1) s["phase"] = 2;
            if (req.contains("state")) s["state"] = req["state"];
            if (req.contains("phase")) s["phase"] = req["phase"];
        }
    });
    Json r = problems(p);
    r["sessions"] = moved;
    return r;
}

}  // namespace arraysim
