// The replication service against the array simulator's "coverage"
// scenario (two arrays that mirror to each other): copies are created,
// waited for, controlled and listed on the arrays' command lines, and read
// back as copy relationships.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ArraysimProcess.hpp"
#include "Association_Provider_Frame.h"
#include "CIM_ManagedElement.h"
#include "Collected.h"
#include "Copy_State_Wait.h"
#include "Instance_Provider_Frame.h"
#include "LogCapture.h"
#include "NamedEvent.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_CopyLib.h"
#include "SimulatedArrays.h"
#include "SMIS_MethodLock.h"
#include "SMIS_PollingService.h"
#include "SMIS_RequestContext.h"
#include "TempInstallDir.h"
#include "VELDARO_RemoteServiceAccessPoint_Provider.h"
#include "VELDARO_RemoteStorageVolume_Provider.h"
#include "VELDARO_ReplicationService_Provider.h"
#include "VELDARO_StorageSynchronized_Provider.h"
#include "VELDARO_StorageVolume_Provider.h"

using namespace cimple;

namespace {

using smis::test::Collected;

std::string text(const Instance* i, const char* name)
{
    const Meta_Property* p = i ? find_property(i->meta_class, name) : nullptr;
    if (!p)
        return "";
    const auto* f = reinterpret_cast<const Property<String>*>(reinterpret_cast<const char*>(i) + p->offset);
    return f->null ? "" : f->value.c_str();
}

std::string deviceId(unsigned number)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "VOL%05u", number);
    return buffer;
}

struct CoverageScenario {
    static constexpr const char* scenario = "coverage";
    static constexpr std::size_t arrays = 2;
    // The two arrays need addresses of their own.
    static std::vector<std::string> arguments() { return {"--distinct-addresses"}; }
};

class ReplicationService : public smis::test::Simulated_Arrays_Test<CoverageScenario> {
protected:
    void SetUp() override
    {
        Simulated_Arrays_Test::SetUp();
        Copy_State_Wait::setTiming({std::chrono::milliseconds(50)});
    }

    void TearDown() override
    {
        Copy_State_Wait::setTiming({});
        Simulated_Arrays_Test::TearDown();
    }

    static std::string address(std::size_t i) { return sim_->address(i); }

    static Owned<VELDARO_ReplicationService> service(std::size_t array)
    {
        Owned<VELDARO_ReplicationService> s(Instance_Provider_Frame::newInstance<VELDARO_ReplicationService>());
        s->SystemName.set(String(address(array).c_str()));
        s->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        s->CreationClassName.set("VELDARO_ReplicationService");
        s->Name.set("VELDARO:KESTRIS SMI-S Proxy Server");
        return s;
    }

    static Owned<VELDARO_StorageVolume> volume(std::size_t array, unsigned number)
    {
        Owned<VELDARO_StorageVolume> v(VELDARO_StorageVolume::create(true));
        v->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        v->SystemName.set(String(address(array).c_str()));
        v->CreationClassName.set("VELDARO_StorageVolume");
        v->DeviceID.set(String(deviceId(number).c_str()));
        return v;
    }

    // The access point that names the array.
    static Owned<VELDARO_RemoteServiceAccessPoint> accessPoint(std::size_t array)
    {
        VELDARO_RemoteServiceAccessPoint_Provider provider;
        Collected<VELDARO_RemoteServiceAccessPoint> all;
        EXPECT_EQ(provider.enum_instances(nullptr, &all), ENUM_INSTANCES_OK);
        for (auto* p : all.got)
            if (text(p, "SystemName") == address(array))
                return Owned<VELDARO_RemoteServiceAccessPoint>(p->clone());
        return nullptr;
    }

    struct Created {
        std::uint32_t rc = 0xFFFFFFFF;
        Owned<SNIA_Synchronized> sync;
    };

