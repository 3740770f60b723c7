// Managed elements with the settings that describe them: each volume with
// the storage setting of its RAID level (and pool kind), TCP and iSCSI
// endpoints with the iSCSI connection settings of their port, and iSCSI
// endpoints, affinity groups, LUN-mapping controllers and controller
// systems with the iSCSI session settings of their port or controller
// module.

#include "CIM_ElementSettingData_Provider.h"

#include <set>

#include "Association_End.h"
#include "CA_Port_Name.h"
#include "CIM_ElementSettingData.h"
#include "Key_Index.h"
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
#include "Setting_Match.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_StorageSetting_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_TCPProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSIConnectionSettings_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSISessionSettings_Resource.h"
#include "Volume_Level_Index.h"
#include "Instance_Keys.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Setting_Of = CIM_ElementSettingData;

constexpr std::uint16_t NONE = 0xFFFF;
constexpr std::uint8_t LU_THIN = 9;
constexpr std::uint8_t LU_TIERING = 11;

// IsDefault: 1 the default setting, 2 not; IsCurrent: 1 in use.
constexpr std::uint16_t IS_DEFAULT = 1;
constexpr std::uint16_t NOT_DEFAULT = 2;
constexpr std::uint16_t IS_CURRENT = 1;

// A request hands on the end that is not of the source's class, as built.
void relate(Frame& frame, Instance* element, Instance* setting)
{
    frame.emit<Setting_Of>(element, setting, frame.otherEnd(element, setting), false);
}

// ---- volumes and storage settings ----

using Settings = Array<VELDARO_StorageSetting*>;

// The volume of one SLU entry with its setting; false when the volume
// cannot be built.
bool pairVolume(Frame& frame, const VELDARO_RefTable& table, VELDARO_StorageVolume_Resource& volumes,
                const Settings& settings, int slu)
{
    auto volume = Association_End<VELDARO_StorageVolume>::build(volumes, slu);
    if (volume.failed())
        return false;
    if (!volume.built())
        return true;
    const std::uint8_t luType = table.getLuType(slu);
    const VELDARO_StorageSetting* setting =
        Setting_Match::firstFor(settings, *volume, luType == LU_THIN || luType == LU_TIERING);
    if (!setting)
        return true;
    const std::uint16_t isDefault = Setting_Match::isDefaultLevel(volume->RaidLevel) ? IS_DEFAULT : NOT_DEFAULT;
    Instance* v = volume.release();
    Instance* s = clone(setting);
    frame.emit<Setting_Of>(v, s, frame.otherEnd(v, s), false, [&](Setting_Of& a) {
        a.IsDefault.set(isDefault);
        a.IsCurrent.set(IS_CURRENT);
    });
    return true;
}

// Each volume of the SLU range (once, though several SLUs make it) with
// its setting.
bool volumeSettings(Frame& frame, Index_Range slus)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageSetting_Resource settingList(frame.storage());
        if (!buildList(settingList, &VELDARO_StorageSetting_Resource::createStorageSetting))
            return false;
        auto& settings = listedOf(settingList);
        if (settings.size() == 0)
            return true;
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        std::set<std::uint16_t> visited;
        for (int slu = slus.begin; slu < slus.end; ++slu) {
            if ((table.getSluStatus(slu) & 0xFF) == VELDARO_StorageVolume_Resource::FREE_ENTRY)
                continue;
            const std::uint16_t number = table.getSluOlun(slu);
            if (number != NONE && !visited.insert(number).second)
                continue;
            if (!pairVolume(frame, table, volumes, settings, slu))
                return false;
        }
        return true;
    });
}

int sluCount(const String& storage)
{
    return static_cast<int>(VELDARO_RefTable(storage.c_str()).getSLUMaxCount());
}

bool everyVolumeSetting(Frame& frame)
{
    return volumeSettings(frame, Index_Range::all(sluCount(frame.storage())));
}

