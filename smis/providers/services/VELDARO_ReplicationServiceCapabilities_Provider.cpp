// Replication service capabilities: a list pair, and the capability queries
// of the class. The answers are fixed; only the maximum volume count and
// the default setting come from the array named by the target's key.

#include "VELDARO_ReplicationServiceCapabilities_Provider.h"

#include <initializer_list>

#include "CommonBase.h"
#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "Replication_Types.h"
#include "SMISMethodCom.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ReplicationServiceCapabilities_Resource.h"
#include "VELDARO_ReplicationSettingData_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ReplicationServiceCapabilities,
                                  VELDARO_ReplicationServiceCapabilities_Resource,
                                  &VELDARO_ReplicationServiceCapabilities_Resource::createReplicationServiceCapabilities>;

namespace RT = Replication_Types;

constexpr uint32 SUCCESS = 0;
constexpr uint32 FAILED = 4;
constexpr uint32 INVALID_PARAMETER = 5;

Array<uint16> list16(std::initializer_list<uint16> values)
{
    Array<uint16> out;
    for (uint16 v : values)
        out.append(v);
    return out;
}

bool isMirror(uint16 type)
{
    return type == RT::RT_LOCAL_MIRROR || type == RT::RT_REMOTE_MIRROR;
}

bool isSnapshot(uint16 type)
{
    return type == RT::RT_LOCAL_SNAPSHOT || type == RT::RT_VENDOR_SNAPSHOT;
}

// The operations ModifyReplicaSynchronization accepts for a ReplicationType;
// false for a type without operations.
bool operationsOf(const Property<uint16>& type, Array<uint16>& out)
{
    if (type.null)
        return false;
    if (isMirror(type.value))
        out = list16({8, 12, 14, 15, 20});
    else if (isSnapshot(type.value))
        out = list16({15, 19});
    else
        return false;
    return true;
}

// The array named by the text after the last "_" of the target's
// InstanceID; only a configured array is accepted.
bool storageOf(const VELDARO_ReplicationServiceCapabilities* self, String& storage)
{
    return self && !self->InstanceID.null && CommonBase::get_storage_ip(&self->InstanceID.value, &storage) &&
           Instance_Provider_Frame::isConfiguredStorage(storage);
}

// The pre-check every query but GetSupportedMaximum runs; true to go on.
bool firstCheck(Property<uint32>& return_value)
{
    const uint32 first = SMISMethodCom::mcFirstCommonProcess(0, nullptr);
    if (first == 0)
        return true;
    return_value.set(first);
    return false;
}

// Runs a method body, turning any exception into 0x8030.
template <class Body>
Invoke_Method_Status guarded(Property<uint32>& return_value, Body body)
{
    try {
        body();
    } catch (...) {
        Instance_Provider_Frame::logProviderFailure(__FILE__, __LINE__);
        return_value.set(SMISMethodCom::METHOD_FAILED);
    }
    return INVOKE_METHOD_OK;
}

}  // namespace

VELDARO_ReplicationServiceCapabilities_Provider::VELDARO_ReplicationServiceCapabilities_Provider() {}

VELDARO_ReplicationServiceCapabilities_Provider::~VELDARO_ReplicationServiceCapabilities_Provider() {}

