// The vendor classes: superclass, keys and the properties each one adds.
#include "SchemaLookup.h"

#include <cimple/Meta_Value.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using namespace schema_test;

struct AddedProperty {
    const char* name;
    cimple::uint16 type;
};

struct VendorRow {
    const char* name;
    const char* superclass;
    std::vector<std::string> keys;
    std::vector<AddedProperty> added;
};

const std::vector<std::string> kDeviceKeys = {"SystemCreationClassName", "SystemName",
                                              "CreationClassName", "DeviceID"};
const std::vector<std::string> kServiceKeys = {"Name", "SystemCreationClassName", "SystemName",
                                               "CreationClassName"};

const std::vector<VendorRow>& vendorRows()
{
    static const std::vector<VendorRow> rows = {
    {"VELDARO_System", "CIM_System", {"Name", "CreationClassName"}, {}},
    {"VELDARO_ObjectManager", "CIM_ObjectManager", kServiceKeys, {}},
    {"VELDARO_Namespace", "CIM_Namespace", {"SystemCreationClassName", "SystemName", "ObjectManagerCreationClassName", "ObjectManagerName", "CreationClassName", "Name"}, {}},
    {"VELDARO_CIMXMLCommunicationMechanism", "CIM_CIMXMLCommunicationMechanism", kServiceKeys, {}},
    {"VELDARO_ProviderSoftwareIdentity", "CIM_SoftwareIdentity", {"InstanceID"}, {}},
    {"VELDARO_RegisteredProfile", "CIM_RegisteredProfile", {"InstanceID"}, {}},
    {"VELDARO_RegisteredSubProfile", "CIM_RegisteredSubProfile", {"InstanceID"}, {}},
    {"VELDARO_StorageComputerSystem", "CIM_ComputerSystem", {"Name", "CreationClassName"}, {{"Contact", cimple::STRING}, {"ConfigurationID", cimple::UINT32}}},
    {"VELDARO_ControllerComputerSystem", "CIM_ComputerSystem", {"Name", "CreationClassName"}, {{"CMSlotNumber", cimple::UINT32}, {"Factor", cimple::STRING}, {"SerialNumber", cimple::STRING}, {"HardwareRevision", cimple::STRING}, {"IP", cimple::STRING}}},
    {"VELDARO_ControllerModuleSoftwareIdentity", "CIM_SoftwareIdentity", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}}},
    {"VELDARO_StorageComputerSystemSoftwareIdentity", "CIM_SoftwareIdentity", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}}},
    {"VELDARO_DiskSoftwareIdentity", "CIM_SoftwareIdentity", {"InstanceID"}, {}},
    {"VELDARO_StorageProduct", "CIM_Product", {"Name", "IdentifyingNumber", "Vendor", "Version"}, {{"Product", cimple::STRING}}},
    {"VELDARO_DiskProduct", "CIM_Product", {"Name", "IdentifyingNumber", "Vendor", "Version"}, {}},
    {"VELDARO_Location", "CIM_Location", {"Name", "PhysicalPosition"}, {}},
    {"VELDARO_PhysicalMemory", "CIM_PhysicalMemory", {"Tag", "CreationClassName"}, {{"CMSlotNumber", cimple::UINT32}}},
    {"VELDARO_PhysicalMedia", "CIM_PhysicalMedia", {"Tag", "CreationClassName"}, {}},
    {"VELDARO_ControllerEnclosure", "CIM_Chassis", {"Tag", "CreationClassName"}, {{"Inlet", cimple::STRING}, {"Outlet", cimple::STRING}}},
    {"VELDARO_ControllerSlot", "CIM_Slot", {"Tag", "CreationClassName"}, {{"CMSlotNumber", cimple::UINT32}}},
    {"VELDARO_ControllerCard", "CIM_Card", {"Tag", "CreationClassName"}, {{"PhysicalPosition", cimple::STRING}, {"CMSlotNumber", cimple::UINT32}, {"ChassisID", cimple::STRING}}},
    {"VELDARO_ChannelAdapterSlot", "CIM_Slot", {"Tag", "CreationClassName"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}}},
    {"VELDARO_ChannelAdapterCard", "CIM_Card", {"Tag", "CreationClassName"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}}},
    {"VELDARO_DeviceEnclosure", "CIM_Chassis", {"Tag", "CreationClassName"}, {{"Inlet", cimple::STRING}, {"Outlet", cimple::STRING}}},
    {"VELDARO_DiskSlot", "CIM_Slot", {"Tag", "CreationClassName"}, {{"DeID", cimple::UINT32}}},
    {"VELDARO_PhysicalDisk", "CIM_PhysicalPackage", {"Tag", "CreationClassName"}, {{"DeID", cimple::UINT32}, {"Type", cimple::STRING}, {"ChassisID", cimple::STRING}, {"Factor", cimple::STRING}, {"RPM", cimple::UINT32}, {"SpindleSpeed", cimple::UINT32}}},
    {"VELDARO_PSU", "CIM_PhysicalPackage", {"Tag", "CreationClassName"}, {{"DeID", cimple::UINT32}, {"ChassisID", cimple::STRING}, {"Factor", cimple::STRING}, {"PhysicalPosition", cimple::STRING}}},
    {"VELDARO_FAN", "CIM_PhysicalPackage", {"Tag", "CreationClassName"}, {{"ChassisID", cimple::STRING}, {"CMSlotNumber", cimple::UINT32}, {"PhysicalPosition", cimple::STRING}}},
    {"VELDARO_IOM", "CIM_PhysicalPackage", {"Tag", "CreationClassName"}, {{"ChassisID", cimple::STRING}, {"Factor", cimple::STRING}, {"PhysicalPosition", cimple::STRING}}},
    {"VELDARO_BBU", "CIM_PhysicalPackage", {"Tag", "CreationClassName"}, {{"BatteryCharge", cimple::UINT32}, {"Factor", cimple::STRING}, {"PhysicalPosition", cimple::STRING}}},
    {"VELDARO_SFP", "CIM_PhysicalPackage", {"Tag", "CreationClassName"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_DiskDrive", "CIM_DiskDrive", kDeviceKeys, {}},
    {"VELDARO_FCPort", "CIM_FCPort", kDeviceKeys, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}, {"Factor", cimple::STRING}}},
    {"VELDARO_EthernetPort", "CIM_EthernetPort", kDeviceKeys, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}, {"Factor", cimple::STRING}, {"RealType", cimple::UINT16}}},
    {"VELDARO_SCSIProtocolEndpoint", "CIM_SCSIProtocolEndpoint", kServiceKeys, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}, {"RAMode", cimple::UINT32}}},
    {"VELDARO_IPProtocolEndpoint", "CIM_IPProtocolEndpoint", kServiceKeys, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_TCPProtocolEndpoint", "CIM_TCPProtocolEndpoint", kServiceKeys, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_iSCSIProtocolEndpoint", "CIM_iSCSIProtocolEndpoint", kServiceKeys, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}, {"RAMode", cimple::UINT32}}},
    {"VELDARO_RemoteSCSIProtocolEndpoint", "CIM_SCSIProtocolEndpoint", kServiceKeys, {}},
    {"VELDARO_RemoteServiceAccessPoint", "CIM_RemoteServiceAccessPoint", kServiceKeys, {}},
    {"VELDARO_iSCSICapabilities", "CIM_iSCSICapabilities", {"InstanceID"}, {}},
    {"VELDARO_iSCSISession", "CIM_iSCSISession", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}, {"iSCSIPortName", cimple::STRING}}},
    {"VELDARO_iSCSISessionSettings", "CIM_iSCSISessionSettings", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_iSCSIConnection", "CIM_iSCSIConnection", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}, {"iSCSIPortName", cimple::STRING}}},
    {"VELDARO_iSCSIConnectionSettings", "CIM_iSCSIConnectionSettings", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_iSCSISessionStatistics", "CIM_iSCSISessionStatistics", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}, {"iSCSIPortName", cimple::STRING}}},
    {"VELDARO_ConnectivityCollection", "CIM_ConnectivityCollection", {"InstanceID"}, {{"BoxID", cimple::STRING}}},
    {"VELDARO_PrimordialStoragePool", "SNIA_StoragePool", {"InstanceID"}, {}},
    {"VELDARO_RAIDStoragePool", "CIM_StoragePool", {"InstanceID"}, {{"RLUN", cimple::UINT32}, {"RaidLevel", cimple::STRING}, {"RaidNumber", cimple::UINT32}, {"InternalStatus", cimple::STRING}, {"Owner", cimple::STRING}, {"MemberDisks", cimple::UINT32}, {"LocalSpares", cimple::UINT32}}},
    {"VELDARO_ThinProvisioningPool", "SNIA_StoragePool", {"InstanceID"}, {{"RaidLevel", cimple::STRING}, {"AlarmStatus", cimple::STRING}, {"AttentionLevelRange", cimple::UINT16}, {"WarningLevelRange", cimple::UINT16}}},
    {"VELDARO_SDPVPool", "CIM_StoragePool", {"InstanceID"}, {{"RLUN", cimple::UINT32}, {"SDPID", cimple::UINT32}}},
    {"VELDARO_SnapDataPool", "CIM_StoragePool", {"InstanceID"}, {{"SDPID", cimple::UINT32}, {"AlarmStatus", cimple::STRING}, {"AttentionLevelRange", cimple::UINT16}, {"WarningLevelRange", cimple::UINT16}, {"SevereLevelRange", cimple::UINT16}}},
    {"VELDARO_LayerixPool", "SNIA_StoragePool", {"InstanceID"}, {{"AlarmStatus", cimple::STRING}, {"AttentionLevelRange", cimple::UINT16}, {"WarningLevelRange", cimple::UINT16}}},
    {"VELDARO_LayerixSubPool", "SNIA_StoragePool", {"InstanceID"}, {{"RaidLevel", cimple::STRING}}},
    {"VELDARO_StorageVolume", "SNIA_StorageVolume", kDeviceKeys, {{"RaidLevel", cimple::STRING}, {"LUN", cimple::UINT32}, {"Usage", cimple::UINT16}, {"AttentionLevelRange", cimple::UINT16}}},
    {"VELDARO_DiskExtent", "CIM_StorageExtent", kDeviceKeys, {{"BlockCount", cimple::UINT64}, {"Usage", cimple::UINT16}}},
    {"VELDARO_RAIDCompositeExtent", "CIM_CompositeExtent", kDeviceKeys, {}},
    {"VELDARO_FreeExtent", "CIM_StorageExtent", kDeviceKeys, {{"StartingAddress", cimple::UINT64}}},
    {"VELDARO_PartOfConcatenatedExtent", "CIM_StorageExtent", kDeviceKeys, {}},
    {"VELDARO_MirroredExtent", "CIM_CompositeExtent", kDeviceKeys, {{"StripingNumber", cimple::UINT32}}},
    {"VELDARO_ConcatenatedExtent", "CIM_CompositeExtent", kDeviceKeys, {}},
    {"VELDARO_StripingCompositeExtent", "CIM_CompositeExtent", kDeviceKeys, {{"RLUN", cimple::UINT32}, {"DLUN", cimple::UINT32}}},
    {"VELDARO_SDPVExtent", "CIM_StorageExtent", kDeviceKeys, {{"RLUN", cimple::UINT32}, {"OLUN", cimple::UINT32}, {"SDPID", cimple::UINT32}, {"Usage", cimple::UINT16}}},
    {"VELDARO_SnapDataCompositeExtent", "CIM_CompositeExtent", kDeviceKeys, {{"SDPID", cimple::UINT32}}},
    {"VELDARO_ThinProvisioningExtent", "CIM_CompositeExtent", kDeviceKeys, {}},
    {"VELDARO_ThinProvisioningFreeExtent", "CIM_StorageExtent", kDeviceKeys, {{"StartingAddress", cimple::UINT64}}},
    {"VELDARO_LayerixExtent", "CIM_CompositeExtent", kDeviceKeys, {}},
    {"VELDARO_LayerixSubExtent", "CIM_CompositeExtent", kDeviceKeys, {}},
    {"VELDARO_RedundancySet", "CIM_RedundancySet", {"InstanceID"}, {}},
    {"VELDARO_StorageRedundancySet", "CIM_StorageRedundancySet", {"InstanceID"}, {{"HSRLUN", cimple::STRING}}},
    {"VELDARO_StorageSetting", "SNIA_StorageSetting", {"InstanceID"}, {{"RaidLevel", cimple::STRING}}},
    {"VELDARO_PrimordialStorageCapabilities", "CIM_StorageCapabilities", {"InstanceID"}, {}},
    {"VELDARO_RAIDStorageCapabilities", "CIM_StorageCapabilities", {"InstanceID"}, {{"RaidLevel", cimple::STRING}}},
    {"VELDARO_ThinProvisioningCapabilities", "SNIA_StorageCapabilities", {"InstanceID"}, {{"RaidLevel", cimple::STRING}}},
    {"VELDARO_SDPVCapabilities", "CIM_StorageCapabilities", {"InstanceID"}, {}},
    {"VELDARO_SnapDataCapabilities", "CIM_StorageCapabilities", {"InstanceID"}, {}},
    {"VELDARO_LayerixCapabilities", "SNIA_StorageCapabilities", {"InstanceID"}, {}},
    {"VELDARO_LayerixSubCapabilities", "SNIA_StorageCapabilities", {"InstanceID"}, {{"RaidLevel", cimple::STRING}}},
    {"VELDARO_StorageConfigurationCapabilities", "SNIA_StorageConfigurationCapabilities", {"InstanceID"}, {}},
    {"VELDARO_StorageConfigurationService", "SNIA_StorageConfigurationService", kServiceKeys, {}},
    {"VELDARO_ControllerConfigurationService", "CIM_ControllerConfigurationService", kServiceKeys, {}},
    {"VELDARO_StorageHardwareIDManagementService", "SNIA_StorageHardwareIDManagementService", kServiceKeys, {}},
    {"VELDARO_PrivilegeManagementService", "CIM_PrivilegeManagementService", kServiceKeys, {}},
    {"VELDARO_LUNMappingController", "CIM_SCSIProtocolController", kDeviceKeys, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_AffinityGroupController", "CIM_SCSIProtocolController", kDeviceKeys, {{"AffinityGroupNumber", cimple::UINT32}, {"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_AuthorizedPrivilege", "CIM_AuthorizedPrivilege", {"InstanceID"}, {{"StorageID", cimple::STRING}, {"AffinityGroupNumber", cimple::UINT32}, {"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_DefaultAuthorizedPrivilege", "CIM_AuthorizedPrivilege", {"InstanceID"}, {{"CMSlotNumber", cimple::UINT32}, {"CASlotNumber", cimple::UINT32}, {"PortNo", cimple::UINT32}}},
    {"VELDARO_StorageHardwareID", "SNIA_StorageHardwareID", {"InstanceID"}, {}},
    {"VELDARO_DefaultStorageHardwareID", "CIM_StorageHardwareID", {"InstanceID"}, {}},
    {"VELDARO_ProtocolControllerMaskingCapabilities", "SNIA_ProtocolControllerMaskingCapabilities", {"InstanceID"}, {}},
    {"VELDARO_ReplicationService", "SNIA_ReplicationService", kServiceKeys, {}},
    {"VELDARO_ReplicationServiceCapabilities", "SNIA_ReplicationServiceCapabilities", {"InstanceID"}, {}},
    {"VELDARO_ReplicationSettingData", "SNIA_ReplicationSettingData", {"InstanceID"}, {{"CopyTypeID", cimple::UINT32}}},
    {"VELDARO_StorageReplicationCapabilities", "CIM_StorageReplicationCapabilities", {"InstanceID"}, {}},
    {"VELDARO_RemoteStorageVolume", "CIM_StorageVolume", kDeviceKeys, {{"BoxID", cimple::STRING}, {"LUN", cimple::UINT32}, {"Usage", cimple::UINT16}}},
    {"VELDARO_AllocatedFromStoragePool", "CIM_AllocatedFromStoragePool", {"Antecedent", "Dependent"}, {{"VolumeConsumed", cimple::UINT64}}},
    {"VELDARO_StorageSynchronized", "SNIA_StorageSynchronized", {"SystemElement", "SyncedElement"}, {{"TargetAccessibility", cimple::UINT16}}},
    };
    return rows;
}

std::vector<std::string> sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

TEST(VendorClasses, EveryRowHasItsSuperclassKeysAndAddedProperties)
{
    ASSERT_EQ(vendorRows().size(), 96u);
    for (const VendorRow& row : vendorRows()) {
        SCOPED_TRACE(row.name);
        const cimple::Meta_Class* mc = findClass(row.name);
        ASSERT_NE(mc, nullptr);
        ASSERT_NE(mc->super_meta_class, nullptr);
        EXPECT_STREQ(mc->super_meta_class->name, row.superclass);
        EXPECT_EQ(sorted(keyNames(mc)), sorted(row.keys));
        EXPECT_EQ(mc->num_keys, row.keys.size());

        // The class declares exactly the added properties, in that order,
        // and redeclares nothing it inherits.
        std::vector<std::string> local;
        for (size_t i = 0; i < mc->num_meta_features; ++i) {
            if (mc->locals[i].local)
                local.push_back(mc->meta_features[i]->name);
        }
        std::vector<std::string> expected;
        for (const AddedProperty& p : row.added)
            expected.push_back(p.name);
        EXPECT_EQ(local, expected);
        for (const AddedProperty& p : row.added) {
            const cimple::Meta_Property* mp = findProperty(mc, p.name);
            ASSERT_NE(mp, nullptr) << p.name;
            EXPECT_EQ(mp->type, p.type) << p.name;
            EXPECT_EQ(mp->subscript, 0) << p.name;
            EXPECT_EQ(mp->value, nullptr) << p.name << " carries a default";
            EXPECT_EQ(mp->flags & (CIMPLE_FLAG_KEY | CIMPLE_FLAG_WRITE | CIMPLE_FLAG_COUNTER), 0u)
                << p.name;
        }
    }
}

TEST(VendorClasses, AreConcreteAndNotExperimental)
{
    size_t vendor = 0;
    const cimple::Meta_Repository& r = cimple::schema_repository;
    for (size_t i = 0; i < r.num_meta_classes; ++i) {
        const cimple::Meta_Class* mc = r.meta_classes[i];
        if (std::string(mc->name).rfind("VELDARO_", 0) != 0)
            continue;
        ++vendor;
        EXPECT_EQ(mc->flags & (CIMPLE_FLAG_ABSTRACT | CIMPLE_FLAG_EXPERIMENTAL), 0u) << mc->name;
        EXPECT_NE(mc->flags & CIMPLE_FLAG_CLASS, 0u) << mc->name;
    }
    EXPECT_EQ(vendor, 96u);
}

TEST(VendorClasses, TheTwoVendorAssociationsAreAssociations)
{
    for (const char* name : {"VELDARO_AllocatedFromStoragePool", "VELDARO_StorageSynchronized"}) {
        const cimple::Meta_Class* mc = findClass(name);
        ASSERT_NE(mc, nullptr) << name;
        EXPECT_NE(mc->flags & CIMPLE_FLAG_ASSOCIATION, 0u) << name;
    }
    EXPECT_EQ(findReference(findClass("VELDARO_StorageSynchronized"), "SystemElement")->meta_class,
              findReference(findClass("CIM_Synchronized"), "SystemElement")->meta_class);
}

} // namespace
