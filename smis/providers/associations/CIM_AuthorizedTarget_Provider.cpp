// What each privilege opens: each host binding's privilege with the
// affinity-group controller of its group and port, and each default
// privilege with the LUN-mapping controller of its port.

#include "CIM_AuthorizedTarget_Provider.h"

#include "Association_End.h"
#include "CIM_AuthorizedTarget.h"
#include "Masking_Port_Map.h"
#include "Masking_View_Walk.h"
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
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
using port_identity::Same_Port;

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
        std::uint16_t group = 0, cm = 0, ca = 0, portNo = 0;
        const char* key = Common::keyText(source, "DeviceID");
        if (!key || !VELDARO_AffinityGroupController_Resource::divide_DeviceID(key, &group, &cm, &ca, &portNo))
            return true;
        VELDARO_RefTable table(frame.storage().c_str());
        const int affinity = table.searchAffinityNumberFromAffinityTable(group);
        Map::Port port;
        if (affinity < 0 || !Map::portAt(table, CA_Port_Name::fields(cm, ca, portNo), Map::AFFINITY, port))
            return true;
        return portBindings(frame, table, port, affinity);
    });
}

// The controller one privilege source opens.
bool privilegeController(Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        using Resource = VELDARO_AuthorizedPrivilege_Resource;
        std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
        char identifier[Resource::IDENTIFIER_SIZE] = {};
        char address[Resource::ADDRESS_SIZE] = {};
        const char* key = Common::keyText(source, "InstanceID");
        if (!key || !Resource::divide_InstanceID(key, &group, &cm, &ca, &port, identifier, address))
            return true;
        VELDARO_RefTable table(frame.storage().c_str());
        const int affinity = table.searchAffinityNumberFromAffinityTable(group);
        int idType = 0;
        const int host = table.searchHostNameFromHostTable(identifier, idType, address[0] ? address : nullptr);
        if (affinity < 0 || host < 0)
            return true;
        return bindingTarget(frame, affinity, CA_Port_Name::fields(cm, ca, port), host);
    });
}

// Each default privilege with the first LUN-mapping controller on its
// port; privilegeID / controllerID (either may be null) keep only that
// privilege / that controller.
bool defaultPrivilegesControllers(Frame& frame, const char* privilegeID, const char* controllerID)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_LUNMappingController_Resource controllers(frame.storage());
        if (!buildList(controllers, &VELDARO_LUNMappingController_Resource::createLUNMappingController))
            return false;
        auto& listed = listedOf(controllers);
        if (listed.size() == 0)
            return true;
        VELDARO_DefaultAuthorizedPrivilege_Resource privileges(frame.storage());
        return eachListed(privileges, &VELDARO_DefaultAuthorizedPrivilege_Resource::createDefaultAuthorizedPrivilege,
                          [&](VELDARO_DefaultAuthorizedPrivilege* privilege) {
                              if (privilegeID && privilege->InstanceID.value != privilegeID)
                                  return true;
                              const auto* controller = Matching_Pair_Walk::firstMatch(listed, *privilege, Same_Port());
                              if (controller && (!controllerID || controller->DeviceID.value == controllerID))
                                  emitTarget(frame, clone(privilege), clone(controller));
                              return true;
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
