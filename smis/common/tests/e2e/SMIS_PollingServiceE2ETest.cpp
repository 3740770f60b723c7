// The refresh operations, the polling service and the method pre-check
// against the array simulator, with the indication queue as the observer of
// change records.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ByteOrder.h"
#include "IndicationRecord.h"
#include "LogCapture.h"
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

// The cmf file appears only once its table is served: whoever waits for the
// file (a client told the array is in) never meets the array without an
// image. The file's mutex held here stops the refresh at its write.
TEST_F(Refresh, TheTableIsServedBeforeItsFileIsWritten)
{
    const char* cmf = cache_->GetCMTFilePath(address_.c_str(), 0);
    ASSERT_NE(cmf, nullptr);
    ASSERT_FALSE(std::filesystem::exists(cmf));
    SMIS_MutexHandle file = cache_->GetCMTMutex(address_.c_str(), SMIS_CMTAccess::MUTEX_CMF_FILE);
    ASSERT_NE(file, nullptr);
    std::thread refresh([&] { EXPECT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0); });
    const bool served = waitFor(
        [&] {
            VELDARO_RefTable view(address_.c_str());
            return view.isValidCMT();
        },
        std::chrono::seconds(20));
    EXPECT_FALSE(std::filesystem::exists(cmf));
    cache_->RelaseCMTMutex(file);
    refresh.join();
    EXPECT_TRUE(served) << "the refresh waited for the file before it installed the table";
    EXPECT_TRUE(std::filesystem::exists(cmf));
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
// and leaves that image alone. The array stays silent for a minute (until
// cleared) and the refresh waits as long: a view that waited for it would
// take that long.
TEST_F(Refresh, AViewOpensAtOnceWhileARefreshWaitsForASilentArray)
{
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    service_->setCommandFactory([](const char* address) {
        auto vpk = std::make_unique<TunedVorpak>(address);
        vpk->setTimeout(60);
        return std::unique_ptr<SMIS_Vorpak>(std::move(vpk));
    });
    ASSERT_TRUE(sim_->fault(0, {{"kind", "stall"}, {"packet", "DA00"}, {"command", 0x4024}, {"seconds", 60}, {"count", 1}}));

    std::atomic<bool> refreshed{false};
    std::thread refresh([&] {
        EXPECT_NE(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
        refreshed = true;
    });
    // The request reaches the array within a second; the array stays silent.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto start = Clock::now();
    {
        VELDARO_RefTable view(address_.c_str());
        EXPECT_TRUE(view.isValidCMT());
        EXPECT_GE(view.searchOlunFromOluTable(0), 0);
    }
    const auto waited = Clock::now() - start;
    EXPECT_FALSE(refreshed) << "the refresh did not meet the stall";
    sim_->clearFaults(0);
    refresh.join();
    EXPECT_LT(waited, std::chrono::seconds(5));
    VELDARO_RefTable after(address_.c_str());
    EXPECT_TRUE(after.isValidCMT());
}

// Makes two refreshes overlap: the first refresh that reports its fetch waits
// there (bounded) until release(); any later one runs on.
class Overlap {
public:
    explicit Overlap(SMIS_PollingService* service) : service_(service)
    {
        service_->setFetchHook([this](const char*, const char*) {
            std::unique_lock<std::mutex> lock(mutex_);
            if (taken_)
                return;
            taken_ = true;
            changed_.notify_all();
            changed_.wait_for(lock, std::chrono::seconds(30), [this] { return released_; });
        });
    }
    ~Overlap()
    {
        release();
        service_->setFetchHook({});
    }
    bool waitFetched()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [this] { return taken_; });
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    SMIS_PollingService* service_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool taken_ = false;
    bool released_ = false;
};

