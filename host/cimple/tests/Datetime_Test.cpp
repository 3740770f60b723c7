#include <cimple/Datetime.h>

#include <gtest/gtest.h>

#include <ctime>

namespace cimple {
namespace {

TEST(Datetime, TextRoundTrips)
{
    const char* texts[] = {
        "19700101000000.000000+000", "20261209214447.123456+000", "20000229235959.999999-300",
        "99991231235959.999999+999", "20240101000000.000000-999", "00000000000000.000000:000",
        "99999999235959.999999:000", "00000001020304.000005:000",
    };
    for (const char* t : texts) {
        Datetime d;
        ASSERT_TRUE(d.set(t)) << t;
        EXPECT_EQ(d.ascii(), t) << t;
        Datetime e;
        ASSERT_TRUE(e.set(d.ascii().c_str()));
        EXPECT_EQ(e, d) << t;
    }
}

TEST(Datetime, TimestampFieldsShowTheZoneAtItsOffset)
{
    // 1234567890 s after the epoch is 2009-02-13 23:31:30 UTC.
    Datetime utc(1234567890 * Datetime::SEC, 0);
    EXPECT_TRUE(utc.is_timestamp());
    EXPECT_EQ(utc.ascii(), "20090213233130.000000+000");
    Datetime east(1234567890 * Datetime::SEC + 7, 90);
    EXPECT_EQ(east.ascii(), "20090214010130.000007+090");
    // The epoch seen from a zone west of UTC lies on the day before.
    Datetime west(0, -60);
    EXPECT_EQ(west.ascii(), "19691231230000.000000-060");
    Datetime parsed;
    ASSERT_TRUE(parsed.set("19691231230000.000000-060"));
    EXPECT_EQ(parsed, west);

    Datetime back;
    ASSERT_TRUE(back.set("20090214010130.000007+090"));
    EXPECT_EQ(back.usec(), 1234567890 * Datetime::SEC + 7);
    EXPECT_EQ(back.offset(), 90);
}

TEST(Datetime, Intervals)
{
    Datetime zero;
    EXPECT_TRUE(zero.is_interval());
    EXPECT_EQ(zero.ascii(), "00000000000000.000000:000");
    EXPECT_EQ(Datetime(0), zero);
    Datetime i(3 * Datetime::DAY + 4 * Datetime::HOUR + 5 * Datetime::MIN + 6 * Datetime::SEC + 7);
    EXPECT_EQ(i.ascii(), "00000003040506.000007:000");
}

TEST(Datetime, MalformedTextIsRefusedAndLeavesTheValue)
{
    const char* bad[] = {
        nullptr,
        "",
        "2026120921444.123456+000",   // 24 characters
        "20261209214447.123456+0000", // 26 characters
        "20261209214447,123456+000",
        "20261209214447.123456*000",
        "20261309214447.123456+000", // month 13
        "20260230214447.123456+000", // February 30
        "20261209244447.123456+000", // hour 24
        "2026120921444x.123456+000",
        "00000001020304.000005:001", // interval with a non-zero tail
        "19691231235959.000000+000", // before the epoch
    };
    for (const char* t : bad) {
        Datetime d(5 * Datetime::SEC, 60);
        EXPECT_FALSE(d.set(t)) << (t ? t : "(null)");
        EXPECT_EQ(d, Datetime(5 * Datetime::SEC, 60));
    }
}

TEST(Datetime, NowIsCurrentTime)
{
    Datetime now = Datetime::now();
    EXPECT_TRUE(now.is_timestamp());
    uint64 t = static_cast<uint64>(time(nullptr)) * Datetime::SEC;
    EXPECT_LE(now.usec() > t ? now.usec() - t : t - now.usec(), 2 * Datetime::SEC);
    EXPECT_EQ(now.ascii().size(), Datetime::TEXT_SIZE);
}

} // namespace
} // namespace cimple
