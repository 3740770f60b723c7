// Privilege management services: a list pair, one instance per array.

#include "VELDARO_PrivilegeManagementService_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_PrivilegeManagementService_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_PrivilegeManagementService, VELDARO_PrivilegeManagementService_Resource, &VELDARO_PrivilegeManagementService_Resource::createPrivilegeManagementService>;

}  // namespace

VELDARO_PrivilegeManagementService_Provider::VELDARO_PrivilegeManagementService_Provider() {}

VELDARO_PrivilegeManagementService_Provider::~VELDARO_PrivilegeManagementService_Provider() {}

Get_Instance_Status VELDARO_PrivilegeManagementService_Provider::get_instance(const VELDARO_PrivilegeManagementService* model, VELDARO_PrivilegeManagementService*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PrivilegeManagementService_Provider::enum_instances(const VELDARO_PrivilegeManagementService* model, Enum_Instances_Handler<VELDARO_PrivilegeManagementService>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
