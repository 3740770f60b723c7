// The LUN configuration engine's reading side: zones, hosts, host
// affinities and port checks against an installed table image. Nothing here
// reaches an array command line: operations that have nothing to send must
// not try one (no login is configured, so a command would fail).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "SMISProviderLUNConfiguration.h"
#include "TempInstallDir.h"

using cimple::Array;
using cimple::SMISProviderLUNConfiguration;
using cimple::String;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.31";
constexpr std::uint16_t FC = 0x0000;
constexpr std::uint16_t ISCSI = 0x2000;
// FC port: module 0x52 port 1 (host-affinity mode); module 0x52 port 0 in
// LUN-mapping mode, RA mode 1 (not a host port).
constexpr std::uint16_t HOST_PORT = 0x5201;
constexpr std::uint16_t MAP_PORT = 0x5200;
// No port has this logical ID, so there is no map entry for it.
constexpr std::uint16_t NO_PORT = 0x9901;
constexpr const char* WWN0 = "1000000000000A01";
constexpr const char* WWN1 = "1000000000000A02";

class LUNConfiguration : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        CMTBuilder b;
        b.maxCounts({.affinityGroups = 8});
        b.ca(0x10000000).Status(1).ModuleId(0x52).Type(0x0600).RealType(0x0600);  // FC
        CMT_CADetailRecordW d = b.caDetail(0x10000000);
        CMTBuilder::caPort(d, 0).Status(0xE001).PortNo(0).SecurityMode(0).RAMode(1);
        CMTBuilder::caPort(d, 1).Status(0xE001).PortNo(1).SecurityMode(0x80).RAMode(4);
        b.host(0).ValidFlag(1).Type(0).WWN({0x10, 0, 0, 0, 0, 0, 0x0A, 0x01});
        b.host(1).ValidFlag(1).Type(2).WWN({0x10, 0, 0, 0, 0, 0, 0x0A, 0x02});
        b.host(2).ValidFlag(0);
        // Groups 3 and 0, and a chained group 5.
        group(b, 0, 3, {{0, 20}, {1, 21}});
        group(b, 1, 0, {{0, 30}});
        group(b, 2, 5, {{0, 40}}).PrevNumber(1).NextNumber(0xFFFF);
        CMT_LUNMapW lm = b.lunMap(0);
        lm.LUNMappingNumber(5).Definition(1);
        for (std::size_t k = 0; k < 512; ++k)
            lm.Olun(k, k == 7 ? 50 : 0xFFFF);
        // Port 0x5201 binds host 0 to group 3 and host 1 to group 0.
        CMT_MapW m = b.map(0);
        m.CAModuleID(0x52).CAPortNo(1).ValidCnt(2);
        for (std::size_t s = 0; s < 256; ++s)
            m.HostWWNTableNo(s, 0xFFFF).AffinityTableNo(s, 0xFFFF);
        m.HostWWNTableNo(0, 0).AffinityTableNo(0, 3).HostWWNTableNo(1, 1).AffinityTableNo(1, 0);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }

    static CMT_AffinityW group(CMTBuilder& b, std::uint16_t entry, std::uint16_t number,
                               std::vector<std::pair<std::size_t, std::uint16_t>> luns)
    {
        CMT_AffinityW g = b.affinity(entry);
        g.GroupNumber(number).Definition(1).GroupName("AG").PrevNumber(0xFFFF).NextNumber(0xFFFF);
        for (std::size_t k = 0; k < 512; ++k)
            g.Olun(k, 0xFFFF);
        for (const auto& [lun, volume] : luns)
            g.Olun(lun, volume);
        return g;
    }

    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
};

TEST_F(LUNConfiguration, FreeLunIsTheLowestUnusedOfTheZone)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_EQ(lc.getFreeLUN(), 0);
    lc.addLUNMappingToZoneInf(0, 1);
    lc.addLUNMappingToZoneInf(1, 2);
    lc.addLUNMappingToZoneInf(3, 3);
    lc.addLUNMappingToZoneInf(0xFFFE, 4);  // outside 0..511: ignored
    EXPECT_EQ(lc.getFreeLUN(), 2);
    lc.ClearZoneInfMap();
    for (std::uint16_t lun = 0; lun < 512; ++lun)
        lc.addLUNMappingToZoneInf(lun, lun);
    EXPECT_EQ(lc.getFreeLUN(), 0xFFFF);
}

