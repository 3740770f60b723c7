// The configuration methods against the simulator's "masking" scenario as
// several clients see them at once: readers of the array answer while a
// method waits for a slow array, concurrent methods on one array each get
// their own numbers and leave the served table equal to the array, and a
// reference that is not exactly one of the array's elements is refused
// before any command reaches the array.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CIM_StorageSetting.h"
#include "Collected.h"
#include "Instance_Provider_Frame.h"
#include "MaskingArguments.h"
#include "NamedMutex.h"
#include "SMIS_MethodLock.h"
#include "SimulatedArrays.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_ControllerConfigurationService_Provider.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_StorageConfigurationService_Provider.h"
#include "VELDARO_StorageHardwareID.h"
#include "VELDARO_StorageHardwareIDManagementService_Provider.h"
#include "VELDARO_StorageVolume_Provider.h"

using namespace cimple;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* TARGET_PORT = "500000E0D0000100";  // port 0, host-affinity mode
constexpr std::uint64_t MIB = 0x100000;

struct Masking_Scenario {
    static constexpr const char* scenario = "masking";
    static constexpr std::size_t arrays = 1;
    static std::vector<std::string> arguments() { return {}; }
};

using smis::test::accesses;
using smis::test::clear;
using smis::test::texts;

class ConfigurationMethods : public smis::test::Simulated_Arrays_Test<Masking_Scenario> {
protected:
    void SetUp() override
    {
        Simulated_Arrays_Test::SetUp();
        if (HasFatalFailure())
            return;
        // The shortest time-out the configuration allows; every stall below
        // is released well before it.
        dir_->writeEnv({"StorageIP=" + address_ + "," + std::to_string(sim_->port(0)), "ConnectionTimeout=60"});
        storage_ = newService<VELDARO_StorageConfigurationService>();
        controller_ = newService<VELDARO_ControllerConfigurationService>();
        hardware_ = newService<VELDARO_StorageHardwareIDManagementService>();
    }

    void TearDown() override
    {
        for (Instance* i : {static_cast<Instance*>(storage_), static_cast<Instance*>(controller_),
                            static_cast<Instance*>(hardware_)})
            if (i)
                destroy(i);
        Simulated_Arrays_Test::TearDown();
    }

    VELDARO_RAIDStoragePool* pool(const std::string& key) const
    {
        auto* p = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
        p->InstanceID.set(key.c_str());
        return p;
    }
    std::string poolKey() const { return "VELDARO:RSP0000_" + address_; }

    // CreateOrModifyElementFromStoragePool, type 2: the return value; the
    // new volume in made (the caller destroys it).
    std::uint32_t create(const Instance* in, const std::string& name, CIM_LogicalElement*& made)
    {
        VELDARO_StorageConfigurationService_Provider provider;
        Property<String> n;
        n.set(name.c_str());
        Property<uint16> type;
        type.set(2);
        Property<uint64> size;
        size.set(16 * MIB);
        CIM_ConcreteJob* job = nullptr;
        made = nullptr;
        Property<uint32> rc;
        provider.CreateOrModifyElementFromStoragePool(storage_, n, type, job, nullptr, size,
                                                      cast<const CIM_StoragePool*>(in), made, rc);
        return rc.null ? 0xFFFFFFFFu : rc.value;
    }
    std::uint32_t returnToPool(const Instance* element)
    {
        VELDARO_StorageConfigurationService_Provider provider;
        CIM_ConcreteJob* job = nullptr;
        Property<uint32> rc;
        provider.ReturnToStoragePool(storage_, job, cast<const CIM_LogicalElement*>(element), rc);
        return rc.null ? 0xFFFFFFFFu : rc.value;
    }
    // A new view on port 0 for the volume and the host.
    std::uint32_t expose(const std::string& volume, const std::string& host, Array<CIM_SCSIProtocolController*>& out)
    {
        VELDARO_ControllerConfigurationService_Provider provider;
        CIM_ConcreteJob* job = nullptr;
        Property<uint32> rc;
        provider.ExposePaths(controller_, job, texts({volume}), texts({host}), texts({TARGET_PORT}), texts({}),
                             accesses(1), out, rc);
        return rc.null ? 0xFFFFFFFFu : rc.value;
    }
    std::uint32_t hide(const std::string& volume, Array<CIM_SCSIProtocolController*>& view)
    {
        VELDARO_ControllerConfigurationService_Provider provider;
        CIM_ConcreteJob* job = nullptr;
        Property<uint32> rc;
        provider.HidePaths(controller_, job, texts({volume}), texts({}), texts({}), view, rc);
        return rc.null ? 0xFFFFFFFFu : rc.value;
    }

