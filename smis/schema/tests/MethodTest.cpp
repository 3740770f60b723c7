// Method lists of the served classes and the parameters of their methods.
#include "SchemaLookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace schema_test;

struct MethodListRow {
    std::vector<std::string> classes;
    std::vector<std::string> methods;
};

// Served instance classes and their methods, in the order dispatch tries them.
const std::vector<MethodListRow>& methodLists()
{
    static const std::vector<MethodListRow> rows = {
    {{"VELDARO_System", "VELDARO_CIMXMLCommunicationMechanism", "VELDARO_RemoteServiceAccessPoint", "VELDARO_SCSIProtocolEndpoint", "VELDARO_IPProtocolEndpoint", "VELDARO_TCPProtocolEndpoint", "VELDARO_iSCSIProtocolEndpoint", "VELDARO_iSCSISession", "VELDARO_iSCSIConnection", "VELDARO_RemoteSCSIProtocolEndpoint"},
     {"RequestStateChange"}},
    {{"VELDARO_ObjectManager"},
     {"RequestStateChange", "StartService", "StopService"}},
    {{"VELDARO_StorageComputerSystem", "VELDARO_ControllerComputerSystem"},
     {"RequestStateChange", "SetPowerState"}},
    {{"VELDARO_LUNMappingController", "VELDARO_AffinityGroupController", "VELDARO_DiskExtent", "VELDARO_RAIDCompositeExtent", "VELDARO_FreeExtent", "VELDARO_PartOfConcatenatedExtent", "VELDARO_MirroredExtent", "VELDARO_ConcatenatedExtent", "VELDARO_StripingCompositeExtent", "VELDARO_FCPort", "VELDARO_StorageVolume", "VELDARO_EthernetPort", "VELDARO_RemoteStorageVolume", "VELDARO_SDPVExtent", "VELDARO_SnapDataCompositeExtent", "VELDARO_ThinProvisioningExtent", "VELDARO_ThinProvisioningFreeExtent", "VELDARO_LayerixExtent", "VELDARO_LayerixSubExtent"},
     {"RequestStateChange", "SetPowerState", "Reset", "EnableDevice", "OnlineDevice", "QuiesceDevice", "SaveProperties", "RestoreProperties"}},
    {{"VELDARO_RedundancySet", "VELDARO_StorageRedundancySet"},
     {"Failover"}},
    {{"VELDARO_DiskDrive"},
     {"RequestStateChange", "SetPowerState", "Reset", "EnableDevice", "OnlineDevice", "QuiesceDevice", "SaveProperties", "RestoreProperties", "LockMedia"}},
    {{"VELDARO_PrivilegeManagementService"},
     {"RequestStateChange", "StartService", "StopService", "AssignAccess", "RemoveAccess"}},
    {{"VELDARO_StorageHardwareIDManagementService"},
     {"RequestStateChange", "StartService", "StopService", "CreateStorageHardwareID", "DeleteStorageHardwareID", "CreateGatewayPathID", "CreateHardwareIDCollection", "AddHardwareIDsToCollection"}},
    {{"VELDARO_ControllerConfigurationService"},
     {"RequestStateChange", "StartService", "StopService", "CreateProtocolControllerWithPorts", "DeleteProtocolController", "AttachDevice", "DetachDevice", "ExposePaths", "HidePaths", "ExposeDefaultLUs", "HideDefaultLUs"}},
    {{"VELDARO_StorageConfigurationService"},
     {"RequestStateChange", "StartService", "StopService", "CreateOrModifyStoragePool", "CreateOrModifyElementFromStoragePool", "DeleteStoragePool", "ReturnToStoragePool", "CreateReplica", "ModifySynchronization", "AttachReplica", "CreateOrModifyElementFromElements", "GetAvailableTargetElements"}},
    {{"VELDARO_PrimordialStoragePool", "VELDARO_RAIDStoragePool", "VELDARO_ThinProvisioningPool"},
     {"GetSupportedSizes", "GetSupportedSizeRange", "GetAvailableExtents"}},
    {{"VELDARO_PrimordialStorageCapabilities", "VELDARO_RAIDStorageCapabilities", "VELDARO_ThinProvisioningCapabilities"},
     {"CreateSetting", "GetSupportedParityLayouts"}},
    {{"VELDARO_ControllerEnclosure", "VELDARO_DeviceEnclosure", "VELDARO_PhysicalDisk", "VELDARO_PSU", "VELDARO_FAN", "VELDARO_IOM", "VELDARO_BBU", "VELDARO_SFP"},
     {"IsCompatible"}},
    {{"VELDARO_ControllerCard", "VELDARO_ChannelAdapterCard"},
     {"IsCompatible", "ConnectorPower"}},
    {{"VELDARO_iSCSISessionStatistics"},
     {"ResetSelectedStats"}},
    {{"VELDARO_ReplicationService"},
     {"RequestStateChange", "StartService", "StopService", "CreateGroup", "DeleteGroup", "AddMembers", "RemoveMembers", "CreateElementReplica", "CreateGroupReplica", "CreateSynchronizationAspect", "ModifyReplicaSynchronization", "ModifyListSynchronization", "ModifySettingsDefineState", "GetAvailableTargetElements", "GetPeerSystems", "GetReplicationRelationships", "GetServiceAccessPoints"}},
    {{"VELDARO_ReplicationServiceCapabilities"},
     {"ConvertSyncTypeToReplicationType", "ConvertReplicationTypeToSyncType", "GetSupportedCopyStates", "GetSupportedGroupCopyStates", "GetSupportedWaitForCopyStates", "GetSupportedFeatures", "GetSupportedGroupFeatures", "GetSupportedConsistency", "GetSupportedOperations", "GetSupportedGroupOperations", "GetSupportedListOperations", "GetSupportedSettingsDefineStateOperations", "GetSupportedThinProvisioningFeatures", "GetSupportedMaximum", "GetDefaultConsistency", "GetDefaultGroupPersistency", "GetSupportedReplicationSettingData", "GetDefaultReplicationSettingData", "GetSupportedConnectionFeatures", "GetSynchronizationSupported"}},
    {{"VELDARO_SDPVPool", "VELDARO_SnapDataPool", "VELDARO_LayerixPool", "VELDARO_LayerixSubPool"},
     {"GetSupportedSizes", "GetSupportedSizeRange", "GetAvailableExtents"}},
    {{"VELDARO_SDPVCapabilities", "VELDARO_SnapDataCapabilities", "VELDARO_LayerixCapabilities", "VELDARO_LayerixSubCapabilities"},
     {"CreateSetting", "GetSupportedParityLayouts"}},
    {{},
     {"`VELDARO_StorageHardwareIDManagementService_Provider`"}},
    {{},
     {"`VELDARO_StorageHardwareIDManagementService_Provider`"}},
    {{},
     {"`VELDARO_ControllerConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_ControllerConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_ControllerConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_ControllerConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_StorageConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_StorageConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_StorageConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_StorageConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_StorageConfigurationService_Provider`"}},
    {{},
     {"`VELDARO_PrimordialStoragePool_Provider`", "`VELDARO_RAIDStoragePool_Provider`", "`VELDARO_ThinProvisioningPool_Provider`"}},
    };
    return rows;
}

