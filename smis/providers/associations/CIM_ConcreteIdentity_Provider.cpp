// The storage system and its redundancy set stand for the same thing: one
// pair per array that has a redundancy set.

#include "CIM_ConcreteIdentity_Provider.h"

#include <new>

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
        if (systems.createStorageComputerSystem() == 1)
            return false;
        if (systems.list().size() == 0 || !systems.list()[0])
            return true;
        VELDARO_RedundancySet_Resource sets(frame.storage());
        if (sets.createRedundancySet() == 1)
            return false;
        if (sets.list().size() == 0 || !sets.list()[0])
            return true;
        Instance* made = Common::newAssociation(&CIM_ConcreteIdentity::static_meta_class, clone(systems.list()[0]),
                                                clone(sets.list()[0]));
        if (!made)
            throw std::bad_alloc();
        frame.add(made);
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
