// The packages of the computer systems: the controller enclosure and every
// drive enclosure package the storage system, each controller card its
// controller module's system.

#include "CIM_ComputerSystemPackage_Provider.h"

#include <new>

#include "CIM_ComputerSystemPackage.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerCard_Resource.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_ControllerEnclosure.h"
#include "VELDARO_ControllerEnclosure_Resource.h"
#include "VELDARO_DeviceEnclosure.h"
#include "VELDARO_DeviceEnclosure_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

void add(Association_Map_Frame& frame, const Instance* first, const Instance* second)
{
    Instance* made = Common::newAssociation(&CIM_ComputerSystemPackage::static_meta_class, clone(first), clone(second));
    if (!made)
        throw std::bad_alloc();
    frame.add(made);
}

bool packageStorageSystem(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (systems.createStorageComputerSystem() == 1)
            return false;
        if (systems.list().size() == 0 || !systems.list()[0])
            return true;
        const VELDARO_StorageComputerSystem* system = systems.list()[0];
        VELDARO_ControllerEnclosure_Resource enclosures(frame.storage());
        if (enclosures.createControllerEnclosureChassis() == 1)
            return false;
        if (enclosures.list().size() > 0 && enclosures.list()[0])
            add(frame, enclosures.list()[0], system);
        VELDARO_DeviceEnclosure_Resource drives(frame.storage());
        for (int i = 0; i < VELDARO_DeviceEnclosure_Resource::DE_TABLE_SIZE; ++i) {
            VELDARO_DeviceEnclosure* built = nullptr;
            if (drives.createInstance(built, i) != 0)
                return false;
            Owned<VELDARO_DeviceEnclosure> de(built);
            if (de)
                add(frame, de.get(), system);
        }
        return true;
    });
}

// Each controller system with the first card of its controller module.
bool packageControllerSystems(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ControllerComputerSystem_Resource systems(frame.storage());
        if (systems.createControllerModuleComputerSystem() == 1)
            return false;
        if (systems.list().size() == 0)
            return true;
        VELDARO_ControllerCard_Resource cards(frame.storage());
        if (cards.createControllerModuleCard() == 1)
            return false;
        for (std::size_t s = 0; s < systems.list().size(); ++s) {
            const VELDARO_ControllerComputerSystem* system = systems.list()[s];
            for (std::size_t c = 0; system && c < cards.list().size(); ++c) {
                const VELDARO_ControllerCard* card = cards.list()[c];
                if (card && card->CMSlotNumber.value == system->CMSlotNumber.value) {
                    add(frame, card, system);
                    break;
                }
            }
        }
        return true;
    });
}

}  // namespace

CIM_ComputerSystemPackage_Provider::CIM_ComputerSystemPackage_Provider() : Association_Map_Frame(&CIM_ComputerSystemPackage::static_meta_class) {}

CIM_ComputerSystemPackage_Provider::~CIM_ComputerSystemPackage_Provider() {}

bool CIM_ComputerSystemPackage_Provider::_enumPairs()
{
    return packageStorageSystem(*this) && packageControllerSystems(*this);
}

}  // namespace cimple
