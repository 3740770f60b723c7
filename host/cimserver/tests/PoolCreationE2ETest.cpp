// End to end: a client makes pools through cimserver on the simulated
// `small` and `coverage` arrays as a new user would, without naming disks:
// a RAID group of each level the array offers and a thin pool, every size
// the primordial pool offers for them, a thin pool grown, and all deleted
// again.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimLogin.h>
#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace cimserver::test {
namespace {

std::string key(const char* name, const std::string& value)
{
    return std::string("<KEYBINDING NAME=\"") + name + "\"><KEYVALUE VALUETYPE=\"string\">" + value +
           "</KEYVALUE></KEYBINDING>";
}

std::string instanceName(const std::string& cls, const std::string& id)
{
    return "<INSTANCENAME CLASSNAME=\"" + cls + "\">" + key("InstanceID", id) + "</INSTANCENAME>";
}

std::string refParam(const char* name, const std::string& instance)
{
    return std::string("<PARAMVALUE NAME=\"") + name + "\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" + instance +
           "</VALUE.REFERENCE></PARAMVALUE>";
}

std::string param(const char* name, const char* type, const std::string& value)
{
    return std::string("<PARAMVALUE NAME=\"") + name + "\" PARAMTYPE=\"" + type + "\"><VALUE>" + value +
           "</VALUE></PARAMVALUE>";
}

std::string raw(const pugi::xml_node& node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

// A thin pool's size comes from its capacity record in whole MiB, or from
// the pool table's block count while the cache holds no record for it: two
// answers about one pool agree to within a MiB.
bool sameSize(std::uint64_t a, std::uint64_t b)
{
    return (a > b ? a - b : b - a) < (1u << 20);
}

// A method's return value, its output Size and Pool (the pool's
// INSTANCENAME as XML, empty when none) and its Sizes.
struct Answer {
    std::string rc;
    std::uint64_t size = 0;
    std::string pool;
    std::vector<std::uint64_t> sizes;
    std::string body;
};

class PoolCreationE2E : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        // Each array at an address of its own, as the system tells arrays
        // apart (and its command line is found by); the first is served.
        sim = std::make_unique<testsupport::ArraysimProcess>(GetParam(),
                                                             std::vector<std::string>{"--distinct-addresses"});
        install = std::make_unique<smis::test::TempInstallDir>();
        address = sim->address(0);
        ASSERT_NO_FATAL_FAILURE(testsupport::connectFirstArray(*sim, *install));
        server = std::make_unique<CimserverProcess>(install->path());
        CimserverProcess::wait_for_tables(install->path(), {address});
        CimClient client(server->port());
        const std::vector<std::string> services = instance_names(client, "VELDARO_StorageConfigurationService");
        ASSERT_EQ(services.size(), 1u) << "the array's storage configuration service is not served";
        service = services.front();
    }
    void TearDown() override
    {
        if (server) {
            EXPECT_EQ(server->stop(), 0) << server->output();
        }
        server.reset();
        install.reset();
        sim.reset();
    }

    Answer invoke(const std::string& method, const std::string& target, const std::string& params)
    {
        CimClient client(server->port());
        CimReply r;
        client.call(method, CimClient::method(method, target, params), r);
        EXPECT_EQ(r.error_code, 0) << r.body;
        Answer out;
        out.body = r.body;
        auto rv = r.all("RETURNVALUE");
        out.rc = rv.empty() ? "" : rv.front().child("VALUE").text().as_string();
        for (const pugi::xml_node& p : r.all("PARAMVALUE")) {
            const std::string name = p.attribute("NAME").as_string();
            if (name == "Size")
                out.size = p.child("VALUE").text().as_ullong();
            if (name == "Pool") {
                if (pugi::xpath_node n = p.select_node(".//INSTANCENAME"))
                    out.pool = raw(n.node());
            }
            if (name == "Sizes")
                for (const pugi::xml_node& v : p.child("VALUE.ARRAY").children("VALUE"))
                    out.sizes.push_back(v.text().as_ullong());
        }
        return out;
    }

    std::string goal(const std::string& level) const
    {
        return refParam("Goal", instanceName("VELDARO_StorageSetting", "VELDARO:SS_RAID" + level + "_" + address));
    }

    std::vector<std::uint64_t> offered(const std::string& level)
    {
        const Answer a = invoke("GetSupportedSizes",
                                instanceName("VELDARO_PrimordialStoragePool", "VELDARO:PSP_" + address),
                                param("ElementType", "uint16", "2") + goal(level));
        EXPECT_EQ(a.rc, "0") << a.body;
        return a.sizes;
    }

    Answer create(const std::string& name, const std::string& level, std::uint64_t size)
    {
        return invoke("CreateOrModifyStoragePool", service,
                      param("ElementName", "string", name) + (level.empty() ? "" : goal(level)) +
                          param("Size", "uint64", std::to_string(size)));
    }

