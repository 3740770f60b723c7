#pragma once
// GetReplicationRelationships of the replication service: the copy sessions
// of the array that pass the filters (Type, SyncType, Mode, Locality, each
// a bit group of the session's selection word, and CopyState), as
// VELDARO_StorageSynchronized references.

#include <cimple/cimple.h>

#include <cstdint>

#include "SNIA_Synchronized.h"

namespace cimple {

class Replication_Relationship_Query {
public:
    struct Filter {
        Property<uint16> type;
        Property<uint16> syncType;
        Property<uint16> mode;
        Property<uint16> locality;
        Property<uint16> copyState;
    };

    explicit Replication_Relationship_Query(const String& storage) : _storage(storage) {}

    // The method return value; on 0 out holds the relationships (the
    // caller's), in the order of the copy-session table.
    std::uint32_t run(const Filter& filter, Array<SNIA_Synchronized*>& out);

    // The selection mask of the filter: a session is selected when every bit
    // of its selection word is in it.
    static std::uint16_t selectionMask(const Filter& filter);
    // 0, or 5 for a filter value outside its range (logged).
    static std::uint32_t checkRelationshipParameter(const Filter& filter);

private:
    String _storage;
};

}  // namespace cimple