    static Created create(std::size_t array, std::uint16_t syncType, const Instance* source, const Instance* target,
                          const Instance* sourceAp = nullptr, const Instance* targetAp = nullptr,
                          Property<uint16> wait = {})
    {
        VELDARO_ReplicationService_Provider provider;
        auto svc = service(array);
        Property<uint16> type;
        type.set(syncType);
        CIM_LogicalElement* targetElement =
            static_cast<CIM_LogicalElement*>(const_cast<Instance*>(target));
        CIM_ConcreteJob* job = nullptr;
        SNIA_Synchronized* sync = nullptr;
        Property<uint32> rc;
        EXPECT_EQ(provider.CreateElementReplica(svc.get(), Property<String>(), type, Property<uint16>(),
                                                static_cast<const CIM_LogicalElement*>(source),
                                                static_cast<const CIM_ServiceAccessPoint*>(sourceAp), targetElement,
                                                static_cast<const CIM_ServiceAccessPoint*>(targetAp), nullptr, job,
                                                sync, nullptr, nullptr, wait, rc),
                  INVOKE_METHOD_OK);
        Created out;
        out.rc = rc.null ? 0xFFFFFFFF : rc.value;
        out.sync.reset(sync);
        return out;
    }

    static std::uint32_t modify(std::size_t array, std::uint16_t operation, const Instance* sync,
                                bool force = false, Property<uint16> wait = {})
    {
        VELDARO_ReplicationService_Provider provider;
        auto svc = service(array);
        Property<uint16> op;
        op.set(operation);
        Property<boolean> f;
        if (force)
            f.set(true);
        CIM_ConcreteJob* job = nullptr;
        CIM_SettingsDefineState* state = nullptr;
        Property<uint32> rc;
        EXPECT_EQ(provider.ModifyReplicaSynchronization(svc.get(), op, cast<const SNIA_Synchronized*>(sync), nullptr, {}, job, state, f, wait, rc),
                  INVOKE_METHOD_OK);
        return rc.null ? 0xFFFFFFFF : rc.value;
    }

    static std::uint32_t modifyList(std::size_t array, std::uint16_t operation,
                                    const std::vector<const Instance*>& syncs)
    {
        VELDARO_ReplicationService_Provider provider;
        auto svc = service(array);
        Property<uint16> op;
        op.set(operation);
        Array<SNIA_Synchronized*> list;
        for (const Instance* s : syncs)
            list.append(cast<SNIA_Synchronized*>(s));
        CIM_ConcreteJob* job = nullptr;
        Array<CIM_SettingsDefineState*> states;
        Property<uint32> rc;
        EXPECT_EQ(provider.ModifyListSynchronization(svc.get(), op, list, nullptr, job, states, Property<boolean>(),
                                                     Property<uint16>(), rc),
                  INVOKE_METHOD_OK);
        return rc.null ? 0xFFFFFFFF : rc.value;
    }

    // The relationships that enumeration publishes for the array.
    static std::vector<Owned<VELDARO_StorageSynchronized>> relationships(std::size_t array)
    {
        VELDARO_StorageSynchronized_Provider provider;
        Collected<VELDARO_StorageSynchronized> all;
        EXPECT_EQ(provider.enum_instances(nullptr, &all), ENUM_INSTANCES_OK);
        std::vector<Owned<VELDARO_StorageSynchronized>> out;
        for (auto* s : all.got)
            if (text(s->SyncedElement, "SystemName").find(address(array)) != std::string::npos ||
                text(s->SystemElement, "SystemName").find(address(array)) != std::string::npos)
                out.emplace_back(s->clone());
        return out;
    }

    // The published relationship from volume source to volume target of the
    // array (either end may be remote), or null.
    static Owned<VELDARO_StorageSynchronized> between(std::size_t array, unsigned source, unsigned target)
    {
        for (auto& s : relationships(array))
            if (text(s->SystemElement, "DeviceID") == deviceId(source) &&
                text(s->SyncedElement, "DeviceID") == deviceId(target))
                return std::move(s);
        return nullptr;
    }

