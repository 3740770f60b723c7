#include "CommandProcessor.hpp"

#include <algorithm>
#include <map>

#include "TableEncoder.hpp"

namespace arraysim {

namespace {

CommandReply refused(std::uint8_t status = kStatusRefused) {
    CommandReply r;
    r.status = status;
    return r;
}

CommandReply deviceStatus(const Json& a) {
    CommandReply r;
    WireBytes w(4);
    w.u8(0, num(a["system"], "status"));
    r.params = w.take();
    return r;
}

CommandReply modelInfo(const Json& a) {
    const Json& m = a["model_info"];
    WireBytes w(CommandProcessor::kModelInfoSize);
    w.u8(0, num(m, "version"));
    w.u8(1, num(m, "level"));
    w.u8(4, num(m, "model_type"));
    w.u8(5, num(m, "de_type"));
    const auto& flags = list(m, "support_flags");
    for (std::size_t k = 0; k < 6 && k < flags.size(); ++k) w.u8(12 + k, flags[k].get<std::uint64_t>());
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply ceInfo(const Json& a) {
    WireBytes w(CommandProcessor::kCeInfoSize);
    w.u8(0, 0);
    w.u8(1, num(a["ce"], "status"));
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply deList(const Json& a) {
    const auto& des = a["des"];
    WireBytes w(8 + CommandProcessor::kDeEntrySize * des.size());
    w.le32(0, des.size());
    std::size_t i = 0;
    for (auto& de : des) {
        const std::size_t o = 8 + CommandProcessor::kDeEntrySize * i++;
        w.le32(o, num(de, "item_id"));
        w.u8(o + 16, num(de, "de_id"));
        w.u8(o + 20, num(de, "de_status"));
    }
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply configTable(const Json& a, const Bytes& params) {
    // Request: byte 1 = number of ids, ids from byte 4.
    if (params.size() < 4) return refused();
    const std::size_t n = params[1];
    if (n == 0 || 4 + n > params.size()) return refused();
    std::vector<std::uint8_t> ids(params.begin() + 4, params.begin() + 4 + static_cast<std::ptrdiff_t>(n));
    CommandReply r;
    r.data = TableEncoder::container(a, ids);
    return r;
}

CommandReply linkStatus(const Json& a, const Bytes& params) {
    if (params.size() < 4) return refused();
    const auto portId = loadLe(params, 0, 4);
    WireBytes w(CommandProcessor::kLinkStatusSize);
    w.le32(0, portId);
    for (std::size_t k = 0; k < 28; ++k) w.le16(8 + 2 * k, 0xFFFF);
    bool found = false;
    for (auto& ca : a["cas"]) {
        if ((num(ca, "item_id") & ~std::uint64_t{0x800}) != portId) continue;
        found = true;
        for (auto& p : ca["ports"]) {
            const auto word = num(p, "port_no");
            if (word < 28) w.le16(8 + 2 * word, num(p, "link_state"));
        }
    }
    if (!found) return refused();
    CommandReply r;
    r.data = w.take();
    return r;
}

const Json* findPort(const Json& a, std::uint64_t moduleId, std::uint64_t portNo) {
    for (auto& ca : a["cas"])
        if (num(ca, "module_id") == moduleId)
            for (auto& p : ca["ports"])
                if (num(p, "port_no") == portNo) return &p;
    return nullptr;
}

CommandReply loginParams(const Json& a, const Bytes& params) {
    if (params.size() < 2) return refused();
    const Json* port = findPort(a, params[0], params[1]);
    const Json& logins = port ? list(*port, "logins") : list(Json::object(), "x");
    WireBytes w(8 + CommandProcessor::kLoginSize * logins.size());
    w.u8(0, params[0]);
    w.u8(1, params[1]);
    w.le16(2, logins.size());
    std::size_t i = 0;
    for (auto& l : logins) w.raw(8 + CommandProcessor::kLoginSize * i++, CommandProcessor::loginRecord(l));
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply sessionStatistics(const Json& a, const Bytes& data) {
    if (data.size() != 240) return refused();
    const Json* port = findPort(a, data[0], data[1]);
    if (!port) return refused();
    const std::string name = loadText(data, 8, 224);
    const auto tsih = loadLe(data, 232, 2);
    for (auto& l : list(*port, "logins")) {
        const Bytes rec = CommandProcessor::loginRecord(l);
        if (loadText(rec, 0, 224) != name || num(l, "tsih") != tsih) continue;
        if (!std::equal(rec.begin() + 258, rec.begin() + 264, data.begin() + 234)) continue;
        const Json& st = l["statistics"];
        if (!st.is_object()) return refused(kStatusNoStatistics);
        WireBytes w(64);
        w.le32(0, num(st, "command_pdus", 1000));
        w.le32(4, num(st, "response_pdus", 1000));
        w.le64(8, num(st, "bytes_sent", 4096000));
        w.le64(16, num(st, "bytes_received", 2048000));
        w.le32(24, num(st, "digest_errors"));
        w.le32(28, num(st, "timeout_errors"));
        CommandReply r;
        r.params = w.take();
        return r;
    }
    return refused(kStatusNoStatistics);
}

CommandReply sessionList(const Json& a, const Bytes& params) {
    if (params.size() < 4) return refused();
    const auto mode = loadLe(params, 0, 2);
    const auto id = loadLe(params, 2, 2);
    std::map<std::uint64_t, const Json*> byId;
    for (auto& s : a["copy_sessions"]) byId[num(s, "id")] = &s;
    std::vector<const Json*> page;
    std::uint64_t next = 0;
    if (mode == 1) {
        auto it = byId.find(id);
        if (it != byId.end()) page.push_back(it->second);
    } else if (mode == 2) {
        const auto limit = std::max<std::uint64_t>(1, num(a["limits"], "copy_page", 256));
        for (auto it = byId.lower_bound(id); it != byId.end(); ++it) {
            if (page.size() == limit) {
                next = it->first;
                break;
            }
            page.push_back(it->second);
        }
    } else {
        return refused();
    }
    WireBytes w(16 + CommandProcessor::kSessionSize * page.size());
    w.le16(4, page.size());
    w.le16(6, next);
    for (std::size_t i = 0; i < page.size(); ++i)
        w.raw(16 + CommandProcessor::kSessionSize * i, CommandProcessor::copySessionRecord(*page[i]));
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply snapshotPools(const Json& a) {
    const auto& pools = a["snapshot_pools"];
    WireBytes w(32 + CommandProcessor::kPoolInfoSize * pools.size());
    w.le16(0, pools.size());
    std::size_t i = 0;
    for (auto& p : pools) {
        const std::size_t o = 32 + CommandProcessor::kPoolInfoSize * i++;
        w.u8(o, num(p, "id"));
        w.u8(o + 1, num(p, "status"));
        // Two groups of six 32-bit block counts.
        const auto& first = list(p, "values_a");
        const auto& second = list(p, "values_b");
        for (std::size_t k = 0; k < 6; ++k) {
            w.le32(o + 8 + 4 * k, k < first.size() ? first[k].get<std::uint64_t>() : (k == 0 ? num(p, "capacity") : 0));
            w.le32(o + 32 + 4 * k, k < second.size() ? second[k].get<std::uint64_t>() : (k == 0 ? num(p, "used") : 0));
        }
    }
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply boxList(const Json& a) {
    WireBytes w(CommandProcessor::kBoxListSize);
    const auto& boxes = a["remote_boxes"];
    w.le16(81968, boxes.size());
    std::size_t i = 0;
    for (auto& b : boxes) w.text(81984 + 96 * i++, 40, str(b, "box_id"));
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply boxPaths(const Json& a, const Bytes& params) {
    if (params.size() < 40) return refused();
    const std::string id(params.begin(), params.begin() + 40);
    for (auto& b : a["remote_boxes"]) {
        WireBytes key(40);
        key.text(0, 40, str(b, "box_id"));
        if (std::string(key.bytes().begin(), key.bytes().end()) != id) continue;
        const auto& paths = b["paths"];
        WireBytes w((paths.size() + 3) * 16);
        w.text(0, 40, str(b, "box_id"));
        w.le32(40, paths.size());
        std::size_t j = 0;
        for (auto& p : paths) {
            const std::size_t o = 48 + 16 * j++;
            w.u8(o, num(p, "port", j));
            // The local channel-adapter module and its port the path leaves from.
            w.u8(o + 1, num(p, "module", 0));
            w.u8(o + 2, num(p, "module_port", 0));
            w.u8(o + 3, num(p, "state"));
        }
        CommandReply r;
        r.data = w.take();
        return r;
    }
    return refused();
}

CommandReply poolAlarms(const Json& a) {
    const auto& alarms = a["pool_alarms"];
    WireBytes w(16 + CommandProcessor::kAlarmSize * alarms.size());
    w.le32(0, alarms.size());
    std::size_t i = 0;
    for (auto& al : alarms) {
        const std::size_t o = 16 + CommandProcessor::kAlarmSize * i++;
        w.le16(o, num(al, "pool"));
        w.le32(o + 4, num(al, "total_mib"));
        w.le32(o + 8, num(al, "used_mib"));
        w.u8(o + 12, num(al, "state"));
    }
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply volumeAlarms(const Json& a, const Bytes& params) {
    // Mode 0 lists the thin volumes with their alarm state, mode 1 the same
    // volumes with their allocated size; both carry the size at 8.
    (void)params;
    std::vector<const Json*> picked;
    for (auto& al : a["volume_alarms"]) picked.push_back(&al);
    WireBytes w(16 + CommandProcessor::kAlarmSize * picked.size());
    w.le32(0, picked.size());
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const std::size_t o = 16 + CommandProcessor::kAlarmSize * i;
        w.le16(o, num(*picked[i], "olun"));
        w.le32(o + 8, num(*picked[i], "allocated"));
        w.u8(o + 12, num(*picked[i], "state"));
    }
    CommandReply r;
    r.data = w.take();
    return r;
}

CommandReply allocation(const Json& a, const Bytes& params) {
    if (params.size() < 2) return refused();
    const auto number = loadLe(params, 0, 2);
    std::vector<std::uint64_t> parts;
    for (auto& al : a["volume_alarms"])
        if (num(al, "olun") == number) {
            const auto& split = list(al, "allocation_parts");
            if (split.empty())
                parts.push_back(num(al, "allocated"));
            else
                for (auto& p : split) parts.push_back(p.get<std::uint64_t>());
        }
    WireBytes w(8 + 8 * parts.size());
    w.le32(0, parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        w.le16(8 + 8 * i, number);
        w.le32(8 + 8 * i + 4, parts[i]);
    }
    CommandReply r;
    r.data = w.take();
    return r;
}

// BCD pair of a two-digit text.
std::uint8_t bcd(const std::string& s, std::size_t at) {
    if (at + 2 > s.size()) return 0;
    return static_cast<std::uint8_t>(((s[at] - '0') << 4) | (s[at + 1] - '0'));
}

}  // namespace

Bytes CommandProcessor::loginRecord(const Json& l) {
    WireBytes w(kLoginSize);
    w.text(0, 224, str(l, "initiator"), '\0');
    w.le16(256, num(l, "tsih"));
    w.raw(258, macBytes(str(l, "isid")));  // six raw bytes from 12 hex digits
    w.le16(264, num(l, "connection_id"));
    w.u8(266, num(l, "session_type"));
    w.u8(272, num(l, "auth_method", 2));
    w.u8(273, num(l, "mutual_auth"));
    w.u8(274, num(l, "header_digest", 1));
    w.u8(275, num(l, "data_digest", 1));
    w.u8(276, num(l, "initial_r2t", 1));
    w.u8(277, num(l, "immediate_data", 1));
    w.u8(278, num(l, "error_recovery_level"));
    w.le16(280, num(l, "max_outstanding_r2t", 1));
    w.le32(288, num(l, "max_recv_segment", 262144));
    w.le32(292, num(l, "max_xmit_segment", 262144));
    w.le32(296, num(l, "max_burst", 262144));
    w.le32(300, num(l, "first_burst", 65536));
    w.le16(304, num(l, "max_connections", 1));
    w.u8(306, num(l, "current_connections", 1));
    w.u8(308, num(l, "data_pdu_in_order", 1));
    w.u8(309, num(l, "data_seq_in_order", 1));
    w.le16(312, num(l, "time_to_wait", 2));
    w.le16(314, num(l, "time_to_retain", 20));
    w.u8(316, num(l, "sending_markers"));
    w.u8(317, num(l, "receiving_markers"));
    return w.take();
}

Bytes CommandProcessor::copySessionRecord(const Json& s) {
    WireBytes w(kSessionSize);
    const auto type = num(s, "type");
    std::uint8_t kind = 0, flags = 0;
    switch (type) {
    case 1: kind = 2; break;
    case 2: kind = 2; flags = 0x20; break;
    case 3: kind = 1; flags = 0x10; break;
    case 4: kind = 1; flags = 0x40; break;
    default: kind = static_cast<std::uint8_t>(num(s, "kind", 3)); flags = static_cast<std::uint8_t>(num(s, "flags")); break;
    }
    flags |= static_cast<std::uint8_t>(num(s, "flag_bit0") & 1);
    w.le16(0, num(s, "id"));
    w.le16(4, num(s, "src"));
    w.le16(6, num(s, "dst"));
    w.u8(8, kind);
    w.u8(9, flags);
    w.u8(10, ((num(s, "remote_flag") & 1) << 2) | ((num(s, "remote_side") & 1) << 4));
    w.u8(12, num(s, "state"));
    w.u8(13, num(s, "phase"));
    w.u8(17, num(s, "volume_type"));
    w.u8(20, num(s, "byte20"));
    w.le32(32, num(s, "elapsed"));
    const std::string t = str(s, "start_time");
    if (t.size() == 14)
        for (std::size_t k = 0; k < 7; ++k) w.u8(40 + k, bcd(t, 2 * k));
    w.le32(56, num(s, "copied_blocks"));
    w.le32(60, num(s, "total_blocks"));
    w.text(120, 40, str(s, "remote_box"), type == 2 ? ' ' : '\0');
    w.le32(160, num(s, "value160"));
    w.le32(164, num(s, "value164"));
    w.le32(184, num(s, "value184"));
    w.le32(188, num(s, "value188"));
    return w.take();
}

CommandReply CommandProcessor::handle(const SimArray& array, std::uint16_t code, const Bytes& params,
                                      const Bytes& dataIn) {
    const Json& a = array.model();
    switch (code) {
    case 0x0010: return deviceStatus(a);
    case 0x400A: return modelInfo(a);
    case 0x41AE: {
        CommandReply r;
        r.data.assign(kSupplementSize, 0);
        return r;
    }
    case 0x4012: return ceInfo(a);
    case 0x4013: return deList(a);
    case 0x4024: return configTable(a, params);
    case 0x4021: return linkStatus(a, params);
    case 0x41AA: return loginParams(a, params);
    case 0x81AB: return sessionStatistics(a, dataIn);
    case 0x4199: return sessionList(a, params);
    case 0x4108: return snapshotPools(a);
    case 0x4068: return boxList(a);
    case 0x4097: return boxPaths(a, params);
    case 0x41BD: return poolAlarms(a);
    case 0x41BE: return volumeAlarms(a, params);
    case 0x41C8: return allocation(a, params);
    default: return refused(kStatusUnsupported);
    }
}

}  // namespace arraysim
