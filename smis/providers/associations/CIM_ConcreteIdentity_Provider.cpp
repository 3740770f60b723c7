// The storage system and its redundancy set stand for the same thing: one
// pair per array that has a redundancy set.

#include "CIM_ConcreteIdentity_Provider.h"

#include "CIM_ConcreteIdentity.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_RedundancySet.h"
#include "VELDARO_RedundancySet_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool systemRedundancySet(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Walk::leadWith<CIM_ConcreteIdentity>(
            frame, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem, Walk::Each::FIRST,
            &VELDARO_RedundancySet_Resource::createRedundancySet, Walk::Others::FIRST_ONLY);
    });
}

}  // namespace

CIM_ConcreteIdentity_Provider::CIM_ConcreteIdentity_Provider()
    : Association_Map_Frame(&CIM_ConcreteIdentity::static_meta_class)
{
}

CIM_ConcreteIdentity_Provider::~CIM_ConcreteIdentity_Provider() {}

bool CIM_ConcreteIdentity_Provider::_enumPairs()
{
    return systemRedundancySet(*this);
}

}  // namespace cimple
