// The storage setting catalogue and the capabilities classes driven through
// the framework adapter: what each array publishes, and which setting the
// CreateSetting methods hand out.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CIM_StorageCapabilities.h"
#include "CMTBuilder.h"
#include "ProviderModule.h"
#include "TempInstallDir.h"
#include "VELDARO_StorageConfigurationCapabilities.h"
#include "VELDARO_StorageSetting.h"
#include "VELDARO_ThinProvisioningCapabilities.h"

using cimple::CIM_StorageCapabilities;
using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::Pegasus_Adapter;
using cimple::VELDARO_StorageSetting;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* NO_TABLE = "10.0.0.9";
constexpr const char* UNCONFIGURED = "10.0.0.7";

constexpr unsigned METHOD_FAILED = 0x8030;

class CapabilitiesSettings : public ::testing::Test {
protected:
    // A and B get a (nearly empty) valid table; NO_TABLE is configured
    // without a cache file.
    void install(const std::vector<std::string>& order)
    {
        for (const char* address : {A, B}) {
            smis::test::CMTBuilder b;
            b.maxCounts({.olu = 2, .slu = 2, .rlu = 2, .dlu = 2, .mlu = 2});
            b.installCmf(address);
        }
        std::vector<std::string> env;
        for (const std::string& ip : order)
            env.push_back("StorageIP=" + ip);
        dir.writeEnv(env);
    }

    static std::vector<std::string> instanceIds(const Instance_List& list)
    {
        std::vector<std::string> out;
        for (const Instance_Ptr& p : list)
            out.push_back(static_cast<const cimple::CIM_Capabilities*>(p.get())->InstanceID.value.c_str());
        return out;
    }

    // A model with the InstanceID key only.
    static Instance_Ptr model(Pegasus_Adapter& ad, const std::string& id)
    {
        Instance_Ptr m(cimple::create(ad.meta_class(), true));
        static_cast<cimple::CIM_Capabilities*>(m.get())->InstanceID.set(id.c_str());
        return m;
    }

    struct Outcome {
        int status = -2;
        unsigned returnValue = 0;
        bool handedOut = false;  // NewSetting not null
        std::string settingId;   // its InstanceID ("" when it has none)
        bool settingIdNull = true;
        Instance_Ptr setting;  // a copy of what was handed out
    };

    // CreateSetting on the capabilities with that InstanceID.
    static Outcome createSetting(Pegasus_Adapter& ad, const std::string& id, std::optional<cimple::uint16> type)
    {
        const cimple::Meta_Method* mm = cimple::find_method(ad.meta_class(), "CreateSetting");
        EXPECT_NE(mm, nullptr);
        Outcome out;
        if (!mm)
            return out;
        Instance_Ptr target = model(ad, id);
        Instance_Ptr method(cimple::create(mm));
        cimple::nullify_properties(method.get()); // as a request hands it over
        auto* m = static_cast<cimple::CIM_StorageCapabilities_CreateSetting_method*>(method.get());
        if (type)
            m->SettingType.set(*type);
        out.status = ad.invoke_method(target.get(), method.get());
        out.returnValue = m->return_value.value;
        if (m->NewSetting) {
            out.handedOut = true;
            out.settingIdNull = m->NewSetting->InstanceID.null;
            out.settingId = m->NewSetting->InstanceID.value.c_str();
            out.setting.reset(cimple::clone(m->NewSetting));
        }
        return out;
    }

    smis::test::TempInstallDir dir;
    smis::test::ProviderModule module;
};

struct Catalogue_Row {
    const char* id;  // InstanceID without "_" and the address
    const char* level;
    int data, package;
    bool noSinglePoint, thin;
};

const Catalogue_Row CATALOGUE[] = {
    {"VELDARO:SS_JBOD", "JBOD", 1, 0, false, false},     {"VELDARO:SS_RAID0", "RAID0", 1, 0, false, false},
    {"VELDARO:SS_RAID1", "RAID1", 2, 1, true, false},    {"VELDARO:SS_RAID1+0", "RAID1+0", 2, 1, true, false},
    {"VELDARO:SS_RAID5", "RAID5", 1, 1, true, false},    {"VELDARO:SS_RAID5+0", "RAID5+0", 1, 1, true, false},
    {"VELDARO:SS_RAID6", "RAID6", 1, 2, true, false},    {"VELDARO:SS_RAID0_TPP", "RAID0", 1, 0, false, true},
    {"VELDARO:SS_RAID1_TPP", "RAID1", 2, 1, true, true}, {"VELDARO:SS_RAID1+0_TPP", "RAID1+0", 2, 1, true, true},
    {"VELDARO:SS_RAID5_TPP", "RAID5", 1, 1, true, true}, {"VELDARO:SS_RAID6_TPP", "RAID6", 1, 2, true, true},
};

