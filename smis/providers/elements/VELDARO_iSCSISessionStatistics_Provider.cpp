// Counters of the live iSCSI sessions: a list pair over the logins the array reports.

#include "VELDARO_iSCSISessionStatistics_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_iSCSISessionStatistics_Resource.h"

namespace cimple {

namespace {

struct iSCSISessionStatistics_Frame {
    using Model = VELDARO_iSCSISessionStatistics;
    using Builder = VELDARO_iSCSISessionStatistics_Resource;
    static int build(Builder& builder) { return builder.createiSCSISessionStatistics(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_iSCSISessionStatistics_Provider::VELDARO_iSCSISessionStatistics_Provider() {}

VELDARO_iSCSISessionStatistics_Provider::~VELDARO_iSCSISessionStatistics_Provider() {}

Get_Instance_Status VELDARO_iSCSISessionStatistics_Provider::get_instance(const VELDARO_iSCSISessionStatistics* model, VELDARO_iSCSISessionStatistics*& instance)
{
    return Instance_Provider_Frame::listGet<iSCSISessionStatistics_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_iSCSISessionStatistics_Provider::enum_instances(const VELDARO_iSCSISessionStatistics* model, Enum_Instances_Handler<VELDARO_iSCSISessionStatistics>* handler)
{
    return Instance_Provider_Frame::listEnum<iSCSISessionStatistics_Frame>(model, handler);
}

}  // namespace cimple
