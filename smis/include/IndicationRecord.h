#pragma once
// The change record that arraycore's indication producers hand to the
// indication worker: one heap block per change kind (1 to 11), zero-filled,
// little-endian, read and written only at the explicit offsets below
// (docs/indication-records.md has the tables).
//
// Header, 24 bytes: byte 0 kind; u16 entry count at 4 (kinds 1-4, 8, 10, 11);
// IPv4 address at 8 (as inet_addr stores it); kind-specific fields 12-23.
// Fixed-size entries start at 24. Kinds 5, 6, 7 and 9 have their own shapes.
//
//   IndicationRecord r = IndicationRecord::allocate(IndicationRecord::KIND_RLU, 3);
//   std::uint8_t* e = r.entry(0);
//   e[IndicationRecord::Rlu::OPERATION] = IndicationRecord::OP_CREATE;
//   ...
//   IndicationRecord view(p, size);               // consumer side
//   if (view.isWellFormed()) for (i < view.count()) view.entry(i) ...
//
// Every accessor checks its offset against the record's size: a read outside
// gives 0, a write outside is dropped.

#include <cstddef>
#include <cstdint>

#include "ByteOrder.h"

namespace cimple {

class IndicationRecord {
public:
    static constexpr std::size_t HEADER_SIZE = 24;
    static constexpr std::size_t MAX_VOLUME_ENTRIES = 1000;
    // The most entries the 16-bit count can give; longer lists go into further records.
    static constexpr std::size_t MAX_ENTRIES = 0xFFFF;

    enum Kind : std::uint8_t {
        KIND_RLU = 1,
        KIND_VOLUME = 2,
        KIND_LUN_MAPPING = 3,
        KIND_HOST_AFFINITY = 4,
        KIND_VOLUME_MAPPING = 5,
        KIND_ALERT = 6,
        KIND_SYSTEM = 7,
        KIND_AFFINITY_GROUP = 8,
        KIND_COPY_SESSION = 9,
        KIND_TPP = 10,
        KIND_LXRP = 11,
    };
    enum Operation : std::uint8_t { OP_NONE = 0, OP_CREATE = 1, OP_DELETE = 2, OP_MODIFY = 3 };

