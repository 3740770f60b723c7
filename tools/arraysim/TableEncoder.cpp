#include "TableEncoder.hpp"

#include <arpa/inet.h>

#include <stdexcept>

namespace arraysim {

namespace {

constexpr std::uint64_t kNone = 0xFFFF;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// Hex text to n bytes; missing digits read as zero (the validator refuses
// texts that are not hex of the right length).
Bytes hexBytes(const std::string& hex, std::size_t n) {
    Bytes b(n, 0);
    for (std::size_t i = 0; i < n && 2 * i + 1 < hex.size(); ++i)
        b[i] = static_cast<std::uint8_t>(hexDigit(hex[2 * i]) << 4 | hexDigit(hex[2 * i + 1]));
    return b;
}

// The 60-byte text triple of unit records.
void texts(WireBytes& w, std::size_t off, const Json& e, const char* rev = "revision") {
    w.text(off, 20, str(e, "parts_no"));
    w.text(off + 20, 20, str(e, "serial_no"));
    w.text(off + 40, 8, str(e, rev));
}

Bytes rec(WireBytes& w) { return w.take(); }

void cmTable(const Json& a, EncodedTable& t) {
    for (auto& cm : a["cms"]) {
        WireBytes w(32);
        w.le32(0, num(cm, "item_id"));
        w.le16(4, num(cm, "status"));
        w.le16(6, num(cm, "factor"));
        w.u8(8, num(cm, "module_id"));
        w.u8(9, num(cm, "role"));
        w.u8(10, num(cm, "pair_cpu_mid"));
        w.u8(11, num(cm, "lan_role"));
        t.records.push_back(rec(w));
    }
}

void caTable(const Json& a, EncodedTable& t) {
    for (auto& ca : a["cas"]) {
        WireBytes w(32);
        w.le32(0, num(ca, "item_id"));
        w.le16(4, num(ca, "status"));
        w.le16(6, num(ca, "factor"));
        w.u8(8, num(ca, "module_id"));
        w.le16(10, num(ca, "type"));
        w.le16(12, num(ca, "real_type"));
        t.records.push_back(rec(w));
    }
}

void managementInfo(const Json& a, EncodedTable& t) {
    const Json& m = a["management"];
    WireBytes w(32);
    w.text(0, 14, str(m, "config_date"));
    w.le16(14, num(m, "revision"));
    w.le32(28, num(m, "validation_count"));
    t.records.push_back(rec(w));
}

void memoryTable(const Json& a, EncodedTable& t) {
    for (auto& cm : a["cms"])
        for (auto& m : cm["memories"]) {
            WireBytes w(80);
            w.le32(0, num(m, "item_id"));
            w.le16(4, num(m, "status"));
            w.le64(8, num(m, "size"));
            texts(w, 16, m);
            t.records.push_back(rec(w));
        }
}

void ceRecord(const Json& a, EncodedTable& t) {
    const Json& ce = a["ce"];
    WireBytes w(80);
    w.le32(0, num(ce, "item_id"));
    w.le16(4, num(ce, "part_status"));
    w.le16(6, num(ce, "factor"));
    texts(w, 16, ce);
    t.records.push_back(rec(w));
}

void deTable(const Json& a, EncodedTable& t) {
    for (auto& de : a["des"]) {
        WireBytes w(96);
        w.le32(0, num(de, "item_id"));
        w.le16(4, num(de, "status"));
        w.le16(6, num(de, "factor"));
        w.u8(8, num(de, "de_id"));
        w.u8(9, num(de, "disk_count"));
        texts(w, 16, de);
        t.records.push_back(rec(w));
    }
}

void diskTable(const Json& a, EncodedTable& t) {
    for (auto& d : a["disks"]) {
        WireBytes w(160);
        w.le32(0, num(d, "item_id"));
        w.le16(4, num(d, "status"));
        w.u8(6, num(d, "factor"));
        w.le32(8, num(d, "plun"));  // location word: physical disk number, slot in bits 0-4
        w.le16(12, num(d, "dlun"));
        w.u8(14, num(d, "usage"));
        w.u8(15, num(d, "kind"));
        w.le16(16, num(d, "capacity"));
        w.le16(18, num(d, "rotation"));
        w.le16(20, num(d, "dedicated_hs_rlun"));
        w.le64(32, num(d, "blocks"));
        w.text(88, 8, str(d, "vendor"));
        w.text(96, 16, str(d, "product"));
        w.text(112, 8, str(d, "revision"));
        w.text(120, 16, str(d, "serial"));
        t.records.push_back(rec(w));
    }
}

void systemRecord(const Json& a, EncodedTable& t) {
    const Json& s = a["system"];
    WireBytes w(512);
    w.text(0, 12, str(s, "series"), '#');
    w.text(12, 12, str(s, "model_name"), '#');
    w.text(24, 12, str(s, "serial"), '#');
    w.text(36, 40, str(s, "box_id"));
    w.raw(84, wwnBytes(str(s, "node_wwn")));
    w.text(92, 8, str(s, "vendor"));
    w.text(100, 16, str(s, "product"));
    w.text(116, 16, str(s, "friendly_name"));
    w.u8(132, num(s, "model_type"));
    t.records.push_back(rec(w));
}

void oluTable(const Json& a, EncodedTable& t) {
    for (auto& v : a["volumes"]) {
        WireBytes w(96);
        w.le16(0, num(v, "olun"));
        w.le16(2, num(v, "status"));
        const auto& sl = v["slices"];
        w.u8(4, sl.size());
        w.u8(5, num(v, "threshold"));
        w.le64(8, num(v, "blocks"));
        for (std::size_t k = 0; k < 20; ++k) w.le16(16 + 2 * k, k < sl.size() ? num(sl[k], "slun") : kNone);
        w.text(56, 16, str(v, "name"));
        t.records.push_back(rec(w));
    }
}

void sluTable(const Json& a, EncodedTable& t) {
    for (auto& v : a["volumes"])
        for (auto& s : v["slices"]) {
            WireBytes w(176);
            w.le16(0, num(s, "slun"));
            w.le16(2, num(s, "status"));
            w.u8(4, num(s, "lu_type"));
            w.le16(6, num(s, "rlun"));
            w.le16(8, num(s, "mlun"));
            w.le16(10, num(v, "olun"));
            w.le64(16, num(s, "start_rlba"));
            w.le64(32, num(s, "start_olba"));
            w.le64(40, num(s, "blocks"));
            w.le64(48, num(s, "slba_blocks"));
            w.le64(56, num(s, "virtual_blocks"));
            w.u8(64, num(s, "sdp_id"));
            w.le16(66, num(s, "next_slun"));
            t.records.push_back(rec(w));
        }
}

void rluTable(const Json& a, EncodedTable& t) {
    for (auto& rg : a["raid_groups"]) {
        const auto r = num(rg, "rlun");
        WireBytes w(640);
        w.le16(0, r);
        w.le16(2, num(rg, "status"));
        w.u8(4, num(rg, "owner_cm"));
        w.u8(5, num(rg, "level"));
        w.u8(8, num(rg, "mode"));
        w.u8(9, num(rg, "blockade"));
        w.le16(10, num(rg, "pool"));
        w.le64(16, num(rg, "blocks"));
        w.le32(24, num(rg, "stripe"));
        // A free slot's slice (status 6) holds no place in its RAID group.
        std::vector<std::uint64_t> sluns;
        for (auto& v : a["volumes"])
            for (auto& s : v["slices"])
                if (num(s, "rlun") == r && (num(s, "status") & 0xFF) != 6) sluns.push_back(num(s, "slun"));
        w.u8(48, std::min<std::size_t>(sluns.size(), 255));
        for (std::size_t k = 0; k < 256; ++k) w.le16(52 + 2 * k, k < sluns.size() ? sluns[k] : kNone);
        const auto& sets = rg["disk_sets"];
        w.u8(564, sets.size());
        for (std::size_t k = 0; k < 16; ++k) w.le16(568 + 2 * k, k < sets.size() ? num(sets[k], "dlun") : kNone);
        w.text(600, 16, str(rg, "name"));
        t.records.push_back(rec(w));
    }
}

void dluTable(const Json& a, EncodedTable& t) {
    for (auto& rg : a["raid_groups"]) {
        std::uint64_t member = 0;
        for (auto& ds : rg["disk_sets"]) {
            WireBytes w(112);
            w.le16(0, num(ds, "dlun"));
            w.le16(2, num(ds, "status"));
            w.le16(4, num(rg, "rlun"));
            w.u8(6, member++);
            w.le64(8, num(ds, "blocks"));
            const auto& disks = ds["disks"];
            w.u8(16, disks.size());
            for (std::size_t k = 0; k < 16; ++k)
                w.le16(40 + 2 * k, k < disks.size() ? disks[k].get<std::uint64_t>() : kNone);
            t.records.push_back(rec(w));
        }
    }
}

void mapTable(const Json& a, EncodedTable& t) {
    for (auto& m : a["host_maps"]) {
        WireBytes w(2080);
        w.le16(0, num(m, "index"));
        w.u8(2, num(m, "ca_module_id"));
        w.u8(3, num(m, "port_no"));
        w.le16(4, num(m, "lun_map"));
        w.u8(6, num(m, "valid_count"));
        const auto& hosts = m["hosts"];
        for (std::size_t s = 0; s < 256; ++s) {
            w.le16(32 + 4 * s, s < hosts.size() ? num(hosts[s], "host") : kNone);
            w.le16(34 + 4 * s, s < hosts.size() ? num(hosts[s], "group") : kNone);
        }
        for (std::size_t b = 1056; b < 2080; ++b) w.u8(b, 0xFF);
        t.records.push_back(rec(w));
    }
}

void hostTable(const Json& a, EncodedTable& t) {
    for (auto& h : a["hosts"]) {
        WireBytes w(40);
        w.raw(0, wwnBytes(str(h, "wwn")));
        w.le16(8, num(h, "response"));
        w.u8(10, num(h, "valid"));
        w.u8(11, num(h, "type"));
        w.text(12, 16, str(h, "name"));
        w.le16(32, num(h, "index"));
        t.records.push_back(rec(w));
    }
}

void iscsiHostTable(const Json& a, EncodedTable& t) {
    for (auto& h : a["iscsi_hosts"]) {
        WireBytes w(1208);
        w.text(0, 256, str(h, "iscsi_name"), '\0');
        w.raw(1024, ipv4Bytes(str(h, "ip")));
        w.u8(1040, num(h, "valid"));
        w.le16(1042, num(h, "response"));
        w.text(1046, 16, str(h, "name"));
        w.le16(1200, num(h, "index"));
        t.records.push_back(rec(w));
    }
}

void firmwareTable(const Json& a, EncodedTable& t) {
    const Json& fw = a["firmware"];
    const auto cur = num(fw, "current");
    WireBytes w(32);
    w.u8(0, cur);
    const auto& gens = list(fw, "generations");
    if (cur >= 1 && cur <= gens.size()) {
        const auto& g = gens[cur - 1];
        w.text(16, 2, g.size() > 0 ? g[0].get<std::string>() : "");
        w.text(18, 2, g.size() > 1 ? g[1].get<std::string>() : "");
        w.text(20, 4, g.size() > 2 ? g[2].get<std::string>() : "");
    }
    t.records.push_back(rec(w));
}

void sensor(const Json& a, EncodedTable& t, const char* factorKey, std::uint64_t idBit) {
    const Json& ce = a["ce"];
    WireBytes w(16);
    w.le32(0, num(ce, "item_id") | idBit);
    w.le16(4, num(ce, "part_status"));
    w.le16(6, num(ce, factorKey));
    t.records.push_back(rec(w));
}

void deSensors(const Json& a, EncodedTable& t, const char* factorKey) {
    for (auto& de : a["des"]) {
        WireBytes w(16);
        w.le32(0, num(de, "item_id"));
        w.le16(4, num(de, "status"));
        w.le16(6, num(de, factorKey));
        t.records.push_back(rec(w));
    }
}

void cmDetail(const Json& a, EncodedTable& t) {
    for (auto& cm : a["cms"]) {
        if (num(cm, "index") >= 8) continue;
        WireBytes w(80);
        w.u8(0, num(cm, "master_cpu_mid"));
        w.text(16, 20, str(cm, "parts_no"));
        w.text(36, 20, str(cm, "serial_no"));
        w.text(56, 8, str(cm, "hard_revision"));
        t.records.push_back(rec(w));
    }
}

void mluTable(const Json& a, EncodedTable& t) {
    for (auto& m : a["mlus"]) {
        WireBytes w(48);
        w.le16(0, num(m, "mlun"));
        w.le16(2, num(m, "status"));
        w.le16(4, num(m, "slun"));
        t.records.push_back(rec(w));
    }
}

void caDetail(const Json& a, EncodedTable& t) {
    for (auto& ca : a["cas"]) {
        WireBytes w(3680);
        w.u8(0, num(ca, "index"));
        w.le32(4, num(ca, "item_id"));
        texts(w, 32, ca);
        for (auto& p : ca["ports"]) {
            const auto k = num(p, "index");
            if (k > 1) continue;
            texts(w, 92 + 60 * k, p["sfp"]);
            const std::size_t o = 224 + 1728 * k;
            w.le16(o + 0, num(p, "status"));
            w.u8(o + 2, num(p, "factor"));
            w.u8(o + 3, num(p, "port_no"));
            w.u8(o + 4, num(p, "security_mode"));
            w.u8(o + 5, num(p, "transfer_rate"));
            w.u8(o + 6, num(p, "ra_mode"));
            w.u8(o + 7, num(p, "lu_reset_scope"));
            w.u8(o + 8, num(p, "reserve_cancel"));
            w.u8(o + 9, num(p, "host_connection"));
            w.u8(o + 10, num(p, "method"));
            w.u8(o + 11, num(p, "loop_id"));
            w.u8(o + 12, num(p, "class"));
            w.le16(o + 14, num(p, "frame_size"));
            w.raw(o + 16, wwnBytes(str(p, "wwn")));
            w.text(o + 24, 256, str(p, "iscsi_name"), '\0');
            w.text(o + 280, 31, str(p, "alias"), '\0');
            w.raw(o + 311, ipv4Bytes(str(p, "ip")));
            w.raw(o + 315, ipv4Bytes(str(p, "subnet")));
            w.raw(o + 319, macBytes(str(p, "mac")));
            w.le16(o + 326, num(p, "tcp_port"));
            w.le16(o + 328, num(p, "iscsi_option"));
            w.le16(o + 330, num(p, "max_connections", 8));
            w.le16(o + 332, num(p, "task_retain_time", 20));
            w.le16(o + 334, num(p, "reconnection_wait_time", 2));
            w.le32(o + 336, num(p, "max_burst_length", 262144));
            w.le32(o + 340, num(p, "max_receive_segment", 262144));
            w.u8(o + 344, num(p, "header_digest"));
            w.u8(o + 345, num(p, "data_digest"));
            w.u8(o + 346, num(p, "error_recovery_level"));
        }
        t.records.push_back(rec(w));
    }
}

// FAN and CPSU records share a layout; texts follow the status words.
void unitTable(const Json& items, EncodedTable& t) {
    for (auto& e : items) {
        WireBytes w(80);
        w.le32(0, num(e, "item_id"));
        w.le16(4, num(e, "status"));
        w.le16(6, num(e, "factor"));
        texts(w, 8, e);
        t.records.push_back(rec(w));
    }
}

void bbuTable(const Json& a, EncodedTable& t) {
    for (auto& e : a["bbus"]) {
        WireBytes w(80);
        w.le32(0, num(e, "item_id"));
        w.le16(4, num(e, "status"));
        w.le16(6, num(e, "factor"));
        w.u8(8, num(e, "capacity"));
        texts(w, 16, e);
        t.records.push_back(rec(w));
    }
}

void expTable(const Json& a, EncodedTable& t) {
    for (auto& de : a["des"])
        for (auto& u : de["expanders"]) {
            WireBytes w(112);
            w.le32(0, num(u, "item_id"));
            w.le16(4, num(u, "status"));
            w.le16(6, num(u, "factor"));
            w.u8(8, num(de, "index"));
            texts(w, 44, u);
            t.records.push_back(rec(w));
        }
}

void dpsuTable(const Json& a, EncodedTable& t) {
    for (auto& de : a["des"])
        for (auto& u : de["psus"]) {
            WireBytes w(80);
            w.le32(0, num(u, "item_id"));
            w.le16(4, num(u, "status"));
            w.le16(6, num(u, "factor"));
            texts(w, 12, u);
            t.records.push_back(rec(w));
        }
}

void lunList(WireBytes& w, const Json& luns) {
    for (std::size_t k = 0; k < 512; ++k) w.le16(32 + 2 * k, k < luns.size() ? luns[k].get<std::uint64_t>() : kNone);
}

void lunMapTable(const Json& a, EncodedTable& t) {
    for (auto& m : a["lun_maps"]) {
        WireBytes w(1056);
        w.le16(0, num(m, "number"));
        w.u8(2, num(m, "definition"));
        lunList(w, m["luns"]);
        t.records.push_back(rec(w));
    }
}

void affinityTable(const Json& a, EncodedTable& t) {
    for (auto& g : a["affinity_groups"]) {
        WireBytes w(1056);
        w.le16(0, num(g, "number"));
        w.u8(2, num(g, "definition"));
        w.text(3, 16, str(g, "name"));
        w.le16(20, num(g, "prev"));
        w.le16(22, num(g, "next"));
        lunList(w, g["luns"]);
        t.records.push_back(rec(w));
    }
}

void managementRecord(const Json& a, EncodedTable& t) {
    const Json& m = a["management"];
    WireBytes w(320);
    w.text(0, 64, str(m, "description"));
    w.text(64, 64, str(m, "manager_name"));
    w.text(128, 64, str(m, "position"));
    t.records.push_back(rec(w));
}

void remotePathTable(const Json& a, EncodedTable& t) {
    for (auto& b : a["remote_boxes"]) {
        WireBytes w(64);
        w.text(0, 40, str(b, "box_id"));
        t.records.push_back(rec(w));
    }
}

void connectionTable(const Json& a, EncodedTable& t) {
    for (auto& c : a["connections"]) {
        WireBytes w(672);
        w.u8(0, num(c, "ca_type"));
        if (num(c, "ca_type") == 2)
            w.text(8, 224, str(c, "iscsi_name"), '\0');
        else
            w.raw(8, wwnBytes(str(c, "wwn")));
        w.raw(232, ipv4Bytes(str(c, "ip")));
        w.u8(656, num(c, "remote_path"));
        t.records.push_back(rec(w));
    }
}

void tppTable(const Json& a, EncodedTable& t) {
    for (auto& p : a["thin_pools"]) {
        WireBytes w(48);
        w.le16(0, num(p, "number"));
        w.u8(2, num(p, "threshold_y"));
        w.u8(3, num(p, "threshold_r"));
        w.u8(4, num(p, "raid_level"));
        w.u8(5, num(p, "disk_count"));
        w.le64(8, num(p, "max_blocks"));
        w.u8(27, num(p, "tiering_pool"));
        w.text(28, 16, str(p, "name"));
        t.records.push_back(rec(w));
    }
}

void sdpTable(const Json& a, EncodedTable& t) {
    WireBytes w(64);
    for (auto& s : a["snapshot_pools"]) {
        const auto p = num(s, "id");
        if (p > 2) continue;
        const auto& pct = list(s, "percent_slots");
        for (std::size_t k = 0; k < 8; ++k)
            w.u8(8 + 8 * p + k, k < pct.size() ? pct[k].get<std::uint64_t>() : (k == 0 ? num(s, "percent") : 0));
    }
    t.records.push_back(rec(w));
}

void lxrpTable(const Json& a, EncodedTable& t) {
    for (auto& p : a["tiering_pools"]) {
        WireBytes w(64);
        w.u8(0, num(p, "number"));
        w.u8(1, num(p, "valid"));
        w.u8(2, num(p, "threshold_y"));
        w.u8(3, num(p, "threshold_r"));
        const auto& subs = p["sub_pools"];
        w.u8(4, subs.size());
        for (std::size_t k = 0; k < 5; ++k) w.le16(12 + 2 * k, k < subs.size() ? subs[k].get<std::uint64_t>() : kNone);
        w.text(22, 16, str(p, "name"));
        t.records.push_back(rec(w));
    }
}

void lanTable(const Json& a, EncodedTable& t) {
    const Json& m = a["management"];
    WireBytes w(32);
    w.raw(8, ipv4Bytes(str(m, "lan_master")));
    w.raw(12, ipv4Bytes(str(m, "lan_slave")));
    t.records.push_back(rec(w));
}

void maxCounts(const Json& a, EncodedTable& t) {
    const Json& l = a["limits"];
    WireBytes w(80);
    w.le32(0, num(l, "olu"));
    w.le32(4, num(l, "slu"));
    w.le32(8, num(l, "rlu"));
    w.le32(12, num(l, "dlu"));
    w.le32(20, num(l, "cm"));
    w.le32(40, num(l, "affinity_groups"));
    w.le32(44, num(l, "hosts"));
    w.le32(48, num(l, "mlu"));
    t.records.push_back(rec(w));
}

struct TableDef {
    std::uint8_t id;
    std::uint32_t size;
    void (*fill)(const Json&, EncodedTable&);
};

const TableDef kTables[] = {
    {1, 80, maxCounts},
    {2, 32, cmTable},
    {3, 32, caTable},
    {4, 32, managementInfo},
    {5, 80, memoryTable},
    {6, 80, ceRecord},
    {7, 96, deTable},
    {8, 160, diskTable},
    {9, 512, systemRecord},
    {10, 96, oluTable},
    {11, 176, sluTable},
    {12, 640, rluTable},
    {13, 112, dluTable},
    {14, 2080, mapTable},
    {16, 40, hostTable},
    {17, 1208, iscsiHostTable},
    {18, 32, firmwareTable},
    {20, 16, [](const Json& a, EncodedTable& t) { sensor(a, t, "inlet_factor", 0x20); }},
    {21, 16, [](const Json& a, EncodedTable& t) { sensor(a, t, "outlet_factor", 0x21); }},
    {22, 16, [](const Json& a, EncodedTable& t) { deSensors(a, t, "inlet_factor"); }},
    {23, 16, [](const Json& a, EncodedTable& t) { deSensors(a, t, "outlet_factor"); }},
    {24, 80, cmDetail},
    {26, 48, mluTable},
    {27, 3680, caDetail},
    {28, 80, [](const Json& a, EncodedTable& t) { unitTable(a["fans"], t); }},
    {32, 80, [](const Json& a, EncodedTable& t) { unitTable(a["cpsus"], t); }},
    {33, 112, expTable},
    {34, 80, dpsuTable},
    {35, 1056, lunMapTable},
    {36, 1056, affinityTable},
    {37, 320, managementRecord},
    {38, 80, bbuTable},
    {39, 160, [](const Json&, EncodedTable&) {}},
    {40, 48, [](const Json&, EncodedTable&) {}},
    {41, 64, remotePathTable},
    {42, 672, connectionTable},
    {43, 48, tppTable},
    {44, 64, sdpTable},
    {45, 64, lxrpTable},
    {46, 32, lanTable},
};

const TableDef* find(std::uint8_t id) {
    for (auto& d : kTables)
        if (d.id == id) return &d;
    return nullptr;
}

}  // namespace

Bytes wwnBytes(const std::string& hex) { return hexBytes(hex, 8); }
Bytes macBytes(const std::string& hex) { return hexBytes(hex, 6); }

Bytes ipv4Bytes(const std::string& dotted) {
    Bytes b(4, 0);
    in_addr addr{};
    if (inet_pton(AF_INET, dotted.c_str(), &addr) == 1) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&addr.s_addr);
        b.assign(p, p + 4);
    }
    return b;
}

