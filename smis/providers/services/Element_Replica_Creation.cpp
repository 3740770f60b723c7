// Creation of copy sessions.

#include "Element_Replica_Creation.h"

#include "Association_Provider_Frame.h"
#include "Copy_State_Wait.h"
#include "Replication_Array_Lookup.h"
#include "Replication_Log.h"
#include "Replication_Result_Codes.h"
#include "Replication_Types.h"
#include "Replication_Volume_Reference.h"
#include "SMISMethodCom.h"
#include "SMIS_CLI.h"
#include "SMIS_CopyLib.h"
#include "SMIS_MethodLock.h"
#include "SMIS_PollingService.h"
#include "CIM_ManagedElement.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "Instance_Keys.h"
#include "VELDARO_StorageSynchronized.h"
#include "VELDARO_StorageSynchronized_Resource.h"

namespace cimple {

namespace {

namespace RT = Replication_Types;
using Codes = Replication_Result_Codes;
constexpr std::uint32_t FAILED = Codes::FAILED;
constexpr std::uint32_t INVALID = Codes::INVALID_PARAMETER;
constexpr std::uint16_t WAIT_ACTIVE = 2;

bool isSnapshot(std::uint16_t syncType)
{
    return syncType == RT::SYNC_SNAPSHOT || syncType == RT::SYNC_VENDOR_SNAPSHOT;
}

// The return value of a start command's result; a failure is logged with
// the kind of session it was to start.
std::uint32_t started(unsigned char result, const char* kind)
{
    if (result == 0)
        return 0;
    const std::uint32_t rc = Codes::convCreateErrorCode(result);
    Replication_Log::failure(__FILE__, __LINE__, "CreateElementReplica: Failed to create %s session ErrorCode=%d",
                             kind, int(rc));
    return rc;
}

}  // namespace

std::uint32_t Element_Replica_Creation::checkCreateParameter(const Request& r, std::uint16_t& source,
                                                             std::uint16_t& target,
                                                             std::uint16_t& waitForCopyState) const
{
    source = target = Replication_Volume_Reference::NO_VOLUME;
    const std::uint16_t syncType = r.syncType.null ? 0 : r.syncType.value;
    if (syncType != RT::SYNC_MIRROR && !isSnapshot(syncType)) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (SyncType)");
        return INVALID;
    }
    if (!r.mode.null && r.mode.value != RT::MODE_SYNCHRONOUS) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (Mode)");
        return INVALID;
    }
    if (!r.sourceElement) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (SourceElement) ErrorCode=%d", int(INVALID));
        return INVALID;
    }
    if (!r.targetElement) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (TargetElement) ErrorCode=%d", int(INVALID));
        return INVALID;
    }
    if (r.sourceAccessPoint && r.targetAccessPoint) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (AccessPoint)");
        return INVALID;
    }
    // A mirror may wait for its synchronised state; a snapshot is at once.
    const bool accepted = !r.waitForCopyState.null &&
                          (r.waitForCopyState.value == WAIT_ACTIVE ||
                           (syncType == RT::SYNC_MIRROR && r.waitForCopyState.value == Copy_State_Wait::WAIT_SYNCHRONIZED));
    waitForCopyState = accepted ? r.waitForCopyState.value : WAIT_ACTIVE;
    std::uint32_t rc = Replication_Volume_Reference::getElementLUN(_storage, r.sourceElement, r.sourceAccessPoint, source);
    if (rc != 0) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (SourceElement) ErrorCode=%d", int(rc));
        return rc;
    }
    rc = Replication_Volume_Reference::getElementLUN(_storage, r.targetElement, r.targetAccessPoint, target);
    if (rc != 0) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (TargetElement) ErrorCode=%d", int(rc));
        return rc;
    }
    return 0;
}

