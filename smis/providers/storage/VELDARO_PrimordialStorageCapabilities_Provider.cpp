// Primordial storage capabilities: a list pair, and CreateSetting, which
// hands out the catalogue setting that matches the capabilities' redundancy
// (a RAID1+0 one first, then one of any RAID group level), or else a new
// RAID1+0 setting made for the request.

#include "VELDARO_PrimordialStorageCapabilities_Provider.h"

#include "CommonBase.h"
#include "Create_Setting_Result.h"
#include "Element_List_Traits.h"
#include "SMISMethodCom.h"
#include "SMIS_TraceLog.h"
#include "Storage_Setting_Goal.h"
#include "VELDARO_PrimordialStorageCapabilities_Resource.h"
#include "VELDARO_RAIDStorageCapabilities_Resource.h"
#include "VELDARO_StorageSetting_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_PrimordialStorageCapabilities, VELDARO_PrimordialStorageCapabilities_Resource,
                                  &VELDARO_PrimordialStorageCapabilities_Resource::createPrimordialStorageCapabilities>;

// The level of the setting made when the catalogue has none that matches.
constexpr std::uint8_t NEW_SETTING_LEVEL = 12;

// A clone of the first catalogue setting that matches the goal: RAID1+0
// settings first, then settings of any RAID group level. NULL when none
// matches; error is 4 when the catalogue or the RAID capabilities cannot be
// built, 0x8030 on an exception.
VELDARO_StorageSetting* getStorageSetting(const String& storage, const Storage_Setting_Goal& goal, int& error)
{
    static const char FN[] = "VELDARO_PrimordialStorageCapabilities_Provider::getStorageSetting";
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s start", FN);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getStorageSetting Start");
    error = 0;
    try {
        VELDARO_StorageSetting_Resource settings(storage);
        if (settings.createStorageSetting() == Instance_Provider_Frame::BUILD_ERROR) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Abnormalities occur in acquisition of the instance of CIM_StorageSetting");
            error = 4;
            return nullptr;
        }
        const Array<VELDARO_StorageSetting*>& list = settings.list();
        if (list.size() == 0)
            return nullptr;
        VELDARO_RAIDStorageCapabilities_Resource raid(storage);
        if (raid.createRAIDStorageCapabilities() == Instance_Provider_Frame::BUILD_ERROR) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                   "Abnormalities occur in acquisition of the instance of RAIDStorageCapabilities");
            error = 4;
            return nullptr;
        }
        const String preferred = VELDARO_ValueConv::convRaidLevelToString(NEW_SETTING_LEVEL);
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i]->RaidLevel.value == preferred && goal.matches(*list[i])) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                       "getStorageSetting End PrimodialStorageCapabilities pattern");
                SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
                return list[i]->clone();
            }
        }
        const Array<VELDARO_RAIDStorageCapabilities*>& levels = raid.list();
        for (size_t i = 0; i < list.size(); ++i) {
            for (size_t k = 0; k < levels.size(); ++k) {
                if (list[i]->RaidLevel.value == levels[k]->RaidLevel.value && goal.matches(*list[i])) {
                    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                           "getStorageSetting End RAIDStorageCapabilities pattern");
                    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
                    return list[i]->clone();
                }
            }
        }
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getStorageSetting End");
    } catch (...) {
        error = static_cast<int>(SMISMethodCom::METHOD_FAILED);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Abnormalities occur in getStorageSetting");
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
    return nullptr;
}

// A new RAID1+0 setting with the goal's values; no table holds it.
VELDARO_StorageSetting* createStorageSetting(const String& storage, const Storage_Setting_Goal& goal)
{
    static const char FN[] = "VELDARO_PrimordialStorageCapabilities_Provider::createStorageSetting";
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s start", FN);
    VELDARO_StorageSetting* made = nullptr;
    try {
        made = Instance_Provider_Frame::newInstance<VELDARO_StorageSetting>();
        const String name = VELDARO_ValueConv::convRaidLevelToString(NEW_SETTING_LEVEL);
        made->InstanceID.set(concat("VELDARO:SS_", name, "_", storage));
        const String caption = concat(name, "(Setting)");
        made->Caption.set(caption);
        made->Description.set(caption);
        made->ElementName.set(name);
        made->NoSinglePointOfFailure.set(VELDARO_ValueConv::convRaidLevelToNoSinglePoint(NEW_SETTING_LEVEL) != 0);
        goal.apply(*made);
        made->ChangeableType.set(0);
    } catch (...) {
        if (made)
            destroy(made);
        made = nullptr;
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Abnormalities occur in createStorageSetting");
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
    return made;
}

}  // namespace

VELDARO_PrimordialStorageCapabilities_Provider::VELDARO_PrimordialStorageCapabilities_Provider() {}

VELDARO_PrimordialStorageCapabilities_Provider::~VELDARO_PrimordialStorageCapabilities_Provider() {}

Get_Instance_Status VELDARO_PrimordialStorageCapabilities_Provider::get_instance(
    const VELDARO_PrimordialStorageCapabilities* model, VELDARO_PrimordialStorageCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PrimordialStorageCapabilities_Provider::enum_instances(
    const VELDARO_PrimordialStorageCapabilities* model,
    Enum_Instances_Handler<VELDARO_PrimordialStorageCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_PrimordialStorageCapabilities_Provider::CreateSetting(
    const VELDARO_PrimordialStorageCapabilities* self, const Property<uint16>& SettingType,
    CIM_StorageSetting*& NewSetting, Property<uint32>& return_value)
{
    static const char FN[] = "VELDARO_PrimordialStorageCapabilities_Provider::CreateSetting";
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s start", FN);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "CreateSetting Start");
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

        Storage_Setting_Goal goal;
        {
            VELDARO_PrimordialStorageCapabilities_Resource caps(storage);
            if (caps.createPrimordialStorageCapabilities() != Instance_Provider_Frame::BUILD_OK ||
                caps.list().size() == 0) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                                       "Acquisition of the instance of PrimordialStorageCapabilities goes wrong");
                handOutEmptySetting(NewSetting);
                return_value.set(4);
                return INVOKE_METHOD_OK;
            }
            if (SettingType.null || !goal.fill(*caps.list()[0], SettingType.value)) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter error(CreateSetting)");
                handOutEmptySetting(NewSetting);
                return_value.set(5);
                return INVOKE_METHOD_OK;
            }
        }

        int error = 0;
        if (VELDARO_StorageSetting* found = getStorageSetting(storage, goal, error)) {
            handOutSetting(NewSetting, found);
            return_value.set(0);
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "CreateSetting End");
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s end", FN);
            return INVOKE_METHOD_OK;
        }
        if (error != 0) {
            handOutEmptySetting(NewSetting);
            return_value.set(static_cast<uint32>(error));
            return INVOKE_METHOD_OK;
        }
        if (VELDARO_StorageSetting* made = createStorageSetting(storage, goal)) {
            handOutSetting(NewSetting, made);
            return_value.set(0);
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "CreateSetting(create) End");
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
