// The unused capacity of one thin provisioning pool, from the pool's usage
// record (total and used MiB) in the array's status table.

#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ByteOrder.h"
#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"
#include "Key_Pattern.h"

namespace cimple {

namespace {

constexpr std::size_t USAGE_RECORD_SIZE = 32;
constexpr std::uint64_t MIB = 1048576;

struct Free_Deleter {
    void operator()(void* p) const { std::free(p); }
};

// Free blocks of the pool from its usage record: 0 when it has none (no
// records, no record of the pool, nothing free).
std::uint64_t freeBlocksOf(const String& storage, std::uint16_t pool, bool& noCache)
{
    noCache = false;
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache) {
        noCache = true;
        return 0;
    }
    long count = 0;
    std::unique_ptr<void, Free_Deleter> records(
        cache->GetExTableInfo(storage.c_str(), SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, count));
    if (!records || count <= 0)
        return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(records.get());
    for (long i = 0; i < count; ++i) {
        const std::uint8_t* record = bytes + static_cast<std::size_t>(i) * USAGE_RECORD_SIZE;
        if (smis::loadLE16(record) != pool)
            continue;
        const std::uint64_t total = (std::uint64_t{smis::loadLE32(record + 4)} * MIB) >> 9;
        const std::uint64_t used = (std::uint64_t{smis::loadLE32(record + 8)} * MIB) >> 9;
        // More used than the pool holds leaves nothing free.
        return total > used ? total - used : 0;
    }
    return 0;
}

}  // namespace

int VELDARO_ThinProvisioningFreeExtent_Resource::createInstance(VELDARO_ThinProvisioningFreeExtent*& instance,
                                                                int tppIndex)
{
    instance = nullptr;
    VELDARO_ThinProvisioningFreeExtent* made = nullptr;
    try {
        if (tppIndex < 0 || tppIndex >= TPP_TABLE_SIZE)
            return 0;
        VELDARO_RefTable table(_storage.c_str());
        if (table.getTppMemDiskCnt(tppIndex) == 0 || table.isLayerixSubPool(tppIndex))
            return 0;
        const std::uint16_t pool = table.getTppPoolNumber(tppIndex);
        bool noCache = false;
        const std::uint64_t freeBlocks = freeBlocksOf(_storage, pool, noCache);
        if (noCache)
            return 1;
        if (freeBlocks == 0)
            return 0;
        const std::uint8_t level = table.getTppRaidLevel(tppIndex);
        int first = 0, second = 0;
        if (table.getTppSMISStatus(pool, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }

        made = Instance_Provider_Frame::newInstance<VELDARO_ThinProvisioningFreeExtent>();
        char buf[64];
        made->Caption.set("Thin Provisioning Pool Free Extent");
        made->Description.set("Thin Provisioning Pool Free Extent");
        std::snprintf(buf, sizeof buf, "TPP%04d(%s)", pool, VELDARO_ValueConv::convRaidLevelToString(level).c_str());
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%04X", "VELDARO", "TPP", pool);
        made->Name.set(buf);
        Extent_Common::setStatusPair(made, first, second);
        std::snprintf(buf, sizeof buf, "TPFE%04d_F%03d", pool, 0);
        Extent_Common::setDeviceKeys(made, _storage, "VELDARO_ThinProvisioningFreeExtent", buf);
        made->DataOrganization.set(2);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(freeBlocks);
        made->ConsumableBlocks.set(freeBlocks);
        Extent_Common::setRedundancy(made, level);
        made->SequentialAccess.set(false);
        made->Primordial.set(false);
        made->StartingAddress.set(0);
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

bool VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* poolNumber,
                                                                  int* ordinal)
{
    if (!key || !*key || !poolNumber || !ordinal)
        return false;
    unsigned number = 0, n = 0;
    if (!Key_Pattern::read(key, "TPFE%4d_F%3d", Key_Pattern::END, {&number, &n}))
        return false;
    *poolNumber = static_cast<std::uint16_t>(number);
    *ordinal = static_cast<int>(n);
    return true;
}

}  // namespace cimple