std::uint32_t TableEncoder::recordSize(std::uint8_t id) {
    const TableDef* d = find(id);
    return d ? d->size : 0;
}

EncodedTable TableEncoder::encode(const Json& array, std::uint8_t id) {
    EncodedTable t;
    t.id = id;
    const TableDef* d = find(id);
    if (!d) return t;
    t.elementSize = d->size;
    d->fill(array, t);
    for (auto& r : t.records) r.resize(d->size, 0);
    return t;
}

Bytes TableEncoder::container(const Json& array, const std::vector<std::uint8_t>& ids) {
    std::vector<EncodedTable> tables;
    for (auto id : ids) tables.push_back(encode(array, id));
    WireBytes w(16 + 16 * tables.size());
    w.u8(0, 0);
    w.u8(1, tables.size());
    std::size_t offset = 16 + 16 * tables.size();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const auto& t = tables[i];
        if (t.records.size() > 0xFFFF) throw std::length_error("table with more than 65535 records");
        const std::size_t e = 16 + 16 * i;
        w.u8(e, t.id);
        w.u8(e + 2, 0);
        w.le16(e + 4, t.records.size());
        w.le32(e + 8, t.elementSize);
        w.le32(e + 12, offset);
        for (auto& r : t.records) {
            w.raw(offset, r);
            offset += r.size();
        }
    }
    return w.take();
}

}  // namespace arraysim
