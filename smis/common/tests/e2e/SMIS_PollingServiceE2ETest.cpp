// The refresh operations, the polling service and the method pre-check
// against the array simulator, with the indication queue as the observer of
// change records.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ByteOrder.h"
#include "IndicationRecord.h"
#include "SMISMethodCom.h"
#include "SMIS_CMTFile.h"
#include "SMIS_CopyLib.h"
#include "SMIS_Indication.h"
#include "SMIS_PollingService.h"
#include "ScriptedArray.h"
#include "VELDARO_RefTable.h"
#include "VorpakFixture.h"

using namespace cimple;

namespace smis::test {
namespace {

using Clock = std::chrono::steady_clock;

std::uint64_t num(const nlohmann::json& j, const char* key)
{
    return j.contains(key) && j[key].is_number() ? j[key].get<std::uint64_t>() : 0;
}

// Short intervals and a one-second command time-out keep the suite fast.
void useFastService(SMIS_PollingService* service)
{
    SMIS_PollingService::Timing t;
    t.deviceStatusInterval = 1;
    t.pollingInterval = 1;
    t.syncCopyInterval = 1;
    t.stopWait = std::chrono::milliseconds(10000);
    t.taskWait = std::chrono::milliseconds(8000);
    t.startPause = std::chrono::milliseconds(0);
    service->setTiming(t);
    service->setCommandFactory([](const char* address) {
        auto vpk = std::make_unique<TunedVorpak>(address);
        vpk->setTimeout(1);
        return std::unique_ptr<SMIS_Vorpak>(std::move(vpk));
    });
}

template <class Pred>
bool waitFor(Pred pred, std::chrono::seconds limit)
{
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pred();
}

// The kinds of the change records waiting in the queue.
std::vector<int> drainKinds(SMIS_Indication& queue)
{
    std::vector<int> kinds;
    for (;;) {
        void* p = nullptr;
        unsigned long size = 0;
        queue.mq_receive(p, size);
        if (!p)
            return kinds;
        kinds.push_back(static_cast<const std::uint8_t*>(p)[0]);
        std::free(p);
    }
}

class Refresh : public VorpakFixture {
protected:
    void SetUp() override
    {
        VorpakFixture::SetUp();
        service_ = SMIS_PollingService::getInstance();
        ASSERT_NE(service_, nullptr);
        useFastService(service_);
    }
    void TearDown() override
    {
        if (service_) {
            service_->stopService();
            SMIS_PollingService::destroy();
        }
        VorpakFixture::TearDown();
    }
    std::size_t tableRequests(std::size_t atLeast = 0) const { return requestCount(0x4024, atLeast); }

    SMIS_PollingService* service_ = nullptr;
};

TEST_F(Refresh, FullRefreshWritesTheCmfFileAndInstallsTheScenarioImage)
{
    const nlohmann::json m = model();
    SMIS_Indication queue;
    ASSERT_EQ(queue.mq_create(200), 0);

    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);

    const char* cmf = cache_->GetCMTFilePath(address_.c_str(), 0);
    ASSERT_NE(cmf, nullptr);
    SMIS_CMTPtr onDisk;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(cmf, onDisk), SMIS_CMTFile::OK);
    ASSERT_NE(onDisk, nullptr);
    EXPECT_EQ(onDisk->index.size(), 40u);

    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
    std::shared_ptr<const cnfg_config_mgmt_table> image;
    cache_->GetCurrentCMT(address_.c_str(), block, image);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->MgmtInfo().ConfigurationDate(), m["management"]["config_date"].get<std::string>());
    EXPECT_EQ(image->TableUpdateCount(), num(m["management"], "validation_count"));
    EXPECT_EQ(image->HostCount, m["hosts"].size());
    EXPECT_EQ(image->CE().InletFactor(), num(m["ce"], "inlet_factor"));

    // The enclosure summaries are stored beside the table.
    long count = 0;
    void* ce = cache_->GetExTableInfo(address_.c_str(), SMIS_CMTAccess::EX_CE_SUMMARY, nullptr, count);
    EXPECT_NE(ce, nullptr);
    std::free(ce);
    void* de = cache_->GetExTableInfo(address_.c_str(), SMIS_CMTAccess::EX_DE_SUMMARY, nullptr, count);
    ASSERT_NE(de, nullptr);
    EXPECT_EQ(smis::loadLE32(static_cast<std::uint8_t*>(de)), m["des"].size());
    std::free(de);

    // The first table of an array has nothing to compare with.
    EXPECT_TRUE(drainKinds(queue).empty());
}