    static std::vector<std::string> cliCommands(std::size_t array)
    {
        std::vector<std::string> out;
        const nlohmann::json log = sim_->control({{"op", "cli_log"}, {"array", array}});
        for (const auto& e : log["lines"])
            out.push_back(e.value("line", std::string()));
        return out;
    }

    static bool anyCommandStarts(std::size_t array, const std::string& prefix)
    {
        for (const std::string& c : cliCommands(array))
            if (c.rfind(prefix, 0) == 0)
                return true;
        return false;
    }

};

TEST_F(ReplicationService, CreatesASnapshotAndAMirrorEachResolvedByKey)
{
    auto v14 = volume(0, 14), v15 = volume(0, 15), v16 = volume(0, 16), v17 = volume(0, 17);

    Created snap = create(0, 7, v16.get(), v17.get());
    ASSERT_EQ(snap.rc, 0u);
    ASSERT_NE(snap.sync, nullptr);
    EXPECT_EQ(snap.sync->SyncType.value, 7);
    EXPECT_TRUE(key_eq(snap.sync->SystemElement, v16.get()));
    EXPECT_TRUE(key_eq(snap.sync->SyncedElement, v17.get()));

    Created mirror = create(0, 6, v14.get(), v15.get());
    ASSERT_EQ(mirror.rc, 0u);
    ASSERT_NE(mirror.sync, nullptr);
    EXPECT_EQ(mirror.sync->SyncType.value, 6);
    EXPECT_EQ(mirror.sync->Mode.value, 2);

    // Each answer is the relationship that enumeration publishes.
    for (const Created* c : {&snap, &mirror}) {
        bool found = false;
        for (auto& s : relationships(0))
            found = found || key_eq(s.get(), c->sync.get());
        EXPECT_TRUE(found);
    }
    EXPECT_TRUE(anyCommandStarts(0, "start copy-snap-tirn"));
    EXPECT_TRUE(anyCommandStarts(0, "start copy-mirrex"));
}

// The scenario's copies include sessions that name no time: their
// relationships are dated by the zero interval, never 1 January 1970.
TEST_F(ReplicationService, NoRelationshipIsDatedTheStartOf1970)
{
    std::size_t undated = 0, all = 0;
    for (std::size_t array : {0u, 1u})
        for (const auto& s : relationships(array)) {
            ++all;
            ASSERT_FALSE(s->WhenSynced.null);
            const Datetime& when = s->WhenSynced.value;
            EXPECT_FALSE(when.is_timestamp() && when.usec() == 0) << text(s->SystemElement, "DeviceID");
            undated += when.is_interval() && when.usec() == 0;
        }
    EXPECT_GT(all, 0u);
    EXPECT_GT(undated, 0u) << "the scenario's sessions without a time";
}

TEST_F(ReplicationService, RefusesWhatItCannotCopyBeforeAnyCommand)
{
    auto v14 = volume(0, 14), v15 = volume(0, 15);
    auto ap1 = accessPoint(1);
    ASSERT_NE(ap1, nullptr);
    auto stale = volume(0, 15);
    stale->SystemName.set(String(address(1).c_str()));  // array 1 has no volume 15
    auto thin = volume(0, 6);
    thin->DeviceID.set("TPPV00006");
    struct Case {
        const char* what;
        std::uint16_t syncType;
        const Instance* source;
        const Instance* target;
        const Instance* sourceAp;
        const Instance* targetAp;
        std::uint32_t rc;
    } cases[] = {
        {"clone", 8, v14.get(), v15.get(), nullptr, nullptr, 5},
        {"snapshot to another array", 7, v14.get(), v15.get(), nullptr, ap1.get(), 5},
        {"both access points", 6, v14.get(), v15.get(), ap1.get(), ap1.get(), 5},
        {"no source", 6, nullptr, v15.get(), nullptr, nullptr, 5},
        {"local volume with an access point", 6, v14.get(), v15.get(), nullptr, ap1.get(), 5},
        {"volume of another array without access point", 6, v14.get(), stale.get(), nullptr, nullptr, 5},
        {"volume the other array does not have", 6, v14.get(), stale.get(), nullptr, ap1.get(), 5},
        {"thin pool volume", 6, thin.get(), v15.get(), nullptr, nullptr, 0x8025},
    };
    for (const Case& c : cases) {
        Created r = create(0, c.syncType, c.source, c.target, c.sourceAp, c.targetAp);
        EXPECT_EQ(r.rc, c.rc) << c.what;
        EXPECT_EQ(r.sync, nullptr) << c.what;
    }
    EXPECT_TRUE(cliCommands(0).empty());

    // An access point whose name is not a box ID never reaches the command line.
    auto bad = accessPoint(1);
    auto target = volume(1, 0);
    bad->Name.set("00KESTRIS -rm -rf ####################");
    EXPECT_EQ(create(0, 6, v14.get(), target.get(), nullptr, bad.get()).rc, 5u);
    EXPECT_TRUE(cliCommands(0).empty());
}

