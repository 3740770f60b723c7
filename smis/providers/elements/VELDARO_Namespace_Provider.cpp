// The namespace of the array classes: a fixed set of one instance.

#include "VELDARO_Namespace_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_Namespace_Resource.h"

namespace cimple {

namespace {

using Frame = Element_Locked_List_Traits<VELDARO_Namespace, VELDARO_Namespace_Resource, &VELDARO_Namespace_Resource::createNamespace>;

}  // namespace

VELDARO_Namespace_Provider::VELDARO_Namespace_Provider() {}

VELDARO_Namespace_Provider::~VELDARO_Namespace_Provider() {}

Get_Instance_Status VELDARO_Namespace_Provider::get_instance(const VELDARO_Namespace* model, VELDARO_Namespace*& instance)
{
    return Instance_Provider_Frame::lockedListGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_Namespace_Provider::enum_instances(const VELDARO_Namespace* model, Enum_Instances_Handler<VELDARO_Namespace>* handler)
{
    return Instance_Provider_Frame::lockedListEnum<Frame>(model, handler);
}

}  // namespace cimple