    // The published name of one of the array's volumes.
    std::string someVolumeName() const
    {
        smis::test::Collected<VELDARO_StorageVolume> all;
        EXPECT_EQ(VELDARO_StorageVolume_Provider().enum_instances(nullptr, &all), ENUM_INSTANCES_OK);
        return all.got.empty() ? std::string() : std::string(all.got[0]->Name.value.c_str());
    }

    nlohmann::json commandLines() const { return sim_->control({{"op", "cli_log"}, {"array", 0}})["lines"]; }
    void clearCommandLines() const { sim_->control({{"op", "cli_clear_log"}}); }

    static const VELDARO_StorageVolume* asVolume(const CIM_LogicalElement* e)
    {
        return static_cast<const VELDARO_StorageVolume*>(static_cast<const Instance*>(e));
    }

    VELDARO_StorageConfigurationService* storage_ = nullptr;
    VELDARO_ControllerConfigurationService* controller_ = nullptr;
    VELDARO_StorageHardwareIDManagementService* hardware_ = nullptr;
};

// How long one GetInstance and one EnumerateInstances of the array's
// volumes take.
Clock::duration probe(const VELDARO_StorageVolume* model)
{
    const auto start = Clock::now();
    VELDARO_StorageVolume_Provider provider;
    VELDARO_StorageVolume* got = nullptr;
    EXPECT_EQ(provider.get_instance(model, got), GET_INSTANCE_OK);
    if (got)
        destroy(got);
    smis::test::Collected<VELDARO_StorageVolume> all;
    EXPECT_EQ(provider.enum_instances(nullptr, &all), ENUM_INSTANCES_OK);
    EXPECT_FALSE(all.got.empty());
    return Clock::now() - start;
}

