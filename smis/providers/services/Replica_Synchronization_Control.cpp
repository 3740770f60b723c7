// Suspend, resume, restore, reverse and stop of existing copy sessions.

#include "Replica_Synchronization_Control.h"

#include <cstring>
#include <optional>

#include "Association_Provider_Frame.h"
#include "CIM_ManagedElement.h"
#include "Copy_State_Wait.h"
#include "Method_Reference.h"
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
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageSynchronized_Resource.h"
#include "Instance_Keys.h"

namespace cimple {

namespace {

namespace RT = Replication_Types;
using Codes = Replication_Result_Codes;
using Volume = Replication_Volume_Reference;
constexpr std::uint32_t FAILED = Codes::FAILED;
constexpr std::uint32_t INVALID = Codes::INVALID_PARAMETER;
constexpr std::uint32_t EXCEPTION = SMISMethodCom::METHOD_FAILED;
constexpr std::uint32_t BUSY = 0x8013;
constexpr std::uint32_t MIXED = 0x8021;

constexpr std::uint16_t OP_DETACH = 8;
constexpr std::uint16_t OP_FRACTURE = 12;
constexpr std::uint16_t OP_RESYNC = 14;
constexpr std::uint16_t OP_RESTORE = 15;
constexpr std::uint16_t OP_RETURN_TO_POOL = 19;
constexpr std::uint16_t OP_REVERSE = 20;

constexpr std::uint16_t WAIT_FRACTURED = 6;
constexpr std::uint16_t WAIT_INACTIVE = 8;
constexpr std::uint16_t WAIT_SYNCHRONIZED = 4;
constexpr std::uint16_t WAIT_UNSYNCHRONIZED = 3;
constexpr std::uint16_t WAIT_BROKEN = 15;

enum class Kind { SNAPTIRN, MIRREX, XMIRREX };

Kind kindOf(const Replica_Synchronization_Control::Entry& e)
{
    if (e.syncType == RT::SYNC_SNAPSHOT || e.syncType == RT::SYNC_VENDOR_SNAPSHOT)
        return Kind::SNAPTIRN;
    return e.locality == RT::LOCAL ? Kind::MIRREX : Kind::XMIRREX;
}

// Logs off on every way out of the method.
class Login_Guard {
public:
    explicit Login_Guard(SMIS_CLI& cli) : _cli(cli) {}
    ~Login_Guard() { _cli.logoff(); }
    Login_Guard(const Login_Guard&) = delete;
    Login_Guard& operator=(const Login_Guard&) = delete;

private:
    SMIS_CLI& _cli;
};

bool loggedIn(SMIS_CLI& cli)
{
    const unsigned char rc = cli.login(nullptr, nullptr);
    return rc == 0 || rc == SMIS_CLI::CLI_ALREADY_LOGGED_IN;
}

// One end of a relationship: its volume number, and for a remote volume its
// box ID and the locality. A local end must be a volume of storage (its
// SystemName), in a served name space.
std::uint32_t divideEnd(const CIM_ManagedElement* end, const String& storage, Volume::Volume& v, bool& remote)
{
    const String* cls = Association_Provider_Frame::stringValue(end, "CreationClassName");
    if (!end || !cls || !Method_Reference::servedNameSpace(end))
        return INVALID;
    if (*cls == "VELDARO_StorageVolume") {
        remote = false;
        const String* system = Association_Provider_Frame::stringValue(end, "SystemName");
        if (!system || !(*system == storage))
            return INVALID;
        return Volume::divideVolumeReference(end, false, v);
    }
    if (*cls == "VELDARO_RemoteStorageVolume") {
        remote = true;
        return Volume::divideRemoteVolumeReference(end, v);
    }
    return INVALID;
}

// The return value of one failing command, logged.
std::uint32_t commandFailure(unsigned char result, bool create, const char* message, bool& fatal)
{
    const std::uint32_t rc = create ? Codes::convCreateErrorCode(result) : Codes::convModifyErrorCode(result);
    fatal = SMIS_CLI::isFatalError(result);
    Replication_Log::failure(__FILE__, __LINE__, message, int(rc));
    return rc;
}

}  // namespace

std::uint32_t Replica_Synchronization_Control::checkOperation(const Property<uint16>& operation,
                                                              std::uint16_t& waitForCopyState, std::uint16_t syncType)
{
    if (operation.null)
        return INVALID;
    const std::uint16_t op = operation.value;
    if (syncType == RT::SYNC_MIRROR) {
        switch (op) {
        case OP_DETACH: waitForCopyState = WAIT_BROKEN; return 0;
        case OP_FRACTURE:
        case OP_REVERSE: waitForCopyState = WAIT_FRACTURED; return 0;
        case OP_RESYNC:
        case OP_RESTORE:
            if (waitForCopyState != WAIT_UNSYNCHRONIZED && waitForCopyState != WAIT_SYNCHRONIZED)
                waitForCopyState = WAIT_UNSYNCHRONIZED;
            return 0;
        default: return INVALID;
        }
    }
    if (syncType == RT::SYNC_SNAPSHOT || syncType == RT::SYNC_VENDOR_SNAPSHOT) {
        switch (op) {
        case OP_RESTORE: waitForCopyState = WAIT_INACTIVE; return 0;
        case OP_RETURN_TO_POOL: waitForCopyState = WAIT_BROKEN; return 0;
        default: return INVALID;
        }
    }
    return INVALID;
}

std::uint32_t Replica_Synchronization_Control::checkModifyParameter(const Request& request,
                                                                    const SNIA_Synchronized* sync,
                                                                    std::uint16_t& waitForCopyState,
                                                                    Entry& entry) const
{
    if (!sync) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (Synchronization)");
        return INVALID;
    }
    Volume::Volume source, target;
    bool sourceRemote = false, targetRemote = false;
    std::uint32_t rc = divideEnd(sync->SystemElement, _storage, source, sourceRemote);
    if (rc != 0) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (SourceElement) ErrorCode=%d", int(rc));
        return rc;
    }
    rc = divideEnd(sync->SyncedElement, _storage, target, targetRemote);
    if (rc != 0) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (TargetElement) ErrorCode=%d", int(rc));
        return rc;
    }
    if (sourceRemote && targetRemote) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (TargetElement) ErrorCode=%d", int(INVALID));
        return INVALID;
    }
    const bool remote = sourceRemote || targetRemote;
    const String box = sourceRemote ? source.boxId : targetRemote ? target.boxId : String();
    entry.locality = remote ? RT::REMOTE : RT::LOCAL;
    entry.remoteBox = box;
    std::uint16_t session = 0;
    SMIS_CopyLib copies(_storage.c_str());
    const int found = copies.getSessionID(source.number, target.number, 1, remote ? box.c_str() : nullptr,
                                          sourceRemote ? 1 : 0, &session);
    if (found != 0) {
        Replication_Log::failure(__FILE__, __LINE__, "Failed to get session ID on parameter check ErrorCode=0x%02x",
                                 found);
        return found == 2 ? INVALID : FAILED;
    }
    VELDARO_StorageSynchronized_Resource builder(_storage);
    VELDARO_StorageSynchronized* built = nullptr;
    if (builder.buildSynchronized(session, built) != VELDARO_StorageSynchronized_Resource::BUILD_OK || !built)
        return FAILED;
    Owned<VELDARO_StorageSynchronized> held(built);
    if (!same_instance(sync, held.get()))
        return INVALID;
    if (held->Mode.null || held->Mode.value != RT::MODE_SYNCHRONOUS) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (Mode)");
        return INVALID;
    }
    const std::uint16_t syncType = held->SyncType.null ? 0 : held->SyncType.value;
    if (syncType != RT::SYNC_MIRROR && syncType != RT::SYNC_SNAPSHOT && syncType != RT::SYNC_VENDOR_SNAPSHOT) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (SyncType)");
        return INVALID;
    }
    rc = checkOperation(request.operation, waitForCopyState, syncType);
    if (rc != 0) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalied Parameter (Operation)");
        return rc;
    }
    rc = Replication_Array_Lookup::checkReplicationSettingData(_storage, request.setting, syncType, entry.locality);
    if (rc != 0) {
        Replication_Log::failure(__FILE__, __LINE__, "Invalied Parameter (ReplicationSettingData)");
        return rc;
    }
    if (!request.force.null && request.force.value) {
        const std::uint16_t op = request.operation.value;
        const bool stop = op == OP_DETACH || op == OP_RETURN_TO_POOL;
        const bool remoteForce = entry.locality == RT::REMOTE && !(op == OP_FRACTURE && syncType != RT::SYNC_MIRROR);
        if (!stop && !remoteForce) {
            Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (Force)");
            return INVALID;
        }
    }
    entry.session = session;
    entry.source = source.number;
    entry.target = target.number;
    entry.syncType = syncType;
    entry.copyState = held->CopyState.null ? 0 : held->CopyState.value;
    return 0;
}