std::vector<int> sorted(std::vector<int> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

// Runs first in a thread of its own until it has fetched, then changes the
// array with between and runs second to its end, and only then lets first
// go on. Both results are returned.
std::pair<int, int> overlapping(SMIS_PollingService* service, const std::function<int()>& first,
                                const std::function<void()>& between, const std::function<int()>& second)
{
    int firstResult = -9;
    int secondResult = -9;
    {
        Overlap overlap(service);
        std::thread earlier([&] { firstResult = first(); });
        const bool fetched = overlap.waitFetched();
        EXPECT_TRUE(fetched) << "the first refresh never fetched";
        if (fetched) {
            between();
            secondResult = second();
        }
        overlap.release();
        earlier.join();
    }
    return {firstResult, secondResult};
}

// Of two overlapping table refreshes the later answer stays: in memory, in
// the cmf file and in the enclosure summaries, with exactly the change
// records of going from the old table to that answer. The earlier refresh,
// ending last, still answers 0.
TEST_F(Refresh, OfTwoOverlappingTableRefreshesTheLaterAnswerStays)
{
    const nlohmann::json start = model();
    ASSERT_GE(start["raid_groups"].size(), 2u);
    ASSERT_FALSE(start["des"].empty());
    const std::uint64_t rg0 = num(start["raid_groups"][0], "rlun"), rg1 = num(start["raid_groups"][1], "rlun");
    const std::uint64_t status0 = num(start["raid_groups"][0], "status");
    const std::uint64_t status1 = num(start["raid_groups"][1], "status");
    auto setRaidGroup = [&](std::uint64_t rlun, std::uint64_t status) {
        ASSERT_TRUE(sim_->control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", rlun},
                                   {"status", status}})["ok"]);
    };
    auto refresh = [&] { return service_->getConfigManagementInfo(address_.c_str(), 0); };
    auto driveSummary = [&] {
        long count = 0;
        void* de = cache_->GetExTableInfo(address_.c_str(), SMIS_CMTAccess::EX_DE_SUMMARY, nullptr, count);
        std::vector<std::uint8_t> bytes;
        if (de)
            bytes.assign(static_cast<std::uint8_t*>(de), static_cast<std::uint8_t*>(de) + 8);
        std::free(de);
        return bytes;
    };
    SMIS_Indication queue;
    ASSERT_EQ(queue.mq_create(400), 0);
    ASSERT_EQ(refresh(), 0);

    // The records of both changes refreshed at once, then back to the start.
    setRaidGroup(rg0, 3);
    setRaidGroup(rg1, 3);
    ASSERT_EQ(refresh(), 0);
    const std::vector<int> expected = sorted(drainKinds(queue));
    ASSERT_FALSE(expected.empty());
    setRaidGroup(rg0, status0);
    setRaidGroup(rg1, status1);
    ASSERT_EQ(refresh(), 0);
    drainKinds(queue);
    const std::vector<std::uint8_t> summaryBefore = driveSummary();

    setRaidGroup(rg0, 3);
    const auto [earlier, later] = overlapping(
        service_, refresh,
        [&] { setRaidGroup(rg1, 3); },
        [&] {
            const int r = refresh();
            // The enclosures change once the later refresh is done: the
            // earlier one fetches that, but its table is dropped and its
            // summaries with it.
            EXPECT_TRUE(sim_->control({{"op", "set_status"}, {"array", 0}, {"element", "de_status"},
                                       {"key", num(start["des"][0], "index")}, {"status", 0x22}})["ok"]);
            return r;
        });
    EXPECT_EQ(earlier, 0);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(sorted(drainKinds(queue)), expected);
    EXPECT_EQ(driveSummary(), summaryBefore);

    const nlohmann::json now = model();
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
    std::shared_ptr<const cnfg_config_mgmt_table> image;
    cache_->GetCurrentCMT(address_.c_str(), block, image);
    ASSERT_NE(image, nullptr);
    // The simulator moved on once more (the enclosure change); the image is
    // the one before that.
    EXPECT_EQ(image->TableUpdateCount() + 1, num(now["management"], "validation_count"));
    SMIS_CMTPtr onDisk;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(cache_->GetCMTFilePath(address_.c_str(), 0), onDisk), SMIS_CMTFile::OK);
    ASSERT_NE(onDisk, nullptr);
    const SMIS_INDEX* management = SMIS_CMTCodec::GetIndexTable(*onDisk, 4);
    ASSERT_NE(management, nullptr);
    EXPECT_EQ(smis::loadLE32(management->data.data() + 28), image->TableUpdateCount());

    // The next refresh brings the enclosure change, summaries included.
    ASSERT_EQ(refresh(), 0);
    EXPECT_NE(driveSummary(), summaryBefore);
}