// A setting is paired with volumes only when it is the first of its RAID
// level made for its kind of pool, and then with the volumes of that level
// and kind only (from the image's level index, so no other volume is
// built).
bool settingVolumes(Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageSetting_Resource settingList(frame.storage());
        if (!buildList(settingList, &VELDARO_StorageSetting_Resource::createStorageSetting))
            return false;
        auto& settings = listedOf(settingList);
        const VELDARO_StorageSetting* chosen = nullptr;
        for (std::size_t k = 0; k < settings.size() && !chosen; ++k)
            if (settings[k] && same_instance(settings[k], source) &&
                Setting_Match::firstFor(settings, *settings[k], Setting_Match::isThinSetting(*settings[k])) ==
                    settings[k])
                chosen = settings[k];
        if (!chosen)
            return true;
        VELDARO_RefTable table(frame.storage().c_str());
        const auto levels = Volume_Level_Index::of(table);
        if (!levels)
            return everyVolumeSetting(frame);
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        for (int slu : levels->volumes(chosen->RaidLevel.value.c_str(), Setting_Match::isThinSetting(*chosen)))
            if (!pairVolume(frame, table, volumes, settings, slu))
                return false;
        return true;
    });
}

// ---- ports, controllers and their iSCSI settings ----

// Each element of a list builder with the first setting of another list
// builder on its port, both cloned.
template <class ER, class SR>
bool portElementsSettings(Frame& frame, int (ER::*elements)(), int (SR::*settings)())
{
    return Common::guard(__FILE__, __LINE__, [&] {
        SR settingList(frame.storage());
        if (!buildList(settingList, settings))
            return false;
        if (listedOf(settingList).size() == 0)
            return true;
        ER elementList(frame.storage());
        return eachListed(elementList, elements, [&](auto* element) {
            if (const auto* setting =
                    Matching_Pair_Walk::firstMatch(listedOf(settingList), *element, port_identity::Same_Port()))
                relate(frame, clone(element), clone(setting));
            return true;
        });
    });
}

bool tcpEndpointsConnectionSettings(Frame& frame)
{
    return portElementsSettings(frame, &VELDARO_TCPProtocolEndpoint_Resource::createTCPProtocolEndpoint,
                                &VELDARO_iSCSIConnectionSettings_Resource::createiSCSIConnectionSettings);
}

bool iscsiEndpointsConnectionSettings(Frame& frame)
{
    return portElementsSettings(frame, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint,
                                &VELDARO_iSCSIConnectionSettings_Resource::createiSCSIConnectionSettings);
}

bool iscsiEndpointsSessionSettings(Frame& frame)
{
    return portElementsSettings(frame, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint,
                                &VELDARO_iSCSISessionSettings_Resource::createiSCSISessionSettings);
}

bool lunMappingSessionSettings(Frame& frame)
{
    return portElementsSettings(frame, &VELDARO_LUNMappingController_Resource::createLUNMappingController,
                                &VELDARO_iSCSISessionSettings_Resource::createiSCSISessionSettings);
}

// Each controller system with every session setting of its controller
// module.
bool controllerSessionSettings(Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_iSCSISessionSettings_Resource settingList(frame.storage());
        if (!buildList(settingList, &VELDARO_iSCSISessionSettings_Resource::createiSCSISessionSettings))
            return false;
        auto& settings = listedOf(settingList);
        if (settings.size() == 0)
            return true;
        VELDARO_ControllerComputerSystem_Resource systems(frame.storage());
        return eachListed(systems, &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem,
                          [&](VELDARO_ControllerComputerSystem* system) {
                              for (std::size_t k = 0; k < settings.size(); ++k)
                                  if (settings[k] && settings[k]->CMSlotNumber.value == system->CMSlotNumber.value)
                                      relate(frame, clone(system), clone(settings[k]));
                              return true;
                          });
    });
}

