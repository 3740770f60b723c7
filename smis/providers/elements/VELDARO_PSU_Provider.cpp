// Power supply units: an indexed pair over two tables, the controller
// enclosure's units first, then the drive enclosures' units.

#include "VELDARO_PSU_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_PSU_Resource.h"

namespace cimple {

namespace {

struct PSU_Frame {
    using Model = VELDARO_PSU;
    using R = VELDARO_PSU_Resource;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->Tag, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint8_t kind = 0, de = 0, number = 0;
        if (!R::divide_Tag(model->Tag.value.c_str(), &kind, &de, &number))
            return 1;
        const int index =
            kind == R::CE_PSU ? table.searchPSUNoFromCPSUTable(number) : table.searchDeIdAndPSUNoFromDPSUTable(de, number);
        if (index < 0)
            return 1;
        return R(address).createInstance(instance, kind, index);
    }

    static int enumAll(const String& address, const VELDARO_RefTable&, Enum_Instances_Handler<Model>* handler)
    {
        R resource(address);
        for (const std::uint8_t kind : {R::CE_PSU, R::DE_PSU}) {
            const int count = kind == R::CE_PSU ? R::CE_PSU_TABLE_SIZE : R::DE_PSU_TABLE_SIZE;
            const int result = Instance_Provider_Frame::enumIndexes<Model>(
                count, handler, [&](int i, Model*& instance) { return resource.createInstance(instance, kind, i); });
            if (result != 0)
                return result;
        }
        return 0;
    }
};

}  // namespace

VELDARO_PSU_Provider::VELDARO_PSU_Provider() {}

VELDARO_PSU_Provider::~VELDARO_PSU_Provider() {}

Get_Instance_Status VELDARO_PSU_Provider::get_instance(const VELDARO_PSU* model, VELDARO_PSU*& instance)
{
    return Instance_Provider_Frame::indexedGet<PSU_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PSU_Provider::enum_instances(const VELDARO_PSU* model,
                                                           Enum_Instances_Handler<VELDARO_PSU>* handler)
{
    return Instance_Provider_Frame::indexedEnum<PSU_Frame>(model, handler);
}

}  // namespace cimple