TEST_F(Refresh, AChangeBetweenTwoRefreshesProducesItsChangeRecords)
{
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    SMIS_Indication queue;
    ASSERT_EQ(queue.mq_create(200), 0);

    // The array releases a RAID group (status 3: the entry is free).
    ASSERT_TRUE(sim_->control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", 0}, {"status", 3}})["ok"]);
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);

    const std::vector<int> kinds = drainKinds(queue);
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), IndicationRecord::KIND_RLU), kinds.end());
    // Nothing else changed: a refresh of the same table sends nothing.
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    EXPECT_TRUE(drainKinds(queue).empty());
}

TEST_F(Refresh, ConditionalRefreshFetchesOnlyWhenTheRevisionMoved)
{
    // No cached image: the whole table is fetched after the table-4 request.
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 1), 0);
    EXPECT_EQ(tableRequests(2), 2u);
    VELDARO_RefTable first(address_.c_str());
    EXPECT_TRUE(first.isValidCMT());

    // Unchanged revision: exactly one table-4 request.
    sim_->control({{"op", "clear_log"}});
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 1), 0);
    EXPECT_EQ(tableRequests(1), 1u);

    // A change moves the revision word: the whole table follows.
    ASSERT_TRUE(sim_->control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", 0}, {"status", 1}})["ok"]);
    const nlohmann::json m = model();
    sim_->control({{"op", "clear_log"}});
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 1), 0);
    EXPECT_EQ(tableRequests(2), 2u);
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
    std::shared_ptr<const cnfg_config_mgmt_table> image;
    cache_->GetCurrentCMT(address_.c_str(), block, image);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->TableUpdateCount(), num(m["management"], "validation_count"));

    EXPECT_EQ(service_->getConfigManagementInfo(address_.c_str(), 2), 1);
    EXPECT_EQ(service_->getConfigManagementInfo(nullptr, 0), 1);
}

// A refresh waiting for a silent array holds no lock that readers take: a
// view opens at once and reads the image in place; the refresh fails later
// and leaves that image alone.
TEST_F(Refresh, AViewOpensAtOnceWhileARefreshWaitsForASilentArray)
{
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    service_->setCommandFactory([](const char* address) {
        auto vpk = std::make_unique<TunedVorpak>(address);
        vpk->setTimeout(6);
        return std::unique_ptr<SMIS_Vorpak>(std::move(vpk));
    });
    ASSERT_TRUE(sim_->fault(0, {{"kind", "stall"}, {"packet", "DA00"}, {"command", 0x4024}, {"seconds", 4}, {"count", 1}}));

    const auto refreshStart = Clock::now();
    std::thread refresh([&] { EXPECT_NE(service_->getConfigManagementInfo(address_.c_str(), 0), 0); });
    // The request reaches the array within a second; the array stays silent.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto start = Clock::now();
    {
        VELDARO_RefTable view(address_.c_str());
        EXPECT_TRUE(view.isValidCMT());
        EXPECT_GE(view.searchOlunFromOluTable(0), 0);
    }
    const auto waited = Clock::now() - start;
    refresh.join();
    EXPECT_LT(waited, std::chrono::milliseconds(500));
    EXPECT_GE(Clock::now() - refreshStart, std::chrono::seconds(3));  // the stall did happen
    VELDARO_RefTable after(address_.c_str());
    EXPECT_TRUE(after.isValidCMT());
}

