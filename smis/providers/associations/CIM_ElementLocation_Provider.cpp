// Where the storage system is: the system and the first listed location.

#include "CIM_ElementLocation_Provider.h"

#include "CIM_ElementLocation.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_Location.h"
#include "VELDARO_Location_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool systemLocation(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Walk::leadWith<CIM_ElementLocation>(
            frame, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem, Walk::Each::FIRST,
            &VELDARO_Location_Resource::createLocation, Walk::Others::FIRST_ONLY);
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