std::uint32_t Element_Replica_Creation::startSession(const Request& r, Ends& ends, std::uint16_t& session,
                                                     String& remoteStorage) const
{
    const std::uint16_t source = ends.source;
    const std::uint16_t target = ends.target;
    const std::uint16_t syncType = r.syncType.value;
    const Instance* accessPoint = r.sourceAccessPoint ? r.sourceAccessPoint : r.targetAccessPoint;
    SMIS_CLI cli(_storage);
    auto settingCheck = [&](std::uint16_t locality) {
        const std::uint32_t rc =
            Replication_Array_Lookup::checkReplicationSettingData(_storage, r.setting, syncType, locality);
        if (rc != 0)
            Replication_Log::failure(__FILE__, __LINE__, "Invalied Parameter (ReplicationSettingData)");
        return rc;
    };
    if (isSnapshot(syncType)) {
        if (accessPoint) {
            Replication_Log::failure(__FILE__, __LINE__, "Specified remote volume for create SnapTirn session");
            return INVALID;
        }
        Replication_Log::progress(__FILE__, __LINE__, "Create SnapTirn session - SourceLun=%d, TargetLun=%d",
                                  int(source), int(target));
        SnapTirnMode mode = SNAPTIRN_NORMAL;
        if (syncType == RT::SYNC_VENDOR_SNAPSHOT) {
            mode = SNAPTIRN_PLUS;
            Replication_Log::progress(__FILE__, __LINE__, "Create as SnapTirn+ mode");
        }
        if (const std::uint32_t rc = settingCheck(RT::LOCAL))
            return rc;
        return started(cli.startCopySnapTirn(source, target, mode, session), "SnapTirn");
    }
    if (!accessPoint) {
        Replication_Log::progress(__FILE__, __LINE__, "Create Mirrex session - SourceLun=%d, TargetLun=%d",
                                  int(source), int(target));
        if (const std::uint32_t rc = settingCheck(RT::LOCAL))
            return rc;
        return started(cli.startCopyMirrex(source, target, session), "Mirrex");
    }
    Replication_Log::progress(__FILE__, __LINE__, "Create Xmirrex session - SourceLun=%d, TargetLun=%d", int(source),
                              int(target));
    if (const std::uint32_t rc = settingCheck(RT::REMOTE))
        return rc;
    const String localBox = Replication_Array_Lookup::boxIdOf(_storage);
    if (localBox.size() == 0) {
        Replication_Log::failure(__FILE__, __LINE__, "CreateElementReplica: Failed to get local BoxID");
        return FAILED;
    }
    // The box IDs go on the command line: only a well-formed one is passed.
    const String* name = Association_Provider_Frame::stringValue(accessPoint, "Name");
    const String remoteBox = name ? *name : String();
    if (!Replication_Array_Lookup::isValidBoxId(remoteBox)) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (AccessPoint)");
        return INVALID;
    }
    const bool remoteIsSource = r.sourceAccessPoint != nullptr;
    const String& sourceBox = remoteIsSource ? remoteBox : localBox;
    const String& targetBox = remoteIsSource ? localBox : remoteBox;
    ends.remoteBox = remoteBox;
    ends.remoteIsSource = remoteIsSource;
    remoteStorage = Replication_Array_Lookup::getRemoteStorageAddress(remoteBox);
    return started(cli.startCopyXmirrex(source, sourceBox.c_str(), target, targetBox.c_str(), session), "Xmirrex");
}

std::uint32_t Element_Replica_Creation::start(const Request& r, std::uint16_t& session, std::uint16_t& waitForCopyState,
                                              std::optional<Copy_State_Wait::Slot>& slot, Ends& ends)
{
    const SMIS_MethodLock lock(_storage.c_str());
    Replication_Log::progress(__FILE__, __LINE__, "Start CreateElementReplica");
    SMIS_CopyLib copies(_storage.c_str());
    String remoteStorage;
    {
        VELDARO_RefTable table(_storage.c_str(), VELDARO_RefTable::UNLOCKED);
        if (const std::uint32_t rc = SMISMethodCom::mcFirstCommonProcess(0xFFFFFFFF, &table))
            return rc;
        if (!copies.isInitialized()) {
            Replication_Log::failure(__FILE__, __LINE__, "CreateElementReplica: Copy table is uninitialized");
            return FAILED;
        }
        if (const std::uint32_t rc = checkCreateParameter(r, ends.source, ends.target, waitForCopyState))
            return rc;
        // A caller that will wait while every wait is taken is answered at
        // once, before it asks the array anything. The slot is taken under
        // the lock and only once the request's own wait is settled (a
        // snapshot never waits), so that callers queued for this array's
        // lock take no place another array's copies need.
        slot.emplace(waitForCopyState);
        if (!slot->granted())
            return Copy_State_Wait::BUSY;
        if (const std::uint32_t rc = startSession(r, ends, session, remoteStorage))
            return rc;
    }
    // The array has the session: a refresh that fails leaves the copy
    // sessions due for another one soon and changes nothing of the answer.
    copies.updateSessionInfo();
    if (remoteStorage.size() != 0) {
        SMIS_CopyLib remote(remoteStorage.c_str());
        if (remote.isInitialized())
            remote.updateSessionInfo();
    }
    return 0;
}

