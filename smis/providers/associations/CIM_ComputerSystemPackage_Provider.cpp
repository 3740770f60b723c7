// The packages of the computer systems: the controller enclosure and every
// drive enclosure package the storage system, each controller card its
// controller module's system.

#include "CIM_ComputerSystemPackage_Provider.h"

#include "Association_End.h"
#include "CIM_ComputerSystemPackage.h"
#include "Key_Index.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerCard_Resource.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_ControllerEnclosure.h"
#include "VELDARO_ControllerEnclosure_Resource.h"
#include "VELDARO_DeviceEnclosure.h"
#include "VELDARO_DeviceEnclosure_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

// The enclosures of the drive enclosure range (-1: every entry); the
// controller enclosure while every entry is walked.
bool packageStorageSystem(Association_Map_Frame& frame, int driveEnclosure = -1)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        const VELDARO_StorageComputerSystem* system = firstListed(systems);
        if (!system)
            return true;
        if (driveEnclosure < 0) {
            VELDARO_ControllerEnclosure_Resource enclosures(frame.storage());
            if (!buildList(enclosures, &VELDARO_ControllerEnclosure_Resource::createControllerEnclosureChassis))
                return false;
            if (const VELDARO_ControllerEnclosure* enclosure = firstListed(enclosures))
                frame.addClones<CIM_ComputerSystemPackage>(enclosure, system);
        }
        constexpr int COUNT = VELDARO_DeviceEnclosure_Resource::DE_TABLE_SIZE;
        VELDARO_DeviceEnclosure_Resource drives(frame.storage());
        return eachEnd<VELDARO_DeviceEnclosure>(drives,
                                                driveEnclosure < 0 ? Index_Range::all(COUNT)
                                                                   : Index_Range::one(driveEnclosure, COUNT),
                                                [&](Association_End<VELDARO_DeviceEnclosure>& de, int) {
                                                    frame.add<CIM_ComputerSystemPackage>(de.release(), clone(system));
                                                    return true;
                                                });
    });
}

// Each controller system with the first card of its controller module.
bool packageControllerSystems(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ControllerComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem))
            return false;
        if (listedOf(systems).size() == 0)
            return true;
        VELDARO_ControllerCard_Resource cards(frame.storage());
        if (!buildList(cards, &VELDARO_ControllerCard_Resource::createControllerModuleCard))
            return false;
        Walk::firstWithEach<CIM_ComputerSystemPackage>(
            frame, listedOf(systems), Walk::Each::SECOND, listedOf(cards),
            [](const VELDARO_ControllerCard& card, const VELDARO_ControllerComputerSystem& system) {
                return card.CMSlotNumber.value == system.CMSlotNumber.value;
            });
        return true;
    });
}

bool systemPairs(Association_Map_Frame& frame, const Instance*)
{
    return packageStorageSystem(frame);
}

// A drive enclosure is paired through its own entry only.
bool driveEnclosurePairs(Association_Map_Frame& frame, const Instance* source)
{
    const int index = Key_Index::of<&VELDARO_DeviceEnclosure_Resource::divide_Tag,
                                    &VELDARO_RefTable::searchDeIdFromDETable, Key_Index::TAG>(
        VELDARO_RefTable(frame.storage().c_str()), source);
    return index < 0 || packageStorageSystem(frame, index);
}

bool controllerPairs(Association_Map_Frame& frame, const Instance*)
{
    return packageControllerSystems(frame);
}

// The storage system is an end of both walks.
bool everyPair(Association_Map_Frame& frame, const Instance*)
{
    return packageStorageSystem(frame) && packageControllerSystems(frame);
}

const Association_Map_Frame::Source_Route ROUTES[] = {
    {&VELDARO_StorageComputerSystem::static_meta_class, everyPair},
    {&VELDARO_ControllerEnclosure::static_meta_class, systemPairs},
    {&VELDARO_DeviceEnclosure::static_meta_class, driveEnclosurePairs},
    {&VELDARO_ControllerCard::static_meta_class, controllerPairs},
    {&VELDARO_ControllerComputerSystem::static_meta_class, controllerPairs},
};

}  // namespace

CIM_ComputerSystemPackage_Provider::CIM_ComputerSystemPackage_Provider()
    : Association_Map_Frame(&CIM_ComputerSystemPackage::static_meta_class)
{
    routeSources(ROUTES);
}

CIM_ComputerSystemPackage_Provider::~CIM_ComputerSystemPackage_Provider() {}

bool CIM_ComputerSystemPackage_Provider::_enumPairs()
{
    return packageStorageSystem(*this) && packageControllerSystems(*this);
}

}  // namespace cimple
