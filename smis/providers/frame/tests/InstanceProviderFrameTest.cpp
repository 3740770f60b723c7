// The rules of the instance provider frame that the extent classes do not
// reach: keys that carry the array address behind "_", the stop of an
// enumeration at a failing array or for a client that left, and the list
// and locked list shapes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "Instance_Provider_Frame.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_RequestContext.h"
#include "TempInstallDir.h"
#include "VELDARO_RAIDStoragePool.h"
#include "ViewProbe.h"

using cimple::Instance_Provider_Frame;
using cimple::String;
using cimple::VELDARO_RAIDStoragePool;
using Pool = VELDARO_RAIDStoragePool;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* C = "10.0.0.3";

// Collects what the frame hands over.
struct Collecting_Handler : cimple::Enum_Instances_Handler<Pool> {
    static bool collect(cimple::Instance* instance, cimple::Enum_Instances_Status, void* data)
    {
        if (instance)
            static_cast<std::vector<Pool*>*>(data)->push_back(static_cast<Pool*>(instance));
        return true;
    }
    std::vector<Pool*> got;
    Collecting_Handler() : cimple::Enum_Instances_Handler<Pool>(collect, &got) {}
    ~Collecting_Handler()
    {
        for (Pool* p : got)
            cimple::destroy(p);
    }
    std::vector<std::string> ids() const
    {
        std::vector<std::string> out;
        for (Pool* p : got)
            out.push_back(p->InstanceID.value.c_str());
        return out;
    }
};

Pool* pool(const std::string& id)
{
    Pool* p = Instance_Provider_Frame::newInstance<Pool>();
    p->InstanceID.set(id.c_str());
    return p;
}

// What the traits saw, and what they answer.
struct Script {
    std::vector<std::string> getAddresses;
    std::vector<std::string> enumAddresses;
    std::string failingAddress;
    std::vector<std::string> builderAddresses;
};
Script script;

// An indexed pair keyed by InstanceID "VELDARO:RSP<n>_<address>".
struct Pool_Frame {
    using Model = Pool;
    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromKeySuffix(model->InstanceID, address);
    }
    static int getOne(const String& address, const cimple::VELDARO_RefTable&, const Model* model, Model*& instance)
    {
        script.getAddresses.push_back(address.c_str());
        instance = pool(model->InstanceID.value.c_str());
        return 0;
    }
    static int enumAll(const String& address, const cimple::VELDARO_RefTable&,
                       cimple::Enum_Instances_Handler<Model>* handler)
    {
        script.enumAddresses.push_back(address.c_str());
        Instance_Provider_Frame::deliver(handler, pool(std::string("VELDARO:RSP0001_") + address.c_str()));
        return script.failingAddress == address.c_str() ? 1 : 0;
    }
};

// A list pair: builds two pools per array; the failing array answers 1, an
// array without a table 2.
struct Pool_List_Builder {
    explicit Pool_List_Builder(const String& a) : address(a.c_str()) {}
    ~Pool_List_Builder() { Instance_Provider_Frame::destroyAll(list); }
    std::string address;
    cimple::Array<Pool*> list;
};
struct Pool_List_Frame {
    using Model = Pool;
    using Builder = Pool_List_Builder;
    static int build(Builder& b)
    {
        script.builderAddresses.push_back(b.address);
        if (b.address == script.failingAddress)
            return 1;
        if (b.address == A)
            return 2;
        for (const char* n : {"1", "2"})
            b.list.append(pool(std::string("VELDARO:RSP000") + n + "_" + b.address));
        return 0;
    }
    static cimple::Array<Pool*>& list(Builder& b) { return b.list; }
};