TEST_F(CapabilitiesSettings, SettingCatalogueOfEachValidArray)
{
    install({A, NO_TABLE, B});
    auto ad = module.adapter("VELDARO_StorageSetting");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    ASSERT_EQ(list.size(), 24u) << "twelve settings each for A and B, none for the array without a table";

    for (size_t i = 0; i < list.size(); ++i) {
        const Catalogue_Row& row = CATALOGUE[i % 12];
        const std::string address = i < 12 ? A : B;
        const auto* s = static_cast<const VELDARO_StorageSetting*>(list[i].get());
        SCOPED_TRACE(row.id);
        EXPECT_EQ(s->InstanceID.value.c_str(), std::string(row.id) + "_" + address);
        EXPECT_EQ(s->Caption.value.c_str(), std::string(row.level) + "(Setting)");
        EXPECT_EQ(s->Description.value.c_str(), std::string(row.level) + "(Setting)");
        EXPECT_STREQ(s->ElementName.value.c_str(), row.level);
        EXPECT_STREQ(s->RaidLevel.value.c_str(), row.level);
        EXPECT_EQ(s->NoSinglePointOfFailure.value, row.noSinglePoint);
        for (auto v : {s->DataRedundancyMax.value, s->DataRedundancyMin.value, s->DataRedundancyGoal.value})
            EXPECT_EQ(v, row.data);
        for (auto v : {s->PackageRedundancyMax.value, s->PackageRedundancyMin.value, s->PackageRedundancyGoal.value})
            EXPECT_EQ(v, row.package);
        for (auto v : {s->DeltaReservationMax.value, s->DeltaReservationMin.value, s->DeltaReservationGoal.value})
            EXPECT_EQ(v, 100);
        EXPECT_EQ(s->ChangeableType.null, 0);
        EXPECT_EQ(s->ChangeableType.value, 0);
        EXPECT_EQ(s->ThinProvisionedPoolType.null, row.thin ? 0 : 1);
        if (row.thin) {
            EXPECT_EQ(s->ThinProvisionedPoolType.value, 8);
        }
        EXPECT_EQ(s->ParityLayout.null, 1);
        EXPECT_EQ(s->UserDataStripeDepth.null, 0) << "properties no filler sets are present";
    }

    Instance_Ptr got;
    ASSERT_EQ(ad->get_instance(model(*ad, std::string("VELDARO:SS_RAID5_TPP_") + B).get(), got), 0);
    const auto* s = static_cast<const VELDARO_StorageSetting*>(got.get());
    EXPECT_EQ(s->ThinProvisionedPoolType.value, 8);
    EXPECT_STREQ(s->RaidLevel.value.c_str(), "RAID5");
    for (const char* address : {UNCONFIGURED, NO_TABLE}) {
        Instance_Ptr none;
        EXPECT_EQ(ad->get_instance(model(*ad, std::string("VELDARO:SS_RAID5_TPP_") + address).get(), none), 60)
            << address;
    }
}

struct Capabilities_Row {
    const char* cls;
    std::vector<std::string> ids;  // InstanceIDs of array A, in order
};