// Served instance classes without extrinsic methods.
const std::vector<std::string>& classesWithoutMethods()
{
    static const std::vector<std::string> names = {
    "VELDARO_Namespace",
    "VELDARO_ProviderSoftwareIdentity",
    "VELDARO_RegisteredProfile",
    "VELDARO_RegisteredSubProfile",
    "VELDARO_PhysicalMemory",
    "VELDARO_ControllerModuleSoftwareIdentity",
    "VELDARO_StorageComputerSystemSoftwareIdentity",
    "VELDARO_PhysicalMedia",
    "VELDARO_DiskSoftwareIdentity",
    "VELDARO_ProtocolControllerMaskingCapabilities",
    "VELDARO_AuthorizedPrivilege",
    "VELDARO_StorageHardwareID",
    "VELDARO_DefaultAuthorizedPrivilege",
    "VELDARO_DefaultStorageHardwareID",
    "VELDARO_StorageConfigurationCapabilities",
    "VELDARO_StorageSetting",
    "VELDARO_StorageProduct",
    "VELDARO_ControllerSlot",
    "VELDARO_ChannelAdapterSlot",
    "VELDARO_DiskSlot",
    "VELDARO_DiskProduct",
    "VELDARO_Location",
    "VELDARO_iSCSICapabilities",
    "VELDARO_iSCSISessionSettings",
    "VELDARO_iSCSIConnectionSettings",
    "VELDARO_ConnectivityCollection",
    "VELDARO_ReplicationSettingData",
    "VELDARO_StorageReplicationCapabilities"
    };
    return names;
}

