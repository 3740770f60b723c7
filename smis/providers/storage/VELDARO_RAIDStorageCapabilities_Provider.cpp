// RAID group capabilities: a list pair, and CreateSetting, which hands out
// the catalogue setting of the capabilities' RAID level that matches its
// redundancy, or else a new setting named after the capabilities.

#include "VELDARO_RAIDStorageCapabilities_Provider.h"

#include "CommonBase.h"
#include "Create_Setting_Result.h"
#include "Element_List_Traits.h"
#include "SMISMethodCom.h"
#include "SMIS_TraceLog.h"
#include "Storage_Setting_Goal.h"
#include "VELDARO_RAIDStorageCapabilities_Resource.h"
#include "VELDARO_StorageSetting_Resource.h"
#include "String_Ops.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_RAIDStorageCapabilities, VELDARO_RAIDStorageCapabilities_Resource,
                                  &VELDARO_RAIDStorageCapabilities_Resource::createRAIDStorageCapabilities>;

// A clone of the first catalogue setting of the capabilities' RAID level
// that matches the goal, or NULL; error is 4 when the catalogue cannot be
// built, 0x8030 on an exception.
VELDARO_StorageSetting* getStorageSetting(const String& storage, const VELDARO_RAIDStorageCapabilities& caps,
                                          const Storage_Setting_Goal& goal, int& error)
{
    static const char FN[] = "VELDARO_RAIDStorageCapabilities_Provider::getStorageSetting";
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s start", FN);
    error = 0;
    VELDARO_StorageSetting* found = nullptr;
    try {
        VELDARO_StorageSetting_Resource settings(storage);
        if (settings.createStorageSetting() == Instance_Provider_Frame::BUILD_ERROR) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Abnormalities occur in acquisition of the instance of CIM_StorageSetting");
            error = 4;
        } else {
            const Array<VELDARO_StorageSetting*>& list = settings.list();
            for (size_t i = 0; i < list.size() && !found; ++i)
                if (list[i]->RaidLevel.value == caps.RaidLevel.value && goal.matches(*list[i]))
                    found = list[i]->clone();
        }
    } catch (...) {
        found = nullptr;
        error = static_cast<int>(SMISMethodCom::METHOD_FAILED);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Abnormalities occur in getStorageSetting");
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
    return found;
}

// The key of a new setting made from the capabilities' key: "RSC" and the
// character after it become "SS_", the address after the last "_" is put
// back; "VELDARO:RSC_RAID5_10.0.0.1" gives "VELDARO:SS_RAID5_10.0.0.1".
// False when the key holds no "RSC" or no "_" after it.
bool settingKeyOf(const String& capsKey, const String& storage, String& key, String& middle)
{
    const size_t code = capsKey.find("RSC");
    if (code == npos || code + 4 > capsKey.size())
        return false;
    const String rest = substring(capsKey, code + 4);
    const size_t last = find_last(rest, '_');
    if (last == npos)
        return false;
    middle = substring(rest, 0, last);
    key = concat(substring(capsKey, 0, code), "SS_", middle, "_", storage);
    return true;
}

// A new setting named after the capabilities with the goal's values; no
// table holds it. NULL when the capabilities' key cannot be read.
VELDARO_StorageSetting* createStorageSetting(const String& storage, const VELDARO_RAIDStorageCapabilities& self,
                                             const Storage_Setting_Goal& goal)
{
    static const char FN[] = "VELDARO_RAIDStorageCapabilities_Provider::createStorageSetting";
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s start", FN);
    String key, middle;
    if (!settingKeyOf(self.InstanceID.value, storage, key, middle)) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Acquisition of InstanceID goes wrong");
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
        return nullptr;
    }
    VELDARO_StorageSetting* made = Instance_Provider_Frame::newInstance<VELDARO_StorageSetting>();
    try {
        made->InstanceID.set(key);
        const String caption = concat(middle, "(Setting)");
        made->Caption.set(caption);
        made->Description.set(caption);
        if (!self.ElementName.null)
            made->ElementName.set(self.ElementName.value);
        if (!self.NoSinglePointOfFailure.null)
            made->NoSinglePointOfFailure.set(self.NoSinglePointOfFailure.value);
        goal.apply(*made);
        made->ChangeableType.set(0);
    } catch (...) {
        destroy(made);
        throw;
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
    return made;
}

}  // namespace