void Replica_Synchronization_Control::refreshSessions(const String& remoteStorage) const
{
    SMIS_CopyLib(_storage.c_str()).updateSessionInfo();
    if (remoteStorage.size() != 0) {
        SMIS_CopyLib remote(remoteStorage.c_str());
        if (remote.isInitialized())
            remote.updateSessionInfo();
    }
}

std::uint32_t Replica_Synchronization_Control::stopCopy(SMIS_CLI& cli, std::uint16_t session, bool force,
                                                       bool& fatal) const
{
    if (force)
        Replication_Log::progress(__FILE__, __LINE__, "Stop copy session by force");
    const unsigned char result = cli.stopCopySession(session, force ? STOP_FORCE : STOP_DEFAULT);
    return result == 0 ? 0 : commandFailure(result, false, "Failed to Stop copy session ErrorCode=%d", fatal);
}

std::uint32_t Replica_Synchronization_Control::runCommands(SMIS_CLI& cli, const Entry& e, std::uint16_t op,
                                                          bool force, bool& fatal, const String& remoteStorage) const
{
    fatal = false;
    const int id = e.session;
    auto step = [&](unsigned char result, const char* message) -> std::uint32_t {
        return result == 0 ? 0 : commandFailure(result, false, message, fatal);
    };
    const char* suspendFailed = "Failed to Suspend copy session ErrorCode=%d";
    const char* resumeFailed = "Failed to Resume copy session ErrorCode=%d";
    const char* changeFailed = "Failed to Change copy session ErrorCode=%d";
    // A restore turns the copy round, then runs it again. When the run is
    // refused the copy is turned back, so that a failed restore leaves the
    // session as it was rather than reversed and halted.
    auto restore = [&](auto change, auto resume, const String& refreshed) -> std::uint32_t {
        if (const std::uint32_t rc = step(change(), changeFailed))
            return rc;
        refreshSessions(refreshed);
        const std::uint32_t rc = step(resume(), resumeFailed);
        if (rc == 0)
            return 0;
        if (change() != 0)
            Replication_Log::failure(__FILE__, __LINE__,
                                     "Restore could not turn copy session %d back after its resume failed: it stays "
                                     "reversed and suspended; reverse it on the array",
                                     id);
        refreshSessions(refreshed);
        return rc;
    };
    switch (kindOf(e)) {
    case Kind::SNAPTIRN:
        if (op == OP_RESTORE) {
            Replication_Log::progress(__FILE__, __LINE__, "SnapTirn Restore - SessionID=%d", id);
            // The target's data goes back to the source as a new session.
            unsigned short restore = 0;
            const unsigned char result = cli.startCopyTirn(e.target, e.source, restore);
            return result == 0 ? 0 : commandFailure(result, true, "Failed to Start copy session ErrorCode=%d", fatal);
        }
        Replication_Log::progress(__FILE__, __LINE__, "SnapTirn Stop - SessionID=%d", id);
        return stopCopy(cli, e.session, force, fatal);
    case Kind::MIRREX:
        switch (op) {
        case OP_FRACTURE:
            Replication_Log::progress(__FILE__, __LINE__, "Mirrex Suspend - SessionID=%d", id);
            return step(cli.suspendCopyMirrex(e.session), suspendFailed);
        case OP_RESYNC:
            Replication_Log::progress(__FILE__, __LINE__, "Mirrex Resume - SessionID=%d", id);
            return step(cli.resumeCopyMirrex(e.session), resumeFailed);
        case OP_RESTORE: {
            Replication_Log::progress(__FILE__, __LINE__, "Mirrex Restore - SessionID=%d", id);
            return restore([&] { return cli.changeCopyMirrex(e.session); },
                           [&] { return cli.resumeCopyMirrex(e.session); }, String());
        }
        case OP_REVERSE:
            Replication_Log::progress(__FILE__, __LINE__, "Mirrex Reverse - SessionID=%d", id);
            return step(cli.changeCopyMirrex(e.session), changeFailed);
        default:
            Replication_Log::progress(__FILE__, __LINE__, "Mirrex Stop - SessionID=%d", id);
            return stopCopy(cli, e.session, force, fatal);
        }
    case Kind::XMIRREX:
        switch (op) {
        case OP_FRACTURE:
            Replication_Log::progress(__FILE__, __LINE__,
                                      force ? "Xmirrex Suspend(Force) - SessionID=%d" : "Xmirrex Suspend - SessionID=%d",
                                      id);
            return step(cli.suspendCopyXmirrex(e.session, force ? SUSPEND_FORCE : SUSPEND_NORMAL), suspendFailed);
        case OP_RESYNC:
            Replication_Log::progress(__FILE__, __LINE__, "Xmirrex Resume - SessionID=%d", id);
            return step(cli.resumeCopyXmirrex(e.session), resumeFailed);
        case OP_RESTORE: {
            Replication_Log::progress(__FILE__, __LINE__, "Xmirrex Restore - SessionID=%d", id);
            return restore([&] { return cli.changeCopyXmirrex(e.session); },
                           [&] { return cli.resumeCopyXmirrex(e.session); }, remoteStorage);
        }
        case OP_REVERSE:
            Replication_Log::progress(__FILE__, __LINE__, "Xmirrex Reverse - SessionID=%d", id);
            return step(cli.changeCopyXmirrex(e.session), changeFailed);
        default:
            Replication_Log::progress(__FILE__, __LINE__, "Xmirrex Stop - SessionID=%d", id);
            return stopCopy(cli, e.session, force, fatal);
        }
    }
    return FAILED;
}

