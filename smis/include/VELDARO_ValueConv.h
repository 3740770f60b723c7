#pragma once
// Conversions of the array's codes into the values and texts that the CIM
// classes publish, and the identifiers several classes share. Stateless:
// every operation is a pure function of its arguments over fixed tables.
//
//   String level = VELDARO_ValueConv::convRaidLevelToString(rlu.getRaidLevel(i));   // "RAID5"
//   COPY_SYNC_INFO_LIST row{};  row.CopyType = 3; row.CopyMode = 2; row.SubState = 6;
//   if (VELDARO_ValueConv::getCopySyncInfo(&row) != 0) VELDARO_ValueConv::getCopySyncInfoDefault(&row);

#include <cstdint>

#include <cimple/String.h>

#include "COPY_SYNC_INFO_LIST.h"

namespace cimple {

class VELDARO_ValueConv {
public:
    // ---- RAID levels ----
    enum RaidInfoColumn { DATA_REDUNDANCY = 0, PACKAGE_REDUNDANCY = 1, NO_SINGLE_POINT = 2, UNDERLYING_REDUNDANCY = 3 };
    static int getRaidInfoIndex(std::uint8_t code);
    static String getRaidLevelString(int row);
    static int getRaidInfo(int row, int column);
    static String convRaidLevelToString(std::uint8_t code);
    // 0 for "UNKNOWN" and any text that names no level.
    static std::uint8_t convRaidLevelStringToRaidLevel(String name);
    static int convRaidLevelToDataRedundancy(std::uint8_t code);
    static int convRaidLevelToPackageRedundancy(std::uint8_t code);
    static int convRaidLevelToNoSinglePoint(std::uint8_t code);
    static int convRaidLevelToUnderlyingRedundancy(std::uint8_t code);
    static int convRaidLevelToStripeLength(std::uint8_t code, int memberDiskCount);
    static int convRaidLevel_TPPToStripeLength(std::uint8_t code, int memberDiskCount);

    // ---- LU types ----
    enum LuInfoColumn { VOLUME_TYPE = 0, NAME_NAMESPACE = 1, NAME_FORMAT = 2 };
    static int getLuInfoIndex(std::uint8_t code);
    static String getLuTypeString(int row);
    static int getLuInfo(int row, int column);
    static int convLuTypeToVolumeType(std::uint8_t code);
    static int convLuTypeToNameNamespace(std::uint8_t code);
    static int convLuTypeToNameNameformat(std::uint8_t code);
    // Type name and "%05d" of the number (VOL00012).
    static String convLuTypeToLVolId(std::uint8_t code, std::uint16_t number);
    static int convLuTypeToUsage(std::uint8_t code);
    // The VPD83 name for 1, 4, 7, 9, 11, 13; else the vendor volume name.
    static String convLuTypeToName(std::uint8_t code, std::uint16_t olun, const unsigned char* nodeWWN);
    // 32 upper-case hex digits of the 16-byte NAA identifier of the volume.
    static String makeVpd83Name(std::uint16_t olun, const unsigned char* nodeWWN);
    // The volume number in characters 24 to 27; 0xFFFF for a shorter text
    // or digits that are not hexadecimal.
    static std::uint16_t getOlunFromVpd83(String name);

    // ---- status and health ----
    static String convOperationalStatusToStatus(int operationalStatus);
    static int convOperationalStatusToHealthState(int operationalStatus);
    static String convRluStatusToInternalStatus(std::uint8_t statusLow);

    // ---- disks and system ----
    static int convDiskUsageToSMISValue(std::uint8_t usage);
    static String convDiskKindToString(std::uint8_t kind);
    static String convSystemModelToSMISValue(std::uint8_t model);
    static String convDeIdToChassisID(std::uint8_t deId);
    static String convPositionNoToStringVertical(int n);
    static String convPositionNoToStringHorizontal(int n);
    static String convWWNToString(const unsigned char* wwn);

    // ---- ports ----
    static int convCATypeToCAKind(std::uint16_t type);
    static std::uint64_t convCATypeToMaxSpeed(std::uint16_t fullType);
    static std::uint64_t convCAPortLinkStatusToSpeed(std::uint16_t type, std::uint16_t linkStatus);
    static bool convTransferRateToAutoSense(std::uint16_t type, std::uint8_t transferRate);
    static int convCAPortHostConnectionToPortType(std::uint8_t hostConnection);
    static String makeiSCSITargetPortName(String iscsiName, std::uint16_t tag);
    static bool conviSCSISupportToSMISValue(std::uint8_t flag);
    static int convDigestMethodToSMISValue(std::uint8_t method);
    static int convAuthenticationToSMISValue(std::uint8_t code);
    static bool convMutualAuthenticationToSMISValue(std::uint8_t flag);

    // ---- copies ----
    static int convSessionTypeToSMISValue(std::uint8_t type);
    static std::uint16_t convCopyTypeToSMISCopyType(std::uint8_t copyType);
    static std::uint16_t convCopyTypeToSyncType(std::uint8_t copyType);
    static int getCopyMode(std::uint8_t copyType, std::uint8_t flag);
    static int getCopyTargetAccessibility(std::uint8_t copyType, std::uint8_t state, std::uint8_t kind,
                                          std::uint8_t flag);
    // The first row whose type and mode equal the record's and whose
    // sub-state is 0 or the record's is copied into it: 0. No row: -1 and
    // the record unchanged (also for NULL).
    static int getCopySyncInfo(COPY_SYNC_INFO_LIST* record);
    // The default values, key bytes kept: 0 (-1 for NULL).
    static int getCopySyncInfoDefault(COPY_SYNC_INFO_LIST* record);
    static constexpr int COPY_SYNC_ROWS = 21;
    static const COPY_SYNC_INFO_LIST* copySyncTable();
};

}  // namespace cimple
