// Change detection over pairs of builder images, decoded from the indication
// queue: every record is compared byte for byte with a record written here
// from the documented layouts (literal offsets, docs/indication-records.md).

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BuiltTable.h"
#include "ByteOrder.h"
#include "IndicationRecord.h"
#include "SMIS_CMSLib.h"
#include "SMIS_CMT.h"
#include "SMIS_Indication.h"

using cimple::IndicationRecord;
using cimple::SMIS_Indication;
using cimple::VELDARO_RefTable;
using smis::test::BuiltTable;
using smis::test::CMTBuilder;

namespace {

const char* const ADDRESS = "10.1.2.3";

// Expected record bytes, written at literal offsets.
struct Bytes {
    std::vector<std::uint8_t> b;
    explicit Bytes(std::size_t n) : b(n, 0) {}
    Bytes& u8(std::size_t o, unsigned v) { b.at(o) = std::uint8_t(v); return *this; }
    Bytes& u16(std::size_t o, unsigned v) { b.at(o + 1); smis::storeLE16(&b[o], std::uint16_t(v)); return *this; }
    Bytes& u32(std::size_t o, std::uint32_t v) { b.at(o + 3); smis::storeLE32(&b[o], v); return *this; }
    Bytes& u64(std::size_t o, std::uint64_t v) { b.at(o + 7); smis::storeLE64(&b[o], v); return *this; }
    Bytes& text(std::size_t o, const std::string& s) { for (std::size_t k = 0; k < s.size(); ++k) b.at(o + k) = std::uint8_t(s[k]); return *this; }
    // A text field as the array stores it: blank-padded to its width.
    Bytes& padded(std::size_t o, const std::string& s, std::size_t width) {
        std::string f(s);
        f.resize(width, ' ');
        return text(o, f);
    }
    Bytes& ip(const char* a) { std::uint32_t v = inet_addr(a); std::memcpy(&b.at(8), &v, 4); return *this; }
};

// The offsets where two records differ ("" when equal), so a failure names the field.
std::string diff(const std::vector<std::uint8_t>& got, const std::vector<std::uint8_t>& want) {
    std::string out;
    if (got.size() != want.size()) out += "size " + std::to_string(got.size()) + " != " + std::to_string(want.size()) + "; ";
    for (std::size_t k = 0; k < std::min(got.size(), want.size()); ++k)
        if (got[k] != want[k]) out += std::to_string(k) + ":" + std::to_string(got[k]) + "!=" + std::to_string(want[k]) + " ";
    return out;
}

struct Received {
    std::unique_ptr<std::uint8_t, decltype(&std::free)> p{nullptr, &std::free};
    std::size_t size = 0;
    std::vector<std::uint8_t> bytes() const { return {p.get(), p.get() + size}; }
    IndicationRecord view() const { return IndicationRecord(p.get(), size); }
};

class IndicationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(consumer.mq_create(20), 0); }

    std::vector<Received> drain() {
        std::vector<Received> out;
        for (;;) {
            void* p = nullptr;
            unsigned long size = 0;
            EXPECT_EQ(consumer.mq_receive(p, size), 0);
            if (!p) return out;
            Received r;
            r.p.reset(static_cast<std::uint8_t*>(p));
            r.size = size;
            EXPECT_TRUE(r.view().isWellFormed());
            out.push_back(std::move(r));
        }
    }

    SMIS_Indication consumer;
};

CMTBuilder sized(std::uint32_t volumes = 16) {
    CMTBuilder b;
    b.maxCounts({.olu = volumes, .slu = volumes, .rlu = 8, .dlu = 8, .mlu = 8, .affinityGroups = 2048});
    return b;
}

// Every RAID group and volume entry free, no pool in use.
void allFree(cnfg_config_mgmt_table& m) {
    for (std::size_t i = 0; i < m.count(CMT_Table::RLU); ++i) m.RLUW(i).Status(3);
    for (std::size_t i = 0; i < m.count(CMT_Table::OLU); ++i) m.OLUW(i).Status(6);
    for (std::size_t i = 0; i < m.count(CMT_Table::SLU); ++i) m.SLUW(i).Status(6);
    for (std::size_t i = 0; i < m.count(CMT_Table::MLU); ++i) m.MLUW(i).Status(6);
    for (std::size_t i = 0; i < m.count(CMT_Table::TPP); ++i) m.TPPW(i).LxrpNumber(255);
}

std::unique_ptr<VELDARO_RefTable> view(BuiltTable& t) {
    return std::make_unique<VELDARO_RefTable>(ADDRESS, t.block(), t.image());
}

std::uint16_t first(int (VELDARO_RefTable::*fn)(int, int*, int*) const, const VELDARO_RefTable& t, int i) {
    int f = 0, s = 0;
    (t.*fn)(i, &f, &s);
    return std::uint16_t(f);
}
std::uint16_t second(int (VELDARO_RefTable::*fn)(int, int*, int*) const, const VELDARO_RefTable& t, int i) {
    int f = 0, s = 0;
    (t.*fn)(i, &f, &s);
    return std::uint16_t(s);
}

