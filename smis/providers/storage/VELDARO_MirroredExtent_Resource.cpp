// One mirrored disk set (DLU) of a RAID1+0 group as a composite extent.

#include "VELDARO_MirroredExtent_Resource.h"

#include <cstdio>
#include <string>

#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {
// The level whose stripe length a mirrored set has.
constexpr std::uint8_t RAID1 = 4;
}  // namespace

int VELDARO_MirroredExtent_Resource::createInstance(VELDARO_MirroredExtent*& instance, int rluIndex, int dluIndex)
{
    instance = nullptr;
    VELDARO_MirroredExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (rluIndex < 0 || static_cast<std::uint32_t>(rluIndex) >= table.getRLUMaxCount() || dluIndex < 0 ||
            static_cast<std::uint32_t>(dluIndex) >= table.getDLUMaxCount())
            return 1;
        const std::uint16_t rlun = table.getRluRlun(rluIndex);
        if ((table.getRluStatus(rluIndex) & 0xFF) == 3 || table.getRaidLevel(rluIndex) != RAID10 ||
            (table.getDluStatus(dluIndex) & 0xFF) == 3 || table.getDluRlun(dluIndex) != rlun)
            return 0;

        Array<std::uint16_t> disks;
        for (unsigned k = 0; k < DISK_SLOTS; ++k) {
            const std::uint16_t plun = table.getDluUsePlu(dluIndex, static_cast<int>(k));
            if (plun != 0xFFFF)
                disks.append(plun);
        }
        if (disks.size() == 0)
            return 0;  // a set without disks has no key

        const std::uint16_t dlun = table.getDluDlun(dluIndex);
        int first = 0, second = 0;
        if (table.getRluSMISStatus(rlun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const int stripeLength = VELDARO_ValueConv::convRaidLevelToStripeLength(RAID1, table.getRaidDiskCount(rluIndex));
        const std::uint8_t mode = table.getRluMode(rluIndex);
        const std::uint64_t blocks = table.getDluBlockCount(dluIndex);
        const std::uint8_t memberDiskNumber = table.getDluMemberDiskNumber(dluIndex);

        made = Instance_Provider_Frame::newInstance<VELDARO_MirroredExtent>();
        if (setMirroredExtent(made, rlun, dlun, RAID10, first, _storage, disks, blocks, second, stripeLength,
                              memberDiskNumber, mode) != 0) {
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

int VELDARO_MirroredExtent_Resource::setMirroredExtent(VELDARO_MirroredExtent* made, std::uint16_t rlun,
                                                       std::uint16_t /*dlun*/, std::uint8_t level, int first,
                                                       String storage, Array<std::uint16_t> disks,
                                                       std::uint64_t blocks, int second, int stripeLength,
                                                       std::uint8_t memberDiskNumber, std::uint8_t rluMode)
{
    try {
        if (!made) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        char buf[64];
        made->Caption.set("Mirrored Extent");
        made->Description.set("Mirrored Extent");
        std::snprintf(buf, sizeof buf, "RAID Group%04d(%s)", rlun, VELDARO_ValueConv::convRaidLevelToString(level).c_str());
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%04X", "VELDARO", "RAID Group", rlun);
        made->Name.set(buf);
        Extent_Common::setStatusPair(made, first, second);
        std::string deviceId = "MRD";
        for (size_t k = 0; k < disks.size(); ++k) {
            std::snprintf(buf, sizeof buf, "%s0x%04x", k == 0 ? "" : "_", disks[k]);
            deviceId += buf;
        }
        Extent_Common::setDeviceKeys(made, storage, "VELDARO_MirroredExtent", deviceId.c_str());
        made->DataOrganization.set(2);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(blocks);
        made->ConsumableBlocks.set((rluMode & 0x02) ? 0 : blocks);
        Extent_Common::setRedundancy(made, level);
        made->SequentialAccess.set(false);
        made->Primordial.set(false);
        made->ExtentStripeLength.set(static_cast<uint64>(static_cast<std::int64_t>(stripeLength)));
        made->IsConcatenated.set(false);
        made->StripingNumber.set(memberDiskNumber);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_MirroredExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* firstDisk,
                                                      std::uint16_t* secondDisk)
{
    if (!key || !*key || !firstDisk || !secondDisk)
        return false;
    unsigned a = 0, b = 0xFFFF;
    // A set of one disk has a key of one number; its instances must be
    // found again like those of a pair.
    if (std::sscanf(key, "MRD0x%04x_0x%04x", &a, &b) < 1)
        return false;
    *firstDisk = static_cast<std::uint16_t>(a);
    *secondDisk = static_cast<std::uint16_t>(b);
    return true;
}

}  // namespace cimple
