#pragma once
// ModifyReplicaSynchronization and ModifyListSynchronization of the
// replication service: each Synchronization reference names a copy session
// of the array; the operation (8 Detach, 12 Fracture, 14 Resync Replica,
// 15 Restore From Replica, 19 Return To ResourcePool, 20 Reverse Roles) is
// checked against the session's kind (SnapTirn, Mirrex, Xmirrex) and run as
// that kind's array commands within one command-line login.

#include <cimple/cimple.h>

#include <cstdint>
#include <vector>

#include "SNIA_Synchronized.h"

namespace cimple {

class SMIS_CLI;
class SNIA_ReplicationSettingData;

class Replica_Synchronization_Control {
public:
    // One session that passed the parameter check.
    struct Entry {
        std::uint16_t session = 0;
        std::uint16_t source = 0xFFFF;
        std::uint16_t target = 0xFFFF;
        std::uint16_t syncType = 0;
        std::uint16_t locality = 2;  // 2 local, 3 one end on another array
        std::uint16_t copyState = 0;
        String remoteBox;
    };

    struct Request {
        Property<uint16> operation;
        const SNIA_ReplicationSettingData* setting = nullptr;
        Property<boolean> force;
        Property<uint16> waitForCopyState;
    };

    explicit Replica_Synchronization_Control(const String& storage) : _storage(storage) {}

    // The method return values.
    std::uint32_t modifyOne(const Request& request, const SNIA_Synchronized* synchronization);
    std::uint32_t modifyList(const Request& request, const Array<SNIA_Synchronized*>& synchronizations);

    // Accepts an operation for a SyncType and gives the WaitForCopyState
    // the later wait uses (only Resync and Restore of a mirror keep a wait
    // for the synchronised state); 5 for a combination that is not offered.
    static std::uint32_t checkOperation(const Property<uint16>& operation, std::uint16_t& waitForCopyState,
                                        std::uint16_t syncType);

    // Fills the entry of one reference; may rewrite waitForCopyState.
    std::uint32_t checkModifyParameter(const Request& request, const SNIA_Synchronized* synchronization,
                                       std::uint16_t& waitForCopyState, Entry& entry) const;

private:
    // The method's common check of the array and its copy-session table,
    // with its start line logged; 0 to go on.
    std::uint32_t precheck(const char* method) const;
    // Runs the commands of the entry's kind; fatal tells whether the failing
    // command's result byte is fatal. remoteStorage: the other array of a
    // remote mirror when it is configured.
    std::uint32_t runCommands(SMIS_CLI& cli, const Entry& entry, std::uint16_t operation, bool force, bool& fatal,
                              const String& remoteStorage) const;
    std::uint32_t stopCopy(SMIS_CLI& cli, std::uint16_t session, bool force, bool& fatal) const;
    // Refreshes this array's copy sessions and those of the other array.
    void refreshSessions(const String& remoteStorage) const;

    String _storage;
};

}  // namespace cimple
