// The replication capabilities and setting classes driven through the
// framework adapter: what each array publishes and how the capability
// queries answer.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ElementProviderFixture.h"
#include "VELDARO_ReplicationServiceCapabilities.h"
#include "VELDARO_ReplicationSettingData.h"
#include "VELDARO_StorageReplicationCapabilities.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::Pegasus_Adapter;
using cimple::VELDARO_ReplicationServiceCapabilities;
using cimple::VELDARO_ReplicationSettingData;
using cimple::VELDARO_StorageReplicationCapabilities;
using smis::test::as;
using smis::test::values;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* NO_TABLE = "10.0.0.9";
constexpr unsigned METHOD_FAILED = 0x8030;

class ReplicationCapabilities : public smis::test::ElementProviderFixture {
protected:
    void SetUp() override
    {
        ElementProviderFixture::SetUp();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 24, .slu = 2, .rlu = 2, .dlu = 2, .mlu = 2});
        install({{A, &b}, {B, &b}}, {A, NO_TABLE, B});
    }

    // Invokes a method of the capabilities of that array; fill sets the
    // arguments on the method instance, which is handed back.
    template <class Fill>
    Instance_Ptr invoke(const std::string& address, const char* name, Fill fill, unsigned& returnValue, int& status)
    {
        auto ad = adapter("VELDARO_ReplicationServiceCapabilities");
        const cimple::Meta_Method* mm = cimple::find_method(ad->meta_class(), name);
        EXPECT_NE(mm, nullptr) << name;
        Instance_Ptr method(cimple::create(mm));
        cimple::nullify_properties(method.get()); // as a request hands it over
        Instance_Ptr target(cimple::create(ad->meta_class(), true));
        static_cast<VELDARO_ReplicationServiceCapabilities*>(target.get())
            ->InstanceID.set(("VELDARO:RPSC_" + address).c_str());
        fill(method.get());
        status = ad->invoke_method(target.get(), method.get());
        returnValue = returnValueOf(method.get());
        return method;
    }

    static unsigned returnValueOf(cimple::Instance* method)
    {
        const cimple::Meta_Method* mm = reinterpret_cast<const cimple::Meta_Method*>(method->meta_class);
        for (size_t i = 0; i < mm->num_meta_features; ++i) {
            const auto* mp = reinterpret_cast<const cimple::Meta_Property*>(mm->meta_features[i]);
            if (std::string(mp->name) == "return_value")
                return reinterpret_cast<cimple::Property<cimple::uint32>*>(reinterpret_cast<char*>(method) + mp->offset)
                    ->value;
        }
        ADD_FAILURE() << "no return value";
        return ~0u;
    }

    // The uint16 parameter or output of a method instance.
    template <class T>
    static cimple::Property<T>& param(cimple::Instance* method, const char* name)
    {
        const cimple::Meta_Method* mm = reinterpret_cast<const cimple::Meta_Method*>(method->meta_class);
        for (size_t i = 0; i < mm->num_meta_features; ++i) {
            const auto* mp = reinterpret_cast<const cimple::Meta_Property*>(mm->meta_features[i]);
            if (std::string(mp->name) == name)
                return *reinterpret_cast<cimple::Property<T>*>(reinterpret_cast<char*>(method) + mp->offset);
        }
        ADD_FAILURE() << "no parameter " << name;
        static cimple::Property<T> none;
        return none;
    }
};

