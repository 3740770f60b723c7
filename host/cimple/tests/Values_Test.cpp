#include <cimple/Array.h>
#include <cimple/Property.h>
#include <cimple/String.h>
#include <cimple/char16.h>

#include <gtest/gtest.h>

#include <type_traits>

namespace cimple {
namespace {

TEST(String, FindSubstringAppend)
{
    String key("VELDARO:RSP0001_10.0.0.1");
    size_t pos = key.find('_');
    ASSERT_EQ(pos, 15u);
    EXPECT_EQ(key.substr(pos + 1), "10.0.0.1");
    EXPECT_EQ(key.substr(0, 7), "VELDARO");
    EXPECT_EQ(key.find("RSP"), 8u);
    EXPECT_EQ(key.find(String("0.0")), 17u);
    EXPECT_EQ(key.find('#'), size_t(-1));
    EXPECT_EQ(key.find('0', 12), 12u);
    EXPECT_EQ(key.find('.', key.size()), size_t(-1));

    String s;
    s.append("ab");
    s.append('c');
    s.append(String("de"));
    s.append("fgh", 1);
    EXPECT_EQ(s, "abcdef");
    EXPECT_STREQ(s.c_str(), "abcdef");
    s.remove(1, 2);
    EXPECT_EQ(s, "adef");
    s.remove(2, size_t(-1));
    EXPECT_EQ(s, "ad");
    EXPECT_TRUE(s.equali("AD"));
    EXPECT_FALSE(s.equal("AD"));
    EXPECT_TRUE(String("a", "b", "c") == "abc");
}

TEST(String, NullTextCountsAsEmpty)
{
    String s(nullptr);
    EXPECT_TRUE(s.empty());
    EXPECT_STREQ(s.c_str(), "");
    s.append(nullptr);
    EXPECT_TRUE(s == "");
    EXPECT_TRUE(eqi(nullptr, ""));
}

TEST(Array, InsertRemoveAtTheEdges)
{
    Array<String> a;
    a.append("b");
    a.insert(0, "a");
    a.insert(5, "d"); // past the end: appended
    a.insert(2, "c");
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[0], "a");
    EXPECT_EQ(a[1], "b");
    EXPECT_EQ(a[2], "c");
    EXPECT_EQ(a[3], "d");
    a.remove(1);
    a.remove(10); // nothing
    a.remove(1, 10); // clipped
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0], "a");
}

TEST(Array, AppendsAnElementOfItselfWhileGrowing)
{
    Array<String> a;
    a.append("first");
    for (int i = 0; i < 100; i++)
        a.append(a[0]);
    EXPECT_EQ(a.size(), 101u);
    EXPECT_EQ(a[100], "first");
    a.append(a.data(), a.size());
    EXPECT_EQ(a.size(), 202u);
    Array<String> copy(a);
    EXPECT_EQ(copy, a);
}

TEST(Property, SetAndClear)
{
    Property<uint32> p;
    EXPECT_EQ(p.null, 1);
    p.set(7);
    EXPECT_EQ(p.null, 0);
    EXPECT_EQ(p.value, 7u);
    p.clear();
    EXPECT_EQ(p.null, 1);
    EXPECT_EQ(p.value, 0u);

    Property<Array<uint64>> sizes;
    Array<uint64> v;
    v.append(512);
    sizes.set(v);
    EXPECT_EQ(sizes.null, 0);
    EXPECT_EQ(sizes.value.size(), 1u);
}

TEST(Char16, IsItsOwnType)
{
    static_assert(!std::is_same_v<char16, uint16>);
    char16 c('x');
    EXPECT_EQ(c.code(), 'x');
    EXPECT_EQ(c, char16(0x78));
}

} // namespace
} // namespace cimple
