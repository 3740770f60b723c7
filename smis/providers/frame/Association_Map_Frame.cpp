// The map shape's enumeration and per-array worker.

#include "Association_Map_Frame.h"

#include <memory>

#include "Association_Common.h"
#include "CommonBase.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

// The configured array a source's key names: its SystemName or Name, the
// controller part of its Name, or the text after the last "_" of
// InstanceID, DeviceID or Tag. False when none names one.
bool arrayOfSource(const Instance* source, String& address)
{
    using Common = Association_Provider_Frame;
    for (const Common::Storage_Key key : {Common::BY_SYSTEM_NAME, Common::BY_NAME, Common::BY_CONTROLLER_NAME,
                                          Common::BY_INSTANCE_ID, Common::BY_DEVICE_ID, Common::BY_TAG})
        if (Common::storageOf(source, key, address))
            return true;
    return false;
}

}  // namespace

void Association_Map_Frame::handOver(const Sink& sink)
{
    for (std::size_t i = 0; i < _instances.size(); ++i)
        if (Instance* copy = clone(_instances[i]))
            sink(copy);
    _instances.clear();
}

const Association_Map_Frame::Source_Route* Association_Map_Frame::routeOf(const Instance* source) const
{
    for (std::size_t r = 0; r < _routeCount; ++r)
        if (_routes[r].mc && Association_Provider_Frame::isOf(source, *_routes[r].mc))
            return &_routes[r];
    return nullptr;
}

bool Association_Map_Frame::run(const Array<String>& addresses, const Sink& sink, Source_Pairs pairs,
                                const Instance* source)
{
    _instances.clear();
    if (_independentPass) {
        _storage_address.clear();
        if (!Association_Provider_Frame::guard(__FILE__, __LINE__, [this] { return _independentPass(*this); })) {
            _instances.clear();
            return false;
        }
        handOver(sink);
    }
    if (_arrays == Array_Walk::NONE)
        return true;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        _storage_address = addresses[i];
        if (!_enumStorage(pairs, source)) {
            _instances.clear();
            return false;
        }
        handOver(sink);
    }
    return true;
}

Enum_Instances_Status Association_Map_Frame::enumerate(Enum_Instances_Handler<Instance>* handler)
{
    if (!handler)
        return ENUM_INSTANCES_FAILED;
    try {
        Array<String> addresses;
        if (_arrays != Array_Walk::NONE && !CommonBase::get_storage_iplist(addresses))
            return ENUM_INSTANCES_FAILED;
        if (!run(addresses, [handler](Instance* a) { handler->handle(a); }))
            return ENUM_INSTANCES_FAILED;
    } catch (...) {
        _instances.clear();
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return ENUM_INSTANCES_FAILED;
    }
    return ENUM_INSTANCES_OK;
}

Enum_References_Status Association_Map_Frame::references(const Instance* source, const String& role,
                                                         Enum_References_Handler<Instance>* handler)
{
    if (!handler || !source)
        return ENUM_REFERENCES_FAILED;
    try {
        const Source_Route* row = nullptr;
        if (_routes) {
            row = routeOf(source);
            if (!row)
                return ENUM_REFERENCES_OK;
        }
        Array<String> addresses;
        String own;
        if (_arrays != Array_Walk::NONE && !(row && !row->pairs)) {
            if (arrayOfSource(source, own))
                addresses.append(own);
            else if (!CommonBase::get_storage_iplist(addresses))
                return ENUM_REFERENCES_FAILED;
        }
        _onlySource = source;
        _onlyRole = role.c_str();
        const bool done = run(
            addresses, [&](Instance* a) { handler->handle(a); }, row ? row->pairs : nullptr, source);
        _onlySource = nullptr;
        return done ? ENUM_REFERENCES_OK : ENUM_REFERENCES_FAILED;
    } catch (...) {
        _onlySource = nullptr;
        _instances.clear();
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return ENUM_REFERENCES_FAILED;
    }
}

bool Association_Map_Frame::_enumStorage(Source_Pairs pairs, const Instance* source)
{
    // The view is open across the walk: the builders' own views on this
    // array nest inside it and all read the image it bound; none of them
    // holds a lock while the walk reads or asks the array.
    std::unique_ptr<VELDARO_RefTable> table;
    try {
        table = std::make_unique<VELDARO_RefTable>(_storage_address.c_str());
        const int check = Association_Common::acFirstCommonProcess(table.get());
        if (check == 2)
            return true;
        if (check != 0)
            return false;
    } catch (...) {
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return false;
    }
    return Association_Provider_Frame::guard(__FILE__, __LINE__,
                                             [&] { return pairs ? pairs(*this, source) : _enumPairs(); });
}

}  // namespace cimple