struct ParamRow {
    std::string name;
    std::string description; // "TYPE, DIRECTION[, required]"
};

struct MethodParamRow {
    std::string method;
    std::vector<std::string> classes; // empty: every vendor class with the method
    std::vector<ParamRow> params;
};

const std::vector<MethodParamRow>& methodParams()
{
    static const std::vector<MethodParamRow> rows = {
    {"CreateStorageHardwareID", {"VELDARO_StorageHardwareIDManagementService"},
     {{"ElementName", "string, in"},
      {"StorageID", "string, in"},
      {"IDType", "uint16, in"},
      {"OtherIDType", "string, in"},
      {"Setting", "reference to CIM_StorageClientSettingData, in"},
      {"HardwareID", "reference to CIM_StorageHardwareID, out"}}},
    {"DeleteStorageHardwareID", {"VELDARO_StorageHardwareIDManagementService"},
     {{"HardwareID", "reference to CIM_StorageHardwareID, in"}}},
    {"ExposePaths", {"VELDARO_ControllerConfigurationService"},
     {{"Job", "reference to CIM_ConcreteJob, out"},
      {"LUNames", "string array, in"},
      {"InitiatorPortIDs", "string array, in"},
      {"TargetPortIDs", "string array, in"},
      {"DeviceNumbers", "string array, in"},
      {"DeviceAccesses", "uint16 array, in"},
      {"ProtocolControllers", "array of references to CIM_SCSIProtocolController, in/out"}}},
    {"HidePaths", {"VELDARO_ControllerConfigurationService"},
     {{"Job", "reference to CIM_ConcreteJob, out"},
      {"LUNames", "string array, in"},
      {"InitiatorPortIDs", "string array, in"},
      {"TargetPortIDs", "string array, in"},
      {"ProtocolControllers", "array of references to CIM_SCSIProtocolController, in/out"}}},
    {"ExposeDefaultLUs", {"VELDARO_ControllerConfigurationService"},
     {{"Job", "reference to CIM_ConcreteJob, out"},
      {"LUNames", "string array, in, required"},
      {"TargetPortIDs", "string array, in"},
      {"DeviceNumbers", "string array, in"},
      {"DeviceAccesses", "uint16 array, in"},
      {"ProtocolControllers", "array of references to CIM_SCSIProtocolController, in/out"}}},
    {"HideDefaultLUs", {"VELDARO_ControllerConfigurationService"},
     {{"Job", "reference to CIM_ConcreteJob, out"},
      {"LUNames", "string array, in, required"},
      {"TargetPortIDs", "string array, in"},
      {"ProtocolControllers", "array of references to CIM_SCSIProtocolController, in/out"}}},
    {"CreateOrModifyStoragePool", {"VELDARO_StorageConfigurationService"},
     {{"ElementName", "string, in"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"Goal", "reference to CIM_StorageSetting, in"},
      {"Size", "uint64, in/out"},
      {"InPools", "string array, in"},
      {"InExtents", "string array, in"},
      {"Pool", "reference to CIM_StoragePool, in/out"}}},
    {"CreateOrModifyElementFromStoragePool", {"VELDARO_StorageConfigurationService"},
     {{"ElementName", "string, in"},
      {"ElementType", "uint16, in"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"Goal", "reference to CIM_ManagedElement, in"},
      {"Size", "uint64, in/out"},
      {"InPool", "reference to CIM_StoragePool, in"},
      {"TheElement", "reference to CIM_LogicalElement, in/out"}}},
    {"DeleteStoragePool", {"VELDARO_StorageConfigurationService"},
     {{"Job", "reference to CIM_ConcreteJob, out"},
      {"Pool", "reference to CIM_StoragePool, in"}}},
    {"ReturnToStoragePool", {"VELDARO_StorageConfigurationService"},
     {{"Job", "reference to CIM_ConcreteJob, out"},
      {"TheElement", "reference to CIM_LogicalElement, in"}}},
    {"CreateOrModifyElementFromElements", {"VELDARO_StorageConfigurationService"},
     {{"ElementName", "string, in"},
      {"ElementType", "uint16, in, required"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"Goal", "reference to CIM_ManagedElement, in"},
      {"Size", "uint64, in/out"},
      {"InElements", "array of references to CIM_StorageExtent, in, required"},
      {"TheElement", "reference to CIM_LogicalElement, in/out"}}},
    {"GetSupportedSizes", {"VELDARO_PrimordialStoragePool", "VELDARO_RAIDStoragePool", "VELDARO_ThinProvisioningPool"},
     {{"ElementType", "uint16, in"},
      {"Goal", "reference to CIM_StorageSetting, in"},
      {"Sizes", "uint64 array, in/out"}}},
    {"GetSupportedSizeRange", {"VELDARO_PrimordialStoragePool", "VELDARO_RAIDStoragePool", "VELDARO_ThinProvisioningPool"},
     {{"ElementType", "uint16, in"},
      {"Goal", "reference to CIM_StorageSetting, in"},
      {"MinimumVolumeSize", "uint64, in/out"},
      {"MaximumVolumeSize", "uint64, in/out"},
      {"VolumeSizeDivisor", "uint64, in/out"}}},
    {"GetAvailableExtents", {"VELDARO_PrimordialStoragePool", "VELDARO_RAIDStoragePool", "VELDARO_ThinProvisioningPool"},
     {{"Goal", "reference to CIM_StorageSetting, in"},
      {"AvailableExtents", "array of references to CIM_StorageExtent, in/out"}}},
    {"CreateSetting", {"VELDARO_PrimordialStorageCapabilities", "VELDARO_RAIDStorageCapabilities", "VELDARO_ThinProvisioningCapabilities"},
     {{"SettingType", "uint16, in"},
      {"NewSetting", "reference to CIM_StorageSetting, out"}}},
    {"CreateElementReplica", {"VELDARO_ReplicationService"},
     {{"ElementName", "string, in"},
      {"SyncType", "uint16, in, required"},
      {"Mode", "uint16, in"},
      {"SourceElement", "reference to CIM_LogicalElement, in, required"},
      {"SourceAccessPoint", "reference to CIM_ServiceAccessPoint, in"},
      {"TargetElement", "reference to CIM_LogicalElement, in/out"},
      {"TargetAccessPoint", "reference to CIM_ServiceAccessPoint, in"},
      {"ReplicationSettingData", "reference to SNIA_ReplicationSettingData, in"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"Synchronization", "reference to SNIA_Synchronized, out"},
      {"TargetSettingGoal", "reference to CIM_SettingData, in"},
      {"TargetPool", "reference to CIM_ResourcePool, in"},
      {"WaitForCopyState", "uint16, in"}}},
    {"ModifyReplicaSynchronization", {"VELDARO_ReplicationService"},
     {{"Operation", "uint16, in, required"},
      {"Synchronization", "reference to SNIA_Synchronized, in, required"},
      {"ReplicationSettingData", "reference to SNIA_ReplicationSettingData, in"},
      {"SyncPair", "array of references to SNIA_StorageSynchronized, in"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"SettingsState", "reference to CIM_SettingsDefineState, out"},
      {"Force", "boolean, in"},
      {"WaitForCopyState", "uint16, in"}}},
    {"ModifyListSynchronization", {"VELDARO_ReplicationService"},
     {{"Operation", "uint16, in, required"},
      {"Synchronization", "array of references to SNIA_Synchronized, in, required"},
      {"ReplicationSettingData", "reference to SNIA_ReplicationSettingData, in"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"SettingsState", "array of references to CIM_SettingsDefineState, out"},
      {"Force", "boolean, in"},
      {"WaitForCopyState", "uint16, in"}}},
    {"GetReplicationRelationships", {"VELDARO_ReplicationService"},
     {{"Type", "uint16, in"},
      {"SyncType", "uint16, in"},
      {"Mode", "uint16, in"},
      {"Locality", "uint16, in"},
      {"CopyState", "uint16, in"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"Synchronizations", "array of references to SNIA_Synchronized, in/out"}}},
    {"ConvertSyncTypeToReplicationType", {"VELDARO_ReplicationServiceCapabilities"},
     {{"SyncType", "uint16, in"},
      {"Mode", "uint16, in"},
      {"LocalOrRemote", "uint16, in"},
      {"SupportedReplicationTypes", "uint16, in/out"}}},
    {"ConvertReplicationTypeToSyncType", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"SyncType", "uint16, in/out"},
      {"Mode", "uint16, in/out"},
      {"LocalOrRemote", "uint16, in/out"}}},
    {"GetSupportedCopyStates", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"SupportedCopyStates", "uint16 array, in/out"},
      {"HostAccessible", "boolean array, in/out"}}},
    {"GetSupportedWaitForCopyStates", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"MethodName", "uint16, in"},
      {"SupportedCopyStates", "uint16 array, in/out"}}},
    {"GetSupportedFeatures", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"Features", "uint16 array, in/out"}}},
    {"GetSupportedOperations", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"SupportedOperations", "uint16 array, in/out"}}},
    {"GetSupportedListOperations", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"SynchronizationType", "uint16, in"},
      {"SupportedListOperations", "uint16 array, in/out"}}},
    {"GetSupportedMaximum", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"Component", "uint16, in"},
      {"MaxValue", "uint64, in/out"}}},
    {"GetDefaultReplicationSettingData", {"VELDARO_ReplicationServiceCapabilities"},
     {{"ReplicationType", "uint16, in"},
      {"DefaultInstance", "embedded instance, in/out"}}},
    {"RequestStateChange", {},
     {{"RequestedState", "uint16, in"},
      {"Job", "reference to CIM_ConcreteJob, out"},
      {"TimeoutPeriod", "datetime, in"}}},
    {"SetPowerState", {},
     {{"PowerState", "uint16, in"},
      {"Time", "datetime, in"}}},
    {"Reset", {},
     {}},
    {"EnableDevice", {},
     {{"Enabled", "boolean, in"}}},
    {"OnlineDevice", {},
     {{"Online", "boolean, in"}}},
    {"QuiesceDevice", {},
     {{"Quiesce", "boolean, in"}}},
    {"SaveProperties", {},
     {}},
    {"RestoreProperties", {},
     {}},
    {"Failover", {},
     {{"FailoverFrom", "reference to CIM_ManagedElement, in"},
      {"FailoverTo", "reference to CIM_ManagedElement, in"}}},
    {"GetSupportedParityLayouts", {},
     {{"ParityLayout", "uint16 array, out"}}},
    };
    return rows;
}

