// The storage system and its redundancy set stand for the same thing: one
// pair per array that has a redundancy set.

#include "CIM_ConcreteIdentity_Provider.h"

#include "Association_End.h"
#include "CIM_ConcreteIdentity.h"
#include "VELDARO_RedundancySet.h"
#include "VELDARO_RedundancySet_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

bool systemRedundancySet(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        const VELDARO_StorageComputerSystem* system = firstListed(systems);
        if (!system)
            return true;
        VELDARO_RedundancySet_Resource sets(frame.storage());
        if (!buildList(sets, &VELDARO_RedundancySet_Resource::createRedundancySet))
            return false;
        if (const VELDARO_RedundancySet* set = firstListed(sets))
            frame.addClones<CIM_ConcreteIdentity>(system, set);
        return true;
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
