// The FC port each protocol controller sits on: the affinity-group
// controllers of a port in affinity mode and the LUN-mapping controller of
// a port in another mode.

#include "CIM_ProtocolControllerForPort_Provider.h"

#include "Association_End.h"
#include "CIM_ProtocolControllerForPort.h"
#include "Masking_Port_Map.h"
#include "Masking_View_Walk.h"
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_FCPort_Resource.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_LUNMappingController_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Map = Masking_Port_Map;
using View = Masking_View_Walk;
using Controller = Association_End<VELDARO_AffinityGroupController>;
using port_identity::Same_Port;

void emitPort(Frame& frame, Instance* controller, Instance* port)
{
    frame.emit<CIM_ProtocolControllerForPort>(controller, port, frame.otherEnd(controller, port));
}

// The affinity-group controllers of each FC port in affinity mode (only
// the port with that DeviceID when one is given), each group once.
bool portsAffinityGroups(Frame& frame, const char* portDeviceID)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_AffinityGroupController_Resource controllers(frame.storage());
        VELDARO_FCPort_Resource ports(frame.storage());
        return eachListed(ports, &VELDARO_FCPort_Resource::createFCPort, [&](VELDARO_FCPort* fcPort) {
            if (portDeviceID && fcPort->DeviceID.value != portDeviceID)
                return true;
            Map::Port port;
            if (!Map::portAt(table, View::portOf(*fcPort), Map::AFFINITY, port))
                return true;
            return Map::eachGroup(table, port.map, [&](int affinity) {
                Controller controller =
                    Controller::build(controllers, affinity, port.name.cm, port.name.ca, port.name.port);
                if (controller.failed())
                    return false;
                if (controller.built())
                    emitPort(frame, controller.release(), clone(fcPort));
                return true;
            });
        });
    });
}

// The FC port of one affinity-group controller source.
bool controllerPort(Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        View::Binding named;
        if (!View::controllerOf(table, source, named))
            return true;
        VELDARO_AffinityGroupController_Resource controllers(frame.storage());
        Controller controller =
            Controller::build(controllers, named.affinity, named.port.cm, named.port.ca, named.port.port);
        if (controller.failed())
            return false;
        if (!controller.built())
            return true;
        VELDARO_FCPort_Resource ports(frame.storage());
        if (!buildList(ports, &VELDARO_FCPort_Resource::createFCPort))
            return false;
        if (const auto* fcPort = Matching_Pair_Walk::firstMatch(listedOf(ports), *controller, Same_Port()))
            emitPort(frame, controller.release(), clone(fcPort));
        return true;
    });
}

// Each LUN-mapping controller with the first FC port on its port;
// controllerDeviceID / portDeviceID (either may be null) keep only that
// controller / that port.
bool lunMappingsPorts(Frame& frame, const char* controllerDeviceID, const char* portDeviceID)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_FCPort_Resource ports(frame.storage());
        VELDARO_LUNMappingController_Resource controllers(frame.storage());
        return View::eachWithFirstOnPort(controllers, &VELDARO_LUNMappingController_Resource::createLUNMappingController,
                                         "DeviceID", controllerDeviceID, ports, &VELDARO_FCPort_Resource::createFCPort,
                                         "DeviceID", portDeviceID, [&](const auto* controller, const auto* fcPort) {
                                             emitPort(frame, clone(controller), clone(fcPort));
                                         });
    });
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) { return controllerPort(frame, source); }},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return lunMappingsPorts(frame, Common::keyText(source, "DeviceID"), nullptr);
     }},
    {&VELDARO_FCPort::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "DeviceID");
         return key && portsAffinityGroups(frame, key) && lunMappingsPorts(frame, nullptr, key);
     }},
};

}  // namespace

CIM_ProtocolControllerForPort_Provider::CIM_ProtocolControllerForPort_Provider() {}
CIM_ProtocolControllerForPort_Provider::~CIM_ProtocolControllerForPort_Provider() {}

bool CIM_ProtocolControllerForPort_Provider::_enumPairs()
{
    return portsAffinityGroups(*this, nullptr) && lunMappingsPorts(*this, nullptr, nullptr);
}

int CIM_ProtocolControllerForPort_Provider::_request(const Instance* source) { return route(source, ROUTES); }

}  // namespace cimple
