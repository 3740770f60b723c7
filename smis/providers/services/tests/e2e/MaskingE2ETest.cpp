// The masking methods against the array simulator: each call runs its
// commands on the simulated array's command line and the result is read
// back from the refreshed configuration table.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ArraysimLogin.h"
#include "ArraysimProcess.hpp"
#include "SMIS_CMTAccess.h"
#include "SMIS_PollingService.h"
#include "SMISProviderLUNConfiguration.h"
#include "Instance_Provider_Frame.h"
#include "MaskingArguments.h"
#include "TempInstallDir.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AffinityGroupController_Provider.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_StorageConfigurationService_Provider.h"
#include "VELDARO_ControllerConfigurationService_Provider.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageHardwareIDManagementService_Provider.h"
#include "VELDARO_StorageHardwareID.h"
#include "VELDARO_StorageVolume_Resource.h"

using namespace cimple;
using smis::test::accesses;
using smis::test::clear;
using smis::test::texts;

namespace {

// The simulator's "masking" scenario: one FC adapter (module 0x40), port 0
// in host-affinity mode, port 1 in LUN-mapping mode, each with its map
// entry; two volumes; one registered host.

class Masking : public ::testing::Test {
protected:
    virtual const char* scenario() const { return "masking"; }
    virtual std::vector<std::string> arguments() const { return {}; }

    void SetUp() override
    {
        dir_ = std::make_unique<smis::test::TempInstallDir>();
        sim_ = std::make_unique<testsupport::ArraysimProcess>(scenario(), arguments());
        address_ = sim_->address(0);
        ASSERT_NO_FATAL_FAILURE(testsupport::connectFirstArray(*sim_, *dir_));
        SMIS_CMTAccess::destroy();
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        cache->SetDeviceAvailable(address_.c_str(), 0);
        ASSERT_EQ(SMIS_PollingService::getInstance()->getConfigManagementInfo(address_.c_str(), 0), 0);
        service_ = VELDARO_ControllerConfigurationService::create(true);
        service_->SystemName.set(address_.c_str());
    }

    void TearDown() override
    {
        if (service_)
            destroy(service_);
        SMIS_PollingService::destroy();
        SMIS_CMTAccess::destroy();
        if (sim_) {
            EXPECT_EQ(sim_->stop(), 0) << sim_->output();
        }
        sim_.reset();
        dir_.reset();
    }

    // The published name of a volume.
    std::string volumeName(std::uint16_t olun)
    {
        int slu = -1;
        {
            VELDARO_RefTable table(address_.c_str());
            const int olu = table.searchOlunFromOluTable(olun);
            slu = olu < 0 ? -1 : table.searchSlunFromSluTable(table.getOluSlun(olu, 0));
        }
        VELDARO_StorageVolume* v = nullptr;
        VELDARO_StorageVolume_Resource(address_.c_str()).createInstance(v, slu);
        if (!v)
            return "";
        const std::string name = v->Name.value.c_str();
        destroy(v);
        return name;
    }

    nlohmann::json model() const { return sim_->model(0); }

