// End to end: wbemcli asks cimserver, hosting the provider module on the
// simulated `coverage` array, which pools and volumes each pool gives its
// space to, what each pool and service is capable of and which setting
// each volume was made with.
#include "CimserverProcess.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

namespace cimserver::test {
namespace {

class PoolAllocationE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sim = std::make_unique<testsupport::ArraysimProcess>("coverage");
        install = std::make_unique<smis::test::TempInstallDir>();
        // The scenario's arrays share one address: serve the first alone, so
        // every key names one array.
        install->writeEnv({"StorageIP=" + sim->address(0) + "," + std::to_string(sim->port(0))});
        server = std::make_unique<CimserverProcess>(install->path());
        CimserverProcess::wait_for_tables(install->path(), {sim->address(0)});
    }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(server->stop(), 0) << server->output();
        server.reset();
        install.reset();
        sim.reset();
    }

    static std::vector<std::string> lines(const std::vector<std::string>& args)
    {
        CommandResult r = CimserverProcess::wbemcli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> out;
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            if (!line.empty())
                out.push_back(line);
        return out;
    }

    static std::string pool(const std::string& cls, const std::string& id)
    {
        return ":" + cls + ".InstanceID=\"VELDARO:" + id + "_" + sim->address(0) + "\"";
    }

    // The short key (DeviceID or the InstanceID's name part) of an
    // instance path's end in a reference property.
    static std::string shortKey(const std::string& path)
    {
        std::smatch m;
        if (std::regex_search(path, m, std::regex("DeviceID=\"([^\"]+)\"")))
            return m[1];
        if (std::regex_search(path, m, std::regex("InstanceID=\"VELDARO:([^_\"]+)_")))
            return m[1];
        return path;
    }

    struct Allocation {
        std::map<std::string, std::uint64_t> dependents;  // short key -> SpaceConsumed
        std::uint64_t total = 0;
    };

    // The pool's allocation references in which it is the Antecedent.
    static Allocation allocatedFrom(const std::string& cls, const std::string& id)
    {
        Allocation out;
        const std::string self = "InstanceID=\"VELDARO:" + id + "_";
        for (const std::string& line : lines({"ri", server->url(pool(cls, id)), "-arc",
                                              "VELDARO_AllocatedFromStoragePool"})) {
            // "<path> Antecedent=...,Dependent=...,SpaceConsumed=N,VolumeConsumed=M"
            const std::string props = line.substr(line.find(' ') + 1);
            const auto dependentAt = props.find(",Dependent=");
            const auto spaceAt = props.find(",SpaceConsumed=");
            if (dependentAt == std::string::npos || spaceAt == std::string::npos)
                continue;
            if (props.substr(0, dependentAt).find(self) == std::string::npos)
                continue;
            const std::uint64_t space = std::stoull(props.substr(spaceAt + 15));
            out.dependents[shortKey(props.substr(dependentAt, spaceAt - dependentAt))] = space;
            out.total += space;
        }
        return out;
    }

    // TotalManagedSpace - RemainingManagedSpace of a pool.
    static std::uint64_t consumed(const std::string& cls, const std::string& id)
    {
        std::uint64_t total = 0, remaining = 0;
        for (const std::string& line : lines({"-nl", "gi", server->url(pool(cls, id))})) {
            if (line.rfind("-TotalManagedSpace=", 0) == 0)
                total = std::stoull(line.substr(19));
            if (line.rfind("-RemainingManagedSpace=", 0) == 0)
                remaining = std::stoull(line.substr(23));
        }
        return total - remaining;
    }

    // The instance paths of a source's associators through one association.
    static std::set<std::string> associatorKeys(const std::string& path, const std::string& association)
    {
        std::set<std::string> out;
        for (const std::string& line : lines({"ain", server->url(path), "-ac", association}))
            out.insert(line);
        return out;
    }

    static std::unique_ptr<testsupport::ArraysimProcess> sim;
    static std::unique_ptr<smis::test::TempInstallDir> install;
    static std::unique_ptr<CimserverProcess> server;
};

std::unique_ptr<testsupport::ArraysimProcess> PoolAllocationE2E::sim;
std::unique_ptr<smis::test::TempInstallDir> PoolAllocationE2E::install;
std::unique_ptr<CimserverProcess> PoolAllocationE2E::server;

using Keys = std::set<std::string>;

