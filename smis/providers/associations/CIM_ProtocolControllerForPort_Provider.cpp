// The FC port each protocol controller sits on: the affinity-group
// controllers of a port in affinity mode and the LUN-mapping controller of
// a port in another mode.

#include "CIM_ProtocolControllerForPort_Provider.h"

#include "Association_End.h"
#include "CA_Port_Name.h"
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

// Fills a list with every element of the array (on null) or with the
// elements on the one port `on` only; false when the builder fails.
template <class R>
bool listOn(R& resource, int (R::*every)(), int (R::*onPort)(const CA_Port_Name&), const CA_Port_Name* on)
{
    return (on ? (resource.*onPort)(*on) : (resource.*every)()) != 1;
}

// The affinity-group controllers of each FC port in affinity mode (only
// the FC ports on `on` when one is given), each group once.
bool portsAffinityGroups(Frame& frame, const CA_Port_Name* on)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_AffinityGroupController_Resource controllers(frame.storage());
        VELDARO_FCPort_Resource ports(frame.storage());
        if (!listOn(ports, &VELDARO_FCPort_Resource::createFCPort, &VELDARO_FCPort_Resource::createFCPortOn, on))
            return false;
        auto& listed = listedOf(ports);
        for (std::size_t k = 0; k < listed.size(); ++k) {
            VELDARO_FCPort* fcPort = listed[k];
            if (!fcPort)
                continue;
            Map::Port port;
            if (!Map::portAt(table, View::portOf(*fcPort), Map::AFFINITY, port))
                continue;
            const bool built = Map::eachGroup(table, port.map, [&](int affinity) {
                Controller controller =
                    Controller::build(controllers, affinity, port.name.cm, port.name.ca, port.name.port);
                if (controller.failed())
                    return false;
                if (controller.built())
                    emitPort(frame, controller.release(), clone(fcPort));
                return true;
            });
            if (!built)
                return false;
        }
        return true;
    });
}

// The FC port of one affinity-group controller source: the first FC port
// on the controller's port.
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
        if (ports.createFCPortOn(View::portOf(*controller)) == 1)
            return false;
        if (const auto* fcPort = Matching_Pair_Walk::firstMatch(listedOf(ports), *controller, Same_Port()))
            emitPort(frame, controller.release(), clone(fcPort));
        return true;
    });
}

// Each LUN-mapping controller (only those on `on` when one is given) with
// the first FC port on its port; controllerDeviceID / portDeviceID (either
// may be null) keep only that controller / that port.
bool lunMappingsPorts(Frame& frame, const CA_Port_Name* on, const char* controllerDeviceID,
                      const char* portDeviceID)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_FCPort_Resource ports(frame.storage());
        if (!listOn(ports, &VELDARO_FCPort_Resource::createFCPort, &VELDARO_FCPort_Resource::createFCPortOn, on))
            return false;
        auto& fcPorts = listedOf(ports);
        if (fcPorts.size() == 0)
            return true;
        VELDARO_LUNMappingController_Resource controllers(frame.storage());
        if (!listOn(controllers, &VELDARO_LUNMappingController_Resource::createLUNMappingController,
                    &VELDARO_LUNMappingController_Resource::createLUNMappingControllerOn, on))
            return false;
        auto& listed = listedOf(controllers);
        for (std::size_t k = 0; k < listed.size(); ++k) {
            const auto* controller = listed[k];
            if (!controller || (controllerDeviceID && !View::hasKey(controller, "DeviceID", controllerDeviceID)))
                continue;
            const auto* fcPort = Matching_Pair_Walk::firstMatch(fcPorts, *controller, Same_Port());
            if (fcPort && (!portDeviceID || View::hasKey(fcPort, "DeviceID", portDeviceID)))
                emitPort(frame, clone(controller), clone(fcPort));
        }
        return true;
    });
}

// A LUN-mapping controller or an FC port source is paired on its own port
// only: its DeviceID names the port.
const Frame::Source_Route ROUTES[] = {
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) { return controllerPort(frame, source); }},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "DeviceID");
         CA_Port_Name on;
         return !CA_Port_Name::ofKey(key, "LM_", on) || lunMappingsPorts(frame, &on, key, nullptr);
     }},
    {&VELDARO_FCPort::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "DeviceID");
         CA_Port_Name on;
         if (!CA_Port_Name::ofKey(key, "FCP_", on))
             return key != nullptr;
         return portsAffinityGroups(frame, &on) && lunMappingsPorts(frame, &on, nullptr, key);
     }},
};

}  // namespace

CIM_ProtocolControllerForPort_Provider::CIM_ProtocolControllerForPort_Provider() {}
CIM_ProtocolControllerForPort_Provider::~CIM_ProtocolControllerForPort_Provider() {}

bool CIM_ProtocolControllerForPort_Provider::_enumPairs()
{
    return portsAffinityGroups(*this, nullptr) && lunMappingsPorts(*this, nullptr, nullptr, nullptr);
}

int CIM_ProtocolControllerForPort_Provider::_request(const Instance* source) { return route(source, ROUTES); }

}  // namespace cimple