struct Pool_Locked_Builder {
    Pool_Locked_Builder() = default;
    ~Pool_Locked_Builder() { Instance_Provider_Frame::destroyAll(list); }
    cimple::Mutex mutex;
    cimple::Array<Pool*> list;
};
struct Pool_Locked_Frame {
    using Model = Pool;
    using Builder = Pool_Locked_Builder;
    static cimple::Mutex& mutex(Builder& b) { return b.mutex; }
    static int build(Builder& b)
    {
        b.list.append(pool("VELDARO:RSP0001"));
        b.list.append(pool("VELDARO:RSP0002"));
        return 0;
    }
    static cimple::Array<Pool*>& list(Builder& b) { return b.list; }
};

class InstanceProviderFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        script = Script();
        for (const char* address : {A, B, C}) {
            smis::test::CMTBuilder b;
            b.maxCounts({.olu = 2, .slu = 2, .rlu = 2, .dlu = 2, .mlu = 2});
            b.installCmf(address);
        }
        dir.writeEnv({std::string("StorageIP=") + A, std::string("StorageIP=") + B, std::string("StorageIP=") + C});
    }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
};

TEST_F(InstanceProviderFrame, GetTakesTheArrayBehindTheLastUnderscore)
{
    Pool* model = pool("VELDARO:RSP0001_10.0.0.2");
    Pool* got = nullptr;
    EXPECT_EQ(Instance_Provider_Frame::indexedGet<Pool_Frame>(model, got), 0);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(script.getAddresses, (std::vector<std::string>{B}));
    cimple::destroy(got);

    // No "_", an address that is not configured, or no key: 60 before any
    // table view is opened.
    for (const char* id : {"VELDARO:RSP0001", "VELDARO:RSP0001_10.0.0.5", "VELDARO:RSP0001_", "_10.0.0.1x"}) {
        model->InstanceID.set(id);
        int status = -1;
        EXPECT_TRUE(smis::test::answersWithoutView(
            {A, B, C}, [&] { status = Instance_Provider_Frame::indexedGet<Pool_Frame>(model, got); }))
            << id;
        EXPECT_EQ(status, 60) << id;
        EXPECT_EQ(got, nullptr);
    }
    model->InstanceID.clear();
    EXPECT_EQ(Instance_Provider_Frame::indexedGet<Pool_Frame>(model, got), 60);
    EXPECT_EQ(script.getAddresses.size(), 1u);
    cimple::destroy(model);
}

TEST_F(InstanceProviderFrame, IndexedEnumerationStopsAtTheFailingArray)
{
    {
        Collecting_Handler handler;
        EXPECT_EQ(Instance_Provider_Frame::indexedEnum<Pool_Frame>(nullptr, &handler), 0);
        EXPECT_EQ(handler.got.size(), 3u);
    }
    script = Script();
    script.failingAddress = B;
    Collecting_Handler handler;
    EXPECT_EQ(Instance_Provider_Frame::indexedEnum<Pool_Frame>(nullptr, &handler), 70);
    EXPECT_EQ(script.enumAddresses, (std::vector<std::string>{A, B})) << "the third array is not read";
    EXPECT_EQ(handler.ids(), (std::vector<std::string>{"VELDARO:RSP0001_10.0.0.1", "VELDARO:RSP0001_10.0.0.2"}))
        << "what was delivered before the failure stays delivered";
}

// An enumeration whose client has left reads no array and builds no entry.
TEST_F(InstanceProviderFrame, EnumerationsForAClientThatLeftBuildNothing)
{
    cimple::SMIS_RequestContext context;
    cimple::SMIS_RequestContext::Scope scope(context);
    context.clientLeft();
    Collecting_Handler handler;
    EXPECT_EQ(Instance_Provider_Frame::indexedEnum<Pool_Frame>(nullptr, &handler), 70);
    EXPECT_EQ(Instance_Provider_Frame::listEnum<Pool_List_Frame>(nullptr, &handler), 70);
    int built = 0;
    EXPECT_EQ(Instance_Provider_Frame::enumIndexes<Pool>(3, &handler,
                                                         [&](int, Pool*&) {
                                                             ++built;
                                                             return 0;
                                                         }),
              Instance_Provider_Frame::BUILD_ERROR);
    EXPECT_TRUE(script.enumAddresses.empty());
    EXPECT_TRUE(script.builderAddresses.empty());
    EXPECT_EQ(built, 0);
    EXPECT_TRUE(handler.got.empty());
}

