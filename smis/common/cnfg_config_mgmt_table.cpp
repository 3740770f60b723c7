#include "cnfg_config_mgmt_table.h"

#include <algorithm>
#include <new>

namespace {

// Largest entry of any table; reads beyond a table see this many zero bytes.
constexpr std::size_t MAX_ENTRY = 3680;
#define CMT_MAX_CHECK(Name, Layout, Count) static_assert(Layout::SIZE <= MAX_ENTRY);
CMT_IMAGE_TABLES(CMT_MAX_CHECK)
#undef CMT_MAX_CHECK
static_assert(CMT_CAPort::SIZE * 2 + CMT_CADETAIL_PORT_OFFSET == CMT_CADetail::SIZE);

const std::uint8_t kZeroEntry[MAX_ENTRY] = {};

std::size_t volumeCount(std::uint32_t word) {
    return std::min<std::size_t>(word, cnfg_config_mgmt_table::MAX_VOLUME_COUNT);
}

}  // namespace

std::unique_ptr<cnfg_config_mgmt_table> cnfg_config_mgmt_table::create(const CMM_CMT_GLOBAL_VAL_ELEM& block) {
    try {
        std::unique_ptr<cnfg_config_mgmt_table> img(new cnfg_config_mgmt_table());
        auto setup = [&](CMT_Table t, std::size_t entrySize, std::size_t count) {
            Store& s = img->tables_[idx(t)];
            s.entrySize = entrySize;
            s.count = count;
            s.bytes.clear();
        };
#define CMT_SETUP(Name, Layout, Count) setup(CMT_Table::Name, Layout::SIZE, Count);
        CMT_IMAGE_TABLES(CMT_SETUP)
#undef CMT_SETUP
        setup(CMT_Table::OLU, CMT_OLU::SIZE, volumeCount(block.OLUMaxCount()));
        setup(CMT_Table::MLU, CMT_MLU::SIZE, volumeCount(block.MLUMaxCount()));
        setup(CMT_Table::SLU, CMT_SLU::SIZE, volumeCount(block.SLUMaxCount()));
        setup(CMT_Table::RLU, CMT_RLU::SIZE, volumeCount(block.RLUMaxCount()));
        setup(CMT_Table::DLU, CMT_DLU::SIZE, volumeCount(block.DLUMaxCount()));
        img->scratch_.assign(MAX_ENTRY, 0);

        // Volume entries the array does not report keep their number and the
        // status that the lookups skip.
        for (std::size_t i = 0; i < img->count(CMT_Table::OLU); ++i)
            img->OLUW(i).Olun(static_cast<std::uint16_t>(i)).Status(6);
        for (std::size_t i = 0; i < img->count(CMT_Table::MLU); ++i)
            img->MLUW(i).Mlun(static_cast<std::uint16_t>(i)).Status(6);
        for (std::size_t i = 0; i < img->count(CMT_Table::SLU); ++i)
            img->SLUW(i).Slun(static_cast<std::uint16_t>(i)).Status(6);
        for (std::size_t i = 0; i < img->count(CMT_Table::RLU); ++i)
            img->RLUW(i).Rlun(static_cast<std::uint16_t>(i)).Status(3);
        for (std::size_t i = 0; i < img->count(CMT_Table::DLU); ++i)
            img->DLUW(i).Dlun(static_cast<std::uint16_t>(i)).Status(3);
        return img;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const std::uint8_t* cnfg_config_mgmt_table::entry(CMT_Table t, std::size_t i) const {
    const Store& s = tables_[idx(t)];
    if (i >= s.count || s.bytes.empty()) return kZeroEntry;
    return s.bytes.data() + i * s.entrySize;
}

std::uint8_t* cnfg_config_mgmt_table::mutableEntry(CMT_Table t, std::size_t i) {
    Store& s = tables_[idx(t)];
    if (i >= s.count) {
        std::fill(scratch_.begin(), scratch_.end(), 0);
        return scratch_.data();
    }
    if (s.bytes.empty()) s.bytes.assign(s.entrySize * s.count, 0);  // may throw std::bad_alloc
    return s.bytes.data() + i * s.entrySize;
}

CMT_CAPort cnfg_config_mgmt_table::CAPort(std::size_t ca, std::size_t p) const {
    if (p >= CA_PORTS) return CMT_CAPort(kZeroEntry);
    return CMT_CAPort(entry(CMT_Table::CADetail, ca) + CMT_CADETAIL_PORT_OFFSET + p * CMT_CAPort::SIZE);
}

CMT_CAPortW cnfg_config_mgmt_table::CAPortW(std::size_t ca, std::size_t p) {
    if (p >= CA_PORTS) return CMT_CAPortW(mutableEntry(CMT_Table::CADetail, CA_COUNT));
    return CMT_CAPortW(mutableEntry(CMT_Table::CADetail, ca) + CMT_CADETAIL_PORT_OFFSET + p * CMT_CAPort::SIZE);
}

CMT_SFP cnfg_config_mgmt_table::SFP(std::size_t ca, std::size_t k) const {
    if (k >= CA_SFPS) return CMT_SFP(kZeroEntry);
    return CMT_SFP(entry(CMT_Table::CADetail, ca) + CMT_CADETAIL_SFP_OFFSET + k * CMT_SFP::SIZE);
}

CMT_CMMemory cnfg_config_mgmt_table::CMMemory(std::size_t cm, std::size_t n) const {
    if (cm >= CM_POSITIONS || n >= CM_MEMORY_PER_CM) return CMT_CMMemory(kZeroEntry);
    return CMMemory(cm * CM_MEMORY_PER_CM + n);
}

std::uint8_t cnfg_config_mgmt_table::SdpPercent(std::size_t p, std::size_t s) const {
    if (p >= CMT_SDP_POOLS || s >= CMT_SDP_SLOTS) return 0;
    return SDP().SdpPercent(p * CMT_SDP_SLOTS + s);
}
