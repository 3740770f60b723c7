#include "ScenarioNormalizer.hpp"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace arraysim {

namespace {

// Parts status of a healthy component.
constexpr std::uint64_t kPartsNormal = 0xE001;

void dflt(Json& j, const char* key, const Json& value) {
    if (!j.contains(key)) j[key] = value;
}

Json& arr(Json& j, const char* key) {
    if (!j.contains(key) || !j[key].is_array()) j[key] = Json::array();
    return j[key];
}

std::string fmt(const char* f, std::uint64_t a, std::uint64_t b = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
    return buf;
}

void partTexts(Json& e, const std::string& prefix, std::uint64_t n) {
    dflt(e, "parts_no", prefix + "-PN");
    dflt(e, "serial_no", fmt("SN%08llu", n));
    dflt(e, "revision", "AA");
}

// Elements given without an index get the next free one.
void numberElements(Json& items, const char* key) {
    std::set<std::uint64_t> used;
    for (auto& e : items)
        if (e.contains(key)) used.insert(num(e, key));
    std::uint64_t next = 0;
    for (auto& e : items) {
        if (e.contains(key)) continue;
        while (used.count(next)) ++next;
        e[key] = next;
        used.insert(next);
    }
}

}  // namespace

void ScenarioNormalizer::normalize(Json& a, std::size_t position) {
    const std::uint64_t pos = position;
    dflt(a, "name", fmt("array%llu", pos + 1));

    Json& sys = a["system"];
    if (!sys.is_object()) sys = Json::object();
    dflt(sys, "series", "KESTRIS");
    dflt(sys, "model_name", "VK200");
    dflt(sys, "serial", fmt("45%08llu", 1000 + pos));
    dflt(sys, "box_id", "00KESTRIS##VK200##" + fmt("45%08llu", 1000 + pos) + "############");
    dflt(sys, "node_wwn", fmt("500000E0D0%06llX", 0x100 * (pos + 1)));
    dflt(sys, "vendor", "KESTRIS");
    dflt(sys, "product", "VK200");
    dflt(sys, "friendly_name", a["name"]);
    dflt(sys, "model_type", 146);  // a model whose thin capacity the system knows
    dflt(sys, "status", 32);  // device status: normal

    Json& model = a["model_info"];
    if (!model.is_object()) model = Json::object();
    dflt(model, "version", 1);
    dflt(model, "level", 0);
    dflt(model, "model_type", 0x30);
    dflt(model, "de_type", 0);
    dflt(model, "support_flags", Json::array({0, 0, 0, 0, 0, 0x80}));

    Json& mg = a["management"];
    if (!mg.is_object()) mg = Json::object();
    dflt(mg, "config_date", "20261201080000");
    dflt(mg, "revision", 1);
    dflt(mg, "validation_count", 1);
    dflt(mg, "table_update_count", 1);
    dflt(mg, "description", "");
    dflt(mg, "manager_name", "admin");
    dflt(mg, "position", "lab");
    dflt(mg, "lan_master", fmt("192.168.%llu.%llu", 10 + pos, 10));
    dflt(mg, "lan_slave", fmt("192.168.%llu.%llu", 10 + pos, 11));

    Json& fw = a["firmware"];
    if (!fw.is_object()) fw = Json::object();
    dflt(fw, "current", 1);
    // Generation, level and patch texts: the array shows "V10L40-0A10".
    dflt(fw, "generations", Json::array({Json::array({"10", "40", "0A10"})}));

    Json& ce = a["ce"];
    if (!ce.is_object()) ce = Json::object();
    dflt(ce, "status", 32);
    dflt(ce, "item_id", 0x02000000);
    dflt(ce, "part_status", kPartsNormal);
    dflt(ce, "factor", 0);
    partTexts(ce, "CE", pos);
    dflt(ce, "inlet_factor", 0);
    dflt(ce, "outlet_factor", 0);

    // Controller modules: two by default.
    Json& cms = arr(a, "cms");
    if (cms.empty()) cms = Json::array({Json::object(), Json::object()});
    numberElements(cms, "index");
    for (auto& cm : cms) {
        const auto i = num(cm, "index");
        dflt(cm, "item_id", 0x01001000 + i * 0x100);
        dflt(cm, "status", kPartsNormal);
        dflt(cm, "factor", 0);
        dflt(cm, "module_id", 0x10 + i);
        dflt(cm, "role", i == 0 ? 1 : 2);
        dflt(cm, "pair_cpu_mid", 0x10 + (i ^ 1));
        dflt(cm, "lan_role", i == 0 ? 1 : 2);
        // The master CPU of a module is the module itself: its id is the one
        // the CM table is searched by.
        dflt(cm, "master_cpu_mid", num(cm, "module_id"));
        partTexts(cm, "CM", i);
        dflt(cm, "hard_revision", "R1");
        Json& mems = arr(cm, "memories");
        if (mems.empty()) mems = Json::array({Json::object()});
        numberElements(mems, "index");
        for (auto& m : mems) {
            const auto n = num(m, "index");
            dflt(m, "item_id", 0x0B001000 + i * 0x100 + n);
            dflt(m, "status", kPartsNormal);
            dflt(m, "size", 8ull << 30);
            partTexts(m, "MEM", i * 8 + n);
        }
    }

    // Channel adapters and their ports.
    Json& cas = arr(a, "cas");
    numberElements(cas, "index");
    for (auto& ca : cas) {
        const auto i = num(ca, "index");
        dflt(ca, "item_id", 0x10004000 + i * 0x100);
        dflt(ca, "status", kPartsNormal);
        dflt(ca, "factor", 0);
        dflt(ca, "module_id", 0x40 + i);
        dflt(ca, "type", 0x0600);
        dflt(ca, "real_type", num(ca, "type"));
        partTexts(ca, "CA", i);
        const bool iscsi = ((num(ca, "real_type") & 0xF000) >= 0x2000 && (num(ca, "real_type") & 0xF000) <= 0x4000);
        const auto half = (num(ca, "module_id") >> 3) & 1;
        Json& ports = arr(ca, "ports");
        if (ports.empty()) ports = Json::array({Json::object(), Json::object()});
        numberElements(ports, "index");
        for (auto& p : ports) {
            const auto k = num(p, "index");
            dflt(p, "status", kPartsNormal);
            dflt(p, "factor", 0);
            dflt(p, "port_no", half * 2 + k);
            dflt(p, "security_mode", 0);
            dflt(p, "transfer_rate", 0);
            dflt(p, "ra_mode", 0);
            dflt(p, "lu_reset_scope", 0);
            dflt(p, "reserve_cancel", 0);
            dflt(p, "host_connection", 1);
            dflt(p, "method", 0);
            dflt(p, "loop_id", 0);
            dflt(p, "class", 3);
            dflt(p, "frame_size", 2048);
            dflt(p, "wwn", fmt("500000E0D0%04llX", (pos + 1) * 0x100 + i * 2 + k) + "00");
            dflt(p, "iscsi_name", iscsi ? fmt("iqn.2026-12.com.kestris:vk200.a%llu.p%llu", pos * 1000 + i, k) : "");
            dflt(p, "alias", "");
            dflt(p, "ip", iscsi ? fmt("10.%llu.%llu.1", 10 + pos, i * 2 + k) : "0.0.0.0");
            dflt(p, "subnet", iscsi ? "255.255.255.0" : "0.0.0.0");
            dflt(p, "mac", fmt("00000E%02llX%04llX", pos, i * 2 + k));
            dflt(p, "tcp_port", iscsi ? 3260 : 0);
            dflt(p, "link_state", iscsi ? 1 : 8);
            Json& sfp = p["sfp"];
            if (!sfp.is_object()) sfp = Json::object();
            partTexts(sfp, "SFP", i * 2 + k);
            arr(p, "logins");
            for (auto& l : p["logins"]) {
                dflt(l, "tsih", 1);
                dflt(l, "isid", "400001370000");
                dflt(l, "connection_id", 1);
                dflt(l, "session_type", 1);
                dflt(l, "statistics", Json::object());
            }
        }
    }

    // Enclosure parts of the controller enclosure.
    auto unitParts = [&](const char* key, std::uint64_t topByte, std::size_t count, const char* prefix) {
        Json& items = arr(a, key);
        if (items.empty())
            for (std::size_t n = 0; n < count; ++n) items.push_back(Json::object());
        numberElements(items, "index");
        for (auto& e : items) {
            const auto n = num(e, "index");
            dflt(e, "item_id", (topByte << 24) | (n << 8));
            dflt(e, "status", kPartsNormal);
            dflt(e, "factor", 0);
            partTexts(e, prefix, n);
        }
    };
    unitParts("fans", 0x71, 2, "FAN");
    unitParts("cpsus", 0x73, 2, "PSU");
    unitParts("bbus", 0x75, 2, "BBU");
    for (auto& b : a["bbus"]) dflt(b, "capacity", 100);

    // Drive enclosures, with their expanders and power supplies.
    Json& des = arr(a, "des");
    numberElements(des, "index");
    std::map<std::uint64_t, std::uint64_t> disksPerDe;
    for (auto& d : arr(a, "disks")) disksPerDe[num(d, "de")]++;
    for (auto& de : des) {
        const auto i = num(de, "index");
        const auto id = deIdOf(static_cast<std::uint32_t>(i));
        dflt(de, "de_id", id);
        dflt(de, "item_id", 0xD0000000 | (id << 8));
        dflt(de, "status", kPartsNormal);
        dflt(de, "factor", 0);
        dflt(de, "de_status", 32);
        de["disk_count"] = disksPerDe[i];  // always follows the disks
        partTexts(de, "DE", i);
        dflt(de, "inlet_factor", 0);
        dflt(de, "outlet_factor", 0);
        for (const char* key : {"expanders", "psus"}) {
            Json& units = arr(de, key);
            if (units.empty()) units = Json::array({Json::object(), Json::object()});
            numberElements(units, "index");
            const std::uint64_t top = std::string(key) == "expanders" ? 0x90 : 0xD2;
            for (auto& u : units) {
                dflt(u, "item_id", (top << 24) | (id << 8) | num(u, "index"));
                dflt(u, "status", kPartsNormal);
                dflt(u, "factor", 0);
                partTexts(u, key[0] == 'e' ? "EXP" : "DPSU", i * 2 + num(u, "index"));
            }
        }
    }

    // RAID groups: one disk set per group unless given; disk set numbers
    // follow the group numbers.
    Json& rgs = arr(a, "raid_groups");
    numberElements(rgs, "rlun");
    std::map<std::uint64_t, std::pair<std::uint64_t, std::uint64_t>> diskOwner;  // plun -> (dlun, rlun)
    std::set<std::uint64_t> usedDluns;
    for (auto& rg : rgs)
        for (auto& ds : list(rg, "disk_sets"))
            if (ds.contains("dlun")) usedDluns.insert(num(ds, "dlun"));
    std::uint64_t nextDlun = 0;
    for (auto& rg : rgs) {
        const auto r = num(rg, "rlun");
        dflt(rg, "status", 0x2000);
        dflt(rg, "owner_cm", 0x10 + (r & 1));
        dflt(rg, "level", 1);
        dflt(rg, "mode", 0);
        dflt(rg, "blockade", 0);
        dflt(rg, "pool", 0xFFFF);
        dflt(rg, "stripe", 64 * 1024);
        dflt(rg, "name", fmt("RG%03llu", r));
        Json& sets = arr(rg, "disk_sets");
        if (rg.contains("disks")) {
            // A group given by its disks has one disk set that always follows
            // them (its number stays once given).
            Json set{{"disks", rg["disks"]}};
            if (!sets.empty())
                for (const char* k : {"dlun", "status", "fixed_blocks"})
                    if (sets[0].contains(k)) set[k] = sets[0][k];
            sets = Json::array({set});
        }
        for (auto& ds : sets) {
            if (!ds.contains("dlun")) {
                while (usedDluns.count(nextDlun)) ++nextDlun;
                ds["dlun"] = nextDlun;
                usedDluns.insert(nextDlun);
            }
            dflt(ds, "status", 0x2000);
            arr(ds, "disks");
            for (auto& p : ds["disks"]) diskOwner[p.get<std::uint64_t>()] = {num(ds, "dlun"), r};
        }
    }

    // Disks: physical number and identifier from the slot, usage from membership.
    Json& disks = arr(a, "disks");
    for (auto& d : disks) {
        const auto de = num(d, "de");
        const auto slot = num(d, "slot");
        dflt(d, "plun", plunOf(static_cast<std::uint32_t>(de), static_cast<std::uint32_t>(slot)));
        const auto plun = num(d, "plun");
        dflt(d, "item_id", 0x80000000 | plun);
        dflt(d, "status", 0);
        dflt(d, "factor", 0);
        auto own = diskOwner.find(plun);
        // Membership always follows the RAID groups, so that changes to the
        // groups keep the disks consistent.
        d["dlun"] = own == diskOwner.end() ? 0xFFFF : own->second.first;
        // Usage: 1 a RAID group member, 10 a spare dedicated to a RAID
        // group, 2 a global spare, 5 a free disk.
        const bool dedicated = num(d, "dedicated_hs_rlun", 0xFFFF) != 0xFFFF;
        d["usage"] = d.contains("usage_override")  ? num(d, "usage_override")
                     : own != diskOwner.end()       ? 1
                     : dedicated                    ? 10
                     : d.value("global_hot_spare", false) ? 2
                                                    : 5;
        dflt(d, "kind", 0x01);
        dflt(d, "capacity", 0x0300);
        dflt(d, "rotation", 10000);
        dflt(d, "dedicated_hs_rlun", 0xFFFF);
        dflt(d, "blocks", 1172123568ull);
        dflt(d, "vendor", "KESTRIS");
        dflt(d, "product", "KD600SAS");
        dflt(d, "revision", "0A01");
        dflt(d, "serial", fmt("D%07llu%02llu", pos * 10000 + plun, slot));
    }
    std::map<std::uint64_t, const Json*> diskByPlun;
    for (auto& d : disks) diskByPlun[num(d, "plun")] = &d;
    for (auto& rg : rgs) {
        std::uint64_t total = 0;
        for (auto& ds : rg["disk_sets"]) {
            std::uint64_t smallest = 0;
            for (auto& p : ds["disks"]) {
                auto it = diskByPlun.find(p.get<std::uint64_t>());
                const auto b = it == diskByPlun.end() ? 0 : num(*it->second, "blocks") - 2097152;
                if (smallest == 0 || b < smallest) smallest = b;
            }
            ds["blocks"] = ds.contains("fixed_blocks") ? num(ds, "fixed_blocks") : smallest;
            const auto n = ds["disks"].size();
            const auto level = num(rg, "level");
            // Data disks of the set by RAID level code.
            std::uint64_t data = n;
            switch (level) {
            case 4: case 12: data = n / 2; break;   // RAID1, RAID1+0
            case 1: data = n > 1 ? n - 1 : 0; break;  // RAID5
            case 3: case 9: data = n > 2 ? n - 2 : 0; break;  // RAID6, RAID5+0
            default: break;                           // RAID0 and unknown codes
            }
            total += num(ds, "blocks") * data;
        }
        rg["blocks"] = rg.contains("fixed_blocks") ? num(rg, "fixed_blocks") : total;
    }

    // Volumes: a plain volume gets one slice on its RAID group.
    Json& vols = arr(a, "volumes");
    numberElements(vols, "olun");
    std::set<std::uint64_t> usedSluns;
    for (auto& v : vols)
        for (auto& s : list(v, "slices"))
            if (s.contains("slun")) usedSluns.insert(num(s, "slun"));
    std::map<std::uint64_t, std::uint64_t> nextRlba;
    std::uint64_t nextSlun = 0;
    for (auto& v : vols) {
        const auto o = num(v, "olun");
        dflt(v, "status", 0);
        dflt(v, "name", fmt("VOL%04llu", o));
        dflt(v, "threshold", 0);
        dflt(v, "lu_type", 1);
        dflt(v, "volume_type", 1);
        Json& slices = arr(v, "slices");
        if (v.contains("raid_group") || slices.empty()) {
            // A plain volume has one slice that always follows its RAID group
            // and size; the slice keeps its number and MLU once given.
            const Json old = slices.empty() ? Json::object() : slices[0];
            Json s = Json::object();
            for (const char* k : {"slun", "mlun", "sdp_id"})
                if (old.contains(k)) s[k] = old[k];
            if (v.contains("raid_group")) s["rlun"] = v["raid_group"];
            if (v.contains("blocks")) s["blocks"] = v["blocks"];
            if (old.contains("start_rlba") && num(old, "rlun") == num(s, "rlun", 0xFFFF) &&
                num(old, "blocks") == num(s, "blocks", 2097152))
                s["start_rlba"] = old["start_rlba"];
            slices = Json::array({s});
        }
        std::uint64_t olba = 0;
        for (auto& s : slices) {
            if (!s.contains("slun")) {
                // A volume's first slice takes the volume number when it is free.
                std::uint64_t want = (&s == &slices[0] && !usedSluns.count(o)) ? o : nextSlun;
                while (usedSluns.count(want)) want = ++nextSlun;
                s["slun"] = want;
                usedSluns.insert(want);
            }
            dflt(s, "status", num(v, "status"));
            dflt(s, "lu_type", num(v, "lu_type"));
            dflt(s, "rlun", 0xFFFF);
            dflt(s, "blocks", 2097152);
            dflt(s, "mlun", 0xFFFF);
            dflt(s, "sdp_id", 0);
            const auto rl = num(s, "rlun");
            dflt(s, "start_rlba", nextRlba[rl]);
            nextRlba[rl] = num(s, "start_rlba") + num(s, "blocks");
            dflt(s, "start_olba", olba);
            dflt(s, "slba_blocks", num(s, "blocks"));
            dflt(s, "virtual_blocks", num(s, "blocks"));
            olba += num(s, "blocks");
        }
        for (std::size_t k = 0; k < slices.size(); ++k)
            slices[k]["next_slun"] = k + 1 < slices.size() ? num(slices[k + 1], "slun") : 0xFFFF;
        v["blocks"] = olba;
    }
    // MLUs: every slice that names one gets an MLU entry unless listed.
    Json& mlus = arr(a, "mlus");
    // MLUs derived from slices are made again each time, so they follow the slices.
    Json kept = Json::array();
    for (auto& m : mlus)
        if (!m.value("derived", false)) kept.push_back(m);
    mlus = kept;
    std::set<std::uint64_t> haveMlu;
    for (auto& m : mlus) haveMlu.insert(num(m, "mlun"));
    for (auto& v : vols)
        for (auto& s : v["slices"])
            if (num(s, "mlun") != 0xFFFF && !haveMlu.count(num(s, "mlun"))) {
                mlus.push_back(Json{{"mlun", num(s, "mlun")}, {"slun", num(s, "slun")}, {"derived", true}});
                haveMlu.insert(num(s, "mlun"));
            }
    for (auto& m : mlus) dflt(m, "status", 0);

    // Hosts, groups and maps.
    Json& hosts = arr(a, "hosts");
    numberElements(hosts, "index");
    for (auto& h : hosts) {
        const auto n = num(h, "index");
        dflt(h, "wwn", fmt("2100001B32%06llX", pos * 0x10000 + n));
        dflt(h, "name", fmt("HOST%03llu", n));
        dflt(h, "type", 0);
        dflt(h, "response", 0);
        dflt(h, "valid", 1);
    }
    Json& ihosts = arr(a, "iscsi_hosts");
    numberElements(ihosts, "index");
    for (auto& h : ihosts) {
        const auto n = num(h, "index");
        dflt(h, "iscsi_name", fmt("iqn.2026-12.com.example:host%llu", pos * 1000 + n));
        dflt(h, "ip", "0.0.0.0");
        dflt(h, "name", fmt("IHOST%03llu", n));
        dflt(h, "response", 0);
        dflt(h, "valid", 1);
    }
    Json& groups = arr(a, "affinity_groups");
    numberElements(groups, "number");
    for (auto& g : groups) {
        dflt(g, "name", fmt("AG%03llu", num(g, "number")));
        dflt(g, "definition", 1);
        dflt(g, "prev", 0xFFFF);
        dflt(g, "next", 0xFFFF);
        arr(g, "luns");
    }
    Json& lunMaps = arr(a, "lun_maps");
    numberElements(lunMaps, "number");
    for (auto& m : lunMaps) {
        dflt(m, "definition", 1);
        arr(m, "luns");
    }
    Json& hostMaps = arr(a, "host_maps");
    numberElements(hostMaps, "index");
    for (auto& m : hostMaps) {
        const auto n = num(m, "index");
        dflt(m, "ca_module_id", 0x40 + n / 2);
        dflt(m, "port_no", n % 2);
        dflt(m, "lun_map", n);
        arr(m, "hosts");
        for (auto& h : m["hosts"]) {
            dflt(h, "host", 0xFFFF);
            dflt(h, "group", 0xFFFF);
        }
        m["valid_count"] = m["hosts"].size();
    }

    // Pools.
    Json& tpps = arr(a, "thin_pools");
    numberElements(tpps, "number");
    for (auto& p : tpps) {
        const auto n = num(p, "number");
        // The member count is that of one RAID group of the pool (every
        // group of a pool has as many disks: an expansion adds one more
        // group of that count); the size is the sum over the groups.
        std::uint64_t members = 0, blocks = 0, level = 0;
        bool first = true;
        for (auto& rg : rgs)
            if ((num(rg, "mode") & 1) && num(rg, "pool") == n) {
                if (first)
                    for (auto& ds : rg["disk_sets"]) members += ds["disks"].size();
                first = false;
                blocks += num(rg, "blocks");
                level = num(rg, "level");
            }
        dflt(p, "name", fmt("TPP%03llu", n));
        dflt(p, "threshold_y", 75);
        dflt(p, "threshold_r", 90);
        dflt(p, "raid_level", level ? level : 1);
        dflt(p, "disk_count", members ? members : 1);
        dflt(p, "max_blocks", blocks);
        dflt(p, "tiering_pool", 255);
        dflt(p, "status", 0);
    }
    Json& lxrps = arr(a, "tiering_pools");
    numberElements(lxrps, "number");
    for (auto& p : lxrps) {
        dflt(p, "name", fmt("LXRP%02llu", num(p, "number")));
        dflt(p, "valid", 1);
        dflt(p, "threshold_y", 75);
        dflt(p, "threshold_r", 90);
        arr(p, "sub_pools");
    }
    Json& sdps = arr(a, "snapshot_pools");
    numberElements(sdps, "id");
    for (auto& s : sdps) {
        dflt(s, "status", 0);
        dflt(s, "percent", 0);
        dflt(s, "capacity", 2097152);
        dflt(s, "used", 0);
    }

    // Thin volume allocation and alarms. A pool's alarm record without a
    // size takes the pool's size; after that it follows the pool's size
    // (its RAID groups) by the change since it was last seen.
    for (auto& al : arr(a, "pool_alarms")) {
        for (auto& p : tpps) {
            if (num(p, "number") != num(al, "pool")) continue;
            const auto blocks = num(p, "max_blocks");
            dflt(al, "total_mib", blocks / 2048);
            if (al.contains("pool_blocks")) {
                const auto seen = num(al, "pool_blocks");
                const auto total = num(al, "total_mib");
                al["total_mib"] = blocks >= seen ? total + (blocks - seen) / 2048
                                                 : total - std::min(total, (seen - blocks) / 2048);
            }
            al["pool_blocks"] = blocks;
        }
        dflt(al, "used_mib", 0);
        dflt(al, "state", 0);
    }
    arr(a, "volume_alarms");
    for (auto& al : a["volume_alarms"]) {
        dflt(al, "allocated", 0);
        dflt(al, "state", 0);
    }

    // Copy sessions.
    Json& cps = arr(a, "copy_sessions");
    numberElements(cps, "id");
    for (auto& c : cps) {
        dflt(c, "type", 1);
        dflt(c, "volume_type", 1);
        dflt(c, "src", 0);
        dflt(c, "dst", 1);
        dflt(c, "state", 1);
        dflt(c, "phase", 1);
        dflt(c, "elapsed", 0);
        dflt(c, "progress", 0);
        dflt(c, "start_time", "20261201080000");
        dflt(c, "remote_box", "");
        dflt(c, "remote_side", 0);
        dflt(c, "flags_extra", 0);
        dflt(c, "byte20", 0);
        dflt(c, "copied_blocks", 0);
        dflt(c, "total_blocks", 0);
    }

    // Remote boxes and the connection map.
    Json& boxes = arr(a, "remote_boxes");
    for (auto& b : boxes) {
        dflt(b, "box_id", "00KESTRIS##REMOTE##000000000000000000000");
        arr(b, "paths");
        for (auto& p : b["paths"]) dflt(p, "state", 0);
    }
    Json& conns = arr(a, "connections");
    for (auto& c : conns) {
        dflt(c, "ca_type", 0);
        dflt(c, "wwn", "0000000000000000");
        dflt(c, "iscsi_name", "");
        dflt(c, "ip", "0.0.0.0");
        dflt(c, "remote_path", 0);
    }

    // Table sizes of the volume tables: one past the highest number unless set.
    Json& lim = a["limits"];
    if (!lim.is_object()) lim = Json::object();
    auto highest = [](const Json& items, const char* key) {
        std::uint64_t h = 0;
        for (auto& e : items) h = std::max<std::uint64_t>(h, num(e, key) + 1);
        return h;
    };
    std::uint64_t sl = 0, dl = 0;
    for (auto& v : vols)
        for (auto& s : v["slices"]) sl = std::max<std::uint64_t>(sl, num(s, "slun") + 1);
    for (auto& rg : rgs)
        for (auto& ds : rg["disk_sets"]) dl = std::max<std::uint64_t>(dl, num(ds, "dlun") + 1);
    dflt(lim, "olu", std::max<std::uint64_t>(highest(vols, "olun"), 64));
    dflt(lim, "slu", std::max<std::uint64_t>(sl, 64));
    dflt(lim, "rlu", std::max<std::uint64_t>(highest(rgs, "rlun"), 32));
    dflt(lim, "dlu", std::max<std::uint64_t>(dl, 32));
    dflt(lim, "mlu", std::max<std::uint64_t>(highest(mlus, "mlun"), 64));
    dflt(lim, "cm", std::max<std::uint64_t>(highest(cms, "index"), 2));
    dflt(lim, "affinity_groups", std::max<std::uint64_t>(highest(groups, "number"), 256));
    dflt(lim, "hosts", 8192);
    dflt(lim, "copy_page", 256);

    // Live state of the array that the configuration table does not hold.
    Json& faults = a["faults"];
    if (!faults.is_array()) faults = Json::array();
}

}  // namespace arraysim
