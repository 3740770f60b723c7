#include "ScenarioValidator.hpp"

#include <arpa/inet.h>

#include <cctype>
#include <map>
#include <set>

namespace arraysim {

namespace {

constexpr std::uint64_t kNone = 0xFFFF;

class Checker {
public:
    explicit Checker(const Json& a) : a_(a) {}

    void fail(const std::string& what) { errors.push_back(a_.value("name", std::string("array")) + ": " + what); }

    // Numbers of a collection: unique and below the table size.
    std::set<std::uint64_t> numbers(const Json& items, const char* key, std::uint64_t limit, const std::string& what) {
        std::set<std::uint64_t> seen;
        if (items.size() > limit) fail(what + ": more than " + std::to_string(limit) + " entries");
        for (auto& e : items) {
            const auto n = num(e, key);
            if (n >= limit) fail(what + " " + std::to_string(n) + " lies outside its table of " + std::to_string(limit));
            if (!seen.insert(n).second) fail(what + " " + std::to_string(n) + " appears twice");
        }
        return seen;
    }

    void ref(const std::set<std::uint64_t>& in, std::uint64_t n, const std::string& what) {
        if (n != kNone && !in.count(n)) fail(what + " " + std::to_string(n) + " does not exist");
    }

    void hex(const Json& e, const char* key, std::size_t digits, const std::string& what) {
        const std::string v = str(e, key);
        bool ok = v.size() == digits;
        for (char ch : v) ok = ok && std::isxdigit(static_cast<unsigned char>(ch));
        if (!ok) fail(what + ": " + key + " is not " + std::to_string(digits) + " hex digits");
    }

    void ipv4(const Json& e, const char* key, const std::string& what) {
        in_addr a{};
        if (inet_pton(AF_INET, str(e, key).c_str(), &a) != 1) fail(what + ": " + key + " is not an IPv4 address");
    }

    void text(const Json& e, const char* key, std::size_t width, const std::string& what) {
        if (str(e, key).size() > width) fail(what + ": " + key + " longer than " + std::to_string(width));
    }