TEST_F(ConfigurationMethods, ReadersAnswerWhileAMethodWaitsForTheArray)
{
    smis::test::Collected<VELDARO_StorageVolume> before;
    ASSERT_EQ(VELDARO_StorageVolume_Provider().enum_instances(nullptr, &before), ENUM_INSTANCES_OK);
    ASSERT_FALSE(before.got.empty());
    const VELDARO_StorageVolume* model = before.got[0];

    struct Case {
        const char* what;
        nlohmann::json arm;    // control request that makes the array slow
        nlohmann::json lift;   // control request that ends it
        std::uint32_t rc;      // the method's answer once the array is back
        bool waitsForLift;     // the method cannot end before the lift
    };
    // The command line stalls in the command itself; the binary channel in
    // the pre-check's refresh, which gives up when the array closes the
    // connection (at the lift); a refused connection is tried again until
    // the time-out, so the method goes on once the array listens again.
    const Case cases[] = {
        {"command line silent",
         {{"op", "cli_fault"}, {"array", 0}, {"command", "create volume"}, {"stall", 50}},
         {{"op", "cli_clear_faults"}, {"array", 0}}, 0, true},
        {"binary channel silent during the pre-check",
         {{"op", "fault"}, {"array", 0}, {"kind", "stall"}, {"seconds", 60}, {"count", 1}},
         {{"op", "clear_faults"}, {"array", 0}}, 0x8030, true},
        {"array refusing connections",
         {{"op", "fault"}, {"array", 0}, {"kind", "refuse"}},
         {{"op", "clear_faults"}, {"array", 0}}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(sim_->control(c.arm)["ok"].get<bool>());
        VELDARO_RAIDStoragePool* in = pool(poolKey());
        CIM_LogicalElement* made = nullptr;
        auto method = std::async(std::launch::async, [&] { return create(in, std::string("SLOW") + c.what[0], made); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const auto until = Clock::now() + std::chrono::seconds(3);
        int probes = 0;
        while (Clock::now() < until && probes < 100) {
            // A reader held by the method would wait for the lift, tens of seconds.
            EXPECT_LT(probe(model), std::chrono::seconds(5)) << "probe " << probes;
            ++probes;
        }
        EXPECT_GT(probes, 1);
        if (c.waitsForLift) {
            EXPECT_EQ(method.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
                << "the array was not slow for the whole probe";
        }
        ASSERT_TRUE(sim_->control(c.lift)["ok"].get<bool>());
        ASSERT_EQ(method.wait_for(std::chrono::seconds(60)), std::future_status::ready);
        EXPECT_EQ(method.get(), c.rc);
        if (c.rc == 0) {
            ASSERT_NE(made, nullptr);
            EXPECT_EQ(returnToPool(made), 0u);
        }
        if (made)
            destroy(made);
        destroy(in);
    }
}

TEST_F(ConfigurationMethods, ConcurrentClientsGetTheirOwnNumbersAndLeaveTheTableEqualToTheArray)
{
    constexpr int CLIENTS = 8;
    const std::size_t groupsBefore = sim_->model(0)["affinity_groups"].size();
    struct Outcome {
        std::vector<std::uint32_t> codes;
        std::string kept;  // DeviceID of the volume the client keeps
        std::string keptName, goneName;
    };
    std::vector<Outcome> outcomes(CLIENTS);
    std::vector<std::thread> clients;
    for (int t = 0; t < CLIENTS; ++t) {
        clients.emplace_back([&, t] {
            Outcome& o = outcomes[std::size_t(t)];
            VELDARO_RAIDStoragePool* in = pool(poolKey());
            CIM_LogicalElement* gone = nullptr;
            CIM_LogicalElement* kept = nullptr;
            o.goneName = "G" + std::to_string(t);
            o.keptName = "K" + std::to_string(t);
            o.codes.push_back(create(in, o.goneName, gone));
            o.codes.push_back(create(in, o.keptName, kept));
            if (gone) {
                Array<CIM_SCSIProtocolController*> view;
                const std::string host = "2000000000000C0" + std::to_string(t);
                o.codes.push_back(expose(asVolume(gone)->Name.value.c_str(), host, view));
                o.codes.push_back(view.size() == 1 ? hide(asVolume(gone)->Name.value.c_str(), view) : 0xFFFFu);
                clear(view);
                o.codes.push_back(returnToPool(gone));
                destroy(gone);
            }
            if (kept) {
                o.kept = asVolume(kept)->DeviceID.value.c_str();
                destroy(kept);
            }
            destroy(in);
        });
    }
    for (std::thread& c : clients)
        c.join();

    std::set<std::string> keptIds;
    for (const Outcome& o : outcomes) {
        EXPECT_EQ(o.codes, (std::vector<std::uint32_t>{0, 0, 0, 0, 0}));
        EXPECT_TRUE(keptIds.insert(o.kept).second) << "two clients were answered volume " << o.kept;
    }

    // The array holds the kept volumes and none of the returned ones, no
    // view is left, and the served volumes are the array's, name for name.
    const nlohmann::json m = sim_->model(0);
    EXPECT_EQ(m["affinity_groups"].size(), groupsBefore);
    std::set<std::uint64_t> onArray;
    std::set<std::string> names;
    for (const auto& v : m["volumes"]) {
        onArray.insert(v["olun"].get<std::uint64_t>());
        names.insert(v.value("name", std::string()));
    }
    ASSERT_EQ(SMIS_PollingService::getInstance()->getConfigManagementInfo(address_.c_str(), 0), 0);
    smis::test::Collected<VELDARO_StorageVolume> served;
    ASSERT_EQ(VELDARO_StorageVolume_Provider().enum_instances(nullptr, &served), ENUM_INSTANCES_OK);
    std::set<std::uint64_t> inTable;
    for (const VELDARO_StorageVolume* v : served.got)
        inTable.insert(std::stoull(std::string(v->DeviceID.value.c_str()).substr(3)));
    EXPECT_EQ(inTable, onArray);
    for (const Outcome& o : outcomes) {
        EXPECT_EQ(names.count(o.keptName), 1u) << o.keptName;
        EXPECT_EQ(names.count(o.goneName), 0u) << o.goneName;
    }
}

TEST_F(ConfigurationMethods, PoolKeysNotExactlyTheArraysAreRefusedWithNothingSent)
{
    const std::string a = address_;
    struct Case {
        const char* what;
        std::string key;
        const char* nameSpace;
    };
    const Case cases[] = {
        {"wider number", "VELDARO:RSP00000_" + a, ""},
        {"signed number", "VELDARO:RSP+000_" + a, ""},
        {"trailing text", "VELDARO:RSP0000x_" + a, ""},
        {"no address", "VELDARO:RSP0000", ""},
        {"another array's address", "VELDARO:RSP0000_10.9.9.9", ""},
        {"another name space", poolKey(), "interop"},
        {"a name space not served", poolKey(), "root/elsewhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clearCommandLines();
        VELDARO_RAIDStoragePool* in = pool(c.key);
        in->__name_space = c.nameSpace;
        CIM_LogicalElement* made = nullptr;
        EXPECT_EQ(create(in, "BAD", made), 5u);
        EXPECT_EQ(made, nullptr);
        if (made)
            destroy(made);
        destroy(in);
        EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
    }
    // A pool goal whose setting is another array's, or in another name space.
    for (const char* nameSpace : {"", "interop"}) {
        SCOPED_TRACE(std::string("goal ") + nameSpace);
        clearCommandLines();
        auto* goal = Instance_Provider_Frame::newInstance<CIM_StorageSetting>();
        goal->InstanceID.set(*nameSpace ? ("VELDARO:SS_RAID1_" + a).c_str() : "VELDARO:SS_RAID1_10.9.9.9");
        goal->__name_space = nameSpace;
        VELDARO_StorageConfigurationService_Provider provider;
        Property<String> name;
        name.set("BADPOOL");
        Property<uint64> size;
        size.set(0);
        CIM_ConcreteJob* job = nullptr;
        CIM_StoragePool* made = nullptr;
        Property<uint32> rc;
        provider.CreateOrModifyStoragePool(storage_, name, job, goal, size, Property<Array<String>>(),
                                           Property<Array<String>>(), made, rc);
        EXPECT_EQ(rc.value, 5u);
        EXPECT_EQ(made, nullptr);
        destroy(goal);
        EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
    }
    // The exact key still makes the volume.
    VELDARO_RAIDStoragePool* in = pool(poolKey());
    CIM_LogicalElement* made = nullptr;
    EXPECT_EQ(create(in, "GOOD", made), 0u);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(returnToPool(made), 0u);
    destroy(made);
    destroy(in);
}

TEST_F(ConfigurationMethods, VolumeExtentViewAndIdentifierKeysNotExactlyTheArraysAreRefusedWithNothingSent)
{
    const std::string a = address_;
    const auto volume = [&](const char* id, const std::string& system, const char* nameSpace = "",
                            const char* cls = "VELDARO_StorageVolume") {
        auto* v = Instance_Provider_Frame::newInstance<VELDARO_StorageVolume>();
        v->DeviceID.set(id);
        v->SystemName.set(system.c_str());
        v->CreationClassName.set(cls);
        v->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        v->__name_space = nameSpace;
        return v;
    };
    // ReturnToStoragePool: volume 1 of the scenario, named wrongly.
    struct VolumeCase {
        const char* what;
        VELDARO_StorageVolume* reference;
    };
    const VolumeCase volumes[] = {
        {"wider number (reads as volume 0)", volume("VOL000001", a)},
        {"signed number", volume("VOL-0001", a)},
        {"another array's system", volume("VOL00001", "10.9.9.9")},
        {"empty system", volume("VOL00001", "")},
        {"another class", volume("VOL00001", a, "", "VELDARO_Other")},
        {"another name space", volume("VOL00001", a, "interop")},
    };
    for (const VolumeCase& c : volumes) {
        SCOPED_TRACE(c.what);
        clearCommandLines();
        EXPECT_EQ(returnToPool(c.reference), 5u);
        EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
        destroy(c.reference);
    }
    EXPECT_EQ(sim_->model(0)["volumes"].size(), 2u);

    // CreateOrModifyElementFromElements from a free extent of group 0.
    const auto extent = [&](const char* id, const std::string& system) {
        auto* e = Instance_Provider_Frame::newInstance<VELDARO_FreeExtent>();
        e->DeviceID.set(id);
        e->SystemName.set(system.c_str());
        e->CreationClassName.set("VELDARO_FreeExtent");
        e->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        return e;
    };
    struct ExtentCase {
        const char* what;
        VELDARO_FreeExtent* reference;
    };
    const ExtentCase extents[] = {
        {"trailing text", extent("FE0000_F000x", a)},
        {"another array's system", extent("FE0000_F000", "10.9.9.9")},
    };
    for (const ExtentCase& c : extents) {
        SCOPED_TRACE(c.what);
        clearCommandLines();
        VELDARO_StorageConfigurationService_Provider provider;
        Property<String> name;
        name.set("BAD");
        Property<uint16> type;
        type.set(2);
        Property<uint64> size;
        size.set(16 * MIB);
        Array<CIM_StorageExtent*> in;
        in.append(cast<CIM_StorageExtent*>(c.reference));
        CIM_ConcreteJob* job = nullptr;
        CIM_LogicalElement* made = nullptr;
        Property<uint32> rc;
        provider.CreateOrModifyElementFromElements(storage_, name, type, job, nullptr, size, in, made, rc);
        EXPECT_EQ(rc.value, 5u);
        EXPECT_EQ(made, nullptr);
        EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
        destroy(c.reference);
    }

    // HidePaths on a view named with another array's system.
    {
        clearCommandLines();
        Array<CIM_SCSIProtocolController*> view;
        auto* ref = VELDARO_AffinityGroupController::create(true);
        ref->CreationClassName.set("VELDARO_AffinityGroupController");
        ref->DeviceID.set("AFG0000_CM00CA00P00");
        ref->SystemName.set("10.9.9.9");
        view.append(cast<CIM_SCSIProtocolController*>(ref));
        EXPECT_EQ(hide(someVolumeName(), view), 5u);
        clear(view);
        EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
    }

    // DeleteStorageHardwareID of the registered host, keyed to another array.
    for (const char* key : {"VELDARO:SHI1000000000000A01_10.9.9.9", "VELDARO:SHI1000000000000A01"}) {
        SCOPED_TRACE(key);
        clearCommandLines();
        auto* id = Instance_Provider_Frame::newInstance<VELDARO_StorageHardwareID>();
        id->InstanceID.set(key);
        VELDARO_StorageHardwareIDManagementService_Provider provider;
        Property<uint32> rc;
        provider.DeleteStorageHardwareID(hardware_, cast<const CIM_StorageHardwareID*>(id), rc);
        EXPECT_EQ(rc.value, 5u);
        destroy(id);
        EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
    }
    EXPECT_EQ(sim_->model(0)["hosts"].size(), 1u);
}

TEST_F(ConfigurationMethods, ExposePathsChecksEveryInitiatorBeforeAnyCommand)
{
    const std::string volume = someVolumeName();
    ASSERT_FALSE(volume.empty());
    for (const char* initiator : {"ABC", "1000000000000A0", "10000000000000A01", "1000000000000A0Z",
                                  "1000000000 000A0", ""}) {
        SCOPED_TRACE(initiator);
        clearCommandLines();
        Array<CIM_SCSIProtocolController*> view;
        VELDARO_ControllerConfigurationService_Provider provider;
        CIM_ConcreteJob* job = nullptr;
        Property<uint32> rc;
        // A well-formed new host first: the bad one must stop both.
        provider.ExposePaths(controller_, job, texts({volume}), texts({"2000000000000D01", initiator}),
                             texts({TARGET_PORT}), texts({}), accesses(1), view, rc);
        EXPECT_EQ(rc.value, 5u);
        EXPECT_EQ(view.size(), 0u);
        clear(view);
        EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
    }
    const nlohmann::json m = sim_->model(0);
    EXPECT_EQ(m["affinity_groups"].size(), 0u);
    EXPECT_EQ(m["hosts"].size(), 1u);
}

// When the array's method lock cannot be taken (its lock file cannot be
// opened, or another method holds it past the wait bound), every method
// that changes the array answers a failure code of its own, as a method and
// not as an error of the call, and sends nothing.
TEST_F(ConfigurationMethods, AMethodLockThatCannotBeTakenFailsTheMethodWithNothingSent)
{
    const std::string volume = someVolumeName();
    ASSERT_FALSE(volume.empty());
    const std::size_t volumesBefore = sim_->model(0)["volumes"].size();
    const std::size_t hostsBefore = sim_->model(0)["hosts"].size();
    const std::size_t groupsBefore = sim_->model(0)["affinity_groups"].size();
    const std::filesystem::path lockFile = dir_->file(
        "run/" + smis::platform::NamedMutex::fileKey(SMIS_MethodLock::mutexName(address_.c_str())) + ".lock");
    std::filesystem::remove(lockFile);
    ASSERT_TRUE(std::filesystem::create_directories(lockFile)) << lockFile;

    const std::vector<std::pair<const char*, std::function<std::uint32_t()>>> methods = {
        {"CreateOrModifyElementFromStoragePool",
         [&] {
             VELDARO_RAIDStoragePool* in = pool(poolKey());
             CIM_LogicalElement* made = nullptr;
             const std::uint32_t rc = create(in, "NOLOCK", made);
             EXPECT_EQ(made, nullptr);
             if (made)
                 destroy(made);
             destroy(in);
             return rc;
         }},
        {"ExposePaths",
         [&] {
             Array<CIM_SCSIProtocolController*> view;
             const std::uint32_t rc = expose(volume, "2000000000000E01", view);
             EXPECT_EQ(view.size(), 0u);
             clear(view);
             return rc;
         }},
        {"CreateStorageHardwareID",
         [&] {
             VELDARO_StorageHardwareIDManagementService_Provider provider;
             Property<String> name, id;
             name.set("NOLOCK");
             id.set("2000000000000E02");
             Property<uint16> type;
             type.set(2);
             CIM_StorageHardwareID* made = nullptr;
             Property<uint32> rc;
             provider.CreateStorageHardwareID(hardware_, name, id, type, Property<String>(), nullptr, made, rc);
             if (made)
                 destroy(made);
             return rc.null ? 0xFFFFFFFFu : rc.value;
         }},
    };
    // busy: the answer must be the busy code, which tells a client to retry.
    auto expectEachFails = [&](const char* cause, bool busy) {
        for (const auto& [method, call] : methods) {
            SCOPED_TRACE(std::string(method) + ": " + cause);
            clearCommandLines();
            std::uint32_t rc = 0;
            EXPECT_NO_THROW(rc = call());
            EXPECT_NE(rc, 0u);
            EXPECT_NE(rc, 0xFFFFFFFFu) << "no return value";
            if (busy)
                EXPECT_EQ(rc, SMIS_MethodLock::BUSY);
            else
                EXPECT_NE(rc, SMIS_MethodLock::BUSY);
            EXPECT_TRUE(commandLines().empty()) << commandLines().dump();
        }
    };
    expectEachFails("the lock file cannot be opened", false);
    std::filesystem::remove(lockFile);

    // Another method holds the lock longer than the (shortened) bound.
    const auto bound = SMIS_MethodLock::waitBound();
    SMIS_MethodLock::setWaitBound(std::chrono::milliseconds(200));
    std::promise<void> held, done;
    std::thread holder([&] {
        const SMIS_MethodLock other(address_.c_str());
        held.set_value();
        done.get_future().wait();
    });
    held.get_future().wait();
    expectEachFails("another method holds the lock", true);
    done.set_value();
    holder.join();
    SMIS_MethodLock::setWaitBound(bound);
    const nlohmann::json m = sim_->model(0);
    EXPECT_EQ(m["volumes"].size(), volumesBefore);
    EXPECT_EQ(m["hosts"].size(), hostsBefore);
    EXPECT_EQ(m["affinity_groups"].size(), groupsBefore);
}

}  // namespace
