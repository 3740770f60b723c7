// The table entries that the keys of masking sources name.

#include "Masking_View_Walk.h"

#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"
#include "VELDARO_StorageHardwareID_Resource.h"

namespace cimple {

namespace {

// The host of an identifier with an optional host address text.
int hostIndex(const VELDARO_RefTable& table, const char* identifier, const char* address, int& idType)
{
    return table.searchHostNameFromHostTable(identifier, idType, address[0] ? address : nullptr);
}

// Whether the port is usable in affinity mode: the masking views pair
// controllers and privileges of those ports only, though a port in
// LUN-mapping mode can keep affinity bindings in its map entry.
bool onAffinityPort(const VELDARO_RefTable& table, const CA_Port_Name& name)
{
    Masking_Port_Map::Port port;
    return Masking_Port_Map::portAt(table, name, Masking_Port_Map::AFFINITY, port);
}

}  // namespace

bool Masking_View_Walk::controllerOf(const VELDARO_RefTable& table, const Instance* source, Binding& binding)
{
    std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
    const char* key = Association_Provider_Frame::keyText(source, "DeviceID");
    if (!key || !VELDARO_AffinityGroupController_Resource::divide_DeviceID(key, &group, &cm, &ca, &port))
        return false;
    binding.affinity = table.searchAffinityNumberFromAffinityTable(group);
    binding.port = CA_Port_Name::fields(cm, ca, port);
    return binding.affinity >= 0 && onAffinityPort(table, binding.port);
}

bool Masking_View_Walk::privilegeOf(const VELDARO_RefTable& table, const Instance* source, Binding& binding)
{
    using Resource = VELDARO_AuthorizedPrivilege_Resource;
    std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
    char identifier[Resource::IDENTIFIER_SIZE] = {};
    char address[Resource::ADDRESS_SIZE] = {};
    const char* key = Association_Provider_Frame::keyText(source, "InstanceID");
    if (!key || !Resource::divide_InstanceID(key, &group, &cm, &ca, &port, identifier, address))
        return false;
    binding.affinity = table.searchAffinityNumberFromAffinityTable(group);
    binding.port = CA_Port_Name::fields(cm, ca, port);
    binding.host = hostIndex(table, identifier, address, binding.idType);
    return binding.affinity >= 0 && binding.host >= 0 && onAffinityPort(table, binding.port);
}

bool Masking_View_Walk::identifierOf(const VELDARO_RefTable& table, const Instance* source, Binding& binding)
{
    using Resource = VELDARO_StorageHardwareID_Resource;
    char identifier[Resource::IDENTIFIER_SIZE] = {};
    char address[Resource::ADDRESS_SIZE] = {};
    const char* key = Association_Provider_Frame::keyText(source, "InstanceID");
    if (!key || !Resource::divide_InstanceID(key, identifier, address))
        return false;
    binding.host = hostIndex(table, identifier, address, binding.idType);
    return binding.host >= 0;
}

}  // namespace cimple
