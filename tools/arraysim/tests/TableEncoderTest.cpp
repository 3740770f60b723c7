#include <gtest/gtest.h>

#include <cstring>

#include "CommandProcessor.hpp"
#include "PacketHeader.hpp"
#include "Scenario.hpp"
#include "SimulatorState.hpp"
#include "TableEncoder.hpp"
#include "WireGolden.hpp"

using namespace arraysim;

namespace {

const Json& coverageArray() {
    static const Scenario s = Scenario::load("coverage");
    return s.arrays[0].model();
}

// The record of a table whose key field holds the value.
std::optional<Bytes> findRecord(const EncodedTable& t, std::size_t keyOff, std::size_t keyWidth, std::uint64_t key) {
    for (auto& r : t.records)
        if (loadLe(r, keyOff, keyWidth) == key) return r;
    return std::nullopt;
}

Json withPatch(const char* patch) {
    Json a = coverageArray();
    return Scenario::fromJson(Json{{"arrays", Json::array({a.patch(Json::parse(patch))})}}).arrays[0].model();
}

}  // namespace

TEST(WireGolden, CommandPacketHeaderMatchesTheNotes) {
    auto golden = test::goldenBlock("packets.md", "Golden example: the command packet of 0x4024");
    ASSERT_TRUE(golden) << "golden example not found in " << test::wireDocDir();
    PacketHeader h;
    h.id = kCommandPacket;
    h.bodyLength = 64;
    h.command = 0x4024;
    EXPECT_EQ(toHex(h.encode()), toHex(*golden));
    const PacketHeader back = PacketHeader::decode(golden->data());
    EXPECT_EQ(back.command, 0x4024);
    EXPECT_EQ(back.bodyLength, 64u);
    EXPECT_EQ(back.moduleId, kModuleId);
}

TEST(WireGolden, MaximumCountContainerMatchesTheNotes) {
    auto golden = test::goldenBlock("container.md", "Configuration table with only the maximum-count block");
    ASSERT_TRUE(golden) << "golden example not found in " << test::wireDocDir();
    Json a = Json::parse(R"({"limits": {"olu": 4, "slu": 4, "rlu": 2, "dlu": 2, "cm": 2, "mlu": 4,
                                        "affinity_groups": 0, "hosts": 0}})");
    const Json model = Scenario::fromJson(Json{{"arrays", Json::array({a})}}).arrays[0].model();
    EXPECT_EQ(toHex(TableEncoder::container(model, {1})), toHex(*golden));
}

TEST(WireGolden, FullRefreshRequestIsAnsweredWithEveryTableInOrder) {
    auto request = test::goldenBlock("packets.md", "Full refresh (n = 40)");
    ASSERT_TRUE(request) << "golden example not found in " << test::wireDocDir();
    ASSERT_EQ(request->size(), 64u);
    SimArray array(coverageArray());
    const CommandReply r = CommandProcessor::handle(array, 0x4024, *request, {});
    ASSERT_EQ(r.status, 0);
    const Bytes& d = r.data;
    ASSERT_EQ(d[1], 40);
    for (std::size_t i = 0; i < 40; ++i) {
        const std::size_t e = 16 + 16 * i;
        EXPECT_EQ(d[e], (*request)[4 + i]);
        const auto count = loadLe(d, e + 4, 2), size = loadLe(d, e + 8, 4), off = loadLe(d, e + 12, 4);
        EXPECT_EQ(size, TableEncoder::recordSize(d[e]));
        EXPECT_LE(off + count * size, d.size()) << "table " << int(d[e]);
    }
    // The conditional refresh asks for table 4 alone.
    const Bytes one{0, 1, 0, 0, 4};
    const CommandReply r4 = CommandProcessor::handle(array, 0x4024, one, {});
    ASSERT_EQ(r4.data[1], 1);
    EXPECT_EQ(r4.data[16], 4);
    EXPECT_EQ(loadLe(r4.data, 16 + 8, 4), 32u);
}

TEST(TableEncoder, CmRecordOfTheNotesExample) {
    // A CM record with item id 0x01001600 and status 1 starts 00 16 00 01 01 00.
    const Json m = withPatch(R"([{"op":"add","path":"/cms/-","value":{"index":6,"status":1}},
                                     {"op":"replace","path":"/limits/cm","value":8}])");
    auto rec = findRecord(TableEncoder::encode(m, 2), 0, 4, 0x01001600);
    ASSERT_TRUE(rec);
    EXPECT_EQ(toHex(Bytes(rec->begin(), rec->begin() + 6)), "001600010100");
}

