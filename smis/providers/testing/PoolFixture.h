#pragma once
// The pool providers' test arrays and fixture: two arrays whose tables are
// installed as cmf files, the status records the pools read put into the
// cache, and adapter helpers to enumerate and get pool instances.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ByteOrder.h"
#include "CMTBuilder.h"
#include "Module.h"
#include "Pegasus_Adapter.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

namespace pool_test {

using cimple::Instance;
using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::Pegasus_Adapter;
using cimple::SMIS_CMTAccess;
using smis::test::CMTBuilder;

inline constexpr const char* A = "10.0.0.1";
inline constexpr const char* B = "10.0.0.2";
inline constexpr const char* NO_TABLE = "10.0.0.9";
inline constexpr std::uint64_t MiB = 0x100000;

// Names as the table holds them: 16 characters, blank-padded.
inline std::string padded(const std::string& name)
{
    return name + std::string(16 - name.size(), ' ');
}

inline CMT_RLUW raidGroup(CMTBuilder& b, std::uint16_t number)
{
    CMT_RLUW r = b.rlu(number);
    r.Rlun(number).Status(0x2000);
    for (std::size_t k = 0; k < 16; ++k)
        r.Dlun(k, 0xFFFF);
    return r;
}

// Array A: RAID groups 0 (free), 1 (RAID5, one volume of 100 blocks),
// 2 (pool member, mode 0x02), 3 (mode 0x03), 4 (its volume covers more than
// the group), 5 (mode 0x08); snapshot data pool volumes; thin pools 1 (with a
// capacity record), 2 (without one), 3 (no member disks), 4 and 5 (sub-pools
// of tiering pool 0, with records) and 7 (sub-pool of tiering pool 1,
// without a record); three disks (one in a RAID group, one free, one slot
// empty).
inline void buildArrayA(CMTBuilder& b)
{
    b.maxCounts({.olu = 16, .slu = 16, .rlu = 6, .dlu = 2, .mlu = 4});
    raidGroup(b, 0).Status(3);
    raidGroup(b, 1).RaidLevel(1).CurrentCMMID(0x11).RlbaCount(10000).StripeSize(128).SluCount(1).Slun(0, 5)
        .Name("RG1");
    b.slu(5).Status(0).LuType(1).Rlun(1).StartRlba(0).SlbaCount(100);
    raidGroup(b, 2).RaidLevel(3).Mode(0x02).RlbaCount(2048);
    raidGroup(b, 3).RaidLevel(1).Mode(0x03).RlbaCount(4096);
    raidGroup(b, 4).RaidLevel(1).RlbaCount(256).StripeSize(128).SluCount(1).Slun(0, 6);
    b.slu(6).Status(0).LuType(1).Rlun(4).StartRlba(0).SlbaCount(300);
    raidGroup(b, 5).RaidLevel(1).Mode(0x08).RlbaCount(1000);

    b.olu(10).Status(0).SluCount(1).Slun(0, 10).Name("SDPV10");
    b.slu(10).Status(0).LuType(7).Olun(10).Rlun(1).SlbaCount(2048).SDPID(1);
    b.slu(11).Status(0).LuType(7).Olun(12).Rlun(1).SlbaCount(2048).SDPID(1);  // no OLU 12
    b.slu(12).Status(6).LuType(7).Olun(10).Rlun(1).SlbaCount(2048);         // free entry

    b.tpp(1).MemDiskCnt(4).RaidLevel(1).MaxPoolLbaCount(1 << 20).Threshold_Y(70).Threshold_R(80).LxrpNumber(255)
        .PoolName("TP1");
    b.tpp(2).MemDiskCnt(2).RaidLevel(4).MaxPoolLbaCount(4096).LxrpNumber(255);
    b.tpp(3).MemDiskCnt(0).RaidLevel(1).MaxPoolLbaCount(4096).LxrpNumber(255);
    b.tpp(4).MemDiskCnt(4).RaidLevel(1).MaxPoolLbaCount(8192).LxrpNumber(0).PoolName("SUB4");
    b.tpp(5).MemDiskCnt(2).RaidLevel(4).MaxPoolLbaCount(2048).LxrpNumber(0);
    b.tpp(7).MemDiskCnt(2).RaidLevel(4).MaxPoolLbaCount(2048).LxrpNumber(1);
    b.lxrp(0).ValidFlag(1).Threshold_Y(50).Threshold_R(0).SubPoolCnt(2).SubPoolNumber(0, 4).SubPoolNumber(1, 5)
        .PoolName("TIER0");
    b.lxrp(1).ValidFlag(1).Threshold_Y(10).SubPoolCnt(1).SubPoolNumber(0, 7);
    b.lxrp(2).ValidFlag(0).SubPoolCnt(1).SubPoolNumber(0, 4);

    b.disk(0x80000101, 0x0101).Status(0).Usage(2).Dlun(0).WholeBlockCount(3000000);
    b.disk(0x80000102, 0x0102).Status(0).Usage(2).Dlun(0xFFFF).WholeBlockCount(5000000);
    b.disk(0x80000103, 0x0103).Status(0x0102).Usage(2).Dlun(0xFFFF).WholeBlockCount(7000000);
    b.dlu(0).Dlun(0).Status(0).Rlun(1).UsePlu(0, 0x0101);
    b.dlu(1).Dlun(1).Status(3);
    b.sdp().SdpPercent(8 + 0, 50).SdpPercent(8 + 1, 70).SdpPercent(8 + 2, 90);  // pool 1
}

// Array B: one RAID group, nothing else.
inline void buildArrayB(CMTBuilder& b)
{
    b.maxCounts({.olu = 4, .slu = 4, .rlu = 1, .dlu = 1, .mlu = 4});
    raidGroup(b, 0).RaidLevel(4).RlbaCount(8192).StripeSize(128);
    b.dlu(0).Status(3);
}

inline std::vector<std::uint8_t> thinRecords(std::initializer_list<std::array<std::uint32_t, 3>> rows)
{
    std::vector<std::uint8_t> out;
    for (const auto& row : rows) {
        std::uint8_t r[32] = {};
        smis::storeLE16(r, static_cast<std::uint16_t>(row[0]));
        smis::storeLE32(r + 4, row[1]);
        smis::storeLE32(r + 8, row[2]);
        out.insert(out.end(), r, r + 32);
    }
    return out;
}

// A 64-byte snapshot pool record: its six capacity values (blocks) sit at
// bytes 32, 40, 48 (values 0-2) and 8, 16, 24 (values 3-5).
inline std::vector<std::uint8_t> snapRecord(std::uint8_t pool, const std::array<std::uint64_t, 6>& values)
{
    std::vector<std::uint8_t> r(64, 0);
    r[0] = pool;
    const int at[6] = {32, 40, 48, 8, 16, 24};
    for (int k = 0; k < 6; ++k)
        smis::storeLE64(r.data() + at[k], values[k]);
    return r;
}

class PoolProviders : public ::testing::Test {
protected:
    void SetUp() override { SMIS_CMTAccess::destroy(); }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    // Installs both arrays, the configuration and (unless told otherwise)
    // the status records of array A.
    void install(const std::vector<std::string>& order, bool statusRecords = true)
    {
        CMTBuilder a, b;
        buildArrayA(a);
        buildArrayB(b);
        a.installCmf(A);
        b.installCmf(B);
        std::vector<std::string> env;
        for (const std::string& ip : order)
            env.push_back("StorageIP=" + ip);
        dir.writeEnv(env);
        if (!statusRecords)
            return;
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        // Pool 1: 100 MiB, 85 used. Sub-pools 4 and 5: 6 + 4 MiB, 3 + 1 used.
        const auto thin = thinRecords({{1, 100, 85}, {4, 6, 3}, {5, 4, 1}, {1, 999, 999}});
        ASSERT_EQ(cache->SetExTableInfo(A, SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, thin.data(), 32, 4, 0), 0);
        // Pool 1: 1000 + 1000 blocks, used 400 + 500 + 500 + 500 (95 %).
        // Pool 2: 0 blocks.
        std::vector<std::uint8_t> snap = snapRecord(1, {1000, 400, 500, 1000, 500, 500});
        const std::vector<std::uint8_t> empty = snapRecord(2, {0, 0, 0, 0, 0, 0});
        snap.insert(snap.end(), empty.begin(), empty.end());
        ASSERT_EQ(cache->SetExTableInfo(A, SMIS_CMTAccess::EX_SNAP_DATA_POOL, nullptr, snap.data(), 64, 2, 0), 0);
    }

