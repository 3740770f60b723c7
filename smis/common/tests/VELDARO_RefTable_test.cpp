// Table view getters over images written field by field: addressing,
// widths, text finishing, formatted texts, LAN addresses and firmware.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "VELDARO_RefTable.h"

using cimple::VELDARO_RefTable;

namespace {

using Img = cnfg_config_mgmt_table;

struct Image {
    Image()
    {
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::OLU_MAX, 300);
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::SLU_MAX, 300);
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::RLU_MAX, 40);
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::DLU_MAX, 40);
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::MLU_MAX, 20);
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::CM_MAX, 2);
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::AFFINITY_GRP_MAX, 2048);
        block.setWord(CMM_CMT_GLOBAL_VAL_ELEM::HOST_MAX, 8192);
        img = Img::create(block);
    }
    VELDARO_RefTable view() const { return VELDARO_RefTable("10.0.0.1", &block, img.get()); }

    CMM_CMT_GLOBAL_VAL_ELEM block;
    std::unique_ptr<Img> img;
};

// A heap text from a getter as std::string ("<null>" for NULL), released.
std::string take(char* text)
{
    if (!text)
        return "<null>";
    std::string s(text);
    VELDARO_RefTable::getMemFree(text);
    return s;
}

void putBytes(std::uint8_t* at, const std::string& bytes)
{
    std::memcpy(at, bytes.data(), bytes.size());
}