    std::string remove(const std::string& pool)
    {
        return invoke("DeleteStoragePool", service, refParam("Pool", pool)).rc;
    }

    // TotalManagedSpace of a pool as the pool's provider serves it.
    std::uint64_t totalOf(const std::string& pool)
    {
        CimClient client(server->port());
        CimReply r;
        client.call("GetInstance",
                    CimClient::imethod("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + pool + "</IPARAMVALUE>"),
                    r);
        EXPECT_EQ(r.error_code, 0) << r.body;
        for (const pugi::xml_node& p : r.all("PROPERTY"))
            if (std::string(p.attribute("NAME").as_string()) == "TotalManagedSpace")
                return p.child("VALUE").text().as_ullong();
        return 0;
    }

    // The array's command log, for a failure's message.
    std::string commandLines() { return "\ncommand lines: " + sim->control({{"op", "cli_log"}, {"array", 0}}).dump(); }

    std::unique_ptr<testsupport::ArraysimProcess> sim;
    std::unique_ptr<smis::test::TempInstallDir> install;
    std::unique_ptr<CimserverProcess> server;
    std::string address;
    std::string service;
};

TEST_P(PoolCreationE2E, EveryLevelAndEveryOfferedSizeIsMadeAndDeleted)
{
    for (const char* level : {"1", "1+0", "5", "6", "5_TPP"}) {
        SCOPED_TRACE(level);
        const std::vector<std::uint64_t> sizes = offered(level);
        ASSERT_FALSE(sizes.empty());
        ASSERT_NE(sizes.front(), 0u) << "no size offered";
        // The engine's own choice first, then each offered size.
        std::vector<std::uint64_t> requests = {0};
        requests.insert(requests.end(), sizes.begin(), sizes.end());
        for (std::uint64_t size : requests) {
            SCOPED_TRACE(size);
            const Answer made = create("NEWPOOL", level, size);
            ASSERT_EQ(made.rc, "0") << made.body << commandLines();
            ASSERT_FALSE(made.pool.empty()) << made.body;
            EXPECT_GT(made.size, 0u);
            EXPECT_PRED2(sameSize, made.size, totalOf(made.pool));
            EXPECT_EQ(remove(made.pool), "0");
        }
    }
}

TEST_P(PoolCreationE2E, ThinPoolGrowsAndItsSizeShowsIt)
{
    const Answer made = create("THIN5", "5_TPP", 0);
    ASSERT_EQ(made.rc, "0") << made.body << commandLines();
    ASSERT_FALSE(made.pool.empty());
    std::string pool = made.pool;
    std::uint64_t size = made.size;
    ASSERT_GT(size, 0u);
    for (int growth = 0; growth < 2; ++growth) {
        SCOPED_TRACE(growth);
        // Half as much again: the engine adds a RAID group of the pool's
        // member count, whatever the growth asked for.
        const Answer grown =
            invoke("CreateOrModifyStoragePool", service,
                   param("Size", "uint64", std::to_string(size + size / 2)) + refParam("Pool", pool));
        ASSERT_EQ(grown.rc, "0") << grown.body << commandLines();
        EXPECT_EQ(grown.pool, pool);
        EXPECT_GT(grown.size, size);
        EXPECT_PRED2(sameSize, grown.size, totalOf(pool));
        size = grown.size;
    }
    EXPECT_EQ(remove(pool), "0");
}

// JBOD is served as a setting but no engine builds it: the sizes and the
// creation both answer 1, and no RAID group of another level is made.
TEST_P(PoolCreationE2E, AGoalNoEngineBuildsIsNotSupported)
{
    const std::string jbod =
        refParam("Goal", instanceName("VELDARO_StorageSetting", "VELDARO:SS_JBOD_" + address));
    EXPECT_EQ(invoke("GetSupportedSizes", instanceName("VELDARO_PrimordialStoragePool", "VELDARO:PSP_" + address),
                     param("ElementType", "uint16", "2") + jbod)
                  .rc,
              "1");
    ASSERT_TRUE(sim->control({{"op", "cli_clear_log"}})["ok"]);
    const Answer made = invoke("CreateOrModifyStoragePool", service, param("ElementName", "string", "JBOD") + jbod);
    EXPECT_EQ(made.rc, "1") << made.body;
    EXPECT_TRUE(made.pool.empty());
    EXPECT_TRUE(sim->control({{"op", "cli_log"}, {"array", 0}})["lines"].empty()) << commandLines();
}

INSTANTIATE_TEST_SUITE_P(Scenarios, PoolCreationE2E, ::testing::Values("small", "coverage"));

}  // namespace
}  // namespace cimserver::test