SNIA_Synchronized* Element_Replica_Creation::relationship(const Request& r, const Ends& ends,
                                                          std::uint16_t session) const
{
    // A local end is the volume the request named, which the checks found
    // on the array with exactly those keys; a remote end is published as the
    // remote volume of the other array's box.
    auto end = [&](const Instance* named, std::uint16_t number, bool remote) -> CIM_ManagedElement* {
        if (!remote)
            return static_cast<CIM_ManagedElement*>(clone(named));
        Owned<VELDARO_RemoteStorageVolume> v(Instance_Provider_Frame::newInstance<VELDARO_RemoteStorageVolume>());
        if (VELDARO_RemoteStorageVolume_Resource(_storage).setKeyProperties(
                v.get(), number, VELDARO_RemoteStorageVolume_Resource::KIND_OLU, ends.remoteBox) != 0)
            return nullptr;
        return static_cast<CIM_ManagedElement*>(static_cast<Instance*>(v.release()));
    };
    const bool remote = ends.remoteBox.size() != 0;
    Owned<VELDARO_StorageSynchronized> made(VELDARO_StorageSynchronized::create(true));
    made->SystemElement = end(r.sourceElement, ends.source, remote && ends.remoteIsSource);
    made->SyncedElement = end(r.targetElement, ends.target, remote && !ends.remoteIsSource);
    if (!made->SystemElement || !made->SyncedElement)
        return nullptr;
    // When the refresh brought the new session into the table, its record
    // gives the relationship's state too; it is taken only when it joins the
    // same two volumes (a record left from before the command does not).
    VELDARO_StorageSynchronized* built = nullptr;
    if (VELDARO_StorageSynchronized_Resource(_storage).buildSynchronized(session, built) ==
            VELDARO_StorageSynchronized_Resource::BUILD_OK &&
        built) {
        Owned<VELDARO_StorageSynchronized> recorded(built);
        if (same_instance(recorded.get(), made.get()))
            return cast<SNIA_Synchronized*>(recorded.release());
    }
    return cast<SNIA_Synchronized*>(made.release());
}

std::uint32_t Element_Replica_Creation::run(const Request& r, SNIA_Synchronized*& synchronization)
{
    synchronization = nullptr;
    std::uint16_t session = 0;
    std::uint16_t waitForCopyState = WAIT_ACTIVE;
    std::optional<Copy_State_Wait::Slot> slot;
    Ends ends;
    if (const std::uint32_t rc = start(r, session, waitForCopyState, slot, ends))
        return rc;
    // The array has the new session: other methods of the array run while
    // this one waits for its copy.
    if (const std::uint32_t rc = Copy_State_Wait(_storage).waitForCopyState(session, waitForCopyState))
        return rc;
    if (SMIS_PollingService* polling = SMIS_PollingService::getInstance())
        polling->getConfigManagementInfo(_storage.c_str(), 1);
    // The array made the copy: a relationship that cannot be named (the
    // remote end's keys unknown) leaves the output out, never the success,
    // which a retry could not repeat.
    synchronization = relationship(r, ends, session);
    if (!synchronization)
        Replication_Log::failure(__FILE__, __LINE__, "CreateElementReplica: Failed to build the relationship");
    Replication_Log::progress(__FILE__, __LINE__, "End CreateElementReplica - SessionID=%d", int(session));
    return 0;
}

}  // namespace cimple
