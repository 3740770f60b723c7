// Locations: a list pair, one instance per array.

#include "VELDARO_Location_Provider.h"

#include <memory>

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "String_Ops.h"
#include "VELDARO_Location_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_Location, VELDARO_Location_Resource, &VELDARO_Location_Resource::createLocation>;

}  // namespace

VELDARO_Location_Provider::VELDARO_Location_Provider() {}

VELDARO_Location_Provider::~VELDARO_Location_Provider() {}

Get_Instance_Status VELDARO_Location_Provider::get_instance(const VELDARO_Location* model, VELDARO_Location*& instance)
{
    // A name with the position's trailing blanks (as served before they were
    // left out) finds the instance as well.
    if (!model || model->PhysicalPosition.null)
        return Instance_Provider_Frame::listGet<Frame>(model, instance);
    std::unique_ptr<VELDARO_Location, void (*)(VELDARO_Location*)> trimmed(
        static_cast<VELDARO_Location*>(clone(model)), [](VELDARO_Location* l) { destroy(l); });
    if (!trimmed)
        return GET_INSTANCE_NOT_FOUND;
    trimmed->PhysicalPosition.value = without_trailing_space(model->PhysicalPosition.value.c_str());
    return Instance_Provider_Frame::listGet<Frame>(trimmed.get(), instance);
}

Enum_Instances_Status VELDARO_Location_Provider::enum_instances(const VELDARO_Location* model, Enum_Instances_Handler<VELDARO_Location>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
