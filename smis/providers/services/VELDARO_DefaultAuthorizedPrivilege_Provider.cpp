// Default privileges: a list pair, one instance per port in default view.

#include "VELDARO_DefaultAuthorizedPrivilege_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_DefaultAuthorizedPrivilege_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_DefaultAuthorizedPrivilege, VELDARO_DefaultAuthorizedPrivilege_Resource, &VELDARO_DefaultAuthorizedPrivilege_Resource::createDefaultAuthorizedPrivilege>;

}  // namespace

VELDARO_DefaultAuthorizedPrivilege_Provider::VELDARO_DefaultAuthorizedPrivilege_Provider() {}

VELDARO_DefaultAuthorizedPrivilege_Provider::~VELDARO_DefaultAuthorizedPrivilege_Provider() {}

Get_Instance_Status VELDARO_DefaultAuthorizedPrivilege_Provider::get_instance(const VELDARO_DefaultAuthorizedPrivilege* model, VELDARO_DefaultAuthorizedPrivilege*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DefaultAuthorizedPrivilege_Provider::enum_instances(const VELDARO_DefaultAuthorizedPrivilege* model,
                                                           Enum_Instances_Handler<VELDARO_DefaultAuthorizedPrivilege>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
