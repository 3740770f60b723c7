// The class repository as a whole: its size, the consistency of every
// record, and instances of every class.
#include "SchemaLookup.h"
#include "schema_classes.h"

#include <cimple/Instance.h>
#include <cimple/Meta_Value.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <type_traits>

namespace {

using namespace schema_test;

// Class structs are flat: each derives from Instance alone and repeats its
// superclass's fields, so an instance reaches a superclass struct by cast<>.
static_assert(std::is_base_of_v<cimple::Instance, cimple::VELDARO_StorageVolume>);
static_assert(!std::is_base_of_v<cimple::CIM_StorageExtent, cimple::VELDARO_StorageVolume>);
static_assert(std::is_base_of_v<cimple::Instance, cimple::CIM_ManagedElement>);
static_assert(std::is_same_v<cimple::VELDARO_StorageVolume_RequestStateChange_method,
                             cimple::CIM_EnabledLogicalElement_RequestStateChange_method>);

TEST(Repository, Holds268ClassesByPrefix)
{
    const cimple::Meta_Repository& r = cimple::schema_repository;
    ASSERT_EQ(r.num_meta_classes, 273u);
    size_t cim = 0, snia = 0, vendor = 0;
    std::set<std::string> names;
    for (size_t i = 0; i < r.num_meta_classes; ++i) {
        std::string name = r.meta_classes[i]->name;
        cim += name.rfind("CIM_", 0) == 0;
        snia += name.rfind("SNIA_", 0) == 0;
        vendor += name.rfind("VELDARO_", 0) == 0;
        EXPECT_TRUE(names.insert(name).second) << name;
    }
    EXPECT_EQ(cim, 162u);
    EXPECT_EQ(snia, 15u);
    EXPECT_EQ(vendor, 96u);
    EXPECT_STREQ(cimple::schema_version, "2.18.1");
}

TEST(Repository, EveryRecordIsConsistent)
{
    const cimple::Meta_Repository& r = cimple::schema_repository;
    std::set<const cimple::Meta_Class*> inRepository(r.meta_classes,
                                                     r.meta_classes + r.num_meta_classes);
    for (size_t i = 0; i < r.num_meta_classes; ++i) {
        const cimple::Meta_Class* mc = r.meta_classes[i];
        SCOPED_TRACE(mc->name);
        EXPECT_EQ(mc->refs.n, 0);
        EXPECT_NE(mc->flags & CIMPLE_FLAG_CLASS, 0u);
        EXPECT_EQ(mc->meta_qualifiers, nullptr);
        EXPECT_EQ(mc->num_meta_qualifiers, 0u);
        EXPECT_EQ(mc->meta_repository, &r);
        EXPECT_GE(mc->size, sizeof(cimple::Instance));
        const cimple::Meta_Class* sup = mc->super_meta_class;
        if (sup) {
            EXPECT_TRUE(inRepository.count(sup));
            // Inherited features first, in the superclass's order; a
            // redeclared one keeps its place and position in the instance.
            ASSERT_GE(mc->num_meta_features, sup->num_meta_features);
            EXPECT_GE(mc->size, sup->size);
            for (size_t j = 0; j < sup->num_meta_features; ++j) {
                const cimple::Meta_Feature* f = mc->meta_features[j];
                const cimple::Meta_Feature* g = sup->meta_features[j];
                EXPECT_STREQ(f->name, g->name);
                if (!mc->locals[j].local) {
                    EXPECT_EQ(f, g) << f->name;
                } else if (f->flags & CIMPLE_FLAG_PROPERTY) {
                    EXPECT_EQ(reinterpret_cast<const cimple::Meta_Property*>(f)->offset,
                              reinterpret_cast<const cimple::Meta_Property*>(g)->offset);
                } else if (f->flags & CIMPLE_FLAG_REFERENCE) {
                    EXPECT_EQ(reinterpret_cast<const cimple::Meta_Reference*>(f)->offset,
                              reinterpret_cast<const cimple::Meta_Reference*>(g)->offset);
                }
            }
            for (size_t j = sup->num_meta_features; j < mc->num_meta_features; ++j)
                EXPECT_EQ(mc->locals[j].local, 1) << mc->meta_features[j]->name;
        } else {
            for (size_t j = 0; j < mc->num_meta_features; ++j)
                EXPECT_EQ(mc->locals[j].local, 1);
        }
        size_t keys = 0;
        std::set<std::string> featureNames;
        std::set<cimple::uint32> offsets;
        for (size_t j = 0; j < mc->num_meta_features; ++j) {
            const cimple::Meta_Feature* f = mc->meta_features[j];
            EXPECT_TRUE(featureNames.insert(f->name).second) << f->name;
            keys += (f->flags & CIMPLE_FLAG_KEY) != 0;
            int kinds = !!(f->flags & CIMPLE_FLAG_PROPERTY) + !!(f->flags & CIMPLE_FLAG_REFERENCE) +
                        !!(f->flags & CIMPLE_FLAG_METHOD);
            EXPECT_EQ(kinds, 1) << f->name;
            cimple::uint32 off = 0;
            if (f->flags & CIMPLE_FLAG_PROPERTY) {
                auto p = reinterpret_cast<const cimple::Meta_Property*>(f);
                EXPECT_LT(p->type, cimple::NUM_TYPES) << f->name;
                off = p->offset;
            } else if (f->flags & CIMPLE_FLAG_REFERENCE) {
                auto p = reinterpret_cast<const cimple::Meta_Reference*>(f);
                if (!(f->flags & CIMPLE_FLAG_EMBEDDED_OBJECT)) {
                    EXPECT_TRUE(inRepository.count(p->meta_class)) << f->name;
                    EXPECT_NE(mc->flags & CIMPLE_FLAG_ASSOCIATION, 0u) << f->name;
                }
                off = p->offset;
            } else {
                continue;
            }
            EXPECT_GE(off, sizeof(cimple::Instance)) << f->name;
            EXPECT_LT(off, mc->size) << f->name;
            EXPECT_TRUE(offsets.insert(off).second) << f->name << " shares a field";
        }
        EXPECT_EQ(mc->num_keys, keys);
        if (mc->flags & CIMPLE_FLAG_AGGREGATION) {
            EXPECT_NE(mc->flags & CIMPLE_FLAG_ASSOCIATION, 0u);
        }
    }
}

TEST(Repository, CreateAndDestroyEveryClassAndMethodInstance)
{
    const cimple::Meta_Repository& r = cimple::schema_repository;
    for (size_t i = 0; i < r.num_meta_classes; ++i) {
        const cimple::Meta_Class* mc = r.meta_classes[i];
        for (bool defaults : {false, true}) {
            cimple::Instance* inst = cimple::create(mc, defaults);
            ASSERT_NE(inst, nullptr) << mc->name;
            EXPECT_EQ(inst->meta_class, mc) << mc->name;
            cimple::destroy(inst);
        }
        for (size_t j = 0; j < mc->num_meta_features; ++j) {
            if (!mc->locals[j].local || !(mc->meta_features[j]->flags & CIMPLE_FLAG_METHOD))
                continue;
            auto mm = reinterpret_cast<const cimple::Meta_Method*>(mc->meta_features[j]);
            cimple::Instance* inst = cimple::create(mm);
            ASSERT_NE(inst, nullptr) << mc->name << "." << mm->name;
            cimple::destroy(inst);
        }
    }
}

TEST(Repository, TypedCreateFillsFieldsAndDefaults)
{
    cimple::VELDARO_StorageVolume* vol = cimple::VELDARO_StorageVolume::create(true);
    ASSERT_NE(vol, nullptr);
    EXPECT_EQ(vol->meta_class, &cimple::VELDARO_StorageVolume::static_meta_class);
    EXPECT_EQ(vol->EnabledState.null, 0);
    EXPECT_EQ(vol->EnabledState.value, 5);
    EXPECT_EQ(vol->ThinlyProvisioned.null, 0);
    EXPECT_FALSE(vol->ThinlyProvisioned.value);
    EXPECT_EQ(vol->CanDelete.null, 0);
    EXPECT_TRUE(vol->CanDelete.value);
    EXPECT_EQ(vol->DeviceID.null, 1);
    EXPECT_EQ(vol->Usage.null, 1);
    vol->DeviceID.set(cimple::String("VOL00001_10.0.0.5"));
    vol->Usage.set(2);
    cimple::CIM_StorageExtent* extent = cimple::cast<cimple::CIM_StorageExtent*>(vol);
    ASSERT_NE(extent, nullptr);
    EXPECT_EQ(extent->DeviceID.value, cimple::String("VOL00001_10.0.0.5"));
    cimple::destroy(vol);

    auto* assoc = cimple::VELDARO_AllocatedFromStoragePool::create();
    ASSERT_NE(assoc, nullptr);
    EXPECT_EQ(assoc->Antecedent, nullptr);
    assoc->Antecedent = cimple::cast<cimple::CIM_StoragePool*>(cimple::VELDARO_RAIDStoragePool::create());
    assoc->Dependent = cimple::cast<cimple::CIM_LogicalElement*>(cimple::VELDARO_StorageVolume::create());
    assoc->VolumeConsumed.set(1024);
    cimple::destroy(assoc); // frees both ends

    auto* m = cimple::VELDARO_StorageVolume_RequestStateChange_method::create();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(cimple::to_meta_method(m->meta_class),
              &cimple::CIM_EnabledLogicalElement_RequestStateChange_method::static_meta_class);
    m->Job = cimple::CIM_ConcreteJob::create();
    cimple::destroy(m);
}

struct DefaultCase {
    const char* cls;
    const char* property;
    long long value; // booleans: 0 or 1
};

TEST(Repository, StandardDefaultsAreCarried)
{
    for (const DefaultCase& c : {DefaultCase{"CIM_EnabledLogicalElement", "EnabledState", 5},
                                 DefaultCase{"CIM_EnabledLogicalElement", "RequestedState", 12},
                                 DefaultCase{"CIM_EnabledLogicalElement", "EnabledDefault", 2},
                                 DefaultCase{"VELDARO_StorageVolume", "EnabledState", 5},
                                 DefaultCase{"VELDARO_RAIDStoragePool", "Primordial", 0},
                                 DefaultCase{"VELDARO_PrimordialStoragePool", "Primordial", 0},
                                 DefaultCase{"VELDARO_DiskExtent", "Primordial", 0},
                                 DefaultCase{"VELDARO_StorageVolume", "ThinlyProvisioned", 0},
                                 DefaultCase{"VELDARO_StorageVolume", "CanDelete", 1}}) {
        SCOPED_TRACE(std::string(c.cls) + "." + c.property);
        const cimple::Meta_Property* p = findProperty(findClass(c.cls), c.property);
        ASSERT_NE(p, nullptr);
        ASSERT_NE(p->value, nullptr);
        long long v = 0;
        if (p->type == cimple::BOOLEAN)
            v = reinterpret_cast<const cimple::Meta_Value_Scalar<cimple::boolean>*>(p->value)->value;
        else if (p->type == cimple::UINT16)
            v = reinterpret_cast<const cimple::Meta_Value_Scalar<cimple::uint16>*>(p->value)->value;
        else
            FAIL() << "unexpected type " << p->type;
        EXPECT_EQ(v, c.value);
    }
}

TEST(Repository, UsageIsTheUint16OfLaterStorageExtents)
{
    struct Case {
        const char* cls;
        cimple::uint16 type;
    };
    for (const Case& c : {Case{"VELDARO_DiskExtent", cimple::UINT16},
                          Case{"VELDARO_StorageVolume", cimple::UINT16},
                          Case{"VELDARO_RemoteStorageVolume", cimple::UINT16},
                          Case{"VELDARO_SDPVExtent", cimple::UINT16}}) {
        const cimple::Meta_Class* mc = findClass(c.cls);
        const cimple::Meta_Property* p = findProperty(mc, "Usage");
        ASSERT_NE(p, nullptr) << c.cls;
        EXPECT_EQ(p->type, c.type) << c.cls;
        EXPECT_TRUE(isLocal(mc, p)) << c.cls;
    }
}

TEST(Repository, PoolsDeriveFromTheStandardOrTheIndustryPool)
{
    for (const char* name : {"VELDARO_RAIDStoragePool", "VELDARO_SDPVPool", "VELDARO_SnapDataPool"}) {
        const cimple::Meta_Class* mc = findClass(name);
        ASSERT_NE(mc, nullptr) << name;
        EXPECT_STREQ(mc->super_meta_class->name, "CIM_StoragePool");
    }
    for (const char* name : {"VELDARO_PrimordialStoragePool", "VELDARO_ThinProvisioningPool",
                             "VELDARO_LayerixPool", "VELDARO_LayerixSubPool"}) {
        const cimple::Meta_Class* mc = findClass(name);
        ASSERT_NE(mc, nullptr) << name;
        EXPECT_STREQ(mc->super_meta_class->name, "SNIA_StoragePool");
        EXPECT_STREQ(mc->super_meta_class->super_meta_class->name, "CIM_StoragePool");
    }
}

TEST(Repository, IndustryClassesHaveTheirSuperclasses)
{
    struct Case {
        const char* cls;
        const char* superclass;
    };
    const Case cases[] = {
        {"SNIA_ProtocolControllerMaskingCapabilities", "CIM_ProtocolControllerMaskingCapabilities"},
        {"SNIA_StorageHardwareIDManagementService", "CIM_StorageHardwareIDManagementService"},
        {"SNIA_StorageHardwareID", "CIM_StorageHardwareID"},
        {"SNIA_StorageConfigurationService", "CIM_StorageConfigurationService"},
        {"SNIA_StorageConfigurationCapabilities", "CIM_StorageConfigurationCapabilities"},
        {"SNIA_StorageVolume", "CIM_StorageVolume"},
        {"SNIA_StoragePool", "CIM_StoragePool"},
        {"SNIA_StorageSetting", "CIM_StorageSetting"},
        {"SNIA_Synchronized", "CIM_Synchronized"},
        {"SNIA_StorageSynchronized", "SNIA_Synchronized"},
        {"SNIA_ReplicationGroup", "CIM_SystemSpecificCollection"},
        {"SNIA_ReplicationSettingData", "CIM_SettingData"},
        {"SNIA_ReplicationService", "CIM_Service"},
        {"SNIA_ReplicationServiceCapabilities", "CIM_Capabilities"},
        {"SNIA_StorageCapabilities", "CIM_StorageCapabilities"},
    };
    for (const Case& c : cases) {
        const cimple::Meta_Class* mc = findClass(c.cls);
        ASSERT_NE(mc, nullptr) << c.cls;
        ASSERT_NE(mc->super_meta_class, nullptr) << c.cls;
        EXPECT_STREQ(mc->super_meta_class->name, c.superclass);
    }
}

TEST(Repository, IndicationClassesCarryEmbeddedInstances)
{
    for (const char* name : {"CIM_InstCreation", "CIM_InstDeletion", "CIM_InstModification"}) {
        const cimple::Meta_Class* mc = findClass(name);
        ASSERT_NE(mc, nullptr) << name;
        EXPECT_NE(mc->flags & CIMPLE_FLAG_INDICATION, 0u) << name;
        EXPECT_EQ(mc->flags & CIMPLE_FLAG_ABSTRACT, 0u) << name;
        const cimple::Meta_Reference* src = findReference(mc, "SourceInstance");
        ASSERT_NE(src, nullptr) << name;
        EXPECT_NE(src->flags & CIMPLE_FLAG_EMBEDDED_OBJECT, 0u);
        EXPECT_EQ(src->meta_class, nullptr);
        ASSERT_NE(findProperty(mc, "SourceInstanceModelPath"), nullptr);
        ASSERT_NE(findProperty(mc, "IndicationIdentifier"), nullptr);
        ASSERT_NE(findProperty(mc, "IndicationTime"), nullptr);
    }
    EXPECT_NE(findReference(findClass("CIM_InstModification"), "PreviousInstance"), nullptr);
    EXPECT_NE(findClass("CIM_Indication")->flags & CIMPLE_FLAG_ABSTRACT, 0u);
    EXPECT_EQ(findClass("CIM_AlertIndication")->flags & CIMPLE_FLAG_ABSTRACT, 0u);

    auto* ind = cimple::CIM_InstModification::create();
    ASSERT_NE(ind, nullptr);
    ind->SourceInstance = cimple::VELDARO_StorageVolume::create();
    ind->PreviousInstance = cimple::VELDARO_StorageVolume::create();
    cimple::destroy(ind);
}

TEST(Repository, AlertIndicationCarriesWhatAlertsAreFilledWith)
{
    struct Case {
        const char* property;
        cimple::uint16 type;
        bool array;
    };
    const Case cases[] = {
        {"IndicationIdentifier", cimple::STRING, false}, {"IndicationTime", cimple::DATETIME, false},
        {"AlertingManagedElement", cimple::STRING, false}, {"AlertingElementFormat", cimple::UINT16, false},
        {"AlertType", cimple::UINT16, false},           {"PerceivedSeverity", cimple::UINT16, false},
        {"ProbableCause", cimple::UINT16, false},       {"SystemCreationClassName", cimple::STRING, false},
        {"SystemName", cimple::STRING, false},          {"ProviderName", cimple::STRING, false},
        {"OwningEntity", cimple::STRING, false},        {"MessageID", cimple::STRING, false},
        {"Message", cimple::STRING, false},             {"MessageArguments", cimple::STRING, true},
    };
    const cimple::Meta_Class* mc = findClass("CIM_AlertIndication");
    ASSERT_NE(mc, nullptr);
    for (const Case& c : cases) {
        const cimple::Meta_Property* p = findProperty(mc, c.property);
        ASSERT_NE(p, nullptr) << c.property;
        EXPECT_EQ(p->type, c.type) << c.property;
        EXPECT_EQ(p->subscript != 0, c.array) << c.property;
    }
}

} // namespace