TEST(VELDARO_RefTable, FieldGettersReadTheirEntryAndFieldAtFullWidth)
{
    struct Case {
        const char* name;
        std::function<void(Img&)> set;
        std::function<std::uint64_t(const VELDARO_RefTable&)> get;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"CM item id", [](Img& m) { m.CMW(15).ItemId(0xDEADBEEF); },
         [](const VELDARO_RefTable& t) { return t.getCMItemId(15); }, 0xDEADBEEF},
        {"CM master CPU", [](Img& m) { m.CMDetailW(7).MasterCPUMid(0x31); },
         [](const VELDARO_RefTable& t) { return t.getCMMasterCPUMid(7); }, 0x31},
        {"CA real type", [](Img& m) { m.CAW(63).RealType(0xA700); },
         [](const VELDARO_RefTable& t) { return t.getCARealType(63); }, 0xA700},
        {"CA port 1 burst", [](Img& m) { m.CAPortW(5, 1).MaxBurstLength(0x12345678); },
         [](const VELDARO_RefTable& t) { return t.getCAPortMaxBurstLength(5, 1); }, 0x12345678},
        {"CA port 0 not port 1", [](Img& m) { m.CAPortW(5, 1).TCPPortNo(3260); },
         [](const VELDARO_RefTable& t) { return t.getCAPortTCPPortNo(5, 0); }, 0},
        {"CM memory size", [](Img& m) { m.CMMemoryW(2 * 6 + 5).Size(0x1'0000'0000ull); },
         [](const VELDARO_RefTable& t) { return t.getCMMemorySize(2, 5); }, 0x1'0000'0000ull},
        {"CE inlet factor", [](Img& m) { m.CEW().InletFactor(0xBEEF); },
         [](const VELDARO_RefTable& t) { return t.getCEInletFactor(); }, 0xBEEF},
        {"DE outlet factor", [](Img& m) { m.DEOutletW(127).Factor(0x1234); },
         [](const VELDARO_RefTable& t) { return t.getDEOutletFactor(127); }, 0x1234},
        {"disk factor widened", [](Img& m) { m.DiskW(3071).Factor(0xFE); },
         [](const VELDARO_RefTable& t) { return t.getDiskFactor(3071); }, 0xFE},
        {"disk whole blocks", [](Img& m) { m.DiskW(10).WholeBlockCount(0xFFFF'FFFF'FFFFull); },
         [](const VELDARO_RefTable& t) { return t.getDiskWholeBlockCount(10); }, 0xFFFF'FFFF'FFFFull},
        {"model type full", [](Img& m) { m.SysW().ModelType(0xC1); },
         [](const VELDARO_RefTable& t) { return t.getSysModelTypeFull(); }, 0xC1},
        {"model type", [](Img& m) { m.SysW().ModelType(0xC1); },
         [](const VELDARO_RefTable& t) { return t.getSysModelType(); }, 0x40},
        {"OLU slot", [](Img& m) { m.OLUW(299).Slun(19, 0x4321); },
         [](const VELDARO_RefTable& t) { return t.getOluSlun(299, 19); }, 0x4321},
        {"OLU slot past the slots", [](Img& m) { m.OLUW(1).Slun(19, 7); },
         [](const VELDARO_RefTable& t) { return t.getOluSlun(1, 20); }, 0},
        {"unreported OLU keeps its number", [](Img&) {},
         [](const VELDARO_RefTable& t) { return t.getOluOlun(123); }, 123},
        {"SLU virtual size", [](Img& m) { m.SLUW(42).VirtualOlbaCount(1ull << 40); },
         [](const VELDARO_RefTable& t) { return t.getVirtualOlbaCount(42); }, 1ull << 40},
        {"RLU DLU slot", [](Img& m) { m.RLUW(39).Dlun(15, 0x0102); },
         [](const VELDARO_RefTable& t) { return t.getRluDlun(39, 15); }, 0x0102},
        {"RLU beyond its count", [](Img& m) { m.RLUW(40).Rlun(5); },
         [](const VELDARO_RefTable& t) { return t.getRluRlun(40); }, 0},
        {"negative index", [](Img& m) { m.CMW(0).ItemId(1); },
         [](const VELDARO_RefTable& t) { return t.getCMItemId(-1); }, 0},
        {"map affinity slot", [](Img& m) { m.MapW(127).AffinityTableNo(255, 2047); },
         [](const VELDARO_RefTable& t) { return t.getMapAffinityTableNo(127, 255); }, 2047},
        {"map host slot beside it", [](Img& m) { m.MapW(127).AffinityTableNo(255, 2047); },
         [](const VELDARO_RefTable& t) { return t.getMapHostWWNTableNo(127, 255); }, 0},
        {"affinity LUN", [](Img& m) { m.AffinityW(2047).Olun(511, 0xFFFE); },
         [](const VELDARO_RefTable& t) { return t.getAffinityOlun(2047, 511); }, 0xFFFE},
        {"host response", [](Img& m) { m.HostW(8191).ResponseTableNum(0x9999); },
         [](const VELDARO_RefTable& t) { return t.getHostResponseTableNum(8191); }, 0x9999},
        {"iSCSI address binary", [](Img& m) { m.iSCSIHostW(4).iSCSIIPAddress({10, 1, 2, 3}); },
         [](const VELDARO_RefTable& t) { return t.getiSCSIHostiSCSIIPAddressBinary(4); }, 0x0302010A},
        {"TPP max LBA", [](Img& m) { m.TPPW(255).MaxPoolLbaCount(0xABCDEF012345ull); },
         [](const VELDARO_RefTable& t) { return t.getTppMaxPoolLbaCount(255); }, 0xABCDEF012345ull},
        {"LXRP pool number widened", [](Img& m) { m.LXRPW(63).PoolNumber(0xFA); },
         [](const VELDARO_RefTable& t) { return t.getLxrpPoolNumber(63); }, 0xFA},
        {"LXRP sub-pool", [](Img& m) { m.LXRPW(1).SubPoolNumber(4, 250); },
         [](const VELDARO_RefTable& t) { return t.getLxrpSubPoolNumber(1, 4); }, 250},
        {"SDP percent", [](Img& m) { m.SDPW().SdpPercent(2 * 8 + 7, 90); },
         [](const VELDARO_RefTable& t) { return t.getSdpPercent(2, 7); }, 90},
        {"host count", [](Img& m) { m.HostCount = 8192; },
         [](const VELDARO_RefTable& t) { return t.getHostCount(); }, 8192},
        {"update count", [](Img& m) { m.MgmtInfoW().TableUpdateCount(77); },
         [](const VELDARO_RefTable& t) { return t.getTableUpdateCount(); }, 77},
    };
    for (const Case& c : cases) {
        Image image;
        c.set(*image.img);
        EXPECT_EQ(c.get(image.view()), c.expected) << c.name;
    }
}