std::string typeName(cimple::uint16 t)
{
    static const char* const names[] = {"boolean", "uint8",  "sint8",  "uint16", "sint16",
                                        "uint32",  "sint32", "uint64", "sint64", "real32",
                                        "real64",  "char16", "string", "datetime"};
    return t < 14 ? names[t] : "?";
}

// The parameter as the tables describe it.
std::string describe(const cimple::Meta_Feature* f)
{
    std::string s;
    if (f->flags & CIMPLE_FLAG_EMBEDDED_OBJECT) {
        s = "embedded instance";
    } else if (f->flags & CIMPLE_FLAG_REFERENCE) {
        auto r = reinterpret_cast<const cimple::Meta_Reference*>(f);
        s = (r->subscript ? "array of references to " : "reference to ") +
            std::string(r->meta_class ? r->meta_class->name : "?");
    } else {
        auto p = reinterpret_cast<const cimple::Meta_Property*>(f);
        s = typeName(p->type) + (p->subscript ? " array" : "");
    }
    bool in = f->flags & CIMPLE_FLAG_IN;
    bool out = f->flags & CIMPLE_FLAG_OUT;
    s += in && out ? ", in/out" : in ? ", in" : out ? ", out" : ", none";
    if (f->flags & CIMPLE_FLAG_REQUIRED)
        s += ", required";
    return s;
}

