#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

// Each handler is the two words that the dispatch procedure builds from its
// arguments: the adapter's callback and its client data.
static_assert(sizeof(Enum_Instances_Handler<Instance>) == 2 * sizeof(void*));
static_assert(sizeof(Enum_Associator_Names_Handler<Instance>) == 2 * sizeof(void*));
static_assert(sizeof(Enum_Associators_Handler<Instance>) == 2 * sizeof(void*));
static_assert(sizeof(Enum_References_Handler<Instance>) == 2 * sizeof(void*));
static_assert(sizeof(Indication_Handler<Instance>) == 2 * sizeof(void*));
static_assert(sizeof(Enum_Instances_Handler<Test_Base>) == 2 * sizeof(void*));

struct Received {
    Array<String> names;
    int end_calls = 0;
    int last_status = -1;
};

// An adapter callback of an enumeration: owns what it receives.
bool take(Instance* inst, Enum_Instances_Status status, void* client_data)
{
    auto* r = static_cast<Received*>(client_data);
    r->last_status = status;
    if (!inst) {
        r->end_calls++;
        return true;
    }
    if (inst->meta_class == &Test_Base::static_meta_class)
        r->names.append(static_cast<Test_Base*>(inst)->Name.value);
    else
        r->names.append(inst->meta_class->name);
    destroy(inst);
    return true;
}

// An adapter callback of associators: copies what it needs, frees nothing.
bool look(const Instance* inst, Enum_Associators_Status status, void* client_data)
{
    auto* r = static_cast<Received*>(client_data);
    r->last_status = status;
    if (inst)
        r->names.append(static_cast<const Test_Base*>(inst)->Name.value);
    return true;
}

TEST(Handlers, EnumerationHandsInstancesOver)
{
    Received r;
    Enum_Instances_Handler<Test_Base> handler(take, &r);
    for (const char* n : {"a", "b"}) {
        Test_Base* b = Test_Base::create(true);
        b->Name.set(n);
        EXPECT_TRUE(handler.handle(b));
    }
    // A handler for any class, built from the same callback and client data.
    Enum_Instances_Handler<Instance> any(handler._proc, handler._client_data);
    Test_Link* l = Test_Link::create();
    EXPECT_TRUE(any.handle(l));

    // The end call, as the dispatch procedure makes it.
    handler._proc(nullptr, ENUM_INSTANCES_FAILED, handler._client_data);
    ASSERT_EQ(r.names.size(), 3u);
    EXPECT_EQ(r.names[1], "b");
    EXPECT_EQ(r.names[2], "Test_Link");
    EXPECT_EQ(r.end_calls, 1);
    EXPECT_EQ(r.last_status, ENUM_INSTANCES_FAILED);
}

TEST(Handlers, AssociatorsAreLent)
{
    Received r;
    Enum_Associators_Handler<Instance> handler(look, &r);
    Test_Base* b = Test_Base::create(true);
    b->Name.set("far");
    EXPECT_TRUE(handler.handle(b));
    EXPECT_EQ(r.names[0], "far");
    EXPECT_EQ(r.last_status, ENUM_ASSOCIATORS_OK);
    destroy(b); // still the caller's
}

// An adapter's indication callback: its client data lives on the heap and
// is freed on the final (null) call, as the CIM server's adapter does.
struct Delivered {
    int indications = 0;
    int* end_calls;
};

// Kept out of line: inlined at both calls of the test, it would have GCC's
// use-after-free check follow the final call's path into the next call.
[[gnu::noinline]] bool deliver(Instance* inst, void* client_data)
{
    auto* d = static_cast<Delivered*>(client_data);
    if (inst) {
        d->indications++;
        return true;
    }
    ++*d->end_calls;
    delete d;
    return true;
}

TEST(Handlers, DestroyingAnIndicationHandlerMakesTheFinalCall)
{
    int end_calls = 0;
    auto* handler = new Indication_Handler<Test_Base>(deliver, new Delivered{0, &end_calls});
    Test_Base* b = Test_Base::create(true);
    EXPECT_TRUE(handler->handle(b));
    EXPECT_TRUE(handler->handle(b));
    destroy(b); // lent, not given
    EXPECT_EQ(end_calls, 0);
    delete handler;
    EXPECT_EQ(end_calls, 1);
}

} // namespace
} // namespace cimple