// A RAID group 1 (index 1) and a plain volume 2 on it.
void volumeOnRaidGroup(cnfg_config_mgmt_table& m, int olu, int slu) {
    m.RLUW(1).Rlun(1).Status(0).RaidLevel(5).RlbaCount(1u << 20).Mode(0).CurrentCMMID(0x10).Name("RG1");
    m.SLUW(slu).Slun(std::uint16_t(slu)).Status(0).LuType(1).Rlun(1).SDPID(4).SlbaCount(2048);
    m.OLUW(olu).Olun(std::uint16_t(olu)).Status(0).SluCount(1).Slun(0, std::uint16_t(slu)).Threshold(90)
        .OlbaCount(4096).Name("VOL");
}

}  // namespace

TEST_F(IndicationTest, NothingIsComparedOrSentWhileTheQueueDoesNotExist) {
    BuiltTable nt(sized()), ot(sized());
    allFree(nt.edit());
    allFree(ot.edit());
    volumeOnRaidGroup(nt.edit(), 2, 2);
    auto n = view(nt), o = view(ot);
    ASSERT_EQ(consumer.mq_unlink(), 0);
    EXPECT_EQ(consumer.mq_unlink(), 3);

    SMIS_Indication producer;
    EXPECT_EQ(producer.indicationConfigManagement(*n, *o), 0);
    EXPECT_EQ(producer.indicationStatus(*n, 0x01, 0x20), 0);
    std::vector<std::uint8_t> session(96, 0);
    EXPECT_EQ(producer.indicationCopySessionSingle(ADDRESS,
                                                   reinterpret_cast<const SMIS_COPY_SESSION_INFO*>(session.data()),
                                                   nullptr),
              0);
    ASSERT_EQ(consumer.mq_create(20), 0);
    EXPECT_EQ(consumer.mq_create(20), 2);
    EXPECT_TRUE(drain().empty());
}

TEST_F(IndicationTest, RecordsLeftInTheQueueAtRemovalAreFreed) {
    BuiltTable nt(sized()), ot(sized());
    allFree(nt.edit());
    allFree(ot.edit());
    volumeOnRaidGroup(nt.edit(), 2, 2);
    auto n = view(nt), o = view(ot);
    EXPECT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    EXPECT_EQ(consumer.mq_unlink(), 0);  // LeakSanitizer reports any record left allocated
}

TEST_F(IndicationTest, RaidGroupsGiveKindOneEntriesFromTheTableOfTheirOperation) {
    BuiltTable nt(sized()), ot(sized());
    allFree(nt.edit());
    allFree(ot.edit());
    nt.edit().RLUW(2).Rlun(2).Status(0).RaidLevel(5).RlbaCount(0x123456789ull).CurrentCMMID(0x11).Mode(0)
        .Name("NEW-RG-NAME-16CH");
    ot.edit().RLUW(4).Rlun(4).Status(0x0101).RaidLevel(1).RlbaCount(77).Mode(2).Name("OLD");
    nt.edit().RLUW(5).Rlun(5).Status(0);  // used in both, status changed
    ot.edit().RLUW(5).Rlun(5).Status(1);
    auto n = view(nt), o = view(ot);
    ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 1u);

    Bytes e(24 + 2 * 48);
    e.u8(0, 1).u16(4, 2).ip(ADDRESS);
    e.u8(24, 1).u8(25, 5).u16(26, 2).u16(28, first(&VELDARO_RefTable::getRluSMISStatus, *n, 2)).u64(32, 0x123456789ull)
        .u16(40, 0).u8(42, 0x11).u8(43, 0).u32(44, std::uint32_t(n->getRaidDiskCount(2))).text(48, "NEW-RG-NAME-16CH")
        .u32(64, std::uint32_t(n->getRaidHSDiskCount(2)));
    e.u8(72, 2).u8(73, 1).u16(74, 4).u16(78, first(&VELDARO_RefTable::getRluSMISStatus, *o, 4)).u64(80, 77)
        .u16(88, 0x0101).u8(91, 2).padded(96, "OLD", 16);
    EXPECT_EQ(diff(got[0].bytes(), e.b), "");
    EXPECT_EQ(got[0].view().entry(0)[6], 0) << "the old status word of a creation stays 0";
}

