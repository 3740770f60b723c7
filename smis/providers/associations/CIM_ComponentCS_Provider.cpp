// The controller modules as component systems of the storage system.

#include "CIM_ComponentCS_Provider.h"

#include "CIM_ComponentCS.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool systemControllers(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Walk::leadWith<CIM_ComponentCS>(
            frame, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem, Walk::Each::FIRST,
            &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem, Walk::Others::EVERY);
    });
}

}  // namespace

CIM_ComponentCS_Provider::CIM_ComponentCS_Provider() : Association_Map_Frame(&CIM_ComponentCS::static_meta_class) {}

CIM_ComponentCS_Provider::~CIM_ComponentCS_Provider() {}

bool CIM_ComponentCS_Provider::_enumPairs()
{
    return systemControllers(*this);
}

}  // namespace cimple
