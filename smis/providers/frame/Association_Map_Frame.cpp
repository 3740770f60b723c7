// The map shape's enumeration and per-array worker.

#include "Association_Map_Frame.h"

#include "Association_Common.h"
#include "CommonBase.h"
#include "VELDARO_RefTable.h"

namespace cimple {

void Association_Map_Frame::handOver(Enum_Instances_Handler<Instance>* handler)
{
    for (std::size_t i = 0; i < _instances.size(); ++i)
        if (Instance* copy = clone(_instances._get(i)))
            handler->handle(copy);
    _instances.clear();
}

Enum_Instances_Status Association_Map_Frame::enumerate(Enum_Instances_Handler<Instance>* handler)
{
    Auto_Mutex lock(_mutex);
    if (!handler)
        return ENUM_INSTANCES_FAILED;
    try {
        _instances.clear();
        if (_independentPass) {
            _storage_address.clear();
            if (!Association_Provider_Frame::guard(__FILE__, __LINE__, [this] { return _independentPass(*this); })) {
                _instances.clear();
                return ENUM_INSTANCES_FAILED;
            }
            handOver(handler);
        }
        if (_arrays == Array_Walk::NONE)
            return ENUM_INSTANCES_OK;
        Array<String> addresses;
        if (!CommonBase::get_storage_iplist(addresses))
            return ENUM_INSTANCES_FAILED;
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            _storage_address = addresses[i];
            if (!_enumStorage()) {
                _instances.clear();
                return ENUM_INSTANCES_FAILED;
            }
            handOver(handler);
        }
    } catch (...) {
        _instances.clear();
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return ENUM_INSTANCES_FAILED;
    }
    return ENUM_INSTANCES_OK;
}

bool Association_Map_Frame::_enumStorage()
{
    Auto_Mutex lock(_mutex);
    try {
        VELDARO_RefTable table(_storage_address.c_str());
        const int check = Association_Common::acFirstCommonProcess(&table);
        if (check == 2)
            return true;
        if (check != 0)
            return false;
    } catch (...) {
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return false;
    }
    return Association_Provider_Frame::guard(__FILE__, __LINE__, [this] { return _enumPairs(); });
}

}  // namespace cimple