    struct Header {
        static constexpr std::size_t KIND = 0, COUNT = 4, ADDRESS = 8;
        // kinds 4 and 8
        static constexpr std::size_t MAP_MODULE_ID = 12, MAP_PORT_NO = 13, MAP_CA_TYPE = 14;
        // kind 2
        static constexpr std::size_t NODE_WWN = 16, NODE_WWN_SIZE = 8;
    };
    struct Rlu {  // kind 1, 48 bytes
        static constexpr std::size_t SIZE = 48;
        static constexpr std::size_t OPERATION = 0, RAID_LEVEL = 1, RLUN = 2, STATUS_NEW = 4, STATUS_OLD = 6,
                                     RLBA_COUNT = 8, RLU_STATUS = 16, CURRENT_CMMID = 18, MODE = 19,
                                     DISK_COUNT = 20, NAME = 24, NAME_SIZE = 16, HS_DISK_COUNT = 40;
    };
    struct Volume {  // kind 2, 48 bytes
        static constexpr std::size_t SIZE = 48;
        static constexpr std::size_t OPERATION = 0, RAID_LEVEL = 1, NUMBER = 2, STATUS1_NEW = 4, STATUS1_OLD = 6,
                                     STATUS2_NEW = 8, STATUS2_OLD = 10, LU_TYPE = 12, SLU_COUNT = 13, RLUN = 14,
                                     SDPID = 16, THRESHOLD = 17, CAPACITY = 24, NAME = 32, NAME_SIZE = 16;
    };
    struct Port {  // kind 3, 312 bytes
        static constexpr std::size_t SIZE = 312;
        static constexpr std::size_t OPERATION = 0, MODULE_ID = 2, PORT_NO = 3, CA_TYPE = 4, WWN = 8,
                                     WWN_SIZE = 16, ALIAS = 24, ALIAS_SIZE = 32, ALIAS_COPIED = 31,
                                     ISCSI_NAME = 56, ISCSI_NAME_SIZE = 256;
    };
    struct HostAffinity {  // kind 4, 264 bytes
        static constexpr std::size_t SIZE = 264;
        static constexpr std::size_t OPERATION = 0, GROUP_NUMBER = 2, HOST_ID = 4, HOST_ID_SIZE = 256,
                                     ISCSI_IP = 260;
    };
    struct VolumeMapping {  // kind 5, 2080 + 4 (V + P) bytes
        static constexpr std::size_t VOLUME_COUNT = 2, BLOCK_COUNT = 4, PORT_COUNT = 6;
        static constexpr std::size_t VOLUMES = 24, VOLUME_SIZE = 4;  // u16 number, u8 LU type, u8 0
        // group block at 24 + 4V
        static constexpr std::size_t BLOCK_GROUP = 0, BLOCK_FIRST_LUN = 2, BLOCK_PREV = 4, BLOCK_NEXT = 6,
                                     BLOCK_PAIRS = 8, LUNS = 512, BLOCK_SIZE = 8 + 4 * LUNS;
        static constexpr std::size_t PORT_SIZE = 4;  // u8 module id, u8 port number, u16 0
        static constexpr std::size_t FIXED_SIZE = HEADER_SIZE + BLOCK_SIZE;  // 2080
        static constexpr std::size_t size(std::size_t v, std::size_t p) { return FIXED_SIZE + 4 * (v + p); }
        static constexpr std::size_t blockOffset(std::size_t v) { return VOLUMES + VOLUME_SIZE * v; }
        static constexpr std::size_t portOffset(std::size_t v, std::size_t p) {
            return blockOffset(v) + BLOCK_SIZE + PORT_SIZE * p;
        }
    };
    struct Alert {  // kind 6, 24 bytes
        static constexpr std::size_t SIZE = 24;
        static constexpr std::size_t SEVERITY = 4, EVENT_MARK = 12, EVENT_CODE = 16;
        static constexpr std::uint8_t SEVERITY_VALUE = 3, EVENT_MARK_VALUE = 15;
    };
    struct System {  // kind 7, 156 bytes
        static constexpr std::size_t SIZE = 156;
        static constexpr std::size_t OPERATION = 24, STATUS1_NEW = 28, STATUS1_OLD = 30, STATUS2_NEW = 32,
                                     STATUS2_OLD = 34, PRODUCT_ID = 36, PRODUCT_ID_SIZE = 16, SERIAL = 52,
                                     SERIAL_SIZE = 12, NODE_WWN = 64, NODE_WWN_SIZE = 8, UPDATE_COUNT = 72,
                                     MANAGER = 76, MANAGER_SIZE = 64, FRIENDLY = 140, FRIENDLY_SIZE = 16;
    };
    struct AffinityGroup {  // kind 8, 52 bytes
        static constexpr std::size_t SIZE = 52;
        static constexpr std::size_t OPERATION = 0, GROUP_NUMBER = 2, ALIAS = 4, ALIAS_SIZE = 32,
                                     ALIAS_COPIED = 31, NAME = 36, NAME_SIZE = 16;
    };
    struct CopySession {  // kind 9, 112 bytes
        static constexpr std::size_t SIZE = 112;
        static constexpr std::size_t BLOCK_COUNT = 4, OPERATION = 24, NO_PREVIOUS = 25, BYTE2 = 26, BYTE3 = 27,
                                     BYTE8 = 28, FIELD4 = 30, BYTE9 = 32, FIELD6 = 34, FIELD12 = 36,
                                     FIELD16 = 40, PREVIOUS_FIELD16 = 44, FIELDS24 = 48, BYTES48 = 64,
                                     BYTES48_SIZE = 40, STATES = 104;
    };
    struct Tpp {  // kind 10, 40 bytes
        static constexpr std::size_t SIZE = 40;
        static constexpr std::size_t OPERATION = 0, RAID_LEVEL = 1, POOL_NUMBER = 2, STATUS_NEW = 4,
                                     STATUS_OLD = 6, THRESHOLD_Y = 8, THRESHOLD_R = 9, LXRP_NUMBER = 10,
                                     MAX_LBA_COUNT = 16, NAME = 24, NAME_SIZE = 16;
    };
    struct Lxrp {  // kind 11, 32 bytes
        static constexpr std::size_t SIZE = 32;
        static constexpr std::size_t OPERATION = 0, POOL_NUMBER = 1, THRESHOLD_Y = 2, THRESHOLD_R = 3,
                                     STATUS_NEW = 4, STATUS_OLD = 6, LBA_COUNT = 8, NAME = 16, NAME_SIZE = 16;
    };

    // Entry size of the kinds with counted entries (1-4, 8, 10, 11), else 0.
    static constexpr std::size_t entrySize(unsigned kind) {
        switch (kind) {
        case KIND_RLU: return Rlu::SIZE;
        case KIND_VOLUME: return Volume::SIZE;
        case KIND_LUN_MAPPING: return Port::SIZE;
        case KIND_HOST_AFFINITY: return HostAffinity::SIZE;
        case KIND_AFFINITY_GROUP: return AffinityGroup::SIZE;
        case KIND_TPP: return Tpp::SIZE;
        case KIND_LXRP: return Lxrp::SIZE;
        default: return 0;
        }
    }
    // Size of a record of a counted kind with that many entries (0 for other kinds).
    static constexpr std::size_t sizeFor(unsigned kind, std::size_t count) {
        return entrySize(kind) ? HEADER_SIZE + count * entrySize(kind) : 0;
    }