TEST_F(Refresh, ATableThatCannotBeReadLeavesCacheAndFileAlone)
{
    ASSERT_TRUE(sim_->fault(0, {{"kind", "corrupt_container"}}));
    EXPECT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 1);
    EXPECT_FALSE(std::filesystem::exists(cache_->GetCMTFilePath(address_.c_str(), 0)));
    VELDARO_RefTable view(address_.c_str());
    EXPECT_FALSE(view.isValidCMT());
}

TEST_F(Refresh, CopySessionAndAllocationRefreshesFillTheCpsFileAndStatusKinds)
{
    const nlohmann::json m = model();
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    ASSERT_EQ(service_->getCopySessionInfo(address_.c_str()), 0);

    SMIS_CMTPtr cps;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(cache_->GetCMTFilePath(address_.c_str(), 2), cps), SMIS_CMTFile::OK);
    ASSERT_NE(cps, nullptr);
    ASSERT_EQ(cps->index.size(), 1u);
    EXPECT_EQ(cps->index[0].ElementSize, 96u);
    EXPECT_EQ(cps->index[0].Byte1, 1);

    std::size_t supported = 0;
    for (const auto& s : m["copy_sessions"])
        if (num(s, "type") != 0)
            ++supported;
    EXPECT_EQ(cps->index[0].ElementCount, supported);

    SMIS_CopyLib lib(address_.c_str());
    EXPECT_TRUE(lib.isInitialized());
    Array<unsigned short> ids;
    ASSERT_EQ(lib.getSessionList(0, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, ids), 0);
    EXPECT_EQ(ids.size(), supported);
    for (const auto& s : m["copy_sessions"]) {
        SMIS_COPY_SESSION_INFO info{};
        const int rc = lib.getSessionInfo(static_cast<std::uint16_t>(num(s, "id")), info);
        if (num(s, "type") == 0) {
            EXPECT_EQ(rc, 2);
            continue;
        }
        ASSERT_EQ(rc, 0);
        EXPECT_EQ(info.CopyType, num(s, "type"));
        EXPECT_EQ(info.SessionState, num(s, "state"));
        EXPECT_EQ(info.SessionPhase, num(s, "phase"));
    }

    // Type filter 3 takes copy types 3 and 4; a session is found by its
    // volumes and side.
    std::size_t local = 0;
    for (const auto& s : m["copy_sessions"])
        if (num(s, "type") == 3 || num(s, "type") == 4)
            ++local;
    Array<unsigned short> typed;
    ASSERT_EQ(lib.getSessionList(3, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, typed), 0);
    EXPECT_EQ(typed.size(), local);
    for (const auto& s : m["copy_sessions"]) {
        if (num(s, "type") != 1 && num(s, "type") != 3)
            continue;
        SMIS_COPY_SESSION_INFO info{};
        ASSERT_EQ(lib.getSessionInfo(static_cast<std::uint16_t>(num(s, "id")), info), 0);
        std::uint16_t found = 0;
        EXPECT_EQ(lib.getSessionID(static_cast<std::uint16_t>(num(s, "src")), static_cast<std::uint16_t>(num(s, "dst")),
                                   info.VolumeType, nullptr, 0, &found),
                  0);
        EXPECT_EQ(found, num(s, "id"));
        Array<unsigned short> byVolume;
        ASSERT_EQ(lib.getSessionList(0, static_cast<std::uint16_t>(num(s, "dst")), info.VolumeType, nullptr, byVolume),
                  0);
        bool listed = false;
        for (std::size_t i = 0; i < byVolume.size(); ++i)
            listed = listed || byVolume[i] == num(s, "id");
        EXPECT_TRUE(listed) << "session " << num(s, "id");
    }
    std::uint16_t none = 0;
    EXPECT_EQ(lib.getSessionID(0xFFF0, 0xFFF1, 0, nullptr, 0, &none), 2);

    // A progress change of one session reaches the cached record through
    // the refresh of given sessions.
    const std::uint16_t first = static_cast<std::uint16_t>(ids[0]);
    ASSERT_TRUE(sim_->control({{"op", "advance_copy"}, {"array", 0}, {"ids", nlohmann::json::array({first})}, {"state", 3}})["ok"]);
    Array<unsigned short> one;
    one.append(first);
    ASSERT_EQ(service_->getCopySessionInfo(address_.c_str(), one), 0);
    SMIS_COPY_SESSION_INFO after{};
    ASSERT_EQ(lib.getSessionInfo(first, after), 0);
    EXPECT_EQ(after.SessionState, 3);

    ASSERT_EQ(service_->UpdateAllocatedInfo(address_.c_str()), 0);
    struct KindCount {
        unsigned short kind;
        const char* member;
    };
    for (const KindCount& k : {KindCount{SMIS_CMTAccess::EX_SNAP_DATA_POOL, "snapshot_pools"},
                               KindCount{SMIS_CMTAccess::EX_THIN_POOL_ALARM, "pool_alarms"},
                               KindCount{SMIS_CMTAccess::EX_THIN_VOLUME_ALARM, "volume_alarms"}}) {
        long count = -1;
        void* data = cache_->GetExTableInfo(address_.c_str(), k.kind, nullptr, count);
        EXPECT_EQ(count, static_cast<long>(m[k.member].size())) << k.member;
        std::free(data);
    }
    SMIS_COPY_SDP_INFO* pools = nullptr;
    std::uint8_t poolCount = 0;
    ASSERT_EQ(lib.getSDPInfo(SMIS_CopyLib::ALL_POOLS, pools, poolCount), 0);
    EXPECT_EQ(poolCount, m["snapshot_pools"].size());
    std::free(pools);
    // The ext file holds what the status table holds.
    SMIS_CMTPtr ext;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(cache_->GetCMTFilePath(address_.c_str(), 1), ext), SMIS_CMTFile::OK);
    EXPECT_NE(ext, nullptr);
}

