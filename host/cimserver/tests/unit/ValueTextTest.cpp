// Text forms of property values: every type reads back what it writes, and
// texts that do not fit a type (range, sign, syntax, array shape) are refused
// without touching the field.
#include "ValueText.h"

#include <gtest/gtest.h>

#include <limits>

namespace cimserver {
namespace {

using namespace cimple;

// A one-field instance per type, laid out as the framework lays out fields.
template <class T>
struct Holder {
    Instance head{};
    Property<T> field;
};

template <class T>
Meta_Property record(uint16 type, sint16 subscript = 0)
{
    Meta_Property mp{};
    mp.flags = CIMPLE_FLAG_PROPERTY;
    mp.name = "P";
    mp.type = type;
    mp.subscript = subscript;
    mp.offset = static_cast<uint32>(offsetof(Holder<T>, field));
    return mp;
}

template <class T>
std::vector<std::string> round_trip(uint16 type, const std::string& text, bool& ok)
{
    Holder<T> h;
    Meta_Property mp = record<T>(type);
    ok = set_property_texts(&h.head, &mp, {text}, false);
    std::vector<std::string> out;
    property_texts(&h.head, &mp, out);
    return out;
}

TEST(ValueText, ScalarsReadBackWhatTheyWrite)
{
    bool ok = false;
    EXPECT_EQ(round_trip<uint8>(UINT8, "255", ok), std::vector<std::string>{"255"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(round_trip<sint64>(SINT64, "-9223372036854775808", ok),
              std::vector<std::string>{"-9223372036854775808"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(round_trip<uint64>(UINT64, "0x10", ok), std::vector<std::string>{"16"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(round_trip<boolean>(BOOLEAN, "true", ok), std::vector<std::string>{"TRUE"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(round_trip<String>(STRING, "", ok), std::vector<std::string>{""});
    EXPECT_TRUE(ok);
    EXPECT_EQ(round_trip<String>(STRING, " a<b ", ok), std::vector<std::string>{" a<b "});
    EXPECT_EQ(round_trip<char16>(CHAR16, "\xC3\xA9", ok), std::vector<std::string>{"\xC3\xA9"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(round_trip<Datetime>(DATETIME, "00000001020304.000005:000", ok),
              std::vector<std::string>{"00000001020304.000005:000"});
    EXPECT_TRUE(ok);
}

// True when the text is refused and the field stays null.
template <class T>
bool refused(uint16 type, const char* text)
{
    Holder<T> h;
    Meta_Property mp = record<T>(type);
    bool stored = set_property_texts(&h.head, &mp, {text}, false);
    std::vector<std::string> out;
    return !stored && !property_texts(&h.head, &mp, out);
}

TEST(ValueText, TextsThatDoNotFitAreRefusedAndLeaveTheFieldNull)
{
    EXPECT_TRUE(refused<uint8>(UINT8, "256"));
    EXPECT_TRUE(refused<uint8>(UINT8, "-1"));
    EXPECT_TRUE(refused<sint8>(SINT8, "-129"));
    EXPECT_TRUE(refused<uint32>(UINT32, "12a"));
    EXPECT_TRUE(refused<uint32>(UINT32, ""));
    EXPECT_TRUE(refused<uint64>(UINT64, "18446744073709551616"));
    EXPECT_TRUE(refused<sint16>(SINT16, "--1"));
    EXPECT_TRUE(refused<uint16>(UINT16, "0x"));
    EXPECT_TRUE(refused<boolean>(BOOLEAN, "yes"));
    EXPECT_TRUE(refused<real32>(REAL32, "1e39"));
    EXPECT_TRUE(refused<real64>(REAL64, "nan"));
    EXPECT_TRUE(refused<Datetime>(DATETIME, "2020"));
    EXPECT_TRUE(refused<char16>(CHAR16, "ab"));
}

TEST(ValueText, ArraysKeepTheirShape)
{
    Holder<Array<uint16>> h;
    Meta_Property mp = record<Array<uint16>>(UINT16, -1);
    EXPECT_FALSE(set_property_texts(&h.head, &mp, {"1"}, false)) << "a scalar for an array";
    EXPECT_TRUE(set_property_texts(&h.head, &mp, {"1", "2", "65535"}, true));
    std::vector<std::string> out;
    ASSERT_TRUE(property_texts(&h.head, &mp, out));
    EXPECT_EQ(out, (std::vector<std::string>{"1", "2", "65535"}));
    EXPECT_FALSE(set_property_texts(&h.head, &mp, {"1", "x"}, true));
    ASSERT_TRUE(property_texts(&h.head, &mp, out));
    EXPECT_EQ(out.size(), 3u) << "a refused array leaves the old value";
    EXPECT_TRUE(set_property_texts(&h.head, &mp, {}, true));
    ASSERT_TRUE(property_texts(&h.head, &mp, out));
    EXPECT_TRUE(out.empty()) << "an empty array is present, not null";

    Meta_Property fixed = record<Array<uint16>>(UINT16, 2);
    EXPECT_FALSE(set_property_texts(&h.head, &fixed, {"1", "2", "3"}, true));
}

} // namespace
} // namespace cimserver
