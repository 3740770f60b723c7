// Copy relationships of an array from its cached copy-session table.

#include "VELDARO_StorageSynchronized_Resource.h"

#include <algorithm>
#include <cstring>

#include "Association_Provider_Frame.h"
#include "COPY_SYNC_INFO_LIST.h"
#include "Copy_Session_Amounts.h"
#include "CIM_ManagedElement.h"
#include "SMIS_CopyLib.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

constexpr std::uint8_t COPY_MIRREX = 1;
constexpr std::uint8_t COPY_XMIRREX = 2;
constexpr std::uint8_t COPY_SNAPTIRN = 3;
constexpr std::uint8_t COPY_SNAPTIRN_PLUS = 4;

// Outcome of building one end.
enum class End { BUILT, ABSENT, FAILED };

End localVolume(const String& storage, const VELDARO_RefTable& table, std::uint8_t kind, std::int16_t number,
                Owned<Instance>& out)
{
    const int slu = table.searchCopyLunFromSluTable(kind, static_cast<std::uint16_t>(number));
    if (slu < 0)
        return End::ABSENT;
    VELDARO_StorageVolume_Resource volumes(storage);
    VELDARO_StorageVolume* v = nullptr;
    if (volumes.createInstance(v, slu) != 0)
        return End::FAILED;
    out.reset(v);
    return v ? End::BUILT : End::ABSENT;
}

End remoteVolume(const String& storage, const SMIS_COPY_SESSION_INFO& r, std::int16_t number, Owned<Instance>& out)
{
    const std::size_t n = strnlen(r.RemoteBoxId, sizeof r.RemoteBoxId);
    const String box(std::string(r.RemoteBoxId, n).c_str());
    VELDARO_RemoteStorageVolume_Resource remotes(storage);
    VELDARO_RemoteStorageVolume* v = nullptr;
    const std::uint8_t kind =
        r.VolumeType ? VELDARO_RemoteStorageVolume_Resource::KIND_OLU : VELDARO_RemoteStorageVolume_Resource::KIND_MLU;
    if (remotes.createInstance(v, static_cast<std::uint16_t>(number), kind, box) != 0)
        return End::FAILED;
    out.reset(v);
    return v ? End::BUILT : End::ABSENT;
}

void setReference(CIM_ManagedElement*& slot, const Instance* end)
{
    if (slot)
        destroy(slot);
    slot = static_cast<CIM_ManagedElement*>(clone(end));
}

}  // namespace

std::uint16_t VELDARO_StorageSynchronized_Resource::percentSynced(std::uint8_t copyType, std::uint64_t total,
                                                                  std::uint64_t copied)
{
    if ((copyType != COPY_MIRREX && copyType != COPY_XMIRREX) || total == 0)
        return 0;
    // 128-bit product: copied * 100 does not fit 64 bits above 2^57.
    const unsigned __int128 percent = static_cast<unsigned __int128>(copied) * 100 / total;
    return static_cast<std::uint16_t>(percent > 100 ? 100 : percent);
}

Datetime VELDARO_StorageSynchronized_Resource::whenSynced(std::uint16_t selector, std::uint32_t firstTime,
                                                          std::uint32_t secondTime)
{
    const std::uint32_t t = selector == 1 ? firstTime : selector == 2 ? secondTime : NO_TIME;
    if (t == NO_TIME)
        return Datetime();  // the zero interval: no time, not 1 January 1970
    return Datetime(static_cast<std::uint64_t>(t) * Datetime::SEC, 0);
}

