#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

Test_Link* link(const char* a, const char* d, uint32 weight = 0)
{
    Test_Link* l = Test_Link::create();
    l->Antecedent = Test_Base::create(true);
    l->Antecedent->Name.set(a);
    l->Dependent = Test_Derived::create(true);
    l->Dependent->Name.set(d);
    l->Weight.set(weight);
    return l;
}

TEST(InstanceMap, KeepsInsertionOrder)
{
    Instance_Map<Test_Link> map;
    EXPECT_EQ(map.insert(link("p", "3")), 0);
    EXPECT_EQ(map.insert(link("p", "1")), 1);
    EXPECT_EQ(map.insert(link("p", "2")), 2);
    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(map[0]->Dependent->Name.value, "3");
    EXPECT_EQ(map[1]->Dependent->Name.value, "1");
    EXPECT_EQ(map[2]->Dependent->Name.value, "2");
    EXPECT_EQ(map.get(3), nullptr);
}

TEST(InstanceMap, RefusedDuplicateIsDestroyedNotLeaked)
{
    Instance_Map<Test_Link> map;
    ASSERT_EQ(map.insert(link("p", "v", 1)), 0);
    // Same keys, other non-key value: refused; the map frees it (LeakSanitizer
    // would report it otherwise) and keeps the first.
    EXPECT_EQ(map.insert(link("p", "v", 2)), -1);
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map[0]->Weight.value, 1u);
}

TEST(InstanceMap, RefusesOtherClassesAndNull)
{
    Instance_Map_Base map(&Test_Base::static_meta_class);
    Test_Holder* h = Test_Holder::create();
    EXPECT_EQ(map._insert(h), -1); // destroyed by the map
    EXPECT_EQ(map._insert(nullptr), -1);
    Test_Derived* d = Test_Derived::create(true);
    d->Name.set("sub");
    EXPECT_EQ(map._insert(d), 0); // a subclass instance is welcome
}

TEST(InstanceMap, FindLookupRemoveClear)
{
    Instance_Map<Test_Link> map;
    map.insert(link("a", "1"));
    map.insert(link("a", "2"));
    Test_Link* model = link("a", "2");
    EXPECT_EQ(map.find(model), 1);
    EXPECT_EQ(map.lookup(model), map[1]);
    EXPECT_TRUE(map.remove(0));
    EXPECT_FALSE(map.remove(5));
    EXPECT_EQ(map.find(model), 0);
    map.clear();
    EXPECT_EQ(map.size(), 0u);
    EXPECT_EQ(map.lookup(model), nullptr);
    destroy(model);
    // Filled again after clear, then freed by the map's destructor.
    map.insert(link("b", "1"));
}

} // namespace
} // namespace cimple
