// Cost of one refresh of the largest table: the `max` array of the simulator
// (65,535 volumes, 3,072 disks, ...). BM_FullRefresh is the whole refresh as
// the polling service runs it (fetch, conversion, cmf file, comparison with
// the image in place, replacement); the others time its steps on one fetched
// answer, so that a slow refresh shows which step is slow.
// BM_CompareCopySessions times the poll's comparison of two copy-session
// tables against their number of sessions.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "ArraysimProcess.hpp"
#include "ByteOrder.h"
#include "SMIS_CMT.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_CMTConvert.h"
#include "SMIS_CMTFile.h"
#include "SMIS_Indication.h"
#include "SMIS_PollingService.h"
#include "SMIS_Vorpak.h"
#include "TempInstallDir.h"
#include "VELDARO_RefTable.h"

using namespace cimple;

namespace {

// The simulator on `max`, an install directory naming its first array, the
// cache, an indication queue (so that the comparison runs as in the server)
// and one fetched answer.
struct MaxArray {
    MaxArray() : sim("max")
    {
        address = sim.address(0);
        dir.writeEnv({"StorageIP=" + address + "," + std::to_string(sim.port(0))});
        cache = SMIS_CMTAccess::getInstance();
        cache->SetDeviceAvailable(address.c_str(), 0);
        queue.mq_create(10);
        service = SMIS_PollingService::getInstance();
        service->getConfigManagementInfo(address.c_str(), 0);

        answer = fetch();
    }
    // The whole table as the refresh asks for it.
    std::vector<std::uint8_t> fetch() const
    {
        SMIS_Vorpak vpk(address.c_str());
        CMM_REQ_RD_CFG_MGMT_TBL request{};
        const std::uint8_t ids[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 16, 17, 18, 20, 21, 22,
                                    23, 24, 26, 27, 28, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46};
        request.bytes[1] = sizeof ids;
        std::copy(std::begin(ids), std::end(ids), request.bytes + 4);
        CMM_CMT_TABLE_HEADER* raw = nullptr;
        std::uint32_t length = 0;
        std::vector<std::uint8_t> bytes;
        if (vpk.getConfigManagementTable(request, raw, length) == 0 && raw)
            bytes.assign(raw->bytes, raw->bytes + length);
        std::free(raw);
        return bytes;
    }
    ~MaxArray()
    {
        queue.mq_unlink();
        SMIS_PollingService::destroy();
    }
    void drain()
    {
        for (;;) {
            void* p = nullptr;
            unsigned long size = 0;
            queue.mq_receive(p, size);
            if (!p)
                return;
            std::free(p);
        }
    }

    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir dir;
    std::string address;
    SMIS_CMTAccess* cache = nullptr;
    SMIS_PollingService* service = nullptr;
    SMIS_Indication queue;
    std::vector<std::uint8_t> answer;
};

MaxArray& maxArray()
{
    static MaxArray* array = new MaxArray;  // lives until the program ends
    return *array;
}

void BM_FullRefresh(benchmark::State& state)
{
    MaxArray& a = maxArray();
    for (auto _ : state) {
        if (a.service->getConfigManagementInfo(a.address.c_str(), 0) != 0)
            state.SkipWithError("refresh failed");
        a.drain();
    }
    state.counters["bytes"] = static_cast<double>(a.answer.size());
}

void BM_FetchTable(benchmark::State& state)
{
    MaxArray& a = maxArray();
    for (auto _ : state)
        if (a.fetch().empty())
            state.SkipWithError("fetch failed");
}

void BM_WriteCacheFile(benchmark::State& state)
{
    MaxArray& a = maxArray();
    SMIS_CMTPtr container = SMIS_CMTFile::ConvertVPK2CMTFile(a.answer.data(), a.answer.size());
    const std::string path = a.dir.file("data/bench.cmf");
    for (auto _ : state)
        if (SMIS_CMTFile::WriteCMTFilePath(path, *container) != SMIS_CMTFile::OK)
            state.SkipWithError("write failed");
}

void BM_ContainerFromAnswer(benchmark::State& state)
{
    MaxArray& a = maxArray();
    for (auto _ : state)
        benchmark::DoNotOptimize(SMIS_CMTFile::ConvertVPK2CMTFile(a.answer.data(), a.answer.size()));
}

void BM_ImageFromContainer(benchmark::State& state)
{
    MaxArray& a = maxArray();
    SMIS_CMTPtr container = SMIS_CMTFile::ConvertVPK2CMTFile(a.answer.data(), a.answer.size());
    for (auto _ : state) {
        auto block = SMIS_CMTConvert::ConvertCMTFile2Global(*container);
        benchmark::DoNotOptimize(SMIS_CMTConvert::ConvertCMTFile2CMT(*container, *block));
    }
}

void BM_EncodeCacheFile(benchmark::State& state)
{
    MaxArray& a = maxArray();
    SMIS_CMTPtr container = SMIS_CMTFile::ConvertVPK2CMTFile(a.answer.data(), a.answer.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(SMIS_CMTCodec::encode(*container));
}

void BM_CompareWithImageInPlace(benchmark::State& state)
{
    MaxArray& a = maxArray();
    SMIS_CMTPtr container = SMIS_CMTFile::ConvertVPK2CMTFile(a.answer.data(), a.answer.size());
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block(SMIS_CMTConvert::ConvertCMTFile2Global(*container));
    std::shared_ptr<const cnfg_config_mgmt_table> image(SMIS_CMTConvert::ConvertCMTFile2CMT(*container, *block));
    for (auto _ : state) {
        VELDARO_RefTable newView(a.address.c_str(), block, image);
        VELDARO_RefTable oldView(a.address.c_str());
        benchmark::DoNotOptimize(SMIS_Indication().indicationConfigManagement(newView, oldView));
        a.drain();
    }
}

// A copy-session table of count sessions with distinct identifiers; every
// tenth has its state byte changed when changed is set.
SMIS_CMT copySessions(std::size_t count, bool changed)
{
    SMIS_CMT t;
    SMIS_INDEX e;
    e.TableId = 0;
    e.Byte1 = 1;
    e.ElementSize = SMIS_Indication::COPY_SESSION_RECORD_SIZE;
    e.ElementCount = static_cast<std::uint16_t>(count);
    e.data.assign(count * e.ElementSize, 0);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* s = e.data.data() + i * e.ElementSize;
        smis::storeLE16(s, static_cast<std::uint16_t>(i * 5));
        s[88] = changed && i % 10 == 0 ? 1 : 0;
    }
    t.index.push_back(std::move(e));
    return t;
}

// The poll's comparison of two copy-session tables, against the number of
// sessions: it costs their number, not its square.
void BM_CompareCopySessions(benchmark::State& state)
{
    MaxArray& a = maxArray();
    const auto count = static_cast<std::size_t>(state.range(0));
    const SMIS_CMT older = copySessions(count, false);
    const SMIS_CMT newer = copySessions(count, true);
    for (auto _ : state) {
        if (SMIS_Indication().indicationCopySession(a.address.c_str(), &newer, &older) != 0)
            state.SkipWithError("comparison failed");
        state.PauseTiming();
        a.drain();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_FullRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FetchTable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteCacheFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ContainerFromAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageFromContainer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeCacheFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareWithImageInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareCopySessions)->Arg(1000)->Arg(4000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