TEST(VELDARO_RefTable, CountsComeFromTheBlockAndFixedValues)
{
    Image image;
    VELDARO_RefTable t = image.view();
    EXPECT_EQ(t.getOLUMaxCount(), 300u);
    EXPECT_EQ(t.getOLUperModelMaxCount(), 300u);
    EXPECT_EQ(t.getRLUMaxCount(), 40u);
    EXPECT_EQ(t.getMLUMaxCount(), 20u);
    EXPECT_EQ(t.getCMMaxCount(), 2u);
    EXPECT_EQ(t.getCAMaxCount(), 64u);
    EXPECT_EQ(t.getCAPortMaxCount(), 2u);
    EXPECT_EQ(t.getHostPerModelMaxCount(), 8192u);
    EXPECT_EQ(t.getAffinityGrpPerModelMaxCount(), 2048u);
}

TEST(VELDARO_RefTable, TextGettersCutAtHighBytesAndTrimTheirFinish)
{
    struct Case {
        const char* name;
        std::function<void(Img&)> set;
        std::function<char*(const VELDARO_RefTable&)> get;
        std::string expected;
    };
    const Case cases[] = {
        {"model name loses trailing #", [](Img& m) { m.SysW().ModelName("ABC#########"); },
         [](const VELDARO_RefTable& t) { return t.getSysModelName(); }, "ABC"},
        {"inner # stays", [](Img& m) { m.SysW().SerialNumber("A#B#########"); },
         [](const VELDARO_RefTable& t) { return t.getSysSerialNumber(); }, "A#B"},
        {"# text keeps blanks", [](Img& m) { m.SysW().SeriesName("S1  ##"); },
         [](const VELDARO_RefTable& t) { return t.getSysSeriesName(); }, "S1  ##      "},
        {"vendor of blanks is empty", [](Img& m) { m.DiskW(0).VenderId("        "); },
         [](const VELDARO_RefTable& t) { return t.getDiskVenderId(0); }, ""},
        {"cut at 0x80, then trimmed",
         [](Img& m) { putBytes(m.CMDetailW(3).bytes() + 160, "PN 1 \x80XYZ          "); },
         [](const VELDARO_RefTable& t) { return t.getCMPartsNo(3); }, "PN 1"},
        {"cut at 0xFF", [](Img& m) { putBytes(m.SysW().bytes() + 116, "NAME\xFFREST"); },
         [](const VELDARO_RefTable& t) { return t.getSysFriendlyName(); }, "NAME"},
        {"0x7F is kept", [](Img& m) { m.SysW().VenderID("V\x7F"); },
         [](const VELDARO_RefTable& t) { return t.getSysVenderID(); }, "V\x7F      "},
        {"cut-only text keeps blanks", [](Img& m) { m.OLUW(5).Name("VOL5"); },
         [](const VELDARO_RefTable& t) { return t.getOLUName(5); }, "VOL5            "},
        {"full width without terminator", [](Img& m) { m.SysW().BoxID(std::string(40, 'B')); },
         [](const VELDARO_RefTable& t) { return t.getSysBoxID(); }, std::string(40, 'B')},
        {"NUL ends the text", [](Img& m) { putBytes(m.RLUW(1).bytes() + 600, std::string("RG1\0XX", 6)); },
         [](const VELDARO_RefTable& t) { return t.getRLUName(1); }, "RG1"},
        {"SFP of port 1", [](Img& m) { putBytes(m.CADetailW(3).bytes() + 92 + 60 + 20, "SN-SFP  "); },
         [](const VELDARO_RefTable& t) { return t.getSFPSerialNo(3, 1); }, "SN-SFP"},
        {"CM memory text", [](Img& m) { m.CMMemoryW(2 * 6 + 5).Revision("R2"); },
         [](const VELDARO_RefTable& t) { return t.getCMMemoryRevision(2, 5); }, "R2"},
        {"iSCSI name 256 wide", [](Img& m) { m.CAPortW(1, 1).iSCSIName(std::string(256, 'q')); },
         [](const VELDARO_RefTable& t) { return t.getCAPortiSCSIName(1, 1); }, std::string(256, 'q')},
        {"manager name", [](Img& m) { m.ManagementW().ManagerName("admin"); },
         [](const VELDARO_RefTable& t) { return t.getSysManagerName(); }, "admin" + std::string(59, ' ')},
        {"CE part number", [](Img& m) { m.CEW().PartsNo("CE-PN"); },
         [](const VELDARO_RefTable& t) { return t.getCEPartsNo(); }, "CE-PN"},
        {"remote box id", [](Img& m) { m.RemotePathW(15).BoxID("BOX"); },
         [](const VELDARO_RefTable& t) { return t.getRemotePathBoxID(15); }, "BOX" + std::string(37, ' ')},
    };
    for (const Case& c : cases) {
        Image image;
        c.set(*image.img);
        EXPECT_EQ(take(c.get(image.view())), c.expected) << c.name;
    }
}