TEST_F(LUNConfiguration, DuplicateLunChecksVolumeAndLun)
{
    SMISProviderLUNConfiguration lc(FC, A);
    lc.addLUNMappingToZoneInf(4, 10);
    struct Case {
        std::uint16_t lun, volume;
        bool dup;
    } cases[] = {{5, 10, true}, {4, 11, true}, {0xFFFF, 11, false}, {0xFFFF, 10, true}, {5, 11, false}};
    for (const Case& c : cases)
        EXPECT_EQ(lc.isDuplicateLUN(c.lun, c.volume), c.dup) << c.lun << "/" << c.volume;
}

TEST_F(LUNConfiguration, ZonesReadFromTheTableByNumberAndComeBackFromTheList)
{
    SMISProviderLUNConfiguration lc(FC, A);
    ASSERT_TRUE(lc.ReadZoneInf(3, false));
    EXPECT_EQ(lc.currentZone().lunList, (std::vector<std::uint16_t>{0, 1}));
    EXPECT_EQ(lc.currentZone().volumeList, (std::vector<std::uint16_t>{20, 21}));
    lc.addLUNMappingToZoneInf(2, 22);
    lc.addZoneInf(3);
    EXPECT_EQ(lc.GetZoneInfMapCount(), 0);
    EXPECT_EQ(lc.getMappingLUNCount(3), 3);
    EXPECT_EQ(lc.getMappingLUNCount(0), -1);
    // The worked-on copy wins over the table.
    ASSERT_TRUE(lc.ReadZoneInf(3, false));
    EXPECT_EQ(lc.GetZoneInfMapCount(), 3);
    EXPECT_EQ(lc.zoneCount(), 0u);

    ASSERT_TRUE(lc.ReadZoneInf(5, true));
    EXPECT_EQ(lc.currentZone().lunList, (std::vector<std::uint16_t>{7}));
    EXPECT_FALSE(lc.ReadZoneInf(9, false));
}

TEST_F(LUNConfiguration, RemovingAVolumeRecordsTheReleasedPair)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_TRUE(lc.removeLUNFromZone(3, 21, false));
    EXPECT_FALSE(lc.removeLUNFromZone(3, 99, false));
    EXPECT_EQ(lc.getMappingLUNCount(3), 1);
    ASSERT_TRUE(lc.ReadZoneInf(3, false));
    EXPECT_EQ(lc.currentZone().targetLunList, (std::vector<std::uint16_t>{1}));
    EXPECT_EQ(lc.currentZone().targetVolumeList, (std::vector<std::uint16_t>{21}));
}

TEST_F(LUNConfiguration, HostNumbersIgnoreCaseAndNewHostsTakeTheFirstFreeSlot)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_EQ(lc.getHostNumber("1000000000000a02", false, nullptr), 1);
    EXPECT_EQ(lc.getHostNumber("2000000000000001", false, nullptr), -2);
    EXPECT_FALSE(lc.hasWWN("2000000000000001"));
    EXPECT_EQ(lc.getHostNumber("2000000000000001", true, "alias"), 2);
    const auto* e = lc.hostEntry(2);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->state, SMISProviderLUNConfiguration::HOST_CREATE);
    EXPECT_STREQ(e->alias.c_str(), "alias");
    EXPECT_TRUE(lc.hasWWN("2000000000000001"));
    EXPECT_EQ(lc.getHostNumber("2000000000000002", true, nullptr), 3);
}

TEST_F(LUNConfiguration, HostTypeMustSuitThePortKind)
{
    SMISProviderLUNConfiguration fc(FC, A), sas(0xA000, A), iscsi(ISCSI, A);
    EXPECT_TRUE(fc.checkHostType(WWN0));    // type 0 on FC
    EXPECT_FALSE(fc.checkHostType(WWN1));   // type 2 on FC
    EXPECT_FALSE(sas.checkHostType(WWN0));
    EXPECT_TRUE(sas.checkHostType(WWN1));
    EXPECT_TRUE(fc.checkHostType("3000000000000001"));  // unknown host
    EXPECT_TRUE(iscsi.checkHostType(WWN1));
}

