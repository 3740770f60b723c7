#include "SubscribedServer.h"

#include <ArraysimLogin.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace cimserver::test {

const std::vector<std::string> SubscribedServer::MODIFIED = {"<INSTANCE CLASSNAME=\"CIM_InstModification\">",
                                                             "VELDARO_StorageComputerSystem"};

SubscribedServer::SubscribedServer(std::vector<std::string> extra_arguments) : extra(std::move(extra_arguments))
{
    testsupport::connectFirstArray(sim, install);
    start();
}

SubscribedServer::~SubscribedServer()
{
    if (server) {
        EXPECT_EQ(server->stop(), 0) << server->output();
    }
}

void SubscribedServer::start()
{
    std::vector<std::string> args{"--poll-interval", "1", "--listener", control.url(), "--delivery-retry-interval",
                                  "2", "--delivery-retry-attempts", "40"};
    args.insert(args.end(), extra.begin(), extra.end());
    server = std::make_unique<CimserverProcess>(install.path(), args);
}

void SubscribedServer::restart(bool forget_tables)
{
    EXPECT_EQ(server->stop(), 0) << server->output();
    server.reset();
    if (forget_tables)
        for (const char* ext : {".cmf", ".ext", ".cps"})
            std::filesystem::remove(install.file("data/" + sim.address(0) + ext));
    start();
}

void SubscribedServer::subscribe(SubscriptionClient& client, const std::string& url)
{
    filter = client.createFilter("all-instance-changes", "SELECT * FROM CIM_InstIndication");
    ASSERT_FALSE(filter.empty()) << client.last().body;
    destination = client.createDestination("test-listener", url.empty() ? listener.url() : url);
    ASSERT_FALSE(destination.empty()) << client.last().body;
    subscription = client.createSubscription(filter, destination);
    ASSERT_FALSE(subscription.empty()) << client.last().body;
}

void SubscribedServer::changeStatus()
{
    const size_t before = control.count(MODIFIED);
    // A poll compares with the one before, so a switch that falls between
    // two polls of one reading is not seen: switch until one is.
    for (int attempt = 0; attempt < 8; ++attempt) {
        _status = _status == 88 ? 32 : 88; // degraded, normal
        ASSERT_TRUE(sim.control({{"op", "set_status"}, {"array", 0}, {"element", "system"}, {"status", _status}})["ok"]);
        if (control.waitForCount(MODIFIED, before + 1, std::chrono::seconds(6)) > before)
            return;
    }
    FAIL() << "no status change was reported\n" << server->output();
}

void SubscribedServer::makeVolume(SubscriptionClient& client, const std::string& name, std::string& volume)
{
    const std::string address = sim.address(0);
    CimserverProcess::wait_for_tables(install.path(), {address});
    CimReply made;
    client.client().call(
        "CreateOrModifyElementFromStoragePool",
        CimClient::method("CreateOrModifyElementFromStoragePool", CimClient::configuration_service(address),
                          "<PARAMVALUE NAME=\"ElementName\" PARAMTYPE=\"string\"><VALUE>" + name +
                              "</VALUE></PARAMVALUE>"
                              "<PARAMVALUE NAME=\"ElementType\" PARAMTYPE=\"uint16\"><VALUE>5</VALUE></PARAMVALUE>"
                              "<PARAMVALUE NAME=\"Size\" PARAMTYPE=\"uint64\"><VALUE>104857600</VALUE></PARAMVALUE>"
                              "<PARAMVALUE NAME=\"InPool\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                              CimClient::thin_pool(address) + "</VALUE.REFERENCE></PARAMVALUE>"),
        made);
    ASSERT_NE(made.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos) << made.body;
    auto element = made.doc.select_node("//PARAMVALUE[@NAME='TheElement']/VALUE.REFERENCE");
    ASSERT_TRUE(element) << made.body;
    volume = CimClient::raw(element.node());
}

void SubscribedServer::returnVolume(SubscriptionClient& client, const std::string& volume)
{
    CimReply returned;
    client.client().call("ReturnToStoragePool",
                         CimClient::method("ReturnToStoragePool", CimClient::configuration_service(sim.address(0)),
                                           "<PARAMVALUE NAME=\"TheElement\" PARAMTYPE=\"reference\">" + volume +
                                               "</PARAMVALUE>"),
                         returned);
    ASSERT_NE(returned.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos)
        << returned.body;
}

} // namespace cimserver::test
