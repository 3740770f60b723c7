// Thin provisioning pool capabilities: a list pair, and CreateSetting, which
// hands out the thin provisioning setting of the catalogue with the
// capabilities' RAID level. SettingType 2 and 3 give the same setting; no new
// setting is ever made.

#include "VELDARO_ThinProvisioningCapabilities_Provider.h"

#include "CommonBase.h"
#include "Create_Setting_Result.h"
#include "Element_List_Traits.h"
#include "SMISMethodCom.h"
#include "SMIS_TraceLog.h"
#include "Storage_Setting_Goal.h"
#include "VELDARO_StorageSetting_Resource.h"
#include "VELDARO_ThinProvisioningCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ThinProvisioningCapabilities, VELDARO_ThinProvisioningCapabilities_Resource,
                                  &VELDARO_ThinProvisioningCapabilities_Resource::createThinProvisioningCapabilities>;

// The method's result: return value, and the setting handed out (or none).
uint32 createSetting(const VELDARO_ThinProvisioningCapabilities& self, const String& storage, uint16 settingType,
                     CIM_StorageSetting*& newSetting)
{
    if (settingType != Storage_Setting_Goal::DEFAULT_SETTING && settingType != Storage_Setting_Goal::GOAL_SETTING) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid SettingType");
        return 5;
    }
    String raidLevel;
    bool found = false;
    {
        VELDARO_ThinProvisioningCapabilities_Resource caps(storage);
        if (caps.createThinProvisioningCapabilities() == Instance_Provider_Frame::BUILD_OK)
            for (size_t i = 0; i < caps.list().size() && !found; ++i)
                if (caps.list()[i]->InstanceID.value == self.InstanceID.value) {
                    raidLevel = caps.list()[i]->RaidLevel.value;
                    found = true;
                }
    }
    if (!found) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid Self-Instance");
        return 4;
    }
    try {
        VELDARO_StorageSetting_Resource settings(storage);
        if (settings.createStorageSetting() == Instance_Provider_Frame::BUILD_ERROR || settings.list().size() == 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "StorageSetting is not exist");
            return 4;
        }
        const Array<VELDARO_StorageSetting*>& list = settings.list();
        for (size_t i = 0; i < list.size(); ++i) {
            const VELDARO_StorageSetting& s = *list[i];
            if (!s.ThinProvisionedPoolType.null &&
                s.ThinProvisionedPoolType.value == VELDARO_StorageSetting_Resource::THIN_POOL_TYPE &&
                s.RaidLevel.value == raidLevel) {
                handOutSetting(newSetting, list[i]->clone());
                break;
            }
        }
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "The exception occurred(ThinProvisioningCapabilities)");
        return SMISMethodCom::METHOD_FAILED;
    }
    return 0;
}

}  // namespace

VELDARO_ThinProvisioningCapabilities_Provider::VELDARO_ThinProvisioningCapabilities_Provider() {}

VELDARO_ThinProvisioningCapabilities_Provider::~VELDARO_ThinProvisioningCapabilities_Provider() {}

Get_Instance_Status VELDARO_ThinProvisioningCapabilities_Provider::get_instance(
    const VELDARO_ThinProvisioningCapabilities* model, VELDARO_ThinProvisioningCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ThinProvisioningCapabilities_Provider::enum_instances(
    const VELDARO_ThinProvisioningCapabilities* model,
    Enum_Instances_Handler<VELDARO_ThinProvisioningCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_ThinProvisioningCapabilities_Provider::CreateSetting(
    const VELDARO_ThinProvisioningCapabilities* self, const Property<uint16>& SettingType,
    CIM_StorageSetting*& NewSetting, Property<uint32>& return_value)
{
    // A missing SettingType is no valid type: it ends as an invalid one.
    const uint16 settingType = SettingType.null ? 0 : SettingType.value;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "CreateSetting(ThinProvisioningCapabilities) start SettingType=0x%04x", settingType);
    try {
        // The storage address is a local of the call: several requests may
        // share this provider object.
        String storage;
        if (!self || self->InstanceID.null || !CommonBase::get_storage_ip(&self->InstanceID.value, &storage)) {
            return_value.set(SMISMethodCom::METHOD_FAILED);
            return INVOKE_METHOD_OK;
        }
        const std::uint32_t first = SMISMethodCom::mcFirstCommonProcess(0, nullptr);
        if (first != 0) {
            handOutEmptySetting(NewSetting);
            return_value.set(first);
            return INVOKE_METHOD_OK;
        }
        return_value.set(createSetting(*self, storage, settingType, NewSetting));
    } catch (...) {
        Instance_Provider_Frame::logProviderFailure(__FILE__, __LINE__);
        return_value.set(SMISMethodCom::METHOD_FAILED);
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "0x%08x=CreateSetting(ThinProvisioningCapabilities) end", return_value.value);
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
