// Value conversion: every table row, the identifiers, the copy
// synchronisation table and its default.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "VELDARO_ValueConv.h"

using cimple::String;
using cimple::VELDARO_ValueConv;
using V = VELDARO_ValueConv;

namespace {

std::string s(const String& x)
{
    return std::string(x.c_str());
}

TEST(VELDARO_ValueConv, RaidLevels)
{
    struct Row {
        std::uint8_t code;
        const char* name;
        int values[4];
        int stripe8;  // stripe length with 8 disks
        int tppStripe8;
    };
    const Row rows[] = {
        {8, "RAID0", {1, 0, 0, 0}, 8, 8},     {4, "RAID1", {2, 1, 1, 1}, 1, 1},
        {12, "RAID1+0", {2, 1, 1, 1}, 4, 4},  {1, "RAID5", {1, 1, 1, 1}, 8, 8},
        {3, "RAID6", {1, 2, 1, 1}, 8, 8},     {2, "UNKNOWN", {1, 0, 1, 1}, 0, 0},
        {9, "RAID5+0", {1, 1, 1, 1}, 2, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(s(V::convRaidLevelToString(r.code)), r.name);
        EXPECT_EQ(V::convRaidLevelToDataRedundancy(r.code), r.values[0]) << r.name;
        EXPECT_EQ(V::convRaidLevelToPackageRedundancy(r.code), r.values[1]) << r.name;
        EXPECT_EQ(V::convRaidLevelToNoSinglePoint(r.code), r.values[2]) << r.name;
        EXPECT_EQ(V::convRaidLevelToUnderlyingRedundancy(r.code), r.values[3]) << r.name;
        EXPECT_EQ(V::convRaidLevelToStripeLength(r.code, 8), r.stripe8) << r.name;
        EXPECT_EQ(V::convRaidLevel_TPPToStripeLength(r.code, 8), r.tppStripe8) << r.name;
        EXPECT_EQ(V::convRaidLevelStringToRaidLevel(String(r.name)), r.code == 2 ? 0 : r.code) << r.name;
    }
    EXPECT_EQ(V::getRaidInfoIndex(12), 2);
    EXPECT_EQ(V::getRaidInfoIndex(0), 5);
    EXPECT_EQ(V::getRaidInfoIndex(9), 6);
    EXPECT_EQ(V::convRaidLevelStringToRaidLevel(String("raid5")), 0);
    EXPECT_EQ(V::convRaidLevelToStripeLength(12, 7), 3);
}

TEST(VELDARO_ValueConv, LuTypes)
{
    struct Row {
        std::uint8_t code;
        const char* name;
        int values[3];
        int usage;
    };
    const Row rows[] = {
        {1, "VOL", {0, 2, 9}, 2},   {2, "MLU", {1, 7, 7}, 2},   {3, "MVV", {2, 7, 7}, 2},
        {4, "SDV", {3, 2, 9}, 12},  {5, "ETC", {254, 7, 7}, 1}, {7, "SDP", {4, 2, 9}, 4},
        {8, "TPPV", {5, 7, 7}, 3},  {9, "TPPC", {6, 2, 9}, 2},  {11, "LXV", {7, 2, 9}, 2},
        {13, "WSV", {8, 2, 9}, 2},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(s(V::getLuTypeString(V::getLuInfoIndex(r.code))), r.name);
        EXPECT_EQ(V::convLuTypeToVolumeType(r.code), r.values[0]) << r.name;
        EXPECT_EQ(V::convLuTypeToNameNamespace(r.code), r.values[1]) << r.name;
        EXPECT_EQ(V::convLuTypeToNameNameformat(r.code), r.values[2]) << r.name;
        EXPECT_EQ(V::convLuTypeToUsage(r.code), r.usage) << r.name;
    }
    EXPECT_EQ(s(V::convLuTypeToLVolId(1, 12)), "VOL00012");
    EXPECT_EQ(s(V::convLuTypeToLVolId(2, 65535)), "MLU65535");
}

TEST(VELDARO_ValueConv, VolumeNamesAndVpd83)
{
    const unsigned char wwn[8] = {0x25, 0x00, 0x00, 0xB0, 0xC1, 0x7F, 0x3A, 0x99};
    EXPECT_EQ(s(V::convLuTypeToName(2, 26, wwn)), "VELDARO +Logical Volume  +0001A");
    const std::string vpd = s(V::makeVpd83Name(0x0102, wwn));
    // 0x60|5, w1, w2, w3&F0, (w3&0F)<<4|w4>>4, (w4&0F)<<2|w5>>6, 0, 0, 0, same, w5&3F, w6, olun, 0, 0
    EXPECT_EQ(vpd, "650000B00C0500000005" "3F3A" "01020000");
    EXPECT_EQ(s(V::convLuTypeToName(1, 0x0102, wwn)), vpd);
    EXPECT_EQ(V::getOlunFromVpd83(String(vpd.c_str())), 0x0102);
    EXPECT_EQ(V::getOlunFromVpd83(String(vpd.substr(0, 31).c_str())), 0xFFFF);
    EXPECT_EQ(V::getOlunFromVpd83(String("650000B00C05000000053F3AZZ020000")), 0xFFFF);
}

TEST(VELDARO_ValueConv, StatusTexts)
{
    const char* texts[] = {"Unknown", "OK", "OK", "Degraded", "Stressed", "Pred Fail", "Error",
                           "NonRecover", "Starting", "Stopping", "Stopped", "Service", "No Contact",
                           "Lost Comm", "Error", "OK", "Error", "Unknown", "OK", "Unknown"};
    for (int v = 0; v <= 19; ++v)
        EXPECT_EQ(s(V::convOperationalStatusToStatus(v)), texts[v]) << v;
    EXPECT_EQ(s(V::convOperationalStatusToStatus(-1)), "Unknown");
    const int health[][2] = {{2, 5}, {3, 10}, {5, 15}, {6, 30}, {13, 30}, {4, 0}, {-1, 0}};
    for (const auto& h : health)
        EXPECT_EQ(V::convOperationalStatusToHealthState(h[0]), h[1]) << h[0];
    EXPECT_EQ(s(V::convRluStatusToInternalStatus(7)), "Copy Back (Protected Rebuild)");
    EXPECT_EQ(s(V::convRluStatusToInternalStatus(66)), "Available Non Redundancy");
    EXPECT_EQ(s(V::convRluStatusToInternalStatus(70)), "Redundancy Copy Back");
    EXPECT_EQ(s(V::convRluStatusToInternalStatus(69)), "Unknown");
}

TEST(VELDARO_ValueConv, DisksSystemAndPositions)
{
    const int usage[][2] = {{1, 0}, {2, 1}, {10, 1}, {4, 3}, {5, 4}, {3, 254}};
    for (const auto& u : usage)
        EXPECT_EQ(V::convDiskUsageToSMISValue(static_cast<std::uint8_t>(u[0])), u[1]) << u[0];
    EXPECT_EQ(s(V::convDiskKindToString(0x00)), "FC");
    EXPECT_EQ(s(V::convDiskKindToString(0x81)), "SAS(SED)");
    EXPECT_EQ(s(V::convDiskKindToString(0x12)), "SATA");
    EXPECT_EQ(s(V::convDiskKindToString(0x83)), "SSD(SED)");
    EXPECT_EQ(s(V::convDiskKindToString(0x04)), "Unknown");
    EXPECT_EQ(s(V::convSystemModelToSMISValue(146)), "KESTRIS MR10 T4");
    EXPECT_EQ(s(V::convSystemModelToSMISValue(145)), "KESTRIS MR20 T4");
    EXPECT_EQ(s(V::convSystemModelToSMISValue(161)), "KESTRIS MR300 T4");
    EXPECT_EQ(s(V::convSystemModelToSMISValue(177)), "KESTRIS MR400 T4");
    EXPECT_EQ(s(V::convSystemModelToSMISValue(193)), "KESTRIS MR5000 T4");
    EXPECT_EQ(s(V::convSystemModelToSMISValue(0)), "Unknown");
    EXPECT_EQ(s(V::convDeIdToChassisID(0x1A)), "DeviceEnclosure0x1a");
    EXPECT_EQ(s(V::convPositionNoToStringVertical(1)), "down");
    EXPECT_EQ(s(V::convPositionNoToStringVertical(0)), "up");
    EXPECT_EQ(s(V::convPositionNoToStringHorizontal(2)), "right");
    EXPECT_EQ(s(V::convPositionNoToStringHorizontal(0)), "left");
    const unsigned char wwn[8] = {0x50, 0x0a, 0, 1, 2, 3, 4, 0xff};
    EXPECT_EQ(s(V::convWWNToString(wwn)), "500A0001020304FF");
}

TEST(VELDARO_ValueConv, Ports)
{
    const int kinds[][2] = {{0x0000, 2}, {0x5000, 2}, {0x2000, 1}, {0x3000, 1}, {0xA000, 3}, {0x4000, 0}};
    for (const auto& k : kinds)
        EXPECT_EQ(V::convCATypeToCAKind(static_cast<std::uint16_t>(k[0])), k[1]) << k[0];
    EXPECT_EQ(V::convCATypeToMaxSpeed(0x0600), 8500000000ULL);
    EXPECT_EQ(V::convCATypeToMaxSpeed(0x5700), 10518750000ULL);
    EXPECT_EQ(V::convCATypeToMaxSpeed(0x4100), 1000000000ULL);
    EXPECT_EQ(V::convCATypeToMaxSpeed(0x3700), 10000000000ULL);
    EXPECT_EQ(V::convCATypeToMaxSpeed(0x2600), 0u);
    EXPECT_EQ(V::convCATypeToMaxSpeed(0xA700), 0u);
    EXPECT_EQ(V::convCAPortLinkStatusToSpeed(0x0000, 8), 8500000000ULL);
    EXPECT_EQ(V::convCAPortLinkStatusToSpeed(0x5000, 10), 10518750000ULL);
    EXPECT_EQ(V::convCAPortLinkStatusToSpeed(0x2000, 2560), 100000000ULL);
    EXPECT_EQ(V::convCAPortLinkStatusToSpeed(0x4000, 10), 10000000000ULL);
    EXPECT_EQ(V::convCAPortLinkStatusToSpeed(0x0000, 0xFFFE), 0u);
    EXPECT_EQ(V::convCAPortLinkStatusToSpeed(0x0000, 0), 0u);
    EXPECT_EQ(V::convCAPortLinkStatusToSpeed(0xA000, 8), 0u);
    EXPECT_TRUE(V::convTransferRateToAutoSense(0x3000, 0));
    EXPECT_FALSE(V::convTransferRateToAutoSense(0x3000, 1));
    EXPECT_FALSE(V::convTransferRateToAutoSense(0xA000, 0));
    EXPECT_EQ(V::convCAPortHostConnectionToPortType(0), 11);
    EXPECT_EQ(V::convCAPortHostConnectionToPortType(1), 10);
    EXPECT_EQ(V::convCAPortHostConnectionToPortType(7), 1);
    EXPECT_EQ(s(V::makeiSCSITargetPortName(String("iqn.x"), 0x1A)), "iqn.x,t,0x001A");
    EXPECT_TRUE(V::conviSCSISupportToSMISValue(1));
    EXPECT_FALSE(V::conviSCSISupportToSMISValue(2));
    EXPECT_EQ(V::convDigestMethodToSMISValue(1), 2);
    EXPECT_EQ(V::convDigestMethodToSMISValue(2), 3);
    EXPECT_EQ(V::convDigestMethodToSMISValue(0), 1);
    EXPECT_EQ(V::convAuthenticationToSMISValue(2), 5);
    EXPECT_EQ(V::convAuthenticationToSMISValue(16), 3);
    EXPECT_EQ(V::convAuthenticationToSMISValue(32), 4);
    EXPECT_EQ(V::convAuthenticationToSMISValue(0), 2);
    EXPECT_TRUE(V::convMutualAuthenticationToSMISValue(2));
    EXPECT_FALSE(V::convMutualAuthenticationToSMISValue(1));
}

TEST(VELDARO_ValueConv, Copies)
{
    EXPECT_EQ(V::convSessionTypeToSMISValue(1), 2);
    EXPECT_EQ(V::convSessionTypeToSMISValue(2), 3);
    EXPECT_EQ(V::convCopyTypeToSMISCopyType(2), 3);
    EXPECT_EQ(V::convCopyTypeToSMISCopyType(3), 4);
    EXPECT_EQ(V::convCopyTypeToSyncType(1), 6);
    EXPECT_EQ(V::convCopyTypeToSyncType(3), 7);
    EXPECT_EQ(V::convCopyTypeToSyncType(4), 0x8000);
    EXPECT_EQ(V::getCopyMode(2, 0), 3);
    EXPECT_EQ(V::getCopyMode(2, 1), 2);
    EXPECT_EQ(V::getCopyMode(1, 0), 2);
    struct Access {
        std::uint8_t type, state, kind, flag;
        int expected;
    };
    const Access access[] = {{3, 2, 0, 0, 2}, {4, 1, 0, 0, 1}, {1, 0, 0, 1, 1}, {2, 0, 1, 0, 1},
                             {1, 0, 2, 0, 2}, {2, 0, 0, 0, 0}};
    for (const Access& a : access)
        EXPECT_EQ(V::getCopyTargetAccessibility(a.type, a.state, a.kind, a.flag), a.expected)
            << int(a.type) << " " << int(a.kind);
}

TEST(VELDARO_ValueConv, CopySyncTableFirstMatchingRow)
{
    struct Case {
        std::uint8_t type, mode, sub;
        int result;
        COPY_SYNC_INFO_LIST row;  // expected record after the call
    };
    const Case cases[] = {
        {1, 2, 3, -1, {1, 2, 3, 0, 0, 0, 0, 0, 0}},           // mode 2 rows need sub-state 1 or 2
        {3, 2, 3, 0, {3, 2, 0, 0, 11, 1, 8, 2, 8}},           // the row with sub-state 0
        {3, 2, 6, 0, {3, 2, 6, 0, 4, 0, 11, 2, 11}},          // the exact row comes first
        {1, 2, 2, 0, {1, 2, 2, 1, 6, 0, 4, 2, 4}},
        {2, 5, 9, 0, {2, 5, 0, 0, 9, 0, 12, 2, 12}},
        {4, 3, 0, 0, {4, 3, 0, 0, 12, 0, 5, 15, 5}},
        {2, 6, 0, -1, {2, 6, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        COPY_SYNC_INFO_LIST r{c.type, c.mode, c.sub, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(V::getCopySyncInfo(&r), c.result) << int(c.type) << int(c.mode) << int(c.sub);
        EXPECT_EQ(0, std::memcmp(&r, &c.row, sizeof r)) << int(c.type) << int(c.mode) << int(c.sub);
    }
    EXPECT_EQ(V::getCopySyncInfo(nullptr), -1);
    // Each row is found by its own key.
    const COPY_SYNC_INFO_LIST* table = V::copySyncTable();
    for (int i = 0; i < V::COPY_SYNC_ROWS; ++i) {
        COPY_SYNC_INFO_LIST r{table[i].CopyType, table[i].CopyMode, table[i].SubState, 0, 0, 0, 0, 0, 0};
        ASSERT_EQ(V::getCopySyncInfo(&r), 0) << i;
        EXPECT_EQ(r.SyncState, table[i].SyncState) << i;
    }
}

TEST(VELDARO_ValueConv, CopySyncDefaultKeepsTheKey)
{
    COPY_SYNC_INFO_LIST r{7, 8, 9, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(V::getCopySyncInfoDefault(&r), 0);
    const COPY_SYNC_INFO_LIST expected{7, 8, 9, 0, 22, 0, 15, 0, 15};
    EXPECT_EQ(0, std::memcmp(&r, &expected, sizeof r));
    EXPECT_EQ(V::getCopySyncInfoDefault(nullptr), -1);
}

}  // namespace