TEST_F(IndicationTest, VolumesOfTheThreeProducersGiveKindTwoRecordsInOrder) {
    BuiltTable nt(sized()), ot(sized());
    allFree(nt.edit());
    allFree(ot.edit());
    for (auto* t : {&nt, &ot}) {
        volumeOnRaidGroup(t->edit(), 3, 3);
        t->edit().SysW().NodeWWN({1, 2, 3, 4, 5, 6, 7, 8});
    }
    // OLU 3 used in both with a changed status: modification. OLU 7 new: creation
    // of an LU type 9 volume, whose capacity is the SLU's virtual count.
    nt.edit().OLUW(3).Status(0);
    ot.edit().OLUW(3).Status(0x0101);
    nt.edit().SLUW(7).Slun(7).Status(0).LuType(9).Rlun(1).VirtualOlbaCount(999).SlbaCount(5);
    nt.edit().OLUW(7).Olun(7).Status(0).SluCount(1).Slun(0, 7).OlbaCount(1).Name("V7");
    // MLU 1 deleted (its SLU 5, LU type 2, in the old table only).
    ot.edit().SLUW(5).Slun(5).Status(0).LuType(2).Rlun(1).SlbaCount(300);
    ot.edit().MLUW(1).Mlun(1).Status(0).Slun(5);
    // SLU 9: thin volume (LU type 8) created.
    nt.edit().SLUW(9).Slun(9).Status(0).LuType(8).Rlun(1).SlbaCount(4444);
    auto n = view(nt), o = view(ot);
    ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 3u);

    Bytes olu(24 + 2 * 48);
    olu.u8(0, 2).u16(4, 2).ip(ADDRESS).text(16, "\x01\x02\x03\x04\x05\x06\x07\x08");
    olu.u8(24, 3).u8(25, 5).u16(26, 3)
        .u16(28, first(&VELDARO_RefTable::getOluSMISStatus, *n, 3)).u16(30, first(&VELDARO_RefTable::getOluSMISStatus, *o, 3))
        .u16(32, second(&VELDARO_RefTable::getOluSMISStatus, *n, 3)).u16(34, second(&VELDARO_RefTable::getOluSMISStatus, *o, 3))
        .u8(36, 1).u8(37, 1).u16(38, 1).u8(40, 4).u8(41, 90).u64(48, 4096).padded(56, "VOL", 16);
    olu.u8(72, 1).u8(73, 5).u16(74, 7)
        .u16(76, first(&VELDARO_RefTable::getOluSMISStatus, *n, 7)).u16(80, second(&VELDARO_RefTable::getOluSMISStatus, *n, 7))
        .u8(84, 9).u8(85, 1).u16(86, 1).u64(96, 999).padded(104, "V7", 16);
    EXPECT_EQ(diff(got[0].bytes(), olu.b), "");

    Bytes mlu(24 + 48);
    mlu.u8(0, 2).u16(4, 1).ip(ADDRESS).text(16, "\x01\x02\x03\x04\x05\x06\x07\x08");
    mlu.u8(24, 2).u8(25, 5).u16(26, 1)
        .u16(30, first(&VELDARO_RefTable::getMluSMISStatus, *o, 1)).u16(34, second(&VELDARO_RefTable::getMluSMISStatus, *o, 1))
        .u8(36, 2).u8(37, 1).u64(48, 300);
    EXPECT_EQ(diff(got[1].bytes(), mlu.b), "");

    Bytes slu(24 + 48);
    slu.u8(0, 2).u16(4, 1).ip(ADDRESS).text(16, "\x01\x02\x03\x04\x05\x06\x07\x08");
    slu.u8(24, 1).u8(25, 5).u16(26, 9)
        .u16(28, first(&VELDARO_RefTable::getSluSMISStatus, *n, 9)).u16(32, second(&VELDARO_RefTable::getSluSMISStatus, *n, 9))
        .u8(36, 8).u8(37, 1).u64(48, 4444);
    EXPECT_EQ(diff(got[2].bytes(), slu.b), "");
}

TEST_F(IndicationTest, TwoThousandFiveHundredNewVolumesGiveRecordsOfAThousandAThousandAndFiveHundred) {
    BuiltTable nt(sized(2600)), ot(sized(2600));
    allFree(nt.edit());
    allFree(ot.edit());
    for (int i = 0; i < 2500; ++i) volumeOnRaidGroup(nt.edit(), i, i);
    volumeOnRaidGroup(ot.edit(), 2599, 2599);  // same RAID group in the old table
    ot.edit().OLUW(2599).Status(6);
    ot.edit().SLUW(2599).Status(6);
    auto n = view(nt), o = view(ot);
    ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 3u);
    const unsigned counts[] = {1000, 1000, 500};
    unsigned next = 0;
    for (int r = 0; r < 3; ++r) {
        IndicationRecord v = got[r].view();
        EXPECT_EQ(v.kind(), 2);
        ASSERT_EQ(v.count(), counts[r]);
        EXPECT_EQ(got[r].size, 24u + 48u * counts[r]);
        for (unsigned k = 0; k < v.count(); ++k, ++next) {
            ASSERT_EQ(v.entry(k)[0], 1);
            ASSERT_EQ(smis::loadLE16(v.entry(k) + 2), next);
        }
    }
    EXPECT_EQ(next, 2500u);
}

