// The association classes that the association providers serve: superclass,
// the two references in schema order, then the other properties.
#include "SchemaLookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace schema_test;

struct RefRow {
    const char* name;
    const char* cls;
};

struct PropRow {
    const char* name;
    cimple::uint16 type;
    bool array;
};

struct AssociationRow {
    const char* name;
    const char* superclass; // "" for a root
    RefRow first;
    RefRow second;
    std::vector<PropRow> others;
};

const std::vector<AssociationRow>& associations()
{
    static const std::vector<AssociationRow> rows = {
    {"CIM_AssociatedComponentExtent", "CIM_Component", {"GroupComponent", "CIM_StoragePool"}, {"PartComponent", "CIM_StorageExtent"}, {}},
    {"CIM_AssociatedRemainingExtent", "CIM_Component", {"GroupComponent", "CIM_StoragePool"}, {"PartComponent", "CIM_StorageExtent"}, {}},
    {"CIM_AuthorizedSubject", "", {"Privilege", "CIM_AuthorizedPrivilege"}, {"PrivilegedElement", "CIM_ManagedElement"}, {}},
    {"CIM_AuthorizedTarget", "", {"Privilege", "CIM_AuthorizedPrivilege"}, {"TargetElement", "CIM_ManagedElement"}, {}},
    {"CIM_BasedOn", "CIM_Dependency", {"Antecedent", "CIM_StorageExtent"}, {"Dependent", "CIM_StorageExtent"}, {{"StartingAddress", cimple::UINT64, false}, {"EndingAddress", cimple::UINT64, false}, {"OrderIndex", cimple::UINT16, false}}},
    {"CIM_BindsTo", "CIM_SAPSAPDependency", {"Antecedent", "CIM_ProtocolEndpoint"}, {"Dependent", "CIM_ServiceAccessPoint"}, {}},
    {"CIM_CommMechanismForManager", "CIM_ServiceAccessBySAP", {"Antecedent", "CIM_ObjectManager"}, {"Dependent", "CIM_ObjectManagerCommunicationMechanism"}, {}},
    {"CIM_ComponentCS", "CIM_SystemComponent", {"GroupComponent", "CIM_ComputerSystem"}, {"PartComponent", "CIM_ComputerSystem"}, {}},
    {"CIM_CompositeExtentBasedOn", "CIM_BasedOn", {"Antecedent", "CIM_StorageExtent"}, {"Dependent", "CIM_CompositeExtent"}, {{"StartingAddress", cimple::UINT64, false}, {"EndingAddress", cimple::UINT64, false}, {"OrderIndex", cimple::UINT16, false}, {"LBAsMappedByDecrementing", cimple::BOOLEAN, false}, {"LBAMappingIncludesCheckData", cimple::BOOLEAN, false}, {"NumberOfBlocks", cimple::UINT64, false}, {"BlockSize", cimple::UINT64, false}, {"UserDataStripeDepth", cimple::UINT64, false}, {"UnitsBeforeCheckDataInterleave", cimple::UINT64, false}, {"UnitsOfCheckData", cimple::UINT64, false}, {"UnitsOfUserData", cimple::UINT64, false}}},
    {"CIM_ComputerSystemPackage", "CIM_SystemPackaging", {"Antecedent", "CIM_PhysicalPackage"}, {"Dependent", "CIM_ComputerSystem"}, {{"PlatformGUID", cimple::STRING, false}}},
    {"CIM_ConcreteComponent", "CIM_Component", {"GroupComponent", "CIM_ManagedElement"}, {"PartComponent", "CIM_ManagedElement"}, {}},
    {"CIM_ConcreteDependency", "CIM_Dependency", {"Antecedent", "CIM_ManagedElement"}, {"Dependent", "CIM_ManagedElement"}, {}},
    {"CIM_ConcreteIdentity", "CIM_LogicalIdentity", {"SystemElement", "CIM_ManagedElement"}, {"SameElement", "CIM_ManagedElement"}, {}},
    {"CIM_ConnectorOnPackage", "CIM_Container", {"GroupComponent", "CIM_PhysicalPackage"}, {"PartComponent", "CIM_PhysicalConnector"}, {{"LocationWithinContainer", cimple::STRING, false}}},
    {"CIM_Container", "CIM_Component", {"GroupComponent", "CIM_PhysicalPackage"}, {"PartComponent", "CIM_PhysicalElement"}, {{"LocationWithinContainer", cimple::STRING, false}}},
    {"CIM_DeviceSAPImplementation", "CIM_Dependency", {"Antecedent", "CIM_LogicalDevice"}, {"Dependent", "CIM_ServiceAccessPoint"}, {}},
    {"CIM_ElementCapabilities", "", {"ManagedElement", "CIM_ManagedElement"}, {"Capabilities", "CIM_Capabilities"}, {}},
    {"CIM_ElementConformsToProfile", "", {"ConformantStandard", "CIM_RegisteredProfile"}, {"ManagedElement", "CIM_ManagedElement"}, {}},
    {"CIM_ElementLocation", "", {"Element", "CIM_ManagedElement"}, {"PhysicalLocation", "CIM_Location"}, {}},
    {"CIM_ElementSettingData", "", {"ManagedElement", "CIM_ManagedElement"}, {"SettingData", "CIM_SettingData"}, {{"IsDefault", cimple::UINT16, false}, {"IsCurrent", cimple::UINT16, false}}},
    {"CIM_ElementSoftwareIdentity", "CIM_Dependency", {"Antecedent", "CIM_SoftwareIdentity"}, {"Dependent", "CIM_ManagedElement"}, {{"UpgradeCondition", cimple::UINT16, false}, {"OtherUpgradeCondition", cimple::STRING, false}}},
    {"CIM_ElementStatisticalData", "", {"ManagedElement", "CIM_ManagedElement"}, {"Stats", "CIM_StatisticalData"}, {}},
    {"CIM_EndpointOfNetworkPipe", "CIM_Dependency", {"Antecedent", "CIM_ProtocolEndpoint"}, {"Dependent", "CIM_NetworkPipe"}, {{"SourceOrSink", cimple::UINT16, false}}},
    {"CIM_HostedAccessPoint", "CIM_HostedDependency", {"Antecedent", "CIM_System"}, {"Dependent", "CIM_ServiceAccessPoint"}, {}},
    {"CIM_HostedCollection", "CIM_HostedDependency", {"Antecedent", "CIM_System"}, {"Dependent", "CIM_SystemSpecificCollection"}, {}},
    {"CIM_HostedService", "CIM_HostedDependency", {"Antecedent", "CIM_System"}, {"Dependent", "CIM_Service"}, {}},
    {"CIM_HostedStoragePool", "CIM_SystemComponent", {"GroupComponent", "CIM_System"}, {"PartComponent", "CIM_StoragePool"}, {}},
    {"CIM_InstalledSoftwareIdentity", "", {"System", "CIM_System"}, {"InstalledSoftware", "CIM_SoftwareIdentity"}, {}},
    {"CIM_IsSpare", "CIM_Dependency", {"Antecedent", "CIM_ManagedElement"}, {"Dependent", "CIM_RedundancySet"}, {{"SpareStatus", cimple::UINT16, false}, {"FailoverSupported", cimple::UINT16, false}}},
    {"CIM_MediaPresent", "CIM_Dependency", {"Antecedent", "CIM_MediaAccessDevice"}, {"Dependent", "CIM_StorageExtent"}, {{"FixedMedia", cimple::BOOLEAN, false}}},
    {"CIM_MemberOfCollection", "", {"Collection", "CIM_Collection"}, {"Member", "CIM_ManagedElement"}, {}},
    {"CIM_MemoryOnCard", "CIM_PackagedComponent", {"GroupComponent", "CIM_Card"}, {"PartComponent", "CIM_PhysicalMemory"}, {{"LocationWithinContainer", cimple::STRING, false}}},
    {"CIM_NamespaceInManager", "CIM_HostedDependency", {"Antecedent", "CIM_ObjectManager"}, {"Dependent", "CIM_Namespace"}, {}},
    {"CIM_NetworkPipeComposition", "CIM_Component", {"GroupComponent", "CIM_NetworkPipe"}, {"PartComponent", "CIM_NetworkPipe"}, {{"AggregationSequence", cimple::UINT16, false}}},
    {"CIM_PackageInChassis", "CIM_Container", {"GroupComponent", "CIM_Chassis"}, {"PartComponent", "CIM_PhysicalPackage"}, {{"LocationWithinContainer", cimple::STRING, false}}},
    {"CIM_PackageInSlot", "CIM_PackageInConnector", {"Antecedent", "CIM_Slot"}, {"Dependent", "CIM_PhysicalPackage"}, {}},
    {"CIM_PackagedComponent", "CIM_Container", {"GroupComponent", "CIM_PhysicalPackage"}, {"PartComponent", "CIM_PhysicalComponent"}, {{"LocationWithinContainer", cimple::STRING, false}}},
    {"CIM_ProductParentChild", "", {"Parent", "CIM_Product"}, {"Child", "CIM_Product"}, {}},
    {"CIM_ProductPhysicalComponent", "CIM_Component", {"GroupComponent", "CIM_Product"}, {"PartComponent", "CIM_PhysicalElement"}, {}},
    {"CIM_ProtocolControllerForPort", "CIM_ProtocolControllerForDevice", {"Antecedent", "CIM_ProtocolController"}, {"Dependent", "CIM_LogicalPort"}, {{"DeviceNumber", cimple::STRING, false}, {"AccessPriority", cimple::UINT16, false}, {"AccessState", cimple::UINT16, false}}},
    {"CIM_ProtocolControllerForUnit", "CIM_ProtocolControllerForDevice", {"Antecedent", "CIM_ProtocolController"}, {"Dependent", "CIM_LogicalDevice"}, {{"DeviceNumber", cimple::STRING, false}, {"AccessPriority", cimple::UINT16, false}, {"AccessState", cimple::UINT16, false}, {"DeviceAccess", cimple::UINT16, false}}},
    {"CIM_Realizes", "CIM_Dependency", {"Antecedent", "CIM_PhysicalElement"}, {"Dependent", "CIM_LogicalDevice"}, {}},
    {"CIM_RealizesExtent", "CIM_Realizes", {"Antecedent", "CIM_PhysicalComponent"}, {"Dependent", "CIM_StorageExtent"}, {{"StartingAddress", cimple::UINT64, false}}},
    {"CIM_ReferencedProfile", "CIM_Dependency", {"Antecedent", "CIM_RegisteredProfile"}, {"Dependent", "CIM_RegisteredProfile"}, {}},
    {"CIM_ReplicaPoolForStorage", "CIM_Dependency", {"Antecedent", "CIM_EnabledLogicalElement"}, {"Dependent", "CIM_StoragePool"}, {}},
    {"CIM_SAPAvailableForElement", "", {"AvailableSAP", "CIM_ServiceAccessPoint"}, {"ManagedElement", "CIM_ManagedElement"}, {}},
    {"CIM_ServiceAffectsElement", "", {"AffectedElement", "CIM_ManagedElement"}, {"AffectingElement", "CIM_Service"}, {{"ElementEffects", cimple::UINT16, true}, {"OtherElementEffectsDescriptions", cimple::STRING, true}}},
    {"CIM_StorageSettingsAssociatedToCapabilities", "CIM_SettingAssociatedToCapabilities", {"Antecedent", "CIM_StorageCapabilities"}, {"Dependent", "CIM_StorageSetting"}, {{"DefaultSetting", cimple::BOOLEAN, false}}},
    {"CIM_StorageSynchronized", "CIM_Synchronized", {"SystemElement", "CIM_ManagedElement"}, {"SyncedElement", "CIM_ManagedElement"}, {{"WhenSynced", cimple::DATETIME, false}, {"SyncMaintained", cimple::BOOLEAN, false}, {"CopyType", cimple::UINT16, false}, {"ReplicaType", cimple::UINT16, false}, {"SyncState", cimple::UINT16, false}}},
    {"CIM_SubProfileRequiresProfile", "CIM_ReferencedProfile", {"Antecedent", "CIM_RegisteredProfile"}, {"Dependent", "CIM_RegisteredSubProfile"}, {}},
    {"CIM_SystemDevice", "CIM_SystemComponent", {"GroupComponent", "CIM_System"}, {"PartComponent", "CIM_LogicalDevice"}, {}},
    {"VELDARO_AllocatedFromStoragePool", "CIM_AllocatedFromStoragePool", {"Antecedent", "CIM_StoragePool"}, {"Dependent", "CIM_LogicalElement"}, {{"SpaceConsumed", cimple::UINT64, false}, {"VolumeConsumed", cimple::UINT64, false}}},
    };
    return rows;
}