std::uint32_t Replica_Synchronization_Control::precheck(const char* method) const
{
    {
        VELDARO_RefTable table(_storage.c_str(), VELDARO_RefTable::UNLOCKED);
        if (const std::uint32_t rc = SMISMethodCom::mcFirstCommonProcess(0xFFFFFFFF, &table))
            return rc;
    }
    Replication_Log::progress(__FILE__, __LINE__, "Start %s", method);
    if (!SMIS_CopyLib(_storage.c_str()).isInitialized()) {
        Replication_Log::failure(__FILE__, __LINE__, "%s: Copy table is uninitialized", method);
        return FAILED;
    }
    return 0;
}

std::uint32_t Replica_Synchronization_Control::modifyOne(const Request& request, const SNIA_Synchronized* sync)
{
    try {
        std::optional<SMIS_MethodLock> lock(std::in_place, _storage.c_str());
        SMIS_CLI cli(_storage);
        if (const std::uint32_t rc = precheck("ModifyReplicaSynchronization"))
            return rc;
        std::uint16_t waitForCopyState = request.waitForCopyState.null ? 0 : request.waitForCopyState.value;
        Entry entry;
        if (const std::uint32_t rc = checkModifyParameter(request, sync, waitForCopyState, entry))
            return rc;
        // A caller that will wait while every wait is taken is answered at
        // once, before it asks the array anything. The slot is taken under
        // the lock and only once the request's own wait is settled, so that
        // callers queued for this array's lock, and those that never wait,
        // take no place another array's copies need.
        std::optional<Copy_State_Wait::Slot> slot;
        slot.emplace(waitForCopyState);
        if (!slot->granted())
            return Copy_State_Wait::BUSY;
        String remoteStorage;
        {
            Login_Guard guard(cli);
            if (!loggedIn(cli)) {
                Replication_Log::failure(__FILE__, __LINE__, "ModifyReplicaSynchronization: Failed to login to CLI");
                return FAILED;
            }
            const bool force = !request.force.null && request.force.value;
            if (kindOf(entry) == Kind::XMIRREX)
                remoteStorage = Replication_Array_Lookup::getRemoteStorageAddress(entry.remoteBox);
            bool fatal = false;
            if (const std::uint32_t rc = runCommands(cli, entry, request.operation.value, force, fatal, remoteStorage))
                return rc;
        }
        refreshSessions(remoteStorage);
        // The array has taken the commands: other methods of the array run
        // while this one waits for the copy.
        lock.reset();
        if (const std::uint32_t rc = Copy_State_Wait(_storage).waitForCopyState(entry.session, waitForCopyState))
            return rc;
        if (SMIS_PollingService* polling = SMIS_PollingService::getInstance())
            polling->getConfigManagementInfo(_storage.c_str(), 1);
        Replication_Log::progress(__FILE__, __LINE__, "End ModifyReplicaSynchronization");
        return 0;
    } catch (const SMIS_MethodLockBusy&) {
        return SMIS_MethodLock::BUSY;
    } catch (...) {
        Replication_Log::failure(__FILE__, __LINE__, "ModifyReplicaSynchronization: Exception occurred");
        return EXCEPTION;
    }
}

