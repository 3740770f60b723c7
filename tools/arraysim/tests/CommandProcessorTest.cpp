#include <gtest/gtest.h>

#include "CommandProcessor.hpp"
#include "Scenario.hpp"

using namespace arraysim;

namespace {

const SimArray& coverage(std::size_t i = 0) {
    static const Scenario s = Scenario::load("coverage");
    return s.arrays.at(i);
}

CommandReply ask(const SimArray& a, std::uint16_t code, Bytes params = {}, Bytes data = {}) {
    return CommandProcessor::handle(a, code, params, data);
}

Bytes le(std::initializer_list<std::pair<std::uint64_t, std::size_t>> fields, std::size_t size) {
    WireBytes w(size);
    std::size_t off = 0;
    for (auto& [v, width] : fields) {
        w.putLe(off, v, width);
        off += width;
    }
    return w.take();
}

}  // namespace

TEST(Commands, StatusModelAndEnclosures) {
    const SimArray& a = coverage();
    auto dev = ask(a, 0x0010);
    ASSERT_EQ(dev.status, 0);
    EXPECT_EQ(dev.params.at(0), 32);
    EXPECT_EQ(ask(coverage(1), 0x0010).params.at(0), 64);

    auto model = ask(a, 0x400A);
    ASSERT_EQ(model.data.size(), 32u);
    EXPECT_EQ(model.data[4], 0x30);
    EXPECT_EQ(model.data[5], 2);  // drive enclosure type
    EXPECT_EQ(model.data[17], 0x80);
    EXPECT_EQ(ask(coverage(1), 0x400A).data[17], 0);

    auto ce = ask(a, 0x4012, {0, 0, 0, 0});
    ASSERT_EQ(ce.data.size(), 5400u);
    EXPECT_EQ(ce.data[1], 40);

    auto de = ask(a, 0x4013, Bytes(20, 0));
    const auto n = loadLe(de.data, 0, 4);
    ASSERT_EQ(n, 7u);
    ASSERT_EQ(de.data.size(), 8 + 1304 * n);
    // Enclosure 4 is the third: id byte 0x08, status 112.
    EXPECT_EQ(loadLe(de.data, 8 + 1304 * 2, 4), 0xD0000800u);
    EXPECT_EQ(de.data[8 + 1304 * 2 + 16], 0x08);
    EXPECT_EQ(de.data[8 + 1304 * 2 + 20], 112);
}

TEST(Commands, PortLinkWordsOfBothModuleHalves) {
    // CA 0 (half 0) and CA 8 (half 1) answer one query for item id 0x10004000.
    auto r = ask(coverage(), 0x4021, le({{0x10004000, 4}}, 4));
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.data.size(), 64u);
    EXPECT_EQ(loadLe(r.data, 0, 4), 0x10004000u);
    EXPECT_EQ(loadLe(r.data, 8, 2), 8u);       // CA 0 port 0
    EXPECT_EQ(loadLe(r.data, 10, 2), 0xFFFFu); // CA 0 port 1
    EXPECT_EQ(loadLe(r.data, 12, 2), 10u);     // CA 8 port 0: port number 2
    EXPECT_NE(ask(coverage(), 0x4021, le({{0x10007F00, 4}}, 4)).status, 0);
}

TEST(Commands, IscsiLoginsAndStatistics) {
    const SimArray& a = coverage();
    auto r = ask(a, 0x41AA, {0x42, 0, 0, 0});
    ASSERT_EQ(r.status, 0);
    const auto n = loadLe(r.data, 2, 2);
    ASSERT_EQ(n, 2u);
    ASSERT_EQ(r.data.size(), 8 + 320 * n);
    const Bytes first(r.data.begin() + 8, r.data.begin() + 8 + 320);
    EXPECT_EQ(loadText(first, 0, 224), "iqn.example:h1");
    EXPECT_EQ(loadLe(first, 256, 2), 18u);
    EXPECT_EQ(toHex(Bytes(first.begin() + 258, first.begin() + 264)), "400001370000");
    EXPECT_EQ(first[272], 16);
    EXPECT_EQ(loadLe(ask(a, 0x41AA, {0x42, 1, 0, 0}).data, 2, 2), 0u);  // port without logins

    // Statistics: the request carries module, port, name, TSIH and ISID.
    auto request = [&](std::size_t login) {
        WireBytes q(240);
        q.u8(0, 0x42);
        q.u8(1, 0);
        const std::size_t o = 8 + 320 * login;
        q.raw(8, &r.data[o], 224);
        q.raw(232, &r.data[o + 256], 8);
        return q.take();
    };
    auto st = ask(a, 0x81AB, {}, request(0));
    ASSERT_EQ(st.status, 0);
    ASSERT_EQ(st.params.size(), 64u);
    EXPECT_EQ(loadLe(st.params, 0, 4), 1000u);
    EXPECT_EQ(ask(a, 0x81AB, {}, request(1)).status, kStatusNoStatistics);  // login without counters
}

