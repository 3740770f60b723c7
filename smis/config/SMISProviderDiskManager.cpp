#include "SMISProviderDiskManager.h"

#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

constexpr unsigned BUCKET_COUNT = 32;
constexpr std::uint64_t BLOCK_SIZE = 512;

}  // namespace

DiskMng::~DiskMng()
{
    delete pluList;
    for (std::size_t i = 0; i < buckets.size(); ++i)
        delete buckets[i];
}

SMISProviderDiskManager::SMISProviderDiskManager(const Array<std::uint16_t>& pluList, const String& storageAddress)
    : _storageAddress(storageAddress)
{
    VELDARO_RefTable table(_storageAddress.c_str());
    for (std::size_t i = 0; i < pluList.size(); ++i) {
        const std::uint16_t plu = pluList[i];
        _pluList.append(plu);
        const int index = table.searchPlunFromDiskTable(plu);
        if (index < 0)
            continue;
        const std::uint16_t code = table.getDiskCapacity(index);
        const std::uint8_t kind = table.getDiskKind(index);
        const std::uint64_t blocks = table.getDiskWholeBlockCount(index);
        DiskMng* group = nullptr;
        for (std::size_t g = 0; g < _diskMngList.size() && !group; ++g)
            if (_diskMngList[g]->capacityCode == code && _diskMngList[g]->kind == kind)
                group = _diskMngList[g];
        if (group) {
            ++group->count;
            group->pluList->append(plu);
            continue;
        }
        group = new DiskMng;
        group->kind = kind;
        group->count = 1;
        group->capacityCode = code;
        group->capacity = blocks * BLOCK_SIZE;
        group->pluList = new Array<std::uint16_t>;
        group->pluList->append(plu);
        _diskMngList.append(group);
    }
    init();
}

SMISProviderDiskManager::~SMISProviderDiskManager()
{
    for (std::size_t g = 0; g < _diskMngList.size(); ++g)
        delete _diskMngList[g];
}

unsigned SMISProviderDiskManager::bucketOf(std::uint16_t plu)
{
    const unsigned h = plu >> 8;
    return ((h >> 4) & 1u) | (((h >> 5) & 1u) << 1) | (((h >> 3) & 1u) << 2) | (((h >> 6) & 1u) << 3) |
           (((h >> 7) & 1u) << 4);
}

void SMISProviderDiskManager::init()
{
    for (std::size_t g = 0; g < _diskMngList.size(); ++g) {
        DiskMng* group = _diskMngList[g];
        Array<std::uint16_t> bucket[BUCKET_COUNT];
        for (std::size_t i = 0; i < group->pluList->size(); ++i) {
            const std::uint16_t plu = (*group->pluList)[i];
            bucket[bucketOf(plu)].append(plu);
        }
        for (unsigned b = 0; b < BUCKET_COUNT; ++b)
            if (bucket[b].size() != 0)
                group->buckets.append(new Array<std::uint16_t>(bucket[b]));
    }
}

void SMISProviderDiskManager::getPLUArray(Array<std::uint16_t>& out) const
{
    out = _pluList;
}

void SMISProviderDiskManager::getSameSizeAllPLUList(std::uint64_t capacity, std::uint8_t kind,
                                                    Array<std::uint16_t>& out) const
{
    for (std::size_t g = 0; g < _diskMngList.size(); ++g) {
        const DiskMng* group = _diskMngList[g];
        if (group->capacity == capacity && group->kind == kind) {
            for (std::size_t i = 0; i < group->pluList->size(); ++i)
                out.append((*group->pluList)[i]);
            return;
        }
    }
}

int SMISProviderDiskManager::GetDiskMngListCount() const
{
    return static_cast<int>(_diskMngList.size());
}

DiskMng* SMISProviderDiskManager::GetDiskMngbyIndex(int i) const
{
    if (i < 0 || static_cast<std::size_t>(i) >= _diskMngList.size())
        return nullptr;
    return _diskMngList[static_cast<std::size_t>(i)];
}

std::uint64_t SMISProviderDiskManager::getDiskCapacity(std::uint16_t plu) const
{
    VELDARO_RefTable table(_storageAddress.c_str());
    const int index = table.searchPlunFromDiskTable(plu);
    return index < 0 ? 0 : table.getDiskBlockCount(index) * BLOCK_SIZE;
}

}  // namespace cimple
