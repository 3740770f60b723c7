// Drive enclosures: an indexed pair over the drive enclosure table.

#include "VELDARO_DeviceEnclosure_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_DeviceEnclosure_Resource.h"

namespace cimple {

namespace {

struct Device_Enclosure_Frame {
    using Model = VELDARO_DeviceEnclosure;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->Tag, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint8_t de = 0;
        if (!VELDARO_DeviceEnclosure_Resource::divide_Tag(model->Tag.value.c_str(), &de))
            return 1;
        const int index = table.searchDeIdFromDETable(de);
        if (index < 0)
            return 1;
        return VELDARO_DeviceEnclosure_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_DeviceEnclosure_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_DeviceEnclosure_Resource::DE_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_DeviceEnclosure_Provider::VELDARO_DeviceEnclosure_Provider() {}

VELDARO_DeviceEnclosure_Provider::~VELDARO_DeviceEnclosure_Provider() {}

Get_Instance_Status VELDARO_DeviceEnclosure_Provider::get_instance(const VELDARO_DeviceEnclosure* model,
                                                                   VELDARO_DeviceEnclosure*& instance)
{
    return Instance_Provider_Frame::indexedGet<Device_Enclosure_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DeviceEnclosure_Provider::enum_instances(
    const VELDARO_DeviceEnclosure* model, Enum_Instances_Handler<VELDARO_DeviceEnclosure>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Device_Enclosure_Frame>(model, handler);
}

}  // namespace cimple
