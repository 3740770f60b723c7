// The configuration table cache: start-up from cache files, defaults of
// arrays that are not configured, the status table with its keys, lifetimes
// and size checks, and the copy-session and model records.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ByteOrder.h"
#include "CMTBuilder.h"
#include "LogCapture.h"
#include "NamedMutex.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_CMTFile.h"
#include "TempInstallDir.h"
#include "VELDARO_RefTable.h"

using cimple::SMIS_CMTAccess;
using cimple::VELDARO_RefTable;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using Copy = std::unique_ptr<std::uint8_t, FreeDeleter>;

class CMTAccessTest : public ::testing::Test {
protected:
    void SetUp() override { SMIS_CMTAccess::destroy(); }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    // Configures the addresses and starts the cache with a clock at `clock`.
    SMIS_CMTAccess& start(const std::vector<std::string>& addresses, std::vector<std::string> extra = {})
    {
        for (const std::string& a : addresses)
            extra.push_back("StorageIP=" + a);
        dir.writeEnv(extra);
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        EXPECT_NE(cache, nullptr);
        cache->setClock([this] { return clock; });
        return *cache;
    }

    Copy get(SMIS_CMTAccess& cache, unsigned short kind, const void* key, long& count)
    {
        return Copy(static_cast<std::uint8_t*>(cache.GetExTableInfo(A, kind, key, count)));
    }

    static constexpr const char* A = "10.0.0.1";
    smis::test::TempInstallDir dir;
    std::int64_t clock = 1'000'000;
};

TEST_F(CMTAccessTest, CacheFilesLoadAtStartAndBadOnesLeaveNoTable)
{
    smis::test::CMTBuilder b;
    b.maxCounts({.olu = 8, .slu = 8, .rlu = 4, .dlu = 4, .mlu = 8});
    b.rlu(2).Status(0).RaidLevel(5).Name("RG2");
    b.sys().ModelName("KX500#######");
    b.installCmf("10.0.0.1");
    dir.writeFile("data/10.0.0.3.cmf", "not a table at all");
    Bytes truncated = b.bytes();
    truncated.resize(truncated.size() - 1);
    dir.writeFile("data/10.0.0.4.cmf", std::string(truncated.begin(), truncated.end()));
    smis::test::CMTBuilder noBlock;
    noBlock.omitMaxCounts();
    noBlock.rlu(1).Status(0);
    noBlock.installCmf("10.0.0.5");

    smis::test::LogCapture logs;
    SMIS_CMTAccess& cache = start({"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"});
    EXPECT_EQ(cache.getStorageCount(), 5);
    EXPECT_TRUE(logs.hasLog("StorageCount is 5"));
    {
        VELDARO_RefTable t("10.0.0.1");
        ASSERT_TRUE(t.isValidCMT());
        EXPECT_EQ(t.getRLUMaxCount(), 4u);
        EXPECT_EQ(t.getRaidLevel(2), 5);
        char* model = t.getSysModelName();
        EXPECT_STREQ(model, "KX500");
        t.getMemFree(model);
    }
    for (const char* bad : {"10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"}) {
        VELDARO_RefTable t(bad);
        EXPECT_FALSE(t.isValidCMT()) << bad;
        EXPECT_EQ(t.getRLUMaxCount(), 0u) << bad;
        // Status and copy-session tables start empty for every array.
        EXPECT_NE(cache.GetCurrentCMTEx(bad), nullptr) << bad;
        EXPECT_NE(cache.GetCurrentCopySessionTable(bad), nullptr) << bad;
        EXPECT_EQ(cache.SetExTableInfo(bad, 1, nullptr, "0123456789abcdef", 16, 1, 0), SMIS_CMTAccess::OK) << bad;
    }
    VELDARO_RefTable unknown("10.9.9.9");
    EXPECT_FALSE(unknown.isValidCMT());
    EXPECT_TRUE(logs.hasLog("IP is invalid(10.9.9.9)"));
}

TEST_F(CMTAccessTest, ConcurrentFirstCallsCreateOneCache)
{
    dir.writeEnv({std::string("StorageIP=") + A});
    smis::test::LogCapture logs;
    std::vector<SMIS_CMTAccess*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([&seen, t] { seen[t] = SMIS_CMTAccess::getInstance(); });
    for (std::thread& t : threads)
        t.join();
    for (SMIS_CMTAccess* p : seen)
        EXPECT_EQ(p, seen[0]);
    EXPECT_NE(seen[0], nullptr);
    const std::vector<std::string> messages = logs.logMessages(Pegasus::Logger::STANDARD_LOG);
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const std::string& m) { return m.find("New SMIS_CMTAccess Instance") != std::string::npos; }),
              1);
}