TEST_F(ReplicationService, WaitEndsAtTheSynchronisedPhaseOrAtCancelAndNotBefore)
{
    auto v14 = volume(0, 14), v15 = volume(0, 15), v16 = volume(0, 16), v17 = volume(0, 17);
    Property<uint16> wait;
    wait.set(4);
    {
        // The copy moves on while the method waits.
        std::atomic<bool> done{false};
        std::thread mover([&] {
            while (!done) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                sim_->control({{"op", "advance_copy"}, {"array", 0}, {"percent", 40}});
            }
        });
        Created r = create(0, 6, v14.get(), v15.get(), nullptr, nullptr, wait);
        done = true;
        mover.join();
        ASSERT_EQ(r.rc, 0u);
        ASSERT_NE(r.sync, nullptr);
        EXPECT_EQ(r.sync->CopyState.value, 4) << "synchronized";
        EXPECT_EQ(r.sync->PercentSynced.value, 100);
    }
    {
        smis::test::LogCapture logs;
        auto cancel = smis::platform::NamedEvent::create(SMIS_PollingService::CANCEL_EVENT_NAME);
        // Cancelled once the new session is in the cache, that is while the
        // method waits for it.
        std::thread setter([&] {
            SMIS_CopyLib copies(address(0).c_str());
            std::vector<SMIS_COPY_SESSION_INFO> found;
            for (int i = 0; i < 500 && found.empty(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                copies.getSessionRecords(0, 16, 1, nullptr, found);
            }
            cancel->set();
        });
        Created r = create(0, 6, v16.get(), v17.get(), nullptr, nullptr, wait);
        setter.join();
        EXPECT_EQ(r.rc, 4u);
        EXPECT_TRUE(logs.hasLog("Detected signal state on wait"));
        cancel->reset();
    }
    sim_->reset();
    SMIS_PollingService::getInstance()->getCopySessionInfo(address(0).c_str());
    {
        // A copy that stands still for many polls is still waited for: the
        // method answers once it is synchronised, never a failure for a
        // copy that goes on.
        Copy_State_Wait::setTiming({std::chrono::milliseconds(20)});
        auto cancel = smis::platform::NamedEvent::create(SMIS_PollingService::CANCEL_EVENT_NAME);
        std::atomic<bool> done{false};
        const auto started = std::chrono::steady_clock::now();
        std::thread finisher([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            sim_->control({{"op", "advance_copy"}, {"array", 0}, {"percent", 100}});
            // Should the copy never end, the cancel event ends the test.
            for (int i = 0; i < 300 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!done)
                cancel->set();
        });
        Created r = create(0, 6, v14.get(), v15.get(), nullptr, nullptr, wait);
        done = true;
        finisher.join();
        cancel->reset();
        EXPECT_EQ(r.rc, 0u);
        ASSERT_NE(r.sync, nullptr);
        EXPECT_EQ(r.sync->CopyState.value, 4) << "synchronized";
        EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
    }
    // A snapshot does not wait: the value becomes 2.
    EXPECT_EQ(create(0, 7, v16.get(), v17.get(), nullptr, nullptr, wait).rc, 0u);
}

