// Who each privilege is granted to: each host binding's privilege with the
// host identifier it names, and each default privilege with the array's
// default identifier.

#include "CIM_AuthorizedSubject_Provider.h"

#include "Association_End.h"
#include "CIM_AuthorizedSubject.h"
#include "Masking_Port_Map.h"
#include "Masking_View_Walk.h"
#include "VELDARO_AuthorizedPrivilege.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"
#include "VELDARO_DefaultAuthorizedPrivilege.h"
#include "VELDARO_DefaultAuthorizedPrivilege_Resource.h"
#include "VELDARO_DefaultStorageHardwareID.h"
#include "VELDARO_DefaultStorageHardwareID_Resource.h"
#include "VELDARO_StorageHardwareID.h"
#include "VELDARO_StorageHardwareID_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Map = Masking_Port_Map;
using View = Masking_View_Walk;
using Privilege = Association_End<VELDARO_AuthorizedPrivilege>;
using Identifier = Association_End<VELDARO_StorageHardwareID>;

void emitSubject(Frame& frame, Instance* privilege, Instance* element)
{
    frame.emit<CIM_AuthorizedSubject>(privilege, element, frame.otherEnd(privilege, element));
}

// The privilege of one binding with its host's identifier.
bool bindingSubject(Frame& frame, int affinity, const CA_Port_Name& port, int idType, int host)
{
    VELDARO_AuthorizedPrivilege_Resource privileges(frame.storage());
    Privilege privilege = Privilege::build(privileges, affinity, port.cm, port.ca, port.port, host);
    if (privilege.failed())
        return false;
    if (!privilege.built())
        return true;
    Identifier identifier = Identifier::build(VELDARO_StorageHardwareID_Resource(frame.storage()), idType, host);
    if (identifier.failed())
        return false;
    if (identifier.built())
        emitSubject(frame, privilege.release(), identifier.release());
    return true;
}

// Every binding of every affinity port whose adapter takes host
// identifiers; with idType >= 0 only the bindings of that host.
bool privilegesIdentifiers(Frame& frame, int idType, int host)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        return Map::eachPort(table, Map::AFFINITY, [&](const Map::Port& port) {
            const int portType = Map::idTypeOf(table, port.caIndex);
            if (portType == 0 || (idType >= 0 && portType != idType))
                return true;
            return Map::eachBinding(table, port.map, [&](int affinity, int slotHost) {
                if (idType >= 0 && slotHost != host)
                    return true;
                return bindingSubject(frame, affinity, port.name, portType, slotHost);
            });
        });
    });
}

// The identifier of one privilege source.
bool privilegeIdentifier(Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        View::Binding privilege;
        return !View::privilegeOf(table, source, privilege) ||
               bindingSubject(frame, privilege.affinity, privilege.port, privilege.idType, privilege.host);
    });
}

// The privileges granted to one identifier source.
bool identifierPrivileges(Frame& frame, const Instance* source)
{
    VELDARO_RefTable table(frame.storage().c_str());
    View::Binding identifier;
    return !View::identifierOf(table, source, identifier) ||
           privilegesIdentifiers(frame, identifier.idType, identifier.host);
}

// Each default privilege (only the one with that InstanceID when one is
// given) with the first default identifier.
bool defaultPrivilegesIdentifier(Frame& frame, const char* privilegeID)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_DefaultStorageHardwareID_Resource identifiers(frame.storage());
        if (!buildList(identifiers, &VELDARO_DefaultStorageHardwareID_Resource::createDefaultStorageHardwareID))
            return false;
        const auto* identifier = firstListed(identifiers);
        if (!identifier)
            return true;
        VELDARO_DefaultAuthorizedPrivilege_Resource privileges(frame.storage());
        return eachListed(privileges, &VELDARO_DefaultAuthorizedPrivilege_Resource::createDefaultAuthorizedPrivilege,
                          [&](VELDARO_DefaultAuthorizedPrivilege* privilege) {
                              if (!privilegeID || privilege->InstanceID.value == privilegeID)
                                  emitSubject(frame, clone(privilege), clone(identifier));
                              return true;
                          });
    });
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_AuthorizedPrivilege::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) { return privilegeIdentifier(frame, source); }},
    {&VELDARO_StorageHardwareID::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) { return identifierPrivileges(frame, source); }},
    {&VELDARO_DefaultAuthorizedPrivilege::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "InstanceID");
         return !key || defaultPrivilegesIdentifier(frame, key);
     }},
    {&VELDARO_DefaultStorageHardwareID::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return defaultPrivilegesIdentifier(frame, nullptr); }},
};

}  // namespace

CIM_AuthorizedSubject_Provider::CIM_AuthorizedSubject_Provider() {}
CIM_AuthorizedSubject_Provider::~CIM_AuthorizedSubject_Provider() {}

bool CIM_AuthorizedSubject_Provider::_enumPairs()
{
    return privilegesIdentifiers(*this, -1, -1) && defaultPrivilegesIdentifier(*this, nullptr);
}

int CIM_AuthorizedSubject_Provider::_request(const Instance* source) { return route(source, ROUTES); }

}  // namespace cimple