TEST_F(CMTAccessTest, ANullAddressMeansTheFirstArray)
{
    smis::test::CMTBuilder b;
    b.installCmf("10.0.0.7");
    start({"10.0.0.7", "10.0.0.8"});
    VELDARO_RefTable t(nullptr);
    EXPECT_TRUE(t.isValidCMT());
    EXPECT_STREQ(t.get_currentIPAddress().c_str(), "10.0.0.7");
}

TEST_F(CMTAccessTest, WithoutArraysEveryLookupAnswersItsDefault)
{
    smis::test::LogCapture logs;
    SMIS_CMTAccess& cache = start({});
    EXPECT_EQ(cache.getStorageCount(), 0);
    EXPECT_STREQ(cache.GetCurrentIP().c_str(), "");
    EXPECT_EQ(cache.GetDeviceAvailable(A), 1);
    EXPECT_TRUE(logs.hasLog("Storage count is 0"));
    EXPECT_EQ(cache.GetSupportInformation(A), 0);
    EXPECT_EQ(cache.GetErrorStatus(A), 255);
    EXPECT_EQ(cache.GetCMTMutex(A, 0), nullptr);
    EXPECT_EQ(cache.SetExTableInfo(A, 1, nullptr, "x", 1, 1, 0), SMIS_CMTAccess::OK);
    long count = 0;
    EXPECT_EQ(cache.GetExTableInfo(A, 1, nullptr, count), nullptr);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(cache.GetCMTFilePath(A, 0), nullptr);
}

TEST_F(CMTAccessTest, ArraysStartUnreachableWithTheirStartValues)
{
    SMIS_CMTAccess& cache = start({A});
    EXPECT_EQ(cache.GetDeviceAvailable(A), 1);
    EXPECT_EQ(cache.GetErrorStatus(A), 254);
    EXPECT_EQ(cache.GetSupportInformation(A), 0);
    cache.SetDeviceAvailable(A, 0);
    cache.SetErrorStatus(A, 7);
    cache.SetSupportInformation(A, 2);
    EXPECT_EQ(cache.GetDeviceAvailable(A), 0);
    EXPECT_EQ(cache.GetErrorStatus(A), 7);
    EXPECT_EQ(cache.GetSupportInformation(A), 2);

    cimple::SMIS_CMT_MANAGER::ModelInfo model{};
    EXPECT_EQ(cache.GetModelInformation(A, model), 0);
    EXPECT_EQ(model, cimple::SMIS_CMT_MANAGER::ModelInfo{});
    model[0] = 0xC1;
    model[31] = 9;
    EXPECT_EQ(cache.SetModelInformation(A, model), 0);
    cimple::SMIS_CMT_MANAGER::ModelInfo back{};
    cache.GetModelInformation(A, back);
    EXPECT_EQ(back, model);

    EXPECT_STREQ(cache.GetCMTFilePath(A, 0), dir.file("data/10.0.0.1.cmf").c_str());
    EXPECT_STREQ(cache.GetCMTFilePath(A, 2), dir.file("data/10.0.0.1.cps").c_str());
    EXPECT_EQ(cache.GetCMTFilePath(A, 3), nullptr);
}

TEST_F(CMTAccessTest, PortLinkStatusIsKeyedByItemIdAndExpires)
{
    SMIS_CMTAccess& cache = start({A}, {"PortLinkStatus=600"});
    auto record = [](std::uint32_t itemId, std::uint8_t fill) {
        Bytes r(64, fill);
        smis::storeLE32(r.data(), itemId);
        return r;
    };
    const std::uint32_t first = 0x10001000, second = 0x10001100;
    ASSERT_EQ(cache.SetExTableInfo(A, 2, &first, record(first, 1).data(), 64, 1, 0), 0);
    ASSERT_EQ(cache.SetExTableInfo(A, 2, &second, record(second, 2).data(), 64, 1, 0), 0);
    clock += 100;
    ASSERT_EQ(cache.SetExTableInfo(A, 2, &first, record(first, 3).data(), 64, 1, 0), 0);

    const SMIS_INDEX* e = SMIS_CMTFile::GetIndexTable(cache.GetCurrentCMTEx(A).get(), 2);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ElementCount, 2) << "same item id replaces, a new one appends";

    long count = 0;
    Copy c = get(cache, 2, &first, count);
    ASSERT_TRUE(c);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(c.get()[63], 3);
    const std::uint32_t absent = 0x10001200;
    EXPECT_FALSE(get(cache, 2, &absent, count));
    EXPECT_EQ(count, -1);

    // The second port was stored 100 s before the first's replacement.
    smis::test::LogCapture logs;
    clock = 1'000'000 + 599;
    EXPECT_TRUE(get(cache, 2, &second, count));
    clock = 1'000'000 + 600;
    EXPECT_FALSE(get(cache, 2, &second, count));
    EXPECT_TRUE(logs.hasLog("Lifetime is over"));
    EXPECT_TRUE(get(cache, 2, &first, count)) << "the replaced one has a new time stamp";
}