TEST_F(ReplicationCapabilities, EachValidArrayPublishesItsFixedInstances)
{
    int status = -1;
    Instance_List caps = enumerate("VELDARO_ReplicationServiceCapabilities", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(caps.size(), 2u);
    const auto* c = as<VELDARO_ReplicationServiceCapabilities>(caps[1]);
    EXPECT_STREQ(c->InstanceID.value.c_str(), "VELDARO:RPSC_10.0.0.2");
    EXPECT_STREQ(c->ElementName.value.c_str(), "VELDARO_ReplicationServiceCapabilities");
    EXPECT_EQ(values(c->SupportedReplicationTypes), (std::vector<cimple::uint16>{2, 4, 6, 32768}));
    EXPECT_EQ(values(c->SupportedSynchronousActions), (std::vector<cimple::uint16>{2, 5, 6, 10}));
    EXPECT_EQ(values(c->SupportedStorageObjects), (std::vector<cimple::uint16>{2}));

    Instance_List settings = enumerate("VELDARO_ReplicationSettingData", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(settings.size(), 8u);
    const struct {
        const char* name;
        unsigned copyType, methodology;
    } SETTINGS[] = {{"Mirrex", 1, 3}, {"Xmirrex", 2, 3}, {"SnapTirn+", 3, 6}, {"SnapTirn", 4, 6}};
    for (size_t i = 0; i < 4; ++i) {
        const auto* s = as<VELDARO_ReplicationSettingData>(settings[i]);
        EXPECT_EQ(s->InstanceID.value.c_str(), std::string("VELDARO:RPSD_") + SETTINGS[i].name + "_10.0.0.1");
        EXPECT_EQ(s->CopyTypeID.value, SETTINGS[i].copyType);
        EXPECT_EQ(s->DesiredCopyMethodology.value, SETTINGS[i].methodology);
        EXPECT_EQ(s->OnGroupOrListError.value, 3);
    }

    Instance_List storage = enumerate("VELDARO_StorageReplicationCapabilities", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(storage.size(), 4u);
    const auto* sync = as<VELDARO_StorageReplicationCapabilities>(storage[0]);
    const auto* delta = as<VELDARO_StorageReplicationCapabilities>(storage[1]);
    EXPECT_STREQ(sync->InstanceID.value.c_str(), "VELDARO:SRC_Sync_10.0.0.1");
    EXPECT_STREQ(delta->InstanceID.value.c_str(), "VELDARO:SRC_UnSyncAssoc-Delta_10.0.0.1");
    EXPECT_EQ(sync->SupportedSynchronizationType.value, 3);
    EXPECT_EQ(values(sync->HostAccessibleState), (std::vector<cimple::uint16>{13}));
    EXPECT_FALSE(sync->LocalMirrorSnapshotSupported.null);
    EXPECT_FALSE(sync->LocalMirrorSnapshotSupported.value);
    EXPECT_TRUE(sync->DeltaReplicaPoolAccess.null);
    EXPECT_EQ(delta->DeltaReplicaPoolAccess.value, 4);
    EXPECT_EQ(values(delta->HostAccessibleState), (std::vector<cimple::uint16>{11}));
    EXPECT_TRUE(delta->LocalMirrorSnapshotSupported.null);
    for (const auto* s : {sync, delta}) {
        EXPECT_EQ(s->MaximumReplicasPerSource.value, 32);
        EXPECT_EQ(s->MaximumLocalReplicationDepth.value, 1);
        EXPECT_TRUE(s->MaximumRemoteReplicationDepth.null) << "only the listed values are published";
        EXPECT_TRUE(s->SupportedAsynchronousActions.null);
    }

    // get_instance finds an instance by its key on the second array.
    Instance_Ptr got;
    EXPECT_EQ(getSame("VELDARO_ReplicationSettingData", settings[7].get(), got), 0);
    ASSERT_TRUE(got);
    EXPECT_STREQ(as<VELDARO_ReplicationSettingData>(got)->InstanceID.value.c_str(), "VELDARO:RPSD_SnapTirn_10.0.0.2");
}

TEST_F(ReplicationCapabilities, ConversionsFollowTheReplicationTypeTable)
{
    using cimple::uint16;
    struct Case {
        std::optional<uint16> sync, mode, locality;
        unsigned rc;
        uint16 type;
    };
    const Case CASES[] = {
        {6, 2, 2, 0, 2},         {8, 3, 3, 0, 13},          {32768, 3, 3, 0, 32771},
        {7, 2, 3, 0, 8},         {9, 2, 2, 5, 0},           {6, std::nullopt, 2, 5, 0},
    };
    for (const Case& c : CASES) {
        unsigned rc = 0;
        int status = -1;
        Instance_Ptr m = invoke(
            A, "ConvertSyncTypeToReplicationType",
            [&](cimple::Instance* mi) {
                if (c.sync)
                    param<uint16>(mi, "SyncType").set(*c.sync);
                if (c.mode)
                    param<uint16>(mi, "Mode").set(*c.mode);
                if (c.locality)
                    param<uint16>(mi, "LocalOrRemote").set(*c.locality);
            },
            rc, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(rc, c.rc);
        if (c.rc == 0) {
            EXPECT_EQ(param<uint16>(m.get(), "SupportedReplicationTypes").value, c.type);
        }
        if (c.rc != 0 || !c.sync || !c.mode || !c.locality)
            continue;
        // And back again.
        m = invoke(
            A, "ConvertReplicationTypeToSyncType",
            [&](cimple::Instance* mi) { param<uint16>(mi, "ReplicationType").set(c.type); }, rc, status);
        EXPECT_EQ(rc, 0u);
        EXPECT_EQ(param<uint16>(m.get(), "SyncType").value, *c.sync);
        EXPECT_EQ(param<uint16>(m.get(), "Mode").value, *c.mode);
        EXPECT_EQ(param<uint16>(m.get(), "LocalOrRemote").value, *c.locality);
    }
    unsigned rc = 0;
    int status = -1;
    invoke(A, "ConvertReplicationTypeToSyncType",
           [&](cimple::Instance* mi) { param<uint16>(mi, "ReplicationType").set(14); }, rc, status);
    EXPECT_EQ(rc, 5u);
}

TEST_F(ReplicationCapabilities, SupportedListsByReplicationType)
{
    using cimple::uint16;
    using List = std::vector<uint16>;
    struct Case {
        const char* method;
        const char* out;
        std::optional<uint16> type;
        std::optional<uint16> extra;  // MethodName or SynchronizationType
        unsigned rc;
        List expected;
    };
    const Case CASES[] = {
        {"GetSupportedOperations", "SupportedOperations", 4, {}, 0, {8, 12, 14, 15, 20}},
        {"GetSupportedOperations", "SupportedOperations", 32768, {}, 0, {15, 19}},
        {"GetSupportedOperations", "SupportedOperations", 3, {}, 5, {}},
        {"GetSupportedOperations", "SupportedOperations", {}, {}, 5, {}},
        {"GetSupportedListOperations", "SupportedListOperations", 6, {}, 0, {15, 19}},
        {"GetSupportedListOperations", "SupportedListOperations", 2, 2, 0, {8, 12, 14, 15, 20}},
        {"GetSupportedListOperations", "SupportedListOperations", 2, 3, 5, {}},
        {"GetSupportedFeatures", "Features", 2, {}, 0, {7, 16, 19, 21}},
        {"GetSupportedFeatures", "Features", 4, {}, 0, {3, 6, 7, 16, 17, 19, 21}},
        {"GetSupportedFeatures", "Features", 6, {}, 0, {8, 9, 12, 16}},
        {"GetSupportedFeatures", "Features", 5, {}, 5, {}},
        {"GetSupportedWaitForCopyStates", "SupportedCopyStates", 4, 2, 0, {2, 4}},
        {"GetSupportedWaitForCopyStates", "SupportedCopyStates", 32768, 2, 0, {2}},
        {"GetSupportedWaitForCopyStates", "SupportedCopyStates", 2, 5, 0, {3, 4, 6, 15}},
        {"GetSupportedWaitForCopyStates", "SupportedCopyStates", 6, 4, 0, {8, 15}},
        {"GetSupportedWaitForCopyStates", "SupportedCopyStates", 6, 3, 5, {}},
        {"GetSupportedWaitForCopyStates", "SupportedCopyStates", 6, {}, 5, {}},
        {"GetSupportedCopyStates", "SupportedCopyStates", 2, {}, 0, {2, 3, 4, 5, 6}},
        {"GetSupportedCopyStates", "SupportedCopyStates", 4, {}, 0, {2, 3, 4, 5, 6, 12}},
        {"GetSupportedCopyStates", "SupportedCopyStates", 6, {}, 0, {2, 5, 8, 11}},
        {"GetSupportedCopyStates", "SupportedCopyStates", 8, {}, 5, {}},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(std::string(c.method) + " " + (c.type ? std::to_string(*c.type) : "null"));
        const std::string method = c.method;
        const char* extraName = method == "GetSupportedWaitForCopyStates" ? "MethodName" : "SynchronizationType";
        unsigned rc = 0;
        int status = -1;
        Instance_Ptr m = invoke(
            A, c.method,
            [&](cimple::Instance* mi) {
                if (c.type)
                    param<uint16>(mi, "ReplicationType").set(*c.type);
                if (c.extra)
                    param<uint16>(mi, extraName).set(*c.extra);
            },
            rc, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(rc, c.rc);
        auto& out = param<cimple::Array<uint16>>(m.get(), c.out);
        if (c.rc == 0) {
            EXPECT_FALSE(out.null);
            EXPECT_EQ(values(out), c.expected);
        } else {
            EXPECT_EQ(out.value.size(), 0u) << "a refused query hands out nothing";
        }
        if (method == "GetSupportedCopyStates" && c.rc == 0) {
            auto& accessible = param<cimple::Array<cimple::boolean>>(m.get(), "HostAccessible");
            ASSERT_EQ(accessible.value.size(), c.expected.size());
            for (size_t i = 0; i < c.expected.size(); ++i)
                EXPECT_EQ(accessible.value[i], c.expected[i] == 6 || c.expected[i] == 8) << c.expected[i];
        }
    }
}

TEST_F(ReplicationCapabilities, SupportedMaximumByComponent)
{
    using cimple::uint16;
    struct Case {
        std::string address;
        std::optional<uint16> type, component;
        unsigned rc;
        cimple::uint64 value;
    };
    const Case CASES[] = {
        {A, 2, 5, 0, 32},  {A, 6, 6, 0, 24},  {A, 2, 7, 0, 24}, {A, 4, 8, 0, 16}, {A, 2, 8, 5, 0},
        {A, 32768, 9, 0, 1}, {A, 2, 10, 5, 0}, {A, 3, 5, 5, 0}, {A, {}, 5, 5, 0}, {A, 2, {}, 5, 0},
        {NO_TABLE, 2, 5, METHOD_FAILED, 0}, {"10.0.0.7", 2, 5, METHOD_FAILED, 0},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.address + " " + std::to_string(c.type.value_or(0)) + "/" + std::to_string(c.component.value_or(0)));
        unsigned rc = 0;
        int status = -1;
        Instance_Ptr m = invoke(
            c.address, "GetSupportedMaximum",
            [&](cimple::Instance* mi) {
                if (c.type)
                    param<uint16>(mi, "ReplicationType").set(*c.type);
                if (c.component)
                    param<uint16>(mi, "Component").set(*c.component);
            },
            rc, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(rc, c.rc);
        if (c.rc == 0) {
            EXPECT_EQ(param<cimple::uint64>(m.get(), "MaxValue").value, c.value);
        }
    }
}

TEST_F(ReplicationCapabilities, DefaultSettingOfEachReplicationType)
{
    using cimple::uint16;
    const struct {
        uint16 type;
        unsigned rc;
        const char* setting;
    } CASES[] = {{2, 0, "Mirrex"}, {4, 0, "Xmirrex"}, {6, 0, "SnapTirn"}, {32768, 0, "SnapTirn+"}, {3, 5, nullptr}};
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.type);
        unsigned rc = 0;
        int status = -1;
        Instance_Ptr m = invoke(
            B, "GetDefaultReplicationSettingData",
            [&](cimple::Instance* mi) { param<uint16>(mi, "ReplicationType").set(c.type); }, rc, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(rc, c.rc);
        const cimple::Meta_Method* mm = reinterpret_cast<const cimple::Meta_Method*>(m->meta_class);
        cimple::Instance* handed = nullptr;
        for (size_t i = 0; i < mm->num_meta_features; ++i) {
            if (std::string(mm->meta_features[i]->name) == "DefaultInstance") {
                // An embedded instance is recorded as a reference.
                const auto* mr = reinterpret_cast<const cimple::Meta_Reference*>(mm->meta_features[i]);
                handed = *reinterpret_cast<cimple::Instance**>(reinterpret_cast<char*>(m.get()) + mr->offset);
            }
        }
        if (!c.setting) {
            EXPECT_EQ(handed, nullptr);
            continue;
        }
        ASSERT_NE(handed, nullptr);
        EXPECT_EQ(static_cast<VELDARO_ReplicationSettingData*>(handed)->InstanceID.value.c_str(),
                  std::string("VELDARO:RPSD_") + c.setting + "_" + B);
    }
    unsigned rc = 0;
    int status = -1;
    invoke(NO_TABLE, "GetDefaultReplicationSettingData",
           [&](cimple::Instance* mi) { param<uint16>(mi, "ReplicationType").set(2); }, rc, status);
    EXPECT_EQ(rc, 4u) << "no settings can be built for an array without a table";
}

}  // namespace
