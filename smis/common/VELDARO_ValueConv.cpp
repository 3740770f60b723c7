#include "VELDARO_ValueConv.h"

#include <cstdio>

#include "String_Ops.h"

namespace cimple {

namespace {

struct RaidRow {
    std::uint8_t code;
    const char* name;
    int values[4];
};
// Row 5 is the row of every other code.
const RaidRow RAID_ROWS[] = {
    {8, "RAID0", {1, 0, 0, 0}},   {4, "RAID1", {2, 1, 1, 1}},   {12, "RAID1+0", {2, 1, 1, 1}},
    {1, "RAID5", {1, 1, 1, 1}},   {3, "RAID6", {1, 2, 1, 1}},   {0, "UNKNOWN", {1, 0, 1, 1}},
    {9, "RAID5+0", {1, 1, 1, 1}},
};
constexpr int RAID_ROW_COUNT = sizeof RAID_ROWS / sizeof RAID_ROWS[0];
constexpr int RAID_UNKNOWN_ROW = 5;

struct LuRow {
    std::uint8_t code;
    const char* name;
    int values[3];
};
// Row 4 is the row of every other code.
const LuRow LU_ROWS[] = {
    {1, "VOL", {0, 2, 9}},    {2, "MLU", {1, 7, 7}},   {3, "MVV", {2, 7, 7}},  {4, "SDV", {3, 2, 9}},
    {0, "ETC", {254, 7, 7}},  {7, "SDP", {4, 2, 9}},   {8, "TPPV", {5, 7, 7}}, {9, "TPPC", {6, 2, 9}},
    {11, "LXV", {7, 2, 9}},   {13, "WSV", {8, 2, 9}},
};
constexpr int LU_ROW_COUNT = sizeof LU_ROWS / sizeof LU_ROWS[0];
constexpr int LU_OTHER_ROW = 4;

const COPY_SYNC_INFO_LIST COPY_SYNC_TABLE[] = {
    {3, 1, 0, 1, 2, 1, 2, 2, 2},   {3, 2, 6, 0, 4, 0, 11, 2, 11}, {3, 2, 0, 0, 11, 1, 8, 2, 8},
    {3, 3, 0, 0, 12, 0, 5, 15, 5}, {4, 1, 0, 1, 2, 1, 2, 2, 2},   {4, 2, 6, 0, 4, 0, 11, 2, 11},
    {4, 2, 0, 0, 11, 1, 8, 2, 8},  {4, 3, 0, 0, 12, 0, 5, 15, 5}, {1, 1, 0, 1, 2, 0, 2, 2, 2},
    {1, 2, 1, 0, 5, 0, 3, 6, 4},   {1, 2, 2, 1, 6, 0, 4, 2, 4},   {1, 4, 1, 0, 13, 2, 6, 2, 6},
    {1, 4, 2, 0, 13, 2, 6, 2, 6},  {1, 3, 0, 0, 12, 0, 5, 15, 5}, {2, 1, 0, 1, 2, 0, 2, 2, 2},
    {2, 2, 1, 0, 5, 0, 3, 6, 4},   {2, 2, 2, 1, 6, 0, 4, 2, 4},   {2, 4, 1, 0, 13, 2, 6, 2, 6},
    {2, 4, 2, 0, 13, 2, 6, 2, 6},  {2, 5, 0, 0, 9, 0, 12, 2, 12}, {2, 3, 0, 0, 12, 0, 5, 15, 5},
};
static_assert(sizeof COPY_SYNC_TABLE / sizeof COPY_SYNC_TABLE[0] == VELDARO_ValueConv::COPY_SYNC_ROWS);

String format(const char* fmt, unsigned value)
{
    char text[32];
    std::snprintf(text, sizeof text, fmt, value);
    return String(text);
}

bool firstFamily(std::uint16_t family)
{
    return family == 0x0000 || family == 0x5000;
}

bool secondFamily(std::uint16_t family)
{
    return family == 0x2000 || family == 0x3000 || family == 0x4000;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

// ---- RAID levels ----

int VELDARO_ValueConv::getRaidInfoIndex(std::uint8_t code)
{
    for (int r = 0; r < RAID_ROW_COUNT; ++r)
        if (r != RAID_UNKNOWN_ROW && RAID_ROWS[r].code == code)
            return r;
    return RAID_UNKNOWN_ROW;
}

String VELDARO_ValueConv::getRaidLevelString(int row)
{
    return String(RAID_ROWS[row >= 0 && row < RAID_ROW_COUNT ? row : RAID_UNKNOWN_ROW].name);
}

int VELDARO_ValueConv::getRaidInfo(int row, int column)
{
    if (column < 0 || column > 3)
        return 0;
    return RAID_ROWS[row >= 0 && row < RAID_ROW_COUNT ? row : RAID_UNKNOWN_ROW].values[column];
}

String VELDARO_ValueConv::convRaidLevelToString(std::uint8_t code)
{
    return getRaidLevelString(getRaidInfoIndex(code));
}

std::uint8_t VELDARO_ValueConv::convRaidLevelStringToRaidLevel(String name)
{
    for (int r = 0; r < RAID_ROW_COUNT; ++r)
        if (r != RAID_UNKNOWN_ROW && name == RAID_ROWS[r].name)
            return RAID_ROWS[r].code;
    return 0;
}

int VELDARO_ValueConv::convRaidLevelToDataRedundancy(std::uint8_t code)
{
    return getRaidInfo(getRaidInfoIndex(code), DATA_REDUNDANCY);
}

int VELDARO_ValueConv::convRaidLevelToPackageRedundancy(std::uint8_t code)
{
    return getRaidInfo(getRaidInfoIndex(code), PACKAGE_REDUNDANCY);
}

int VELDARO_ValueConv::convRaidLevelToNoSinglePoint(std::uint8_t code)
{
    return getRaidInfo(getRaidInfoIndex(code), NO_SINGLE_POINT);
}

int VELDARO_ValueConv::convRaidLevelToUnderlyingRedundancy(std::uint8_t code)
{
    return getRaidInfo(getRaidInfoIndex(code), UNDERLYING_REDUNDANCY);
}

int VELDARO_ValueConv::convRaidLevelToStripeLength(std::uint8_t code, int memberDiskCount)
{
    switch (code) {
    case 1: case 3: case 8: return memberDiskCount;
    case 4: return 1;
    case 9: return 2;
    case 12: return memberDiskCount / 2;
    default: return 0;
    }
}

int VELDARO_ValueConv::convRaidLevel_TPPToStripeLength(std::uint8_t code, int memberDiskCount)
{
    return code == 9 ? 0 : convRaidLevelToStripeLength(code, memberDiskCount);
}

// ---- LU types ----

int VELDARO_ValueConv::getLuInfoIndex(std::uint8_t code)
{
    for (int r = 0; r < LU_ROW_COUNT; ++r)
        if (r != LU_OTHER_ROW && LU_ROWS[r].code == code)
            return r;
    return LU_OTHER_ROW;
}

String VELDARO_ValueConv::getLuTypeString(int row)
{
    return String(LU_ROWS[row >= 0 && row < LU_ROW_COUNT ? row : LU_OTHER_ROW].name);
}

int VELDARO_ValueConv::getLuInfo(int row, int column)
{
    if (column < 0 || column > 2)
        return 0;
    return LU_ROWS[row >= 0 && row < LU_ROW_COUNT ? row : LU_OTHER_ROW].values[column];
}

int VELDARO_ValueConv::convLuTypeToVolumeType(std::uint8_t code)
{
    return getLuInfo(getLuInfoIndex(code), VOLUME_TYPE);
}

int VELDARO_ValueConv::convLuTypeToNameNamespace(std::uint8_t code)
{
    return getLuInfo(getLuInfoIndex(code), NAME_NAMESPACE);
}

int VELDARO_ValueConv::convLuTypeToNameNameformat(std::uint8_t code)
{
    return getLuInfo(getLuInfoIndex(code), NAME_FORMAT);
}

String VELDARO_ValueConv::convLuTypeToLVolId(std::uint8_t code, std::uint16_t number)
{
    // "%05d" of a 16-bit number: always five digits. Written by hand, as
    // every volume of an enumeration comes here.
    char digits[5];
    unsigned rest = number;
    for (int k = 4; k >= 0; --k, rest /= 10)
        digits[k] = static_cast<char>('0' + rest % 10);
    String id = getLuTypeString(getLuInfoIndex(code));
    id.append(digits, sizeof digits);
    return id;
}

int VELDARO_ValueConv::convLuTypeToUsage(std::uint8_t code)
{
    switch (code) {
    case 1: case 2: case 3: case 9: case 11: case 13: return 2;
    case 4: return 12;
    case 7: return 4;
    case 8: return 3;
    default: return 1;
    }
}

String VELDARO_ValueConv::convLuTypeToName(std::uint8_t code, std::uint16_t olun, const unsigned char* nodeWWN)
{
    switch (code) {
    case 1: case 4: case 7: case 9: case 11: case 13:
        return makeVpd83Name(olun, nodeWWN);
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "%-8s+%s+%05X", "VELDARO", "Logical Volume  ", static_cast<unsigned>(olun));
        return String(text);
    }
    }
}

String VELDARO_ValueConv::makeVpd83Name(std::uint16_t olun, const unsigned char* nodeWWN)
{
    static const unsigned char zero[8] = {};
    const unsigned char* w = nodeWWN ? nodeWWN : zero;
    std::uint8_t b[16] = {};
    b[0] = static_cast<std::uint8_t>(0x60 | (w[0] & 0x0F));
    b[1] = w[1];
    b[2] = w[2];
    b[3] = static_cast<std::uint8_t>(w[3] & 0xF0);
    b[4] = static_cast<std::uint8_t>(((w[3] & 0x0F) << 4) | (w[4] >> 4));
    b[5] = b[9] = static_cast<std::uint8_t>(((w[4] & 0x0F) << 2) | (w[5] >> 6));
    b[10] = static_cast<std::uint8_t>(w[5] & 0x3F);
    b[11] = w[6];
    b[12] = static_cast<std::uint8_t>(olun >> 8);
    b[13] = static_cast<std::uint8_t>(olun & 0xFF);
    static const char HEX[] = "0123456789ABCDEF";
    char text[32];
    for (int k = 0; k < 16; ++k) {
        text[2 * k] = HEX[b[k] >> 4];
        text[2 * k + 1] = HEX[b[k] & 0x0F];
    }
    return String(text, 32);
}

std::uint16_t VELDARO_ValueConv::getOlunFromVpd83(String name)
{
    if (name.size() < 32)
        return 0xFFFF;
    unsigned value = 0;
    for (std::size_t k = 24; k < 28; ++k) {
        const int d = hexDigit(name[k]);
        if (d < 0)
            return 0xFFFF;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return static_cast<std::uint16_t>(value);
}

// ---- status and health ----

String VELDARO_ValueConv::convOperationalStatusToStatus(int s)
{
    switch (s) {
    case 1: case 2: case 15: case 18: return String("OK");
    case 3: return String("Degraded");
    case 4: return String("Stressed");
    case 5: return String("Pred Fail");
    case 6: case 14: case 16: return String("Error");
    case 7: return String("NonRecover");
    case 8: return String("Starting");
    case 9: return String("Stopping");
    case 10: return String("Stopped");
    case 11: return String("Service");
    case 12: return String("No Contact");
    case 13: return String("Lost Comm");
    default: return String("Unknown");
    }
}

int VELDARO_ValueConv::convOperationalStatusToHealthState(int s)
{
    switch (s) {
    case 2: return 5;
    case 3: return 10;
    case 5: return 15;
    case 6: case 13: return 30;
    default: return 0;
    }
}

String VELDARO_ValueConv::convRluStatusToInternalStatus(std::uint8_t low)
{
    switch (low) {
    case 0: return String("Available");
    case 1: return String("Exposed (Reduced)");
    case 2: return String("Broken");
    case 3: return String("Not Available");
    case 4: return String("Not Supported");
    case 5: return String("Partially Exposed");
    case 6: return String("Present");
    case 7: return String("Copy Back (Protected Rebuild)");
    case 8: return String("Rebuild");
    case 9: return String("Recalculate");
    case 10: return String("Protection Disabled");
    case 11: return String("Verify In Progress");
    case 12: return String("Dynamic Reconfig");
    case 64: return String("Portable");
    case 65: return String("Spare In Use (Rebuilt)");
    case 66: return String("Available Non Redundancy");
    case 67: return String("Part Broken (Failed Usable)");
    case 68: return String("Formatting");
    case 70: return String("Redundancy Copy Back");
    default: return String("Unknown");
    }
}

// ---- disks and system ----

int VELDARO_ValueConv::convDiskUsageToSMISValue(std::uint8_t usage)
{
    switch (usage) {
    case 1: return 0;
    case 2: case 10: return 1;
    case 4: return 3;
    case 5: return 4;
    default: return 254;
    }
}

String VELDARO_ValueConv::convDiskKindToString(std::uint8_t kind)
{
    static const char* const names[] = {"FC", "SAS", "SATA", "SSD"};
    String text((kind & 0x0F) < 4 ? names[kind & 0x0F] : "Unknown");
    if (kind & 0x80)
        text.append("(SED)");
    return text;
}

String VELDARO_ValueConv::convSystemModelToSMISValue(std::uint8_t model)
{
    switch (model) {
    case 146: return String("KESTRIS MR10 T4");
    case 145: return String("KESTRIS MR20 T4");
    case 161: return String("KESTRIS MR300 T4");
    case 177: return String("KESTRIS MR400 T4");
    case 193: return String("KESTRIS MR5000 T4");
    default: return String("Unknown");
    }
}

String VELDARO_ValueConv::convDeIdToChassisID(std::uint8_t deId)
{
    return concat("DeviceEnclosure", format("0x%02x", deId));
}

String VELDARO_ValueConv::convPositionNoToStringVertical(int n)
{
    return String(n != 0 ? "down" : "up");
}

String VELDARO_ValueConv::convPositionNoToStringHorizontal(int n)
{
    return String(n != 0 ? "right" : "left");
}

String VELDARO_ValueConv::convWWNToString(const unsigned char* wwn)
{
    if (!wwn)
        return String();
    char text[17];
    for (int k = 0; k < 8; ++k)
        std::snprintf(text + 2 * k, 3, "%02X", wwn[k]);
    return String(text, 16);
}

// ---- ports ----

int VELDARO_ValueConv::convCATypeToCAKind(std::uint16_t type)
{
    switch (type) {
    case 0x0000: case 0x5000: return 2;
    case 0x2000: case 0x3000: return 1;
    case 0xA000: return 3;
    default: return 0;
    }
}

std::uint64_t VELDARO_ValueConv::convCATypeToMaxSpeed(std::uint16_t fullType)
{
    const std::uint16_t family = fullType & 0xF000, sub = fullType & 0x0F00;
    if (firstFamily(family))
        return sub == 0x600 ? 8500000000ULL : sub == 0x700 ? 10518750000ULL : 0;
    if (secondFamily(family))
        return sub == 0x100 ? 1000000000ULL : sub == 0x700 ? 10000000000ULL : 0;
    return 0;
}

std::uint64_t VELDARO_ValueConv::convCAPortLinkStatusToSpeed(std::uint16_t type, std::uint16_t link)
{
    if (link == 0 || link == 0xFFFE || link == 0xFFFF)
        return 0;
    if (firstFamily(type))
        return link == 10 ? 10518750000ULL : link * 1062500000ULL;
    if (secondFamily(type))
        return link == 2560 ? 100000000ULL : link * 1000000000ULL;
    return 0;
}

bool VELDARO_ValueConv::convTransferRateToAutoSense(std::uint16_t type, std::uint8_t transferRate)
{
    return transferRate == 0 && (firstFamily(type) || secondFamily(type));
}

int VELDARO_ValueConv::convCAPortHostConnectionToPortType(std::uint8_t hostConnection)
{
    return hostConnection == 0 ? 11 : hostConnection == 1 ? 10 : 1;
}

String VELDARO_ValueConv::makeiSCSITargetPortName(String iscsiName, std::uint16_t tag)
{
    return concat(iscsiName, ",t,", format("0x%04X", tag));
}

bool VELDARO_ValueConv::conviSCSISupportToSMISValue(std::uint8_t flag)
{
    return flag == 1;
}

int VELDARO_ValueConv::convDigestMethodToSMISValue(std::uint8_t method)
{
    return method == 1 ? 2 : method == 2 ? 3 : 1;
}

int VELDARO_ValueConv::convAuthenticationToSMISValue(std::uint8_t code)
{
    return code == 2 ? 5 : code == 16 ? 3 : code == 32 ? 4 : 2;
}

bool VELDARO_ValueConv::convMutualAuthenticationToSMISValue(std::uint8_t flag)
{
    return flag == 2;
}

// ---- copies ----

int VELDARO_ValueConv::convSessionTypeToSMISValue(std::uint8_t type)
{
    return type == 1 ? 2 : 3;
}

std::uint16_t VELDARO_ValueConv::convCopyTypeToSMISCopyType(std::uint8_t copyType)
{
    return copyType == 1 || copyType == 2 ? 3 : 4;
}

std::uint16_t VELDARO_ValueConv::convCopyTypeToSyncType(std::uint8_t copyType)
{
    return copyType == 1 || copyType == 2 ? 6 : copyType == 3 ? 7 : 0x8000;
}

int VELDARO_ValueConv::getCopyMode(std::uint8_t copyType, std::uint8_t flag)
{
    return copyType == 2 && flag == 0 ? 3 : 2;
}

int VELDARO_ValueConv::getCopyTargetAccessibility(std::uint8_t copyType, std::uint8_t state, std::uint8_t kind,
                                                  std::uint8_t flag)
{
    if (copyType != 1 && copyType != 2)
        return state == 2 ? 2 : 1;
    if (flag != 0 || kind == 1)
        return 1;
    return kind == 2 ? 2 : 0;
}

int VELDARO_ValueConv::getCopySyncInfo(COPY_SYNC_INFO_LIST* record)
{
    if (!record)
        return -1;
    for (const COPY_SYNC_INFO_LIST& row : COPY_SYNC_TABLE) {
        if (row.CopyType == record->CopyType && row.CopyMode == record->CopyMode &&
            (row.SubState == 0 || row.SubState == record->SubState)) {
            *record = row;
            return 0;
        }
    }
    return -1;
}

int VELDARO_ValueConv::getCopySyncInfoDefault(COPY_SYNC_INFO_LIST* record)
{
    if (!record)
        return -1;
    record->SyncMaintained = 0;
    record->SyncState = 22;
    record->TimeSelector = 0;
    record->CopyState = 15;
    record->ProgressStatus = 0;
    record->RequestedCopyState = 15;
    return 0;
}

const COPY_SYNC_INFO_LIST* VELDARO_ValueConv::copySyncTable()
{
    return COPY_SYNC_TABLE;
}

}  // namespace cimple