std::vector<ParamRow> paramsOf(const cimple::Meta_Method* mm)
{
    std::vector<ParamRow> out;
    // The last parameter is the return value; the tables leave it out.
    for (size_t i = 0; i + 1 < mm->num_meta_features; ++i)
        out.push_back({mm->meta_features[i]->name, describe(mm->meta_features[i])});
    return out;
}

bool operator==(const ParamRow& a, const ParamRow& b)
{
    return a.name == b.name && a.description == b.description;
}

void PrintTo(const ParamRow& p, std::ostream* os)
{
    *os << p.name << " (" << p.description << ")";
}

TEST(Methods, EveryServedClassListsItsMethodsInDispatchOrder)
{
    size_t classes = 0;
    for (const MethodListRow& row : methodLists()) {
        for (const std::string& name : row.classes) {
            SCOPED_TRACE(name);
            const cimple::Meta_Class* mc = findClass(name.c_str());
            ASSERT_NE(mc, nullptr);
            EXPECT_EQ(featureNames(mc, CIMPLE_FLAG_METHOD), row.methods);
            ++classes;
        }
    }
    EXPECT_EQ(classes, 66u);
    for (const std::string& name : classesWithoutMethods()) {
        const cimple::Meta_Class* mc = findClass(name.c_str());
        ASSERT_NE(mc, nullptr) << name;
        EXPECT_TRUE(featureNames(mc, CIMPLE_FLAG_METHOD).empty()) << name;
    }
    EXPECT_EQ(classesWithoutMethods().size(), 28u);
}

