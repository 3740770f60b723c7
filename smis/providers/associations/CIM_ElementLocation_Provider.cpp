// Where the storage system is: the system and the first listed location.

#include "CIM_ElementLocation_Provider.h"

#include <new>

#include "CIM_ElementLocation.h"
#include "VELDARO_Location.h"
#include "VELDARO_Location_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

void add(Association_Map_Frame& frame, const Instance* first, const Instance* second)
{
    Instance* made = Common::newAssociation(&CIM_ElementLocation::static_meta_class, clone(first), clone(second));
    if (!made)
        throw std::bad_alloc();
    frame.add(made);
}

bool systemLocation(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (systems.createStorageComputerSystem() == 1)
            return false;
        if (systems.list().size() == 0 || !systems.list()[0])
            return true;
        VELDARO_Location_Resource locations(frame.storage());
        if (locations.createLocation() == 1)
            return false;
        if (locations.list().size() > 0 && locations.list()[0])
            add(frame, systems.list()[0], locations.list()[0]);
        return true;
    });
}

}  // namespace

CIM_ElementLocation_Provider::CIM_ElementLocation_Provider() : Association_Map_Frame(&CIM_ElementLocation::static_meta_class) {}

CIM_ElementLocation_Provider::~CIM_ElementLocation_Provider() {}

bool CIM_ElementLocation_Provider::_enumPairs()
{
    return systemLocation(*this);
}

}  // namespace cimple
