// Listing of copy relationships by filter.

#include "Replication_Relationship_Query.h"

#include <vector>

#include "COPY_SYNC_INFO_LIST.h"
#include "Replication_Log.h"
#include "SMISMethodCom.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageSynchronized_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

constexpr std::uint32_t FAILED = 4;
constexpr std::uint32_t INVALID = 5;

struct Bit {
    std::uint16_t value;
    std::uint16_t bit;
};

// One bit group of the mask: the bit of the given value, all of the group's
// bits when no value is given.
std::uint16_t group(const Property<uint16>& p, std::initializer_list<Bit> bits, std::uint16_t all)
{
    if (p.null)
        return all;
    for (const Bit& b : bits)
        if (b.value == p.value)
            return b.bit;
    return 0;
}

bool outside(const Property<uint16>& p, std::initializer_list<std::uint16_t> allowed)
{
    if (p.null)
        return false;
    for (std::uint16_t v : allowed)
        if (v == p.value)
            return false;
    return true;
}

}  // namespace

std::uint16_t Replication_Relationship_Query::selectionMask(const Filter& f)
{
    return static_cast<std::uint16_t>(group(f.type, {{2, 0x01}, {3, 0x02}}, 0x0F) |
                                      group(f.syncType, {{6, 0x10}, {7, 0x20}, {8, 0x40}, {32768, 0x80}}, 0xF0) |
                                      group(f.mode, {{2, 0x0100}, {3, 0x0200}}, 0x0F00) |
                                      group(f.locality, {{2, 0x1000}, {3, 0x2000}}, 0xF000));
}

std::uint32_t Replication_Relationship_Query::checkRelationshipParameter(const Filter& f)
{
    const char* failure = nullptr;
    if (outside(f.type, {2, 3}))
        failure = "Invalied Parameter (Type)";
    else if (outside(f.syncType, {6, 7, 8, 32768}))
        failure = "Invalid Parameter (SyncType)";
    else if (outside(f.mode, {2, 3}))
        failure = "Invalid Parameter (Mode)";
    else if (outside(f.locality, {2, 3}))
        failure = "Invalied Parameter (Locality)";
    else if (!f.copyState.null && (f.copyState.value < 2 || f.copyState.value > 15))
        failure = "Invalied Parameter (CopyState)";
    if (!failure)
        return 0;
    Replication_Log::failure(__FILE__, __LINE__, failure);
    return INVALID;
}

std::uint32_t Replication_Relationship_Query::run(const Filter& f, Array<SNIA_Synchronized*>& out)
{
    struct Collected {
        Array<SNIA_Synchronized*>& list;
        bool handedOver = false;
        ~Collected()
        {
            if (!handedOver)
                for (std::size_t i = 0; i < list.size(); ++i)
                    destroy(list[i]);
            if (!handedOver)
                list.clear();
        }
    } collected{out};
    try {
        {
            VELDARO_RefTable table(_storage.c_str());
            if (const std::uint32_t rc = SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table))
                return rc;
        }
        Replication_Log::progress(__FILE__, __LINE__, "Start GetReplicationRelationships");
        if (const std::uint32_t rc = checkRelationshipParameter(f))
            return rc;
        SMIS_CopyLib copies(_storage.c_str());
        std::vector<SMIS_COPY_SESSION_INFO> records;
        if (copies.getSessionRecords(0, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, records) != 0)
            return FAILED;
        const std::uint16_t mask = selectionMask(f);
        VELDARO_StorageSynchronized_Resource builder(_storage);
        for (const SMIS_COPY_SESSION_INFO& r : records) {
            if ((r.SyncCode & mask) != r.SyncCode)
                continue;
            if (!f.copyState.null) {
                COPY_SYNC_INFO_LIST row{};
                row.CopyType = r.CopyType;
                row.CopyMode = r.SessionState;
                row.SubState = r.SessionPhase;
                if (VELDARO_ValueConv::getCopySyncInfo(&row) != 0 || row.CopyState != f.copyState.value)
                    continue;
            }
            VELDARO_StorageSynchronized* s = nullptr;
            if (builder.buildFromRecord(r, s) != VELDARO_StorageSynchronized_Resource::BUILD_OK)
                return FAILED;
            // A session whose ends or state cannot be shown is left out, as
            // the enumeration leaves it out.
            if (s)
                out.append(cast<SNIA_Synchronized*>(s));
        }
        collected.handedOver = true;
        Replication_Log::progress(__FILE__, __LINE__, "End GetReplicationRelationships");
        return 0;
    } catch (...) {
        Replication_Log::failure(__FILE__, __LINE__, "GetReplicationRelationships: Exception occurred");
        return SMISMethodCom::METHOD_FAILED;
    }
}

}  // namespace cimple
