// Authorized privileges: a keyed pair over the map table's host bindings.

#include "VELDARO_AuthorizedPrivilege_Provider.h"

#include "Instance_Provider_Frame.h"
#include "Masking_Port_Map.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"

namespace cimple {

namespace {

struct Authorized_Privilege_Frame {
    using Model = VELDARO_AuthorizedPrivilege;
    using Resource = VELDARO_AuthorizedPrivilege_Resource;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
        char identifier[Resource::IDENTIFIER_SIZE] = {};
        char hostAddress[Resource::ADDRESS_SIZE] = {};
        if (model->InstanceID.null || !Resource::divide_InstanceID(model->InstanceID.value.c_str(), &group, &cm, &ca,
                                                                   &port, identifier, hostAddress))
            return 1;
        int idType = 0;
        const int host = table.searchHostNameFromHostTable(identifier, idType, hostAddress[0] ? hostAddress : nullptr);
        const int affinity = table.searchAffinityNumberFromAffinityTable(group);
        if (host < 0 || affinity < 0)
            return 1;
        return Resource(address).createInstance(instance, affinity, cm, ca, port, host);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        Resource resource(address);
        int result = 0;
        Masking_Port_Map::eachAllocated(table, [&](int map, const CA_Port_Name& n) {
            return Masking_Port_Map::eachBinding(table, map, [&](int affinity, int host) {
                Model* instance = nullptr;
                result = resource.createInstance(instance, affinity, n.cm, n.ca, n.port, host);
                if (instance)
                    Instance_Provider_Frame::deliver(handler, instance);
                return result == 0;
            });
        });
        return result;
    }
};

}  // namespace

VELDARO_AuthorizedPrivilege_Provider::VELDARO_AuthorizedPrivilege_Provider() {}

VELDARO_AuthorizedPrivilege_Provider::~VELDARO_AuthorizedPrivilege_Provider() {}

Get_Instance_Status VELDARO_AuthorizedPrivilege_Provider::get_instance(const VELDARO_AuthorizedPrivilege* model,
                                                                       VELDARO_AuthorizedPrivilege*& instance)
{
    return Instance_Provider_Frame::indexedGet<Authorized_Privilege_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_AuthorizedPrivilege_Provider::enum_instances(
    const VELDARO_AuthorizedPrivilege* model, Enum_Instances_Handler<VELDARO_AuthorizedPrivilege>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Authorized_Privilege_Frame>(model, handler);
}

}  // namespace cimple