TEST(Associations, ReferencesThenOtherPropertiesAsServed)
{
    ASSERT_EQ(associations().size(), 52u);
    for (const AssociationRow& row : associations()) {
        SCOPED_TRACE(row.name);
        const cimple::Meta_Class* mc = findClass(row.name);
        ASSERT_NE(mc, nullptr);
        EXPECT_NE(mc->flags & CIMPLE_FLAG_ASSOCIATION, 0u);
        EXPECT_EQ(mc->flags & CIMPLE_FLAG_ABSTRACT, 0u);
        if (*row.superclass) {
            ASSERT_NE(mc->super_meta_class, nullptr);
            EXPECT_STREQ(mc->super_meta_class->name, row.superclass);
        } else {
            EXPECT_EQ(mc->super_meta_class, nullptr);
        }

        std::vector<const cimple::Meta_Feature*> fields;
        for (size_t i = 0; i < mc->num_meta_features; ++i) {
            if (!(mc->meta_features[i]->flags & CIMPLE_FLAG_METHOD))
                fields.push_back(mc->meta_features[i]);
        }
        ASSERT_EQ(fields.size(), 2 + row.others.size());
        const RefRow refs[2] = {row.first, row.second};
        cimple::uint32 last = 0;
        for (size_t i = 0; i < 2; ++i) {
            ASSERT_NE(fields[i]->flags & CIMPLE_FLAG_REFERENCE, 0u) << refs[i].name;
            auto r = reinterpret_cast<const cimple::Meta_Reference*>(fields[i]);
            EXPECT_STREQ(r->name, refs[i].name);
            ASSERT_NE(r->meta_class, nullptr);
            EXPECT_STREQ(r->meta_class->name, refs[i].cls);
            EXPECT_EQ(r->subscript, 0);
            EXPECT_NE(r->flags & CIMPLE_FLAG_KEY, 0u) << refs[i].name;
            EXPECT_GT(r->offset, last) << refs[i].name;
            last = r->offset;
        }
        for (size_t i = 0; i < row.others.size(); ++i) {
            const PropRow& p = row.others[i];
            ASSERT_NE(fields[2 + i]->flags & CIMPLE_FLAG_PROPERTY, 0u) << p.name;
            auto mp = reinterpret_cast<const cimple::Meta_Property*>(fields[2 + i]);
            EXPECT_STREQ(mp->name, p.name);
            EXPECT_EQ(mp->type, p.type) << p.name;
            EXPECT_EQ(mp->subscript != 0, p.array) << p.name;
            EXPECT_GT(mp->offset, last) << p.name;
            last = mp->offset;
        }
        EXPECT_EQ(mc->num_keys, 2u);
    }
}

TEST(Associations, VendorSynchronizationKeysOnItsTwoElements)
{
    const cimple::Meta_Class* mc = findClass("VELDARO_StorageSynchronized");
    ASSERT_NE(mc, nullptr);
    EXPECT_EQ(keyNames(mc), (std::vector<std::string>{"SystemElement", "SyncedElement"}));
    const cimple::Meta_Property* p = findProperty(mc, "TargetAccessibility");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->type, cimple::UINT16);
    EXPECT_TRUE(derivesFrom(mc, "SNIA_StorageSynchronized"));
    EXPECT_TRUE(derivesFrom(mc, "SNIA_Synchronized"));
}

} // namespace
