// The adapter against a recording association provider over the framework's
// test schema: the typed operations, ownership of what comes back, the
// associator requests it answers by enumeration, and one operation at a time
// per provider object.
#include <gtest/gtest.h>

#include <Pegasus/String.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Pegasus_Adapter.h"
#include "Test_Schema.h"

using namespace cimple;

namespace {

struct Fake_State {
    std::atomic<bool> overlap{false};
    // When set, the next enumeration waits until release is set (a request
    // that waits on its array).
    std::atomic<bool> stall_next{false};
    std::atomic<bool> release{false};
    std::atomic<int> stalled{0};
    std::atomic<int> creates{0};
    bool refuse_create = false;
    int enum_status = 0;
    bool answers_associators = false; // else 111 / 121 / 171
    bool answers_references = false;  // the links of the source, per role
    int enumerations = 0;
    std::atomic<int> loads{0}, unloads{0}, destroys{0};
};
Fake_State state;

struct Fake_Object {
    std::atomic<int> inside{0};
};

// The operations whose first argument is the provider object.
bool on_object(int op)
{
    return op != OPERATION_GET_META_CLASS && op != OPERATION_CREATE_PROVIDER && op != OPERATION_GET_REPOSITORY;
}

Test_Base* base(const char* name)
{
    Test_Base* b = Test_Base::create();
    b->Name.set(String(name));
    return b;
}

const char* const links[][2] = {{"A", "B"}, {"A", "C"}, {"D", "A"}, {"B", "A"}};

Test_Peer* peer(const char* parent, const char* child)
{
    Test_Peer* p = Test_Peer::create();
    p->Parent = base(parent);
    p->Child = base(child);
    return p;
}

// A provider procedure of the association shape, written out by hand.
int fake_proc(const Registration*, int op, void* a0, void* a1, void* a2, void* a3, void* a4, void* a5, void* a6,
              void*)
{
    (void)a1;
    Fake_Object* object = on_object(op) ? static_cast<Fake_Object*>(a0) : nullptr;
    if (object && object->inside.fetch_add(1) != 0)
        state.overlap = true;
    int status = -1;
    switch (op) {
    case OPERATION_GET_META_CLASS:
        *static_cast<const Meta_Class**>(a0) = &Test_Peer::static_meta_class;
        status = 0;
        break;
    case OPERATION_CREATE_PROVIDER:
        *static_cast<void**>(a0) = state.refuse_create ? nullptr : new Fake_Object;
        ++state.creates;
        status = 0;
        break;
    case OPERATION_DESTROY_PROVIDER:
        ++state.destroys;
        object->inside.fetch_sub(1);
        delete object;
        return 0;
    case OPERATION_LOAD: ++state.loads; status = 0; break;
    case OPERATION_UNLOAD: ++state.unloads; status = 0; break;
    case OPERATION_GET_REPOSITORY:
        *static_cast<const Meta_Repository**>(a0) = &test_repository;
        status = 0;
        break;
    case OPERATION_ENUM_INSTANCES: {
        ++state.enumerations;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (state.stall_next.exchange(false)) {
            ++state.stalled;
            while (!state.release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        auto proc = reinterpret_cast<Enum_Instances_Proc>(a2);
        if (state.enum_status == 0)
            for (const auto& l : links)
                proc(peer(l[0], l[1]), ENUM_INSTANCES_OK, a3);
        status = state.enum_status;
        proc(nullptr, Enum_Instances_Status(status), a3);
        break;
    }
    case OPERATION_ENUM_ASSOCIATOR_NAMES:
    case OPERATION_ENUM_ASSOCIATORS: {
        if (!state.answers_associators) {
            status = op == OPERATION_ENUM_ASSOCIATORS ? 171 : 111;
            break;
        }
        // Lends one instance and frees it once the callback returns.
        Test_Base* b = base("lent");
        auto proc = reinterpret_cast<bool (*)(const Instance*, int, void*)>(a5);
        proc(b, 0, a6);
        destroy(b);
        proc(nullptr, 0, a6);
        status = 0;
        break;
    }
    case OPERATION_GET_INSTANCE:
        status = 61;
        break;
    case OPERATION_ENUM_REFERENCES:
        if (state.answers_references) {
            auto proc = reinterpret_cast<Enum_References_Proc>(a4);
            for (const auto& l : links) {
                Instance* p = peer(l[0], l[1]);
                if (is_reference_of(static_cast<const Instance*>(a1), p, static_cast<const String*>(a3)->c_str()))
                    proc(p, ENUM_REFERENCES_OK, a5);
                else
                    destroy(p);
            }
            proc(nullptr, ENUM_REFERENCES_OK, a5);
            status = 0;
            break;
        }
        if (!state.answers_associators) {
            status = 121;
            break;
        }
        reinterpret_cast<Enum_References_Proc>(a4)(peer("X", "Y"), ENUM_REFERENCES_OK, a5);
        reinterpret_cast<Enum_References_Proc>(a4)(nullptr, ENUM_REFERENCES_OK, a5);
        status = 0;
        break;
    default:
        break;
    }
    if (object)
        object->inside.fetch_sub(1);
    return status;
}

Registration* fake_head = nullptr;
Registration fake_registration("Test_Module", "Test_Peer_Provider", fake_proc, &Test_Peer::static_meta_class,
                               fake_head);

std::set<std::string> names_of(const Instance_List& list)
{
    std::set<std::string> out;
    for (const Instance_Ptr& p : list)
        out.insert(static_cast<const Test_Base*>(p.get())->Name.value.c_str());
    return out;
}

class Adapter : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.refuse_create = false;
        state.enum_status = 0;
        state.answers_associators = false;
        state.answers_references = false;
        state.enumerations = 0;
        state.loads = 0;
        state.unloads = 0;
        state.destroys = 0;
        state.creates = 0;
        state.overlap = false;
        adapter.reset(Pegasus_Adapter::create(fake_head, "test_peer_provider"));
        ASSERT_NE(adapter, nullptr);
        source.reset(base("A"));
    }
    std::unique_ptr<Pegasus_Adapter> adapter;
    Instance_Ptr source;
};

TEST_F(Adapter, FindsRecordsByNameWithoutRegardToCase)
{
    EXPECT_EQ(Pegasus_Adapter::find(fake_head, "TEST_PEER_PROVIDER"), &fake_registration);
    EXPECT_EQ(Pegasus_Adapter::find(fake_head, "Test_Peer"), nullptr);
    EXPECT_EQ(Pegasus_Adapter::find(fake_head, nullptr), nullptr);
    EXPECT_EQ(Pegasus_Adapter::create(fake_head, "Other_Provider"), nullptr);
    EXPECT_EQ(adapter->meta_class(), &Test_Peer::static_meta_class);
    EXPECT_EQ(adapter->repository(), &test_repository);
}

TEST_F(Adapter, EntryStoresTheAdapterOnlyForAKnownName)
{
    void* result = nullptr;
    Pegasus::String unknown("Nobody_Provider");
    EXPECT_EQ(cimple_pegasus_adapter(reinterpret_cast<void*>(std::intptr_t{'P'}), &unknown, fake_head, &result, nullptr, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(result, nullptr);
    Pegasus::String name("Test_Peer_Provider");
    EXPECT_EQ(cimple_pegasus_adapter(reinterpret_cast<void*>(std::intptr_t{'Q'}), &name, fake_head, &result, nullptr, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(cimple_pegasus_adapter(reinterpret_cast<void*>(std::intptr_t{'P'}), &name, fake_head, &result, nullptr, nullptr, nullptr, nullptr), 0);
    ASSERT_NE(result, nullptr);
    delete static_cast<Pegasus_Adapter*>(result);
}

TEST_F(Adapter, ProviderObjectLivesFromCreateToDestroy)
{
    EXPECT_EQ(adapter->load(), 0);
    EXPECT_TRUE(adapter->loaded());
    adapter.reset();
    EXPECT_EQ(state.unloads, 1) << "a loaded provider is unloaded before it is destroyed";
    EXPECT_EQ(state.destroys, 1);

    state.refuse_create = true;
    EXPECT_EQ(Pegasus_Adapter::create(fake_head, "Test_Peer_Provider"), nullptr);
}

TEST_F(Adapter, EnumerationHandsTheInstancesToTheCaller)
{
    Instance_List list;
    EXPECT_EQ(adapter->enum_instances(list), 0);
    EXPECT_EQ(list.size(), 4u);
    state.enum_status = 70;
    Instance_List none;
    EXPECT_EQ(adapter->enum_instances(none), 70);
    EXPECT_TRUE(none.empty());
}

// A provider that answers references but not associators: the associators
// come from the source's references, the association is not enumerated.
TEST_F(Adapter, AssociatorsOfAnEnumerationOnlyProviderComeFromTheAssociationClass)
{
    for (bool references : {false, true}) {
        state.answers_references = references;
        state.enumerations = 0;
        SCOPED_TRACE(references ? "references answered" : "enumeration only");
        struct Case {
            const char* result_class;
            const char* role;
            const char* result_role;
            std::set<std::string> expected;
        } cases[] = {
            {"", "", "", {"B", "C", "D"}}, // B through two links, listed once
            {"", "Parent", "", {"B", "C"}},
            {"", "", "Parent", {"B", "D"}},
            {"", "Child", "Parent", {"B", "D"}},
            {"Test_Base", "", "", {"B", "C", "D"}},
            {"Test_Derived", "", "", {}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.result_class << "/" << c.role << "/" << c.result_role);
            Instance_List assoc, names;
            EXPECT_EQ(adapter->enum_associators(source.get(), c.result_class, c.role, c.result_role, assoc), 0);
            EXPECT_EQ(names_of(assoc), c.expected);
            EXPECT_EQ(assoc.size(), c.expected.size());
            EXPECT_EQ(adapter->enum_associator_names(source.get(), c.result_class, c.role, c.result_role, names), 0);
            EXPECT_EQ(names_of(names), c.expected);
        }
        if (references) {
            EXPECT_EQ(state.enumerations, 0);
        }
    }
}

TEST_F(Adapter, ReferencesOfAnEnumerationOnlyProviderComeFromTheAssociationClass)
{
    Instance_List all, parent, none;
    EXPECT_EQ(adapter->enum_references(source.get(), "", all), 0);
    EXPECT_EQ(all.size(), 4u);
    EXPECT_EQ(adapter->enum_references(source.get(), "Parent", parent), 0);
    EXPECT_EQ(parent.size(), 2u);
    Instance_Ptr lonely(base("E"));
    EXPECT_EQ(adapter->enum_references(lonely.get(), "", none), 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(Adapter, GetOfAnAssociationProviderComesFromTheEnumeration)
{
    Instance_Ptr linked(peer("D", "A")), unlinked(peer("A", "D")), found;
    EXPECT_EQ(adapter->get_instance(linked.get(), found), 0);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(key_eq(found.get(), linked.get()));
    EXPECT_EQ(adapter->get_instance(unlinked.get(), found), 60);
    EXPECT_EQ(found, nullptr);
    state.enum_status = 70;
    EXPECT_EQ(adapter->get_instance(linked.get(), found), 61);
}

TEST_F(Adapter, FailedEnumerationFailsTheRequestItStandsFor)
{
    state.enum_status = 70;
    Instance_List out;
    EXPECT_EQ(adapter->enum_associators(source.get(), "", "", "", out), 170);
    EXPECT_EQ(adapter->enum_associator_names(source.get(), "", "", "", out), 110);
    EXPECT_EQ(adapter->enum_references(source.get(), "", out), 120);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(adapter->enum_associators(nullptr, "", "", "", out), 170);
}

TEST_F(Adapter, LentInstancesAreCopiedGivenOnesKept)
{
    state.answers_associators = true;
    Instance_List assoc, names, refs;
    EXPECT_EQ(adapter->enum_associators(source.get(), "", "", "", assoc), 0);
    EXPECT_EQ(names_of(assoc), std::set<std::string>{"lent"});
    EXPECT_EQ(adapter->enum_associator_names(source.get(), "", "", "", names), 0);
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(adapter->enum_references(source.get(), "", refs), 0);
    EXPECT_EQ(refs.size(), 1u);
}

// Every request runs on a provider object of its own: requests of one
// adapter run side by side (one that waits holds no other up), no object
// ever serves two at once, and each object is gone when its request ends.
TEST_F(Adapter, EachRequestHasItsOwnProviderObject)
{
    state.stall_next = true;
    state.release = false;
    std::thread waiting([&] {
        Instance_List list;
        adapter->enum_instances(list);
    });
    while (state.stalled == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::atomic<int> failures{0};
    auto work = [&] {
        for (int i = 0; i < 25; ++i) {
            Instance_Ptr found;
            if (adapter->get_instance(source.get(), found) == GET_INSTANCE_OK)
                ++failures;  // the fake finds nothing
            Instance_List assoc;
            if (adapter->enum_associators(source.get(), "", "", "", assoc) != 0)
                ++failures;
        }
    };
    std::thread t1(work), t2(work), t3(work);
    t1.join();
    t2.join();
    t3.join();
    EXPECT_EQ(state.stalled, 1) << "the others ran while one request waited";
    state.release = true;
    waiting.join();
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(state.overlap) << "two operations ran in one provider object at once";
    EXPECT_EQ(state.creates, 1 + 3 * 25 * 2 + 1);  // the resident object and one per request
    EXPECT_EQ(state.destroys, state.creates - 1);
    EXPECT_EQ(state.loads, state.unloads);
}

} // namespace

// An enumeration into a consumer hands each instance over as the provider
// gives it; a consumer that refuses one, or throws, ends what it is given
// and fails the enumeration without the exception reaching the provider.
TEST_F(Adapter, ConsumerTakesEachInstanceAndMayStopTheEnumeration)
{
    std::vector<std::string> seen;
    auto name = [](const Instance_Ptr& p) { return std::string(static_cast<const Test_Base*>(p.get())->Name.value.c_str()); };
    const Instance_Consumer all = [&](Instance_Ptr p) {
        seen.push_back(name(p));
        return true;
    };
    EXPECT_EQ(adapter->enum_instances(all), 0);
    EXPECT_EQ(seen.size(), 4u);

    struct Case {
        const char* what;
        bool throws;
    } cases[] = {{"refuses the second", false}, {"throws at the second", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int calls = 0;
        const Instance_Consumer stops = [&](Instance_Ptr) {
            if (++calls < 2)
                return true;
            if (c.throws)
                throw std::runtime_error("no room");
            return false;
        };
        EXPECT_EQ(adapter->enum_instances(stops), ENUM_INSTANCES_FAILED);
        EXPECT_EQ(calls, 2) << "nothing is handed over after the consumer stopped";
    }

    // Not wanted any more once the mutex is taken: no walk at all.
    seen.clear();
    EXPECT_EQ(adapter->enum_instances(all, nullptr, [] { return false; }), ENUM_INSTANCES_FAILED);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(adapter->enum_instances(all, nullptr, [] { return true; }), 0);
    EXPECT_EQ(seen.size(), 4u);

    state.enum_status = 70;
    seen.clear();
    EXPECT_EQ(adapter->enum_instances(all), 70);
    EXPECT_TRUE(seen.empty());
}