TEST_F(LUNConfiguration, NothingToRegisterSendsNoCommand)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_EQ(lc.registHost(), 0);
    // A name that is not 16 characters long is left out of the command.
    ASSERT_EQ(lc.getHostNumber("100000000000001", true, nullptr), 2);
    EXPECT_EQ(lc.registHost(), 0);
    EXPECT_EQ(lc.registAffinityGroup(SMISProviderLUNConfiguration::LC_DELETE), 0);
    EXPECT_EQ(lc.registLUNMapping(SMISProviderLUNConfiguration::LC_SET), 0);
    EXPECT_EQ(lc.registHostAffinity(SMISProviderLUNConfiguration::LC_SET), 0);
    // A zone only read, and a port only looked at, send nothing either.
    ASSERT_TRUE(lc.ReadZoneInf(3, false));
    lc.addZoneInf(3);
    ASSERT_EQ(lc.getHostZoneList(HOST_PORT), 0);
    lc.addHostZoneList(HOST_PORT);
    EXPECT_EQ(lc.registAffinityGroup(SMISProviderLUNConfiguration::LC_DELETE), 0);
    EXPECT_EQ(lc.registHostAffinity(SMISProviderLUNConfiguration::LC_DELETE), 0);
    // Deleting an unknown host fails before any command.
    Array<String> names;
    names.append("4000000000000001");
    EXPECT_EQ(lc.deleteHost(names), 4);
}

// Port 2 of a CA's second half (module id bit 3) has no map entry of its
// own in the array's answer: it finds the prefilled entry, which numbers it
// 0, and can take its first view.
TEST_F(LUNConfiguration, ASecondHalfPortFindsItsPrefilledMapEntry)
{
    cimple::SMIS_CMTAccess::destroy();
    CMTBuilder b;
    b.ca(0x10000000).Status(1).ModuleId(0x5A).Type(0x0600).RealType(0x0600);
    CMT_CADetailRecordW d = b.caDetail(0x10000000);
    CMTBuilder::caPort(d, 0).Status(0xE001).PortNo(2).SecurityMode(0x80).RAMode(4);
    // The map table answers an entry for another port only.
    b.map(0).CAModuleID(0x40).CAPortNo(0);
    b.installCmf(A);
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_GE(lc.getIndexofOpenMap(0x5A02), 0);
    EXPECT_EQ(lc.getHostZoneList(0x5A02), 0);
    EXPECT_EQ(lc.getIndexofOpenMap(0x5202), -1);  // a first half has no port 2
}

TEST_F(LUNConfiguration, PortBindingsAreKeptByGroupNumber)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_EQ(lc.getIndexofOpenMap(HOST_PORT), 0);
    EXPECT_EQ(lc.getIndexofOpenMap(NO_PORT), -1);
    EXPECT_EQ(lc.getHostZoneList(NO_PORT), 4);
    ASSERT_EQ(lc.getHostZoneList(MAP_PORT), 0);  // an entry without bindings
    EXPECT_EQ(lc.GetHostAffinityCount(), 0);
    ASSERT_EQ(lc.getHostZoneList(HOST_PORT), 0);
    EXPECT_EQ(lc.GetHostAffinityCount(), 2);
    EXPECT_TRUE(lc.isSameHostAffinity(0, 3));
    EXPECT_TRUE(lc.isSameHostAffinity(1, 0));
    EXPECT_FALSE(lc.isSameHostAffinity(0, 0));
    EXPECT_TRUE(lc.isDuplicateHost(HOST_PORT, 1));
    EXPECT_FALSE(lc.isDuplicateHost(HOST_PORT, 2));
    EXPECT_FALSE(lc.isDuplicateHost(MAP_PORT, 0));
    EXPECT_FALSE(lc.isDuplicateHost(NO_PORT, 0));
    lc.addHostZoneList(HOST_PORT);
    EXPECT_EQ(lc.SearchHostAffinity(HOST_PORT), 0);
    EXPECT_EQ(lc.GetHostAffinityCount(), 0);
}

