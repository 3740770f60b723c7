// Host identifiers: a keyed pair over the FC/SAS and the iSCSI host tables.

#include "VELDARO_StorageHardwareID_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_StorageHardwareID_Resource.h"

namespace cimple {

namespace {

struct Storage_Hardware_ID_Frame {
    using Model = VELDARO_StorageHardwareID;
    using Resource = VELDARO_StorageHardwareID_Resource;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        char identifier[Resource::IDENTIFIER_SIZE] = {};
        char hostAddress[Resource::ADDRESS_SIZE] = {};
        if (model->InstanceID.null ||
            !Resource::divide_InstanceID(model->InstanceID.value.c_str(), identifier, hostAddress))
            return 1;
        int idType = 0;
        const int slot = table.searchHostNameFromHostTable(identifier, idType, hostAddress[0] ? hostAddress : nullptr);
        if (slot < 0)
            return 1;
        return Resource(address).createInstance(instance, idType, slot);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        Resource resource(address);
        const int hosts = Instance_Provider_Frame::enumIndexes<Model>(
            Resource::HOST_TABLE_SIZE, handler, [&](int slot, Model*& instance) {
                const int idType = table.getHostType(slot) == 2 ? Resource::ID_TYPE_SAS : Resource::ID_TYPE_WWN;
                return resource.createInstance(instance, idType, slot);
            });
        if (hosts != 0)
            return hosts;
        return Instance_Provider_Frame::enumIndexes<Model>(
            Resource::HOST_TABLE_SIZE, handler,
            [&](int slot, Model*& instance) { return resource.createInstance(instance, Resource::ID_TYPE_ISCSI, slot); });
    }
};

}  // namespace

VELDARO_StorageHardwareID_Provider::VELDARO_StorageHardwareID_Provider() {}

VELDARO_StorageHardwareID_Provider::~VELDARO_StorageHardwareID_Provider() {}

Get_Instance_Status VELDARO_StorageHardwareID_Provider::get_instance(const VELDARO_StorageHardwareID* model,
                                                                     VELDARO_StorageHardwareID*& instance)
{
    return Instance_Provider_Frame::indexedGet<Storage_Hardware_ID_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageHardwareID_Provider::enum_instances(
    const VELDARO_StorageHardwareID* model, Enum_Instances_Handler<VELDARO_StorageHardwareID>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Storage_Hardware_ID_Frame>(model, handler);
}

}  // namespace cimple
