// The copy sessions of every configured array as CIM_StorageSynchronized
// between their two volumes, with the synchronisation values of each
// session: enumeration, associators, associator names and references from
// a local or a remote volume.

#include "CIM_StorageSynchronized_Provider.h"

#include "Association_Provider_Frame.h"
#include "CIM_StorageSynchronized.h"
#include "Copy_Relationship_Walk.h"

namespace cimple {

namespace {

using Walk = Copy_Relationship_Walk;

// The relationship as this class: both ends and the synchronisation values
// (WhenSynced, SyncMaintained, CopyType, SyncState) move over; the built
// instance is destroyed.
Instance* asStorageSynchronized(VELDARO_StorageSynchronized* built)
{
    Owned<VELDARO_StorageSynchronized> held(built);
    CIM_StorageSynchronized* s = CIM_StorageSynchronized::create(true);
    s->SystemElement = built->SystemElement;
    s->SyncedElement = built->SyncedElement;
    built->SystemElement = nullptr;
    built->SyncedElement = nullptr;
    s->WhenSynced = built->WhenSynced;
    s->SyncMaintained = built->SyncMaintained;
    s->CopyType = built->CopyType;
    s->SyncState = built->SyncState;
    return s;
}

}  // namespace

CIM_StorageSynchronized_Provider::CIM_StorageSynchronized_Provider() = default;

CIM_StorageSynchronized_Provider::~CIM_StorageSynchronized_Provider() = default;

bool CIM_StorageSynchronized_Provider::_enumPairs()
{
    return Walk::ofArray(*this, asStorageSynchronized);
}

int CIM_StorageSynchronized_Provider::_request(const Instance* source)
{
    return Walk::request(*this, source, asStorageSynchronized,
                         [&](const String& address, auto body) { return onStorage(address, body); });
}

}  // namespace cimple
