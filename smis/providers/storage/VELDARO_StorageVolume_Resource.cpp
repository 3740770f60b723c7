// One volume of an array: an OLU-table volume (one or several sub-volumes),
// a mainframe volume (MLU) or a pool volume (a sub-volume published by
// itself), read through one of its sub-volume entries.

#include "VELDARO_StorageVolume_Resource.h"

#include "RefTable_Text.h"

#include <cstdio>
#include <cstring>

#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"
#include "Key_Pattern.h"

namespace cimple {

namespace {

struct Prefix {
    const char* text;
    std::uint8_t luType;
};

// In the order the key parser tries them.
constexpr Prefix DEVICE_ID_PREFIXES[] = {
    {"VOL", 1}, {"MLU", 2}, {"MVV", 3}, {"SDV", 4}, {"TPPV", 8}, {"TPPC", 9}, {"LXV", 11}, {"WSV", 13},
};

constexpr std::uint8_t LU_MAINFRAME = 2;
constexpr std::uint8_t LU_POOL_VOLUME = 8;

bool isThin(std::uint8_t luType)
{
    return luType == 9 || luType == 11;
}

}  // namespace

bool VELDARO_StorageVolume_Resource::isPublishedLuType(std::uint8_t luType)
{
    return luType == LU_MAINFRAME || luType == LU_POOL_VOLUME || isOluType(luType);
}

bool VELDARO_StorageVolume_Resource::isOluType(std::uint8_t luType)
{
    switch (luType) {
    case 1: case 3: case 4: case 9: case 11: case 13:
        return true;
    default:
        return false;
    }
}

bool VELDARO_StorageVolume_Resource::shapeOf(const VELDARO_RefTable& table, int sluIndex, Shape& shape)
{
    if ((table.getSluStatus(sluIndex) & 0xFF) == FREE_ENTRY)
        return false;
    shape.luType = table.getLuType(sluIndex);
    if (!isPublishedLuType(shape.luType))
        return false;
    if (isOluType(shape.luType)) {
        shape.olu = table.searchOlunFromOluTable(table.getSluOlun(sluIndex));
        if (shape.olu < 0)
            return false;
        const unsigned sluCount = table.getOluSluCount(shape.olu);
        if (sluCount > 1) {
            shape.parts = sluCount;
            return true;
        }
    }
    shape.rlu = table.searchRlunFromRluTable(table.getSluRlun(sluIndex));
    if (shape.rlu < 0)
        return false;
    shape.level = table.getRaidLevel(shape.rlu);
    return true;
}

bool VELDARO_StorageVolume_Resource::raidLevelOf(const VELDARO_RefTable& table, int sluIndex, String& level)
{
    Shape shape;
    if (sluIndex < 0 || static_cast<std::uint32_t>(sluIndex) >= table.getSLUMaxCount() ||
        !shapeOf(table, sluIndex, shape))
        return false;
    level = raidLevelText(shape.level, shape.parts);
    return true;
}

String VELDARO_StorageVolume_Resource::raidLevelText(std::uint8_t raidLevel, unsigned parts)
{
    return parts <= 1 ? VELDARO_ValueConv::convRaidLevelToString(raidLevel) : String("JBOD");
}

int VELDARO_StorageVolume_Resource::createInstance(VELDARO_StorageVolume*& instance, int sluIndex)
{
    instance = nullptr;
    VELDARO_StorageVolume* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (sluIndex < 0 || static_cast<std::uint32_t>(sluIndex) >= table.getSLUMaxCount())
            return 1;
        Shape shape;
        if (!shapeOf(table, sluIndex, shape))
            return 0;
        const std::uint8_t luType = shape.luType;

        std::uint16_t number = 0;
        std::uint64_t blocks = 0;
        std::uint16_t threshold = 0;
        int first = 0, second = 0;
        int status = 0;
        char* name = nullptr;

        if (isOluType(luType)) {
            const int olu = shape.olu;
            if (shape.parts <= 1) {
                blocks = (luType == 4 || isThin(luType)) ? table.getVirtualOlbaCount(sluIndex)
                                                         : table.getOluOlbaCount(olu);
                if (isThin(luType))
                    threshold = table.getOluThreshold(olu);
            } else {
                blocks = table.getOluOlbaCount(olu);
            }
            number = table.getOluOlun(olu);
            status = table.getOluSMISStatus(number, &first, &second);
            if (status == 0)
                name = table.getOLUName(olu);
        } else {
            blocks = table.getSlbaCount(sluIndex);
            if (luType == LU_MAINFRAME) {
                number = table.getSluMlun(sluIndex);
                status = table.getMluSMISStatus(number, &first, &second);
            } else {
                number = table.getSluSlun(sluIndex);
                status = table.getSluSMISStatus(number, &first, &second);
            }
        }
        RefTable_Text nameText(name);
        if (status != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }

        std::uint8_t wwn[8] = {};
        table.getPartOfSysNodeWWN(wwn);
        made = Instance_Provider_Frame::newInstance<VELDARO_StorageVolume>();
        if (setStorageVolume(made, shape.level, number, luType, first, second, blocks, shape.parts, _storage,
                             threshold, wwn, nameText.get()) != 0) {
            destroy(made);
            return 1;
        }
        instance = made;
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        instance = nullptr;
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_StorageVolume_Resource::setStorageVolume(VELDARO_StorageVolume* made, std::uint8_t raidLevel,
                                                     std::uint16_t number, std::uint8_t luType,
                                                     int operationalStatus, int extentStatus, std::uint64_t blocks,
                                                     unsigned parts, String storage, std::uint16_t threshold,
                                                     const std::uint8_t* nodeWWN, const char* name)
{
    try {
        if (!made) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const String volumeName = VELDARO_ValueConv::convLuTypeToName(luType, number, nodeWWN);
        if (volumeName.size() == 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        char buf[64];
        Extent_Common::setDeviceKeys(made, storage, "VELDARO_StorageVolume",
                                     VELDARO_ValueConv::convLuTypeToLVolId(luType, number));
        made->Caption.set("Storage Volume");
        made->Description.set("Storage Volume");
        if (luType == LU_MAINFRAME) {
            std::snprintf(buf, sizeof buf, "Mainframe %05d", number);
            made->ElementName.set(buf);
        } else if (luType == LU_POOL_VOLUME) {
            std::snprintf(buf, sizeof buf, "Pool Volume %05d", number);
            made->ElementName.set(buf);
        } else {
            made->ElementName.set(name ? name : "");
        }
        made->Name.set(volumeName);
        made->NameFormat.set(static_cast<uint16>(VELDARO_ValueConv::convLuTypeToNameNameformat(luType)));
        made->NameNamespace.set(static_cast<uint16>(VELDARO_ValueConv::convLuTypeToNameNamespace(luType)));
        Extent_Common::setStatusPair(made, operationalStatus, extentStatus);
        made->DataOrganization.set(2);
        std::snprintf(buf, sizeof buf, "%05d+0x%02x", number,
                      static_cast<unsigned>(VELDARO_ValueConv::convLuTypeToVolumeType(luType)));
        made->Purpose.set(buf);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(blocks);
        made->ConsumableBlocks.set(blocks);
        made->IsBasedOnUnderlyingRedundancy.set(true);
        if (parts <= 1) {
            made->DataRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(raidLevel)));
            made->PackageRedundancy.set(
                static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(raidLevel)));
            made->NoSinglePointOfFailure.set(VELDARO_ValueConv::convRaidLevelToNoSinglePoint(raidLevel) != 0);
        } else {
            made->DataRedundancy.set(1);
            made->PackageRedundancy.set(0);
            made->NoSinglePointOfFailure.set(false);
        }
        made->RaidLevel.set(raidLevelText(raidLevel, parts));
        made->DeltaReservation.set(100);
        made->ThinlyProvisioned.set(isThin(luType));
        made->LUN.set((luType == LU_MAINFRAME || luType == LU_POOL_VOLUME) ? 65535u : number);
        made->Usage.set(static_cast<uint16>(VELDARO_ValueConv::convLuTypeToUsage(luType)));
        made->AttentionLevelRange.set(threshold);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_StorageVolume_Resource::setKeyProperties(VELDARO_StorageVolume* made, std::uint16_t number,
                                                     std::uint8_t luType, String storage)
{
    static const std::uint8_t NO_WWN[8] = {};
    if (setStorageVolume(made, 0, number, luType, 0, 0, 0, 1, storage, 0, NO_WWN, nullptr) != 0)
        return 1;
    __set_null_flags(made, false, true, 1);
    return 0;
}

bool VELDARO_StorageVolume_Resource::divide_DeviceID(const char* key, std::uint8_t* luType, std::uint16_t* number)
{
    if (!key || !*key || !luType || !number)
        return false;
    for (const Prefix& p : DEVICE_ID_PREFIXES) {
        const std::size_t length = std::strlen(p.text);
        if (std::strncmp(key, p.text, length) != 0)
            continue;
        unsigned value = 0;
        if (!Key_Pattern::read(key + length, "%5d", Key_Pattern::END, {&value}) || value > 0xFFFF)
            return false;
        *luType = p.luType;
        *number = static_cast<std::uint16_t>(value);
        return true;
    }
    return false;
}

}  // namespace cimple
