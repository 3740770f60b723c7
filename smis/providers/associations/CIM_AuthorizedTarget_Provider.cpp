// What each privilege opens: each host binding's privilege with the
// affinity-group controller of its group and port, and each default
// privilege with the LUN-mapping controller of its port.

#include "CIM_AuthorizedTarget_Provider.h"

#include "Association_End.h"
#include "CIM_AuthorizedTarget.h"
#include "Masking_Port_Map.h"
#include "Masking_View_Walk.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_AuthorizedPrivilege.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"
#include "VELDARO_DefaultAuthorizedPrivilege.h"
#include "VELDARO_DefaultAuthorizedPrivilege_Resource.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_LUNMappingController_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Map = Masking_Port_Map;
using View = Masking_View_Walk;
using Privilege = Association_End<VELDARO_AuthorizedPrivilege>;
using Controller = Association_End<VELDARO_AffinityGroupController>;

void emitTarget(Frame& frame, Instance* privilege, Instance* target)
{
    frame.emit<CIM_AuthorizedTarget>(privilege, target, frame.otherEnd(privilege, target));
}

// The privilege of one binding with the controller of its group.
bool bindingTarget(Frame& frame, int affinity, const CA_Port_Name& port, int host)
{
    VELDARO_AuthorizedPrivilege_Resource privileges(frame.storage());
    Privilege privilege = Privilege::build(privileges, affinity, port.cm, port.ca, port.port, host);
    if (privilege.failed())
        return false;
    if (!privilege.built())
        return true;
    VELDARO_AffinityGroupController_Resource controllers(frame.storage());
    Controller controller = Controller::build(controllers, affinity, port.cm, port.ca, port.port);
    if (controller.failed())
        return false;
    if (controller.built())
        emitTarget(frame, privilege.release(), controller.release());
    return true;
}

// The bindings of one affinity port (all groups, or one when affinity >= 0).
bool portBindings(Frame& frame, const VELDARO_RefTable& table, const Map::Port& port, int affinity)
{
    return Map::eachBinding(table, port.map, [&](int slotAffinity, int host) {
        if (affinity >= 0 && slotAffinity != affinity)
            return true;
        return bindingTarget(frame, slotAffinity, port.name, host);
    });
}

bool privilegesControllers(Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        return Map::eachPort(table, Map::AFFINITY,
                             [&](const Map::Port& port) { return portBindings(frame, table, port, -1); });
    });
}

// The privileges that open one affinity-group controller source.
bool controllerPrivileges(Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        View::Binding controller;
        Map::Port port;
        if (!View::controllerOf(table, source, controller) ||
            !Map::portAt(table, controller.port, Map::AFFINITY, port))
            return true;
        return portBindings(frame, table, port, controller.affinity);
    });
}

// The controller one privilege source opens.
bool privilegeController(Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        View::Binding privilege;
        return !View::privilegeOf(table, source, privilege) ||
               bindingTarget(frame, privilege.affinity, privilege.port, privilege.host);
    });
}

// Each default privilege with the first LUN-mapping controller on its
// port; privilegeID / controllerID (either may be null) keep only that
// privilege / that controller.
bool defaultPrivilegesControllers(Frame& frame, const char* privilegeID, const char* controllerID)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_LUNMappingController_Resource controllers(frame.storage());
        VELDARO_DefaultAuthorizedPrivilege_Resource privileges(frame.storage());
        return View::eachWithFirstOnPort(
            privileges, &VELDARO_DefaultAuthorizedPrivilege_Resource::createDefaultAuthorizedPrivilege, "InstanceID",
            privilegeID, controllers, &VELDARO_LUNMappingController_Resource::createLUNMappingController, "DeviceID",
            controllerID, [&](const auto* privilege, const auto* controller) {
                emitTarget(frame, clone(privilege), clone(controller));
            });
    });
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_AuthorizedPrivilege::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) { return privilegeController(frame, source); }},
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) { return controllerPrivileges(frame, source); }},
    {&VELDARO_DefaultAuthorizedPrivilege::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "InstanceID");
         return !key || defaultPrivilegesControllers(frame, key, nullptr);
     }},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "DeviceID");
         return !key || defaultPrivilegesControllers(frame, nullptr, key);
     }},
};

}  // namespace

CIM_AuthorizedTarget_Provider::CIM_AuthorizedTarget_Provider() {}
CIM_AuthorizedTarget_Provider::~CIM_AuthorizedTarget_Provider() {}

bool CIM_AuthorizedTarget_Provider::_enumPairs()
{
    return privilegesControllers(*this) && defaultPrivilegesControllers(*this, nullptr, nullptr);
}

int CIM_AuthorizedTarget_Provider::_request(const Instance* source) { return route(source, ROUTES); }

}  // namespace cimple
