#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

// A class record identical to Test_Base's but named in other case, as a
// model built from another copy of the schema would carry.
const Meta_Class lower_case_base = [] {
    Meta_Class mc = Test_Base::static_meta_class;
    mc.name = "test_base";
    return mc;
}();

Test_Base* base(const char* name, uint16 count = 0, const Meta_Class* mc = &Test_Base::static_meta_class)
{
    auto* b = static_cast<Test_Base*>(create(mc, false));
    b->Name.set(name);
    b->Count.set(count);
    return b;
}

Test_Derived* derived(const char* name)
{
    Test_Derived* d = Test_Derived::create(true);
    d->Name.set(name);
    return d;
}

Test_Holder* holder(uint32 id)
{
    Test_Holder* h = Test_Holder::create();
    h->Id.set(id);
    return h;
}

Test_Link* link(Test_Base* a, Test_Derived* d, uint32 weight)
{
    Test_Link* l = Test_Link::create();
    l->Antecedent = a;
    l->Dependent = d;
    l->Weight.set(weight);
    return l;
}

struct Case {
    const char* what;
    Instance* a;
    Instance* b;
    bool equal;
};

TEST(KeyEq, Table)
{
    Test_Base* null_name = base("");
    null_name->Name.clear();
    Test_Base* null_name2 = base("");
    null_name2->Name.clear();

    Case cases[] = {
        {"same keys", base("x"), base("x"), true},
        {"non-key differs", base("x", 1), base("x", 2), true},
        {"key differs", base("x"), base("y"), false},
        {"key differs in case only", base("x"), base("X"), false},
        {"class name in other case", base("x"), base("x", 0, &lower_case_base), true},
        // Keys are compared by name, not the classes: equal keys of two
        // classes are key-equal, keys of other names are not.
        {"different classes, same keys", base("x"), derived("x"), true},
        {"different classes, other keys", base("x"), holder(1), false},
        {"one key null", base("x"), null_name, false},
        {"null key against empty key", null_name2, base("", 0), false},
        {"reference keys equal, weight differs", link(base("a"), derived("d"), 1), link(base("a", 9), derived("d"), 2),
         true},
        {"reference key differs deep down", link(base("a"), derived("d"), 1), link(base("a"), derived("e"), 1), false},
        {"reference null on one side", link(base("a"), nullptr, 1), link(base("a"), derived("d"), 1), false},
        {"references null on both sides", link(nullptr, nullptr, 1), link(nullptr, nullptr, 2), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(key_eq(c.a, c.b), c.equal) << c.what;
        EXPECT_EQ(key_eq(c.b, c.a), c.equal) << c.what << " (swapped)";
        destroy(c.a);
        destroy(c.b);
    }
}

TEST(KeyEq, BothNullKeysMatch)
{
    Test_Base* a = base("");
    Test_Base* b = base("");
    a->Name.clear();
    b->Name.clear();
    EXPECT_TRUE(key_eq(a, b));
    destroy(a);
    destroy(b);
}

} // namespace
} // namespace cimple
