#pragma once
// The replication values that the capabilities, the replication service and
// the copy relationships share: the SMI-S SyncType / Mode / locality triples
// and their ReplicationType codes, and the copy kinds of the setting data.

#include <cstdint>
#include <vector>

namespace cimple {

namespace Replication_Types {

// SyncType values.
constexpr std::uint16_t SYNC_MIRROR = 6;
constexpr std::uint16_t SYNC_SNAPSHOT = 7;
constexpr std::uint16_t SYNC_CLONE = 8;
constexpr std::uint16_t SYNC_VENDOR_SNAPSHOT = 32768;
// Mode values.
constexpr std::uint16_t MODE_SYNCHRONOUS = 2;
constexpr std::uint16_t MODE_ASYNCHRONOUS = 3;
// LocalOrRemote values.
constexpr std::uint16_t LOCAL = 2;
constexpr std::uint16_t REMOTE = 3;

// ReplicationType values this system carries out.
constexpr std::uint16_t RT_LOCAL_MIRROR = 2;
constexpr std::uint16_t RT_REMOTE_MIRROR = 4;
constexpr std::uint16_t RT_LOCAL_SNAPSHOT = 6;
constexpr std::uint16_t RT_VENDOR_SNAPSHOT = 32768;

// CopyTypeID of VELDARO_ReplicationSettingData.
constexpr std::uint32_t COPY_MIRREX = 1;
constexpr std::uint32_t COPY_XMIRREX = 2;
constexpr std::uint32_t COPY_SNAPTIRN_PLUS = 3;
constexpr std::uint32_t COPY_SNAPTIRN = 4;

struct Replication_Type_Row {
    std::uint16_t mode;
    std::uint16_t syncType;
    std::uint16_t localOrRemote;
    std::uint16_t replicationType;
};

// The sixteen rows, in the order they are searched.
const std::vector<Replication_Type_Row>& table();

// The first row with these three values, or null.
const Replication_Type_Row* findBySyncType(std::uint16_t syncType, std::uint16_t mode, std::uint16_t localOrRemote);

// The first row of that ReplicationType, or null.
const Replication_Type_Row* findByReplicationType(std::uint16_t replicationType);

// True for the four ReplicationType values this system carries out.
bool isSupported(std::uint16_t replicationType);

// The CopyTypeID of the default setting of a supported ReplicationType; 0
// for any other.
std::uint32_t defaultCopyType(std::uint16_t replicationType);

}  // namespace Replication_Types

}  // namespace cimple