// Each session setting with the affinity groups mapped to its port, when
// the port's host security is on.
bool affinityGroupSessionSettings(Frame& frame)
{
    constexpr std::uint8_t SECURITY_ON = 0x80;
    constexpr int MAP_SLOTS = 256;
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_AffinityGroupController_Resource groups(frame.storage());
        VELDARO_iSCSISessionSettings_Resource settingList(frame.storage());
        return eachListed(settingList, &VELDARO_iSCSISessionSettings_Resource::createiSCSISessionSettings,
                          [&](VELDARO_iSCSISessionSettings* setting) {
            const auto cm = static_cast<std::uint16_t>(setting->CMSlotNumber.value);
            const auto ca = static_cast<std::uint16_t>(setting->CASlotNumber.value);
            const auto port = static_cast<std::uint16_t>(setting->PortNo.value);
            const CA_Port_Name name = CA_Port_Name::fields(cm, ca, port);
            const std::uint8_t moduleId = name.moduleId();
            const std::uint8_t modulePort = name.portNumber();
            const int caIndex = table.searchCAModuleIdFromCATable(moduleId);
            const int portIndex = caIndex < 0 ? -1 : table.searchCAPortNoFromPortTable(caIndex, modulePort);
            if (portIndex < 0 || table.getCAPortSecurityMode(caIndex, portIndex) != SECURITY_ON)
                return true;
            const int map = table.searchCAModuleIdAndCAPortNoFromMapTable(moduleId, modulePort);
            std::set<std::uint16_t> related;
            for (int slot = 0; map >= 0 && slot < MAP_SLOTS; ++slot) {
                const std::uint16_t group = table.getMapAffinityTableNo(map, slot);
                if (group == NONE || !related.insert(group).second)
                    continue;
                auto controller = Association_End<VELDARO_AffinityGroupController>::build(groups, group, cm, ca, port);
                if (controller.failed())
                    return false;
                if (controller.built())
                    relate(frame, controller.release(), clone(setting));
            }
            return true;
        });
    });
}

bool everyPair(Frame& frame)
{
    return everyVolumeSetting(frame) && tcpEndpointsConnectionSettings(frame) &&
           iscsiEndpointsConnectionSettings(frame) && iscsiEndpointsSessionSettings(frame) &&
           affinityGroupSessionSettings(frame) && lunMappingSessionSettings(frame) && controllerSessionSettings(frame);
}

// Requests about an element or setting other than a volume run its rows
// over the array's (short) port and controller lists; the association
// hands on only the pairs that hold the source.
const Frame::Source_Route ROUTES[] = {
    {&VELDARO_StorageVolume::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::typedVolume<&VELDARO_StorageVolume_Resource::divide_DeviceID, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int slu) {
         return volumeSettings(frame, Index_Range::one(slu, sluCount(frame.storage())));
     }},
    {&VELDARO_StorageSetting::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) { return settingVolumes(frame, source); }},
    {&VELDARO_TCPProtocolEndpoint::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return tcpEndpointsConnectionSettings(frame); }},
    {&VELDARO_iSCSIConnectionSettings::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) {
         return tcpEndpointsConnectionSettings(frame) && iscsiEndpointsConnectionSettings(frame);
     }},
    {&VELDARO_iSCSIProtocolEndpoint::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) {
         return iscsiEndpointsConnectionSettings(frame) && iscsiEndpointsSessionSettings(frame);
     }},
    {&VELDARO_iSCSISessionSettings::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) {
         return iscsiEndpointsSessionSettings(frame) && affinityGroupSessionSettings(frame) &&
                lunMappingSessionSettings(frame) && controllerSessionSettings(frame);
     }},
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return affinityGroupSessionSettings(frame); }},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return lunMappingSessionSettings(frame); }},
    {&VELDARO_ControllerComputerSystem::static_meta_class, Common::BY_CONTROLLER_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return controllerSessionSettings(frame); }},
};

}  // namespace

CIM_ElementSettingData_Provider::CIM_ElementSettingData_Provider() {}

CIM_ElementSettingData_Provider::~CIM_ElementSettingData_Provider() {}

bool CIM_ElementSettingData_Provider::_enumPairs()
{
    return everyPair(*this);
}

int CIM_ElementSettingData_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