TEST(Methods, ParametersHaveTheTypesAndDirectionsOfTheTables)
{
    const cimple::Meta_Repository& r = cimple::schema_repository;
    for (const MethodParamRow& row : methodParams()) {
        std::vector<std::string> classes = row.classes;
        if (classes.empty()) {
            // Every vendor class that has the method; the computer systems
            // take SetPowerState's PowerState as uint32 (checked below).
            for (size_t i = 0; i < r.num_meta_classes; ++i) {
                const cimple::Meta_Class* mc = r.meta_classes[i];
                if (std::string(mc->name).rfind("VELDARO_", 0) != 0 ||
                    !findMethod(mc, row.method.c_str()))
                    continue;
                if (row.method == "SetPowerState" && derivesFrom(mc, "CIM_ComputerSystem"))
                    continue;
                classes.push_back(mc->name);
            }
            EXPECT_FALSE(classes.empty()) << row.method;
        }
        for (const std::string& name : classes) {
            SCOPED_TRACE(name + "." + row.method);
            const cimple::Meta_Method* mm = findMethod(findClass(name.c_str()), row.method.c_str());
            ASSERT_NE(mm, nullptr);
            EXPECT_EQ(paramsOf(mm), row.params);
        }
    }
}

TEST(Methods, EveryMethodReturnsUint32AfterItsParameters)
{
    const cimple::Meta_Repository& r = cimple::schema_repository;
    for (size_t i = 0; i < r.num_meta_classes; ++i) {
        const cimple::Meta_Class* mc = r.meta_classes[i];
        for (size_t j = 0; j < mc->num_meta_features; ++j) {
            if (!(mc->meta_features[j]->flags & CIMPLE_FLAG_METHOD))
                continue;
            auto mm = reinterpret_cast<const cimple::Meta_Method*>(mc->meta_features[j]);
            SCOPED_TRACE(std::string(mc->name) + "." + mm->name);
            EXPECT_EQ(mm->return_type, cimple::UINT32);
            ASSERT_GE(mm->num_meta_features, 1u);
            auto rv = reinterpret_cast<const cimple::Meta_Property*>(
                mm->meta_features[mm->num_meta_features - 1]);
            EXPECT_STREQ(rv->name, "return_value");
            EXPECT_EQ(rv->flags, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_OUT);
            EXPECT_EQ(rv->type, cimple::UINT32);
            EXPECT_EQ(rv->subscript, 0);
            // The record doubles as the class record of the method instance.
            EXPECT_EQ(cimple::to_meta_method(cimple::to_meta_class(mm)), mm);
            for (size_t k = 0; k < mm->num_meta_features; ++k) {
                const cimple::Meta_Feature* p = mm->meta_features[k];
                EXPECT_NE(p->flags & (CIMPLE_FLAG_IN | CIMPLE_FLAG_OUT), 0u) << p->name;
                EXPECT_LT(reinterpret_cast<const cimple::Meta_Property*>(p)->offset, mm->size);
            }
        }
    }
}

