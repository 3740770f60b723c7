// Status derivation of the table view: every conversion table, every status
// kind with its limits and messages, and the pool priority rules.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "BuiltTable.h"
#include "LogCapture.h"

using cimple::VELDARO_RefTable;
using smis::test::BuiltTable;
using smis::test::CMTBuilder;

namespace {

using Pair = std::pair<int, int>;
using Conv = void (*)(unsigned, int&, int&);

Pair conv(Conv f, unsigned status)
{
    int a = 99, b = 99;
    f(status, a, b);
    return {a, b};
}

TEST(VELDARO_RefTableStatus, ConversionTables)
{
    struct Case {
        const char* table;
        Conv f;
        unsigned status;
        Pair pair;
    };
    const Case cases[] = {
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0x8000, {6, -1}},
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0xE081, {6, -1}},
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0xC008, {11, -1}},
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0xF200, {11, -1}},
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0xE001, {2, -1}},
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0xE003, {2, -1}},
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0xE401, {5, -1}},
        {"parts", VELDARO_RefTable::cms_cnv_smis_sts_parts_port, 0x1234, {0, -1}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 0x4000, {5, 3}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 0x4100, {2, 2}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 0x4500, {2, 6}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 0x0400, {2, 6}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 0x0000, {2, 2}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 4, {2, 6}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 6, {2, 6}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 68, {6, 3}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 2, {-1, -1}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 5, {8, 10}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 0x0441, {5, 3}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 65, {2, 2}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 69, {5, 3}},
        {"disk", VELDARO_RefTable::cms_cnv_smis_sts_disks, 7, {0, -1}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 0x4000, {13, 0}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 0x4100, {2, 0}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 0x0400, {13, 0}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 64, {13, 3}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 2, {-1, -1}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 4, {13, 0}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 5, {13, 10}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 69, {13, 11}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 0x0441, {13, 0}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 65, {2, 0}},
        {"extent", VELDARO_RefTable::cms_cnv_smis_sts_extent, 7, {0, 0}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 0x2000, {2, 0}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 0x6042, {2, 0}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 0x4042, {15, 10}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 0, {6, 3}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 2, {6, 3}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 1, {3, 6}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 3, {-1, -1}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 5, {3, 8}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 6, {15, 10}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 73, {3, 11}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 65, {3, 13}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 70, {2, 11}},
        {"rlu", VELDARO_RefTable::cms_cnv_smis_sts_rlu_dlu, 9, {0, 1}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 0x2000, {2, 0}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 71, {6, 3}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 2, {6, 4}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 3, {3, 6}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 4, {3, 8}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 9, {3, 11}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 0x0106, {-1, -1}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 8, {15, 10}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 11, {3, 13}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 70, {2, 11}},
        {"olu", VELDARO_RefTable::cms_cnv_smis_sts_olu_slu, 7, {0, 1}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 0, {2, 0}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 7, {3, 11}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 2, {3, 13}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 3, {2, 11}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 5, {3, 8}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 8, {3, 6}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 11, {15, 10}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 14, {6, 3}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 13, {6, 4}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 255, {-1, -1}},
        {"pool", VELDARO_RefTable::cms_cnv_smis_sts_tpp_lxrp, 0xFFFF, {-1, -1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(conv(c.f, c.status), c.pair) << c.table << " 0x" << std::hex << c.status;
}

struct StatusImage {
    StatusImage() : table(builder())
    {
        cnfg_config_mgmt_table& m = table.edit();
        m.CMW(1).Status(0xE001).Factor(0);
        m.CMW(2).Status(0xE001).Factor(3);
        m.CAW(3).Status(0xC008);
        m.CAPortW(3, 1).Status(0xE003);
        m.FANW(2).Status(0x8000);
        m.CPSUW(5).Status(0xE001);
        m.BBUW(3).Status(0xE401);
        m.EXPW(11).Status(0xE001);   // DE index 5, unit 1
        m.DPSUW(10).Status(0xFFFF);  // DE index 5, unit 0
        for (std::size_t d = 0; d < 3072; ++d)
            m.DiskW(d).Plun(static_cast<std::uint16_t>(0x8000 + d));
        m.DiskW(4).Plun(0x0203).Status(0x4000);
        m.RLUW(15).Status(70);
        m.SLUW(2).Status(9);
        m.OLUW(2).Status(0x0106);
        m.MLUW(3).Status(11);
        m.TPPW(4).RaidLevel(0);
        m.LXRPW(5).ValidFlag(0);
        view = table.view();
    }
    static CMTBuilder builder()
    {
        CMTBuilder b;
        b.maxCounts({.olu = 8, .slu = 8, .rlu = 16, .dlu = 8, .mlu = 8});
        return b;
    }
    BuiltTable table;
    std::unique_ptr<VELDARO_RefTable> view;
};

TEST(VELDARO_RefTableStatus, EveryKindWithItsLimits)
{
    StatusImage t;
    struct Case {
        const char* name;
        int kind;
        unsigned long id1, id2;
        int result;
        Pair pair;        // {99, 99}: nothing written
        const char* log;  // expected warning, or nullptr
    };
    const Case cases[] = {
        {"CM 0xE001 without factor", 16, 0x01000100, 0, 0, {2, -1}, nullptr},
        {"CM 0xE001 with factor", 16, 0x01000200, 0, 0, {5, -1}, nullptr},
        {"CA", 16, 0x10000300, 0, 0, {11, -1}, nullptr},
        {"FAN", 16, 0x71000200, 0, 0, {6, -1}, nullptr},
        {"FAN index 4", 16, 0x71000400, 0, 0, {0, -1}, "Specified ItemID has over the Max count."},
        {"FAN low byte", 16, 0x71000201, 0, 0, {0, -1}, "Specified ItemID has over the Max count."},
        {"CPSU index 5", 16, 0x73000500, 0, 0, {2, -1}, nullptr},
        {"CPSU index 6", 16, 0x73000600, 0, 0, {0, -1}, "Specified ItemID has over the Max count."},
        {"BBU", 16, 0x75000300, 0, 0, {5, -1}, nullptr},
        {"EXP", 16, 0x90000901, 0, 0, {2, -1}, nullptr},
        {"EXP bit 10", 16, 0x90000D01, 0, 0, {0, -1}, "Specified ItemID has over the Max count."},
        {"EXP low byte 2", 16, 0x90000902, 0, 0, {0, -1}, "Specified ItemID has over the Max count."},
        {"DPSU status 0xFFFF", 16, 0xD2000900, 0, 0, {0, -1}, "Specified ItemID has over the Max count."},
        {"unknown part", 16, 0x05000000, 0, -1, {99, 99}, "Specified ID1 is Not supported Parts."},
        {"CA port", 17, 0x10000300, 1, 0, {2, -1}, nullptr},
        {"CA port of a CM", 17, 0x01000300, 1, -1, {99, 99}, "Specified ID1 is Not CA."},
        {"CA port index 2", 17, 0x10000300, 2, -1, {99, 99}, "Specified ID2 has over the Max CA port count."},
        {"disk", 32, 0x80000203, 0, 0, {5, 3}, nullptr},
        {"disk extent", 33, 0x80000203, 0, 0, {13, 0}, nullptr},
        {"disk absent", 32, 0x80000204, 0, -1, {99, 99}, "Specified ID1 is Not Disk."},
        {"rlu", 49, 15, 0, 0, {2, 11}, nullptr},
        {"rlu over", 49, 16, 0, -1, {99, 99}, "Specified ID1 has over the Max RLU count."},
        {"slu", 50, 2, 0, 0, {3, 11}, nullptr},
        {"slu over", 50, 8, 0, -1, {99, 99}, "Specified ID1 has over the Max SLU count."},
        {"olu status 6", 51, 2, 0, 0, {-1, -1}, nullptr},
        {"olu over", 51, 8, 0, -1, {99, 99}, "Specified ID1 has over the Max OLU count."},
        {"mlu", 52, 3, 0, 0, {3, 13}, nullptr},
        {"mlu over", 52, 8, 0, -1, {99, 99}, "Specified ID1 has over the Max MLU count."},
        {"tpp raid level 0", 53, 4, 0, 0, {-1, -1}, nullptr},
        {"tpp over", 53, 256, 0, -1, {99, 99}, "Specified ID1 has over the Max TPP count."},
        {"lxrp not valid", 54, 5, 0, 0, {-1, -1}, nullptr},
        {"lxrp over", 54, 64, 0, -1, {99, 99}, "Specified ID1 has over the Max LXRP count."},
        {"kind", 18, 0, 0, -1, {99, 99}, "Specified Type is wrong."},
    };
    for (const Case& c : cases) {
        smis::test::LogCapture logs;
        int a = 99, b = 99;
        EXPECT_EQ(t.view->cms_get_smis_status(c.kind, c.id1, c.id2, &a, &b), c.result) << c.name;
        EXPECT_EQ(Pair(a, b), c.pair) << c.name;
        if (c.log)
            EXPECT_TRUE(logs.hasLog(Pegasus::Logger::STANDARD_LOG, c.log)) << c.name;
        else
            EXPECT_TRUE(logs.logs().empty()) << c.name;
    }
}

TEST(VELDARO_RefTableStatus, NamedQueriesPickTheirKindAndTakeOneOrTwoPointers)
{
    StatusImage t;
    int a = 99, b = 99;
    EXPECT_EQ(t.view->getCMSMISStatus(0x01000200, &a), 0);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(t.view->getFANSMISStatus(0x71000200, &a, &b), 0);
    EXPECT_EQ(Pair(a, b), Pair(6, -1));
    EXPECT_EQ(t.view->getCAPortSMISStatus(0x10000300, 1, &a, &b), 0);
    EXPECT_EQ(Pair(a, b), Pair(2, -1));
    EXPECT_EQ(t.view->getCAPortSMISStatus(0x10000300, -1, &a, &b), -1);
    EXPECT_EQ(t.view->getDiskExtentSMISStatus(0x80000203, &a, &b), 0);
    EXPECT_EQ(Pair(a, b), Pair(13, 0));
    EXPECT_EQ(t.view->getRluSMISStatus(-1, &a, &b), -1);
    EXPECT_EQ(t.view->getMluSMISStatus(3, nullptr, nullptr), 0);
}

// ---- pool status ----

// Sub-status of a member RAID group and how the image produces it.
struct Member {
    int blockade = 0;
    int sluStatus = 0;
    int rluStatus = 0;
};
Member sub(int s)
{
    switch (s) {
    case 11: return {0x04, 0, 0};
    case 14: return {0x01, 0, 0};
    case 0: return {0, 0, 0};
    case 12: return {0, 1, 0};
    case 13: return {0, 2, 0};
    case 8: return {0, 3, 0};
    case 5: return {0, 4, 0};
    case 1: return {0, 5, 0};
    case 10: return {0, 8, 0x42};
    case 6: return {0, 9, 0};
    case 2: return {0, 11, 0};
    case 3: return {0, 70, 0};
    case 4: return {0, 72, 0};
    case 7: return {0, 73, 0};
    default: return {0, 99, 0};  // 255
    }
}

// A pool at TPP index tpp (its number) whose members have those sub-statuses.
void pool(cnfg_config_mgmt_table& m, int tpp, const std::vector<Member>& members, bool subPool, int& nextRlu)
{
    m.TPPW(tpp).PoolNumber(static_cast<std::uint16_t>(tpp)).MemDiskCnt(1).RaidLevel(1).LxrpNumber(subPool ? 2 : 255);
    for (const Member& mb : members) {
        const int r = nextRlu++;
        m.RLUW(r).Status(static_cast<std::uint16_t>(mb.rluStatus)).Mode(subPool ? 0x21 : 0x01)
            .PoolNumber(static_cast<std::uint16_t>(tpp)).Blockade(static_cast<std::uint8_t>(mb.blockade))
            .SluCount(1).Slun(0, static_cast<std::uint16_t>(r));
        m.SLUW(r).Status(static_cast<std::uint16_t>(mb.sluStatus));
    }
}

CMTBuilder poolBuilder()
{
    CMTBuilder b;
    b.maxCounts({.olu = 64, .slu = 64, .rlu = 64, .dlu = 8, .mlu = 8});
    return b;
}

TEST(VELDARO_RefTableStatus, ThinPoolTakesTheMemberOfHighestPriority)
{
    struct Case {
        std::vector<int> subs;
        int poolStatus;
        Pair pair;
    };
    const Case cases[] = {
        {{0, 12}, 12, {6, 3}},
        {{12, 0}, 12, {6, 3}},
        {{0}, 0, {2, 0}},
        {{1, 10}, 1, {3, 11}},
        {{14, 11}, 14, {6, 3}},
        {{255, 14}, 255, {-1, -1}},
        {{10, 10}, 10, {15, 10}},
        {{10, 0}, 9, {15, 10}},    // 10 wins, but not every first SLU is at 8
        {{2, 3, 4}, 4, {3, 11}},
        {{}, 0xFFFF, {-1, -1}},
    };
    for (const Case& c : cases) {
        BuiltTable t(poolBuilder());
        std::vector<Member> members;
        for (int s : c.subs)
            members.push_back(sub(s));
        int next = 1;
        pool(t.edit(), 7, members, false, next);
        auto v = t.view();
        EXPECT_EQ(v->get_pool_status(7), c.poolStatus) << testing::PrintToString(c.subs);
        int a = 99, b = 99;
        EXPECT_EQ(v->getTppSMISStatus(7, &a, &b), 0);
        EXPECT_EQ(Pair(a, b), c.pair) << testing::PrintToString(c.subs);
    }
}

TEST(VELDARO_RefTableStatus, RluStatusDecidesBetweenRebuildAndCopyBack)
{
    BuiltTable t(poolBuilder());
    int next = 1;
    pool(t.edit(), 7, {Member{0, 8, 0x01}}, false, next);  // SLU 8 on an RLU whose low byte is 1
    EXPECT_EQ(t.view()->get_pool_status(7), 8);
}

TEST(VELDARO_RefTableStatus, TieringPoolCombinesItsSubPools)
{
    struct Case {
        std::vector<std::vector<int>> subPools;  // member sub-statuses of each sub-pool
        int status;
        Pair pair;
    };
    const Case cases[] = {
        {{{10}, {10}}, 10, {15, 10}},
        {{{10}, {0}}, 9, {15, 10}},   // 10 wins, but not every sub-pool is 10
        {{{0}, {12}}, 12, {6, 3}},
        {{{1}, {10}}, 1, {3, 11}},
        {{}, 0, {2, 0}},
    };
    for (const Case& c : cases) {
        BuiltTable t(poolBuilder());
        cnfg_config_mgmt_table& m = t.edit();
        m.LXRPW(2).ValidFlag(1).SubPoolCnt(static_cast<std::uint8_t>(c.subPools.size()));
        int next = 1;
        for (std::size_t k = 0; k < c.subPools.size(); ++k) {
            std::vector<Member> members;
            for (int s : c.subPools[k])
                members.push_back(sub(s));
            pool(m, 10 + static_cast<int>(k), members, true, next);
            m.LXRPW(2).SubPoolNumber(k, static_cast<std::uint16_t>(10 + k));
        }
        auto v = t.view();
        EXPECT_EQ(v->get_lxrp_status(2), c.status) << c.status;
        int a = 99, b = 99;
        EXPECT_EQ(v->getLxrpSMISStatus(2, &a, &b), 0);
        EXPECT_EQ(Pair(a, b), c.pair) << c.status;
    }
}

TEST(VELDARO_RefTableStatus, PriorityTables)
{
    const int pool[][2] = {{0, 1}, {10, 2}, {1, 3}, {2, 4}, {3, 5}, {4, 6}, {5, 7}, {6, 8}, {7, 9},
                           {8, 10}, {11, 11}, {12, 12}, {13, 13}, {14, 14}, {255, 255}, {9, 0}};
    for (const auto& p : pool)
        EXPECT_EQ(VELDARO_RefTable::config_sub_sts_priority_pool(p[0]), p[1]) << p[0];
    const int lxsp[][2] = {{0, 1}, {10, 2}, {9, 3}, {1, 4}, {2, 5}, {3, 6}, {4, 7}, {5, 8}, {6, 9},
                           {7, 10}, {8, 11}, {11, 12}, {12, 13}, {13, 14}, {14, 15}, {255, 255}, {0xFFFF, 0}};
    for (const auto& p : lxsp)
        EXPECT_EQ(VELDARO_RefTable::config_sub_sts_priority_lxsp(p[0]), p[1]) << p[0];
}

}  // namespace