TEST_F(CMTAccessTest, StatisticsOlderThanTheirLifetimeAreDiscardedOnStore)
{
    SMIS_CMTAccess& cache = start({A}, {"SessionStatistics=300"});
    auto request = [](std::uint8_t module, const char* name) {
        Bytes k(240, 0);
        k[0] = module;
        k[1] = 1;
        std::strncpy(reinterpret_cast<char*>(k.data() + 8), name, 224);
        k[232] = 0x12;
        return k;
    };
    const Bytes r1 = request(0x10, "iqn.a"), r2 = request(0x10, "iqn.b"), r3 = request(0x11, "iqn.a");
    const Bytes data(64, 0x5A);
    ASSERT_EQ(cache.SetExTableInfo(A, 4, r1.data(), data.data(), 64, 1, 0), 0);
    clock += 200;
    ASSERT_EQ(cache.SetExTableInfo(A, 4, r2.data(), data.data(), 64, 1, 0), 0);
    clock += 150;  // r1 is 350 s old now, r2 150 s
    ASSERT_EQ(cache.SetExTableInfo(A, 4, r3.data(), data.data(), 64, 1, 0), 0);

    const SMIS_INDEX* e = SMIS_CMTFile::GetIndexTable(cache.GetCurrentCMTEx(A).get(), 4);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ElementCount, 2);
    long count = 0;
    EXPECT_FALSE(get(cache, 4, r1.data(), count));
    EXPECT_TRUE(get(cache, 4, r2.data(), count));
    Copy c = get(cache, 4, r3.data(), count);
    ASSERT_TRUE(c);
    EXPECT_EQ(std::memcmp(c.get(), data.data(), 64), 0);
    Bytes other = r2;
    other[239] = 1;
    EXPECT_FALSE(get(cache, 4, other.data(), count)) << "bytes 232-239 are part of the key";
}

TEST_F(CMTAccessTest, SubIndexedKindsHandOutTheirRecords)
{
    SMIS_CMTAccess& cache = start({A}, {"Session=300"});
    // Kind 3: login records per (module id, port).
    const std::uint8_t port0[2] = {0x10, 0}, port1[2] = {0x10, 1};
    Bytes logins(3 * 320);
    for (std::size_t k = 0; k < logins.size(); ++k)
        logins[k] = static_cast<std::uint8_t>(k);
    ASSERT_EQ(cache.SetExTableInfo(A, 3, port0, logins.data(), 320, 3, 0), 0);
    ASSERT_EQ(cache.SetExTableInfo(A, 3, port1, nullptr, 320, 0, 0), 0);
    long count = 0;
    Copy c = get(cache, 3, port0, count);
    ASSERT_TRUE(c);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(std::memcmp(c.get(), logins.data(), logins.size()), 0);
    EXPECT_FALSE(get(cache, 3, port1, count)) << "nobody logged in";
    EXPECT_EQ(count, 0);

    // Kind 7: allocation records, found by volume number.
    Bytes alloc(4 * 8, 0);
    for (std::uint16_t v = 0; v < 4; ++v) {
        smis::storeLE16(alloc.data() + 8 * v, static_cast<std::uint16_t>(100 + v));
        smis::storeLE32(alloc.data() + 8 * v + 4, 1000u * v);
    }
    ASSERT_EQ(cache.SetExTableInfo(A, 7, nullptr, alloc.data(), 8, 4, 0), 0);
    const std::uint16_t volume = 102, missing = 7;
    c = get(cache, 7, &volume, count);
    ASSERT_TRUE(c);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(smis::loadLE32(c.get() + 4), 2000u);
    EXPECT_FALSE(get(cache, 7, &missing, count));
    c = get(cache, 7, nullptr, count);
    EXPECT_EQ(count, 4);

    // A new store replaces the records (and the volume index with them).
    smis::storeLE16(alloc.data() + 16, 7);
    ASSERT_EQ(cache.SetExTableInfo(A, 7, nullptr, alloc.data(), 8, 4, 0), 0);
    EXPECT_TRUE(get(cache, 7, &missing, count));
    EXPECT_FALSE(get(cache, 7, &volume, count));
}

