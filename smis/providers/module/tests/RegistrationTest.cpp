// The registration list reached through cimple_module, and what
// PegasusCreateProvider hands the adapter (a recording adapter linked into
// this program stands in for the real one).
#include <gtest/gtest.h>

#include <Pegasus/String.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "Module.h"
#include "Pegasus_Adapter.h"
#include "schema_repository.h"

namespace {

struct Adapter_Call {
    int calls = 0;
    int kind = 0;
    const void* name = nullptr;
    cimple::Registration* head = nullptr;
    void** result = nullptr;
    void* rest[4] = {};
    void* answer = nullptr; // stored in *result when set
};
Adapter_Call recorded;

} // namespace

// Takes the place of the framework adapter's entry for this program.
extern "C" int cimple_pegasus_adapter(void* arg0, void* arg1, void* arg2, void* arg3, void* arg4, void* arg5,
                                      void* arg6, void* arg7)
{
    void** result = static_cast<void**>(arg3);
    ++recorded.calls;
    recorded.kind = static_cast<int>(reinterpret_cast<std::intptr_t>(arg0));
    recorded.name = arg1;
    recorded.head = static_cast<cimple::Registration*>(arg2);
    recorded.result = result;
    recorded.rest[0] = arg4;
    recorded.rest[1] = arg5;
    recorded.rest[2] = arg6;
    recorded.rest[3] = arg7;
    if (recorded.answer)
        *result = recorded.answer;
    return 0;
}

namespace {

std::vector<const cimple::Registration*> walk()
{
    std::vector<const cimple::Registration*> out;
    for (const cimple::Registration* r = cimple_module(); r && out.size() < 1000; r = r->next)
        out.push_back(r);
    return out;
}

TEST(Registration, ListHoldsEveryProviderNewestFirst)
{
    EXPECT_EQ(cimple_module(), cimple_module());
    std::vector<const cimple::Registration*> list = walk();
    ASSERT_EQ(list.size(), 152u);
    EXPECT_STREQ(list.front()->provider_name, "CIM_InstModification_Provider");
    EXPECT_STREQ(list.back()->provider_name, "VELDARO_AllocatedFromStoragePool_Provider");
    EXPECT_EQ(list.back()->next, nullptr);

    std::set<std::string> names;
    for (const cimple::Registration* r : list) {
        SCOPED_TRACE(r->provider_name);
        EXPECT_STREQ(r->module_name, "SMI-S_Module");
        EXPECT_EQ(r->module_name, list.front()->module_name) << "all records share one module-name text";
        ASSERT_NE(r->meta_class, nullptr);
        EXPECT_EQ(std::string(r->provider_name), std::string(r->meta_class->name) + "_Provider");
        EXPECT_NE(r->proc, nullptr);
        EXPECT_EQ(r->meta_class->meta_repository, &cimple::schema_repository);
        names.insert(r->provider_name);
    }
    EXPECT_EQ(names.size(), 152u) << "provider names are unique";
}

TEST(Registration, ShapesAndOrderFollowTheTable)
{
    std::vector<const cimple::Registration*> list = walk();
    ASSERT_EQ(list.size(), 152u);
    // Registration order is the reverse of the list: associations first,
    // then the instance providers, the indication providers last.
    auto at = [&](size_t registered) { return std::string(list[151 - registered]->provider_name); };
    EXPECT_EQ(at(0), "VELDARO_AllocatedFromStoragePool_Provider");
    EXPECT_EQ(at(51), "CIM_SystemDevice_Provider");
    EXPECT_EQ(at(52), "VELDARO_System_Provider");
    EXPECT_EQ(at(146), "VELDARO_LayerixSubCapabilities_Provider");
    EXPECT_EQ(at(147), "CIM_AlertIndication_Provider");

    int associations = 0, indications = 0;
    for (const cimple::Registration* r : list) {
        if (r->meta_class->flags & CIMPLE_FLAG_ASSOCIATION)
            ++associations;
        if (r->meta_class->flags & CIMPLE_FLAG_INDICATION)
            ++indications;
    }
    EXPECT_EQ(associations, 53);
    EXPECT_EQ(indications, 5);
}

TEST(Registration, OperationsZeroAndThirteenHandOutTheRecords)
{
    for (const cimple::Registration* r : walk()) {
        SCOPED_TRACE(r->provider_name);
        const cimple::Meta_Class* mc = nullptr;
        const cimple::Meta_Repository* mr = nullptr;
        EXPECT_EQ(r->proc(r, 0, &mc, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
        EXPECT_EQ(mc, r->meta_class);
        EXPECT_EQ(r->proc(r, 13, &mr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
        EXPECT_EQ(mr, &cimple::schema_repository);
    }
}

TEST(Registration, PegasusCreateProviderPassesEightArgumentsAndTheResultWord)
{
    Pegasus::String name("VELDARO_StorageVolume_Provider");

    recorded = Adapter_Call();
    EXPECT_EQ(PegasusCreateProvider(&name), nullptr) << "untouched result word gives null";
    EXPECT_EQ(recorded.calls, 1);
    EXPECT_EQ(recorded.kind, 'P');
    EXPECT_EQ(recorded.kind, 80);
    EXPECT_EQ(recorded.name, &name) << "the name argument is passed unchanged";
    EXPECT_EQ(recorded.head, cimple_module());
    EXPECT_NE(recorded.result, nullptr);
    for (void* p : recorded.rest)
        EXPECT_EQ(p, nullptr);

    int object = 0;
    recorded = Adapter_Call();
    recorded.answer = &object;
    EXPECT_EQ(PegasusCreateProvider(&name), &object) << "returns what the adapter stored";
}

} // namespace
