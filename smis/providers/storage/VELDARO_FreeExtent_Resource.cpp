// Free block ranges of a RAID group: the group's size less the ranges its
// slices occupy (each raised to a whole number of stripes).

#include "VELDARO_FreeExtent_Resource.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "Instance_Provider_Frame.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"
#include "Key_Pattern.h"

namespace cimple {

namespace {

constexpr std::uint64_t U64_MAX = std::numeric_limits<std::uint64_t>::max();

struct Used_Range {
    std::uint64_t start;
    std::uint64_t end;  // inclusive
};

// count raised to a whole number of stripes, saturating at the top of the
// address space.
std::uint64_t stripeMultiple(std::uint64_t count, std::uint64_t stripe)
{
    const std::uint64_t stripes = count / stripe + (count % stripe != 0 ? 1 : 0);
    if (stripes > U64_MAX / stripe)
        return U64_MAX;
    return stripes * stripe;
}

}  // namespace

bool VELDARO_FreeExtent_Resource::getFreeSpace(int rluIndex, Array<uint64>* sizes, Array<uint64>* starts)
{
    VELDARO_RefTable table(_storage.c_str());
    if (!sizes || !starts || rluIndex < 0 || static_cast<std::uint32_t>(rluIndex) >= table.getRLUMaxCount())
        return false;
    const std::uint64_t total = table.getRlbaCount(rluIndex);
    const std::uint64_t stripe = table.getRluStripeSize(rluIndex);
    const unsigned slices = table.getRluSluCount(rluIndex);

    if (slices == 0) {
        if (total > 0) {
            sizes->append(total);
            starts->append(0);
        }
        return true;
    }
    if (stripe == 0) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::WARNING,
                                     "RAID group %u has a stripe size of 0; its free ranges are not reported.",
                                     static_cast<unsigned>(table.getRluRlun(rluIndex)));
        return false;
    }

    std::vector<Used_Range> used;  // sorted by start; equal starts: newest first
    for (unsigned j = 0; j < slices; ++j) {
        const int slu = table.searchSlunFromSluTable(table.getRluSlun(rluIndex, static_cast<int>(j)));
        if (slu < 0 || !table.checkSupportLUType(slu))
            continue;
        const std::uint64_t count = table.getSlbaCount(slu);
        if (count == 0)
            continue;  // occupies nothing
        const std::uint64_t start = table.getSluStartRlba(slu);
        const std::uint64_t length = stripeMultiple(count, stripe);
        const std::uint64_t end = length - 1 > U64_MAX - start ? U64_MAX : start + (length - 1);
        auto at = std::find_if(used.begin(), used.end(), [&](const Used_Range& u) { return u.start >= start; });
        used.insert(at, Used_Range{start, end});
    }
    if (used.empty())
        return true;  // every slice left out: nothing known about the group

    auto addFree = [&](std::uint64_t from, std::uint64_t limit) {
        limit = std::min(limit, total);
        if (from < limit) {
            sizes->append(limit - from);
            starts->append(from);
        }
    };
    addFree(0, used[0].start);
    // Ranges may overlap: the candidate start follows the furthest end seen
    // so far, so that space inside an earlier, longer range is never free.
    std::uint64_t furthest = used[0].end;
    for (std::size_t k = 1; k <= used.size(); ++k) {
        if (furthest == U64_MAX)
            break;
        addFree(furthest + 1, k < used.size() ? used[k].start : total);
        if (k < used.size())
            furthest = std::max(furthest, used[k].end);
    }
    return true;
}

int VELDARO_FreeExtent_Resource::createInstance(Array<VELDARO_FreeExtent*>& list, int rluIndex)
{
    VELDARO_FreeExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (rluIndex < 0 || static_cast<std::uint32_t>(rluIndex) >= table.getRLUMaxCount())
            return 1;
        if ((table.getRluStatus(rluIndex) & 0xFF) == 3)
            return 0;
        Array<uint64> sizes, starts;
        if (!getFreeSpace(rluIndex, &sizes, &starts) || sizes.size() == 0 || starts.size() == 0)
            return 0;

        const std::uint16_t rlun = table.getRluRlun(rluIndex);
        const std::uint8_t level = table.getRaidLevel(rluIndex);
        const String levelText = VELDARO_ValueConv::convRaidLevelToString(level);
        const int dataRedundancy = VELDARO_ValueConv::convRaidLevelToDataRedundancy(level);
        const int packageRedundancy = VELDARO_ValueConv::convRaidLevelToPackageRedundancy(level);
        const int noSinglePoint = VELDARO_ValueConv::convRaidLevelToNoSinglePoint(level);
        const int underlying = VELDARO_ValueConv::convRaidLevelToUnderlyingRedundancy(level);

        int first = 0, second = 0;
        if (table.getRluSMISStatus(rlun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const unsigned controller = table.getRluCurrentCMMID(rluIndex) & 0x07;

        char element[64], name[64], purpose[64], id[32];
        std::snprintf(element, sizeof element, "RAID Group%04d(%s)", rlun, levelText.c_str());
        std::snprintf(name, sizeof name, "%-8s+%-16s+%04X", "VELDARO", "RAID Group", rlun);
        std::snprintf(purpose, sizeof purpose, "%04d+%02u+0x%04x+0x%04x", rlun, controller, 65534u, 65534u);
        const std::size_t ranges = std::min(sizes.size(), starts.size());
        for (std::size_t i = 0; i < ranges; ++i) {
            made = Instance_Provider_Frame::newInstance<VELDARO_FreeExtent>();
            made->Caption.set("Free Extent");
            made->Description.set("Free Extent");
            made->ElementName.set(element);
            made->Name.set(name);
            Array<uint16> operational;
            operational.append(static_cast<uint16>(first));
            made->OperationalStatus.set(operational);
            made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(first));
            made->HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(first)));
            Array<uint16> extent;
            extent.append(static_cast<uint16>(second));
            made->ExtentStatus.set(extent);
            made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
            made->SystemName.set(_storage);
            made->CreationClassName.set("VELDARO_FreeExtent");
            std::snprintf(id, sizeof id, "FE%04d_F%03u", rlun, static_cast<unsigned>(i));
            made->DeviceID.set(id);
            made->Purpose.set(purpose);
            made->DataOrganization.set(2);
            made->Access.set(3);
            made->BlockSize.set(512);
            made->NumberOfBlocks.set(sizes[i]);
            made->ConsumableBlocks.set(sizes[i]);
            // A byte address; starts beyond the representable range saturate.
            made->StartingAddress.set(starts[i] > U64_MAX / 512 ? U64_MAX : starts[i] * 512);
            made->IsBasedOnUnderlyingRedundancy.set(underlying != 0);
            made->SequentialAccess.set(false);
            made->NoSinglePointOfFailure.set(noSinglePoint != 0);
            made->DataRedundancy.set(static_cast<uint16>(dataRedundancy));
            made->PackageRedundancy.set(static_cast<uint16>(packageRedundancy));
            made->Primordial.set(false);
            list.append(made);
            made = nullptr;
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::destroyAll(list);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_FreeExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* rlun, int* ordinal)
{
    if (!key || !*key || !rlun || !ordinal)
        return false;
    unsigned number = 0, index = 0;
    if (!Key_Pattern::read(key, "FE%4d_F%3d", Key_Pattern::END, {&number, &index}))
        return false;
    *rlun = static_cast<std::uint16_t>(number);
    *ordinal = static_cast<int>(index);
    return true;
}

}  // namespace cimple
