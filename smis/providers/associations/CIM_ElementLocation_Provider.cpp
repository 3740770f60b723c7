// Where the storage system is: the system and the first listed location.

#include "CIM_ElementLocation_Provider.h"

#include "Association_End.h"
#include "CIM_ElementLocation.h"
#include "VELDARO_Location.h"
#include "VELDARO_Location_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

bool systemLocation(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        const VELDARO_StorageComputerSystem* system = firstListed(systems);
        if (!system)
            return true;
        VELDARO_Location_Resource locations(frame.storage());
        if (!buildList(locations, &VELDARO_Location_Resource::createLocation))
            return false;
        if (const VELDARO_Location* location = firstListed(locations))
            frame.addClones<CIM_ElementLocation>(system, location);
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