TEST_F(CMTAccessTest, EntriesOfAnotherRecordSizeAreAbsent)
{
    // An ext file whose kind 1 elements are 10 bytes, and whose kind 9 sub-table
    // holds 8-byte records where 64-byte ones belong.
    SMIS_CMT ext;
    SMIS_INDEX e1;
    e1.TableId = 1;
    e1.ElementCount = 1;
    e1.ElementSize = 10;
    e1.data.assign(10, 0x7F);
    SMIS_INDEX e9;
    e9.TableId = 9;
    e9.Flags = SMIS_INDEX::FLAG_SUB_INDEXED;
    e9.ElementCount = 1;
    e9.ElementSize = 24;
    e9.data.assign(24, 0);
    SMIS_SUB_INDEX s;
    s.ElementCount = 2;
    s.ElementSize = 8;
    s.encode(e9.data.data());
    e9.subTables.push_back(Bytes(16, 1));
    ext.index = {e1, e9};
    ext.header[1] = 2;
    ASSERT_TRUE(SMIS_CMTFile::makeDataDirectory());
    ASSERT_EQ(SMIS_CMTFile::WriteCMTFilePath(SMIS_CMTFile::defaultPath(A, SMIS_CMTFile::KIND_EXT), ext), 0);

    smis::test::LogCapture logs;
    SMIS_CMTAccess& cache = start({A});
    long count = 0;
    EXPECT_FALSE(get(cache, 1, nullptr, count));
    EXPECT_EQ(count, -1);
    EXPECT_FALSE(get(cache, 9, nullptr, count));
    EXPECT_EQ(count, -1);

    // Storing the kind again starts the entry over in the kind's layout.
    const Bytes status(16, 0x20);
    ASSERT_EQ(cache.SetExTableInfo(A, 1, nullptr, status.data(), 16, 1, 0), 0);
    EXPECT_TRUE(logs.hasLog("Table size has mismatching"));
    Copy c = get(cache, 1, nullptr, count);
    ASSERT_TRUE(c);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(c.get()[15], 0x20);
}

TEST_F(CMTAccessTest, DriveEnclosureSummaryCountIsClampedTo128)
{
    SMIS_CMTAccess& cache = start({A});
    Bytes summary(516, 0);
    smis::storeLE32(summary.data(), 5000);
    ASSERT_EQ(cache.SetExTableInfo(A, 6, nullptr, summary.data(), 4, 1000, 0), 0) << "longer data is cut";
    long count = 0;
    Copy c = get(cache, 6, nullptr, count);
    ASSERT_TRUE(c);
    EXPECT_EQ(smis::loadLE32(c.get()), 128u);
}

