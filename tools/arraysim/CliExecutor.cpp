#include "CliExecutor.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

namespace arraysim {

namespace {

using namespace cli_msg;

constexpr std::uint64_t kNone = 0xFFFF;
constexpr std::uint64_t kBlocksPerMb = 2048;
constexpr std::size_t kMaxLun = 512;
// LU type of a thin-provisioning volume (8 is a volume that makes up a pool).
constexpr std::uint64_t kThinLuType = 9;

Json& items(Json& m, const char* key) {
    if (!m.contains(key) || !m[key].is_array()) m[key] = Json::array();
    return m[key];
}

Json* find(Json& list, const char* key, std::uint64_t value) {
    for (auto& e : list)
        if (num(e, key) == value) return &e;
    return nullptr;
}

void erase(Json& list, const std::function<bool(const Json&)>& pred) {
    Json kept = Json::array();
    for (auto& e : list)
        if (!pred(e)) kept.push_back(e);
    list = std::move(kept);
}

std::uint64_t lowestFree(const Json& list, const char* key, std::uint64_t limit) {
    std::set<std::uint64_t> used;
    for (auto& e : list) used.insert(num(e, key));
    for (std::uint64_t n = 0; n < limit; ++n)
        if (!used.count(n)) return n;
    return kNone;
}

std::string hex4(std::uint64_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04llX", static_cast<unsigned long long>(v & 0xFFFF));
    return buf;
}

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool sameText(const std::string& a, const std::string& b) { return upper(a) == upper(b); }

// RAID level words of the command line and the array's level codes.
std::uint64_t levelCode(const std::string& word) {
    static const std::map<std::string, std::uint64_t> codes = {{"0", 8}, {"1", 4}, {"10", 12}, {"5", 1}, {"6", 3}, {"50", 9}};
    return codes.at(word);
}

// Disk counts a RAID level accepts in one group: the striped levels over
// mirrored or parity pairs (RAID1+0, RAID5+0) take up to 32 disks, the
// others up to 16.
bool diskCountFits(std::uint64_t level, std::size_t n) {
    if (n > (level == 12 || level == 9 ? 32u : 16u)) return false;
    switch (level) {
    case 4: return n == 2;
    case 12: return n >= 4 && n % 2 == 0;
    case 1: return n >= 3;
    case 3: return n >= 4;
    case 9: return n >= 6 && n % 2 == 0;
    default: return n >= 1;
    }
}

// Physical disk numbers of a disk list: enclosure id in the high byte, slot below.
std::vector<std::uint64_t> diskNumbers(const std::string& list) {
    std::vector<std::uint64_t> out;
    std::size_t start = 0;
    while (start <= list.size()) {
        const auto at = list.find(',', start);
        const std::string d = list.substr(start, at == std::string::npos ? std::string::npos : at - start);
        out.push_back((std::stoull(d.substr(0, 2), nullptr, 16) << 8) | std::stoull(d.substr(2)));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return out;
}

// Checks that the listed disks exist and are free; names the first bad one.
CliOutcome checkFreeDisks(Json& m, const std::string& list, std::vector<std::uint64_t>& pluns) {
    pluns = diskNumbers(list);
    std::set<std::uint64_t> seen;
    for (std::size_t i = 0; i < pluns.size(); ++i) {
        char text[40];
        std::snprintf(text, sizeof text, "%02llx%02llu", static_cast<unsigned long long>(pluns[i] >> 8),
                      static_cast<unsigned long long>(pluns[i] & 0xFF));
        Json* d = find(items(m, "disks"), "plun", pluns[i]);
        if (!d) return CliOutcome::refuse(kNotFound, "-disks", text);
        const bool member = num(*d, "dlun", kNone) != kNone;
        const bool spare = num(*d, "dedicated_hs_rlun", kNone) != kNone || d->value("global_hot_spare", false);
        if (member || spare || (num(*d, "status") & 0xFF) != 0 || !seen.insert(pluns[i]).second)
            return CliOutcome::refuse(kBadDisks, "-disks", text);
    }
    return CliOutcome::ok();
}

// A disk set holds at most 16 disks: a larger group (RAID1+0, RAID5+0)
// spans two sets of half the disks each.
Json newRaidGroup(std::uint64_t rlun, std::uint64_t level, const std::vector<std::uint64_t>& pluns) {
    if (pluns.size() <= 16) {
        Json disks = Json::array();
        for (auto p : pluns) disks.push_back(p);
        return Json{{"rlun", rlun}, {"level", level}, {"disks", disks}};
    }
    Json sets = Json::array({Json{{"disks", Json::array()}}, Json{{"disks", Json::array()}}});
    for (std::size_t i = 0; i < pluns.size(); ++i) sets[i < pluns.size() / 2 ? 0 : 1]["disks"].push_back(pluns[i]);
    return Json{{"rlun", rlun}, {"level", level}, {"disk_sets", sets}};
}

bool volumeUsedAnywhere(Json& m, std::uint64_t olun) {
    for (const char* key : {"affinity_groups", "lun_maps"})
        for (auto& g : items(m, key))
            for (auto& o : g["luns"])
                if (o.get<std::uint64_t>() == olun) return true;
    for (auto& s : items(m, "copy_sessions")) {
        const auto t = num(s, "type");
        const bool srcLocal = !(t == 2 && num(s, "remote_side") == 1);
        const bool dstLocal = !(t == 2 && num(s, "remote_side") == 0);
        if ((srcLocal && num(s, "src") == olun) || (dstLocal && num(s, "dst") == olun)) return true;
    }
    return false;
}

// A volume entry whose status low byte is 6 is a free slot: the array keeps
// the number in its tables but the volume is gone and the number can be used.
bool freeSlot(const Json& v) { return (num(v, "status") & 0xFF) == 6; }

// The volume numbered `olun` that is not a free slot, or null.
Json* liveVolume(Json& m, std::uint64_t olun) {
    Json* v = find(items(m, "volumes"), "olun", olun);
    return v && !freeSlot(*v) ? v : nullptr;
}

std::uint64_t volumeBlocks(const Json& v) {
    std::uint64_t b = 0;
    for (auto& s : list(v, "slices")) b += num(s, "blocks");
    return b;
}

// ---- RAID groups --------------------------------------------------------

CliOutcome createRaidGroup(const CliCommand& c, Json& m) {
    const auto rlun = c.number("-rg-number");
    if (rlun >= num(m["limits"], "rlu")) return CliOutcome::refuse(kSyntax, "-rg-number", c.text("-rg-number"));
    if (find(items(m, "raid_groups"), "rlun", rlun)) return CliOutcome::refuse(kExists, "-rg-number", c.text("-rg-number"));
    std::vector<std::uint64_t> pluns;
    if (auto bad = checkFreeDisks(m, c.text("-disks"), pluns); bad.status) return bad;
    const auto level = levelCode(c.text("-level"));
    if (!diskCountFits(level, pluns.size()))
        return CliOutcome::refuse(kBadDisks, "-disks", c.text("-disks"));
    Json rg = newRaidGroup(rlun, level, pluns);
    if (c.has("-name")) {
        for (auto& g : m["raid_groups"])
            if (str(g, "name") == c.text("-name")) return CliOutcome::refuse(kNameUsed, "-name", c.text("-name"));
        rg["name"] = c.text("-name");
    }
    m["raid_groups"].push_back(rg);
    return CliOutcome::ok();
}

CliOutcome deleteRaidGroup(const CliCommand& c, Json& m) {
    const auto numbers = c.numbers("-rg-number");
    for (auto r : numbers) {
        Json* rg = find(items(m, "raid_groups"), "rlun", r);
        if (!rg) return CliOutcome::refuse(kNotFound, "-rg-number", std::to_string(r));
        if (num(*rg, "mode") & 1) return CliOutcome::refuse(kInUse, "-rg-number", std::to_string(r));
        for (auto& v : items(m, "volumes"))
            for (auto& s : v["slices"])
                if (num(s, "rlun") == r) return CliOutcome::refuse(kInUse, "-rg-number", std::to_string(r));
    }
    std::set<std::uint64_t> gone(numbers.begin(), numbers.end());
    erase(m["raid_groups"], [&](const Json& g) { return gone.count(num(g, "rlun")) != 0; });
    for (auto& d : items(m, "disks"))
        if (gone.count(num(d, "dedicated_hs_rlun", kNone))) d["dedicated_hs_rlun"] = kNone;
    return CliOutcome::ok();
}

// ---- Volumes -------------------------------------------------------------

// First gap of the RAID group's block range that holds `blocks`.
std::uint64_t placeOnRaidGroup(Json& m, const Json& rg, std::uint64_t blocks, bool& fits) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> used;
    for (auto& v : items(m, "volumes")) {
        if (num(v, "lu_type") == kThinLuType || freeSlot(v)) continue;  // thin volumes and free slots take no space
        for (auto& s : v["slices"])
            if (num(s, "rlun") == num(rg, "rlun")) used.push_back({num(s, "start_rlba"), num(s, "blocks")});
    }
    std::sort(used.begin(), used.end());
    std::uint64_t at = 0;
    for (auto& [start, len] : used) {
        if (start >= at && start - at >= blocks) break;
        at = std::max(at, start + len);
    }
    fits = at + blocks <= num(rg, "blocks");
    return at;
}

CliOutcome createVolume(const CliCommand& c, Json& m) {
    const auto olun = c.number("-volume-number");
    const bool thin = c.text("-type") == "tpv";
    // The pool option must match the type.
    if (thin ? !c.has("-pool-number") : !c.has("-rg-number"))
        return CliOutcome::refuse(kSyntax, thin ? "-pool-number" : "-rg-number");
    if (thin ? c.has("-rg-number") : c.has("-pool-number"))
        return CliOutcome::refuse(kSyntax, thin ? "-rg-number" : "-pool-number");
    if (olun >= num(m["limits"], "olu")) return CliOutcome::refuse(kSyntax, "-volume-number", c.text("-volume-number"));
    if (liveVolume(m, olun)) return CliOutcome::refuse(kExists, "-volume-number", c.text("-volume-number"));
    if (c.has("-name"))
        for (auto& v : m["volumes"])
            if (!freeSlot(v) && str(v, "name") == c.text("-name")) return CliOutcome::refuse(kNameUsed, "-name", c.text("-name"));
    const std::uint64_t blocks = c.number("-size") * kBlocksPerMb;
    Json slice;
    Json vol{{"olun", olun}, {"name", c.has("-name") ? c.text("-name") : std::string{}}};
    if (!thin) {
        Json* rg = find(items(m, "raid_groups"), "rlun", c.number("-rg-number"));
        if (!rg || (num(*rg, "mode") & 1)) return CliOutcome::refuse(kNotFound, "-rg-number", c.text("-rg-number"));
        bool fits = false;
        const auto start = placeOnRaidGroup(m, *rg, blocks, fits);
        if (!fits) return CliOutcome::refuse(kNoSpace, "-size", c.text("-size"));
        vol["lu_type"] = 1;
        slice = Json{{"rlun", num(*rg, "rlun")}, {"blocks", blocks}, {"start_rlba", start}};
    } else {
        const auto pool = c.number("-pool-number");
        if (!find(items(m, "thin_pools"), "number", pool))
            return CliOutcome::refuse(kNotFound, "-pool-number", c.text("-pool-number"));
        const Json* member = nullptr;
        for (auto& rg : items(m, "raid_groups"))
            if ((num(rg, "mode") & 1) && num(rg, "pool") == pool) {
                member = &rg;
                break;
            }
        if (!member) return CliOutcome::refuse(kNotFound, "-pool-number", c.text("-pool-number"));
        vol["lu_type"] = kThinLuType;
        slice = Json{{"rlun", num(*member, "rlun")}, {"blocks", blocks}, {"start_rlba", 0}};
        items(m, "volume_alarms").push_back(Json{{"olun", olun}, {"allocated", 0}});
    }
    vol["slices"] = Json::array({slice});
    erase(items(m, "volumes"), [&](const Json& v) { return num(v, "olun") == olun; });  // the free slot it takes
    m["volumes"].push_back(vol);
    return CliOutcome::ok();
}

CliOutcome deleteVolume(const CliCommand& c, Json& m) {
    const auto numbers = c.numbers("-volume-number");
    for (auto o : numbers) {
        if (!liveVolume(m, o)) return CliOutcome::refuse(kNotFound, "-volume-number", std::to_string(o));
        if (volumeUsedAnywhere(m, o)) return CliOutcome::refuse(kInUse, "-volume-number", std::to_string(o));
    }
    std::set<std::uint64_t> gone(numbers.begin(), numbers.end());
    erase(m["volumes"], [&](const Json& v) { return gone.count(num(v, "olun")) != 0; });
    erase(items(m, "volume_alarms"), [&](const Json& a) { return gone.count(num(a, "olun")) != 0; });
    return CliOutcome::ok();
}

CliOutcome expandVolume(const CliCommand& c, Json& m) {
    Json* v = find(items(m, "volumes"), "olun", c.number("-volume-number"));
    if (!v) return CliOutcome::refuse(kNotFound, "-volume-number", c.text("-volume-number"));
    if (num(*v, "lu_type") != kThinLuType || (*v)["slices"].size() != 1)
        return CliOutcome::refuse(kSyntax, "-volume-number", c.text("-volume-number"));
    const std::uint64_t blocks = c.number("-size") * kBlocksPerMb;
    if (blocks <= volumeBlocks(*v)) return CliOutcome::refuse(kSyntax, "-size", c.text("-size"));
    Json& s = (*v)["slices"][0];
    s["blocks"] = blocks;
    s["slba_blocks"] = blocks;
    s["virtual_blocks"] = blocks;
    return CliOutcome::ok();
}

CliOutcome setVolume(const CliCommand& c, Json& m) {
    Json* v = find(items(m, "volumes"), "olun", c.number("-volume-number"));
    if (!v) return CliOutcome::refuse(kNotFound, "-volume-number", c.text("-volume-number"));
    if (c.has("-name")) {
        for (auto& o : m["volumes"])
            if (&o != v && str(o, "name") == c.text("-name")) return CliOutcome::refuse(kNameUsed, "-name", c.text("-name"));
        (*v)["name"] = c.text("-name");
    }
    return CliOutcome::ok();
}

// ---- Thin-provisioning pools --------------------------------------------

CliOutcome addPoolRaidGroup(const CliCommand& c, Json& m, std::uint64_t pool, std::uint64_t level) {
    std::vector<std::uint64_t> pluns;
    if (auto bad = checkFreeDisks(m, c.text("-disks"), pluns); bad.status) return bad;
    if (!diskCountFits(level, pluns.size()))
        return CliOutcome::refuse(kBadDisks, "-disks", c.text("-disks"));
    const auto rlun = lowestFree(items(m, "raid_groups"), "rlun", num(m["limits"], "rlu"));
    if (rlun == kNone) return CliOutcome::error(kExists);
    Json rg = newRaidGroup(rlun, level, pluns);
    rg["mode"] = 1;
    rg["pool"] = pool;
    m["raid_groups"].push_back(rg);
    return CliOutcome::ok();
}

CliOutcome createThinPool(const CliCommand& c, Json& m) {
    const auto pool = lowestFree(items(m, "thin_pools"), "number", 256);
    if (pool == kNone) return CliOutcome::error(kExists);
    if (c.has("-name"))
        for (auto& p : m["thin_pools"])
            if (str(p, "name") == c.text("-name")) return CliOutcome::refuse(kNameUsed, "-name", c.text("-name"));
    const auto level = levelCode(c.text("-level"));
    if (auto bad = addPoolRaidGroup(c, m, pool, level); bad.status) return bad;
    Json p{{"number", pool}, {"raid_level", level}, {"attribute", c.text("-attribute")}};
    if (c.has("-name")) p["name"] = c.text("-name");
    m["thin_pools"].push_back(p);
    // A new pool has an alarm record of its size with nothing used.
    erase(items(m, "pool_alarms"), [&](const Json& a) { return num(a, "pool") == pool; });
    items(m, "pool_alarms").push_back(Json{{"pool", pool}, {"used_mib", 0}, {"state", 0}});
    return CliOutcome::ok({hex4(pool)});
}

CliOutcome expandThinPool(const CliCommand& c, Json& m) {
    Json* p = find(items(m, "thin_pools"), "number", c.number("-pool-number"));
    if (!p) return CliOutcome::refuse(kNotFound, "-pool-number", c.text("-pool-number"));
    const auto pool = num(*p, "number");
    const auto level = num(*p, "raid_level");
    if (auto bad = addPoolRaidGroup(c, m, pool, level); bad.status) return bad;
    // The size follows the pool's RAID groups again (and its alarm record
    // with it); the member count stays that of one group.
    find(m["thin_pools"], "number", pool)->erase("max_blocks");
    return CliOutcome::ok();
}

CliOutcome deleteThinPool(const CliCommand& c, Json& m) {
    const auto numbers = c.numbers("-pool-number");
    std::set<std::uint64_t> gone(numbers.begin(), numbers.end());
    for (auto n : numbers) {
        if (!find(items(m, "thin_pools"), "number", n)) return CliOutcome::refuse(kNotFound, "-pool-number", std::to_string(n));
        for (auto& t : items(m, "tiering_pools"))
            for (auto& s : t["sub_pools"])
                if (s.get<std::uint64_t>() == n) return CliOutcome::refuse(kInUse, "-pool-number", std::to_string(n));
        for (auto& rg : m["raid_groups"])
            if ((num(rg, "mode") & 1) && num(rg, "pool") == n)
                for (auto& v : items(m, "volumes"))
                    for (auto& s : v["slices"])
                        if (num(s, "rlun") == num(rg, "rlun"))
                            return CliOutcome::refuse(kInUse, "-pool-number", std::to_string(n));
    }
    erase(m["raid_groups"], [&](const Json& g) { return (num(g, "mode") & 1) && gone.count(num(g, "pool")); });
    erase(m["thin_pools"], [&](const Json& p) { return gone.count(num(p, "number")) != 0; });
    erase(items(m, "pool_alarms"), [&](const Json& a) { return gone.count(num(a, "pool")) != 0; });
    return CliOutcome::ok();
}

// ---- LUN lists of affinity groups and port mappings -----------------------

// Pairs (LUN, volume) of a command's "-lun" and "-volume-number" lists.
CliOutcome lunPairs(const CliCommand& c, Json& m, std::vector<std::pair<std::uint64_t, std::uint64_t>>& pairs) {
    const auto luns = c.numbers("-lun");
    const auto vols = c.numbers("-volume-number");
    if (luns.size() != vols.size()) return CliOutcome::refuse(kSyntax, "-lun", c.text("-lun"));
    std::set<std::uint64_t> seenLun, seenVol;
    for (std::size_t i = 0; i < luns.size(); ++i) {
        if (luns[i] >= kMaxLun || !seenLun.insert(luns[i]).second)
            return CliOutcome::refuse(kSyntax, "-lun", std::to_string(luns[i]));
        if (!seenVol.insert(vols[i]).second) return CliOutcome::refuse(kSyntax, "-volume-number", std::to_string(vols[i]));
        if (!find(items(m, "volumes"), "olun", vols[i]))
            return CliOutcome::refuse(kNotFound, "-volume-number", std::to_string(vols[i]));
        pairs.push_back({luns[i], vols[i]});
    }
    return CliOutcome::ok();
}

// Adds the pairs to a LUN list (index = LUN, 0xFFFF = free).
CliOutcome addLuns(Json& luns, const std::vector<std::pair<std::uint64_t, std::uint64_t>>& pairs) {
    for (auto& [lun, vol] : pairs) {
        if (lun < luns.size() && luns[lun].get<std::uint64_t>() != kNone)
            return CliOutcome::refuse(kInUse, "-lun", std::to_string(lun));
        for (auto& o : luns)
            if (o.get<std::uint64_t>() == vol) return CliOutcome::refuse(kInUse, "-volume-number", std::to_string(vol));
        while (luns.size() <= lun) luns.push_back(kNone);
        luns[lun] = vol;
    }
    return CliOutcome::ok();
}

void trimLuns(Json& luns) {
    while (!luns.empty() && luns.back().get<std::uint64_t>() == kNone) luns.erase(luns.size() - 1);
}

CliOutcome removeLuns(Json& luns, const std::vector<std::uint64_t>& remove, std::uint32_t message) {
    for (auto lun : remove)
        if (lun >= luns.size() || luns[lun].get<std::uint64_t>() == kNone)
            return CliOutcome::refuse(message, "-lun", std::to_string(lun));
    for (auto lun : remove) luns[lun] = kNone;
    trimLuns(luns);
    return CliOutcome::ok();
}

CliOutcome createAffinityGroup(const CliCommand& c, Json& m) {
    const auto g = c.number("-ag-number");
    if (g >= num(m["limits"], "affinity_groups")) return CliOutcome::refuse(kSyntax, "-ag-number", c.text("-ag-number"));
    if (find(items(m, "affinity_groups"), "number", g)) return CliOutcome::refuse(kExists, "-ag-number", c.text("-ag-number"));
    std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
    if (auto bad = lunPairs(c, m, pairs); bad.status) return bad;
    Json group{{"number", g}, {"luns", Json::array()}};
    if (c.has("-name")) group["name"] = c.text("-name");
    if (auto bad = addLuns(group["luns"], pairs); bad.status) return bad;
    m["affinity_groups"].push_back(group);
    return CliOutcome::ok();
}

CliOutcome setAffinityGroup(const CliCommand& c, Json& m) {
    Json* group = find(items(m, "affinity_groups"), "number", c.number("-ag-number"));
    if (!group) return CliOutcome::refuse(kNotFound, "-ag-number", c.text("-ag-number"));
    std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
    if (auto bad = lunPairs(c, m, pairs); bad.status) return bad;
    if (c.has("-name")) (*group)["name"] = c.text("-name");
    return addLuns((*group)["luns"], pairs);
}

bool groupBound(Json& m, std::uint64_t g) {
    for (auto& hm : items(m, "host_maps"))
        for (auto& h : hm["hosts"])
            if (num(h, "group") == g) return true;
    return false;
}

CliOutcome deleteAffinityGroup(const CliCommand& c, Json& m) {
    const auto g = c.number("-ag-number");
    Json* group = find(items(m, "affinity_groups"), "number", g);
    if (!group) return CliOutcome::refuse(kNotFound, "-ag-number", c.text("-ag-number"));
    if (c.has("-lun")) return removeLuns((*group)["luns"], c.numbers("-lun"), kNotFound);
    if (groupBound(m, g)) return CliOutcome::refuse(kInUse, "-ag-number", c.text("-ag-number"));
    erase(m["affinity_groups"], [&](const Json& e) { return num(e, "number") == g; });
    return CliOutcome::ok();
}

// ---- Ports -----------------------------------------------------------------

struct PortRef {
    std::uint64_t module = 0;
    std::uint64_t portNo = 0;
    bool iscsi = false;
};

// The port text: CA module id bits 0-2, bits 4-5, then bit 3 doubled with
// the port's low bit, one decimal digit each.
bool resolvePort(Json& m, const std::string& text, PortRef& out) {
    const std::uint64_t a = text[0] - '0', b = text[1] - '0', c = text[2] - '0';
    const std::uint64_t module = 0x40 | (b << 4) | ((c >> 1) << 3) | a;
    for (auto& ca : items(m, "cas")) {
        if (num(ca, "module_id") != module) continue;
        for (auto& p : ca["ports"])
            if ((num(p, "port_no") & 1) == (c & 1)) {
                out.module = module;
                out.portNo = num(p, "port_no");
                const auto kind = num(ca, "real_type") & 0xF000;
                out.iscsi = kind == 0x2000 || kind == 0x3000;
                return true;
            }
    }
    return false;
}

Json* hostMapOf(Json& m, const PortRef& port, bool create) {
    for (auto& hm : items(m, "host_maps"))
        if (num(hm, "ca_module_id") == port.module && num(hm, "port_no") == port.portNo) return &hm;
    if (!create) return nullptr;
    const auto index = lowestFree(m["host_maps"], "index", 128);
    if (index == kNone) return nullptr;
    m["host_maps"].push_back(Json{{"index", index}, {"ca_module_id", port.module}, {"port_no", port.portNo},
                                  {"lun_map", kNone}, {"hosts", Json::array()}});
    return &m["host_maps"].back();
}

CliOutcome setMapping(const CliCommand& c, Json& m) {
    PortRef port;
    if (!resolvePort(m, c.text("-port"), port)) return CliOutcome::refuse(kNotFound, "-port", c.text("-port"));
    std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
    if (auto bad = lunPairs(c, m, pairs); bad.status) return bad;
    Json* hm = hostMapOf(m, port, true);
    if (!hm) return CliOutcome::error(kExists);
    std::uint64_t mapNo = num(*hm, "lun_map", kNone);
    if (mapNo == kNone || !find(items(m, "lun_maps"), "number", mapNo)) {
        // A port's own LUN mapping is numbered after the port.
        mapNo = ((port.module & 0x3F) << 1) | (port.portNo & 1);
        if (find(m["lun_maps"], "number", mapNo)) mapNo = lowestFree(m["lun_maps"], "number", 128);
        if (mapNo == kNone) return CliOutcome::error(kExists);
        (*hm)["lun_map"] = mapNo;
        m["lun_maps"].push_back(Json{{"number", mapNo}, {"luns", Json::array()}});
    }
    return addLuns((*find(m["lun_maps"], "number", mapNo))["luns"], pairs);
}

CliOutcome releaseMapping(const CliCommand& c, Json& m) {
    PortRef port;
    if (!resolvePort(m, c.text("-port"), port)) return CliOutcome::refuse(kNotFound, "-port", c.text("-port"));
    Json* hm = hostMapOf(m, port, false);
    Json* map = hm ? find(items(m, "lun_maps"), "number", num(*hm, "lun_map", kNone)) : nullptr;
    if (!map) return CliOutcome::refuse(kLunUnmapped, "-lun", c.text("-lun"));
    return removeLuns((*map)["luns"], c.numbers("-lun"), kLunUnmapped);
}

CliOutcome setHostAffinity(const CliCommand& c, Json& m) {
    PortRef port;
    if (!resolvePort(m, c.text("-port"), port)) return CliOutcome::refuse(kNotFound, "-port", c.text("-port"));
    const auto hosts = c.numbers("-host-number");
    const auto groups = c.numbers("-ag-number");
    if (hosts.size() != groups.size()) return CliOutcome::refuse(kSyntax, "-ag-number", c.text("-ag-number"));
    Json& table = items(m, port.iscsi ? "iscsi_hosts" : "hosts");
    Json* hm = hostMapOf(m, port, true);
    if (!hm) return CliOutcome::error(kExists);
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        if (!find(table, "index", hosts[i])) return CliOutcome::refuse(kNotFound, "-host-number", std::to_string(hosts[i]));
        if (!find(items(m, "affinity_groups"), "number", groups[i]))
            return CliOutcome::refuse(kNotFound, "-ag-number", std::to_string(groups[i]));
        for (auto& h : (*hm)["hosts"])
            if (num(h, "host") == hosts[i]) return CliOutcome::refuse(kExists, "-host-number", std::to_string(hosts[i]));
        if ((*hm)["hosts"].size() >= 256) return CliOutcome::refuse(kNameUsed, "-host-number", std::to_string(hosts[i]));
        (*hm)["hosts"].push_back(Json{{"host", hosts[i]}, {"group", groups[i]}});
    }
    return CliOutcome::ok();
}

CliOutcome releaseHostAffinity(const CliCommand& c, Json& m) {
    PortRef port;
    if (!resolvePort(m, c.text("-port"), port)) return CliOutcome::refuse(kNotFound, "-port", c.text("-port"));
    Json* hm = hostMapOf(m, port, false);
    for (auto h : c.numbers("-host-number")) {
        bool found = false;
        if (hm) {
            Json& hs = (*hm)["hosts"];
            for (std::size_t i = 0; i < hs.size() && !found; ++i)
                if (num(hs[i], "host") == h) {
                    hs.erase(i);
                    found = true;
                }
        }
        if (!found) return CliOutcome::refuse(kNotFound, "-host-number", std::to_string(h));
    }
    return CliOutcome::ok();
}

// ---- Hosts ------------------------------------------------------------------

bool hostBound(Json& m, std::uint64_t host, bool iscsi) {
    for (auto& ca : items(m, "cas")) {
        const auto kind = num(ca, "real_type") & 0xF000;
        if ((kind == 0x2000 || kind == 0x3000) != iscsi) continue;
        for (auto& hm : items(m, "host_maps")) {
            if (num(hm, "ca_module_id") != num(ca, "module_id")) continue;
            for (auto& h : hm["hosts"])
                if (num(h, "host") == host) return true;
        }
    }
    return false;
}

// A host slot is in use only while its valid flag is 1; a slot with
// another flag is free and a new host takes it over.
bool validSlot(const Json& slot) { return num(slot, "valid", 1) == 1; }

bool slotInUse(Json& slots, std::uint64_t index) {
    const Json* e = find(slots, "index", index);
    return e && validSlot(*e);
}

// A new host in its slot: in place of a free entry of that index, else added.
void takeSlot(Json& slots, Json host) {
    if (Json* e = find(slots, "index", num(host, "index")))
        *e = std::move(host);
    else
        slots.push_back(std::move(host));
}

CliOutcome createHostId(const CliCommand& c, Json& m, bool sas) {
    const std::string opt = sas ? "-address" : "-wwn";
    const auto h = c.number("-host-number");
    if (h >= num(m["limits"], "hosts", 8192)) return CliOutcome::refuse(kSyntax, "-host-number", c.text("-host-number"));
    if (slotInUse(items(m, "hosts"), h)) return CliOutcome::refuse(kExists, "-host-number", c.text("-host-number"));
    for (auto& o : m["hosts"])
        if (validSlot(o) && sameText(str(o, "wwn"), c.text(opt))) return CliOutcome::refuse(kNameUsed, opt, c.text(opt));
    takeSlot(m["hosts"], Json{{"index", h}, {"wwn", upper(c.text(opt))}, {"name", c.has("-name") ? c.text("-name") : ""},
                              {"type", sas ? 2 : 0}, {"valid", 1}});
    return CliOutcome::ok();
}

CliOutcome deleteHostId(const CliCommand& c, Json& m, bool sas) {
    const auto numbers = c.numbers("-host-number");
    for (auto h : numbers) {
        Json* e = find(items(m, "hosts"), "index", h);
        if (!e || !validSlot(*e) || (num(*e, "type") == 2) != sas)
            return CliOutcome::refuse(kNotFound, "-host-number", std::to_string(h));
        if (hostBound(m, h, false)) return CliOutcome::refuse(kInUse, "-host-number", std::to_string(h));
    }
    std::set<std::uint64_t> gone(numbers.begin(), numbers.end());
    erase(m["hosts"], [&](const Json& e) { return gone.count(num(e, "index")) != 0; });
    return CliOutcome::ok();
}

CliOutcome createIscsiHost(const CliCommand& c, Json& m) {
    const auto h = c.number("-host-number");
    if (h >= num(m["limits"], "hosts", 8192)) return CliOutcome::refuse(kSyntax, "-host-number", c.text("-host-number"));
    if (slotInUse(items(m, "iscsi_hosts"), h)) return CliOutcome::refuse(kExists, "-host-number", c.text("-host-number"));
    for (auto& o : m["iscsi_hosts"])
        if (validSlot(o) && sameText(str(o, "iscsi_name"), c.text("-iscsi-name")))
            return CliOutcome::refuse(kNameUsed, "-iscsi-name", c.text("-iscsi-name"));
    takeSlot(m["iscsi_hosts"], Json{{"index", h}, {"iscsi_name", c.text("-iscsi-name")},
                                    {"name", c.has("-name") ? c.text("-name") : ""}, {"valid", 1}});
    return CliOutcome::ok();
}

CliOutcome deleteIscsiHost(const CliCommand& c, Json& m) {
    const auto numbers = c.numbers("-host-number");
    for (auto h : numbers) {
        if (!slotInUse(items(m, "iscsi_hosts"), h)) return CliOutcome::refuse(kNotFound, "-host-number", std::to_string(h));
        if (hostBound(m, h, true)) return CliOutcome::refuse(kInUse, "-host-number", std::to_string(h));
    }
    std::set<std::uint64_t> gone(numbers.begin(), numbers.end());
    erase(m["iscsi_hosts"], [&](const Json& e) { return gone.count(num(e, "index")) != 0; });
    return CliOutcome::ok();
}

// ---- Copy sessions --------------------------------------------------------------

CliOutcome startCopy(const CliCommand& c, Json& m, std::uint64_t type, const std::string& now) {
    const auto src = c.number("-source-volume-number");
    const auto dst = c.number("-destination-volume-number");
    Json session{{"type", type}, {"src", src}, {"dst", dst}, {"state", 2}, {"phase", 1}, {"start_time", now},
                 {"elapsed", 0}, {"copied_blocks", 0}};
    bool srcLocal = true, dstLocal = true;
    if (type == 2) {
        const std::string box = str(m["system"], "box_id");
        srcLocal = c.text("-source-boxid") == box;
        dstLocal = c.text("-destination-boxid") == box;
        if (!srcLocal && !dstLocal) return CliOutcome::refuse(kNotFound, "-source-boxid", c.text("-source-boxid"));
        if (srcLocal && dstLocal) return CliOutcome::refuse(kCopyVolume, "-destination-boxid", c.text("-destination-boxid"));
        session["remote_box"] = srcLocal ? c.text("-destination-boxid") : c.text("-source-boxid");
        session["remote_side"] = srcLocal ? 0 : 1;
        // Started from the command line, a remote copy transfers synchronously.
        session["remote_flag"] = 1;
    }
    Json* s = srcLocal ? find(items(m, "volumes"), "olun", src) : nullptr;
    Json* d = dstLocal ? find(items(m, "volumes"), "olun", dst) : nullptr;
    if (srcLocal && !s) return CliOutcome::refuse(kNotFound, "-source-volume-number", c.text("-source-volume-number"));
    if (dstLocal && !d)
        return CliOutcome::refuse(kNotFound, "-destination-volume-number", c.text("-destination-volume-number"));
    if (type != 2 && src == dst)
        return CliOutcome::refuse(kCopyVolume, "-destination-volume-number", c.text("-destination-volume-number"));
    // A volume is the destination of one session at a time.
    for (auto& o : items(m, "copy_sessions")) {
        const bool oDstLocal = !(num(o, "type") == 2 && num(o, "remote_side") == 0);
        if (dstLocal && oDstLocal && num(o, "dst") == dst)
            return CliOutcome::refuse(kCopyVolume, "-destination-volume-number", c.text("-destination-volume-number"));
    }
    const auto id = lowestFree(m["copy_sessions"], "id", num(m["limits"], "copy_page", 256));
    if (id == kNone) return CliOutcome::error(kExists);
    session["id"] = id;
    session["total_blocks"] = volumeBlocks(s ? *s : *d);
    if (type == 3) session["mode"] = c.text("-mode");
    if (c.has("-secondary-access")) session["secondary_access"] = std::stoi(c.text("-secondary-access"));
    m["copy_sessions"].push_back(session);
    return CliOutcome::ok({hex4(id)});
}

// The session of a "-session-id" option, of one of the given copy types (empty: any).
Json* sessionOf(const CliCommand& c, Json& m, std::initializer_list<std::uint64_t> types) {
    Json* s = find(items(m, "copy_sessions"), "id", c.number("-session-id"));
    if (!s || types.size() == 0) return s;
    return std::find(types.begin(), types.end(), num(*s, "type")) == types.end() ? nullptr : s;
}

CliOutcome stopCopy(const CliCommand& c, Json& m) {
    if (!sessionOf(c, m, {})) return CliOutcome::refuse(kNotFound, "-session-id", c.text("-session-id"));
    const auto id = c.number("-session-id");
    erase(m["copy_sessions"], [&](const Json& s) { return num(s, "id") == id; });
    return CliOutcome::ok();
}

CliOutcome reverseCopy(const CliCommand& c, Json& m, std::uint64_t type) {
    Json* s = sessionOf(c, m, {type});
    if (!s) return CliOutcome::refuse(kNotFound, "-session-id", c.text("-session-id"));
    // The direction turns round; the copy starts again from the new source.
    const auto src = num(*s, "src");
    (*s)["src"] = num(*s, "dst");
    (*s)["dst"] = src;
    if (type == 2) (*s)["remote_side"] = num(*s, "remote_side") ? 0 : 1;
    (*s)["phase"] = 1;
    (*s)["copied_blocks"] = 0;
    return CliOutcome::ok();
}

CliOutcome suspendCopy(const CliCommand& c, Json& m, std::uint64_t type) {
    Json* s = sessionOf(c, m, {type});
    if (!s) return CliOutcome::refuse(kNotFound, "-session-id", c.text("-session-id"));
    if (num(*s, "state") != 2) return CliOutcome::error(kSessionState);
    (*s)["state"] = 4;
    return CliOutcome::ok();
}

CliOutcome resumeCopy(const CliCommand& c, Json& m, std::uint64_t type) {
    Json* s = sessionOf(c, m, {type});
    if (!s) return CliOutcome::refuse(kNotFound, "-session-id", c.text("-session-id"));
    if (num(*s, "state") != 4) return CliOutcome::error(kSessionState);
    (*s)["state"] = 2;
    if (num(*s, "phase") != 2) (*s)["phase"] = 1;
    return CliOutcome::ok();
}

}  // namespace

