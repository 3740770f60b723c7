// The volumes each protocol controller exposes, with the LUN it exposes
// them under: affinity-group controllers (ports in affinity mode) and
// LUN-mapping controllers (the default view of other ports).

#include "CIM_ProtocolControllerForUnit_Provider.h"

#include <cstdio>

#include "Association_End.h"
#include "CIM_ProtocolControllerForUnit.h"
#include "Masking_Port_Map.h"
#include "Masking_View_Ports.h"
#include "Masking_View_Walk.h"
#include "Masking_Volume_Views.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Map = Masking_Port_Map;
using View = Masking_View_Walk;
using Controller = Association_End<VELDARO_AffinityGroupController>;
using Volume = Association_End<VELDARO_StorageVolume>;

constexpr uint16 READ_WRITE = 2;

// One pair: the association takes both ends; far is the end a request
// hands on.
void emitUnit(Frame& frame, Instance* controller, Instance* volume, int lun)
{
    char number[8];
    std::snprintf(number, sizeof number, "%04X", unsigned(lun));
    frame.emit<CIM_ProtocolControllerForUnit>(controller, volume, frame.otherEnd(controller, volume), true,
                                              [&](CIM_ProtocolControllerForUnit& a) {
                                                  a.DeviceNumber.set(number);
                                                  a.DeviceAccess.set(READ_WRITE);
                                              });
}

// The volumes of one affinity group on one port.
bool groupVolumes(Frame& frame, const VELDARO_RefTable& table, const Map::Port& port, int affinity)
{
    VELDARO_AffinityGroupController_Resource controllers(frame.storage());
    VELDARO_StorageVolume_Resource volumes(frame.storage());
    Controller controller = Controller::build(controllers, affinity, port.name.cm, port.name.ca, port.name.port);
    if (controller.failed())
        return false;
    if (!controller.built())
        return true;
    return View::eachMappedVolume(
        table, volumes, [&](int lun) { return table.getAffinityOlun(affinity, lun); },
        [&](Volume& volume, int lun) {
            emitUnit(frame, controller.copy(), volume.release(), lun);
            return true;
        });
}

// Every affinity group of every affinity port, each once per port.
bool affinityGroupsVolumes(Frame& frame, const VELDARO_RefTable& table)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Map::eachPort(table, Map::AFFINITY, [&](const Map::Port& port) {
            return Map::eachGroup(table, port.map, [&](int affinity) { return groupVolumes(frame, table, port, affinity); });
        });
    });
}

// The volumes of each LUN-mapping controller (only the one with that
// DeviceID when one is given).
bool lunMappingsVolumes(Frame& frame, const VELDARO_RefTable& table, const char* deviceID)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        VELDARO_LUNMappingController_Resource controllers(frame.storage());
        return eachListed(controllers, &VELDARO_LUNMappingController_Resource::createLUNMappingController,
                          [&](VELDARO_LUNMappingController* controller) {
                              if (deviceID && controller->DeviceID.value != deviceID)
                                  return true;
                              const CA_Port_Name name = View::portOf(*controller);
                              const int map =
                                  table.searchCAModuleIdAndCAPortNoFromMapTable(name.moduleId(), name.portNumber());
                              if (map < 0)
                                  return true;
                              const int entry =
                                  table.searchLUNMappingNumberFromLUNMappingTable(table.getMapLUNMappingNo(map));
                              if (entry < 0 || table.getLUNMapDefinition(entry) == 0)
                                  return true;
                              return View::eachMappedVolume(
                                  table, volumes, [&](int lun) { return table.getLUNMapOlun(entry, lun); },
                                  [&](Volume& volume, int lun) {
                                      emitUnit(frame, clone(controller), volume.release(), lun);
                                      return true;
                                  });
                          });
    });
}

// The affinity controller source's volumes: its group on its port.
bool controllerVolumes(Frame& frame, const Instance* source, const VELDARO_RefTable& table)
{
    View::Binding controller;
    Map::Port port;
    if (!View::controllerOf(table, source, controller) || !Map::portAt(table, controller.port, Map::AFFINITY, port))
        return true;
    return Common::guard(__FILE__, __LINE__, [&] { return groupVolumes(frame, table, port, controller.affinity); });
}

// The controllers that expose one volume: each affinity group that maps
// it (under its lowest LUN) on each affinity port it is bound on, and each
// LUN-mapping entry that maps it on every LUN-mapping port that uses that
// entry. The groups, entries and ports come from the image's lists of the
// views of each volume and the ports of each view.
bool volumeControllers(Frame& frame, const VELDARO_RefTable& table, int slu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        const std::uint16_t olu = table.getSluOlun(slu);
        if (olu == Map::NONE)
            return true;
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        Volume volume = Volume::build(volumes, slu);
        if (volume.failed())
            return false;
        if (!volume.built())
            return true;
        const auto views = Masking_Volume_Views::of(table);
        const auto ports = Masking_View_Ports::of(table);
        if (!views || !ports)
            return false;
        VELDARO_AffinityGroupController_Resource controllers(frame.storage());
        for (const auto& [affinity, lun] : views->affinityGroups(olu)) {
            for (const Map::Port& port : ports->ofGroup(affinity)) {
                Controller controller =
                    Controller::build(controllers, affinity, port.name.cm, port.name.ca, port.name.port);
                if (controller.failed())
                    return false;
                if (controller.built())
                    emitUnit(frame, controller.release(), volume.copy(), lun);
            }
        }
        VELDARO_LUNMappingController_Resource mappings(frame.storage());
        if (!buildList(mappings, &VELDARO_LUNMappingController_Resource::createLUNMappingController))
            return false;
        auto& listed = listedOf(mappings);
        if (listed.size() == 0)
            return true;
        for (const auto& [entry, lun] : views->lunMappings(olu)) {
            for (const Map::Port& port : ports->ofMapping(table.getLUNMapLUNMappingNumber(entry)))
                if (const auto* controller = Matching_Pair_Walk::firstMatch(listed, port.name, View::On_Port()))
                    emitUnit(frame, clone(controller), volume.copy(), lun);
        }
        return true;
    });
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         VELDARO_RefTable table(frame.storage().c_str());
         return controllerVolumes(frame, source, table);
     }},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         VELDARO_RefTable table(frame.storage().c_str());
         return lunMappingsVolumes(frame, table, Common::keyText(source, "DeviceID"));
     }},
    {&VELDARO_StorageVolume::static_meta_class, Common::BY_SYSTEM_NAME, &View::volumeSlu,
     [](Frame& frame, const Instance*, int slu) {
         VELDARO_RefTable table(frame.storage().c_str());
         return volumeControllers(frame, table, slu);
     }},
};

}  // namespace

CIM_ProtocolControllerForUnit_Provider::CIM_ProtocolControllerForUnit_Provider() {}
CIM_ProtocolControllerForUnit_Provider::~CIM_ProtocolControllerForUnit_Provider() {}

bool CIM_ProtocolControllerForUnit_Provider::_enumPairs()
{
    VELDARO_RefTable table(storage().c_str());
    return affinityGroupsVolumes(*this, table) && lunMappingsVolumes(*this, table, nullptr);
}

int CIM_ProtocolControllerForUnit_Provider::_request(const Instance* source) { return route(source, ROUTES); }

}  // namespace cimple
