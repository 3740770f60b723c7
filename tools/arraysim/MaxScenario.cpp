#include "MaxScenario.hpp"

#include <cstdio>

#include "ScenarioNormalizer.hpp"

namespace arraysim {

namespace {
constexpr unsigned kVolumes = 4096;
constexpr unsigned kRaidGroups = 192;  // 3072 disks in sets of 16
constexpr unsigned kSessions = 10000;  // more than one page of the session list
constexpr unsigned kLocalTypes[] = {1, 3, 4};
}  // namespace

Json MaxScenario::build() {
    Json a = Json::object();
    a["name"] = "maxarray";
    a["limits"] = Json{{"olu", kVolumes}, {"slu", kVolumes}, {"rlu", kRaidGroups}, {"dlu", kRaidGroups},
                       {"mlu", kVolumes}, {"cm", 8}, {"affinity_groups", 2048}, {"copy_page", 8192}};
    Json cms = Json::array();
    for (unsigned i = 0; i < 8; ++i) {
        Json mems = Json::array();
        for (unsigned n = 0; n < 6; ++n) mems.push_back(Json{{"index", n}});
        cms.push_back(Json{{"index", i}, {"memories", mems}});
    }
    a["cms"] = cms;
    Json cas = Json::array();
    for (unsigned i = 0; i < 64; ++i) {
        // Every fourth adapter is an iSCSI one with a login on each port.
        const bool iscsi = i % 4 == 3;
        Json ca{{"index", i}, {"type", iscsi ? 0x2100 : 0x0600}};
        if (iscsi) {
            Json ports = Json::array();
            for (unsigned k = 0; k < 2; ++k) {
                char name[64];
                std::snprintf(name, sizeof name, "iqn.2026-12.com.example:init%u", i * 2 + k);
                ports.push_back(Json{{"index", k}, {"logins", Json::array({Json{{"initiator", name}, {"tsih", k + 1}}})}});
            }
            ca["ports"] = ports;
        }
        cas.push_back(ca);
    }
    a["cas"] = cas;
    Json fans = Json::array(), cpsus = Json::array(), bbus = Json::array();
    for (unsigned i = 0; i < 4; ++i) fans.push_back(Json{{"index", i}});
    for (unsigned i = 0; i < 6; ++i) cpsus.push_back(Json{{"index", i}});
    for (unsigned i = 0; i < 4; ++i) bbus.push_back(Json{{"index", i}});
    a["fans"] = fans;
    a["cpsus"] = cpsus;
    a["bbus"] = bbus;
    Json des = Json::array(), disks = Json::array();
    for (unsigned d = 0; d < 128; ++d) {
        des.push_back(Json{{"index", d}});
        for (unsigned s = 0; s < 24; ++s) disks.push_back(Json{{"de", d}, {"slot", s}});
    }
    a["des"] = des;
    a["disks"] = disks;
    Json rgs = Json::array();
    for (unsigned r = 0; r < kRaidGroups; ++r) {
        Json members = Json::array();
        for (unsigned k = 0; k < 16; ++k) {
            const unsigned disk = r * 16 + k;
            members.push_back(ScenarioNormalizer::plunOf(disk / 24, disk % 24));
        }
        Json rg{{"rlun", r}, {"level", 1}, {"disks", members}};
        if (r >= 128) {  // the last groups carry the thin pools
            rg["mode"] = 1;
            rg["pool"] = r - 128;
        }
        rgs.push_back(rg);
    }
    a["raid_groups"] = rgs;
    Json vols = Json::array(), mlus = Json::array();
    for (unsigned o = 0; o < kVolumes; ++o) {
        vols.push_back(Json{{"olun", o}, {"raid_group", o % 128}, {"blocks", 2097152}});
        mlus.push_back(Json{{"mlun", o}, {"slun", o}});
    }
    a["volumes"] = vols;
    a["mlus"] = mlus;
    Json hosts = Json::array(), ihosts = Json::array();
    for (unsigned h = 0; h < 8192; ++h) {
        hosts.push_back(Json{{"index", h}});
        ihosts.push_back(Json{{"index", h}});
    }
    a["hosts"] = hosts;
    a["iscsi_hosts"] = ihosts;
    Json groups = Json::array();
    for (unsigned g = 0; g < 2048; ++g) {
        Json luns = Json::array();
        for (unsigned l = 0; l < 512; ++l) luns.push_back((g * 512 + l) % kVolumes);
        groups.push_back(Json{{"number", g}, {"luns", luns}});
    }
    a["affinity_groups"] = groups;
    Json lunMaps = Json::array(), hostMaps = Json::array();
    for (unsigned m = 0; m < 128; ++m) {
        Json luns = Json::array();
        for (unsigned l = 0; l < 512; ++l) luns.push_back((m * 512 + l) % kVolumes);
        lunMaps.push_back(Json{{"number", m}, {"luns", luns}});
        Json slots = Json::array();
        for (unsigned s = 0; s < 256; ++s) slots.push_back(Json{{"host", (m * 256 + s) % 8192}, {"group", (m * 256 + s) % 2048}});
        hostMaps.push_back(Json{{"index", m}, {"hosts", slots}});
    }
    a["lun_maps"] = lunMaps;
    a["host_maps"] = hostMaps;
    Json tpps = Json::array(), lxrps = Json::array();
    for (unsigned p = 0; p < 256; ++p) tpps.push_back(Json{{"number", p}, {"tiering_pool", p / 4}});
    for (unsigned x = 0; x < 64; ++x)
        lxrps.push_back(Json{{"number", x}, {"sub_pools", Json::array({x * 4, x * 4 + 1, x * 4 + 2, x * 4 + 3})}});
    a["thin_pools"] = tpps;
    a["tiering_pools"] = lxrps;
    Json sdps = Json::array();
    for (unsigned s = 0; s < 8; ++s) sdps.push_back(Json{{"id", s}});
    a["snapshot_pools"] = sdps;
    Json boxes = Json::array(), conns = Json::array();
    for (unsigned b = 0; b < 16; ++b) {
        char id[48];
        std::snprintf(id, sizeof id, "00KESTRIS##REMOTE##%021u", b);
        Json paths = Json::array();
        for (unsigned p = 0; p < 8; ++p) paths.push_back(Json{{"state", p % 2}});
        boxes.push_back(Json{{"box_id", id}, {"paths", paths}});
    }
    for (unsigned c = 0; c < 128; ++c) conns.push_back(Json{{"remote_path", c % 16}});
    a["remote_boxes"] = boxes;
    a["connections"] = conns;
    Json sessions = Json::array();
    for (unsigned s = 0; s < kSessions; ++s)
        sessions.push_back(Json{{"id", s}, {"type", kLocalTypes[s % 3]}, {"src", s % kVolumes}, {"dst", (s + 1) % kVolumes}});
    a["copy_sessions"] = sessions;
    return Json{{"name", "max"}, {"arrays", Json::array({a})}};
}

}  // namespace arraysim
