// The controller modules as component systems of the storage system.

#include "CIM_ComponentCS_Provider.h"

#include "Association_End.h"
#include "CIM_ComponentCS.h"
#include "Matching_Pair_Walk.h"
#include "Storage_System_List.h"
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
        return Storage_System_List::with(frame, [&](VELDARO_StorageComputerSystem_Resource& systems) {
            VELDARO_ControllerComputerSystem_Resource controllers(frame.storage());
            if (!buildList(controllers,
                           &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem))
                return false;
            Walk::firstWithEach<CIM_ComponentCS>(frame, listedOf(controllers), Walk::Each::SECOND, listedOf(systems),
                                                 Walk::Any());
            return true;
        });
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
