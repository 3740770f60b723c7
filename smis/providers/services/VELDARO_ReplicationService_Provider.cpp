// The replication service: a list pair, one instance per array, and the
// methods that create copies (CreateElementReplica), control them
// (ModifyReplicaSynchronization, ModifyListSynchronization) and list them
// (GetReplicationRelationships). The address of the running call lives on
// the method's stack, so overlapping calls do not disturb each other.

#include "VELDARO_ReplicationService_Provider.h"

#include "Element_List_Traits.h"
#include "Element_Replica_Creation.h"
#include "SMIS_MethodLock.h"
#include "Instance_Provider_Frame.h"
#include "Replica_Synchronization_Control.h"
#include "Replication_Log.h"
#include "Replication_Relationship_Query.h"
#include "SMISMethodCom.h"
#include "VELDARO_ReplicationService_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ReplicationService, VELDARO_ReplicationService_Resource,
                                  &VELDARO_ReplicationService_Resource::createReplicationService>;

String storageOf(const VELDARO_ReplicationService* self)
{
    return self && !self->SystemName.null ? self->SystemName.value : String();
}

Replica_Synchronization_Control::Request controlRequest(const Property<uint16>& operation,
                                                        const SNIA_ReplicationSettingData* setting,
                                                        const Property<boolean>& force,
                                                        const Property<uint16>& waitForCopyState)
{
    Replica_Synchronization_Control::Request request;
    request.operation = operation;
    request.setting = setting;
    request.force = force;
    request.waitForCopyState = waitForCopyState;
    return request;
}

}  // namespace

VELDARO_ReplicationService_Provider::VELDARO_ReplicationService_Provider() {}

VELDARO_ReplicationService_Provider::~VELDARO_ReplicationService_Provider() {}

Get_Instance_Status VELDARO_ReplicationService_Provider::get_instance(const VELDARO_ReplicationService* model,
                                                                      VELDARO_ReplicationService*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ReplicationService_Provider::enum_instances(
    const VELDARO_ReplicationService* model, Enum_Instances_Handler<VELDARO_ReplicationService>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_ReplicationService_Provider::CreateElementReplica(
    const VELDARO_ReplicationService* self, const Property<String>&, const Property<uint16>& SyncType,
    const Property<uint16>& Mode, const CIM_LogicalElement* SourceElement, const CIM_ServiceAccessPoint* SourceAccessPoint,
    CIM_LogicalElement*& TargetElement, const CIM_ServiceAccessPoint* TargetAccessPoint,
    const SNIA_ReplicationSettingData* ReplicationSettingData, CIM_ConcreteJob*&, SNIA_Synchronized*& Synchronization,
    const CIM_SettingData*, const CIM_ResourcePool*, const Property<uint16>& WaitForCopyState,
    Property<uint32>& return_value)
{
    Element_Replica_Creation::Request request;
    request.syncType = SyncType;
    request.mode = Mode;
    request.sourceElement = SourceElement;
    request.sourceAccessPoint = SourceAccessPoint;
    request.targetElement = TargetElement;
    request.targetAccessPoint = TargetAccessPoint;
    request.setting = ReplicationSettingData;
    request.waitForCopyState = WaitForCopyState;
    try {
        SNIA_Synchronized* made = nullptr;
        return_value.set(Element_Replica_Creation(storageOf(self)).run(request, made));
        if (made)
            Synchronization = made;
    } catch (const SMIS_MethodLockBusy&) {
        return_value.set(SMIS_MethodLock::BUSY);
    } catch (...) {
        Replication_Log::failure(__FILE__, __LINE__, "CreateElementReplica: Exception occurred");
        return_value.set(4);
    }
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_ReplicationService_Provider::ModifyReplicaSynchronization(
    const VELDARO_ReplicationService* self, const Property<uint16>& Operation, const SNIA_Synchronized* Synchronization,
    const SNIA_ReplicationSettingData* ReplicationSettingData, const Array<SNIA_StorageSynchronized*>&,
    CIM_ConcreteJob*&, CIM_SettingsDefineState*&, const Property<boolean>& Force,
    const Property<uint16>& WaitForCopyState, Property<uint32>& return_value)
{
    const auto request = controlRequest(Operation, ReplicationSettingData, Force, WaitForCopyState);
    return_value.set(Replica_Synchronization_Control(storageOf(self)).modifyOne(request, Synchronization));
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_ReplicationService_Provider::ModifyListSynchronization(
    const VELDARO_ReplicationService* self, const Property<uint16>& Operation,
    const Array<SNIA_Synchronized*>& Synchronization, const SNIA_ReplicationSettingData* ReplicationSettingData,
    CIM_ConcreteJob*&, Array<CIM_SettingsDefineState*>&, const Property<boolean>& Force,
    const Property<uint16>& WaitForCopyState, Property<uint32>& return_value)
{
    const auto request = controlRequest(Operation, ReplicationSettingData, Force, WaitForCopyState);
    return_value.set(Replica_Synchronization_Control(storageOf(self)).modifyList(request, Synchronization));
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_ReplicationService_Provider::GetReplicationRelationships(
    const VELDARO_ReplicationService* self, const Property<uint16>& Type, const Property<uint16>& SyncType,
    const Property<uint16>& Mode, const Property<uint16>& Locality, const Property<uint16>& CopyState,
    CIM_ConcreteJob*&, Array<SNIA_Synchronized*>& Synchronizations, Property<uint32>& return_value)
{
    Replication_Relationship_Query::Filter filter;
    filter.type = Type;
    filter.syncType = SyncType;
    filter.mode = Mode;
    filter.locality = Locality;
    filter.copyState = CopyState;
    Array<SNIA_Synchronized*> found;
    const std::uint32_t rc = Replication_Relationship_Query(storageOf(self)).run(filter, found);
    return_value.set(rc);
    if (rc == 0)
        Synchronizations = found;
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