Get_Instance_Status VELDARO_ReplicationServiceCapabilities_Provider::get_instance(
    const VELDARO_ReplicationServiceCapabilities* model, VELDARO_ReplicationServiceCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ReplicationServiceCapabilities_Provider::enum_instances(
    const VELDARO_ReplicationServiceCapabilities* model,
    Enum_Instances_Handler<VELDARO_ReplicationServiceCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::ConvertSyncTypeToReplicationType(
    const VELDARO_ReplicationServiceCapabilities*, const Property<uint16>& SyncType, const Property<uint16>& Mode,
    const Property<uint16>& LocalOrRemote, Property<uint16>& SupportedReplicationTypes, Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        if (!firstCheck(return_value))
            return;
        const RT::Replication_Type_Row* row = nullptr;
        if (!SyncType.null && !Mode.null && !LocalOrRemote.null)
            row = RT::findBySyncType(SyncType.value, Mode.value, LocalOrRemote.value);
        if (!row) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        SupportedReplicationTypes.set(row->replicationType);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::ConvertReplicationTypeToSyncType(
    const VELDARO_ReplicationServiceCapabilities*, const Property<uint16>& ReplicationType, Property<uint16>& SyncType,
    Property<uint16>& Mode, Property<uint16>& LocalOrRemote, Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        if (!firstCheck(return_value))
            return;
        const RT::Replication_Type_Row* row =
            ReplicationType.null ? nullptr : RT::findByReplicationType(ReplicationType.value);
        if (!row) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        SyncType.set(row->syncType);
        Mode.set(row->mode);
        LocalOrRemote.set(row->localOrRemote);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::GetSupportedCopyStates(
    const VELDARO_ReplicationServiceCapabilities*, const Property<uint16>& ReplicationType,
    Property<Array<uint16>>& SupportedCopyStates, Property<Array<boolean>>& HostAccessible,
    Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        if (!firstCheck(return_value))
            return;
        struct State {
            uint16 state;
            boolean accessible;
        };
        static const State MIRROR[] = {{2, false}, {3, false}, {4, false}, {5, false}, {6, true}, {12, false}};
        static const State SNAPSHOT[] = {{2, false}, {5, false}, {8, true}, {11, false}};
        const State* begin = nullptr;
        size_t count = 0;
        if (!ReplicationType.null && ReplicationType.value == RT::RT_LOCAL_MIRROR) {
            begin = MIRROR;
            count = 5;
        } else if (!ReplicationType.null && ReplicationType.value == RT::RT_REMOTE_MIRROR) {
            begin = MIRROR;
            count = 6;
        } else if (!ReplicationType.null && isSnapshot(ReplicationType.value)) {
            begin = SNAPSHOT;
            count = 4;
        } else {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        Array<uint16> copyStates;
        Array<boolean> accessible;
        for (size_t i = 0; i < count; ++i) {
            copyStates.append(begin[i].state);
            accessible.append(begin[i].accessible);
        }
        SupportedCopyStates.set(copyStates);
        HostAccessible.set(accessible);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::GetSupportedWaitForCopyStates(
    const VELDARO_ReplicationServiceCapabilities*, const Property<uint16>& ReplicationType,
    const Property<uint16>& MethodName, Property<Array<uint16>>& SupportedCopyStates, Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        if (!firstCheck(return_value))
            return;
        Array<uint16> states;
        if (!ReplicationType.null && !MethodName.null) {
            const uint16 type = ReplicationType.value;
            if (MethodName.value == 2) {
                if (isMirror(type))
                    states = list16({2, 4});
                else if (isSnapshot(type))
                    states = list16({2});
            } else if (MethodName.value == 4 || MethodName.value == 5) {
                if (isMirror(type))
                    states = list16({3, 4, 6, 15});
                else if (isSnapshot(type))
                    states = list16({8, 15});
            }
        }
        if (states.size() == 0) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        SupportedCopyStates.set(states);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::GetSupportedFeatures(
    const VELDARO_ReplicationServiceCapabilities*, const Property<uint16>& ReplicationType,
    Property<Array<uint16>>& Features, Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        if (!firstCheck(return_value))
            return;
        Array<uint16> features;
        if (ReplicationType.null)
            ;
        else if (ReplicationType.value == RT::RT_LOCAL_MIRROR)
            features = list16({7, 16, 19, 21});
        else if (ReplicationType.value == RT::RT_REMOTE_MIRROR)
            features = list16({3, 6, 7, 16, 17, 19, 21});
        else if (isSnapshot(ReplicationType.value))
            features = list16({8, 9, 12, 16});
        if (features.size() == 0) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        Features.set(features);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::GetSupportedOperations(
    const VELDARO_ReplicationServiceCapabilities*, const Property<uint16>& ReplicationType,
    Property<Array<uint16>>& SupportedOperations, Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        if (!firstCheck(return_value))
            return;
        Array<uint16> operations;
        if (!operationsOf(ReplicationType, operations)) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        SupportedOperations.set(operations);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::GetSupportedListOperations(
    const VELDARO_ReplicationServiceCapabilities*, const Property<uint16>& ReplicationType,
    const Property<uint16>& SynchronizationType, Property<Array<uint16>>& SupportedListOperations,
    Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        // Lists of pairs only (SynchronizationType 2); checked before the array.
        if (!SynchronizationType.null && SynchronizationType.value != 2) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        if (!firstCheck(return_value))
            return;
        Array<uint16> operations;
        if (!operationsOf(ReplicationType, operations)) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        SupportedListOperations.set(operations);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::GetSupportedMaximum(
    const VELDARO_ReplicationServiceCapabilities* self, const Property<uint16>& ReplicationType,
    const Property<uint16>& Component, Property<uint64>& MaxValue, Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        String storage;
        if (!storageOf(self, storage)) {
            return_value.set(SMISMethodCom::METHOD_FAILED);
            return;
        }
        VELDARO_RefTable table(storage.c_str());
        const uint32 first = SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table);
        if (first != 0) {
            return_value.set(first);
            return;
        }
        if (Component.null || ReplicationType.null || !RT::isSupported(ReplicationType.value)) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        uint64 maximum = 0;
        switch (Component.value) {
        case 5:
            maximum = 32;
            break;
        case 6:
        case 7:
            maximum = table.getOLUMaxCount();
            break;
        case 8:
            if (ReplicationType.value != RT::RT_REMOTE_MIRROR) {
                return_value.set(INVALID_PARAMETER);
                return;
            }
            maximum = 16;
            break;
        case 9:
            maximum = 1;
            break;
        default:
            return_value.set(INVALID_PARAMETER);
            return;
        }
        MaxValue.set(maximum);
        return_value.set(SUCCESS);
    });
}

Invoke_Method_Status VELDARO_ReplicationServiceCapabilities_Provider::GetDefaultReplicationSettingData(
    const VELDARO_ReplicationServiceCapabilities* self, const Property<uint16>& ReplicationType,
    Instance*& DefaultInstance, Property<uint32>& return_value)
{
    return guarded(return_value, [&] {
        String storage;
        if (!storageOf(self, storage)) {
            return_value.set(SMISMethodCom::METHOD_FAILED);
            return;
        }
        if (!firstCheck(return_value))
            return;
        if (ReplicationType.null || !RT::isSupported(ReplicationType.value)) {
            return_value.set(INVALID_PARAMETER);
            return;
        }
        VELDARO_ReplicationSettingData_Resource settings(storage);
        if (settings.createReplicationSettingData() != Instance_Provider_Frame::BUILD_OK) {
            return_value.set(FAILED);
            return;
        }
        const uint32 wanted = RT::defaultCopyType(ReplicationType.value);
        for (size_t i = 0; i < settings.list().size(); ++i) {
            const VELDARO_ReplicationSettingData* s = settings.list()[i];
            if (s->CopyTypeID.null || s->CopyTypeID.value != wanted)
                continue;
            VELDARO_ReplicationSettingData* copy = s->clone();
            if (!copy)
                break;
            if (DefaultInstance)
                destroy(DefaultInstance);
            DefaultInstance = copy;
            return_value.set(SUCCESS);
            return;
        }
        return_value.set(FAILED);
    });
}

}  // namespace cimple