TEST_F(IndicationTest, EachTableIsScannedWithItsOwnCounts) {
    // The old table knows 4 RAID groups, the new one 8: group 6 exists only in
    // the new one (creation); the reverse pair gives a deletion filled from
    // the larger old table.
    CMTBuilder small;
    small.maxCounts({.olu = 16, .slu = 16, .rlu = 4, .dlu = 4, .mlu = 8});
    BuiltTable big(sized()), little(small);
    allFree(big.edit());
    allFree(little.edit());
    big.edit().RLUW(6).Rlun(6).Status(0).RaidLevel(6).Name("SIX");
    {
        auto n = view(big), o = view(little);
        ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
        auto got = drain();
        ASSERT_EQ(got.size(), 1u);
        ASSERT_EQ(got[0].view().count(), 1);
        EXPECT_EQ(got[0].view().entry(0)[0], 1);
        EXPECT_EQ(smis::loadLE16(got[0].view().entry(0) + 2), 6);
    }
    {
        auto n = view(little), o = view(big);
        ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
        auto got = drain();
        ASSERT_EQ(got.size(), 1u);
        ASSERT_EQ(got[0].view().count(), 1);
        EXPECT_EQ(got[0].view().entry(0)[0], 2);
        EXPECT_EQ(got[0].view().entry(0)[1], 6);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(got[0].view().entry(0) + 24), 3), "SIX");
    }
}

TEST_F(IndicationTest, PortsMapsAndMappingsGiveKindsThreeEightFourAndFive) {
    BuiltTable nt(sized()), ot(sized());
    allFree(nt.edit());
    allFree(ot.edit());
    volumeOnRaidGroup(nt.edit(), 2, 2);
    volumeOnRaidGroup(ot.edit(), 2, 2);
    for (auto* t : {&nt, &ot}) {
        cnfg_config_mgmt_table& m = t->edit();
        // CA 1 (module 0x41) iSCSI; CA 2 (module 0x42) FC; maps 0 and 1 on them.
        m.CAW(1).Status(1).ModuleId(0x41).RealType(0x2000);
        m.CAPortW(1, 0).Status(1).PortNo(0).RAMode(0).AliasName("alias-of-port-0-thirty-one-chars").iSCSIName("iqn.port");
        m.CAW(2).Status(1).ModuleId(0x42).RealType(0x5000);
        m.CAPortW(2, 0).Status(1).PortNo(0).RAMode(0).Wwn({0x50, 0, 0, 0, 0, 0, 0, 0x0A});
        m.MapW(0).CAModuleID(0x41).CAPortNo(0);
        m.MapW(1).CAModuleID(0x42).CAPortNo(5);  // no such port on CA 2
        m.AffinityW(3).GroupNumber(3).GroupName("AG3");
        m.iSCSIHostW(4).iSCSIName("iqn.host4").iSCSIIPAddress({192, 168, 0, 4}).ValidFlag(1);
        m.HostW(6).WWN({0x21, 0, 0, 0, 0, 0, 0, 6}).ValidFlag(1);
    }
    // Port (CA 2, port 1) new in the new table.
    nt.edit().CAPortW(2, 1).Status(1).PortNo(1).RAMode(4).Wwn({0x50, 0, 0, 0, 0, 0, 0, 0x0B});
    // Map 0: old host 4 in group 3; new host 4 in group 3 plus a bad entry (host 0xFFFF).
    ot.edit().MapW(0).ValidCnt(1).HostWWNTableNo(0, 4).AffinityTableNo(0, 3);
    nt.edit().MapW(0).ValidCnt(2).HostWWNTableNo(0, 4).AffinityTableNo(0, 3).HostWWNTableNo(1, 0xFFFF)
        .AffinityTableNo(1, 3);
    // Map 1: group 3 reachable in the new table only; its port is not found.
    nt.edit().MapW(1).ValidCnt(1).HostWWNTableNo(0, 6).AffinityTableNo(0, 3);
    // Affinity group 3 maps LUN 0 to volume 2 in the new table; LUN 1 to volume 5000 (no such volume).
    for (auto* t : {&nt, &ot}) {
        cnfg_config_mgmt_table& m = t->edit();
        m.AffinityW(3).Definition(1);
        for (int l = 0; l < 512; ++l) m.AffinityW(3).Olun(l, 0xFFFF);
    }
    nt.edit().AffinityW(3).Olun(0, 2).Olun(1, 5000);
    auto n = view(nt), o = view(ot);
    ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 5u);  // map 1's new host entry gives a second kind-4 record (next test)

    Bytes k3(24 + 312);
    k3.u8(0, 3).u16(4, 1).ip(ADDRESS);
    k3.u8(24, 1).u8(26, 0x42).u8(27, 1).u16(28, 0x5000).text(32, "500000000000000B");
    EXPECT_EQ(diff(got[0].bytes(), k3.b), "");

    // Map 1's group 3 is new; the alias of its missing port stays zero.
    Bytes k8(24 + 52);
    k8.u8(0, 8).u16(4, 1).ip(ADDRESS).u8(12, 0x42).u8(13, 5).u16(14, 0x5000);
    k8.u8(24, 1).u16(26, 3).padded(60, "AG3", 16);
    EXPECT_EQ(diff(got[1].bytes(), k8.b), "");

    // Map 0: one creation, the entry with host 0xFFFF, left zero.
    Bytes k4(24 + 264);
    k4.u8(0, 4).u16(4, 1).ip(ADDRESS).u8(12, 0x41).u8(13, 0).u16(14, 0x2000);
    EXPECT_EQ(diff(got[2].bytes(), k4.b), "");

    // Group 3: volumes 2 (new table) and 5000 (beyond the table: left zero); ports of maps 0 and 1.
    const std::size_t V = 2, P = 2;
    Bytes k5(2080 + 4 * (V + P));
    k5.u8(0, 5).u16(2, V).u16(4, 1).u16(6, P).ip(ADDRESS);
    k5.u16(24, 2).u8(26, 1);
    const std::size_t b = 24 + 4 * V;
    k5.u16(b, 3).u16(b + 2, 0).u16(b + 4, 0xFFFF).u16(b + 6, 0xFFFF);
    for (int l = 0; l < 512; ++l) k5.u16(b + 8 + 4 * l, 0xFFFF).u16(b + 10 + 4 * l, 0xFFFF);
    k5.u16(b + 10, 2).u16(b + 14, 5000);
    k5.u8(2080 + 4 * V, 0x41).u8(2081 + 4 * V, 0).u8(2084 + 4 * V, 0x42).u8(2085 + 4 * V, 5);
    EXPECT_EQ(got[3].view().kind(), 4);
    EXPECT_EQ(diff(got[4].bytes(), k5.b), "");
}