    std::vector<std::string> errors;

private:
    const Json& a_;
};

}  // namespace

std::vector<std::string> ScenarioValidator::check(const Json& a) {
    Checker c(a);
    const Json& lim = a["limits"];
    const auto limOlu = num(lim, "olu"), limSlu = num(lim, "slu"), limRlu = num(lim, "rlu");
    const auto limDlu = num(lim, "dlu"), limMlu = num(lim, "mlu");
    if (num(lim, "cm") > 16) c.fail("more than 16 controller modules");
    if (num(lim, "affinity_groups") > 2048) c.fail("more than 2048 affinity groups");
    if (num(lim, "copy_page") == 0 || num(lim, "copy_page") > 8192) c.fail("a session page holds 1 to 8192 records");
    for (const char* k : {"olu", "slu", "rlu", "dlu", "mlu"})
        if (num(lim, k) > 0xFFFF) c.fail(std::string("table size of ") + k + " above 65535");

    c.text(a["system"], "box_id", 40, "system");
    c.hex(a["system"], "node_wwn", 16, "system");
    c.ipv4(a["management"], "lan_master", "management");
    c.ipv4(a["management"], "lan_slave", "management");
    c.text(a["system"], "series", 12, "system");
    c.text(a["system"], "model_name", 12, "system");
    c.text(a["system"], "serial", 12, "system");
    if (str(a["management"], "config_date").size() != 14) c.fail("configuration date is not 14 characters");

    auto cms = c.numbers(a["cms"], "index", std::min<std::uint64_t>(num(lim, "cm"), 8), "controller module");
    std::set<std::uint64_t> cmModules;
    for (auto& cm : a["cms"]) cmModules.insert(num(cm, "module_id"));
    for (auto& cm : a["cms"]) {
        // The detail record lands at the entry its master CPU id's low bits
        // give, and the module is found by that id: it must name a module.
        if ((num(cm, "master_cpu_mid") & 7) != num(cm, "index")) c.fail("CM master CPU id does not carry its position");
        c.ref(cmModules, num(cm, "master_cpu_mid"), "master CPU module id of CM " + std::to_string(num(cm, "index")));
        c.numbers(cm["memories"], "index", 6, "memory of CM " + std::to_string(num(cm, "index")));
    }
    c.numbers(a["cas"], "index", 64, "channel adapter");
    std::set<std::uint64_t> caModules;
    for (auto& ca : a["cas"]) {
        if (!caModules.insert(num(ca, "module_id")).second)
            c.fail("CA module id " + std::to_string(num(ca, "module_id")) + " appears twice");
        if ((num(ca, "item_id") >> 8 & 0x3F) != num(ca, "index")) c.fail("CA item id does not match its index");
        c.numbers(ca["ports"], "index", 2, "port of CA " + std::to_string(num(ca, "index")));
        for (auto& p : ca["ports"]) {
            c.text(p, "iscsi_name", 224, "port");
            c.hex(p, "wwn", 16, "port");
            c.hex(p, "mac", 12, "port");
            c.ipv4(p, "ip", "port");
            c.ipv4(p, "subnet", "port");
            for (auto& l : list(p, "logins")) {
                c.hex(l, "isid", 12, "login");
                c.text(l, "initiator", 224, "login");
            }
            if (list(p, "logins").size() > 64) c.fail("more than 64 logins on a port");
        }
    }
    c.numbers(a["fans"], "index", 4, "fan");
    c.numbers(a["cpsus"], "index", 6, "controller power supply");
    c.numbers(a["bbus"], "index", 4, "battery");
    auto des = c.numbers(a["des"], "index", 128, "drive enclosure");
    for (auto& de : a["des"]) {
        c.numbers(de["expanders"], "index", 2, "expander");
        c.numbers(de["psus"], "index", 2, "drive enclosure power supply");
    }

    std::set<std::uint64_t> pluns;
    std::set<std::pair<std::uint64_t, std::uint64_t>> slots;
    for (auto& d : a["disks"]) {
        const auto de = num(d, "de"), slot = num(d, "slot");
        c.ref(des, de, "drive enclosure of a disk");
        if (slot >= 24) c.fail("disk slot " + std::to_string(slot) + " beyond 24");
        if (!slots.insert({de, slot}).second) c.fail("two disks in one slot");
        if (!pluns.insert(num(d, "plun")).second) c.fail("physical disk number appears twice");
        if ((num(d, "plun") & 0x1F) != slot) c.fail("physical disk number does not carry the slot");
    }
    if (a["disks"].size() > 3072) c.fail("more than 3072 disks");

    auto rluns = c.numbers(a["raid_groups"], "rlun", limRlu, "RAID group");
    std::set<std::uint64_t> dluns;
    std::set<std::uint64_t> memberDisks;
    std::map<std::uint64_t, std::uint64_t> dlunOfDisk;
    for (auto& rg : a["raid_groups"]) {
        const auto r = num(rg, "rlun");
        c.text(rg, "name", 16, "RAID group");
        if (rg["disk_sets"].size() > 16) c.fail("RAID group with more than 16 disk sets");
        if (!cmModules.count(num(rg, "owner_cm"))) c.fail("RAID group " + std::to_string(r) + " owned by an unknown CM");
        for (auto& ds : rg["disk_sets"]) {
            const auto dl = num(ds, "dlun");
            if (dl >= limDlu) c.fail("disk set " + std::to_string(dl) + " outside its table");
            if (!dluns.insert(dl).second) c.fail("disk set " + std::to_string(dl) + " appears twice");
            if (ds["disks"].size() > 16) c.fail("disk set with more than 16 disks");
            for (auto& p : ds["disks"]) {
                const auto plun = p.get<std::uint64_t>();
                c.ref(pluns, plun, "member disk of RAID group " + std::to_string(r));
                if (!memberDisks.insert(plun).second) c.fail("disk " + std::to_string(plun) + " in two disk sets");
                dlunOfDisk[plun] = dl;
            }
        }
        if ((num(rg, "mode") & 1) && num(rg, "pool") == kNone) c.fail("pool member RAID group without a pool");
    }
    for (auto& d : a["disks"]) {
        const auto plun = num(d, "plun");
        auto it = dlunOfDisk.find(plun);
        if (it != dlunOfDisk.end() && num(d, "dlun") != it->second) c.fail("disk " + std::to_string(plun) + " names a disk set it is not in");
        if (it == dlunOfDisk.end() && num(d, "dlun") != kNone) c.fail("disk " + std::to_string(plun) + " names a disk set it is not in");
        c.ref(rluns, num(d, "dedicated_hs_rlun"), "hot spare RAID group");
    }

    auto oluns = c.numbers(a["volumes"], "olun", limOlu, "volume");
    std::set<std::uint64_t> sluns;
    for (auto& v : a["volumes"]) {
        c.text(v, "name", 16, "volume");
        const auto& sl = v["slices"];
        if (sl.empty()) c.fail("volume without slices");
        if (sl.size() > 20 && num(v, "lu_type") != 13) c.fail("volume with more than 20 slices");
        for (auto& s : sl) {
            const auto n = num(s, "slun");
            if (n >= limSlu) c.fail("slice " + std::to_string(n) + " outside its table");
            if (!sluns.insert(n).second) c.fail("slice " + std::to_string(n) + " appears twice");
            c.ref(rluns, num(s, "rlun"), "RAID group of slice " + std::to_string(n));
        }
    }
    auto mluns = c.numbers(a["mlus"], "mlun", limMlu, "MLU");
    for (auto& m : a["mlus"]) c.ref(sluns, num(m, "slun"), "slice of MLU");

    auto hosts = c.numbers(a["hosts"], "index", 8192, "host");
    for (auto& h : a["hosts"]) c.hex(h, "wwn", 16, "host");
    for (auto& h : a["iscsi_hosts"]) c.ipv4(h, "ip", "iSCSI host");
    auto iscsiHosts = c.numbers(a["iscsi_hosts"], "index", 8192, "iSCSI host");
    auto groups = c.numbers(a["affinity_groups"], "number", num(lim, "affinity_groups"), "affinity group");
    for (auto& g : a["affinity_groups"]) {
        if (g["luns"].size() > 512) c.fail("affinity group with more than 512 LUNs");
        for (auto& o : g["luns"]) c.ref(oluns, o.get<std::uint64_t>(), "volume of affinity group");
    }
    auto lunMaps = c.numbers(a["lun_maps"], "number", 128, "LUN map");
    for (auto& m : a["lun_maps"]) {
        if (m["luns"].size() > 512) c.fail("LUN map with more than 512 LUNs");
        for (auto& o : m["luns"]) c.ref(oluns, o.get<std::uint64_t>(), "volume of LUN map");
    }
    c.numbers(a["host_maps"], "index", 128, "host map");
    for (auto& m : a["host_maps"]) {
        if (m["hosts"].size() > 256) c.fail("host map with more than 256 hosts");
        c.ref(lunMaps, num(m, "lun_map"), "LUN map of host map");
        // Ports of iSCSI adapters bind iSCSI hosts, the others FC and SAS hosts.
        bool iscsiPort = false;
        for (auto& ca : a["cas"]) {
            const auto kind = num(ca, "real_type") & 0xF000;
            if (num(ca, "module_id") == num(m, "ca_module_id")) iscsiPort = kind == 0x2000 || kind == 0x3000;
        }
        for (auto& h : m["hosts"]) {
            c.ref(iscsiPort ? iscsiHosts : hosts, num(h, "host"), "host of host map");
            c.ref(groups, num(h, "group"), "affinity group of host map");
        }
    }

    auto tpps = c.numbers(a["thin_pools"], "number", 256, "thin pool");
    auto lxrps = c.numbers(a["tiering_pools"], "number", 64, "tiering pool");
    for (auto& p : a["thin_pools"])
        if (num(p, "tiering_pool") != 255) c.ref(lxrps, num(p, "tiering_pool"), "tiering pool of thin pool");
    for (auto& p : a["tiering_pools"]) {
        if (p["sub_pools"].size() > 5) c.fail("tiering pool with more than 5 sub-pools");
        for (auto& s : p["sub_pools"]) c.ref(tpps, s.get<std::uint64_t>(), "sub-pool");
    }
    for (auto& rg : a["raid_groups"])
        if (num(rg, "mode") & 1) c.ref(tpps, num(rg, "pool"), "pool of RAID group");
    c.numbers(a["snapshot_pools"], "id", 8, "snapshot data pool");

    std::set<std::uint64_t> ids;
    for (auto& s : a["copy_sessions"]) {
        const auto t = num(s, "type");
        if (t > 4) c.fail("copy session of unknown type " + std::to_string(t));
        if (!ids.insert(num(s, "id")).second) c.fail("copy session id appears twice");
        const auto& vols = num(s, "volume_type") == 0 ? mluns : oluns;
        const bool remoteSrc = t == 2 && num(s, "remote_side") == 1;
        const bool remoteDst = t == 2 && num(s, "remote_side") == 0;
        if (!remoteSrc) c.ref(vols, num(s, "src"), "source of copy session");
        if (!remoteDst) c.ref(vols, num(s, "dst"), "destination of copy session");
        c.text(s, "remote_box", 40, "copy session");
    }
    if (a["remote_boxes"].size() > 16) c.fail("more than 16 remote boxes");
    for (auto& b : a["remote_boxes"]) {
        c.text(b, "box_id", 40, "remote box");
        if (b["paths"].size() > 8) c.fail("remote box with more than 8 paths");
    }
    if (a["connections"].size() > 128) c.fail("more than 128 connections");
    return std::move(c.errors);
}

}  // namespace arraysim
