#pragma once
// CreateElementReplica of the replication service: starts a snapshot
// (SnapTirn), a local mirror (Mirrex) or a remote mirror (Xmirrex) between
// two volumes on the array's command line, refreshes the copy sessions,
// waits when asked and answers the new relationship once the array accepted
// the start. The relationship's only keys are its two volumes: it is named
// from the request (a remote end as the remote volume the copy sessions
// publish), so that it names the new copy while the copy-session table
// misses it (its refresh failed); the table's record adds the state when it
// holds the session between those volumes.

#include <cimple/cimple.h>

#include <cstdint>
#include <optional>

#include "Copy_State_Wait.h"
#include "SNIA_Synchronized.h"

namespace cimple {

class SNIA_ReplicationSettingData;

class Element_Replica_Creation {
public:
    struct Request {
        Property<uint16> syncType;
        Property<uint16> mode;
        const Instance* sourceElement = nullptr;
        const Instance* sourceAccessPoint = nullptr;
        const Instance* targetElement = nullptr;
        const Instance* targetAccessPoint = nullptr;
        const SNIA_ReplicationSettingData* setting = nullptr;
        Property<uint16> waitForCopyState;
    };

    explicit Element_Replica_Creation(const String& storage) : _storage(storage) {}

    // The method's return value; on 0 synchronization is the new
    // relationship (the caller's).
    std::uint32_t run(const Request& request, SNIA_Synchronized*& synchronization);

private:
    // What a started copy joins: the volume numbers and, for a remote
    // mirror, the other array's box ID and whether it holds the source.
    struct Ends {
        std::uint16_t source = 0;
        std::uint16_t target = 0;
        String remoteBox;
        bool remoteIsSource = false;
    };

    // Under the array's method lock: checks the request, takes the copy-wait
    // slot the settled wait needs, starts the session and refreshes the copy
    // sessions.
    std::uint32_t start(const Request& request, std::uint16_t& session, std::uint16_t& waitForCopyState,
                        std::optional<Copy_State_Wait::Slot>& slot, Ends& ends);
    // Parameter checks: the volume numbers and the WaitForCopyState to use.
    std::uint32_t checkCreateParameter(const Request& request, std::uint16_t& source, std::uint16_t& target,
                                       std::uint16_t& waitForCopyState) const;
    // Starts the session; the remote array's address when there is one.
    std::uint32_t startSession(const Request& request, Ends& ends, std::uint16_t& session,
                               String& remoteStorage) const;
    // The new relationship between the request's two ends: keyed by them,
    // with the session's state when the table holds it.
    SNIA_Synchronized* relationship(const Request& request, const Ends& ends, std::uint16_t session) const;

    String _storage;
};

}  // namespace cimple
