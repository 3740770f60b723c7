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
    EXPECT_EQ(map.insert(link("p", "3")), 0u);
    EXPECT_EQ(map.insert(link("p", "1")), 1u);
    EXPECT_EQ(map.insert(link("p", "2")), 2u);
    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(map[0]->Dependent->Name.value, "3");
    EXPECT_EQ(map[1]->Dependent->Name.value, "1");
    EXPECT_EQ(map[2]->Dependent->Name.value, "2");
}

constexpr size_t REFUSED = static_cast<size_t>(-1);

TEST(InstanceMap, RefusedDuplicateStaysWithTheCaller)
{
    Instance_Map<Test_Link> map;
    ASSERT_EQ(map.insert(link("p", "v", 1)), 0u);
    // Same keys, other non-key value: refused, and still the caller's (the
    // map neither keeps nor frees it).
    Test_Link* duplicate = link("p", "v", 2);
    EXPECT_EQ(map.insert(duplicate), REFUSED);
    EXPECT_EQ(duplicate->Weight.value, 2u);
    destroy(duplicate);
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map[0]->Weight.value, 1u);
}

TEST(InstanceMap, FindLookupRemoveClear)
{
    Instance_Map<Test_Link> map;
    map.insert(link("a", "1"));
    map.insert(link("a", "2"));
    Test_Link* model = link("a", "2");
    EXPECT_EQ(map.find(model), 1u);
    EXPECT_EQ(map.lookup(model), map[1]);
    map.remove(0);
    EXPECT_EQ(map.find(model), 0u);
    map.remove(0);
    EXPECT_EQ(map.find(model), REFUSED);
    map.clear();
    EXPECT_EQ(map.size(), 0u);
    EXPECT_EQ(map.lookup(model), nullptr);
    destroy(model);
    // Filled again after clear, then freed by the map's destructor.
    map.insert(link("b", "1"));
}

} // namespace
} // namespace cimple