TEST(Commands, CopySessionListPagesAndSingleSessions) {
    Json m = coverage().model();
    m["limits"]["copy_page"] = 3;
    SimArray a(m);
    std::vector<std::uint64_t> ids;
    std::uint64_t start = 0;
    int pages = 0;
    do {
        auto r = ask(a, 0x4199, le({{2, 2}, {start, 2}}, 16));
        ASSERT_EQ(r.status, 0);
        const auto n = loadLe(r.data, 4, 2);
        ASSERT_EQ(r.data.size(), 16 + 208 * n);
        for (std::size_t i = 0; i < n; ++i) ids.push_back(loadLe(r.data, 16 + 208 * i, 2));
        start = loadLe(r.data, 6, 2);
        ASSERT_LT(++pages, 10);
    } while (start != 0);
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(ids, (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6, 7}));

    auto one = ask(a, 0x4199, le({{1, 2}, {2, 2}}, 16));
    ASSERT_EQ(loadLe(one.data, 4, 2), 1u);
    const Bytes s(one.data.begin() + 16, one.data.end());
    EXPECT_EQ(s[8], 2);                 // kind 2 with flag 0x20: remote copy
    EXPECT_EQ(s[9] & 0x20, 0x20);
    EXPECT_EQ(s[10], 0x04);             // bit 2 set, destination is remote
    EXPECT_EQ(loadText(s, 120, 40), "00KESTRIS##VK200##4500001001############");
    EXPECT_EQ(loadLe(ask(a, 0x4199, le({{1, 2}, {99, 2}}, 16)).data, 4, 2), 0u);

    // Copy types as the array encodes them: kind and flags.
    struct { std::uint64_t id; std::uint8_t kind, flags; } types[] = {{1, 2, 0x01}, {3, 1, 0x10}, {4, 1, 0x40}, {5, 3, 0}};
    for (auto& t : types) {
        auto r = ask(a, 0x4199, le({{1, 2}, {t.id, 2}}, 16));
        EXPECT_EQ(r.data[16 + 8], t.kind) << t.id;
        EXPECT_EQ(r.data[16 + 9], t.flags) << t.id;
    }
}

TEST(Commands, PoolsAlarmsAndAllocation) {
    const SimArray& a = coverage();
    auto sdp = ask(a, 0x4108);
    const auto n = loadLe(sdp.data, 0, 2);
    ASSERT_EQ(n, 2u);
    ASSERT_EQ(sdp.data.size(), 32 + 64 * n);
    EXPECT_EQ(loadLe(sdp.data, 32 + 8, 4), 2097152u);

    auto pools = ask(a, 0x41BD);
    ASSERT_EQ(loadLe(pools.data, 0, 4), 2u);
    ASSERT_EQ(pools.data.size(), 16 + 32 * 2u);
    EXPECT_EQ(loadLe(pools.data, 16 + 4, 4), 8192u);
    EXPECT_EQ(loadLe(pools.data, 16 + 8, 4), 7000u);

    auto vols = ask(a, 0x41BE, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(loadLe(vols.data, 0, 4), 2u);
    ASSERT_EQ(vols.data.size(), 16 + 32 * 2u);
    EXPECT_EQ(loadLe(vols.data, 16 + 32, 2), 8u);
    EXPECT_EQ(loadLe(vols.data, 16 + 32 + 8, 4), 2048u);

    auto alloc = ask(a, 0x41C8, le({{8, 2}}, 16));
    ASSERT_EQ(loadLe(alloc.data, 0, 4), 2u);
    ASSERT_EQ(alloc.data.size(), 8 + 8 * 2u);
    EXPECT_EQ(loadLe(alloc.data, 8, 2), 8u);
    EXPECT_EQ(loadLe(alloc.data, 12, 4) + loadLe(alloc.data, 20, 4), 2048u);
    EXPECT_EQ(loadLe(ask(a, 0x41C8, le({{0, 2}}, 16)).data, 0, 4), 0u);
}

TEST(Commands, RemoteBoxesAndTheirPaths) {
    const SimArray& a = coverage();
    auto list = ask(a, 0x4068);
    ASSERT_EQ(list.data.size(), 169552u);
    ASSERT_EQ(loadLe(list.data, 81968, 2), 2u);
    const Bytes id(list.data.begin() + 81984, list.data.begin() + 81984 + 40);
    auto paths = ask(a, 0x4097, id);
    ASSERT_EQ(paths.status, 0);
    const auto n = loadLe(paths.data, 40, 4);
    ASSERT_EQ(n, 4u);
    ASSERT_EQ(paths.data.size(), (n + 3) * 16);
    EXPECT_EQ(paths.data[51], 0);
    EXPECT_EQ(paths.data[51 + 32], 1);
    const Bytes second(list.data.begin() + 81984 + 96, list.data.begin() + 81984 + 96 + 40);
    EXPECT_EQ(ask(a, 0x4097, second).data.size(), 48u);  // a box without paths
    EXPECT_NE(ask(a, 0x4097, Bytes(40, 'x')).status, 0);
}

TEST(Commands, UnknownCommandsAndShortRequestsAreRefused) {
    const SimArray& a = coverage();
    EXPECT_EQ(ask(a, 0x4FFF).status, kStatusUnsupported);
    EXPECT_NE(ask(a, 0x4024, {0, 5, 0}).status, 0);
    EXPECT_NE(ask(a, 0x4199, {2}).status, 0);
    EXPECT_NE(ask(a, 0x81AB, {}, Bytes(10, 0)).status, 0);
}