TEST_F(Refresh, MethodPreCheckFollowsFlagsAndReachability)
{
    VELDARO_RefTable none(address_.c_str());
    EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(0, nullptr), 0u);
    EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(1, &none), 0x8030u);  // no image yet
    EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(5, nullptr), 0x8030u);

    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    VELDARO_RefTable view(address_.c_str());
    EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(1, &view), 0u);
    cache_->SetDeviceAvailable(address_.c_str(), 1);
    EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(5, &view), 0x8030u);
    cache_->SetDeviceAvailable(address_.c_str(), 0);

    // A change on the array: the pre-check refreshes and re-binds the view.
    ASSERT_TRUE(sim_->control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", 0}, {"status", 1}})["ok"]);
    const nlohmann::json m = model();
    EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(0xFFFFFFFFu, &view), 0u);
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
    std::shared_ptr<const cnfg_config_mgmt_table> image;
    cache_->GetCurrentCMT(address_.c_str(), block, image);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->TableUpdateCount(), num(m["management"], "validation_count"));
}

TEST_F(Refresh, PollingMakesTheArrayReachableAndStopsAndRestartsWithinBounds)
{
    cache_->SetDeviceAvailable(address_.c_str(), 1);
    ASSERT_TRUE(service_->runService());
    EXPECT_FALSE(service_->runService());  // already running
    // Nothing is polled before the host says the TLS library is ready.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(cache_->GetDeviceAvailable(address_.c_str()), 1);
    service_->setSSLEnvironmentInitialized();

    ASSERT_TRUE(waitFor([&] { return cache_->GetDeviceAvailable(address_.c_str()) == 0; }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitFor(
        [&] {
            VELDARO_RefTable v(address_.c_str());
            return v.isValidCMT();
        },
        std::chrono::seconds(20)));
    {
        VELDARO_RefTable view(address_.c_str());
        EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(5, &view), 0u);
    }
    EXPECT_TRUE(waitFor([&] { return SMIS_CopyLib(address_.c_str()).isInitialized(); }, std::chrono::seconds(20)));

    auto start = Clock::now();
    EXPECT_TRUE(service_->stopService());
    EXPECT_FALSE(service_->isRunning());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

    // A restart works again: the events left set by the stop were reset, so
    // commands are not cancelled at once.
    cache_->SetDeviceAvailable(address_.c_str(), 1);
    start = Clock::now();
    ASSERT_TRUE(service_->runService());
    EXPECT_TRUE(waitFor([&] { return cache_->GetDeviceAvailable(address_.c_str()) == 0; }, std::chrono::seconds(20)));
    EXPECT_TRUE(service_->stopService());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    EXPECT_TRUE(service_->stopService());  // not running: at once
}

