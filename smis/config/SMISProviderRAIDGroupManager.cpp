#include "SMISProviderRAIDGroupManager.h"

#include <set>

#include "SMIS_TraceLog.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RefTable.h"

namespace cimple {

SMISProviderRAIDGroupManager::SMISProviderRAIDGroupManager(const String& storage) : _storage(storage) {}

SMISProviderRAIDGroupManager::~SMISProviderRAIDGroupManager()
{
    clear();
}

int SMISProviderRAIDGroupManager::setRLUInfo()
{
    try {
        VELDARO_PrimordialStoragePool_Resource primordial(_storage);
        if (primordial.createPrimordialStoragePool() == 1) {
            SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::WARNING,
                                         "Acquisition of the instance of VELDARO_PrimordialStoragePool goes wrong");
            return 4;
        }
        if (primordial.list().size() > 0 && primordial.list()[0])
            _primordial = primordial.list()[0]->clone();

        VELDARO_RefTable table(_storage.c_str());
        VELDARO_RAIDStoragePool_Resource pools(_storage);
        for (std::uint32_t i = 0; i < table.getRLUMaxCount(); ++i) {
            VELDARO_RAIDStoragePool* pool = nullptr;
            if (pools.createInstance(pool, static_cast<int>(i)) != 0) {
                if (pool)
                    destroy(pool);
                SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::WARNING,
                                             "Acquisition of the instance of VELDARO_RAIDStoragePool goes wrong");
                return 4;
            }
            if (!pool)
                continue;
            _pools.append(pool);
            _rluns.append(static_cast<std::uint16_t>(pool->RLUN.null ? 0xFFFF : pool->RLUN.value & 0xFFFF));
        }
        return 0;
    } catch (...) {
        clear();
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Abnormalities occur in setRLUInfo");
        return 4;
    }
}

VELDARO_PrimordialStoragePool* SMISProviderRAIDGroupManager::getPrimordialStoragePool() const
{
    return _primordial ? _primordial->clone() : nullptr;
}

std::uint16_t SMISProviderRAIDGroupManager::getFreeRLUNumber(std::uint16_t limit) const
{
    const std::set<std::uint16_t> used(_rluns.data(), _rluns.data() + _rluns.size());
    for (std::uint32_t n = 0; n < limit; ++n)
        if (!used.count(static_cast<std::uint16_t>(n)))
            return static_cast<std::uint16_t>(n);
    return 0xFFFF;
}

VELDARO_RAIDStoragePool* SMISProviderRAIDGroupManager::getRAIDStoragePool(std::uint16_t rlun) const
{
    for (std::size_t i = 0; i < _rluns.size(); ++i)
        if (_rluns[i] == rlun)
            return _pools[i]->clone();
    return nullptr;
}

int SMISProviderRAIDGroupManager::reload()
{
    clear();
    return setRLUInfo();
}

void SMISProviderRAIDGroupManager::clear()
{
    if (_primordial)
        destroy(_primordial);
    _primordial = nullptr;
    _rluns.clear();
    for (std::size_t i = 0; i < _pools.size(); ++i)
        destroy(_pools[i]);
    _pools.clear();
}

}  // namespace cimple
