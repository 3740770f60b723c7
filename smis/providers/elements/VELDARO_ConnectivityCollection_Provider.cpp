// Remote-copy connectivity collections: a list pair over the remote paths the array reports.

#include "VELDARO_ConnectivityCollection_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_ConnectivityCollection_Resource.h"

namespace cimple {

namespace {

struct ConnectivityCollection_Frame {
    using Model = VELDARO_ConnectivityCollection;
    using Builder = VELDARO_ConnectivityCollection_Resource;
    static int build(Builder& builder) { return builder.createConnectivityCollection(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_ConnectivityCollection_Provider::VELDARO_ConnectivityCollection_Provider() {}

VELDARO_ConnectivityCollection_Provider::~VELDARO_ConnectivityCollection_Provider() {}

Get_Instance_Status VELDARO_ConnectivityCollection_Provider::get_instance(const VELDARO_ConnectivityCollection* model, VELDARO_ConnectivityCollection*& instance)
{
    return Instance_Provider_Frame::listGet<ConnectivityCollection_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ConnectivityCollection_Provider::enum_instances(const VELDARO_ConnectivityCollection* model, Enum_Instances_Handler<VELDARO_ConnectivityCollection>* handler)
{
    return Instance_Provider_Frame::listEnum<ConnectivityCollection_Frame>(model, handler);
}

}  // namespace cimple