// Each pool gives its space to the volumes and pools the scenario puts in it;
// where a pool's space goes to volumes and pools of its own, what it gives
// sums to what it has consumed.
TEST_F(PoolAllocationE2E, EachPoolNamesWhatItGivesSpaceToAndItSumsToItsConsumedSpace)
{
    struct Case {
        const char* cls;
        const char* id;
        Keys dependents;
        bool sums;  // false: a RAID group lent whole to a pool
    };
    const Case cases[] = {
        {"VELDARO_PrimordialStoragePool", "PSP",
         {"RSP0000", "RSP0001", "RSP0002", "RSP0003", "RSP0004", "RSP0005", "RSP0006", "RSP0007", "RSP0008", "RSP0009",
          "RSP0010", "RSP0011"},
         true},
        // A volume of slices in three groups (WSV00009) under each of them.
        {"VELDARO_RAIDStoragePool", "RSP0000", {"VOL00000", "WSV00009"}, true},
        // A thin-pool volume outside any pool stays with its RAID group.
        {"VELDARO_RAIDStoragePool", "RSP0001", {"VOL00001", "WSV00009", "MLU00011", "TPPC00007"}, true},
        {"VELDARO_RAIDStoragePool", "RSP0002", {"VOL00002", "WSV00009", "VOL00014"}, true},
        {"VELDARO_RAIDStoragePool", "RSP0010", {"VOL00012"}, true},
        // Mode 0x02: no volume relation.
        {"VELDARO_RAIDStoragePool", "RSP0005", {}, true},
        {"VELDARO_RAIDStoragePool", "RSP0006", {"TPPV00006", "TPP0000"}, false},
        {"VELDARO_SDPVPool", "SDPVP00005", {"SDP00"}, true},
        {"VELDARO_ThinProvisioningPool", "TPP0000", {}, false},
        {"VELDARO_LayerixPool", "LXP0000", {"LXV00008"}, false},
        {"VELDARO_LayerixSubPool", "LXSP0001", {"LXP0000"}, true},
        {"VELDARO_LayerixSubPool", "LXSP0002", {"LXP0000"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + c.id);
        const Allocation a = allocatedFrom(c.cls, c.id);
        Keys got;
        for (const auto& [key, space] : a.dependents)
            got.insert(key);
        EXPECT_EQ(got, c.dependents);
        if (c.sums) {
            EXPECT_EQ(a.total, consumed(c.cls, c.id));
        }
    }
    // The tiering volume's allocation: 2048 MiB allocated.
    CommandResult r = CimserverProcess::wbemcli(
        {"ri", server->url(pool("VELDARO_LayerixPool", "LXP0000")), "-arc", "VELDARO_AllocatedFromStoragePool"});
    EXPECT_NE(r.out.find("VolumeConsumed=2147483648"), std::string::npos) << r.out;
}

TEST_F(PoolAllocationE2E, PoolsAndServicesNameTheirCapabilitiesAndVolumesTheirSetting)
{
    // RAID groups 2 and 3 are RAID1+0 and RAID5: each with the capabilities
    // of its own level only.
    const Keys raid2 = associatorKeys(pool("VELDARO_RAIDStoragePool", "RSP0002"), "CIM_ElementCapabilities");
    const Keys raid3 = associatorKeys(pool("VELDARO_RAIDStoragePool", "RSP0003"), "CIM_ElementCapabilities");
    EXPECT_EQ(raid2.size(), 1u);
    EXPECT_EQ(raid3.size(), 1u);
    EXPECT_NE(raid2, raid3);
    EXPECT_EQ(associatorKeys(pool("VELDARO_PrimordialStoragePool", "PSP"), "CIM_ElementCapabilities").size(), 1u);
    // A thin pool: the configuration capabilities and those of its level.
    EXPECT_EQ(associatorKeys(pool("VELDARO_ThinProvisioningPool", "TPP0000"), "CIM_ElementCapabilities").size(), 2u);
    const std::string service = lines({"ein", server->url(":VELDARO_StorageConfigurationService")}).at(0);
    const std::string servicePath = ":" + service.substr(service.find(':', service.find("/root/")) + 1);
    EXPECT_GE(associatorKeys(servicePath, "CIM_ElementCapabilities").size(), 2u);

    // Each volume with one setting, RAID1+0 volumes with the default one.
    const std::string volume = ":VELDARO_StorageVolume.SystemCreationClassName=\"VELDARO_StorageComputerSystem\","
                               "SystemName=\"" +
                               sim->address(0) +
                               "\",CreationClassName=\"VELDARO_StorageVolume\",DeviceID=\"VOL00002\"";
    EXPECT_EQ(associatorKeys(volume, "CIM_ElementSettingData").size(), 1u);
    CommandResult r = CimserverProcess::wbemcli({"ri", server->url(volume), "-arc", "CIM_ElementSettingData"});
    EXPECT_NE(r.out.find("IsDefault=1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("IsCurrent=1"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace cimserver::test
