// Lookups and predicates of the table view over one builder image: a hit,
// a miss, the presence rule that hides an entry, and the first of two
// matching entries for every lookup.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "BuiltTable.h"

using cimple::Array;
using cimple::VELDARO_RefTable;
using smis::test::BuiltTable;
using smis::test::CMTBuilder;

namespace {

// A name field as the array fills it: the text, then NULs.
std::string nul16(const std::string& s)
{
    std::string f(s);
    f.resize(16, '\0');
    return f;
}

std::string nul256(const std::string& s)
{
    std::string f(s);
    f.resize(256, '\0');
    return f;
}

CMTBuilder lookupBuilder()
{
    CMTBuilder b;
    b.maxCounts({.olu = 64, .slu = 64, .rlu = 16, .dlu = 16, .mlu = 16, .affinityGroups = 32});
    return b;
}

// Fills the image with the entries the cases below look for.
void fill(cnfg_config_mgmt_table& m)
{
    // CM: module 0x10 present at 0; module 0x11 at 1 with status 0.
    m.CMW(0).Status(1).ModuleId(0x10);
    m.CMW(1).Status(0).ModuleId(0x11);
    // CA 2 (module 0x50): port 0 in RA mode 4, port 1 in RA mode 2.
    m.CAW(1).Status(0).ModuleId(0x50);
    m.CAW(2).Status(1).ModuleId(0x50);
    m.CAPortW(2, 0).Status(1).PortNo(0).RAMode(4);
    m.CAPortW(2, 1).Status(1).PortNo(1).RAMode(2);
    m.MapW(5).CAModuleID(0x50).CAPortNo(0);
    m.MapW(6).CAModuleID(0x50).CAPortNo(0);
    m.MapW(7).CAModuleID(0x50).CAPortNo(1);
    m.LUNMapW(10).LUNMappingNumber(700);
    m.LUNMapW(20).LUNMappingNumber(700);
    m.AffinityW(3).GroupNumber(900);
    m.AffinityW(5).GroupNumber(900);
    m.AffinityW(40).GroupNumber(901);  // beyond AffinityGrpMaxCount
    m.DiskW(7).Plun(0x0102).Status(2);
    m.DiskW(9).Plun(0x0102);
    m.CPSUW(1).ItemId(0x73000300).Status(0);
    m.CPSUW(2).ItemId(0x73000300).Status(1);
    m.DPSUW(10).ItemId(0xD2000501).Status(1);
    m.EXPW(4).ItemId(0x90000700).Status(0);
    m.EXPW(6).ItemId(0x90000700).Status(1);
    m.DEW(2).DeId(3).Status(0);
    m.DEW(3).DeId(3).Status(1);
    m.TPPW(5).PoolNumber(20).MemDiskCnt(0);
    m.TPPW(6).PoolNumber(20).MemDiskCnt(4);
    m.LXRPW(2).PoolNumber(9).ValidFlag(0);
    m.LXRPW(3).PoolNumber(9).ValidFlag(1);
    // Volumes: OLU 5 -> SLU 3; OLU 9 renumbered 30 ahead of OLU 30.
    m.OLUW(5).Status(0).SluCount(1).Slun(0, 3).Name(nul16("alpha"));
    m.OLUW(7).Status(0x0106).Name(nul16("hidden"));
    m.OLUW(9).Status(0).Olun(30).Name(nul16("alpha"));
    m.OLUW(30).Status(0);
    m.SLUW(3).Status(0).LuType(1);
    m.SLUW(4).Status(0).Slun(0xFFFF);
    m.MLUW(2).Status(0).Slun(3);
    m.RLUW(1).Status(0x0100).Name(nul16("rg1"));
    m.RLUW(2).Status(3).Name(nul16("rg2"));
    m.DLUW(4).Status(0);
    m.DLUW(5).Status(0x0203);
    // Hosts.
    m.HostCount = 2;
    m.HostW(10).ValidFlag(1).Type(0).WWN({0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}).Name(nul16("hostA"));
    m.HostW(11).ValidFlag(0).Name(nul16("hostB"));
    m.HostW(12).ValidFlag(1).Type(2).WWN({0xAA, 0xBB, 0, 0, 0, 0, 0, 1}).Name(nul16("hostA"));
    m.HostW(13).ValidFlag(1).Type(1).WWN({0xCC, 0, 0, 0, 0, 0, 0, 1}).Name(nul16("hostC"));
    m.iSCSIHostCount = 2;
    m.iSCSIHostW(3).ValidFlag(1).iSCSIName(nul256("iqn.2026-01.test:a")).iSCSIIPAddress({10, 0, 0, 9});
    m.iSCSIHostW(4).ValidFlag(1).iSCSIName(nul256("IQN.2026-01.TEST:A")).iSCSIIPAddress({10, 0, 0, 10});
}

struct Fixture {
    Fixture() : table(lookupBuilder())
    {
        fill(table.edit());
        view = table.view();
    }
    BuiltTable table;
    std::unique_ptr<VELDARO_RefTable> view;
};

TEST(VELDARO_RefTableLookups, EveryLookupFindsTheFirstPresentEntry)
{
    Fixture f;
    const VELDARO_RefTable& v = *f.view;
    int kind = -1;
    struct Case {
        const char* name;
        std::function<int()> run;
        int expected;
    };
    const Case cases[] = {
        {"olu hit", [&] { return v.searchOlunFromOluTable(5); }, 5},
        {"olu status 6 hidden", [&] { return v.searchOlunFromOluTable(7); }, -1},
        {"olu first of two", [&] { return v.searchOlunFromOluTable(30); }, 9},
        {"slu hit", [&] { return v.searchSlunFromSluTable(3); }, 3},
        {"slu 0xFFFF never", [&] { return v.searchSlunFromSluTable(0xFFFF); }, -1},
        {"slu free", [&] { return v.searchSlunFromSluTable(8); }, -1},
        {"mlu hit", [&] { return v.searchMlunFromMluTable(2); }, 2},
        {"rlu status low byte 0", [&] { return v.searchRlunFromRluTable(1); }, 1},
        {"rlu status 3 hidden", [&] { return v.searchRlunFromRluTable(2); }, -1},
        {"dlu hit", [&] { return v.searchDlunFromDluTable(4); }, 4},
        {"dlu low byte 3 hidden", [&] { return v.searchDlunFromDluTable(5); }, -1},
        {"cm present", [&] { return v.searchCMModuleIdFromCMTable(0x10); }, 0},
        {"cm status 0", [&] { return v.searchCMModuleIdFromCMTable(0x11); }, -1},
        {"cm cpu any status", [&] { return v.searchMIDAndMIDFromCMCPUTable(0xEE, 0x11); }, 1},
        {"ca first present", [&] { return v.searchCAModuleIdFromCATable(0x50); }, 2},
        {"ca absent", [&] { return v.searchCAModuleIdFromCATable(0x7F); }, -1},
        {"ca port", [&] { return v.searchCAPortNoFromPortTable(2, 1); }, 1},
        {"ca port number absent", [&] { return v.searchCAPortNoFromPortTable(2, 7); }, -1},
        {"ca index out of range", [&] { return v.searchCAPortNoFromPortTable(64, 0); }, -1},
        {"map first allocated", [&] { return v.searchCAModuleIdAndCAPortNoFromMapTable(0x50, 0); }, 5},
        {"map port in RA mode 2", [&] { return v.searchCAModuleIdAndCAPortNoFromMapTable(0x50, 1); }, -1},
        {"lun map first", [&] { return v.searchLUNMappingNumberFromLUNMappingTable(700); }, 10},
        {"lun map absent", [&] { return v.searchLUNMappingNumberFromLUNMappingTable(701); }, -1},
        {"affinity first", [&] { return v.searchAffinityNumberFromAffinityTable(900); }, 3},
        {"affinity beyond max count", [&] { return v.searchAffinityNumberFromAffinityTable(901); }, -1},
        {"disk any status, first", [&] { return v.searchPlunFromDiskTable(0x0102); }, 7},
        {"disk absent", [&] { return v.searchPlunFromDiskTable(0x0F0F); }, -1},
        {"cpsu present", [&] { return v.searchPSUNoFromCPSUTable(3); }, 2},
        {"dpsu", [&] { return v.searchDeIdAndPSUNoFromDPSUTable(5, 1); }, 10},
        {"dpsu other unit", [&] { return v.searchDeIdAndPSUNoFromDPSUTable(5, 0); }, -1},
        {"exp present", [&] { return v.searchDeIdAndEXPNoFromEXPTable(7, 0); }, 6},
        {"de present", [&] { return v.searchDeIdFromDETable(3); }, 3},
        {"de status 0", [&] { return v.searchDeIdFromDETable(4); }, -1},
        {"tpp with member disks", [&] { return v.searchPoolNoFromTppTable(20); }, 6},
        {"lxrp valid", [&] { return v.searchPoolNoFromLxrpTable(9); }, 3},
        {"rlu name", [&] { return v.searchRlunameFromRluNameTable("rg1"); }, 1},
        {"rlu name of status 3", [&] { return v.searchRlunameFromRluNameTable("rg2"); }, -1},
        {"olu name first", [&] { return v.searchOlunameFromOluNameTable("alpha"); }, 5},
        {"olu name case-sensitive", [&] { return v.searchOlunameFromOluNameTable("ALPHA"); }, -1},
        {"olu name of status 6", [&] { return v.searchOlunameFromOluNameTable("hidden"); }, -1},
        {"olu name NULL", [&] { return v.searchOlunameFromOluNameTable(nullptr); }, -1},
        {"host name first valid", [&] { return v.searchHostNameFromHostTable("hostA"); }, 10},
        {"host name not valid", [&] { return v.searchHostNameFromHostTable("hostB"); }, -1},
        {"host name NULL", [&] { return v.searchHostNameFromHostTable(nullptr); }, -1},
        {"host WWN", [&] { return v.searchHostNameFromHostTable("0011223344556677", kind, nullptr); }, 10},
        {"host WWN lower case", [&] { return v.searchHostNameFromHostTable("00aabb0000000001", kind, nullptr); }, -1},
        {"iscsi any case", [&] { return v.searchHostNameFromHostTable("Iqn.2026-01.Test:A", kind, nullptr); }, 3},
        {"iscsi with address", [&] { return v.searchHostNameFromHostTable("iqn.2026-01.test:a", kind, "10.0.0.10"); }, 4},
        {"iscsi address absent", [&] { return v.searchHostNameFromHostTable("iqn.2026-01.test:a", kind, "10.0.0.11"); }, -1},
        {"lu type 1 via olu", [&] { return v.searchLunByLuTypeFromSluTable(1, 5); }, 3},
        {"lu type 2 via mlu", [&] { return v.searchLunByLuTypeFromSluTable(2, 2); }, 3},
        {"lu type 8 slu number", [&] { return v.searchLunByLuTypeFromSluTable(8, 3); }, 3},
        {"lu type 5 unsupported", [&] { return v.searchLunByLuTypeFromSluTable(5, 3); }, -1},
        {"lu type 13 olu missing", [&] { return v.searchLunByLuTypeFromSluTable(13, 7); }, -1},
        {"copy lun mlu", [&] { return v.searchCopyLunFromSluTable(0, 2); }, 3},
        {"copy lun olu", [&] { return v.searchCopyLunFromSluTable(1, 5); }, 3},
        {"copy lun other kind", [&] { return v.searchCopyLunFromSluTable(2, 5); }, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.run(), c.expected) << c.name;
}

TEST(VELDARO_RefTableLookups, HostSearchByIdentifierReportsTheIdentifierKind)
{
    Fixture f;
    int kind = -1;
    EXPECT_EQ(f.view->searchHostNameFromHostTable("0011223344556677", kind, nullptr), 10);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(f.view->searchHostNameFromHostTable("AABB000000000001", kind, nullptr), 12);
    EXPECT_EQ(kind, 6);
    // Only host type 2 holds a SAS address; other types are FC hosts.
    EXPECT_EQ(f.view->searchHostNameFromHostTable("CC00000000000001", kind, nullptr), 13);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(f.view->searchHostNameFromHostTable("iqn.2026-01.test:a", kind, "10.0.0.9"), 3);
    EXPECT_EQ(kind, 5);
    kind = 99;
    EXPECT_EQ(f.view->searchHostNameFromHostTable("nobody", kind, nullptr), -1);
    EXPECT_EQ(kind, 99);
}

TEST(VELDARO_RefTableLookups, HostSearchesNeedHostCounts)
{
    BuiltTable t(lookupBuilder());
    fill(t.edit());
    t.edit().HostCount = 0;
    t.edit().iSCSIHostCount = 0;
    auto v = t.view();
    int kind = -1;
    EXPECT_EQ(v->searchHostNameFromHostTable("hostA"), -1);
    EXPECT_EQ(v->searchHostNameFromHostTable("0011223344556677", kind, nullptr), -1);
    EXPECT_EQ(v->searchHostNameFromHostTable("iqn.2026-01.test:a", kind, nullptr), -1);
}

TEST(VELDARO_RefTableLookups, ViewWithoutImageFindsNothing)
{
    VELDARO_RefTable v("10.0.0.1", static_cast<const CMM_CMT_GLOBAL_VAL_ELEM*>(nullptr), nullptr);
    int kind = 0;
    EXPECT_EQ(v.searchOlunFromOluTable(0), -1);
    EXPECT_EQ(v.searchPlunFromDiskTable(0), -1);
    EXPECT_EQ(v.searchHostNameFromHostTable("x", kind, nullptr), -1);
    EXPECT_EQ(v.searchRlunameFromRluNameTable(""), -1);
    Array<int> list;
    EXPECT_EQ(v.getSluIndexListInOlu(0, list), 0);
}

TEST(VELDARO_RefTableLookups, Predicates)
{
    BuiltTable t(lookupBuilder());
    cnfg_config_mgmt_table& m = t.edit();
    fill(m);
    m.CAPortW(3, 0).Status(1).SecurityMode(0).RAMode(0);
    m.CAPortW(3, 1).Status(1).SecurityMode(128).RAMode(0);
    m.CAPortW(4, 0).Status(0).RAMode(0);
    m.CAW(5).Type(0).RealType(0x5600);
    m.CAW(6).Type(0x2100).RealType(0);
    m.MapW(5).HostWWNTableNo(0, 12).AffinityTableNo(0, 3).HostWWNTableNo(1, 13).AffinityTableNo(1, 4);
    m.DLUW(4).UsePlu(0, 0x0100).UsePlu(15, 0x0102);
    for (std::uint8_t type : {1, 2, 3, 4, 7, 8, 9, 10, 11, 13})
        m.SLUW(20 + type).Status(0).LuType(type);
    m.OLUW(11).Status(0).SluCount(2);
    m.TPPW(7).LxrpNumber(255);
    m.TPPW(8).LxrpNumber(3);
    m.RLUW(3).Mode(0x01);
    m.RLUW(4).Mode(0x21);
    m.RLUW(5).Mode(0x20);
    auto v = t.view();

    EXPECT_TRUE(v->checkPortAllocate(0x50, 0));
    EXPECT_FALSE(v->checkPortAllocate(0x50, 1));  // RA mode 2
    EXPECT_FALSE(v->checkPortAllocate(0x51, 0));  // no CA
    EXPECT_TRUE(v->IsLUNMappingController_Default(3, 0));
    EXPECT_FALSE(v->IsLUNMappingController_Default(3, 1));  // host affinity mode
    EXPECT_FALSE(v->IsLUNMappingController_Default(4, 0));  // port not present
    EXPECT_FALSE(v->IsLUNMappingController_Default(3, 2));  // port index out of range
    EXPECT_TRUE(v->isSetToMapTable(5, 4, 0xFFFF));
    EXPECT_TRUE(v->isSetToMapTable(5, 4, 13));
    EXPECT_FALSE(v->isSetToMapTable(5, 4, 12));
    EXPECT_FALSE(v->isSetToMapTable(5, 5, 0xFFFF));
    EXPECT_FALSE(v->isSetToMapTable(128, 4, 0xFFFF));
    EXPECT_TRUE(v->checkPluInUse(4, 0x0102));
    EXPECT_FALSE(v->checkPluInUse(4, 0x0103));
    EXPECT_FALSE(v->checkPluInUse(5, 0x0102));  // DLU not found
    EXPECT_FALSE(v->checkPluInUse(0xFFFF, 0x0102));
    EXPECT_FALSE(v->checkPluInUse(4, 0xFFFF));
    for (std::uint8_t type : {1, 2, 3, 4, 7, 8, 9, 10, 11, 13}) {
        const bool shares = type != 2 && type != 3 && type != 8 && type != 9 && type != 10;
        const bool supported = type == 1 || type == 2 || type == 3 || type == 4 || type == 7 || type == 8 ||
                               type == 9 || type == 13;
        EXPECT_EQ(v->isSupportLUType(20 + type), shares) << int(type);
        EXPECT_EQ(v->checkSupportLUType(20 + type), supported) << int(type);
    }
    EXPECT_FALSE(v->isSupportLUType(64));  // out of range
    EXPECT_FALSE(v->checkSupportLUType(-1));
    EXPECT_TRUE(v->isConcatenatedLogicalVolume(11));
    EXPECT_FALSE(v->isConcatenatedLogicalVolume(5));
    EXPECT_FALSE(v->isLayerixSubPool(7));
    EXPECT_TRUE(v->isLayerixSubPool(8));
    EXPECT_FALSE(v->isLayerixSubPool(256));
    EXPECT_TRUE(v->isThinproPoolInRluMode(3));
    EXPECT_FALSE(v->isThinproPoolInRluMode(4));
    EXPECT_TRUE(v->isLayerixSubPoolInRluMode(4));
    EXPECT_FALSE(v->isLayerixSubPoolInRluMode(5));
    EXPECT_EQ(v->getMaskCARealType(5), 0x5000);
    EXPECT_EQ(v->getMaskCAType(5), 0xFFFF);
    EXPECT_EQ(v->getMaskCAType(6), 0x2000);
    EXPECT_EQ(v->getMaskCARealType(6), 0xFFFF);
}

TEST(VELDARO_RefTableLookups, NamesRefuseTheTenReservedCharacters)
{
    EXPECT_TRUE(VELDARO_RefTable::isValidLUName("volume one"));
    EXPECT_TRUE(VELDARO_RefTable::isValidLUName(""));
    EXPECT_FALSE(VELDARO_RefTable::isValidLUName(nullptr));
    for (char c : std::string("\"$&'%\\<>?,")) {
        const std::string name = std::string("a") + c + "b";
        EXPECT_FALSE(VELDARO_RefTable::isValidLUName(name.c_str())) << c;
        EXPECT_FALSE(VELDARO_RefTable::isRLUName(name.c_str())) << c;
        EXPECT_FALSE(VELDARO_RefTable::isOLUName(name.c_str())) << c;
        EXPECT_FALSE(VELDARO_RefTable::isHostName(name.c_str())) << c;
    }
}

}  // namespace
