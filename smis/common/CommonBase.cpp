#include "CommonBase.h"

#include "SMIS_EnvAccess.h"
#include "VELDARO_RefTable.h"
#include "String_Ops.h"

namespace cimple {

bool CommonBase::get_storage_iplist(Array<String>& addresses)
{
    addresses.clear();
    try {
        SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
        if (!env)
            return false;
        const std::uint16_t count = env->getStorageCount();
        for (std::uint16_t i = 0; i < count; ++i)
            addresses.append(String(env->getStorageIP(i).c_str()));
        return true;
    } catch (...) {
        addresses.clear();
        return false;
    }
}

bool CommonBase::get_storage_ip(const String* key, String* address)
{
    if (!key || !address)
        return false;
    const std::size_t pos = find_last(*key, '_');
    if (pos == npos)
        return false;
    try {
        const String candidate = substring(*key, pos + 1);
        SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
        if (!env)
            return false;
        const std::uint16_t count = env->getStorageCount();
        for (std::uint16_t i = 0; i < count; ++i) {
            if (candidate == env->getStorageIP(i).c_str()) {
                *address = candidate;
                return true;
            }
        }
    } catch (...) {
    }
    return false;
}

int CommonBase::FirstCommonProcess(VELDARO_RefTable* table)
{
    return table && table->isValidCMT() ? 0 : 2;
}

}  // namespace cimple