    // A view over size bytes at data (not owned).
    IndicationRecord() = default;
    IndicationRecord(void* data, std::size_t size) : _p(static_cast<std::uint8_t*>(data)), _size(data ? size : 0) {}

    // A zero-filled record of size bytes on the C heap with the kind byte set;
    // an empty view when memory runs out. The caller owns data() (std::free).
    static IndicationRecord allocate(unsigned kind, std::size_t size);
    // A counted kind with count entries, count written at 4.
    static IndicationRecord allocateEntries(unsigned kind, std::size_t count);

    std::uint8_t* data() const { return _p; }
    std::size_t size() const { return _size; }
    explicit operator bool() const { return _p != nullptr; }

    std::uint8_t kind() const { return u8(Header::KIND); }
    std::uint16_t count() const { return u16(Header::COUNT); }
    std::uint32_t address() const;  // the 4 address bytes in stored order, as inet_addr gives them
    void setAddress(std::uint32_t address);

    // True when the kind is 1 to 11 and the size is the one the kind and its
    // counts give. Consumers check this before reading entries.
    bool isWellFormed() const;

    // Entry i of a counted kind (i < count() and inside the record), else nullptr.
    std::uint8_t* entry(std::size_t i) const;

    bool fits(std::size_t off, std::size_t width) const { return off <= _size && width <= _size - off; }
    std::uint8_t u8(std::size_t off) const { return fits(off, 1) ? _p[off] : 0; }
    std::uint16_t u16(std::size_t off) const { return fits(off, 2) ? smis::loadLE16(_p + off) : 0; }
    std::uint32_t u32(std::size_t off) const { return fits(off, 4) ? smis::loadLE32(_p + off) : 0; }
    std::uint64_t u64(std::size_t off) const { return fits(off, 8) ? smis::loadLE64(_p + off) : 0; }
    void setU8(std::size_t off, std::uint8_t v) { if (fits(off, 1)) _p[off] = v; }
    void setU16(std::size_t off, std::uint16_t v) { if (fits(off, 2)) smis::storeLE16(_p + off, v); }
    void setU32(std::size_t off, std::uint32_t v) { if (fits(off, 4)) smis::storeLE32(_p + off, v); }
    void setU64(std::size_t off, std::uint64_t v) { if (fits(off, 8)) smis::storeLE64(_p + off, v); }
    // Copies at most width bytes of text (stopping after its terminator) to
    // off; bytes past the text stay as they are. NULL copies nothing.
    void setText(std::size_t off, std::size_t width, const char* text);
    // Copies width raw bytes.
    void setBytes(std::size_t off, const void* bytes, std::size_t width);

private:
    std::uint8_t* _p = nullptr;
    std::size_t _size = 0;
};

static_assert(IndicationRecord::VolumeMapping::FIXED_SIZE == 2080);
static_assert(IndicationRecord::Volume::NAME + IndicationRecord::Volume::NAME_SIZE == IndicationRecord::Volume::SIZE);
static_assert(IndicationRecord::Port::ISCSI_NAME + IndicationRecord::Port::ISCSI_NAME_SIZE == IndicationRecord::Port::SIZE);
static_assert(IndicationRecord::HostAffinity::ISCSI_IP + 4 == IndicationRecord::HostAffinity::SIZE);
static_assert(IndicationRecord::System::FRIENDLY + IndicationRecord::System::FRIENDLY_SIZE == IndicationRecord::System::SIZE);
static_assert(IndicationRecord::AffinityGroup::NAME + IndicationRecord::AffinityGroup::NAME_SIZE == IndicationRecord::AffinityGroup::SIZE);
static_assert(IndicationRecord::CopySession::STATES + 8 == IndicationRecord::CopySession::SIZE);
static_assert(IndicationRecord::Tpp::NAME + IndicationRecord::Tpp::NAME_SIZE == IndicationRecord::Tpp::SIZE);
static_assert(IndicationRecord::Lxrp::NAME + IndicationRecord::Lxrp::NAME_SIZE == IndicationRecord::Lxrp::SIZE);
static_assert(IndicationRecord::Rlu::HS_DISK_COUNT + 4 <= IndicationRecord::Rlu::SIZE);

}  // namespace cimple