TEST_F(IndicationTest, HostAffinityEntriesCarryTheHostIdentifierOfTheirAdapterType) {
    BuiltTable nt(sized()), ot(sized());
    for (auto* t : {&nt, &ot}) {
        cnfg_config_mgmt_table& m = t->edit();
        allFree(m);
        m.CAW(1).Status(1).ModuleId(0x41).RealType(0x2000);
        m.CAW(2).Status(1).ModuleId(0x42).RealType(0x5000);
        m.MapW(0).CAModuleID(0x41).CAPortNo(0);
        m.MapW(1).CAModuleID(0x42).CAPortNo(0);
        m.AffinityW(3).GroupNumber(3);
        m.iSCSIHostW(4).iSCSIName("iqn.host4").iSCSIIPAddress({192, 168, 0, 4}).ValidFlag(1);
        m.HostW(6).WWN({0x21, 0, 0, 0, 0, 0, 0, 6}).ValidFlag(1);
    }
    // Two old entries with the same host and group against one new entry:
    // the first matches, the second is deleted.
    ot.edit().MapW(0).ValidCnt(2).HostWWNTableNo(0, 4).AffinityTableNo(0, 3).HostWWNTableNo(1, 4).AffinityTableNo(1, 3);
    nt.edit().MapW(0).ValidCnt(1).HostWWNTableNo(0, 4).AffinityTableNo(0, 3);
    nt.edit().MapW(1).ValidCnt(1).HostWWNTableNo(0, 6).AffinityTableNo(0, 3);
    auto n = view(nt), o = view(ot);
    ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    std::vector<Received> kind4;
    for (auto& r : drain())
        if (r.view().kind() == 4) kind4.push_back(std::move(r));
    ASSERT_EQ(kind4.size(), 2u);

    Bytes iscsi(24 + 264);
    iscsi.u8(0, 4).u16(4, 1).ip(ADDRESS).u8(12, 0x41).u16(14, 0x2000);
    iscsi.u8(24, 2).u16(26, 3).padded(28, "iqn.host4", 256).u8(284, 192).u8(285, 168).u8(286, 0).u8(287, 4);
    EXPECT_EQ(diff(kind4[0].bytes(), iscsi.b), "");

    Bytes fc(24 + 264);
    fc.u8(0, 4).u16(4, 1).ip(ADDRESS).u8(12, 0x42).u16(14, 0x5000);
    fc.u8(24, 1).u16(26, 3).text(28, "2100000000000006");
    EXPECT_EQ(diff(kind4[1].bytes(), fc.b), "");
}