    std::unique_ptr<Pegasus_Adapter> adapter(const char* cls)
    {
        std::unique_ptr<Pegasus_Adapter> p(
            Pegasus_Adapter::create(cimple_module(), (std::string(cls) + "_Provider").c_str()));
        EXPECT_NE(p, nullptr);
        return p;
    }

    template <class C>
    static Instance_Ptr model(const char* instanceId)
    {
        Instance_Ptr m(C::create(true));
        static_cast<C*>(m.get())->InstanceID.set(instanceId);
        return m;
    }

    template <class C>
    static std::vector<std::string> ids(const Instance_List& list)
    {
        std::vector<std::string> out;
        for (const Instance_Ptr& p : list)
            out.push_back(static_cast<const C*>(p.get())->InstanceID.value.c_str());
        return out;
    }

    template <class C>
    static const C* find(const Instance_List& list, const std::string& id)
    {
        for (const Instance_Ptr& p : list)
            if (id == static_cast<const C*>(p.get())->InstanceID.value.c_str())
                return static_cast<const C*>(p.get());
        return nullptr;
    }

    // Every enumerated instance is found again by get_instance with its key.
    template <class C>
    void expectGetFindsEach(Pegasus_Adapter& ad, const Instance_List& list)
    {
        for (const Instance_Ptr& p : list) {
            const C* c = static_cast<const C*>(p.get());
            Instance_Ptr m = model<C>(c->InstanceID.value.c_str());
            Instance_Ptr got;
            ASSERT_EQ(ad.get_instance(m.get(), got), 0) << c->InstanceID.value.c_str();
            EXPECT_STREQ(static_cast<const C*>(got.get())->Name.value.c_str(), c->Name.value.c_str());
        }
    }

    template <class C>
    int get(Pegasus_Adapter& ad, const char* instanceId)
    {
        Instance_Ptr m = model<C>(instanceId);
        Instance_Ptr got;
        return ad.get_instance(m.get(), got);
    }

    smis::test::TempInstallDir dir;
};

}  // namespace pool_test
