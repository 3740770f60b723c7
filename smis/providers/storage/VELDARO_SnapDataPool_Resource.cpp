// The snapshot data pools of one array with their capacity and usage alarm.

#include "VELDARO_SnapDataPool_Resource.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "Pool_Capacity.h"
#include "VELDARO_RefTable.h"

namespace cimple {

VELDARO_SnapDataPool_Resource::~VELDARO_SnapDataPool_Resource()
{
    Instance_Provider_Frame::destroyAll(_list);
}

std::uint64_t VELDARO_SnapDataPool_Resource::capacityValue(const SMIS_COPY_SDP_INFO& record, int k)
{
    // Words 0-5 come from pool record bytes 32-55, words 6-11 from bytes 8-31.
    auto word = [&](int w) -> std::uint64_t { return w < 6 ? record.Values32[w] : record.Values8[w - 6]; };
    if (k < 0 || k > 5)
        return 0;
    return word(2 * k) | (word(2 * k + 1) << 32);
}

int VELDARO_SnapDataPool_Resource::createSnapDataPool()
{
    VELDARO_SnapDataPool* made = nullptr;
    std::unique_ptr<SMIS_COPY_SDP_INFO, decltype(&std::free)> records(nullptr, &std::free);
    try {
        VELDARO_RefTable table(_storage.c_str());
        SMIS_CopyLib copies(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        SMIS_COPY_SDP_INFO* raw = nullptr;
        std::uint8_t count = 0;
        const int result = copies.getSDPInfo(SMIS_CopyLib::ALL_POOLS, raw, count);
        records.reset(raw);
        if (result != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        if (!records)
            count = 0;
        for (unsigned i = 0; i < count; ++i) {
            const SMIS_COPY_SDP_INFO& r = records.get()[i];
            const unsigned pool = r.PoolNumber;
            // Values 0 and 3 make up the pool, 1, 2, 4 and 5 its use.
            const std::uint64_t totalBlocks = Pool_Capacity::sum(capacityValue(r, 0), capacityValue(r, 3));
            const std::uint64_t usedBlocks =
                Pool_Capacity::sum(Pool_Capacity::sum(capacityValue(r, 1), capacityValue(r, 2)),
                                   Pool_Capacity::sum(capacityValue(r, 4), capacityValue(r, 5)));
            const std::uint64_t total = Pool_Capacity::bytesOf(totalBlocks);
            const std::uint64_t used = Pool_Capacity::bytesOf(usedBlocks);
            const unsigned attention = table.getSdpPercent(static_cast<int>(pool), 0);
            const unsigned warning = table.getSdpPercent(static_cast<int>(pool), 1);
            const unsigned severe = table.getSdpPercent(static_cast<int>(pool), 2);

            made = Instance_Provider_Frame::newInstance<VELDARO_SnapDataPool>();
            char buf[128];
            std::snprintf(buf, sizeof buf, "VELDARO:SDP%02u_%s", pool, _storage.c_str());
            made->InstanceID.set(buf);
            made->Caption.set("Snap Data Pool");
            made->Description.set("Snap Data Pool");
            std::snprintf(buf, sizeof buf, "SDP%02u", pool);
            made->ElementName.set(buf);
            made->Name.set(buf);
            made->PoolID.set(buf);
            Array<uint16> operational;
            operational.append(2);
            made->OperationalStatus.set(operational);
            made->Status.set("OK");
            made->Primordial.set(false);
            made->TotalManagedSpace.set(total);
            made->RemainingManagedSpace.set(Pool_Capacity::remaining(total, used));
            made->SDPID.set(pool);
            made->AttentionLevelRange.set(static_cast<uint16>(attention));
            made->WarningLevelRange.set(static_cast<uint16>(warning));
            made->SevereLevelRange.set(static_cast<uint16>(severe));
            made->AlarmStatus.set(
                Pool_Capacity::alarmStatus(Pool_Capacity::usagePercent(used, total), attention, warning, severe));
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
