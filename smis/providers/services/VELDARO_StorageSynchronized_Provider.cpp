// The copy relationships of every configured array: enumeration array by
// array, and associators, associator names and references from a local or a
// remote volume.

#include "VELDARO_StorageSynchronized_Provider.h"

#include "Copy_Relationship_Walk.h"

namespace cimple {

namespace {

using Walk = Copy_Relationship_Walk;

// Delivered as built.
Instance* asBuilt(VELDARO_StorageSynchronized* built)
{
    return built;
}

}  // namespace

VELDARO_StorageSynchronized_Provider::VELDARO_StorageSynchronized_Provider() = default;

VELDARO_StorageSynchronized_Provider::~VELDARO_StorageSynchronized_Provider() = default;

bool VELDARO_StorageSynchronized_Provider::_enumPairs()
{
    return Walk::ofArray(*this, asBuilt);
}

int VELDARO_StorageSynchronized_Provider::_request(const Instance* source)
{
    return Walk::request(*this, source, asBuilt,
                         [&](const String& address, auto body) { return onStorage(address, body); });
}

}  // namespace cimple