TEST_F(CapabilitiesSettings, CapabilitiesOfEachValidArray)
{
    install({A, NO_TABLE});
    const std::string a = std::string("_") + A;
    const Capabilities_Row rows[] = {
        {"VELDARO_PrimordialStorageCapabilities", {"VELDARO:PSC" + a}},
        {"VELDARO_RAIDStorageCapabilities",
         {"VELDARO:RSC_RAID0" + a, "VELDARO:RSC_RAID1" + a, "VELDARO:RSC_RAID1+0" + a, "VELDARO:RSC_RAID5" + a,
          "VELDARO:RSC_RAID5+0" + a, "VELDARO:RSC_RAID6" + a}},
        {"VELDARO_ThinProvisioningCapabilities",
         {"VELDARO:TPC_RAID0" + a, "VELDARO:TPC_RAID1" + a, "VELDARO:TPC_RAID1+0" + a, "VELDARO:TPC_RAID5" + a,
          "VELDARO:TPC_RAID6" + a}},
        {"VELDARO_SDPVCapabilities", {"VELDARO:SDPVC" + a}},
        {"VELDARO_SnapDataCapabilities", {"VELDARO:SDC" + a}},
        {"VELDARO_StorageConfigurationCapabilities", {"VELDARO:SCC" + a}},
        {"VELDARO_LayerixCapabilities", {"VELDARO:LXC" + a}},
        {"VELDARO_LayerixSubCapabilities",
         {"VELDARO:LXSC_RAID0" + a, "VELDARO:LXSC_RAID1" + a, "VELDARO:LXSC_RAID1+0" + a, "VELDARO:LXSC_RAID5" + a,
          "VELDARO:LXSC_RAID6" + a}},
    };
    for (const Capabilities_Row& row : rows) {
        SCOPED_TRACE(row.cls);
        auto ad = module.adapter(row.cls);
        ASSERT_NE(ad, nullptr);
        Instance_List list;
        ASSERT_EQ(ad->enum_instances(list), 0);
        EXPECT_EQ(instanceIds(list), row.ids);
        for (const Instance_Ptr& p : list) {
            Instance_Ptr got;
            EXPECT_EQ(ad->get_instance(p.get(), got), 0);
            if (std::string(row.cls) != "VELDARO_StorageConfigurationCapabilities") {
                const auto* c = static_cast<const CIM_StorageCapabilities*>(p.get());
                EXPECT_EQ(c->ElementType.value, 5);
                EXPECT_EQ(c->ParityLayoutDefault.null, 1);
                EXPECT_EQ(c->ExtentStripeLengthDefault.null, 0);
            }
        }
        Instance_Ptr none;
        EXPECT_EQ(ad->get_instance(
                      model(*ad, row.ids[0].substr(0, row.ids[0].size() - a.size()) + "_" + NO_TABLE).get(), none),
                  60);
    }
}

// Redundancy values of the fixed capabilities: data, package, delta (max,
// min, default each) and no single point of failure.
struct Values_Row {
    const char* cls;
    size_t index;
    const char* name;
    int data[3], package[3], delta[3];
    bool noSinglePoint;
};