TEST_F(IndicationTest, LunMappedPortsAndPoolsGiveKindsFiveTenAndEleven) {
    BuiltTable nt(sized()), ot(sized());
    allFree(nt.edit());
    allFree(ot.edit());
    volumeOnRaidGroup(ot.edit(), 2, 2);
    for (auto* t : {&nt, &ot}) t->edit().MapW(7).CAModuleID(0x43).CAPortNo(1);
    ot.edit().LUNMapW(7).Definition(1);
    for (int l = 0; l < 512; ++l) ot.edit().LUNMapW(7).Olun(l, l == 9 ? 2 : 0xFFFF);
    nt.edit().TPPW(5).PoolNumber(0x105).MemDiskCnt(4).RaidLevel(1).Threshold_Y(70).Threshold_R(80).LxrpNumber(255)
        .MaxPoolLbaCount(1ull << 33).PoolName("TPP-5");
    ot.edit().LXRPW(2).PoolNumber(0x22).ValidFlag(1).Threshold_Y(60).Threshold_R(75).PoolName("LX-2");
    auto n = view(nt), o = view(ot);
    const std::uint64_t lxrpLba = o->getLxrpPoolLbaCount(2);
    ASSERT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 5u);  // the volume and its RAID group, known only to the old table, come first
    got.erase(got.begin(), got.begin() + 2);

    Bytes k5(2080 + 4 * 2);
    k5.u8(0, 5).u16(2, 1).u16(4, 1).u16(6, 1).ip(ADDRESS);
    k5.u16(24, 2).u8(26, 1);  // volume 2, known only to the old table
    const std::size_t b = 28;
    k5.u16(b, 0xFFFF).u16(b + 4, 0xFFFF).u16(b + 6, 0xFFFF);
    for (int l = 0; l < 512; ++l) k5.u16(b + 8 + 4 * l, l == 9 ? 2 : 0xFFFF).u16(b + 10 + 4 * l, 0xFFFF);
    k5.u8(2084, 0x43).u8(2085, 1);
    EXPECT_EQ(diff(got[0].bytes(), k5.b), "");

    Bytes k10(24 + 40);
    k10.u8(0, 10).u16(4, 1).ip(ADDRESS);
    k10.u8(24, 1).u8(25, 1).u16(26, 0x105).u16(28, first(&VELDARO_RefTable::getTppSMISStatus, *n, 5)).u8(32, 70)
        .u8(33, 80).u8(34, 255).u64(40, 1ull << 33).padded(48, "TPP-5", 16);
    EXPECT_EQ(diff(got[1].bytes(), k10.b), "");

    Bytes k11(24 + 32);
    k11.u8(0, 11).u16(4, 1).ip(ADDRESS);
    k11.u8(24, 2).u8(25, 0x22).u8(26, 60).u8(27, 75).u16(30, first(&VELDARO_RefTable::getLxrpSMISStatus, *o, 2))
        .u64(32, lxrpLba).padded(40, "LX-2", 16);
    EXPECT_EQ(diff(got[2].bytes(), k11.b), "");
}

TEST_F(IndicationTest, DifferentModelsAreNotCompared) {
    BuiltTable nt(sized()), ot(sized());
    allFree(nt.edit());
    allFree(ot.edit());
    volumeOnRaidGroup(nt.edit(), 2, 2);
    nt.edit().SysW().ModelType(0x10);
    ot.edit().SysW().ModelType(0x20);
    auto n = view(nt), o = view(ot);
    EXPECT_EQ(SMIS_Indication().indicationConfigManagement(*n, *o), 0);
    EXPECT_TRUE(drain().empty());
}

TEST_F(IndicationTest, ArrayStatusChangeGivesOneKindSevenRecord) {
    BuiltTable t(sized());
    t.edit().SysW().ProductID("PRODUCT-ID").SerialNumber("SERIAL######").FriendlyName("friend")
        .NodeWWN({9, 8, 7, 6, 5, 4, 3, 2});
    t.edit().ManagementW().ManagerName("manager");
    t.edit().MgmtInfoW().TableUpdateCount(0x01020304);
    auto v = view(t);
    ASSERT_EQ(SMIS_Indication().indicationStatus(*v, 0x01, 0x20), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 1u);
    int n1 = 0, n2 = 0, o1 = 0, o2 = 0;
    cimple::SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(0x01, &n1, &n2);
    cimple::SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(0x20, &o1, &o2);
    char* serial = v->getSysSerialNumber();
    Bytes e(156);
    e.u8(0, 7).ip(ADDRESS).u8(24, 3).u16(28, unsigned(n1)).u16(30, unsigned(o1)).u16(32, unsigned(n2))
        .u16(34, unsigned(o2)).text(36, "PRODUCT-ID").text(52, serial).text(64, "\x09\x08\x07\x06\x05\x04\x03\x02")
        .u32(72, 0x01020304).padded(76, "manager", 64).padded(140, "friend", 16);
    VELDARO_RefTable::getMemFree(serial);
    EXPECT_EQ(diff(got[0].bytes(), e.b), "");
}

// ---- thin pool alarms ----