// A cmf file written by another process serving the array is replaced only
// by a table that is plainly later: a later date and count on disk stay, an
// earlier one, or one that disagrees (a later date but a smaller count), is
// replaced. The image in memory is this process's answer either way.
TEST_F(Refresh, TheCmfFileKeepsTheLaterTableOfTwoProcesses)
{
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    const std::string path = cache_->GetCMTFilePath(address_.c_str(), 0);
    struct Case {
        const char* date;
        std::int64_t countStep;
        bool kept;
    } cases[] = {
        {"29991231235959", 5, true},
        {"29991231235959", -1, false},
        {"19990101000000", 0, false},
        {"19990101000000", 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " count step " + std::to_string(c.countStep));
        SMIS_CMTPtr other;
        ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(path, other), SMIS_CMTFile::OK);
        ASSERT_NE(other, nullptr);
        SMIS_INDEX* management = nullptr;
        for (SMIS_INDEX& e : other->index)
            if (e.TableId == 4)
                management = &e;
        ASSERT_NE(management, nullptr);
        const std::uint32_t count = num(model()["management"], "validation_count");
        std::memcpy(management->data.data(), c.date, 14);
        smis::storeLE32(management->data.data() + 28, static_cast<std::uint32_t>(count + c.countStep));
        ASSERT_EQ(SMIS_CMTFile::WriteCMTFilePath(path, *other), SMIS_CMTFile::OK);

        ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
        SMIS_CMTPtr after;
        ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(path, after), SMIS_CMTFile::OK);
        ASSERT_NE(after, nullptr);
        const SMIS_INDEX* now = SMIS_CMTCodec::GetIndexTable(*after, 4);
        ASSERT_NE(now, nullptr);
        const std::string date(reinterpret_cast<const char*>(now->data.data()), 14);
        EXPECT_EQ(date == c.date, c.kept) << date;
        std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
        std::shared_ptr<const cnfg_config_mgmt_table> image;
        cache_->GetCurrentCMT(address_.c_str(), block, image);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->MgmtInfo().ConfigurationDate(), model()["management"]["config_date"].get<std::string>());
    }
}

// Whole-list and chosen-session refreshes overlapping in every order: the
// session ends with the state of the later answer and the change records
// are those of the later refresh alone.
// A new install has no cps file: the first copy-session poll learns the
// sessions the array already has and reports none of them as created; a
// session started after it is reported.
TEST_F(Refresh, TheFirstCopySessionPollOfANewInstallReportsNoSession)
{
    ASSERT_FALSE(model()["copy_sessions"].empty()) << "the scenario has no copy session";
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    SMIS_Indication queue;
    ASSERT_EQ(queue.mq_create(400), 0);
    ASSERT_EQ(service_->getCopySessionInfo(address_.c_str()), 0);
    EXPECT_TRUE(drainKinds(queue).empty());
    const nlohmann::json first = model()["copy_sessions"][0];
    ASSERT_TRUE(sim_->control({{"op", "advance_copy"}, {"array", 0},
                               {"ids", nlohmann::json::array({num(first, "id")})},
                               {"state", num(first, "state") == 4 ? 2 : 4}})["ok"]);
    ASSERT_EQ(service_->getCopySessionInfo(address_.c_str()), 0);
    EXPECT_FALSE(drainKinds(queue).empty()) << "a change after the first poll is reported";
}

