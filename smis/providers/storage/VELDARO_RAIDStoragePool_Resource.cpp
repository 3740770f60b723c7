// One RAID group as a concrete storage pool: level, capacity, owner and
// member counts.

#include "VELDARO_RAIDStoragePool_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Pool_Capacity.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"
#include "Key_Pattern.h"

namespace cimple {

namespace {

// Mode bit of a RAID group whose space belongs to a thin or tiering pool.
constexpr std::uint8_t MODE_POOL_MEMBER = 0x02;

}  // namespace

std::uint16_t VELDARO_RAIDStoragePool_Resource::usageOfMode(std::uint8_t mode)
{
    if (mode & 0x01)
        return 3;
    if (mode & 0x02)
        return 7;
    if (mode & 0x08)
        return 3;
    return 2;
}

int VELDARO_RAIDStoragePool_Resource::createInstance(VELDARO_RAIDStoragePool*& instance, int rluIndex)
{
    instance = nullptr;
    VELDARO_RAIDStoragePool* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (rluIndex < 0 || static_cast<std::uint32_t>(rluIndex) >= table.getRLUMaxCount())
            return 1;
        const std::uint16_t statusWord = table.getRluStatus(rluIndex);
        if ((statusWord & 0xFF) == 3)
            return 0;  // free entry
        const std::uint16_t rlun = table.getRluRlun(rluIndex);
        const std::uint8_t level = table.getRaidLevel(rluIndex);
        int status = 0;
        if (table.getRluSMISStatus(rluIndex, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const std::uint8_t mode = table.getRluMode(rluIndex);
        std::uint64_t blocks = 0, remainingBlocks = 0;
        if (!(mode & MODE_POOL_MEMBER)) {
            blocks = table.getRlbaCount(rluIndex);
            remainingBlocks = Pool_Capacity::remaining(blocks, table.getTotalSlbaCount(rluIndex));
        }
        const std::uint8_t controller = table.getRluCurrentCMMID(rluIndex);
        const int members = table.getRaidDiskCount(rluIndex);
        const int spares = table.getRaidHSDiskCount(rluIndex);
        RefTable_Text name(table.getRLUName(rluIndex));

        made = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
        setRAIDStoragePool(made, level, rlun, status, blocks, remainingBlocks, statusWord, controller, mode, members,
                           spares, name.c_str());
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

String VELDARO_RAIDStoragePool_Resource::instanceID(std::uint16_t number) const
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "VELDARO:RSP%04d_%s", number, _storage.c_str());
    return String(buf);
}

VELDARO_RAIDStoragePool* VELDARO_RAIDStoragePool_Resource::keyInstance(std::uint16_t number) const
{
    return Instance_Provider_Frame::keyedByInstanceID<VELDARO_RAIDStoragePool>(instanceID(number));
}

int VELDARO_RAIDStoragePool_Resource::setRAIDStoragePool(VELDARO_RAIDStoragePool* instance, std::uint8_t raidLevel,
                                                         std::uint16_t rlun, int status, std::uint64_t blocks,
                                                         std::uint64_t remainingBlocks, std::uint16_t statusWord,
                                                         std::uint8_t currentCMMID, std::uint8_t mode, int memberDisks,
                                                         int spareDisks, const char* name)
{
    const String level = VELDARO_ValueConv::convRaidLevelToString(raidLevel);
    char buf[128];
    instance->InstanceID.set(instanceID(rlun));
    instance->Caption.set("RAID Storage Pool");
    instance->Description.set("RAID Storage Pool");
    instance->ElementName.set(name ? name : "");
    std::snprintf(buf, sizeof buf, "RAID Group%04d(%s)", rlun, level.c_str());
    instance->Name.set(buf);
    instance->PoolID.set(buf);
    Array<uint16> operational;
    operational.append(static_cast<uint16>(status));
    instance->OperationalStatus.set(operational);
    instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
    instance->Primordial.set(false);
    instance->TotalManagedSpace.set(Pool_Capacity::bytesOf(blocks));
    instance->RemainingManagedSpace.set(Pool_Capacity::bytesOf(remainingBlocks));
    instance->Usage.set(usageOfMode(mode));
    instance->RLUN.set(rlun);
    instance->RaidNumber.set(rlun);
    instance->RaidLevel.set(level);
    instance->InternalStatus.set(
        VELDARO_ValueConv::convRluStatusToInternalStatus(static_cast<std::uint8_t>(statusWord & 0xFF)));
    std::snprintf(buf, sizeof buf, "%d", currentCMMID & 0x07);
    instance->Owner.set(buf);
    instance->MemberDisks.set(static_cast<uint32>(memberDisks < 0 ? 0 : memberDisks));
    instance->LocalSpares.set(static_cast<uint32>(spareDisks < 0 ? 0 : spareDisks));
    return 0;
}

bool VELDARO_RAIDStoragePool_Resource::divide_InstanceID(const char* key, std::uint16_t* rlun)
{
    if (!key || !*key || !rlun)
        return false;
    unsigned number = 0;
    if (!Key_Pattern::read(key, "VELDARO:RSP%4d", Key_Pattern::ADDRESS, {&number}))
        return false;
    *rlun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