namespace {

std::vector<std::uint8_t> alarms(std::initializer_list<std::array<std::uint32_t, 3>> rows) {
    std::vector<std::uint8_t> b;
    for (const auto& r : rows) {
        std::vector<std::uint8_t> rec(32, 0);
        smis::storeLE16(&rec[0], std::uint16_t(r[0]));
        smis::storeLE32(&rec[4], r[1]);
        smis::storeLE32(&rec[8], r[2]);
        b.insert(b.end(), rec.begin(), rec.end());
    }
    return b;
}

const CMM_RD_TP_POOL_ALARM_INFO* info(const std::vector<std::uint8_t>& b) {
    return reinterpret_cast<const CMM_RD_TP_POOL_ALARM_INFO*>(b.data());
}

BuiltTable poolTable(unsigned warning, unsigned critical) {
    BuiltTable t(sized());
    allFree(t.edit());
    t.edit().TPPW(0).PoolNumber(7).MemDiskCnt(2).Threshold_Y(std::uint8_t(warning)).Threshold_R(std::uint8_t(critical));
    // Pool 8 is a sub-pool of Layerix pool 3 with sub-pools 8 and 9.
    t.edit().TPPW(1).PoolNumber(8).MemDiskCnt(2).LxrpNumber(3);
    t.edit().TPPW(2).PoolNumber(9).MemDiskCnt(2).LxrpNumber(3);
    t.edit().LXRPW(0).PoolNumber(3).ValidFlag(1).Threshold_Y(50).Threshold_R(90).SubPoolCnt(2).SubPoolNumber(0, 8)
        .SubPoolNumber(1, 9);
    return t;
}

}  // namespace

TEST(IndicationAlarmLevel, LevelsFollowTheThresholdsAndAnEmptyPoolHasLevelZero) {
    struct Case {
        unsigned warning, critical;
        std::uint32_t total, used;
        int level;
    } cases[] = {
        {80, 90, 1000, 1000, 3},  // exactly 100 %
        {80, 90, 1000, 1200, 2},  // 120 %
        {80, 90, 1000, 900, 2},   {80, 90, 1000, 850, 1}, {80, 90, 1000, 500, 0},
        {0, 0, 1000, 1000, 0},    // no thresholds
        {80, 0, 1000, 950, 1},    {80, 90, 0, 10, 0},     // total 0: no usage to report
    };
    for (const Case& c : cases) {
        BuiltTable t = poolTable(c.warning, c.critical);
        auto v = view(t);
        auto rows = alarms({{7, c.total, c.used}});
        std::vector<std::uint16_t> handled;
        EXPECT_EQ(SMIS_Indication::alarmLevel(*v, rows.data(), 1, 0, handled), c.level)
            << c.warning << "/" << c.critical << " " << c.used << " of " << c.total;
        EXPECT_EQ(handled, std::vector<std::uint16_t>{7});
    }
    BuiltTable t = poolTable(80, 90);
    auto v = view(t);
    std::vector<std::uint16_t> handled;
    EXPECT_EQ(SMIS_Indication::alarmLevel(*v, nullptr, 0, -1, handled), 0);
    // Layerix sub-pools add up over the Layerix pool's sub-pools: 60 % of 2000.
    auto rows = alarms({{8, 1000, 700}, {9, 1000, 500}});
    EXPECT_EQ(SMIS_Indication::alarmLevel(*v, rows.data(), 2, 0, handled), 1);
    EXPECT_EQ(handled, (std::vector<std::uint16_t>{8, 9}));
}

TEST_F(IndicationTest, ARisingAlarmLevelSendsOneAlertAndAFallingOneNothing) {
    BuiltTable t = poolTable(80, 90);
    auto v = view(t);
    auto before = alarms({{7, 1000, 500}, {8, 1000, 100}, {9, 1000, 100}});
    auto after = alarms({{7, 1000, 950}, {8, 1000, 1000}, {9, 1000, 1000}, {42, 10, 10}});
    ASSERT_EQ(SMIS_Indication().indicationTPPoolAlarmInfo(*v, info(after), 4, info(before), 3), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 2u);
    Bytes pool(24);
    pool.u8(0, 6).u8(4, 3).ip(ADDRESS).u8(12, 15).u32(16, 0xE8020000u | 7);
    EXPECT_EQ(diff(got[0].bytes(), pool.b), "");
    Bytes sub(24);
    sub.u8(0, 6).u8(4, 3).ip(ADDRESS).u8(12, 15).u32(16, 0);  // a Layerix sub-pool carries no event code
    EXPECT_EQ(diff(got[1].bytes(), sub.b), "");

    ASSERT_EQ(SMIS_Indication().indicationTPPoolAlarmInfo(*v, info(before), 3, info(after), 4), 0);
    EXPECT_TRUE(drain().empty());
}

// ---- copy sessions ----