TEST_F(Refresh, OfTwoOverlappingCopySessionRefreshesTheLaterAnswerStays)
{
    const nlohmann::json start = model();
    const nlohmann::json* session = nullptr;
    for (const auto& s : start["copy_sessions"])
        if (num(s, "type") == 1 || num(s, "type") == 3)
            session = session ? session : &s;
    ASSERT_NE(session, nullptr) << "the scenario has no local copy session";
    const auto id = static_cast<unsigned short>(num(*session, "id"));
    const std::uint64_t initial = num(*session, "state");
    std::vector<std::uint64_t> states;
    for (std::uint64_t s : {2u, 3u, 4u, 5u})
        if (s != initial)
            states.push_back(s);
    const std::uint64_t earlierState = states[0], laterState = states[1];
    auto setState = [&](std::uint64_t state) {
        ASSERT_TRUE(sim_->control({{"op", "advance_copy"}, {"array", 0}, {"ids", nlohmann::json::array({id})},
                                   {"state", state}})["ok"]);
    };
    Array<unsigned short> chosen;
    chosen.append(id);
    const std::function<int()> whole = [&] { return service_->getCopySessionInfo(address_.c_str()); };
    const std::function<int()> one = [&] { return service_->getCopySessionInfo(address_.c_str(), chosen); };
    auto cachedState = [&] {
        SMIS_COPY_SESSION_INFO info{};
        return SMIS_CopyLib(address_.c_str()).getSessionInfo(id, info) == 0 ? int(info.SessionState) : -1;
    };

    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    SMIS_Indication queue;
    ASSERT_EQ(queue.mq_create(400), 0);
    struct Case {
        const char* name;
        const std::function<int()>& first;
        const std::function<int()>& second;
    } cases[] = {
        {"whole, then whole", whole, whole},
        {"chosen, then whole", one, whole},
        {"whole, then chosen", whole, one},
        {"chosen, then chosen", one, one},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setState(initial);
        ASSERT_EQ(whole(), 0);
        drainKinds(queue);
        // The records of the later refresh alone, then back to the start.
        setState(laterState);
        ASSERT_EQ(c.second(), 0);
        const std::vector<int> expected = sorted(drainKinds(queue));
        ASSERT_FALSE(expected.empty());
        setState(initial);
        ASSERT_EQ(whole(), 0);
        drainKinds(queue);

        setState(earlierState);
        const auto [earlier, later] = overlapping(service_, c.first, [&] { setState(laterState); }, c.second);
        EXPECT_EQ(earlier, 0);
        EXPECT_EQ(later, 0);
        EXPECT_EQ(cachedState(), static_cast<int>(laterState));
        EXPECT_EQ(sorted(drainKinds(queue)), expected);
        // Nothing is left to catch up on.
        ASSERT_EQ(whole(), 0);
        EXPECT_TRUE(drainKinds(queue).empty());
    }
}

