// The snapshot pools of each array's copy sources: each source volume of a
// snapshot session with the snap-data pool that holds the session's target
// volume, once per pool however many sessions lead there.

#include "CIM_ReplicaPoolForStorage_Provider.h"

#include <algorithm>
#include <vector>

#include "Association_End.h"
#include "CIM_ReplicaPoolForStorage.h"
#include "Copy_Volume_Numbering.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_SnapDataPool.h"
#include "VELDARO_SnapDataPool_Resource.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

// Copy type filter of the snapshot sessions (it lists types 3 and 4); their
// volumes carry ordinary volume numbers.
constexpr std::uint8_t SNAPSHOT_SESSIONS = 3;
constexpr std::uint8_t OLU_NUMBERED = copy_volume::OLU_NUMBERED;

enum class Far { VOLUME, POOL };

// The pairs of the pools (only the one whose InstanceID is poolId when
// given) and the sessions' source volumes (only the volume of SLU entry
// sourceSlu when it is not negative). The sessions are read once.
bool replicaPools(Frame& frame, const String* poolId, int sourceSlu, Far far)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_SnapDataPool_Resource poolList(frame.storage());
        if (!buildList(poolList, &VELDARO_SnapDataPool_Resource::createSnapDataPool))
            return false;
        const auto& pools = poolList.list();
        if (pools.size() == 0)
            return true;
        // Every snapshot session, or those that may lead from the source
        // volume (they are listed under the OLU number of every entry their
        // volume numbers name): a request keeps the pairs of its source, so
        // it answers what enumeration gives.
        SMIS_CopyLib copies(frame.storage().c_str());
        std::vector<SMIS_COPY_SESSION_INFO> sessions;
        const int listed =
            sourceSlu >= 0
                ? copies.getSessionRecordsNaming(table, SNAPSHOT_SESSIONS, table.getSluOlun(sourceSlu), sessions)
                : copies.getSessionRecords(SNAPSHOT_SESSIONS, SMIS_CopyLib::ALL_VOLUMES, OLU_NUMBERED, nullptr,
                                           sessions);
        // An array whose sessions cannot be listed has no pairs.
        if (listed != 0)
            return true;
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        for (std::size_t p = 0; p < pools.size(); ++p) {
            const VELDARO_SnapDataPool* pool = pools[p];
            if (!pool || (poolId && pool->InstanceID.value != *poolId))
                continue;
            std::vector<int> related;
            for (const SMIS_COPY_SESSION_INFO& s : sessions) {
                const auto source = static_cast<std::uint16_t>(s.SourceVolume);
                const int target =
                    table.searchCopyLunFromSluTable(OLU_NUMBERED, static_cast<std::uint16_t>(s.DestinationVolume));
                if (target < 0 || table.getSluSDPID(target) != pool->SDPID.value)
                    continue;
                const int sourceIndex = table.searchCopyLunFromSluTable(OLU_NUMBERED, source);
                if (sourceIndex < 0 || (sourceSlu >= 0 && sourceIndex != sourceSlu) ||
                    std::find(related.begin(), related.end(), sourceIndex) != related.end())
                    continue;
                auto end = Association_End<VELDARO_StorageVolume>::build(volumes, sourceIndex);
                if (end.failed())
                    return false;
                if (!end.built())
                    continue;
                related.push_back(sourceIndex);
                VELDARO_SnapDataPool* copy = pool->clone();
                Instance* farEnd = far == Far::VOLUME ? static_cast<Instance*>(end.get()) : copy;
                frame.emit<CIM_ReplicaPoolForStorage>(end.release(), copy, farEnd);
            }
        }
        return true;
    });
}

// The SLU entry of a volume that can be a snapshot source (ordinary volume
// kinds), or -1.
int snapshotSourceIndex(const VELDARO_RefTable& table, const Instance* source)
{
    const char* key = Common::keyText(source, "DeviceID");
    std::uint8_t kind = 0;
    std::uint16_t number = 0;
    if (!key || !VELDARO_StorageVolume_Resource::divide_DeviceID(key, &kind, &number))
        return -1;
    return copy_volume::numberingOf(kind) == copy_volume::OLU_NUMBERED
               ? table.searchLunByLuTypeFromSluTable(kind, number)
               : -1;
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_StorageVolume::static_meta_class, Common::BY_SYSTEM_NAME, snapshotSourceIndex,
     [](Frame& frame, const Instance*, int slu) { return replicaPools(frame, nullptr, slu, Far::POOL); }},
    {&VELDARO_SnapDataPool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* id = Common::stringValue(source, "InstanceID");
         return !id || replicaPools(frame, id, -1, Far::VOLUME);
     }},
};

}  // namespace

CIM_ReplicaPoolForStorage_Provider::CIM_ReplicaPoolForStorage_Provider() {}

CIM_ReplicaPoolForStorage_Provider::~CIM_ReplicaPoolForStorage_Provider() {}

bool CIM_ReplicaPoolForStorage_Provider::_enumPairs()
{
    return replicaPools(*this, nullptr, -1, Far::VOLUME);
}

int CIM_ReplicaPoolForStorage_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