TEST_F(CapabilitiesSettings, CapabilitiesValues)
{
    install({A});
    const Values_Row rows[] = {
        {"VELDARO_PrimordialStorageCapabilities",
         0,
         "Primordial Storage capabilities for VELDARO storage system",
         {2, 1, 2},
         {1, 0, 1},
         {0, 0, 0},
         true},
        {"VELDARO_RAIDStorageCapabilities", 0, "RAID0", {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, false},
        {"VELDARO_RAIDStorageCapabilities", 5, "RAID6", {1, 1, 1}, {2, 2, 2}, {0, 0, 0}, true},
        {"VELDARO_ThinProvisioningCapabilities", 2, "RAID1+0", {2, 2, 2}, {1, 1, 1}, {0, 0, 0}, true},
        {"VELDARO_SDPVCapabilities", 0, "VELDARO_SDPVCapabilities", {1, 1, 1}, {0, 0, 0}, {100, 100, 100}, false},
        {"VELDARO_SnapDataCapabilities", 0, "VELDARO_SnapDataCapabilities", {1, 1, 1}, {0, 0, 0}, {100, 0, 0}, false},
        {"VELDARO_LayerixCapabilities", 0, "VELDARO_LayerixCapabilities", {2, 1, 2}, {2, 0, 1}, {0, 0, 0}, false},
        {"VELDARO_LayerixSubCapabilities", 3, "RAID5", {1, 1, 1}, {1, 1, 1}, {0, 0, 0}, true},
    };
    for (const Values_Row& row : rows) {
        SCOPED_TRACE(std::string(row.cls) + " " + row.name);
        auto ad = module.adapter(row.cls);
        Instance_List list;
        ASSERT_EQ(ad->enum_instances(list), 0);
        ASSERT_LT(row.index, list.size());
        const auto* c = static_cast<const CIM_StorageCapabilities*>(list[row.index].get());
        EXPECT_STREQ(c->ElementName.value.c_str(), row.name);
        EXPECT_EQ(
            (std::vector<int>{c->DataRedundancyMax.value, c->DataRedundancyMin.value, c->DataRedundancyDefault.value}),
            (std::vector<int>(row.data, row.data + 3)));
        EXPECT_EQ((std::vector<int>{c->PackageRedundancyMax.value, c->PackageRedundancyMin.value,
                                    c->PackageRedundancyDefault.value}),
                  (std::vector<int>(row.package, row.package + 3)));
        EXPECT_EQ((std::vector<int>{c->DeltaReservationMax.value, c->DeltaReservationMin.value,
                                    c->DeltaReservationDefault.value}),
                  (std::vector<int>(row.delta, row.delta + 3)));
        EXPECT_EQ(c->NoSinglePointOfFailure.value, row.noSinglePoint);
        EXPECT_EQ(c->NoSinglePointOfFailureDefault.value, row.noSinglePoint);
    }

    auto tp = module.adapter("VELDARO_ThinProvisioningCapabilities");
    Instance_List thin;
    ASSERT_EQ(tp->enum_instances(thin), 0);
    const auto* t = static_cast<const cimple::VELDARO_ThinProvisioningCapabilities*>(thin[0].get());
    EXPECT_EQ(t->SupportedDataOrganizations.null, 0);
    EXPECT_EQ(t->SupportedDataOrganizations.value.size(), 0u);
    EXPECT_STREQ(t->RaidLevel.value.c_str(), "RAID0");
    EXPECT_STREQ(t->Caption.value.c_str(), "RAID0(Capabilities)");

    auto scc = module.adapter("VELDARO_StorageConfigurationCapabilities");
    Instance_List config;
    ASSERT_EQ(scc->enum_instances(config), 0);
    ASSERT_EQ(config.size(), 1u);
    const auto* s = static_cast<const cimple::VELDARO_StorageConfigurationCapabilities*>(config[0].get());
    auto values = [](const cimple::Property<cimple::Array<cimple::uint16>>& p) {
        EXPECT_EQ(p.null, 0);
        return std::vector<int>(p.value.data(), p.value.data() + p.value.size());
    };
    EXPECT_EQ(values(s->SupportedAsynchronousActions), std::vector<int>{});
    EXPECT_EQ(values(s->SupportedSynchronousActions), (std::vector<int>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(values(s->SupportedStorageElementTypes), (std::vector<int>{2, 5, 8}));
    EXPECT_EQ(values(s->SupportedStoragePoolFeatures), std::vector<int>{2});
    EXPECT_EQ(values(s->SupportedStorageElementFeatures), std::vector<int>{3});
    EXPECT_EQ(values(s->SupportedCopyTypes), (std::vector<int>{3, 4}));
    EXPECT_EQ(s->InitialReplicationState.value, 2);
    EXPECT_FALSE(s->ThinProvisionedClientSettableReserve.value);
    EXPECT_EQ(s->ThinProvisionedDefaultReserve.null, 0);
}

// What CreateSetting hands out. settingId: the InstanceID of the setting,
// "<empty>" for an instance made without defaults (every property present
// and empty, the key ""), "<none>" for no setting at all.
struct Create_Row {
    const char* cls;
    std::string target;
    std::optional<cimple::uint16> type;
    unsigned returnValue;
    std::string settingId;
};

TEST_F(CapabilitiesSettings, CreateSettingHandsOutTheMatchingSetting)
{
    install({A, NO_TABLE});
    const std::string a = std::string("_") + A;
    const char* P = "VELDARO_PrimordialStorageCapabilities";
    const char* R = "VELDARO_RAIDStorageCapabilities";
    const char* T = "VELDARO_ThinProvisioningCapabilities";
    const Create_Row rows[] = {
        // The fixed RAID1+0 setting matches the default goal (2,2,2,1,1,1).
        {P, "VELDARO:PSC" + a, 2, 0, "VELDARO:SS_RAID1+0" + a},
        // No fixed setting has max 2 / min 1: a new one with the same key.
        {P, "VELDARO:PSC" + a, 3, 0, "VELDARO:SS_RAID1+0" + a},
        {P, "VELDARO:PSC" + a, 4, 5, "<empty>"},
        {P, "VELDARO:PSC" + a, std::nullopt, 5, "<empty>"},
        {P, "VELDARO:PSC", 2, METHOD_FAILED, "<none>"},
        {P, std::string("VELDARO:PSC_") + UNCONFIGURED, 2, METHOD_FAILED, "<none>"},
        {P, std::string("VELDARO:PSC_") + NO_TABLE, 2, 4, "<empty>"},
        {R, "VELDARO:RSC_RAID5" + a, 2, 0, "VELDARO:SS_RAID5" + a},
        {R, "VELDARO:RSC_RAID5" + a, 3, 0, "VELDARO:SS_RAID5" + a},
        {R, "VELDARO:RSC_RAID6" + a, 3, 0, "VELDARO:SS_RAID6" + a},
        {R, "VELDARO:RSC_RAID7" + a, 2, 4, "<empty>"},
        {R, "VELDARO:RSC_RAID5" + a, 1, 5, "<empty>"},
        {R, "VELDARO:RSC_RAID5", 2, METHOD_FAILED, "<none>"},
        {T, "VELDARO:TPC_RAID6" + a, 2, 0, "VELDARO:SS_RAID6_TPP" + a},
        {T, "VELDARO:TPC_RAID6" + a, 3, 0, "VELDARO:SS_RAID6_TPP" + a},
        {T, "VELDARO:TPC_RAID1+0" + a, 2, 0, "VELDARO:SS_RAID1+0_TPP" + a},
        {T, "VELDARO:TPC_RAID6" + a, 0, 5, "<none>"},
        {T, "VELDARO:TPC_RAID5+0" + a, 2, 4, "<none>"},
        {T, std::string("VELDARO:TPC_RAID6_") + NO_TABLE, 2, 4, "<none>"},
        {T, "VELDARO:TPC", 2, METHOD_FAILED, "<none>"},
    };
    for (const Create_Row& row : rows) {
        SCOPED_TRACE(row.target + " type " + (row.type ? std::to_string(*row.type) : "null"));
        auto ad = module.adapter(row.cls);
        ASSERT_NE(ad, nullptr);
        Outcome out = createSetting(*ad, row.target, row.type);
        EXPECT_EQ(out.status, 0);
        EXPECT_EQ(out.returnValue, row.returnValue);
        const std::string got = !out.handedOut     ? "<none>"
                                : out.settingIdNull ? "<null key>"
                                : out.settingId.empty() ? "<empty>"
                                                        : out.settingId;
        EXPECT_EQ(got, row.settingId);
    }
}

TEST_F(CapabilitiesSettings, CreateSettingValuesOfFoundAndNewSettings)
{
    install({A});
    const std::string a = std::string("_") + A;
    auto primordial = module.adapter("VELDARO_PrimordialStorageCapabilities");

    // The fixed setting, as the catalogue holds it.
    Outcome fixed = createSetting(*primordial, "VELDARO:PSC" + a, 2);
    ASSERT_TRUE(fixed.setting);
    const auto* f = static_cast<const VELDARO_StorageSetting*>(fixed.setting.get());
    EXPECT_STREQ(f->RaidLevel.value.c_str(), "RAID1+0");
    EXPECT_EQ(f->DeltaReservationMax.value, 100);
    EXPECT_EQ(f->ThinProvisionedPoolType.null, 1) << "the RAID group setting, not the thin one";

    // The new setting carries the goal and no RAID level.
    Outcome made = createSetting(*primordial, "VELDARO:PSC" + a, 3);
    ASSERT_TRUE(made.setting);
    const auto* n = static_cast<const VELDARO_StorageSetting*>(made.setting.get());
    EXPECT_EQ((std::vector<int>{n->DataRedundancyMax.value, n->DataRedundancyMin.value, n->DataRedundancyGoal.value,
                                n->PackageRedundancyMax.value, n->PackageRedundancyMin.value,
                                n->PackageRedundancyGoal.value, n->DeltaReservationMax.value}),
              (std::vector<int>{2, 1, 2, 1, 0, 1, 0}));
    EXPECT_STREQ(n->RaidLevel.value.c_str(), "");
    EXPECT_STREQ(n->Caption.value.c_str(), "RAID1+0(Setting)");
    EXPECT_STREQ(n->ElementName.value.c_str(), "RAID1+0");
    EXPECT_TRUE(n->NoSinglePointOfFailure.value);
    EXPECT_EQ(n->ChangeableType.null, 0);

    // The RAID capabilities pick the RAID group setting ahead of the thin one.
    auto raid = module.adapter("VELDARO_RAIDStorageCapabilities");
    Outcome r5 = createSetting(*raid, "VELDARO:RSC_RAID5" + a, 2);
    ASSERT_TRUE(r5.setting);
    EXPECT_EQ(static_cast<const VELDARO_StorageSetting*>(r5.setting.get())->ThinProvisionedPoolType.null, 1);
}

TEST_F(CapabilitiesSettings, CreateSettingNotCarriedOutAnswersUnsupported)
{
    install({A});
    const std::string a = std::string("_") + A;
    const std::pair<const char*, std::string> rows[] = {
        {"VELDARO_SDPVCapabilities", "VELDARO:SDPVC" + a},
        {"VELDARO_SnapDataCapabilities", "VELDARO:SDC" + a},
        {"VELDARO_LayerixCapabilities", "VELDARO:LXC" + a},
        {"VELDARO_LayerixSubCapabilities", "VELDARO:LXSC_RAID5" + a},
    };
    for (const auto& [cls, id] : rows) {
        auto ad = module.adapter(cls);
        Outcome out = createSetting(*ad, id, 2);
        EXPECT_EQ(out.status, 131) << cls;
        EXPECT_FALSE(out.handedOut) << cls;
    }
}

}  // namespace