TEST_F(InstanceProviderFrame, ListPair)
{
    {
        Collecting_Handler handler;
        EXPECT_EQ(Instance_Provider_Frame::listEnum<Pool_List_Frame>(nullptr, &handler), 0);
        EXPECT_EQ(handler.ids(), (std::vector<std::string>{"VELDARO:RSP0001_10.0.0.2", "VELDARO:RSP0002_10.0.0.2",
                                                           "VELDARO:RSP0001_10.0.0.3", "VELDARO:RSP0002_10.0.0.3"}))
            << "the array whose build answers 2 delivers nothing";
    }
    Pool* model = pool("VELDARO:RSP0002_10.0.0.3");
    Pool* got = nullptr;
    EXPECT_EQ(Instance_Provider_Frame::listGet<Pool_List_Frame>(model, got), 0);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(got->InstanceID.value.c_str(), "VELDARO:RSP0002_10.0.0.3");
    cimple::destroy(got);

    script = Script();
    script.failingAddress = B;
    EXPECT_EQ(Instance_Provider_Frame::listGet<Pool_List_Frame>(model, got), 0) << "a failing array is passed over";
    cimple::destroy(got);
    Collecting_Handler handler;
    EXPECT_EQ(Instance_Provider_Frame::listEnum<Pool_List_Frame>(nullptr, &handler), 70);
    EXPECT_EQ(script.builderAddresses, (std::vector<std::string>{A, B, C, A, B}))
        << "get goes on after the failing array; the enumeration ends there";

    model->InstanceID.set("VELDARO:RSP0009_10.0.0.3");
    EXPECT_EQ(Instance_Provider_Frame::listGet<Pool_List_Frame>(model, got), 60);
    EXPECT_EQ(got, nullptr);
    cimple::destroy(model);
}

TEST_F(InstanceProviderFrame, LockedListPair)
{
    Collecting_Handler handler;
    EXPECT_EQ(Instance_Provider_Frame::lockedListEnum<Pool_Locked_Frame>(nullptr, &handler), 0);
    EXPECT_EQ(handler.ids(), (std::vector<std::string>{"VELDARO:RSP0001", "VELDARO:RSP0002"}));
    Pool* model = pool("VELDARO:RSP0002");
    Pool* got = nullptr;
    EXPECT_EQ(Instance_Provider_Frame::lockedListGet<Pool_Locked_Frame>(model, got), 0);
    ASSERT_NE(got, nullptr);
    cimple::destroy(got);
    model->InstanceID.set("VELDARO:RSP0003");
    EXPECT_EQ(Instance_Provider_Frame::lockedListGet<Pool_Locked_Frame>(model, got), 60);
    cimple::destroy(model);
}

TEST_F(InstanceProviderFrame, NoArrayConfigured)
{
    dir.writeEnv({});
    Collecting_Handler handler;
    EXPECT_EQ(Instance_Provider_Frame::indexedEnum<Pool_Frame>(nullptr, &handler), 0);
    EXPECT_EQ(Instance_Provider_Frame::listEnum<Pool_List_Frame>(nullptr, &handler), 0);
    EXPECT_TRUE(handler.got.empty());
    Pool* model = pool("VELDARO:RSP0001_10.0.0.1");
    Pool* got = nullptr;
    EXPECT_EQ(Instance_Provider_Frame::indexedGet<Pool_Frame>(model, got), 60);
    EXPECT_EQ(Instance_Provider_Frame::listGet<Pool_List_Frame>(model, got), 60);
    cimple::destroy(model);
}

}  // namespace