// Two overlapping pool status refreshes: the later answer is stored, and
// the earlier one, ending last, neither stores its pool data nor raises the
// alert that its fuller pool would raise against the later answer.
TEST_F(Refresh, OfTwoOverlappingPoolStatusRefreshesTheLaterAnswerStays)
{
    const nlohmann::json start = model();
    ASSERT_FALSE(start["pool_alarms"].empty());
    const std::uint64_t pool = num(start["pool_alarms"][0], "pool");
    const std::uint64_t total = num(start["pool_alarms"][0], "total_mib");
    const std::uint64_t initial = num(start["pool_alarms"][0], "used_mib");
    auto setUsed = [&](std::uint64_t used) {
        ASSERT_TRUE(sim_->control({{"op", "set"}, {"array", 0}, {"path", "/pool_alarms/0/used_mib"}, {"value", used}})["ok"]);
    };
    auto refresh = [&] { return service_->UpdateAllocatedInfo(address_.c_str()); };
    auto storedUsed = [&] {
        long count = 0;
        void* alarms = cache_->GetExTableInfo(address_.c_str(), SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, count);
        std::int64_t used = -1;
        for (long i = 0; alarms && i < count; ++i) {
            const std::uint8_t* a = static_cast<std::uint8_t*>(alarms) + 32 * i;
            if (smis::loadLE16(a) == pool)
                used = smis::loadLE32(a + 8);
        }
        std::free(alarms);
        return used;
    };
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    // An almost full pool fetched first, an almost empty one later.
    const std::uint64_t full = total - 1, empty = 1;
    setUsed(empty);
    ASSERT_EQ(refresh(), 0);
    SMIS_Indication queue;
    ASSERT_EQ(queue.mq_create(400), 0);
    setUsed(full);
    ASSERT_EQ(refresh(), 0);
    ASSERT_FALSE(drainKinds(queue).empty()) << "a pool filling up raises no alert";
    setUsed(initial);
    ASSERT_EQ(refresh(), 0);
    setUsed(empty);
    ASSERT_EQ(refresh(), 0);
    const std::vector<int> expected = sorted(drainKinds(queue));
    setUsed(initial);
    ASSERT_EQ(refresh(), 0);
    drainKinds(queue);

    setUsed(full);
    const auto [earlier, later] = overlapping(service_, refresh, [&] { setUsed(empty); }, refresh);
    EXPECT_EQ(earlier, 0);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(storedUsed(), static_cast<std::int64_t>(empty));
    EXPECT_EQ(sorted(drainKinds(queue)), expected);
    ASSERT_EQ(refresh(), 0);
    EXPECT_TRUE(drainKinds(queue).empty());
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

// On a new install the copy-session task meets no table: it asks nothing
// (the sessions' records need their volumes from the table) and the first
// table's install has the service refresh the copy sessions at once, not a
// polling interval later.
TEST_F(Refresh, TheCopySessionsOfANewInstallFollowItsFirstTableAtOnce)
{
    constexpr std::uint16_t TABLE = 0x4024, SESSIONS = 0x4199;
    SMIS_PollingService::Timing t = service_->timing();
    t.deviceStatusInterval = 3600;
    t.pollingInterval = 3600;
    t.syncCopyInterval = 3600;
    service_->setTiming(t);
    smis::test::LogCapture logs;
    // The array answers the polling's first table busy: the copy-session
    // task runs with no table.
    ASSERT_TRUE(sim_->fault(0, {{"kind", "busy"}, {"command", TABLE}}));
    ASSERT_TRUE(service_->runService());
    service_->setSSLEnvironmentInitialized();
    ASSERT_GE(tableRequests(1), 1u);
    ASSERT_TRUE(waitFor([&] { return logs.hasLog("_proc_CopySessionInfo end"); }, std::chrono::seconds(20)));
    // The copy sessions of the cache: -1 while none were installed.
    auto sessions = [&] {
        std::shared_ptr<const SMIS_CMT> table = cache_->GetCurrentCopySessionTable(address_.c_str());
        const SMIS_INDEX* entry = table ? SMIS_CMTCodec::GetIndexTable(*table, 0) : nullptr;
        return entry ? int(entry->ElementCount) : -1;
    };
    EXPECT_EQ(requestCount(SESSIONS), 0u) << "the copy sessions were asked for before there was a table";
    EXPECT_EQ(sessions(), -1);

    sim_->clearFaults(0);
    ASSERT_EQ(service_->getConfigManagementInfo(address_.c_str(), 0), 0);
    ASSERT_TRUE(waitFor([&] { return sessions() >= 0; }, std::chrono::seconds(20)))
        << "no copy-session refresh followed the first table";
    const int polled = sessions();
    EXPECT_GT(polled, 0);
    ASSERT_EQ(service_->getCopySessionInfo(address_.c_str()), 0);
    EXPECT_EQ(sessions(), polled) << "the polled copy sessions differ from the array's";
    EXPECT_TRUE(service_->stopService());
    EXPECT_FALSE(logs.hasLog("Table access conflict"));
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
// empty table and an empty cps file, and says so in one line, as no error.
TEST_F(ScriptedRefresh, OnlyUnsupportedSessionsGiveAnEmptyTable)
{
    smis::test::LogCapture logs;
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
    EXPECT_TRUE(logs.hasLog("2 copy sessions of 127.0.0.1 are of an unsupported copy type (first: Kind=3"));
    for (const Pegasus::Logger::Record& r : logs.logs()) {
        if (r.message.find("copy type") != std::string::npos) {
            EXPECT_EQ(r.logLevel, Pegasus::Logger::INFORMATION) << r.message;
        }
    }
    SMIS_CMTPtr cps;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(cache_->GetCMTFilePath("127.0.0.1", 2), cps), SMIS_CMTFile::OK);
    ASSERT_NE(cps, nullptr);
    ASSERT_EQ(cps->index.size(), 1u);
    EXPECT_EQ(cps->index[0].ElementCount, 0u);
    Array<unsigned short> ids;
    EXPECT_EQ(SMIS_CopyLib("127.0.0.1").getSessionList(0, SMIS_CopyLib::ALL_VOLUMES, 0, nullptr, ids), 0);
    EXPECT_EQ(ids.size(), 0u);
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
