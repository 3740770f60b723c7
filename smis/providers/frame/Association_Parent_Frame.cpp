// The parent shape's entries, per-array worker, request worker and
// delivery.

#include "Association_Parent_Frame.h"

#include <memory>

#include "CommonBase.h"
#include "SMIS_RequestContext.h"
#include "VELDARO_TablePin.h"
#include "Instance_Keys.h"

namespace cimple {

Enum_Instances_Status Association_Parent_Frame::enumerate(Enum_Instances_Handler<Instance>* handler)
{
    Array<String> addresses;
    try {
        if (!handler || !CommonBase::get_storage_iplist(addresses))
            return ENUM_INSTANCES_FAILED;
    } catch (...) {
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return ENUM_INSTANCES_FAILED;
    }
    _mode = MODE_ENUMERATE;
    _enumHandler = handler;
    // A walk whose client is gone stops before its next pass: nothing is
    // built for nobody.
    if (_firstPass) {
        _storage_address.clear();
        if (SMIS_RequestContext::currentClientGone() ||
            !Association_Provider_Frame::guard(__FILE__, __LINE__, [this] { return _firstPass(*this); })) {
            _enumHandler = nullptr;
            return ENUM_INSTANCES_FAILED;
        }
    }
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        _storage_address = addresses[i];
        if (SMIS_RequestContext::currentClientGone() || !_enumStorage()) {
            _enumHandler = nullptr;
            return ENUM_INSTANCES_FAILED;
        }
    }
    _enumHandler = nullptr;
    return ENUM_INSTANCES_OK;
}

bool Association_Parent_Frame::_enumStorage()
{
    // The walk reads the array's image of its start from start to end: the
    // pin takes it under the table's mutex and lets the mutex go at once, so
    // the walk (as long as its answer) holds no other reader or refresh up.
    // The builders' own views on this array bind the pinned image too (no
    // mutex or lock file taken per end).
    std::unique_ptr<VELDARO_TablePin> pin;
    std::unique_ptr<VELDARO_RefTable> table;
    try {
        pin = std::make_unique<VELDARO_TablePin>(_storage_address.c_str());
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
    // The builders catch their own exceptions; this one stops what escapes.
    return Association_Provider_Frame::guard(__FILE__, __LINE__, [this] { return _enumPairs(); });
}

Enum_Associators_Status Association_Parent_Frame::associators(const Instance* source, const String& resultClass,
                                                              const String& role, const String& resultRole,
                                                              Enum_Associators_Handler<Instance>* handler)
{
    if (!handler)
        return ENUM_ASSOCIATORS_FAILED;
    return AssociationProviderParent::enum_associators(source, resultClass, role, resultRole, handler);
}

Enum_Associator_Names_Status Association_Parent_Frame::associatorNames(const Instance* source,
                                                                       const String& resultClass,
                                                                       const String& role,
                                                                       const String& resultRole,
                                                                       Enum_Associator_Names_Handler<Instance>* handler)
{
    if (!handler)
        return ENUM_ASSOCIATOR_NAMES_FAILED;
    return AssociationProviderParent::enum_associator_names(source, resultClass, role, resultRole, handler);
}

Enum_References_Status Association_Parent_Frame::references(const Instance* source, const String& role,
                                                            Enum_References_Handler<Instance>* handler)
{
    if (!handler)
        return ENUM_REFERENCES_FAILED;
    _referencesHandler = handler;
    const Enum_References_Status status = execReferences(source, role);
    _referencesHandler = nullptr;
    return status;
}

int Association_Parent_Frame::execRequest()
{
    _storage_address.clear();
    try {
        return _request(_instance);
    } catch (...) {
        Association_Provider_Frame::logError(__FILE__, __LINE__);
        return 1;
    }
}

Instance* Association_Parent_Frame::otherEnd(Instance* first, Instance* second) const
{
    const Instance* from = source();
    if (from && first && second && from->meta_class && first->meta_class &&
        is_subclass(second->meta_class, from->meta_class) && !is_subclass(first->meta_class, from->meta_class))
        return first;
    return second;
}

Instance* Association_Parent_Frame::otherEndByKey(Instance* first, Instance* second) const
{
    const Instance* from = source();
    if (same_instance(from, second) && !same_instance(from, first))
        return first;
    return second;
}

int Association_Parent_Frame::routeRows(const Instance* source, const Source_Route* rows, std::size_t count)
{
    for (std::size_t r = 0; r < count; ++r) {
        const Source_Route& row = rows[r];
        if (!row.mc || !Association_Provider_Frame::isOf(source, *row.mc))
            continue;
        if (row.storage.kind == Association_Provider_Frame::Storage_Key::NO_ARRAY) {
            _storage_address.clear();
            return row.builders(*this, source, 0) ? 0 : 1;
        }
        String address;
        if (!Association_Provider_Frame::storageOf(source, row.storage, address))
            return row.noArrayAsksProviderClass ? Association_Provider_Frame::checkProviderClass(source) : 0;
        return onStorage(address, [&](VELDARO_RefTable& table) {
            const int index = row.index ? row.index(table, source) : 0;
            return index < 0 || row.builders(*this, source, index);
        });
    }
    return Association_Provider_Frame::checkProviderClass(source);
}

void Association_Parent_Frame::deliver(Instance* association, Instance* farEnd, bool markFarEnd)
{
    Owned<Instance> held(association);
    // An end the host does not route to the module would dangle.
    if (!held || !Association_Provider_Frame::hostServesEnds(held.get()))
        return;
    switch (_mode) {
    case MODE_ENUMERATE:
        if (_enumHandler)
            _enumHandler->handle(held.release());
        return;
    case MODE_REFERENCES:
        if (_referencesHandler && refers_to(_instance, held.get(), _role))
            _referencesHandler->handle(held.release());
        return;
    default:
        break;
    }
    if (!farEnd)
        return;
    const Instance* matched[CIMPLE_MAX_REFERENCES_PER_CLASS];
    if (get_associators(_instance, held.get(), _resultClass, _role, _resultRole, matched) <= 0)
        return;
    if (_mode == MODE_ASSOCIATOR_NAMES) {
        if (_associatorNamesHandler)
            _associatorNamesHandler->handle(farEnd);
        return;
    }
    if (_associatorsHandler) {
        if (markFarEnd)
            __set_null_flags(farEnd, true, true, 0);
        _associatorsHandler->handle(farEnd);
    }
}

}  // namespace cimple