int VELDARO_StorageSynchronized_Resource::setStorageSynchronized(
    VELDARO_StorageSynchronized* p, const Instance* source, const Instance* target, std::uint8_t copyType,
    std::uint8_t status, std::uint8_t phase, std::uint8_t modeDetail, std::uint8_t accessDetail,
    std::uint32_t firstTime, std::uint32_t secondTime, std::uint64_t total, std::uint64_t copied, bool defaultRow)
{
    if (!p || !source || !target)
        return 1;
    COPY_SYNC_INFO_LIST row{};
    row.CopyType = copyType;
    row.CopyMode = status;
    row.SubState = phase;
    int accessibility = 0;
    if (defaultRow) {
        VELDARO_ValueConv::getCopySyncInfoDefault(&row);
    } else {
        accessibility = VELDARO_ValueConv::getCopyTargetAccessibility(copyType, status, phase, accessDetail);
        if (VELDARO_ValueConv::getCopySyncInfo(&row) < 0)
            return 1;
    }
    setReference(p->SystemElement, source);
    setReference(p->SyncedElement, target);
    p->CopyType.set(VELDARO_ValueConv::convCopyTypeToSMISCopyType(copyType));
    p->SyncState.set(row.SyncState);
    p->CopyState.set(row.CopyState);
    p->RequestedCopyState.set(row.RequestedCopyState);
    p->SyncType.set(VELDARO_ValueConv::convCopyTypeToSyncType(copyType));
    p->Mode.set(static_cast<uint16>(VELDARO_ValueConv::getCopyMode(copyType, modeDetail)));
    p->ProgressStatus.set(row.ProgressStatus);
    p->PercentSynced.set(percentSynced(copyType, total, copied));
    p->WhenSynced.set(whenSynced(row.TimeSelector, firstTime, secondTime));
    p->SyncMaintained.set(row.SyncMaintained != 0);
    p->TargetAccessibility.set(static_cast<uint16>(accessibility));
    return 0;
}

int VELDARO_StorageSynchronized_Resource::buildSynchronized(std::uint16_t sessionId, VELDARO_StorageSynchronized*& out)
{
    out = nullptr;
    SMIS_COPY_SESSION_INFO record{};
    try {
        SMIS_CopyLib copies(_storage.c_str());
        if (copies.getSessionInfo(sessionId, record) != 0)
            return BUILD_OK;
    } catch (...) {
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return BUILD_FAILED;
    }
    return buildFromRecord(record, out);
}

int VELDARO_StorageSynchronized_Resource::buildFromRecord(const SMIS_COPY_SESSION_INFO& r,
                                                          VELDARO_StorageSynchronized*& out)
{
    out = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        Owned<Instance> source, target;
        End first = End::ABSENT, second = End::ABSENT;
        switch (r.CopyType) {
        case COPY_MIRREX:
        case COPY_SNAPTIRN:
        case COPY_SNAPTIRN_PLUS:
            first = localVolume(_storage, table, r.VolumeType, r.SourceVolume, source);
            if (first == End::BUILT)
                second = localVolume(_storage, table, r.VolumeType, r.DestinationVolume, target);
            break;
        case COPY_XMIRREX:
            // Direction flag 0: this array holds the source.
            if (r.RemoteSide == 0) {
                first = localVolume(_storage, table, r.VolumeType, r.SourceVolume, source);
                if (first == End::BUILT)
                    second = remoteVolume(_storage, r, r.DestinationVolume, target);
            } else {
                first = localVolume(_storage, table, r.VolumeType, r.DestinationVolume, target);
                if (first == End::BUILT)
                    second = remoteVolume(_storage, r, r.SourceVolume, source);
            }
            break;
        default:
            return BUILD_OK;
        }
        if (first == End::FAILED || second == End::FAILED)
            return BUILD_FAILED;
        if (first == End::ABSENT || second == End::ABSENT)
            return BUILD_OK;
        Owned<VELDARO_StorageSynchronized> made(VELDARO_StorageSynchronized::create(true));
        const int set = setStorageSynchronized(made.get(), source.get(), target.get(), r.CopyType, r.SessionState,
                                               r.SessionPhase, r.SyncFlag, r.Byte92,
                                               static_cast<std::uint32_t>(r.StartTime), r.TimeStamp,
                                               copySessionTotal(r), copySessionCopied(r), false);
        if (set != 0) {
            // One session in a state the synchronisation table does not know
            // must not hide the others. It is left out of every answer, so
            // the log is the only sign of it: severe.
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Copy session %u skipped: no synchronization values for type %u, status %u, "
                                   "phase %u",
                                   static_cast<unsigned>(r.SessionId), static_cast<unsigned>(r.CopyType),
                                   static_cast<unsigned>(r.SessionState), static_cast<unsigned>(r.SessionPhase));
            return BUILD_OK;
        }
        out = made.release();
        return BUILD_OK;
    } catch (...) {
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return BUILD_FAILED;
    }
}

}  // namespace cimple
