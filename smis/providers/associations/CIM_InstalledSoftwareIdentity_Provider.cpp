// The software installed on each controller system: the first controller
// module identity and the first storage system identity of its slot.

#include "CIM_InstalledSoftwareIdentity_Provider.h"

#include "Association_End.h"
#include "CIM_InstalledSoftwareIdentity.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_ControllerModuleSoftwareIdentity.h"
#include "VELDARO_ControllerModuleSoftwareIdentity_Resource.h"
#include "VELDARO_StorageComputerSystemSoftwareIdentity.h"
#include "VELDARO_StorageComputerSystemSoftwareIdentity_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool controllersSoftware(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ControllerComputerSystem_Resource controllers(frame.storage());
        if (!buildList(controllers, &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem))
            return false;
        if (listedOf(controllers).size() == 0)
            return true;
        VELDARO_ControllerModuleSoftwareIdentity_Resource modules(frame.storage());
        VELDARO_StorageComputerSystemSoftwareIdentity_Resource systems(frame.storage());
        if (!buildList(modules,
                       &VELDARO_ControllerModuleSoftwareIdentity_Resource::createControllerModuleSoftwareIdentity) ||
            !buildList(systems, &VELDARO_StorageComputerSystemSoftwareIdentity_Resource::
                                    createStorageComputerSystemSoftwareIdentity))
            return false;
        auto& list = listedOf(controllers);
        for (std::size_t c = 0; c < list.size(); ++c) {
            const VELDARO_ControllerComputerSystem* controller = list[c];
            if (!controller)
                continue;
            if (const auto* identity = Walk::firstMatch(listedOf(modules), *controller, Walk::Same_Slot()))
                frame.addClones<CIM_InstalledSoftwareIdentity>(controller, identity);
            if (const auto* identity = Walk::firstMatch(listedOf(systems), *controller, Walk::Same_Slot()))
                frame.addClones<CIM_InstalledSoftwareIdentity>(controller, identity);
        }
        return true;
    });
}

}  // namespace

CIM_InstalledSoftwareIdentity_Provider::CIM_InstalledSoftwareIdentity_Provider()
    : Association_Map_Frame(&CIM_InstalledSoftwareIdentity::static_meta_class)
{
}

CIM_InstalledSoftwareIdentity_Provider::~CIM_InstalledSoftwareIdentity_Provider() {}

bool CIM_InstalledSoftwareIdentity_Provider::_enumPairs()
{
    return controllersSoftware(*this);
}

}  // namespace cimple
