#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

Test_Base* make_base(const char* name, uint16 count = 0)
{
    Test_Base* b = Test_Base::create(true);
    b->Name.set(name);
    b->Count.set(count);
    return b;
}

Test_Derived* make_derived(const char* name)
{
    Test_Derived* d = Test_Derived::create(true);
    d->Name.set(name);
    return d;
}

TEST(Create, NullRecordGivesNull)
{
    EXPECT_EQ(create(static_cast<const Meta_Class*>(nullptr), true), nullptr);
    EXPECT_EQ(clone(static_cast<const Instance*>(nullptr)), nullptr);
}

TEST(SetNullFlags, KeysAndNonKeysSelectively)
{
    Test_Derived* d = Test_Derived::create(true);

    // The way every built instance starts: everything present, defaults kept.
    __set_null_flags(d, true, true, 0);
    EXPECT_EQ(d->Name.null, 0);
    EXPECT_TRUE(d->Name.value.empty());
    EXPECT_EQ(d->Big.null, 0);
    EXPECT_EQ(d->State.value, 5);

    // Keys only remain present.
    __set_null_flags(d, false, true, 1);
    EXPECT_EQ(d->Name.null, 0);
    EXPECT_EQ(d->Count.null, 1);
    EXPECT_EQ(d->State.null, 1);
    EXPECT_EQ(d->Sizes.null, 1);

    __set_null_flags(d, true, false, 1);
    EXPECT_EQ(d->Name.null, 1);
    destroy(d);
}

TEST(SetNullFlags, LeavesReferencesAlone)
{
    Test_Link* l = Test_Link::create();
    l->Antecedent = make_base("a");
    __set_null_flags(l, true, true, 1);
    ASSERT_NE(l->Antecedent, nullptr);
    EXPECT_EQ(l->Weight.null, 1);
    destroy(l);
}

TEST(Clone, DeepCopyIsEqualAndIndependent)
{
    Test_Derived* d = make_derived("d1");
    d->__name_space = "root/kestris";
    d->Tags.set(Array<String>());
    d->Tags.value.append("x");
    d->Tags.value.append("y");
    d->When.set(Datetime(1234567 * Datetime::SEC, 60));
    d->Big.set(-42);
    d->Ratio.set(2.5);
    d->Count.clear();

    Test_Derived* c = d->clone();
    ASSERT_NE(c, nullptr);
    ASSERT_NE(c, d);
    EXPECT_EQ(c->meta_class, d->meta_class);
    EXPECT_EQ(c->__name_space, "root/kestris");
    EXPECT_EQ(c->__refs.load(), 1u);
    EXPECT_EQ(c->Name.value, "d1");
    EXPECT_EQ(c->Name.null, 0);
    EXPECT_EQ(c->Count.null, 1);
    EXPECT_EQ(c->Tags.value, d->Tags.value);
    EXPECT_EQ(c->When.value, d->When.value);
    EXPECT_EQ(c->Big.value, -42);
    EXPECT_EQ(c->Ratio.value, 2.5);
    EXPECT_EQ(c->State.value, 5);
    EXPECT_EQ(c->Sizes.value, d->Sizes.value);
    EXPECT_TRUE(key_eq(c, d));

    // Changing the copy leaves the source untouched, and the other way round.
    c->Name.set("changed");
    c->Tags.value.append("z");
    d->Sizes.value.clear();
    EXPECT_EQ(d->Name.value, "d1");
    EXPECT_EQ(d->Tags.value.size(), 2u);
    EXPECT_EQ(c->Sizes.value.size(), 2u);

    destroy(d);
    EXPECT_EQ(c->Tags.value[2], "z"); // the copy outlives its source
    destroy(c);
}

TEST(Clone, CopiesReferencedAndEmbeddedInstances)
{
    Test_Holder* h = Test_Holder::create();
    h->Id.set(7);
    h->Owner = make_base("owner", 3);
    Test_Link* inner = Test_Link::create();
    inner->Antecedent = make_base("a");
    inner->Dependent = make_derived("b");
    h->Embedded = inner;

    Test_Holder* c = h->clone();
    ASSERT_NE(c->Owner, nullptr);
    ASSERT_NE(c->Embedded, nullptr);
    EXPECT_NE(c->Owner, h->Owner);
    EXPECT_NE(c->Embedded, h->Embedded);
    EXPECT_EQ(c->Owner->Name.value, "owner");
    EXPECT_EQ(c->Owner->Count.value, 3);
    auto* ci = static_cast<Test_Link*>(c->Embedded);
    EXPECT_EQ(ci->meta_class, &Test_Link::static_meta_class);
    EXPECT_NE(ci->Antecedent, inner->Antecedent);
    EXPECT_TRUE(key_eq(ci, inner));

    destroy(h); // frees owner, link and both ends
    EXPECT_EQ(c->Owner->Name.value, "owner");
    EXPECT_EQ(ci->Dependent->Name.value, "b");
    destroy(c);
}