TEST(TableEncoder, ScenarioValuesLandAtTheirDocumentedOffsets) {
    struct Case {
        std::uint8_t id;
        const char* patch;
        std::size_t keyOff, keyWidth;
        std::uint64_t key;
        std::size_t off, width;
        std::uint64_t value;
        const char* text;  // expected text instead of a number
    } cases[] = {
        {2, R"([{"op":"replace","path":"/cms/1/role","value":7}])", 0, 4, 0x01001100, 9, 1, 7, nullptr},
        {3, R"([{"op":"replace","path":"/cas/2/real_type","value":8567}])", 0, 4, 0x10004100, 12, 2, 8567, nullptr},
        {5, R"([{"op":"replace","path":"/cms/0/memories/0/size","value":4886718345}])", 0, 4, 0x0B001000, 8, 8, 4886718345, nullptr},
        {7, R"([{"op":"replace","path":"/des/2/factor","value":5}])", 0, 4, 0xD0000800, 6, 2, 5, nullptr},
        {7, "[]", 0, 4, 0xD0000800, 8, 1, 0x08, nullptr},
        {8, R"([{"op":"replace","path":"/disks/3/rotation","value":15000}])", 8, 4, 3, 18, 2, 15000, nullptr},
        {8, R"([{"op":"replace","path":"/disks/3/blocks","value":123456789012}])", 8, 4, 3, 32, 8, 123456789012, nullptr},
        {8, "[]", 8, 4, 0x0800, 15, 1, 0x81, nullptr},
        {8, R"([{"op":"replace","path":"/disks/3/serial","value":"SERIAL3"}])", 8, 4, 3, 120, 16, 0, "SERIAL3         "},
        {9, R"([{"op":"replace","path":"/system/model_type","value":145}])", 0, 0, 0, 132, 1, 145, nullptr},
        {9, R"([{"op":"replace","path":"/system/serial","value":"4512345"}])", 0, 0, 0, 24, 12, 0, "4512345#####"},
        {10, R"([{"op":"replace","path":"/volumes/1/threshold","value":80}])", 0, 2, 1, 5, 1, 80, nullptr},
        {10, "[]", 0, 2, 10, 4, 1, 3, nullptr},
        {10, "[]", 0, 2, 1, 8, 8, 2097152, nullptr},
        {11, R"([{"op":"replace","path":"/volumes/10/slices/1/slun","value":60},
                {"op":"replace","path":"/volumes/10/slices/1/start_rlba","value":77777}])", 0, 2, 60, 16, 8, 77777, nullptr},
        {11, R"([{"op":"replace","path":"/volumes/10/slices/1/slun","value":60}])", 0, 2, 60, 10, 2, 10, nullptr},
        {11, "[]", 0, 2, 1, 10, 2, 1, nullptr},
        {12, R"([{"op":"replace","path":"/raid_groups/1/stripe","value":131072}])", 0, 2, 1, 24, 4, 131072, nullptr},
        {12, "[]", 0, 2, 9, 564, 1, 2, nullptr},
        {12, "[]", 0, 2, 6, 10, 2, 0, nullptr},
        {12, "[]", 0, 2, 0, 48, 1, 2, nullptr},  // volumes 0 and 9; free slot 18 is not counted
        {13, R"([{"op":"add","path":"/raid_groups/0/disk_sets/0/fixed_blocks","value":5555}])", 4, 2, 0, 8, 8, 5555, nullptr},
        {13, "[]", 4, 2, 0, 40, 2, 0, nullptr},
        {14, "[]", 0, 2, 0, 6, 1, 2, nullptr},
        {14, "[]", 0, 2, 0, 36, 2, 1, nullptr},
        {16, R"([{"op":"replace","path":"/hosts/1/response","value":3}])", 32, 2, 1, 8, 2, 3, nullptr},
        {17, "[]", 1200, 2, 0, 1040, 1, 1, nullptr},
        {18, R"([{"op":"replace","path":"/firmware/current","value":1}])", 0, 0, 0, 20, 4, 0, "0A10"},
        {18, "[]", 0, 0, 0, 16, 4, 0, "1040"},  // generation and level: the version V10L40
        {24, R"([{"op":"replace","path":"/cms/1/hard_revision","value":"R7"}])", 0, 1, 0x11, 56, 8, 0, "R7      "},
        {26, R"([{"op":"replace","path":"/volumes/11/slices/0/slun","value":40}])", 0, 2, 11, 4, 2, 40, nullptr},
        {27, R"([{"op":"add","path":"/cas/3/ports/1/tcp_port","value":3261}])", 4, 4, 0x10004200, 224 + 1728 + 326, 2, 3261, nullptr},
        {27, "[]", 4, 4, 0x10004800, 224 + 3, 1, 2, nullptr},
        {28, "[]", 0, 4, 0x71000100, 4, 2, 0x8000, nullptr},
        {32, "[]", 0, 4, 0x73000500, 4, 2, 0xF200, nullptr},
        {33, "[]", 0, 4, 0x90000801, 8, 1, 4, nullptr},
        {34, "[]", 0, 4, 0xD2000901, 4, 2, 0xE001, nullptr},
        {35, "[]", 0, 2, 1, 34, 2, 3, nullptr},
        {36, R"([{"op":"replace","path":"/affinity_groups/1/name","value":"GRP1"}])", 0, 2, 1, 3, 16, 0, "GRP1            "},
        {36, "[]", 0, 2, 1, 20, 2, 0, nullptr},
        {37, R"([{"op":"replace","path":"/management/manager_name","value":"ops"}])", 0, 0, 0, 64, 3, 0, "ops"},
        {38, "[]", 0, 4, 0x75000100, 8, 1, 100, nullptr},
        {41, "[]", 0, 0, 0, 0, 40, 0, "00KESTRIS##VK200##4500001001############"},
        {42, "[]", 0, 1, 2, 656, 1, 1, nullptr},
        {43, "[]", 0, 2, 1, 27, 1, 0, nullptr},
        {44, "[]", 0, 0, 0, 8 + 8 + 3, 1, 20, nullptr},
        {45, "[]", 0, 1, 0, 12, 2, 1, nullptr},
        {45, "[]", 0, 1, 0, 4, 1, 2, nullptr},
        {46, R"([{"op":"replace","path":"/management/lan_master","value":"10.9.8.7"}])", 0, 0, 0, 8, 4, 0x0708090A, nullptr},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string("table ") + std::to_string(c.id) + " " + c.patch + " offset " + std::to_string(c.off));
        const Json m = withPatch(c.patch);
        const EncodedTable t = TableEncoder::encode(m, c.id);
        ASSERT_FALSE(t.records.empty());
        const auto rec = c.keyWidth ? findRecord(t, c.keyOff, c.keyWidth, c.key) : std::optional<Bytes>(t.records[0]);
        ASSERT_TRUE(rec) << "no record with key " << c.key;
        EXPECT_EQ(rec->size(), TableEncoder::recordSize(c.id));
        if (c.text)
            EXPECT_EQ(std::string(rec->begin() + c.off, rec->begin() + c.off + std::strlen(c.text)), c.text);
        else
            EXPECT_EQ(loadLe(*rec, c.off, c.width), c.value);
    }
}

TEST(TableEncoder, EveryChangeOfTheModelMovesTheManagementRecord) {
    SimulatorState state(Scenario::load("small"));
    auto record = [&] {
        return state.read(0, [](const SimArray& a) { return TableEncoder::encode(a.model(), 4).records.at(0); });
    };
    const Bytes before = record();
    ASSERT_TRUE(state.change(0, [](Json& m) { m["volumes"][0]["name"] = "RENAMED"; }).empty());
    const Bytes after = record();
    EXPECT_NE(std::string(before.begin(), before.begin() + 14), std::string(after.begin(), after.begin() + 14));
    EXPECT_NE(loadLe(before, 14, 2), loadLe(after, 14, 2));
    EXPECT_NE(loadLe(before, 28, 4), loadLe(after, 28, 4));
    // A change that breaks the model is refused and moves nothing.
    EXPECT_FALSE(state.change(0, [](Json& m) { m["volumes"][0]["raid_group"] = 99; m["volumes"][0].erase("slices"); }).empty());
    EXPECT_EQ(record(), after);
    // Reset goes back to the scenario but still moves the revision on.
    state.reset();
    EXPECT_NE(loadLe(record(), 14, 2), loadLe(after, 14, 2));
}
