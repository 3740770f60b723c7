#pragma once
// Number-to-index and name-to-index maps of one configuration table image.
//
// The table view's lookups answer from these maps instead of scanning the
// tables, so a provider that looks up every volume of an array does linear
// work in all. The maps give exactly the answer of a scan in table order:
// the FIRST entry that matches, under the same presence rules the scan uses.
//
// An index is built once per image and shared: VELDARO_TableIndex::of keeps
// it beside the image for as long as the image lives (keyed by the image's
// ownership, so a replaced image's index goes away with it and is never
// confused with a later image at the same address). Images are immutable
// once published, so an index never goes stale.
//
// Only the tables whose size grows with the array are mapped (volume tables,
// disks, affinity groups, hosts and the names); the small fixed tables (CM,
// CA, DE, units, map, LUN map, pools) are scanned, a bounded cost.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "cnfg_config_mgmt_table.h"

class VELDARO_TableIndex {
public:
    // The shared index of the image (built on first use; NULL without an
    // image or when memory runs out). block gives the scan bounds of the
    // volume and affinity tables; an index is cached per image and block.
    static std::shared_ptr<const VELDARO_TableIndex> of(const std::shared_ptr<const cnfg_config_mgmt_table>& image,
                                                        const std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block);
    // Indexes held by the cache (for tests).
    static std::size_t cachedCount();

    VELDARO_TableIndex(const std::shared_ptr<const cnfg_config_mgmt_table>& image,
                       const CMM_CMT_GLOBAL_VAL_ELEM* block);

    // True when built for this very image (by ownership, so a later image
    // at a reused address is never taken for it) and block.
    bool isFor(const std::shared_ptr<const cnfg_config_mgmt_table>& image, const CMM_CMT_GLOBAL_VAL_ELEM* block) const
    {
        return image && !_owner.owner_before(image) && !image.owner_before(_owner) && _block == block;
    }
    const CMM_CMT_GLOBAL_VAL_ELEM* block() const { return _block; }

    // Scan bounds: the block's maximum count, never beyond the image's table.
    std::size_t oluCount() const { return _oluCount; }
    std::size_t sluCount() const { return _sluCount; }
    std::size_t mluCount() const { return _mluCount; }
    std::size_t rluCount() const { return _rluCount; }
    std::size_t dluCount() const { return _dluCount; }
    std::size_t affinityCount() const { return _affinityCount; }

    // First present entry with the number; -1 when none.
    int olu(std::uint16_t n) const { return _olu[n]; }
    int slu(std::uint16_t n) const { return _slu[n]; }
    int mlu(std::uint16_t n) const { return _mlu[n]; }
    int rlu(std::uint16_t n) const { return _rlu[n]; }
    int dlu(std::uint16_t n) const { return _dlu[n]; }
    int disk(std::uint16_t plun) const { return _disk[plun]; }
    int affinity(std::uint16_t group) const { return _affinity[group]; }

    // First RLU (status low byte not 3) and OLU (not 6) with that name text.
    int rluName(std::string_view name) const { return find(_rluName, name); }
    int oluName(std::string_view name) const { return find(_oluName, name); }
    // First valid host (ValidFlag 1) with that name text.
    int hostName(std::string_view name) const { return find(_hostName, name); }
    // First valid host with that WWN text (16 upper-case hex digits).
    int hostWWN(std::string_view wwn) const { return find(_hostWWN, wwn); }
    // Valid iSCSI hosts, in table order, whose name equals the text without
    // regard to case; NULL when none.
    const std::vector<int>* iscsiHosts(std::string_view name) const;

    // RLU indexes (status low byte not 3) of the thin pool members
    // (respectively tiering sub-pool members) with that pool number.
    const std::vector<int>* thinProMembers(std::uint16_t pool) const { return list(_thinPro, pool); }
    const std::vector<int>* subPoolMembers(std::uint16_t pool) const { return list(_subPool, pool); }
    // Slun of every SLU (status low byte not 6) with that Rlun, in table order.
    const std::vector<std::uint16_t>* slunsOfRlu(std::uint16_t rlun) const;
    // Disks (status low byte not 2) whose DedicatedHSRlun is the number.
    int hotSpares(std::uint16_t rlun) const;
    // Disk entries holding a disk (status low byte not 2), in table order.
    const std::vector<int>& occupiedDisks() const { return _occupiedDisks; }

    // The name text of a fixed-width field: up to the first NUL or byte of
    // 0x80 or more.
    static std::string_view nameText(std::string_view field);
    // The text in lower case (ASCII).
    static std::string lower(std::string_view text);

private:
    VELDARO_TableIndex(const cnfg_config_mgmt_table& img, const std::shared_ptr<const cnfg_config_mgmt_table>& image,
                       const CMM_CMT_GLOBAL_VAL_ELEM* block);
    using NameMap = std::unordered_map<std::string, int>;
    using ListMap = std::unordered_map<std::uint16_t, std::vector<int>>;
    static int find(const NameMap& m, std::string_view key);
    static const std::vector<int>* list(const ListMap& m, std::uint16_t key);

    std::weak_ptr<const cnfg_config_mgmt_table> _owner;
    const CMM_CMT_GLOBAL_VAL_ELEM* _block;
    std::size_t _oluCount, _sluCount, _mluCount, _rluCount, _dluCount, _affinityCount;
    std::vector<std::int32_t> _olu, _slu, _mlu, _rlu, _dlu, _disk, _affinity;
    NameMap _rluName, _oluName, _hostName, _hostWWN;
    std::unordered_map<std::string, std::vector<int>> _iscsi;
    ListMap _thinPro, _subPool;
    std::unordered_map<std::uint16_t, std::vector<std::uint16_t>> _slunsOfRlu;
    std::unordered_map<std::uint16_t, int> _hotSpares;
    std::vector<int> _occupiedDisks;
};