VELDARO_RAIDStorageCapabilities_Provider::VELDARO_RAIDStorageCapabilities_Provider() {}

VELDARO_RAIDStorageCapabilities_Provider::~VELDARO_RAIDStorageCapabilities_Provider() {}

Get_Instance_Status VELDARO_RAIDStorageCapabilities_Provider::get_instance(const VELDARO_RAIDStorageCapabilities* model,
                                                                           VELDARO_RAIDStorageCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RAIDStorageCapabilities_Provider::enum_instances(
    const VELDARO_RAIDStorageCapabilities* model, Enum_Instances_Handler<VELDARO_RAIDStorageCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_RAIDStorageCapabilities_Provider::CreateSetting(
    const VELDARO_RAIDStorageCapabilities* self, const Property<uint16>& SettingType, CIM_StorageSetting*& NewSetting,
    Property<uint32>& return_value)
{
    static const char FN[] = "VELDARO_RAIDStorageCapabilities_Provider::CreateSetting";
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s start", FN);
    try {
        // The storage address is a local of the call: several requests may
        // share this provider object.
        String storage;
        if (!self || self->InstanceID.null || !CommonBase::get_storage_ip(&self->InstanceID.value, &storage)) {
            return_value.set(SMISMethodCom::METHOD_FAILED);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
            return INVOKE_METHOD_OK;
        }
        const std::uint32_t first = SMISMethodCom::mcFirstCommonProcess(0, nullptr);
        if (first != 0) {
            handOutEmptySetting(NewSetting);
            return_value.set(first);
            return INVOKE_METHOD_OK;
        }

        VELDARO_RAIDStorageCapabilities_Resource caps(storage);
        const VELDARO_RAIDStorageCapabilities* target = nullptr;
        if (caps.createRAIDStorageCapabilities() == Instance_Provider_Frame::BUILD_OK)
            for (size_t i = 0; i < caps.list().size() && !target; ++i)
                if (caps.list()[i]->InstanceID.value == self->InstanceID.value)
                    target = caps.list()[i];
        if (!target) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Acquisition of CIM_StorageCapabilities goes wrong");
            handOutEmptySetting(NewSetting);
            return_value.set(4);
            return INVOKE_METHOD_OK;
        }
        Storage_Setting_Goal goal;
        if (SettingType.null || !goal.fill(*target, SettingType.value)) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter error(CreateSetting)");
            handOutEmptySetting(NewSetting);
            return_value.set(5);
            return INVOKE_METHOD_OK;
        }

        int error = 0;
        if (VELDARO_StorageSetting* found = getStorageSetting(storage, *target, goal, error)) {
            handOutSetting(NewSetting, found);
            return_value.set(0);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
            return INVOKE_METHOD_OK;
        }
        if (error != 0) {
            handOutEmptySetting(NewSetting);
            return_value.set(static_cast<uint32>(error));
            return INVOKE_METHOD_OK;
        }
        // The new setting takes the target's names as the method received them.
        if (VELDARO_StorageSetting* made = createStorageSetting(storage, *self, goal)) {
            handOutSetting(NewSetting, made);
            return_value.set(0);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
            return INVOKE_METHOD_OK;
        }
        handOutEmptySetting(NewSetting);
        return_value.set(4);
    } catch (...) {
        Instance_Provider_Frame::logProviderFailure(__FILE__, __LINE__);
        return_value.set(SMISMethodCom::METHOD_FAILED);
    }
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
