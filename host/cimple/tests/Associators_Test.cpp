#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

Test_Base* base(const char* name)
{
    Test_Base* b = Test_Base::create(true);
    b->Name.set(name);
    return b;
}

Test_Derived* derived(const char* name)
{
    Test_Derived* d = Test_Derived::create(true);
    d->Name.set(name);
    return d;
}

class AssociatorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        link = Test_Link::create();
        link->Antecedent = base("pool");
        link->Dependent = derived("volume");
        peer = Test_Peer::create();
        peer->Parent = base("parent");
        peer->Child = base("child");
        // Sources as a request carries them: separate instances with equal keys.
        pool = base("pool");
        volume = derived("volume");
        parent = base("parent");
        child = base("child");
        stranger = base("stranger");
    }
    void TearDown() override
    {
        for (Instance* i : {static_cast<Instance*>(link), static_cast<Instance*>(peer), static_cast<Instance*>(pool),
                            static_cast<Instance*>(volume), static_cast<Instance*>(parent),
                            static_cast<Instance*>(child), static_cast<Instance*>(stranger)})
            destroy(i);
    }

    Test_Link* link;
    Test_Peer* peer;
    Test_Base* pool;
    Test_Derived* volume;
    Test_Base* parent;
    Test_Base* child;
    Test_Base* stranger;
};

TEST_F(AssociatorsTest, EveryFilter)
{
    const Instance* src_pool = pool;
    const Instance* src_volume = volume;
    const Instance* src_parent = parent;
    const Instance* src_child = child;
    const Instance* src_stranger = stranger;
    struct Row {
        const char* what;
        const Instance* source;
        bool on_peer;
        const char* result_class;
        const char* role;
        const char* result_role;
        const char* expected; // name of the one associator, or null for none
    } rows[] = {
        {"no filter, from antecedent", src_pool, false, nullptr, nullptr, nullptr, "volume"},
        {"no filter, from dependent", src_volume, false, nullptr, nullptr, nullptr, "pool"},
        {"empty texts mean no filter", src_pool, false, "", "", "", "volume"},
        {"role matches", src_pool, false, nullptr, "Antecedent", nullptr, "volume"},
        {"role in other case", src_pool, false, nullptr, "antecedent", nullptr, "volume"},
        {"role names the other end", src_pool, false, nullptr, "Dependent", nullptr, nullptr},
        {"result role matches", src_pool, false, nullptr, nullptr, "Dependent", "volume"},
        {"result role names the source end", src_pool, false, nullptr, nullptr, "Antecedent", nullptr},
        {"result class exact", src_pool, false, "Test_Derived", nullptr, nullptr, "volume"},
        {"result class is a superclass", src_pool, false, "TEST_BASE", nullptr, nullptr, "volume"},
        {"result class unrelated", src_pool, false, "Test_Holder", nullptr, nullptr, nullptr},
        {"result class is a subclass of the far end", src_volume, false, "Test_Derived", nullptr, nullptr, nullptr},
        {"all three filters", src_volume, false, "Test_Base", "Dependent", "Antecedent", "pool"},
        {"source not in the association", src_stranger, false, nullptr, nullptr, nullptr, nullptr},
        {"same class: from parent", src_parent, true, nullptr, nullptr, nullptr, "child"},
        {"same class: from child", src_child, true, nullptr, nullptr, nullptr, "parent"},
        {"same class: child in parent role", src_child, true, nullptr, "Parent", nullptr, nullptr},
        {"same class: parent with result role Child", src_parent, true, "Test_Base", "Parent", "Child", "child"},
        {"same class: parent with result role Parent", src_parent, true, nullptr, nullptr, "Parent", nullptr},
    };
    for (const Row& r : rows) {
        const Instance* assoc = r.on_peer ? static_cast<const Instance*>(peer) : link;
        const Instance* found[CIMPLE_MAX_REFERENCES_PER_CLASS] = {};
        ssize_t n = get_associators(r.source, assoc, r.result_class, r.role, r.result_role, found);
        if (!r.expected) {
            EXPECT_EQ(n, 0) << r.what;
            continue;
        }
        ASSERT_EQ(n, 1) << r.what;
        EXPECT_EQ(static_cast<const Test_Base*>(found[0])->Name.value, r.expected) << r.what;
    }
}

TEST_F(AssociatorsTest, ResultsAreTheAssociationsOwnEnds)
{
    const Instance* found[CIMPLE_MAX_REFERENCES_PER_CLASS] = {};
    ASSERT_EQ(get_associators(pool, link, nullptr, nullptr, nullptr, found), 1);
    EXPECT_EQ(found[0], link->Dependent);
    EXPECT_EQ(link->Dependent->Name.value, "volume");
}

TEST_F(AssociatorsTest, NullArgumentsGiveMinusOne)
{
    const Instance* found[CIMPLE_MAX_REFERENCES_PER_CLASS] = {};
    EXPECT_EQ(get_associators(nullptr, link, nullptr, nullptr, nullptr, found), -1);
    EXPECT_EQ(get_associators(pool, nullptr, nullptr, nullptr, nullptr, found), -1);
}

TEST_F(AssociatorsTest, NullFarEndIsSkipped)
{
    destroy(link->Dependent);
    link->Dependent = nullptr;
    const Instance* found[CIMPLE_MAX_REFERENCES_PER_CLASS] = {};
    EXPECT_EQ(get_associators(pool, link, nullptr, nullptr, nullptr, found), 0);
}

TEST_F(AssociatorsTest, IsReferenceOfEveryRole)
{
    struct Row {
        const char* what;
        const Instance* source;
        const Instance* assoc;
        const char* role;
        bool expected;
    } rows[] = {
        {"any role", pool, link, nullptr, true},
        {"empty role", volume, link, "", true},
        {"own role", pool, link, "Antecedent", true},
        {"own role in other case", volume, link, "DEPENDENT", true},
        {"other end's role", pool, link, "Dependent", false},
        {"unknown role", pool, link, "Owner", false},
        {"not referenced", stranger, link, nullptr, false},
        {"same class: child as Child", child, peer, "Child", true},
        {"same class: child as Parent", child, peer, "Parent", false},
        {"same class: parent, any role", parent, peer, nullptr, true},
        {"null source", nullptr, link, nullptr, false},
        {"null association", pool, nullptr, nullptr, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(is_reference_of(r.source, r.assoc, r.role), r.expected) << r.what;
}

TEST(AssociatorsEmbedded, EmbeddedObjectIsNotAnAssociationEnd)
{
    Test_Holder* h = Test_Holder::create();
    h->Id.set(1);
    Test_Base* b = Test_Base::create(true);
    b->Name.set("e");
    h->Embedded = b;
    Test_Base* src = b->clone();
    EXPECT_FALSE(is_reference_of(src, h, nullptr));
    destroy(src);
    destroy(h);
}

} // namespace
} // namespace cimple
