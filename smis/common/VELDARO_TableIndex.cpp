#include "VELDARO_TableIndex.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <new>

namespace {

// Indexes by image ownership: an expired key is an image that is gone.
struct IndexCache {
    std::mutex lock;
    std::map<std::weak_ptr<const cnfg_config_mgmt_table>, std::shared_ptr<const VELDARO_TableIndex>,
             std::owner_less<std::weak_ptr<const cnfg_config_mgmt_table>>>
        byImage;

    void purge()
    {
        for (auto it = byImage.begin(); it != byImage.end();) {
            if (it->first.expired())
                it = byImage.erase(it);
            else
                ++it;
        }
    }
};

IndexCache& cache()
{
    static IndexCache* c = new IndexCache;  // outlives every static view
    return *c;
}

std::size_t bound(std::uint32_t blockCount, std::size_t tableCount)
{
    return std::min<std::size_t>(blockCount, tableCount);
}

// Keeps the first index per key: later equal keys are not entered.
template <class Key>
void first(std::vector<std::int32_t>& v, Key key, std::size_t i)
{
    if (v[key] < 0)
        v[key] = static_cast<std::int32_t>(i);
}

}  // namespace

std::shared_ptr<const VELDARO_TableIndex> VELDARO_TableIndex::of(
    const std::shared_ptr<const cnfg_config_mgmt_table>& image,
    const std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block)
{
    if (!image)
        return nullptr;
    IndexCache& c = cache();
    {
        std::lock_guard<std::mutex> g(c.lock);
        auto it = c.byImage.find(image);
        if (it != c.byImage.end() && it->second->isFor(image, block.get()))
            return it->second;
    }
    // Built outside the lock: two threads may both build, the first stored wins.
    std::shared_ptr<const VELDARO_TableIndex> built;
    try {
        built = std::make_shared<const VELDARO_TableIndex>(image, block.get());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    std::lock_guard<std::mutex> g(c.lock);
    c.purge();
    auto& slot = c.byImage[image];
    if (!slot || !slot->isFor(image, block.get()))
        slot = built;
    return slot;
}

std::size_t VELDARO_TableIndex::cachedCount()
{
    IndexCache& c = cache();
    std::lock_guard<std::mutex> g(c.lock);
    c.purge();
    return c.byImage.size();
}

std::string_view VELDARO_TableIndex::nameText(std::string_view field)
{
    std::size_t n = 0;
    while (n < field.size() && field[n] != '\0' && static_cast<unsigned char>(field[n]) < 0x80)
        ++n;
    return field.substr(0, n);
}

std::string VELDARO_TableIndex::lower(std::string_view text)
{
    std::string s(text);
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

int VELDARO_TableIndex::find(const NameMap& m, std::string_view key)
{
    auto it = m.find(std::string(key));
    return it == m.end() ? -1 : it->second;
}

const std::vector<int>* VELDARO_TableIndex::list(const ListMap& m, std::uint16_t key)
{
    auto it = m.find(key);
    return it == m.end() ? nullptr : &it->second;
}

const std::vector<int>* VELDARO_TableIndex::iscsiHosts(std::string_view name) const
{
    auto it = _iscsi.find(lower(name));
    return it == _iscsi.end() ? nullptr : &it->second;
}

const std::vector<std::uint16_t>* VELDARO_TableIndex::slunsOfRlu(std::uint16_t rlun) const
{
    auto it = _slunsOfRlu.find(rlun);
    return it == _slunsOfRlu.end() ? nullptr : &it->second;
}

int VELDARO_TableIndex::hotSpares(std::uint16_t rlun) const
{
    auto it = _hotSpares.find(rlun);
    return it == _hotSpares.end() ? 0 : it->second;
}

VELDARO_TableIndex::VELDARO_TableIndex(const std::shared_ptr<const cnfg_config_mgmt_table>& image,
                                       const CMM_CMT_GLOBAL_VAL_ELEM* block)
    : VELDARO_TableIndex(*image, image, block)
{
}

VELDARO_TableIndex::VELDARO_TableIndex(const cnfg_config_mgmt_table& img,
                                       const std::shared_ptr<const cnfg_config_mgmt_table>& image,
                                       const CMM_CMT_GLOBAL_VAL_ELEM* block)
    : _owner(image),
      _block(block),
      _oluCount(block ? bound(block->OLUMaxCount(), img.count(CMT_Table::OLU)) : 0),
      _sluCount(block ? bound(block->SLUMaxCount(), img.count(CMT_Table::SLU)) : 0),
      _mluCount(block ? bound(block->MLUMaxCount(), img.count(CMT_Table::MLU)) : 0),
      _rluCount(block ? bound(block->RLUMaxCount(), img.count(CMT_Table::RLU)) : 0),
      _dluCount(block ? bound(block->DLUMaxCount(), img.count(CMT_Table::DLU)) : 0),
      _affinityCount(block ? bound(block->AffinityGrpMaxCount(), img.count(CMT_Table::Affinity)) : 0),
      _olu(65536, -1),
      _slu(65536, -1),
      _mlu(65536, -1),
      _rlu(65536, -1),
      _dlu(65536, -1),
      _disk(65536, -1),
      _affinity(65536, -1)
{
    for (std::size_t i = 0; i < _oluCount; ++i) {
        const CMT_OLU e = img.OLU(i);
        if ((e.Status() & 0xFF) == 6)
            continue;
        first(_olu, e.Olun(), i);
        _oluName.try_emplace(std::string(nameText(e.Name())), static_cast<int>(i));
    }
    for (std::size_t i = 0; i < _sluCount; ++i) {
        const CMT_SLU e = img.SLU(i);
        if ((e.Status() & 0xFF) == 6)
            continue;
        first(_slu, e.Slun(), i);
        _slunsOfRlu[e.Rlun()].push_back(e.Slun());
    }
    for (std::size_t i = 0; i < _mluCount; ++i) {
        const CMT_MLU e = img.MLU(i);
        if ((e.Status() & 0xFF) != 6)
            first(_mlu, e.Mlun(), i);
    }
    for (std::size_t i = 0; i < _rluCount; ++i) {
        const CMT_RLU e = img.RLU(i);
        if ((e.Status() & 0xFF) == 3)
            continue;
        first(_rlu, e.Rlun(), i);
        _rluName.try_emplace(std::string(nameText(e.Name())), static_cast<int>(i));
        const std::uint8_t mode = e.Mode();
        if ((mode & 0x01) && !(mode & 0x20))
            _thinPro[e.PoolNumber()].push_back(static_cast<int>(i));
        else if ((mode & 0x01) && (mode & 0x20))
            _subPool[e.PoolNumber()].push_back(static_cast<int>(i));
    }
    for (std::size_t i = 0; i < _dluCount; ++i) {
        const CMT_DLU e = img.DLU(i);
        if ((e.Status() & 0xFF) != 3)
            first(_dlu, e.Dlun(), i);
    }
    for (std::size_t i = 0; i < img.count(CMT_Table::Disk); ++i) {
        const CMT_Disk e = img.Disk(i);
        first(_disk, e.Plun(), i);
        if ((e.Status() & 0xFF) != 2) {
            ++_hotSpares[e.DedicatedHSRlun()];
            _occupiedDisks.push_back(static_cast<int>(i));
        }
    }
    for (std::size_t i = 0; i < _affinityCount; ++i)
        first(_affinity, img.Affinity(i).GroupNumber(), i);
    for (std::size_t i = 0; i < img.count(CMT_Table::Host); ++i) {
        const CMT_Host e = img.Host(i);
        if (e.ValidFlag() != 1)
            continue;
        _hostName.try_emplace(std::string(nameText(e.Name())), static_cast<int>(i));
        char wwn[17];
        const auto bytes = e.WWN();
        for (std::size_t k = 0; k < bytes.size(); ++k)
            std::snprintf(wwn + 2 * k, 3, "%02X", bytes[k]);
        _hostWWN.try_emplace(std::string(wwn, 16), static_cast<int>(i));
    }
    for (std::size_t i = 0; i < img.count(CMT_Table::iSCSIHost); ++i) {
        const CMT_iSCSIHost e = img.iSCSIHost(i);
        if (e.ValidFlag() == 1)
            _iscsi[lower(nameText(e.iSCSIName()))].push_back(static_cast<int>(i));
    }
}
