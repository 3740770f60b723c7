// Cost of one lookup against the size of the array: every benchmark runs on
// images of 1/64, 1/8 and the whole of the maximal array (65,535 volumes,
// 3,072 disks, 2,048 affinity groups, 8,192 hosts). The time per lookup
// stays flat from the smallest to the largest image; the one-off cost of
// the number maps is measured apart (BM_BuildIndex, linear in the size).

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "BuiltTable.h"
#include "VELDARO_TableIndex.h"

using cimple::Array;
using cimple::VELDARO_RefTable;

namespace {

constexpr unsigned MAX_VOLUMES = 65535;

std::string name16(const char* prefix, unsigned n)
{
    std::string s = prefix + std::to_string(n);
    s.resize(16, '\0');
    return s;
}

// An image with `volumes` volumes and the other tables scaled alike.
struct Array_ {
    explicit Array_(unsigned volumes)
        : volumes(volumes),
          rlus(volumes / 16 + 1),
          disks(static_cast<unsigned>(3072ull * volumes / MAX_VOLUMES)),
          groups(static_cast<unsigned>(2048ull * volumes / MAX_VOLUMES)),
          hosts(static_cast<unsigned>(8192ull * volumes / MAX_VOLUMES)),
          table(builder(volumes, rlus))
    {
        cnfg_config_mgmt_table& m = table.edit();
        for (unsigned r = 0; r < rlus; ++r)
            // At most four RAID groups per thin pool: a pool's status costs
            // its member count, not the table size.
            m.RLUW(r).Status(0).Mode(r < 1024 ? 0x01 : 0x00)
                .PoolNumber(static_cast<std::uint16_t>(r < 1024 ? r % 256 : 0xFFFF)).SluCount(1)
                .Slun(0, static_cast<std::uint16_t>(r)).Name(name16("rg", r));
        for (unsigned v = 0; v < volumes; ++v) {
            m.OLUW(v).Status(0).SluCount(1).Slun(0, static_cast<std::uint16_t>(v)).Name(name16("vol", v));
            m.SLUW(v).Status(0).LuType(1).Rlun(static_cast<std::uint16_t>(v % rlus)).Olun(static_cast<std::uint16_t>(v));
            m.MLUW(v).Status(0).Slun(static_cast<std::uint16_t>(v));
        }
        for (unsigned d = 0; d < rlus; ++d)
            m.DLUW(d).Status(0);
        for (unsigned d = 0; d < 3072; ++d)
            m.DiskW(d).Plun(static_cast<std::uint16_t>(d < disks ? d : 0xF000 + d)).DedicatedHSRlun(
                static_cast<std::uint16_t>(d % rlus));
        for (unsigned g = 0; g < 2048; ++g)
            m.AffinityW(g).GroupNumber(static_cast<std::uint16_t>(g < groups ? g : 0xF000 + g));
        m.HostCount = static_cast<std::uint16_t>(hosts);
        for (unsigned h = 0; h < hosts; ++h)
            m.HostW(h).ValidFlag(1).Name(name16("host", h)).WWN({0x20, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(h >> 8),
                                                                   static_cast<std::uint8_t>(h)});
        for (unsigned t = 0; t < 256; ++t)
            m.TPPW(t).PoolNumber(static_cast<std::uint16_t>(t)).MemDiskCnt(1).RaidLevel(1).LxrpNumber(255);
        view = table.view();
        view->searchOlunFromOluTable(0);  // builds the maps outside the timed loops
    }
    static smis::test::CMTBuilder builder(unsigned volumes, unsigned rlus)
    {
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = volumes, .slu = volumes, .rlu = rlus, .dlu = rlus, .mlu = volumes,
                     .affinityGroups = 2048, .hosts = 8192});
        return b;
    }
    unsigned volumes, rlus, disks, groups, hosts;
    smis::test::BuiltTable table;
    std::unique_ptr<VELDARO_RefTable> view;
};

Array_& image(unsigned volumes)
{
    static std::map<unsigned, std::unique_ptr<Array_>> images;
    auto& slot = images[volumes];
    if (!slot)
        slot = std::make_unique<Array_>(volumes);
    return *slot;
}

// Runs op(view, k) with k cycling through 0..count-1 of the image.
template <class Count, class Op>
void cycle(benchmark::State& state, Count count, Op op)
{
    Array_& a = image(static_cast<unsigned>(state.range(0)));
    const unsigned n = count(a) ? count(a) : 1;
    unsigned k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(op(*a.view, a, k));
        if (++k == n)
            k = 0;
    }
    state.counters["entries"] = n;
}

auto volumes = [](const Array_& a) { return a.volumes; };
auto rlus = [](const Array_& a) { return a.rlus; };