namespace {

std::vector<std::uint8_t> session(std::uint16_t id, std::uint8_t seed) {
    std::vector<std::uint8_t> s(96);
    for (std::size_t k = 0; k < s.size(); ++k) s[k] = std::uint8_t(seed + k);
    smis::storeLE16(&s[0], id);
    return s;
}

SMIS_CMT table(const std::vector<std::vector<std::uint8_t>>& sessions) {
    SMIS_CMT t;
    SMIS_INDEX e;
    e.TableId = 0;
    e.Byte1 = 1;
    e.ElementSize = 96;
    e.ElementCount = std::uint16_t(sessions.size());
    for (const auto& s : sessions) e.data.insert(e.data.end(), s.begin(), s.end());
    t.index.push_back(e);
    return t;
}

Bytes copyRecord(int op, const std::vector<std::uint8_t>& cur, const std::vector<std::uint8_t>* prev, int flag25 = 0) {
    Bytes e(112);
    e.u8(0, 9).u16(4, 1).ip(ADDRESS).u8(24, unsigned(op)).u8(25, unsigned(flag25)).u8(26, cur[2]).u8(27, cur[3])
        .u8(28, cur[8]).u16(30, smis::loadLE16(&cur[4])).u8(32, cur[9]).u16(34, smis::loadLE16(&cur[6]))
        .u32(36, smis::loadLE32(&cur[12])).u32(40, smis::loadLE32(&cur[16]));
    if (prev) e.u32(44, smis::loadLE32(&(*prev)[16]));
    for (int k = 0; k < 4; ++k) e.u32(48 + 4 * k, smis::loadLE32(&cur[24 + 4 * k]));
    for (int k = 0; k < 40; ++k) e.u8(64 + k, cur[48 + k]);
    for (int k = 0; k < 3; ++k) {
        e.u8(104 + 2 * k, cur[88 + k]);
        if (prev) e.u8(105 + 2 * k, (*prev)[88 + k]);
    }
    e.u8(110, cur[91]).u8(111, cur[92]);
    return e;
}

}  // namespace

TEST_F(IndicationTest, CopySessionsOfEveryIdentifierAreMatchedCreatedDeletedAndModified) {
    auto same = session(20000, 1);          // identifier above 16383, unchanged
    auto oldMod = session(30000, 2);
    auto newMod = oldMod;
    newMod[88] ^= 0xFF;                     // state byte changed: modification
    auto oldRe = session(40000, 3);
    auto newRe = oldRe;
    newRe[3] ^= 1;                          // copy kind changed: deletion and creation
    auto gone = session(5, 4);
    auto born = session(65535, 5);
    SMIS_CMT n = table({same, newMod, newRe, born});
    SMIS_CMT o = table({same, oldMod, oldRe, gone});
    ASSERT_EQ(SMIS_Indication().indicationCopySession(ADDRESS, &n, &o), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(diff(got[0].bytes(), copyRecord(3, newMod, &oldMod).b), "");
    EXPECT_EQ(diff(got[1].bytes(), copyRecord(2, oldRe, nullptr).b), "");
    EXPECT_EQ(diff(got[2].bytes(), copyRecord(1, newRe, nullptr).b), "");
    EXPECT_EQ(diff(got[3].bytes(), copyRecord(2, gone, nullptr).b), "");
    EXPECT_EQ(diff(got[4].bytes(), copyRecord(1, born, nullptr).b), "");
}

TEST_F(IndicationTest, ASingleSessionComparesTheGivenRecords) {
    auto s = session(17000, 9);
    SMIS_Indication producer;
    ASSERT_EQ(producer.indicationCopySessionSingle(ADDRESS, reinterpret_cast<const SMIS_COPY_SESSION_INFO*>(s.data()),
                                                   nullptr),
              0);
    ASSERT_EQ(producer.indicationCopySessionSingle(ADDRESS, nullptr,
                                                   reinterpret_cast<const SMIS_COPY_SESSION_INFO*>(s.data())),
              0);
    ASSERT_EQ(producer.indicationCopySessionSingle(ADDRESS, nullptr, nullptr), 0);
    auto got = drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(diff(got[0].bytes(), copyRecord(1, s, nullptr).b), "");
    EXPECT_EQ(diff(got[1].bytes(), copyRecord(2, s, nullptr).b), "");
}

TEST(IndicationRecordTest, AccessorsStayInsideTheRecordAndShapesAreChecked) {
    IndicationRecord r = IndicationRecord::allocateEntries(IndicationRecord::KIND_TPP, 2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.size(), 24u + 80u);
    EXPECT_TRUE(r.isWellFormed());
    EXPECT_NE(r.entry(1), nullptr);
    EXPECT_EQ(r.entry(2), nullptr);
    r.setU64(r.size() - 4, 0xFFFFFFFFFFFFFFFFull);  // would cross the end: dropped
    EXPECT_EQ(r.u32(r.size() - 4), 0u);
    r.setText(24 + 24, 16, "a-text-longer-than-its-field");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.data() + 48), 16), "a-text-longer-th");
    EXPECT_EQ(r.u8(64), 0);
    r.setU16(4, 3);  // count no longer matches the size
    EXPECT_FALSE(r.isWellFormed());
    std::free(r.data());
    EXPECT_FALSE(IndicationRecord(nullptr, 10).isWellFormed());
    std::uint8_t twelve[24] = {12};
    EXPECT_FALSE(IndicationRecord(twelve, sizeof twelve).isWellFormed());
    EXPECT_EQ(SMIS_Indication::convIPtoString(SMIS_Indication::convIPtoLong("192.168.10.20")).c_str(),
              std::string("192.168.10.20"));
}
