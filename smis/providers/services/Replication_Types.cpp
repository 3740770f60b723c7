// The replication type table and the default copy kinds.

#include "Replication_Types.h"

namespace cimple {

namespace Replication_Types {

const std::vector<Replication_Type_Row>& table()
{
    static const std::vector<Replication_Type_Row> rows = {
        {2, 6, 2, 2},         {3, 6, 2, 3},         {2, 6, 3, 4},         {3, 6, 3, 5},
        {2, 7, 2, 6},         {3, 7, 2, 7},         {2, 7, 3, 8},         {3, 7, 3, 9},
        {2, 8, 2, 10},        {3, 8, 2, 11},        {2, 8, 3, 12},        {3, 8, 3, 13},
        {2, 32768, 2, 32768}, {3, 32768, 2, 32769}, {2, 32768, 3, 32770}, {3, 32768, 3, 32771},
    };
    return rows;
}

const Replication_Type_Row* findBySyncType(std::uint16_t syncType, std::uint16_t mode, std::uint16_t localOrRemote)
{
    for (const Replication_Type_Row& row : table())
        if (row.syncType == syncType && row.mode == mode && row.localOrRemote == localOrRemote)
            return &row;
    return nullptr;
}

const Replication_Type_Row* findByReplicationType(std::uint16_t replicationType)
{
    for (const Replication_Type_Row& row : table())
        if (row.replicationType == replicationType)
            return &row;
    return nullptr;
}

bool isSupported(std::uint16_t replicationType)
{
    return defaultCopyType(replicationType) != 0;
}

std::uint32_t defaultCopyType(std::uint16_t replicationType)
{
    switch (replicationType) {
    case RT_LOCAL_MIRROR:
        return COPY_MIRREX;
    case RT_REMOTE_MIRROR:
        return COPY_XMIRREX;
    case RT_LOCAL_SNAPSHOT:
        return COPY_SNAPTIRN;
    case RT_VENDOR_SNAPSHOT:
        return COPY_SNAPTIRN_PLUS;
    default:
        return 0;
    }
}

}  // namespace Replication_Types

}  // namespace cimple