void BM_Olun(benchmark::State& s)
{
    cycle(s, volumes, [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchOlunFromOluTable(k); });
}
void BM_Slun(benchmark::State& s)
{
    cycle(s, volumes, [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchSlunFromSluTable(k); });
}
void BM_Mlun(benchmark::State& s)
{
    cycle(s, volumes, [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchMlunFromMluTable(k); });
}
void BM_Rlun(benchmark::State& s)
{
    cycle(s, rlus, [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchRlunFromRluTable(k); });
}
void BM_Dlun(benchmark::State& s)
{
    cycle(s, rlus, [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchDlunFromDluTable(k); });
}
void BM_Plun(benchmark::State& s)
{
    cycle(s, [](const Array_& a) { return a.disks; },
          [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchPlunFromDiskTable(k); });
}
void BM_Affinity(benchmark::State& s)
{
    cycle(s, [](const Array_& a) { return a.groups; },
          [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchAffinityNumberFromAffinityTable(k); });
}
void BM_HostName(benchmark::State& s)
{
    cycle(s, [](const Array_& a) { return a.hosts; }, [](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        return v.searchHostNameFromHostTable(("host" + std::to_string(k)).c_str());
    });
}
void BM_HostWWN(benchmark::State& s)
{
    cycle(s, [](const Array_& a) { return a.hosts; }, [](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        char wwn[17];
        std::snprintf(wwn, sizeof wwn, "200000000000%04X", k);
        int kind = 0;
        return v.searchHostNameFromHostTable(wwn, kind, nullptr);
    });
}
void BM_OluName(benchmark::State& s)
{
    cycle(s, volumes, [](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        return v.searchOlunameFromOluNameTable(("vol" + std::to_string(k)).c_str());
    });
}
void BM_RluName(benchmark::State& s)
{
    cycle(s, rlus, [](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        return v.searchRlunameFromRluNameTable(("rg" + std::to_string(k)).c_str());
    });
}
void BM_LunByLuType(benchmark::State& s)
{
    cycle(s, volumes,
          [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.searchLunByLuTypeFromSluTable(1, k); });
}
void BM_SluIndexListInOlu(benchmark::State& s)
{
    Array<int> list;
    cycle(s, volumes, [&](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        return v.getSluIndexListInOlu(static_cast<int>(k), list);
    });
}
void BM_SlunListWithRlu(benchmark::State& s)
{
    Array<std::uint16_t> list;
    cycle(s, rlus, [&](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.getSlunListWithRlu(k, list); });
}
void BM_RaidHSDiskCount(benchmark::State& s)
{
    cycle(s, rlus, [](const VELDARO_RefTable& v, const Array_&, unsigned k) { return v.getRaidHSDiskCount(k); });
}
void BM_OluStatus(benchmark::State& s)
{
    cycle(s, volumes, [](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        int a = 0, b = 0;
        return v.getOluSMISStatus(static_cast<int>(k), &a, &b);
    });
}
void BM_DiskStatus(benchmark::State& s)
{
    cycle(s, [](const Array_& a) { return a.disks; }, [](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        int a = 0, b = 0;
        return v.getDiskSMISStatus(0x80000000u | k, &a, &b);
    });
}
void BM_TppStatus(benchmark::State& s)
{
    cycle(s, [](const Array_&) { return 256u; }, [](const VELDARO_RefTable& v, const Array_&, unsigned k) {
        int a = 0, b = 0;
        return v.getTppSMISStatus(static_cast<int>(k), &a, &b);
    });
}

// Every volume of the array through a fresh view, the way an enumeration
// runs: the time per volume (items) stays flat, so the whole is linear.
void BM_EveryVolume(benchmark::State& state)
{
    Array_& a = image(static_cast<unsigned>(state.range(0)));
    Array<int> list;
    for (auto _ : state) {
        VELDARO_RefTable view("10.0.0.1", a.table.block(), a.table.image());
        for (unsigned v = 0; v < a.volumes; ++v) {
            const int o = view.searchOlunFromOluTable(static_cast<std::uint16_t>(v));
            benchmark::DoNotOptimize(view.getSluIndexListInOlu(o, list));
            int x = 0, y = 0;
            benchmark::DoNotOptimize(view.getOluSMISStatus(o, &x, &y));
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * a.volumes);
}

// The one-off cost of the number maps of an image.
void BM_BuildIndex(benchmark::State& state)
{
    Array_& a = image(static_cast<unsigned>(state.range(0)));
    const auto img = a.table.image();
    for (auto _ : state)
        benchmark::DoNotOptimize(VELDARO_TableIndex(img, a.table.block().get()).olu(0));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * a.volumes);
}

#define SIZES Arg(MAX_VOLUMES / 64)->Arg(MAX_VOLUMES / 8)->Arg(MAX_VOLUMES)
BENCHMARK(BM_Olun)->SIZES;
BENCHMARK(BM_Slun)->SIZES;
BENCHMARK(BM_Mlun)->SIZES;
BENCHMARK(BM_Rlun)->SIZES;
BENCHMARK(BM_Dlun)->SIZES;
BENCHMARK(BM_Plun)->SIZES;
BENCHMARK(BM_Affinity)->SIZES;
BENCHMARK(BM_HostName)->SIZES;
BENCHMARK(BM_HostWWN)->SIZES;
BENCHMARK(BM_OluName)->SIZES;
BENCHMARK(BM_RluName)->SIZES;
BENCHMARK(BM_LunByLuType)->SIZES;
BENCHMARK(BM_SluIndexListInOlu)->SIZES;
BENCHMARK(BM_SlunListWithRlu)->SIZES;
BENCHMARK(BM_RaidHSDiskCount)->SIZES;
BENCHMARK(BM_OluStatus)->SIZES;
BENCHMARK(BM_DiskStatus)->SIZES;
BENCHMARK(BM_TppStatus)->SIZES;
BENCHMARK(BM_EveryVolume)->SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndex)->SIZES->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
