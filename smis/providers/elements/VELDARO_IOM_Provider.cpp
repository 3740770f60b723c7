// I/O modules of the drive enclosures: an indexed pair over the I/O module
// table.

#include "VELDARO_IOM_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_IOM_Resource.h"

namespace cimple {

namespace {

struct IOM_Frame {
    using Model = VELDARO_IOM;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->Tag, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint8_t io = 0, de = 0;
        if (!VELDARO_IOM_Resource::divide_Tag(model->Tag.value.c_str(), &io, &de))
            return 1;
        const int index = table.searchDeIdAndEXPNoFromEXPTable(de, io);
        if (index < 0)
            return 1;
        return VELDARO_IOM_Resource(address).createInstance(instance, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_IOM_Resource resource(address);
        return Instance_Provider_Frame::enumIndexes<Model>(
            VELDARO_IOM_Resource::EXP_TABLE_SIZE, handler,
            [&](int i, Model*& instance) { return resource.createInstance(instance, i); });
    }
};

}  // namespace

VELDARO_IOM_Provider::VELDARO_IOM_Provider() {}

VELDARO_IOM_Provider::~VELDARO_IOM_Provider() {}

Get_Instance_Status VELDARO_IOM_Provider::get_instance(const VELDARO_IOM* model, VELDARO_IOM*& instance)
{
    return Instance_Provider_Frame::indexedGet<IOM_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_IOM_Provider::enum_instances(const VELDARO_IOM* model,
                                                           Enum_Instances_Handler<VELDARO_IOM>* handler)
{
    return Instance_Provider_Frame::indexedEnum<IOM_Frame>(model, handler);
}

}  // namespace cimple