std::uint32_t Replica_Synchronization_Control::modifyList(const Request& request,
                                                          const Array<SNIA_Synchronized*>& syncs)
{
    try {
        std::optional<SMIS_MethodLock> lock(std::in_place, _storage.c_str());
        SMIS_CLI cli(_storage);
        if (const std::uint32_t rc = precheck("ModifyListSynchronization"))
            return rc;
        if (syncs.size() == 0) {
            Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (Synchronization)");
            return INVALID;
        }
        std::vector<Entry> entries(syncs.size());
        std::uint16_t waitForCopyState = request.waitForCopyState.null ? 0 : request.waitForCopyState.value;
        for (std::size_t i = 0; i < syncs.size(); ++i)
            if (const std::uint32_t rc = checkModifyParameter(request, syncs[i], waitForCopyState, entries[i]))
                return rc;
        // A caller that will wait while every wait is taken is answered at
        // once, before it asks the array anything. The slot is taken under
        // the lock and only once the request's own wait is settled, so that
        // callers queued for this array's lock, and those that never wait,
        // take no place another array's copies need.
        std::optional<Copy_State_Wait::Slot> slot;
        slot.emplace(waitForCopyState);
        if (!slot->granted())
            return Copy_State_Wait::BUSY;
        const bool force = !request.force.null && request.force.value;
        std::vector<std::uint16_t> done;
        std::uint32_t remembered = 0;
        bool commandFailed = false;
        {
            Login_Guard guard(cli);
            if (!loggedIn(cli)) {
                Replication_Log::failure(__FILE__, __LINE__, "ModifyListSynchronization: Failed to login to CLI");
                return FAILED;
            }
            String remoteStorage;
            for (const Entry& entry : entries) {
                if (kindOf(entry) == Kind::XMIRREX)
                    remoteStorage = Replication_Array_Lookup::getRemoteStorageAddress(entry.remoteBox);
                bool fatal = false;
                const std::uint32_t rc = runCommands(cli, entry, request.operation.value, force, fatal, remoteStorage);
                if (rc == BUSY)
                    return BUSY;
                if (rc == 0) {
                    done.push_back(entry.session);
                    refreshSessions(remoteStorage);
                    continue;
                }
                if (fatal)
                    return FAILED;
                remembered = !commandFailed ? rc : (remembered == rc ? rc : MIXED);
                commandFailed = true;
            }
        }
        if (SMIS_PollingService* polling = SMIS_PollingService::getInstance())
            polling->getConfigManagementInfo(_storage.c_str(), 1);
        lock.reset();
        unsigned failedWaits = 0;
        if (const std::uint32_t rc = Copy_State_Wait(_storage).waitForCopyStateList(done, waitForCopyState, failedWaits))
            return rc;
        if (failedWaits == 0) {
            Replication_Log::progress(__FILE__, __LINE__, "End ModifyListSynchronization");
            return remembered;
        }
        Replication_Log::failure(__FILE__, __LINE__, "ModifyListSynchronization: Failed on the partial synchronization");
        return commandFailed ? MIXED : FAILED;
    } catch (const SMIS_MethodLockBusy&) {
        return SMIS_MethodLock::BUSY;
    } catch (...) {
        Replication_Log::failure(__FILE__, __LINE__, "ModifyListSynchronization: Exception occurred");
        return EXCEPTION;
    }
}

}  // namespace cimple
