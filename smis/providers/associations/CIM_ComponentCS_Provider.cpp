// The controller modules as component systems of the storage system.

#include "CIM_ComponentCS_Provider.h"

#include <new>

#include "CIM_ComponentCS.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

bool systemControllers(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (systems.createStorageComputerSystem() == 1)
            return false;
        if (systems.list().size() == 0 || !systems.list()[0])
            return true;
        VELDARO_ControllerComputerSystem_Resource controllers(frame.storage());
        if (controllers.createControllerModuleComputerSystem() == 1)
            return false;
        for (std::size_t k = 0; k < controllers.list().size(); ++k) {
            if (!controllers.list()[k])
                continue;
            Instance* made = Common::newAssociation(&CIM_ComponentCS::static_meta_class, clone(systems.list()[0]),
                                                    clone(controllers.list()[k]));
            if (!made)
                throw std::bad_alloc();
            frame.add(made);
        }
        return true;
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
