#pragma once
// A small array for the port and endpoint associations: two controller
// modules (0x10, 0x11), an FC adapter with one port on the first and an
// iSCSI adapter with two ports on the second.

#include <cstdint>

#include "CMTBuilder.h"

namespace smis::test {

inline void controllerPortsArray(CMTBuilder& b)
{
    constexpr std::uint16_t PORT_OK = 0xE001;
    b.sys().ModelType(145).ProductID("PROD").SerialNumber("SER").FriendlyName("Friend");
    b.cm(0x01001000).Status(0xE001).ModuleId(0x10).PairCMCPUMID(0x11).LANRole(1);
    b.cm(0x01001100).Status(0xE001).ModuleId(0x11).PairCMCPUMID(0x10).LANRole(3);
    b.cmDetail(0x10).PartsNo("P").SerialNo("S0").HardRevision("R");
    b.cmDetail(0x11).PartsNo("P").SerialNo("S1").HardRevision("R");
    b.ca(0x10000100).Status(1).ModuleId(0x10).Type(0x0600).RealType(0x0600);
    auto fc = b.caDetail(0x10000100);
    CMTBuilder::caPort(fc, 0).Status(PORT_OK).PortNo(0).Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0, 0x01});
    b.ca(0x10000200).Status(1).ModuleId(0x11).Type(0x2100).RealType(0x2100);
    auto iscsi = b.caDetail(0x10000200);
    for (std::uint8_t p = 0; p < 2; ++p)
        CMTBuilder::caPort(iscsi, p).Status(PORT_OK).PortNo(p).IPAddress({192, 168, 0, std::uint8_t(10 + p)})
            .iSCSISubnetMask({255, 255, 255, 0}).MacAddress({0, 0x17, 0x42, 0, 0, p}).TCPPortNo(3260);
}

}  // namespace smis::test