TEST_F(LUNConfiguration, RemovingHostsFromAPortRecordsTheReleasedBindings)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_FALSE(lc.removeHostFromCAPort(HOST_PORT, WWN0, 0));   // host 0 is bound to group 3
    EXPECT_TRUE(lc.removeHostFromCAPort(HOST_PORT, "1000000000000a01", 3));
    EXPECT_FALSE(lc.removeHostFromCAPort(HOST_PORT, "5000000000000001", 3));
    EXPECT_FALSE(lc.removeHostFromCAPort(NO_PORT, WWN0, 3));
    ASSERT_EQ(lc.hostAffinityCount(), 1u);
    lc.LoadHostAffinity(lc.SearchHostAffinity(HOST_PORT));
    EXPECT_EQ(lc.currentHostAffinity().targetList,
              (std::vector<std::uint32_t>{SMISProviderLUNConfiguration::pack(0, 3)}));
    EXPECT_EQ(lc.GetHostAffinityCount(), 1);
    lc.addHostZoneList(HOST_PORT);

    Array<String> names;
    EXPECT_TRUE(lc.removeAffinityGroupFromCAPort(HOST_PORT, 0, names));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_STREQ(names[0].c_str(), WWN1);
    lc.LoadHostAffinity(lc.SearchHostAffinity(HOST_PORT));
    EXPECT_EQ(lc.GetHostAffinityCount(), 0);
    EXPECT_EQ(lc.currentHostAffinity().targetList.size(), 2u);
}

TEST_F(LUNConfiguration, UnusedGroupNumbersAreTheUndefinedOnesBelowTheModelCount)
{
    SMISProviderLUNConfiguration lc(FC, A);
    Array<std::uint16_t> unused;
    ASSERT_TRUE(lc.getUnusedZoneNumList(unused));
    std::vector<std::uint16_t> got(unused.data(), unused.data() + unused.size());
    EXPECT_EQ(got, (std::vector<std::uint16_t>{1, 2, 4, 6, 7}));
    Array<std::uint16_t> defined;
    ASSERT_TRUE(lc.getZoneNumListFromZoneTbl(defined));
    EXPECT_EQ(defined.size(), 3u);
}

TEST_F(LUNConfiguration, OnlyUnchainedDefinedGroupsCanBeModified)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_TRUE(lc.isModifyZone(3));
    EXPECT_FALSE(lc.isModifyZone(5));  // chained
    EXPECT_FALSE(lc.isModifyZone(6));  // missing
}

TEST_F(LUNConfiguration, PortChecksReadSecurityAndRAModes)
{
    SMISProviderLUNConfiguration lc(FC, A);
    EXPECT_TRUE(lc.isHostZone(HOST_PORT));
    EXPECT_FALSE(lc.isZoneSettingOfCAPort(HOST_PORT));
    EXPECT_TRUE(lc.isFCCASettingOfCAPort(HOST_PORT));
    EXPECT_FALSE(lc.isHostZone(MAP_PORT));
    EXPECT_TRUE(lc.isZoneSettingOfCAPort(MAP_PORT));
    EXPECT_FALSE(lc.isFCCASettingOfCAPort(MAP_PORT));
    for (std::uint16_t missing : {std::uint16_t(0x5301), std::uint16_t(0x5205)}) {
        EXPECT_FALSE(lc.isHostZone(missing));
        EXPECT_FALSE(lc.isZoneSettingOfCAPort(missing));
        EXPECT_FALSE(lc.isFCCASettingOfCAPort(missing));
    }
    Array<std::uint16_t> ids;
    EXPECT_EQ(lc.getAllLogicalID(ids), 0);
    std::vector<std::uint16_t> got(ids.data(), ids.data() + ids.size());
    EXPECT_EQ(got, (std::vector<std::uint16_t>{MAP_PORT, HOST_PORT}));
}

}  // namespace