TEST_F(ReplicationService, AWaitHoldsNoMethodLockEndsWhenItsClientLeavesAndWaitsPastTheBoundAreRefused)
{
    auto v14 = volume(0, 14), v15 = volume(0, 15), v16 = volume(0, 16), v17 = volume(0, 17);
    Property<uint16> wait;
    wait.set(4);
    const auto sessionFrom = [](unsigned source) {
        const nlohmann::json model = sim_->model(0);
        for (const auto& s : model["copy_sessions"])
            if (s.value("src", -1) == int(source))
                return true;
        return false;
    };
    Copy_State_Wait::setTiming({std::chrono::milliseconds(50), 1});
    SMIS_RequestContext client;
    std::promise<Created> waited;
    auto result = waited.get_future();
    // The caller queues behind another method of the array: it takes the
    // only place once it holds the lock, not while it waits for it.
    std::promise<void> held, release;
    std::thread holder([&] {
        SMIS_MethodLock lock(address(0).c_str());
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();
    std::thread caller([&] {
        SMIS_RequestContext::Scope scope(client);
        waited.set_value(create(0, 6, v14.get(), v15.get(), nullptr, nullptr, wait));
    });
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(Copy_State_Wait::waitsInProgress(), 0u) << "a caller queued for the lock took a place";
    release.set_value();
    holder.join();
    for (int i = 0; i < 500 && Copy_State_Wait::waitsInProgress() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Copy_State_Wait::waitsInProgress(), 1u);
    for (int i = 0; i < 500 && !sessionFrom(14); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(sessionFrom(14)) << "the copy was started";

    // Another method of the array gets its lock while the copy is waited for.
    auto locked = std::async(std::launch::async, [] { SMIS_MethodLock lock(address(0).c_str()); });
    EXPECT_EQ(locked.wait_for(std::chrono::seconds(5)), std::future_status::ready);

    // A second caller that would wait finds the only place taken: busy, and
    // no copy made on the array. A snapshot sent with the same
    // WaitForCopyState never waits, needs no place, and is made.
    EXPECT_EQ(create(0, 6, v16.get(), v17.get(), nullptr, nullptr, wait).rc, Copy_State_Wait::BUSY);
    EXPECT_FALSE(sessionFrom(16));
    EXPECT_EQ(create(0, 7, v16.get(), v17.get(), nullptr, nullptr, wait).rc, 0u);
    EXPECT_TRUE(sessionFrom(16));

    // The client leaves: the wait ends at once, as failed.
    const auto left = std::chrono::steady_clock::now();
    client.clientLeft();
    const bool ended = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    EXPECT_LT(std::chrono::steady_clock::now() - left, std::chrono::seconds(5));
    caller.join();
    ASSERT_TRUE(ended);
    EXPECT_EQ(result.get().rc, 4u);
    EXPECT_EQ(Copy_State_Wait::waitsInProgress(), 0u);
    sim_->reset();
    SMIS_PollingService::getInstance()->getCopySessionInfo(address(0).c_str());
}

TEST_F(ReplicationService, SuspendResumeRestoreReverseAndStopAMirror)
{
    auto v14 = volume(0, 14), v15 = volume(0, 15);
    Created m = create(0, 6, v14.get(), v15.get());
    ASSERT_EQ(m.rc, 0u);

    // The same relationship named with another array's volume, or in
    // another name space, names no session of this array.
    for (const char* what : {"foreign system", "foreign name space"}) {
        SCOPED_TRACE(what);
        Owned<SNIA_Synchronized> other(m.sync.get()->clone());
        auto* end = static_cast<VELDARO_StorageVolume*>(static_cast<Instance*>(other->SystemElement));
        if (std::string(what) == "foreign system")
            end->SystemName.set("10.9.9.9");
        else
            end->__name_space = "interop";
        EXPECT_EQ(modify(0, 12, other.get()), 5u);
        auto still = between(0, 14, 15);
        ASSERT_NE(still, nullptr);
        EXPECT_NE(still->CopyState.value, 6) << "the mirror was fractured";
    }

    EXPECT_EQ(modify(0, 12, m.sync.get(), true), 5u) << "no force on a local suspend";
    EXPECT_EQ(modify(0, 19, m.sync.get()), 5u) << "a mirror does not return to a pool";

    EXPECT_EQ(modify(0, 12, m.sync.get()), 0u);
    auto s = between(0, 14, 15);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->CopyState.value, 6) << "fractured";
    EXPECT_EQ(modify(0, 14, s.get()), 0u);
    s = between(0, 14, 15);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->CopyState.value, 3);

    // Restore: the copy turns round and runs again.
    EXPECT_EQ(modify(0, 12, s.get()), 0u);
    EXPECT_EQ(modify(0, 15, s.get()), 0u);
    s = between(0, 15, 14);
    ASSERT_NE(s, nullptr) << "restored from the replica";
    EXPECT_EQ(s->CopyState.value, 3);

    EXPECT_EQ(modify(0, 20, s.get()), 0u);
    s = between(0, 14, 15);
    ASSERT_NE(s, nullptr) << "roles reversed";

    // A restore whose run the array refuses turns the copy back: the
    // session stays as it was, fractured in its own direction.
    EXPECT_EQ(modify(0, 12, s.get()), 0u);
    s = between(0, 14, 15);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(sim_->control({{"op", "cli_fault"}, {"array", 0}, {"command", "resume copy-mirrex"}, {"status", 1},
                               {"message", 0x5201}})["ok"]);
    EXPECT_NE(modify(0, 15, s.get()), 0u);
    sim_->control({{"op", "cli_clear_faults"}, {"array", 0}});
    s = between(0, 14, 15);
    ASSERT_NE(s, nullptr) << "turned back";
    EXPECT_EQ(s->CopyState.value, 6);

    // Detach with force stops the session in force mode.
    EXPECT_EQ(modify(0, 8, s.get(), true), 0u);
    EXPECT_EQ(between(0, 14, 15), nullptr);
    EXPECT_TRUE(anyCommandStarts(0, "stop copy-session"));
    // A stale reference names no session any more.
    EXPECT_EQ(modify(0, 8, s.get()), 5u);
}

TEST_F(ReplicationService, RestoreAndStopASnapshot)
{
    auto v16 = volume(0, 16), v17 = volume(0, 17);
    Created snap = create(0, 7, v16.get(), v17.get());
    ASSERT_EQ(snap.rc, 0u);
    EXPECT_EQ(modify(0, 12, snap.sync.get()), 5u) << "a snapshot cannot be fractured";
    EXPECT_EQ(modify(0, 15, snap.sync.get()), 0u);
    EXPECT_TRUE(anyCommandStarts(0, "start copy-tirn"));
    EXPECT_NE(between(0, 17, 16), nullptr) << "the restore copies the replica back";
    EXPECT_EQ(modify(0, 19, snap.sync.get()), 0u);
    EXPECT_EQ(between(0, 16, 17), nullptr);
}

TEST_F(ReplicationService, ListStopsAtABusyEntryAndLeavesTheRestUntouched)
{
    auto v14 = volume(0, 14), v15 = volume(0, 15), v16 = volume(0, 16), v17 = volume(0, 17);
    Created a = create(0, 6, v14.get(), v15.get());
    Created b = create(0, 7, v16.get(), v17.get());
    auto c = between(0, 0, 1);  // the scenario's own mirror
    ASSERT_EQ(a.rc, 0u);
    ASSERT_EQ(b.rc, 0u);
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(modifyList(0, 12, {a.sync.get(), c.get()}), 0u);
    auto sa = between(0, 14, 15), sc = between(0, 0, 1);
    ASSERT_TRUE(sa && sc);

    // A check failure anywhere in the list runs nothing.
    sim_->control({{"op", "cli_clear_log"}});
    EXPECT_EQ(modifyList(0, 12, {sa.get(), b.sync.get()}), 5u);
    EXPECT_TRUE(cliCommands(0).empty());

    // Restore: the snapshot's restore command answers busy.
    ASSERT_TRUE(sim_->control({{"op", "cli_fault"}, {"array", 0}, {"command", "start copy-tirn"}, {"status", 1},
                               {"message", 0x60}})["ok"]);
    EXPECT_EQ(modifyList(0, 15, {sa.get(), b.sync.get(), sc.get()}), 0x8013u);
    EXPECT_NE(between(0, 15, 14), nullptr) << "the first entry ran";
    EXPECT_NE(between(0, 0, 1), nullptr) << "the third entry was not touched";
    EXPECT_EQ(between(0, 0, 1)->CopyState.value, 6);

    // Two failures with different values: 0x8021; the same value twice: it.
    sim_->control({{"op", "cli_clear_faults"}, {"array", 0}});
    auto restored = between(0, 15, 14);
    ASSERT_NE(restored, nullptr);
    ASSERT_TRUE(sim_->control({{"op", "cli_fault"}, {"array", 0}, {"command", "start copy-tirn"}, {"status", 1},
                               {"message", 0x5200}})["ok"]);
    ASSERT_TRUE(sim_->control({{"op", "cli_fault"}, {"array", 0}, {"command", "change copy-mirrex"}, {"status", 1},
                               {"message", 0x5201}})["ok"]);
    EXPECT_EQ(modifyList(0, 15, {b.sync.get(), sc.get()}), 0x8021u);
}

TEST_F(ReplicationService, GetReplicationRelationshipsFilters)
{
    auto v16 = volume(0, 16), v17 = volume(0, 17);
    ASSERT_EQ(create(0, 7, v16.get(), v17.get()).rc, 0u);
    VELDARO_ReplicationService_Provider provider;
    auto svc = service(0);
    auto run = [&](std::uint16_t syncType, std::uint16_t locality, std::uint16_t copyState, std::uint32_t& rc) {
        Property<uint16> st, loc, cs;
        if (syncType)
            st.set(syncType);
        if (locality)
            loc.set(locality);
        if (copyState)
            cs.set(copyState);
        CIM_ConcreteJob* job = nullptr;
        Array<SNIA_Synchronized*> out;
        Property<uint32> r;
        EXPECT_EQ(provider.GetReplicationRelationships(svc.get(), Property<uint16>(), st, Property<uint16>(), loc, cs,
                                                       job, out, r),
                  INVOKE_METHOD_OK);
        rc = r.value;
        std::vector<Owned<SNIA_Synchronized>> held;
        for (std::size_t i = 0; i < out.size(); ++i)
            held.emplace_back(out[i]);
        return held;
    };
    std::uint32_t rc = 0;
    auto all = run(0, 0, 0, rc);
    ASSERT_EQ(rc, 0u);
    EXPECT_EQ(all.size(), relationships(0).size() - 0) << "every showable session of the array";
    auto snapshots = run(7, 0, 0, rc);
    ASSERT_EQ(rc, 0u);
    ASSERT_FALSE(snapshots.empty());
    for (auto& s : snapshots)
        EXPECT_EQ(s->SyncType.value, 7);
    auto remote = run(0, 3, 0, rc);
    ASSERT_EQ(rc, 0u);
    ASSERT_FALSE(remote.empty());
    for (auto& s : remote)
        EXPECT_TRUE(std::string(s->SyncedElement->meta_class->name) == "VELDARO_RemoteStorageVolume" ||
                    std::string(s->SystemElement->meta_class->name) == "VELDARO_RemoteStorageVolume");
    auto fractured = run(0, 0, 6, rc);
    for (auto& s : fractured)
        EXPECT_EQ(s->CopyState.value, 6);
    run(0, 0, 16, rc);
    EXPECT_EQ(rc, 5u);
    run(0, 0, 1, rc);
    EXPECT_EQ(rc, 5u);
}

// The scenario's second remote box is no array of the simulator nor of
// this server: a mirror to it names its volume by number, in the long or
// the short DeviceID form, and is created and published.
TEST_F(ReplicationService, AMirrorToAnArrayThisServerDoesNotManageIsCreated)
{
    const std::string box = "00KESTRIS##VK200##4500009999############";
    auto ap = accessPoint(1);
    ASSERT_NE(ap, nullptr);
    ap->Name.set(String(box.c_str()));
    ap->SystemName.set(String(box.c_str()));
    struct Case {
        const char* what;
        unsigned source;
        const char* deviceId;
        const char* published;
    } cases[] = {
        {"long form", 14, "VOL00003", "VOL00003"},
        {"short form", 16, "VOL000A", "VOL00010"},
    };
    for (const Case& c : cases) {
        auto source = volume(0, c.source);
        auto target = volume(0, 0);
        target->SystemName.set(String(box.c_str()));
        target->DeviceID.set(c.deviceId);
        Created r = create(0, 6, source.get(), target.get(), nullptr, ap.get());
        ASSERT_EQ(r.rc, 0u) << c.what;
        ASSERT_NE(r.sync, nullptr) << c.what;
        EXPECT_TRUE(key_eq(r.sync->SystemElement, source.get())) << c.what;
        ASSERT_STREQ(r.sync->SyncedElement->meta_class->name, "VELDARO_RemoteStorageVolume") << c.what;
        EXPECT_EQ(text(r.sync->SyncedElement, "DeviceID"), c.published) << c.what;
        EXPECT_EQ(text(r.sync->SyncedElement, "SystemName").rfind(box, 0), 0u) << c.what;
    }
    bool toTheBox = false;
    for (const std::string& line : cliCommands(0))
        toTheBox = toTheBox || (line.rfind("start copy-xmirrex", 0) == 0 && line.find(box) != std::string::npos);
    EXPECT_TRUE(toTheBox);
}

TEST_F(ReplicationService, RemoteMirrorIsVisibleFromBothArraysAndControlledFromEither)
{
    auto source = volume(0, 14);
    auto target = volume(1, 0);
    auto ap1 = accessPoint(1);
    ASSERT_NE(ap1, nullptr);
    Created r = create(0, 6, source.get(), target.get(), nullptr, ap1.get());
    ASSERT_EQ(r.rc, 0u);
    ASSERT_NE(r.sync, nullptr);
    EXPECT_STREQ(r.sync->SyncedElement->meta_class->name, "VELDARO_RemoteStorageVolume");
    EXPECT_EQ(text(r.sync->SyncedElement, "SystemName"), text(ap1.get(), "Name") + "_" + address(0));

    // Array 1 sees the same copy with this array's volume as remote source.
    SMIS_PollingService::getInstance()->getCopySessionInfo(address(1).c_str());
    auto there = between(1, 14, 0);
    ASSERT_NE(there, nullptr);
    EXPECT_STREQ(there->SystemElement->meta_class->name, "VELDARO_RemoteStorageVolume");
    EXPECT_EQ(text(there->SyncedElement, "SystemName"), address(1));

    // The remote end is what the remote-volume provider serves.
    VELDARO_RemoteStorageVolume_Provider remotes;
    VELDARO_RemoteStorageVolume* served = nullptr;
    ASSERT_EQ(remotes.get_instance(static_cast<const VELDARO_RemoteStorageVolume*>(
                                       static_cast<const Instance*>(r.sync->SyncedElement)),
                                   served),
              GET_INSTANCE_OK);
    destroy(served);

    EXPECT_EQ(modify(0, 12, r.sync.get()), 0u);
    SMIS_PollingService::getInstance()->getCopySessionInfo(address(1).c_str());
    there = between(1, 14, 0);
    ASSERT_NE(there, nullptr);
    EXPECT_EQ(there->CopyState.value, 6) << "the suspend shows on the other array";
    EXPECT_EQ(modify(1, 14, there.get()), 0u) << "resumed from the other side";
    EXPECT_EQ(modify(0, 8, r.sync.get(), true), 0u);
    EXPECT_EQ(between(0, 14, 0), nullptr);
}

}  // namespace
