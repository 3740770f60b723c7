// The snap data pools of an array, each as a composite of its volumes.

#include "VELDARO_SnapDataCompositeExtent_Resource.h"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>

#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

constexpr std::uint8_t LU_SNAP_DATA_POOL = 7;

struct Free_Deleter {
    void operator()(void* p) const { std::free(p); }
};

// The pool's size in blocks: the two 64-bit counts of its record (each the
// first two words of a group, low word first) added, kept at the largest
// value when they would exceed it.
std::uint64_t poolBlocks(const SMIS_COPY_SDP_INFO& record)
{
    const std::uint64_t a = std::uint64_t{record.Values32[0]} | (std::uint64_t{record.Values32[1]} << 32);
    const std::uint64_t b = std::uint64_t{record.Values8[0]} | (std::uint64_t{record.Values8[1]} << 32);
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

}  // namespace

VELDARO_SnapDataCompositeExtent_Resource::~VELDARO_SnapDataCompositeExtent_Resource()
{
    Instance_Provider_Frame::destroyAll(_list);
}

int VELDARO_SnapDataCompositeExtent_Resource::createSnapDataCompositeExtent()
{
    VELDARO_SnapDataCompositeExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        SMIS_CopyLib copies(_storage.c_str());
        const int checked = Instance_Common::icFirstCommonProcess(&table);
        if (checked != 0)
            return checked;

        SMIS_COPY_SDP_INFO* raw = nullptr;
        std::uint8_t count = 0;
        const int rc = copies.getSDPInfo(SMIS_CopyLib::ALL_POOLS, raw, count);
        std::unique_ptr<SMIS_COPY_SDP_INFO, Free_Deleter> records(raw);
        if (rc != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        if (!records)
            count = 0;

        const std::uint32_t sluCount = table.getSLUMaxCount();
        for (unsigned r = 0; r < count; ++r) {
            const SMIS_COPY_SDP_INFO& record = records.get()[r];
            const std::uint8_t pool = record.PoolNumber;
            const std::uint64_t blocks = poolBlocks(record);
            std::uint64_t volumes = 0;
            for (std::uint32_t i = 0; i < sluCount; ++i)
                if (table.getLuType(static_cast<int>(i)) == LU_SNAP_DATA_POOL &&
                    table.getSluSDPID(static_cast<int>(i)) == pool)
                    ++volumes;

            made = Instance_Provider_Frame::newInstance<VELDARO_SnapDataCompositeExtent>();
            char buf[64];
            std::snprintf(buf, sizeof buf, "SDCE%02d", pool);
            Extent_Common::setDeviceKeys(made, _storage, "VELDARO_SnapDataCompositeExtent", buf);
            made->ElementName.set(buf);
            made->Caption.set("Snap Data Composite Extent");
            made->Description.set("Snap Data Composite Extent");
            std::snprintf(buf, sizeof buf, "%-8s+%-16s+%02X", "VELDARO", "Snap Data Pool", pool);
            made->Name.set(buf);
            Extent_Common::setStatusPair(made, 2, 0);
            made->DataOrganization.set(2);
            made->Access.set(3);
            made->BlockSize.set(512);
            made->NumberOfBlocks.set(blocks);
            made->ConsumableBlocks.set(blocks);
            made->IsBasedOnUnderlyingRedundancy.set(false);
            made->NoSinglePointOfFailure.set(false);
            made->DataRedundancy.set(1);
            made->PackageRedundancy.set(0);
            made->Primordial.set(false);
            made->SDPID.set(pool);
            made->ExtentStripeLength.set(volumes);
            made->IsConcatenated.set(false);
            _list.append(made);
            made = nullptr;
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