CliOutcome CliExecutor::run(const CliCommand& c, Json& m, const std::string& now) {
    const std::string& n = c.name;
    if (n == "create raid-group") return createRaidGroup(c, m);
    if (n == "delete raid-group") return deleteRaidGroup(c, m);
    if (n == "create volume") return createVolume(c, m);
    if (n == "delete volume") return deleteVolume(c, m);
    if (n == "expand volume") return expandVolume(c, m);
    if (n == "set volume") return setVolume(c, m);
    if (n == "create thin-pro-pool") return createThinPool(c, m);
    if (n == "delete thin-pro-pool") return deleteThinPool(c, m);
    if (n == "expand thin-pro-pool") return expandThinPool(c, m);
    if (n == "create affinity-group") return createAffinityGroup(c, m);
    if (n == "set affinity-group") return setAffinityGroup(c, m);
    if (n == "delete affinity-group") return deleteAffinityGroup(c, m);
    if (n == "set mapping") return setMapping(c, m);
    if (n == "release mapping") return releaseMapping(c, m);
    if (n == "create host-wwn-name") return createHostId(c, m, false);
    if (n == "create host-sas-address") return createHostId(c, m, true);
    if (n == "delete host-wwn-name") return deleteHostId(c, m, false);
    if (n == "delete host-sas-address") return deleteHostId(c, m, true);
    if (n == "create host-iscsi-name") return createIscsiHost(c, m);
    if (n == "delete host-iscsi-name") return deleteIscsiHost(c, m);
    if (n == "set host-affinity") return setHostAffinity(c, m);
    if (n == "release host-affinity") return releaseHostAffinity(c, m);
    if (n == "start copy-tirn") return startCopy(c, m, 4, now);
    if (n == "start copy-snap-tirn") return startCopy(c, m, 3, now);
    if (n == "start copy-mirrex") return startCopy(c, m, 1, now);
    if (n == "start copy-xmirrex") return startCopy(c, m, 2, now);
    if (n == "stop copy-session") return stopCopy(c, m);
    if (n == "change copy-mirrex") return reverseCopy(c, m, 1);
    if (n == "change copy-xmirrex") return reverseCopy(c, m, 2);
    if (n == "suspend copy-mirrex") return suspendCopy(c, m, 1);
    if (n == "suspend copy-xmirrex") return suspendCopy(c, m, 2);
    if (n == "resume copy-mirrex") return resumeCopy(c, m, 1);
    if (n == "resume copy-xmirrex") return resumeCopy(c, m, 2);
    return CliOutcome::refuse(kSyntax, n);
}

}  // namespace arraysim