TEST(PollingServiceStart, WithoutConfiguredArraysTheServiceDoesNotStart)
{
    TempInstallDir dir;
    dir.writeEnv({});
    SMIS_CMTAccess::destroy();
    SMIS_PollingService* service = SMIS_PollingService::getInstance();
    EXPECT_FALSE(service->runService());
    EXPECT_TRUE(service->stopService());
    SMIS_PollingService::destroy();
}

TEST(PollingServiceStop, AStoppedSimulatorMarksTheArrayNotReachable)
{
    auto sim = std::make_unique<testsupport::ArraysimProcess>("small");
    TempInstallDir dir;
    const std::string address = sim->address(0);
    dir.writeEnv({"StorageIP=" + address + "," + std::to_string(sim->port(0))});
    SMIS_CMTAccess::destroy();
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    ASSERT_NE(cache, nullptr);
    SMIS_PollingService* service = SMIS_PollingService::getInstance();
    useFastService(service);
    ASSERT_TRUE(service->runService());
    service->setSSLEnvironmentInitialized();
    ASSERT_TRUE(waitFor([&] { return cache->GetDeviceAvailable(address.c_str()) == 0; }, std::chrono::seconds(20)));

    sim->stop();
    EXPECT_TRUE(waitFor([&] { return cache->GetDeviceAvailable(address.c_str()) == 1; }, std::chrono::seconds(20)));
    {
        VELDARO_RefTable view(address.c_str());
        EXPECT_EQ(SMISMethodCom::mcFirstCommonProcess(5, &view), 0x8030u);
    }
    const auto start = Clock::now();
    EXPECT_TRUE(service->stopService());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    SMIS_PollingService::destroy();
}

// A scripted array on loopback named by a fresh configuration and cache.
class ScriptedRefresh : public ::testing::Test {
protected:
    void start(ScriptedArray::Script script)
    {
        peer_ = std::make_unique<ScriptedArray>(std::move(script));
        dir_ = std::make_unique<TempInstallDir>();
        dir_->writeEnv({"StorageIP=127.0.0.1," + std::to_string(peer_->port())});
        SMIS_CMTAccess::destroy();
        cache_ = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache_, nullptr);
        cache_->SetDeviceAvailable("127.0.0.1", 0);
        service_ = SMIS_PollingService::getInstance();
    }
    void TearDown() override
    {
        SMIS_PollingService::destroy();
        peer_.reset();
        dir_.reset();
    }
    std::unique_ptr<ScriptedArray> peer_;
    std::unique_ptr<TempInstallDir> dir_;
    SMIS_CMTAccess* cache_ = nullptr;
    SMIS_PollingService* service_ = nullptr;
};