TEST(Methods, SetPowerStateTakesUint32InComputerSystemsAndUint16InDevices)
{
    struct Case {
        const char* cls;
        cimple::uint16 type;
    };
    for (const Case& c : {Case{"VELDARO_StorageComputerSystem", cimple::UINT32},
                          Case{"VELDARO_ControllerComputerSystem", cimple::UINT32},
                          Case{"CIM_ComputerSystem", cimple::UINT32},
                          Case{"VELDARO_DiskDrive", cimple::UINT16},
                          Case{"VELDARO_StorageVolume", cimple::UINT16},
                          Case{"VELDARO_FCPort", cimple::UINT16},
                          Case{"CIM_LogicalDevice", cimple::UINT16}}) {
        const cimple::Meta_Method* mm = findMethod(findClass(c.cls), "SetPowerState");
        ASSERT_NE(mm, nullptr) << c.cls;
        auto p = reinterpret_cast<const cimple::Meta_Property*>(mm->meta_features[0]);
        EXPECT_STREQ(p->name, "PowerState") << c.cls;
        EXPECT_EQ(p->type, c.type) << c.cls;
    }
}

TEST(Methods, GetAvailableTargetElementsDiffersBetweenTheTwoServices)
{
    const cimple::Meta_Method* config =
        findMethod(findClass("VELDARO_StorageConfigurationService"), "GetAvailableTargetElements");
    const cimple::Meta_Method* replication =
        findMethod(findClass("VELDARO_ReplicationService"), "GetAvailableTargetElements");
    ASSERT_NE(config, nullptr);
    ASSERT_NE(replication, nullptr);
    EXPECT_NE(config, replication);
    EXPECT_NE(paramsOf(config), paramsOf(replication));
}

} // namespace