TEST(VELDARO_RefTable, FormattedGettersWriteHexAndDottedAddresses)
{
    Image image;
    Img& m = *image.img;
    m.SysW().NodeWWN({0x50, 0x0A, 0x0b, 0xC0, 0x00, 0x01, 0xfe, 0xFF});
    m.HostW(8191).WWN({0x21, 0, 0, 0x24, 0xff, 0x3a, 0x1b, 0x9c});
    m.ConnectionMapW(127).WWN({1, 2, 3, 4, 5, 6, 7, 8});
    m.CAPortW(63, 1).Wwn({0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00, 0x11});
    m.CAPortW(63, 1).MacAddress({0x00, 0x1b, 0x21, 0xAB, 0xcd, 0x0F});
    m.CAPortW(0, 0).IPAddress({192, 168, 0, 255});
    m.CAPortW(0, 0).iSCSISubnetMask({255, 255, 255, 0});
    m.iSCSIHostW(3).iSCSIIPAddress({10, 0, 0, 1});
    m.ConnectionMapW(2).IPAddress({172, 16, 254, 9});

    VELDARO_RefTable t = image.view();
    EXPECT_EQ(take(t.getSysNodeWWN()), "500A0BC00001FEFF");
    EXPECT_EQ(take(t.getHostWWN(8191)), "21000024FF3A1B9C");
    EXPECT_EQ(take(t.getConnectionMapWWN(127)), "0102030405060708");
    EXPECT_EQ(take(t.getCAPortWwn(63, 1)), "AABBCCDDEEFF0011");
    EXPECT_EQ(take(t.getCAPortWwn(63, 0)), "0000000000000000");
    EXPECT_EQ(take(t.getCAPortMacAddress(63, 1)), "001B21ABCD0F");
    EXPECT_EQ(take(t.getiSCSI_IPAddress(0, 0)), "192.168.0.255");
    EXPECT_EQ(take(t.getCAPortiSCSISubnetMask(0, 0)), "255.255.255.0");
    EXPECT_EQ(take(t.getiSCSIHostiSCSIIPAddress(3)), "10.0.0.1");
    EXPECT_EQ(take(t.getConnectionMapIPAddress(2)), "172.16.254.9");

    unsigned char wwn[8] = {};
    t.getPartOfSysNodeWWN(wwn);
    EXPECT_EQ(wwn[0], 0x50);
    EXPECT_EQ(wwn[7], 0xFF);
}

TEST(VELDARO_RefTable, FirmwareVersionForms)
{
    Image image;
    Img& m = *image.img;
    EXPECT_EQ(take(image.view().getTotalFirmVersion(0)), "<null>") << "generation 0";

    m.FirmwareGenW(1).Version1("10").Version2("20").Version3("0030");
    m.FirmwareCurrentGeneration = 2;
    VELDARO_RefTable t = image.view();
    EXPECT_EQ(take(t.getTotalFirmVersion(0)), "10.20.0030");
    EXPECT_EQ(take(t.getTotalFirmVersion(1)), "V10L20P0030");
    EXPECT_EQ(take(t.getTotalFirmVersion(2)), "V10L20-0030");
    EXPECT_EQ(take(t.getTotalFirmVersion(7)), "V10L20-0030");

    putBytes(m.FirmwareGenW(1).bytes(), std::string("1\0" "22" "3\0\0\0", 8));
    EXPECT_EQ(take(image.view().getTotalFirmVersion(1)), "V1L22P3") << "short texts end at NUL";

    m.FirmwareCurrentGeneration = 9;
    EXPECT_EQ(take(image.view().getTotalFirmVersion(0)), "<null>") << "generation past the table";
}