    std::unique_ptr<smis::test::TempInstallDir> dir_;
    std::unique_ptr<testsupport::ArraysimProcess> sim_;
    std::string address_;
    VELDARO_ControllerConfigurationService* service_ = nullptr;
};

TEST_F(Masking, ExposeThenHideAHostViewAndExposeToTheDefaultView)
{
    VELDARO_ControllerConfigurationService_Provider provider;
    const std::string v0 = volumeName(0), v1 = volumeName(1);
    ASSERT_FALSE(v0.empty());

    // A new view on port 0 for a new host and the registered one.
    CIM_ConcreteJob* job = reinterpret_cast<CIM_ConcreteJob*>(1);
    Array<CIM_SCSIProtocolController*> spcs;
    Property<uint32> rc;
    ASSERT_EQ(provider.ExposePaths(service_, job, texts({v0}), texts({"2000000000000B01", "1000000000000a01"}),
                                   texts({"500000E0D0000100"}), texts({}), accesses(1), spcs, rc),
              INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    EXPECT_EQ(job, nullptr);
    ASSERT_EQ(spcs.size(), 1u);
    EXPECT_STREQ(spcs[0]->DeviceID.value.c_str(), "AFG0000_CM00CA00P00");
    nlohmann::json m = model();
    ASSERT_EQ(m["affinity_groups"].size(), 1u);
    EXPECT_EQ(m["affinity_groups"][0]["luns"][0], 0);
    EXPECT_EQ(m["hosts"].size(), 2u);

    // The second volume added to that view; the same host again is refused.
    ASSERT_EQ(provider.ExposePaths(service_, job, texts({v1}), texts({}), texts({}), texts({"5"}), accesses(1), spcs,
                                   rc),
              INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    ASSERT_EQ(spcs.size(), 1u);
    EXPECT_EQ(model()["affinity_groups"][0]["luns"][5], 1);
    ASSERT_EQ(provider.ExposePaths(service_, job, texts({}), texts({"2000000000000B01"}), texts({}), texts({}),
                                   accesses(0), spcs, rc),
              INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0x1005u);
    EXPECT_EQ(spcs.size(), 0u);

    Array<CIM_SCSIProtocolController*> view;
    auto nameTheView = [&] {
        clear(view);
        VELDARO_AffinityGroupController* ref = VELDARO_AffinityGroupController::create(true);
        ref->CreationClassName.set("VELDARO_AffinityGroupController");
        ref->SystemName.set(address_.c_str());
        ref->DeviceID.set("AFG0000_CM00CA00P00");
        view.append(cast<CIM_SCSIProtocolController*>(ref));
    };

    // One host named twice (in two letter cases) is refused before any
    // command.
    nameTheView();
    ASSERT_TRUE(sim_->control({{"op", "cli_clear_log"}})["ok"]);
    ASSERT_EQ(provider.HidePaths(service_, job, texts({}), texts({"2000000000000B01", "2000000000000b01"}), texts({}),
                                 view, rc),
              INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 5u);
    EXPECT_TRUE(sim_->control({{"op", "cli_log"}, {"array", 0}})["lines"].empty());
    nameTheView();

    // Hiding both volumes removes the group from the port and the array.
    ASSERT_EQ(provider.HidePaths(service_, job, texts({v0, v1}), texts({}), texts({}), view, rc), INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    EXPECT_EQ(view.size(), 0u);
    EXPECT_EQ(model()["affinity_groups"].size(), 0u);
    clear(view);

    // The default view of port 1.
    VELDARO_LUNMappingController* lm = VELDARO_LUNMappingController::create(true);
    lm->CreationClassName.set("VELDARO_LUNMappingController");
    lm->SystemName.set(address_.c_str());
    lm->DeviceID.set("LM_CM00CA00P01");
    view.append(cast<CIM_SCSIProtocolController*>(lm));
    ASSERT_EQ(provider.ExposeDefaultLUs(service_, job, texts({v1}), texts({}), texts({}), accesses(1), view, rc),
              INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    ASSERT_EQ(view.size(), 1u);
    EXPECT_STREQ(view[0]->DeviceID.value.c_str(), "LM_CM00CA00P01");
    m = model();
    bool mapped = false;
    for (const auto& map : m["lun_maps"])
        if (map["number"] == 1 && !map["luns"].empty() && map["luns"][0] == 1)
            mapped = true;
    EXPECT_TRUE(mapped) << m["lun_maps"].dump();
    clear(view);
    clear(spcs);
}

// Host affinity changes sent port by port: when the array refuses a later
// port, the engine takes back what the earlier ports accepted, in either
// direction, so that a failed call leaves every port as it was.
TEST_F(Masking, HostAffinitiesOfEarlierPortsAreTakenBackWhenALaterPortFails)
{
    constexpr std::uint16_t PORT0 = 0x4000, PORT1 = 0x4001, GROUP = 0, HOST0 = 0, UNKNOWN_HOST = 99;
    {
        SMISProviderLUNConfiguration lc(0x0600, address_.c_str());
        lc.addLUNMappingToZoneInf(0, 0);
        lc.addLUNMappingToTargetList(0, 0);
        lc.addZoneInf(GROUP);
        ASSERT_EQ(lc.registAffinityGroup(SMISProviderLUNConfiguration::LC_CREATE), 0);
    }
    // Port 0 binds the registered host; port 1 names a host the array does
    // not know, so the array refuses it.
    auto twoPorts = [&](SMISProviderLUNConfiguration& lc, std::uint16_t secondHost) {
        lc.addHostMappingToTargetList(HOST0, GROUP);
        lc.addHostZoneList(PORT0);
        lc.addHostMappingToTargetList(secondHost, GROUP);
        lc.addHostZoneList(PORT1);
    };
    // A change port 0 takes and port 1 refuses, then taken back.
    auto refusedThenUndone = [&](SMISProviderLUNConfiguration::LCAccsMode mode) {
        const nlohmann::json was = model()["host_maps"];
        SMISProviderLUNConfiguration lc(0x0600, address_.c_str());
        twoPorts(lc, UNKNOWN_HOST);
        EXPECT_NE(lc.registHostAffinity(mode), 0);
        EXPECT_NE(model()["host_maps"], was);
        EXPECT_EQ(lc.undoHostAffinities(), 0);
        EXPECT_EQ(model()["host_maps"], was);
    };
    refusedThenUndone(SMISProviderLUNConfiguration::LC_SET);
    // Both ports bound, then a release refused on port 1: port 0 is bound
    // again.
    {
        SMISProviderLUNConfiguration lc(0x0600, address_.c_str());
        twoPorts(lc, HOST0);
        ASSERT_EQ(lc.registHostAffinity(SMISProviderLUNConfiguration::LC_SET), 0);
    }
    refusedThenUndone(SMISProviderLUNConfiguration::LC_DELETE);
}

// Hosts bound on port 0 (host map 0) other than the 0xFFFF filler.
std::size_t boundHosts(const nlohmann::json& m)
{
    std::size_t n = 0;
    for (const auto& map : m["host_maps"])
        if (map["index"] == 0)
            for (const auto& h : map["hosts"])
                n += h["host"] != 65535;
    return n;
}

TEST_F(Masking, HidingOnlyHostsKeepsTheViewAndHidingDefaultLUsEmptiesTheDefaultView)
{
    VELDARO_ControllerConfigurationService_Provider provider;
    const std::string v0 = volumeName(0), v1 = volumeName(1);
    CIM_ConcreteJob* job = nullptr;
    Array<CIM_SCSIProtocolController*> spcs;
    Property<uint32> rc;
    ASSERT_EQ(provider.ExposePaths(service_, job, texts({v0}), texts({"2000000000000B01", "1000000000000A01"}),
                                   texts({"500000E0D0000100"}), texts({}), accesses(1), spcs, rc),
              INVOKE_METHOD_OK);
    ASSERT_EQ(rc.value, 0u);
    ASSERT_EQ(spcs.size(), 1u);
    ASSERT_EQ(boundHosts(model()), 2u);

    // One host leaves the view; the view and its volume stay.
    Array<CIM_SCSIProtocolController*> view;
    view.append(static_cast<CIM_SCSIProtocolController*>(clone(spcs[0])));
    ASSERT_EQ(provider.HidePaths(service_, job, texts({}), texts({"2000000000000B01"}), texts({}), view, rc),
              INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    ASSERT_EQ(view.size(), 1u);
    EXPECT_STREQ(view[0]->DeviceID.value.c_str(), "AFG0000_CM00CA00P00");
    nlohmann::json m = model();
    EXPECT_EQ(boundHosts(m), 1u);
    ASSERT_EQ(m["affinity_groups"].size(), 1u);
    EXPECT_EQ(m["affinity_groups"][0]["luns"][0], 0);
    clear(view);
    clear(spcs);

    // A volume put in the default view of port 1 and taken out again.
    auto defaultView = [&] {
        VELDARO_LUNMappingController* lm = VELDARO_LUNMappingController::create(true);
        lm->CreationClassName.set("VELDARO_LUNMappingController");
        lm->SystemName.set(address_.c_str());
        lm->DeviceID.set("LM_CM00CA00P01");
        view.append(cast<CIM_SCSIProtocolController*>(lm));
    };
    auto mappedInDefault = [&] {
        const nlohmann::json now = model();
        for (const auto& map : now["lun_maps"])
            if (map["number"] == 1)
                return !map["luns"].empty();
        return false;
    };
    defaultView();
    ASSERT_EQ(provider.ExposeDefaultLUs(service_, job, texts({v1}), texts({}), texts({}), accesses(1), view, rc),
              INVOKE_METHOD_OK);
    ASSERT_EQ(rc.value, 0u);
    ASSERT_TRUE(mappedInDefault());
    clear(view);
    defaultView();
    ASSERT_EQ(provider.HideDefaultLUs(service_, job, texts({v1}), texts({}), view, rc), INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    ASSERT_EQ(view.size(), 1u);
    EXPECT_STREQ(view[0]->DeviceID.value.c_str(), "LM_CM00CA00P01");
    EXPECT_FALSE(mappedInDefault()) << model()["lun_maps"].dump();
    clear(view);
}

// A host-affinity port on the second half of the module (module id 0x48,
// number byte 2: CM00 CA00 P02), added to the array: a view exposed on it
// is published under its key, and hiding it through that key removes it.
TEST_F(Masking, AViewOnTheSecondHalfOfAModuleIsExposedSeenAndHidden)
{
    const nlohmann::json port = {{"index", 0}, {"security_mode", 128}, {"wwn", "500000E0D0000A00"}};
    const nlohmann::json adapter = {{"index", 1}, {"module_id", 0x48}, {"ports", nlohmann::json::array({port})}};
    // The port's own entry of the host map, as every port that takes views has.
    const nlohmann::json map = {{"index", 2}, {"ca_module_id", 0x48}, {"port_no", 2}, {"lun_map", 2}};
    const nlohmann::json lunMap = {{"number", 2}, {"luns", nlohmann::json::array()}};
    const nlohmann::json added = sim_->control(
        {{"op", "patch"},
         {"array", 0},
         {"patch",
          {{{"op", "add"}, {"path", "/cas/-"}, {"value", adapter}},
           {{"op", "add"}, {"path", "/lun_maps/-"}, {"value", lunMap}},
           {{"op", "add"}, {"path", "/host_maps/-"}, {"value", map}}}}});
    ASSERT_TRUE(added["ok"]) << added.dump();
    ASSERT_EQ(model()["cas"][1]["ports"][0]["port_no"], 2) << "the second half numbers its ports 2 and 3";
    ASSERT_EQ(SMIS_PollingService::getInstance()->getConfigManagementInfo(address_.c_str(), 0), 0);

    VELDARO_ControllerConfigurationService_Provider provider;
    const std::string v0 = volumeName(0);
    CIM_ConcreteJob* job = nullptr;
    Array<CIM_SCSIProtocolController*> spcs;
    Property<uint32> rc;
    ASSERT_EQ(provider.ExposePaths(service_, job, texts({v0}), texts({"2000000000000B02"}),
                                   texts({"500000E0D0000A00"}), texts({}), accesses(1), spcs, rc),
              INVOKE_METHOD_OK);
    ASSERT_EQ(rc.value, 0u);
    ASSERT_EQ(spcs.size(), 1u);
    const std::string key = spcs[0]->DeviceID.value.c_str();
    EXPECT_EQ(key.substr(key.size() - 12), "_CM00CA00P02") << key;

    // Seen: the controller provider serves the view under that key, on the
    // port's own numbers.
    auto found = [&] {
        VELDARO_AffinityGroupController* m = VELDARO_AffinityGroupController::create(true);
        m->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        m->SystemName.set(address_.c_str());
        m->CreationClassName.set("VELDARO_AffinityGroupController");
        m->DeviceID.set(key.c_str());
        VELDARO_AffinityGroupController_Provider controllers;
        VELDARO_AffinityGroupController* got = nullptr;
        const Get_Instance_Status status = controllers.get_instance(m, got);
        const bool seen = status == GET_INSTANCE_OK && got && got->PortNo.value == 2 && got->CMSlotNumber.value == 0;
        if (got)
            destroy(got);
        destroy(m);
        return seen;
    };
    EXPECT_TRUE(found());

    // Hidden through its key: the group leaves the port and the array.
    Array<CIM_SCSIProtocolController*> view;
    view.append(static_cast<CIM_SCSIProtocolController*>(clone(spcs[0])));
    ASSERT_EQ(provider.HidePaths(service_, job, texts({v0}), texts({}), texts({}), view, rc), INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    EXPECT_EQ(model()["affinity_groups"].size(), 0u);
    EXPECT_FALSE(found());
    clear(view);
    clear(spcs);
}

// The "coverage" scenario's FC adapter on the second half of CM 0 (module
// id 0x48): its port 0 (number byte 2, CM00 CA00 P02) is in LUN-mapping
// mode. Its default view takes a volume, shows it and gives it back.
class CoverageMasking : public Masking {
protected:
    const char* scenario() const override { return "coverage"; }
    // Its arrays need addresses of their own for their command lines.
    std::vector<std::string> arguments() const override { return {"--distinct-addresses"}; }
};

TEST_F(CoverageMasking, TheDefaultViewOfASecondHalfPortIsExposedSeenAndHidden)
{
    VELDARO_ControllerConfigurationService_Provider provider;
    const std::string volume = volumeName(14);
    ASSERT_FALSE(volume.empty());
    CIM_ConcreteJob* job = nullptr;
    Property<uint32> rc;
    Array<CIM_SCSIProtocolController*> view;
    auto defaultView = [&] {
        VELDARO_LUNMappingController* lm = VELDARO_LUNMappingController::create(true);
        lm->SystemName.set(address_.c_str());
        lm->CreationClassName.set("VELDARO_LUNMappingController");
        lm->DeviceID.set("LM_CM00CA00P02");
        view.append(cast<CIM_SCSIProtocolController*>(lm));
    };
    // The volume as the port's default view maps it, from the array's model.
    auto mapped = [&] {
        const nlohmann::json m = model();
        for (const auto& hm : m["host_maps"])
            if (hm["ca_module_id"] == 0x48 && hm["port_no"] == 2)
                for (const auto& lm : m["lun_maps"])
                    if (lm["number"] == hm["lun_map"])
                        for (const auto& olu : lm["luns"])
                            if (olu == 14)
                                return true;
        return false;
    };
    defaultView();
    // The scenario binds the port's map entry to LUN map 1, which it keeps
    // undefined (with a stale affinity binding); the port's default view is
    // the LUN map of its own number, 16.
    const nlohmann::json maps = model()["host_maps"];
    for (std::size_t i = 0; i < maps.size(); ++i) {
        if (maps[i]["index"] != 16)
            continue;
        const nlohmann::json patch = {
            {{"op", "add"}, {"path", "/lun_maps/-"}, {"value", {{"number", 16}, {"luns", nlohmann::json::array()}}}},
            {{"op", "replace"}, {"path", "/host_maps/" + std::to_string(i) + "/lun_map"}, {"value", 16}}};
        ASSERT_TRUE(sim_->control({{"op", "patch"}, {"array", 0}, {"patch", patch}})["ok"]);
    }
    ASSERT_EQ(SMIS_PollingService::getInstance()->getConfigManagementInfo(address_.c_str(), 0), 0);
    ASSERT_EQ(provider.ExposeDefaultLUs(service_, job, texts({volume}), texts({}), texts({}), accesses(1), view, rc),
              INVOKE_METHOD_OK);
    ASSERT_EQ(rc.value, 0u);
    ASSERT_EQ(view.size(), 1u);
    EXPECT_STREQ(view[0]->DeviceID.value.c_str(), "LM_CM00CA00P02");
    EXPECT_TRUE(mapped()) << model()["host_maps"].dump();
    clear(view);
    defaultView();
    ASSERT_EQ(provider.HideDefaultLUs(service_, job, texts({volume}), texts({}), view, rc), INVOKE_METHOD_OK);
    EXPECT_EQ(rc.value, 0u);
    ASSERT_EQ(view.size(), 1u);
    EXPECT_STREQ(view[0]->DeviceID.value.c_str(), "LM_CM00CA00P02");
    EXPECT_FALSE(mapped());
    clear(view);
}

}  // namespace

namespace {

class HardwareIDs : public Masking {
protected:
    std::uint32_t createId(const std::string& element, const std::string& id, std::uint16_t type,
                           std::string* instanceId = nullptr)
    {
        VELDARO_StorageHardwareIDManagementService* self = VELDARO_StorageHardwareIDManagementService::create(true);
        self->SystemName.set(address_.c_str());
        Property<String> e, s, other;
        Property<uint16> t;
        e.set(element.c_str());
        s.set(id.c_str());
        t.set(type);
        CIM_StorageHardwareID* out = nullptr;
        Property<uint32> rc;
        EXPECT_EQ(provider.CreateStorageHardwareID(self, e, s, t, other, nullptr, out, rc), INVOKE_METHOD_OK);
        if (out && instanceId)
            *instanceId = out->InstanceID.value.c_str();
        if (out)
            destroy(out);
        destroy(self);
        return rc.value;
    }

    std::uint32_t deleteId(const char* instanceId)
    {
        VELDARO_StorageHardwareIDManagementService* self = VELDARO_StorageHardwareIDManagementService::create(true);
        self->SystemName.set(address_.c_str());
        VELDARO_StorageHardwareID* ref = nullptr;
        if (instanceId) {
            ref = VELDARO_StorageHardwareID::create(true);
            ref->InstanceID.set(instanceId);
        }
        Property<uint32> rc;
        EXPECT_EQ(provider.DeleteStorageHardwareID(self, cast<const CIM_StorageHardwareID*>(ref), rc), INVOKE_METHOD_OK);
        if (ref)
            destroy(ref);
        destroy(self);
        return rc.value;
    }

    VELDARO_StorageHardwareIDManagementService_Provider provider;
};

TEST_F(HardwareIDs, RefusedRequestsChangeNothing)
{
    const struct {
        const char* what;
        std::string element, id;
        std::uint16_t type;
        std::uint32_t rc;
    } cases[] = {
        {"unsupported type", "", "2000000000000001", 3, 4097},
        {"nickname of 17", std::string(17, 'N'), "2000000000000001", 2, 5},
        {"nickname with a blank", "a b", "2000000000000001", 2, 5},
        {"nickname with a tab", "a\tb", "2000000000000001", 2, 5},
        {"nickname with a leading -", "-x", "2000000000000001", 2, 5},
        {"empty identifier", "", "", 5, 5},
        {"iSCSI name of 225", "", "iqn." + std::string(221, 'x'), 5, 5},
        {"WWN of 15", "", "200000000000001", 2, 5},
        {"registered, other case", "", "1000000000000a01", 2, 4096},
    };
    for (const auto& c : cases)
        EXPECT_EQ(createId(c.element, c.id, c.type), c.rc) << c.what;
    EXPECT_EQ(deleteId(nullptr), 5u);
    EXPECT_EQ(deleteId(("VELDARO:SHI3000000000000001_" + address_).c_str()), 4096u);
    EXPECT_EQ(model()["hosts"].size(), 1u);
}

TEST_F(HardwareIDs, CreateThenDeleteEachKind)
{
    const struct {
        const char* table;
        std::string id;
        std::uint16_t type;
    } cases[] = {
        {"hosts", "2000000000000C01", 2},
        {"hosts", "5000000000000D01", 6},
        {"iscsi_hosts", "iqn.2026-01.test:new-host", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const std::size_t before = model()[c.table].size();
        std::string id;
        ASSERT_EQ(createId("NEWHOST", c.id, c.type, &id), 0u);
        EXPECT_NE(id.find(c.id), std::string::npos) << id;
        EXPECT_EQ(model()[c.table].size(), before + 1);
        // The identifier is registered: a second creation is refused.
        EXPECT_EQ(createId("", c.id, c.type), 4096u);
        EXPECT_EQ(deleteId(id.c_str()), 0u);
        EXPECT_EQ(model()[c.table].size(), before);
    }
}

// Host slots whose valid flag is not 1 are free: new identifiers take them
// (the lowest first), however many of them there are.
TEST_F(HardwareIDs, FreedSlotsAreTakenAgain)
{
    nlohmann::json patch = nlohmann::json::array();
    for (int slot : {1, 2, 3})
        patch.push_back({{"op", "add"},
                         {"path", "/hosts/-"},
                         {"value", {{"index", slot}, {"valid", 0}, {"wwn", "20000000000000F" + std::to_string(slot)}}}});
    ASSERT_TRUE(sim_->control({{"op", "patch"}, {"array", 0}, {"patch", patch}}).value("ok", false));
    ASSERT_EQ(SMIS_PollingService::getInstance()->getConfigManagementInfo(address_.c_str(), 0), 0);
    for (int n = 0; n < 5; ++n) {
        SCOPED_TRACE(n);
        char wwn[17];
        std::snprintf(wwn, sizeof wwn, "2000000000000E%02d", n);
        ASSERT_EQ(createId("", wwn, 2), 0u);
    }
    const nlohmann::json hosts = model()["hosts"];
    std::size_t valid = 0;
    for (const auto& h : hosts)
        valid += h.value("valid", 0) == 1 ? 1 : 0;
    EXPECT_EQ(valid, 6u);  // the scenario's host and the five new ones
    EXPECT_EQ(hosts.size(), 6u);
}

// Each service's methods hold the array's table view for their whole call
// while the polling service (its tasks, and a refresh loop beside them)
// refreshes the same array's table: every call ends, and what it answers is
// what the table holds right after it.
TEST_F(HardwareIDs, ServiceMethodsRunWhileThePollingServiceRefreshesTheArray)
{
    SMIS_PollingService* polling = SMIS_PollingService::getInstance();
    SMIS_PollingService::Timing timing;
    timing.deviceStatusInterval = 1;
    timing.pollingInterval = 1;
    timing.syncCopyInterval = 1;
    timing.stopWait = std::chrono::milliseconds(20000);
    timing.taskWait = std::chrono::milliseconds(15000);
    timing.startPause = std::chrono::milliseconds(0);
    polling->setTiming(timing);
    ASSERT_TRUE(polling->runService());
    polling->setSSLEnvironmentInitialized();
    std::atomic<bool> stop{false};
    std::atomic<int> refreshes{0};
    std::thread refresher([&] {
        while (!stop)
            if (polling->getConfigManagementInfo(address_.c_str(), 0) == 0)
                ++refreshes;
    });

    const std::string v0 = volumeName(0);
    VELDARO_StorageConfigurationService* storage =
        Instance_Provider_Frame::newInstance<VELDARO_StorageConfigurationService>();
    storage->SystemName.set(String(address_.c_str()));
    VELDARO_RAIDStoragePool* group = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
    group->InstanceID.set(String(("VELDARO:RSP0000_" + address_).c_str()));
    auto inTable = [&](auto search) {
        VELDARO_RefTable table(address_.c_str());
        return search(table) >= 0;
    };

    auto rounds = std::async(std::launch::async, [&] {
        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE(round);
            // A volume made and returned.
            VELDARO_StorageConfigurationService_Provider volumes;
            Property<String> name;
            name.set(String(("RACE" + std::to_string(round)).c_str()));
            Property<uint16> type;
            type.set(2);
            Property<uint64> size;
            size.set(100 * 0x100000ULL);
            CIM_ConcreteJob* job = nullptr;
            CIM_LogicalElement* made = nullptr;
            Property<uint32> rc;
            volumes.CreateOrModifyElementFromStoragePool(storage, name, type, job, nullptr, size, cast<const CIM_StoragePool*>(group), made, rc);
            EXPECT_EQ(rc.value, 0u);
            if (rc.value == 0 && made) {
                const std::uint16_t olun =
                    static_cast<std::uint16_t>(static_cast<VELDARO_StorageVolume*>(static_cast<Instance*>(made))->LUN.value);
                EXPECT_TRUE(inTable([&](VELDARO_RefTable& t) { return t.searchOlunFromOluTable(olun); }));
                volumes.ReturnToStoragePool(storage, job, made, rc);
                EXPECT_EQ(rc.value, 0u);
                EXPECT_FALSE(inTable([&](VELDARO_RefTable& t) { return t.searchOlunFromOluTable(olun); }));
            }
            if (made)
                destroy(made);

            // A hardware ID registered and removed.
            const std::string wwn = "2000000000000D0" + std::to_string(round);
            std::string id;
            EXPECT_EQ(createId("", wwn, 2, &id), 0u);
            int kind = 0;
            EXPECT_TRUE(inTable([&](VELDARO_RefTable& t) { return t.searchHostNameFromHostTable(wwn.c_str(), kind, nullptr); }));
            EXPECT_EQ(deleteId(id.c_str()), 0u);
            EXPECT_FALSE(inTable([&](VELDARO_RefTable& t) { return t.searchHostNameFromHostTable(wwn.c_str(), kind, nullptr); }));

            // A host view exposed and hidden again.
            VELDARO_ControllerConfigurationService_Provider masking;
            Array<CIM_SCSIProtocolController*> spcs;
            masking.ExposePaths(service_, job, texts({v0}), texts({"1000000000000A01"}), texts({"500000E0D0000100"}),
                                texts({}), accesses(1), spcs, rc);
            EXPECT_EQ(rc.value, 0u);
            auto definedGroup = [](VELDARO_RefTable& t) {
                const int i = t.searchAffinityNumberFromAffinityTable(0);
                return i >= 0 && t.getAffinityDefinition(i) != 0 ? i : -1;
            };
            EXPECT_TRUE(inTable(definedGroup));
            masking.HidePaths(service_, job, texts({v0}), texts({}), texts({}), spcs, rc);
            EXPECT_EQ(rc.value, 0u);
            EXPECT_FALSE(inTable(definedGroup));
            clear(spcs);
        }
    });
    const bool ended = rounds.wait_for(std::chrono::minutes(4)) == std::future_status::ready;
    if (!ended) {
        ADD_FAILURE() << "the methods did not end beside the polling service: deadlock";
        std::_Exit(1);
    }
    stop = true;
    refresher.join();
    EXPECT_TRUE(polling->stopService());
    EXPECT_GT(refreshes.load(), 0);
    destroy(group);
    destroy(storage);
}

}  // namespace