TEST_F(CMTAccessTest, StoredStatusIsWrittenToTheExtFileAndLoadedAgain)
{
    SMIS_CMTAccess& cache = start({A});
    const Bytes device = {0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    ASSERT_EQ(cache.SetExTableInfo(A, 1, nullptr, device.data(), 16, 1, 1), 0);
    const Bytes alloc(8 * 3, 0x33);
    ASSERT_EQ(cache.SetExTableInfo(A, 9, nullptr, alloc.data(), 8, 3, 1), 0);

    SMIS_CMTAccess::destroy();
    SMIS_CMTAccess& again = start({A});
    long count = 0;
    Copy c(static_cast<std::uint8_t*>(again.GetExTableInfo(A, 1, nullptr, count)));
    ASSERT_TRUE(c);
    EXPECT_EQ(std::memcmp(c.get(), device.data(), 16), 0);
    EXPECT_FALSE(get(again, 9, nullptr, count)) << "kind 9 records are 64 bytes, these were 8";
}

TEST_F(CMTAccessTest, CopySessionRecordIsReplacedBySessionId)
{
    SMIS_CMT cps;
    SMIS_INDEX e;
    e.TableId = 0;
    e.Byte1 = 1;
    e.ElementCount = 2;
    e.ElementSize = 96;
    e.data.assign(2 * 96, 0);
    smis::storeLE16(e.data.data(), 5);
    smis::storeLE16(e.data.data() + 96, 6);
    cps.index.push_back(e);
    cps.header[1] = 1;
    ASSERT_TRUE(SMIS_CMTFile::makeDataDirectory());
    ASSERT_EQ(SMIS_CMTFile::WriteCMTFilePath(SMIS_CMTFile::defaultPath(A, SMIS_CMTFile::KIND_CPS), cps), 0);

    SMIS_CMTAccess& cache = start({A});
    std::shared_ptr<const SMIS_CMT> before = cache.GetCurrentCopySessionTable(A);
    Bytes record(96, 0xEE);
    smis::storeLE16(record.data(), 6);
    EXPECT_EQ(cache.SetCurrentCopySessionInfo(A, record.data()), 0);
    std::shared_ptr<const SMIS_CMT> after = cache.GetCurrentCopySessionTable(A);
    EXPECT_EQ(after->index[0].data[96 + 95], 0xEE);
    EXPECT_EQ(before->index[0].data[96 + 95], 0) << "a reader's table does not change under it";

    smis::test::LogCapture logs;
    smis::storeLE16(record.data(), 9);
    EXPECT_EQ(cache.SetCurrentCopySessionInfo(A, record.data()), 0);
    EXPECT_TRUE(logs.hasLog("Session is not found: 9"));
}

TEST_F(CMTAccessTest, ManagementInfoIsCopiedFromTheCurrentImage)
{
    SMIS_CMTAccess& cache = start({A});
    CMM_CMT_MGMNT_ELEM info;
    info.bytes.fill(0xAB);
    EXPECT_FALSE(cache.GetManagementInfo(A, info));
    EXPECT_EQ(info.bytes[0], 0xAB) << "untouched without an image";

    smis::test::CMTBuilder b;
    b.mgmtInfo().ConfigurationDate("20261209120000").TableUpdateCount(42);
    EXPECT_EQ(cache.SetCurrentCMT(A, b.block(), b.image()), 0);
    ASSERT_TRUE(cache.GetManagementInfo(A, info));
    EXPECT_EQ(info.view().ConfigurationDate(), "20261209120000");
    EXPECT_EQ(info.view().TableUpdateCount(), 42u);
}

// A mutex whose lock file cannot be opened is not obtained: every setter
// answers 9 and changes nothing, the readers answer nothing, no cache file
// is touched, and the log names the mutex by its handle.
TEST_F(CMTAccessTest, WithoutItsMutexNothingIsStoredOrWritten)
{
    SMIS_CMTAccess& cache = start({A});
    const std::uint8_t record[16] = {7};
    ASSERT_EQ(cache.SetExTableInfo(A, SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, record, 16, 1, 0), 0);
    smis::test::CMTBuilder b;

    std::filesystem::remove_all(dir.file("run"));
    dir.writeFile("run", "not a folder");
    smis::test::LogCapture logs;
    const std::uint8_t changed[16] = {9};
    EXPECT_EQ(cache.SetExTableInfo(A, SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, changed, 16, 1, 1), 9);
    EXPECT_EQ(cache.SetCurrentCMT(A, b.block(), b.image()), 9);
    EXPECT_EQ(cache.SetCurrentCMTEx(A, std::make_shared<SMIS_CMT>()), 9);
    EXPECT_EQ(cache.SetCurrentCopySessionTable(A, std::make_shared<SMIS_CMT>()), 9);
    cimple::SMIS_CMT_MANAGER::ModelInfo model{};
    EXPECT_EQ(cache.SetModelInformation(A, model), 9);
    SMIS_CMT container;
    for (int kind : {SMIS_CMTFile::KIND_CMF, SMIS_CMTFile::KIND_EXT, SMIS_CMTFile::KIND_CPS}) {
        EXPECT_EQ(cache.WriteCMTFile(A, kind, container), 9) << kind;
        SMIS_CMTPtr read;
        EXPECT_EQ(cache.ReadCMTFile(A, kind, read), 9) << kind;
    }
    long count = 0;
    EXPECT_EQ(get(cache, SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, count), nullptr);
    EXPECT_EQ(cache.GetCMTMutex(A, SMIS_CMTAccess::MUTEX_CMT), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/10.0.0.1.ext")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/10.0.0.1.cmf")));
    const unsigned handle =
        smis::platform::NamedMutex::get(std::string("Global\\SMIS_ConfigManagementTable_Mutex_") + A).handle();
    char expected[128];
    std::snprintf(expected, sizeof expected, "wait mutex error(%s,SMIS_ConfigManagementTable_Mutex,0x%x) - Failed(", A,
                  handle);
    EXPECT_TRUE(logs.hasLog(expected)) << expected;

    // With the run folder back the stored data is still the first record.
    std::filesystem::remove(dir.file("run"));
    Copy status = get(cache, SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, count);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status.get()[0], 7);
    VELDARO_RefTable view(A);
    EXPECT_FALSE(view.isValidCMT());
}

}  // namespace