TEST(VELDARO_RefTable, LanAddressesByEntryAndRole)
{
    Image image;
    Img& m = *image.img;
    {
        VELDARO_RefTable t = image.view();
        EXPECT_EQ(take(t.getMasterIPAddress()), "0.0.0.0");
        EXPECT_EQ(take(t.getSlaveIPAddress()), "0.0.0.0");
        EXPECT_EQ(t.getLanPortIP(0, 1), 0xFFFFFFFFu);
        EXPECT_EQ(t.cms_get_lanport_ip(), 0x0101A8C0u) << "192.168.1.1 in stored order";
    }
    m.LanPortW(1).MasterIP({10, 0, 0, 5});
    m.LanPortW(2).MasterIP({10, 0, 0, 9}).SlaveIP({10, 0, 0, 10});
    m.CMW(0).LANRole(1);
    m.CMW(1).LANRole(2);
    m.CMW(2).LANRole(3);
    VELDARO_RefTable t = image.view();
    EXPECT_EQ(take(t.getMasterIPAddress()), "10.0.0.5") << "first entry with a master address";
    EXPECT_EQ(take(t.getSlaveIPAddress()), "0.0.0.0") << "that entry has no slave address";
    EXPECT_EQ(take(t.getCMIPAddress(0)), "10.0.0.5");
    EXPECT_EQ(take(t.getCMIPAddress(1)), "0.0.0.0");
    EXPECT_EQ(take(t.getCMIPAddress(2)), "");
    EXPECT_EQ(t.getLanPortIP(2, 1), 0x0900000Au);
    EXPECT_EQ(t.getLanPortIP(2, 0), 0x0A00000Au);
    EXPECT_EQ(t.getLanPortIP(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(VELDARO_RefTable::_inet_a4ton(t.getNspIPAddress()), 0u) << "entry 0 is not set";
    const std::uint8_t bytes[4] = {192, 168, 1, 2};
    EXPECT_EQ(VELDARO_RefTable::_inet_a4ton(bytes), 0xC0A80102u);
}

TEST(VELDARO_RefTable, AViewWithoutAnImageReadsZeros)
{
    VELDARO_RefTable t("10.0.0.1", static_cast<const CMM_CMT_GLOBAL_VAL_ELEM*>(nullptr),
                       static_cast<const Img*>(nullptr));
    EXPECT_FALSE(t.isValidCMT());
    EXPECT_EQ(t.getRLUMaxCount(), 0u);
    EXPECT_EQ(t.getDiskItemId(3), 0u);
    EXPECT_EQ(take(t.getSysModelName()), "");
    EXPECT_EQ(take(t.getTotalFirmVersion(0)), "<null>");
    EXPECT_EQ(std::string(t.get_currentIPAddress().c_str()), "10.0.0.1");
    EXPECT_EQ(VELDARO_RefTable::getMemory(0, true), nullptr);
    VELDARO_RefTable::getMemFree(nullptr);
}

TEST(VELDARO_RefTable, CopiesTheFiveHundredTwelveLunMappings)
{
    Image image;
    image.img->LUNMapW(4).Olun(0, 1).Olun(511, 0xFFFF);
    image.img->AffinityW(9).Olun(256, 77);
    std::uint16_t olun[512];
    VELDARO_RefTable t = image.view();
    t.copyLUNMapOLUMapping(4, olun);
    EXPECT_EQ(olun[0], 1);
    EXPECT_EQ(olun[511], 0xFFFF);
    t.copyAffinityOLUMapping(9, olun);
    EXPECT_EQ(olun[256], 77);
    EXPECT_EQ(olun[0], 0);
}

}  // namespace