// A well-formed reply that holds no table 1 cannot become an image: neither
// the cmf file nor the image is touched.
TEST_F(ScriptedRefresh, ATableThatDoesNotConvertIsNotWritten)
{
    start([](std::uint16_t code, const std::vector<std::uint8_t>&) {
        std::vector<std::uint8_t> data;
        if (code == 0x4024) {
            data.assign(64, 0);
            data[1] = 1;            // one table
            data[16] = 4;           // id 4, the management information
            smis::storeLE16(data.data() + 20, 1);
            smis::storeLE32(data.data() + 24, 32);
            smis::storeLE32(data.data() + 28, 32);
        } else if (code == 0x4012) {
            data.assign(5400, 0);
        } else if (code == 0x4013) {
            data.assign(8, 0);
        }
        return ScriptedArray::answer(code, data);
    });
    EXPECT_EQ(service_->getConfigManagementInfo("127.0.0.1", 0), 1);
    EXPECT_FALSE(std::filesystem::exists(cache_->GetCMTFilePath("127.0.0.1", 0)));
    VELDARO_RefTable view("127.0.0.1");
    EXPECT_FALSE(view.isValidCMT());
}

// Sessions of unsupported copy types only: the refresh succeeds with an
// empty table and an empty cps file.
TEST_F(ScriptedRefresh, OnlyUnsupportedSessionsGiveAnEmptyTable)
{
    start([](std::uint16_t code, const std::vector<std::uint8_t>&) {
        std::vector<std::uint8_t> data(16 + 2 * 208, 0);
        smis::storeLE16(data.data() + 4, 2);
        for (int i = 0; i < 2; ++i) {
            smis::storeLE16(data.data() + 16 + 208 * i, static_cast<std::uint16_t>(i + 1));
            data[16 + 208 * i + 8] = 3;  // kind 3: not a copy type this system handles
        }
        return ScriptedArray::answer(code, data);
    });
    EXPECT_EQ(service_->getCopySessionInfo("127.0.0.1"), 0);
    SMIS_CMTPtr cps;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(cache_->GetCMTFilePath("127.0.0.1", 2), cps), SMIS_CMTFile::OK);
    ASSERT_NE(cps, nullptr);
    ASSERT_EQ(cps->index.size(), 1u);
    EXPECT_EQ(cps->index[0].ElementCount, 0u);
    Array<unsigned short> ids;
    EXPECT_EQ(SMIS_CopyLib("127.0.0.1").getSessionList(0, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, ids), 0);
    EXPECT_TRUE(ids.empty());
}

// A copy-session list whose continuation number does not advance ends the
// refresh with a failure instead of asking for ever.
TEST(CopySessionPaging, AContinuationThatDoesNotAdvanceEndsTheRefresh)
{
    std::atomic<int> pages{0};
    ScriptedArray peer([&pages](std::uint16_t code, const std::vector<std::uint8_t>&) {
        std::vector<std::uint8_t> data(16 + 208, 0);
        if (code == 0x4199) {
            ++pages;
            smis::storeLE16(data.data() + 4, 1);
            smis::storeLE16(data.data() + 6, 7);  // always "continue from 7"
            smis::storeLE16(data.data() + 16, 1);
            data[16 + 8] = 1;
            data[16 + 9] = 0x10;
        }
        return ScriptedArray::answer(code, data);
    });
    TempInstallDir dir;
    dir.writeEnv({"StorageIP=127.0.0.1," + std::to_string(peer.port())});
    SMIS_CMTAccess::destroy();
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    ASSERT_NE(cache, nullptr);
    cache->SetDeviceAvailable("127.0.0.1", 0);
    SMIS_PollingService* service = SMIS_PollingService::getInstance();
    EXPECT_EQ(service->getCopySessionInfo("127.0.0.1"), 1);
    EXPECT_EQ(pages.load(), 2);
    // The cached table is left as it was: no sessions.
    std::shared_ptr<const SMIS_CMT> table = cache->GetCurrentCopySessionTable("127.0.0.1");
    const SMIS_INDEX* entry = table ? SMIS_CMTCodec::GetIndexTable(*table, 0) : nullptr;
    EXPECT_TRUE(entry == nullptr || entry->ElementCount == 0);
    SMIS_PollingService::destroy();
}

}  // namespace
}  // namespace smis::test
