#pragma once
// One array with a masking view of every kind, for the masking element and
// masking association tests:
//
// - FC adapter, module 0x52, port 1 (CM02CA01P01), in host-affinity mode:
//   slot 0 binds host 0 and slot 1 host 1 to group 3, slot 2 binds host 0
//   to group 7 (the affinity table holds each group at its number).
// - iSCSI adapter, module 0x60, port 0 (CM00CA02P00), in host-affinity mode:
//   slot 0 binds iSCSI host 0 to group 3.
// - FC adapters, modules 0x40 and 0x41, port 0 (CM00CA00P00, CM01CA00P00),
//   in LUN-mapping mode, both with LUN mapping 0.
// - Group 3 maps volume 3 under LUN 0 and volume 5 under LUN 10; group 7
//   maps volume 3 under LUNs 2 and 4; LUN mapping 0 maps volume 5 under
//   LUN 0.

#include <cstdint>
#include <string>

#include "CMTBuilder.h"
#include "OneArrayFixture.h"

namespace smis::test {

class Masking_Array_Fixture : public One_Array_Fixture {
public:
    static constexpr const char* HOST0 = "1000000000000A01";
    static constexpr const char* HOST1 = "1000000000000A02";
    static constexpr const char* ISCSI_HOST = "iqn.2026-01.test:host0";
    static constexpr const char* ISCSI_IP = "10.1.1.1";

protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        CMTBuilder b;
        build(b);
        install(b);
        setDeviceStatus(0x50);
    }

    // The table above; with otherPortsMode 0x80 the two LUN-mapping ports
    // are in host-affinity mode too.
    static void build(CMTBuilder& b, std::uint8_t otherPortsMode = 0)
    {
        b.maxCounts({.olu = 8, .slu = 8, .rlu = 2, .dlu = 2, .mlu = 2, .affinityGroups = 16});
        b.sys().NodeWWN({0x50, 0x00, 0x0b, 0x5d, 0x6a, 0x01, 0x02, 0x03});
        b.rlu(0).Status(0x2000).RaidLevel(1);
        for (std::uint16_t v : {3, 5}) {
            b.olu(v).Status(0).SluCount(1).Slun(0, v).OlbaCount(4096).Name(padded("VOL"));
            b.slu(v).Status(0).LuType(1).Rlun(0).Olun(v).Mlun(0xFFFF).SlbaCount(4096);
        }
        b.ca(0x10000100).Status(1).ModuleId(0x52).Type(0x0600).RealType(0x0600);
        CMTBuilder::caPort(b.caDetail(0x10000100), 0).Status(0xE001).PortNo(1).SecurityMode(0x80).RAMode(0)
            .Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0x01, 0x01});
        b.ca(0x10000200).Status(1).ModuleId(0x60).Type(0x2100).RealType(0x2100);
        CMTBuilder::caPort(b.caDetail(0x10000200), 0).Status(0xE001).PortNo(0).SecurityMode(0x80).RAMode(0)
            .iSCSIName("iqn.2026-01.test:target0").AliasName("target0");
        std::uint16_t mapNo = 0;
        std::uint32_t item = 0x10000300;
        for (std::uint8_t module : {0x40, 0x41}) {
            b.ca(item).Status(1).ModuleId(module).Type(0x0600).RealType(0x0600);
            CMTBuilder::caPort(b.caDetail(item), 0).Status(0xE001).PortNo(0).SecurityMode(otherPortsMode).RAMode(0)
                .Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0x02, module});
            item += 0x100;
        }
        b.host(0).ValidFlag(1).Type(0).WWN({0x10, 0, 0, 0, 0, 0, 0x0A, 0x01});
        b.host(1).ValidFlag(1).Type(0).WWN({0x10, 0, 0, 0, 0, 0, 0x0A, 0x02});
        b.iscsiHost(0).ValidFlag(1).iSCSIName(nulPadded(ISCSI_HOST, 256)).iSCSIIPAddress({10, 1, 1, 1}).FriendlyName("ISCSI0");
        group(b, 3, {{0, 3}, {10, 5}});
        group(b, 7, {{2, 3}, {4, 3}});
        CMT_LUNMapW lm = b.lunMap(0);
        lm.Definition(1);
        for (std::size_t k = 0; k < 512; ++k)
            lm.Olun(k, k == 0 ? 5 : 0xFFFF);
        map(b, mapNo++, 0x52, 1, {{0, 3}, {1, 3}, {0, 7}});
        map(b, mapNo++, 0x60, 0, {{0, 3}});
        map(b, mapNo++, 0x40, 0, {});
        map(b, mapNo++, 0x41, 0, {});
    }

    static std::string padded(const char* text) { return nulPadded(text, 16); }

    static std::string nulPadded(const char* text, std::size_t size)
    {
        std::string s(text);
        s.resize(size, '\0');
        return s;
    }

    // An affinity group mapping (LUN, OLU) pairs.
    static void group(CMTBuilder& b, std::uint16_t number,
                      std::initializer_list<std::pair<std::size_t, std::uint16_t>> luns)
    {
        CMT_AffinityW g = b.affinity(number);
        g.Definition(1).GroupName(padded(("AG" + std::to_string(number)).c_str())).PrevNumber(0xFFFF)
            .NextNumber(0xFFFF);
        for (std::size_t k = 0; k < 512; ++k)
            g.Olun(k, 0xFFFF);
        for (const auto& [lun, olu] : luns)
            g.Olun(lun, olu);
    }

    // A port's map entry with LUN mapping 0 and (host index, affinity index)
    // slots.
    static void map(CMTBuilder& b, std::uint16_t number, std::uint8_t module, std::uint8_t port,
                    std::initializer_list<std::pair<std::uint16_t, std::uint16_t>> slots)
    {
        CMT_MapW m = b.map(number);
        m.CAModuleID(module).CAPortNo(port).LUNMappingNo(0).ValidCnt(std::uint8_t(slots.size()));
        for (std::size_t s = 0; s < 256; ++s)
            m.HostWWNTableNo(s, 0xFFFF).AffinityTableNo(s, 0xFFFF);
        std::size_t s = 0;
        for (const auto& [host, affinity] : slots) {
            m.HostWWNTableNo(s, host).AffinityTableNo(s, affinity);
            ++s;
        }
    }
};

}  // namespace smis::test