TEST(MethodInstance, ParametersClonedAndDestroyed)
{
    Test_Derived_Frob_method* m = Test_Derived_Frob_method::create();
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->meta_class->name, "Frob");
    // A method instance's head names its method record through the class-record pointer.
    EXPECT_EQ(reinterpret_cast<const Meta_Method*>(m->meta_class), &Test_Derived_Frob_method::static_meta_class);
    m->Mode.set(2);
    m->Target = make_base("t");
    m->Targets.append(make_base("t1"));
    m->Targets.append(make_base("t2"));
    m->Goal = make_base("goal");
    m->Sizes.set(Array<uint64>());
    m->Sizes.value.append(99);
    m->return_value.set(4097);

    auto* c = static_cast<Test_Derived_Frob_method*>(clone(m));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Mode.value, 2);
    ASSERT_EQ(c->Targets.size(), 2u);
    EXPECT_NE(c->Targets[0], m->Targets[0]);
    EXPECT_EQ(c->Targets[1]->Name.value, "t2");
    EXPECT_NE(c->Target, m->Target);
    EXPECT_EQ(c->Goal->Name.value, "goal");
    EXPECT_EQ(c->Sizes.value[0], 99u);
    EXPECT_EQ(c->return_value.value, 4097u);
    destroy(m);
    destroy(c);
}

TEST(Destroy, NestedGraphsAreFreedWhole)
{
    // Holder -> embedded association -> two ends; holder -> owner; built
    // several levels deep. LeakSanitizer reports anything left behind.
    Test_Holder* outer = Test_Holder::create(true);
    outer->Owner = make_base("o");
    Test_Holder* middle = Test_Holder::create(true);
    middle->Owner = make_base("m");
    Test_Peer* peer = Test_Peer::create();
    peer->Parent = make_base("p");
    peer->Child = make_base("c");
    middle->Embedded = peer;
    outer->Embedded = middle;
    destroy(outer);

    Test_Derived_Frob_method* m = Test_Derived_Frob_method::create();
    for (int i = 0; i < 5; i++)
        m->Targets.append(make_base("t"));
    m->Targets.append(nullptr); // a null slot is passed over
    destroy(m);
}

TEST(Cast, SubclassInstanceReadsThroughSuperclassStruct)
{
    Test_Child* c = Test_Child::create(true);
    Test_Base* as_base = cast<Test_Base*>(c);
    ASSERT_EQ(static_cast<Instance*>(as_base), static_cast<Instance*>(c));
    as_base->Name.set("child");
    as_base->Tags.set(Array<String>());
    as_base->Tags.value.append("t");
    EXPECT_EQ(c->Extra.value, 9u);
    EXPECT_EQ(c->Extra.null, 0);
    EXPECT_EQ(c->Count.null, 1);
    EXPECT_TRUE(is_subclass(&Test_Base::static_meta_class, c->meta_class));

    // Only to the instance's own class or a superclass; null passes through.
    const Test_Child* back = cast<const Test_Child*>(as_base);
    Test_Derived* sibling = cast<Test_Derived*>(c);
    Test_Holder* unrelated = cast<Test_Holder*>(c);
    Test_Base* base = Test_Base::create();
    Test_Child* down = cast<Test_Child*>(base);
    Test_Base* none = cast<Test_Base*>(static_cast<Instance*>(nullptr));
    EXPECT_EQ(back, c);
    EXPECT_EQ(sibling, nullptr);
    EXPECT_EQ(unrelated, nullptr);
    EXPECT_EQ(down, nullptr);
    EXPECT_EQ(none, nullptr);
    Test_Base::destroy(base);

    Test_Child* d = c->clone();
    EXPECT_EQ(d->Name.value, "child");
    EXPECT_EQ(d->Tags.value[0], "t");
    EXPECT_EQ(d->Extra.value, 9u);
    EXPECT_TRUE(key_eq(c, d));
    String path;
    ASSERT_EQ(instance_to_model_path(d, path), 0);
    EXPECT_EQ(path, "Test_Child.Name=\"child\"");
    destroy(c);
    destroy(d);
}

TEST(Destroy, ClearingAnArrayOfPointersFreesNothing)
{
    Test_Base* b = make_base("kept");
    Array<Test_Base*> list;
    list.append(b);
    list.clear();
    EXPECT_EQ(b->Name.value, "kept");
    destroy(b);
}

} // namespace
} // namespace cimple
