// End to end: a client subscribes to indications through the interop name
// space (filter, listener destination, subscription) and its listener gets
// what the arrays report; the subscription outlives a restart of the
// server, and after it is deleted nothing more arrives.
#include "InstancePath.h"
#include "SubscribedServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using std::chrono::seconds;

const std::vector<std::string>& MODIFIED = SubscribedServer::MODIFIED;

class SubscriptionE2E : public ::testing::Test, protected SubscribedServer {};

TEST_F(SubscriptionE2E, FiltersTheServerCannotEvaluateAndBrokenSubscriptionsAreRefused)
{
    SubscriptionClient client(server->port());
    ASSERT_NO_FATAL_FAILURE(subscribe(client));
    const std::string missing_filter =
        "<INSTANCENAME CLASSNAME=\"CIM_IndicationFilter\">" + CimClient::key("CreationClassName", "CIM_IndicationFilter") +
        CimClient::key("Name", "nosuch") + CimClient::key("SystemCreationClassName", "CIM_ComputerSystem") + CimClient::key("SystemName", "x") +
        "</INSTANCENAME>";
    struct Case {
        const char* what;
        std::string made;
        int code;
    } cases[] = {
        {"unknown query language", client.createFilter("f1", "SELECT * FROM CIM_InstCreation", "XPath"), 7},
        {"selected properties", client.createFilter("f2", "SELECT SourceInstance FROM CIM_InstCreation"), 4},
        {"a condition other than ISA",
         client.createFilter("f3", "SELECT * FROM CIM_InstCreation WHERE SourceInstance.Name = 'x'", "DMTF:CQL"), 4},
        {"not an indication class", client.createFilter("f4", "SELECT * FROM CIM_StorageVolume"), 4},
        {"unknown ISA class",
         client.createFilter("f5", "SELECT * FROM CIM_InstCreation WHERE SourceInstance ISA NoSuchClass"), 4},
        {"unserved source name space",
         client.createFilter("f6", "SELECT * FROM CIM_InstCreation", "WQL", "root/elsewhere"), 4},
        {"not a URL", client.createDestination("d1", "listener.example:5990"), 4},
        {"a filter that exists already", client.createFilter("all-instance-changes", "SELECT * FROM CIM_InstIndication"),
         11},
        {"a missing filter", client.createSubscription(missing_filter, destination), 4},
        {"a subscription that exists already", client.createSubscription(filter, destination), 11},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.made.empty()) << c.made;
    }
    // The errors, asked once more one by one to read their codes.
    EXPECT_TRUE(client.createFilter("f1", "SELECT * FROM CIM_InstCreation", "XPath").empty());
    EXPECT_EQ(client.last().error_code, 7) << client.last().body;
    EXPECT_TRUE(client.createFilter("f4", "SELECT * FROM CIM_StorageVolume").empty());
    EXPECT_EQ(client.last().error_code, 4) << client.last().body;
    EXPECT_TRUE(client.createSubscription(missing_filter, destination).empty());
    EXPECT_EQ(client.last().error_code, 4) << client.last().body;
    EXPECT_TRUE(client.createSubscription(filter, destination).empty());
    EXPECT_EQ(client.last().error_code, 11) << client.last().body;

    // What a subscription uses is not deleted under it.
    EXPECT_EQ(client.remove(filter), 1) << client.last().body;
    EXPECT_EQ(client.remove(destination), 1) << client.last().body;
    EXPECT_EQ(client.names("CIM_IndicationFilter").size(), 1u);
    // A deep enumeration of a common superclass shows them among the
    // server's other interop instances.
    auto kept = [&] {
        size_t n = 0;
        for (const std::string& name : client.names("CIM_ManagedElement"))
            n += name.find("CLASSNAME=\"CIM_IndicationFilter\"") != std::string::npos ||
                 name.find("CLASSNAME=\"CIM_ListenerDestinationCIMXML\"") != std::string::npos;
        return n;
    };
    EXPECT_EQ(kept(), 2u) << "the filter and the destination";
    EXPECT_EQ(client.names("CIM_IndicationSubscription").size(), 1u);

    // The associations between them, both ways.
    CimReply r;
    client.client().call("AssociatorNames",
                         CimClient::imethod("AssociatorNames",
                                            "<IPARAMVALUE NAME=\"ObjectName\">" + filter + "</IPARAMVALUE>" +
                                                CimClient::class_param("AssocClass", "CIM_IndicationSubscription"),
                                            "interop"),
                         r);
    ASSERT_EQ(r.error_code, 0) << r.body;
    ASSERT_EQ(r.all("OBJECTPATH").size(), 1u) << r.body;
    EXPECT_NE(r.body.find("CLASSNAME=\"CIM_ListenerDestinationCIMXML\""), std::string::npos) << r.body;
    client.client().call("References",
                         CimClient::imethod("References",
                                            "<IPARAMVALUE NAME=\"ObjectName\">" + destination + "</IPARAMVALUE>",
                                            "interop"),
                         r);
    ASSERT_EQ(r.error_code, 0) << r.body;
    EXPECT_EQ(r.all("VALUE.OBJECTWITHPATH").size(), 1u) << r.body;
    EXPECT_NE(r.body.find("<PROPERTY NAME=\"SubscriptionState\" TYPE=\"uint16\"><VALUE>2</VALUE>"), std::string::npos)
        << r.body;

    // Deleted in order, all goes.
    EXPECT_EQ(client.remove(subscription), 0) << client.last().body;
    EXPECT_EQ(client.remove(filter), 0) << client.last().body;
    EXPECT_EQ(client.remove(destination), 0) << client.last().body;
    EXPECT_EQ(client.remove(destination), 6) << client.last().body;
    EXPECT_EQ(kept(), 0u) << client.last().body;
}

// The instances of a class in interop as a client sees them: each path (in
// interop, as the client sets it on what it enumerated) and the raw
// INSTANCE.
std::vector<std::pair<InstancePath, pugi::xml_node>> enumerated(SubscriptionClient& client, CimReply& r,
                                                                const std::string& class_name)
{
    client.client().call("EnumerateInstances",
                         CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", class_name),
                                            SubscriptionClient::INTEROP),
                         r);
    EXPECT_EQ(r.error_code, 0) << r.body;
    std::vector<std::pair<InstancePath, pugi::xml_node>> out;
    for (pugi::xml_node named : r.all("VALUE.NAMEDINSTANCE"))
        out.emplace_back(InstancePath::of(named.child("INSTANCENAME"), SubscriptionClient::INTEROP),
                         named.child("INSTANCE"));
    return out;
}

// What a restarted subscription manager does: it finds its filters,
// destinations and the subscriptions between them by comparing whole paths
// (host included) and removes them all, subscriptions first.
TEST_F(SubscriptionE2E, ARestartedClientFindsItsSubscriptionsByWholePathsAndRemovesThem)
{
    SubscriptionClient first(server->port());
    ASSERT_NO_FATAL_FAILURE(subscribe(first));
    // The answer to the creation names the ends as they were given.
    CimReply made;
    made.doc.load_string(subscription.c_str());
    const InstancePath answered = InstancePath::of(made.doc.first_child(), SubscriptionClient::INTEROP);
    EXPECT_EQ(answered.ref("Filter").host, "") << subscription;
    EXPECT_EQ(answered.ref("Filter").name_space, SubscriptionClient::INTEROP) << subscription;

    restart();
    SubscriptionClient again(server->port());
    CimReply fr, dr, sr;
    const auto filters = enumerated(again, fr, "CIM_IndicationFilter");
    const auto destinations = enumerated(again, dr, "CIM_ListenerDestinationCIMXML");
    const auto subscriptions = enumerated(again, sr, "CIM_IndicationSubscription");
    ASSERT_EQ(filters.size(), 1u) << fr.body;
    ASSERT_EQ(destinations.size(), 1u) << dr.body;
    ASSERT_EQ(subscriptions.size(), 1u) << sr.body;
    const InstancePath& filter_path = filters[0].first;
    const InstancePath& destination_path = destinations[0].first;
    const auto& [subscription_path, subscription_instance] = subscriptions[0];
    // Keys and properties alike.
    EXPECT_EQ(subscription_path.ref("Filter"), filter_path);
    EXPECT_EQ(subscription_path.ref("Handler"), destination_path);
    for (const auto& [role, end] : {std::pair{"Filter", &filter_path}, std::pair{"Handler", &destination_path}}) {
        pugi::xml_node property = subscription_instance.find_child_by_attribute("PROPERTY.REFERENCE", "NAME", role);
        EXPECT_EQ(InstancePath::of(property.child("VALUE.REFERENCE")), *end) << role;
    }
    // And so do the subscriptions reached from the filter.
    CimReply refs;
    again.client().call("ReferenceNames",
                        CimClient::imethod("ReferenceNames",
                                           "<IPARAMVALUE NAME=\"ObjectName\">" + filter + "</IPARAMVALUE>",
                                           SubscriptionClient::INTEROP),
                        refs);
    ASSERT_EQ(refs.all("OBJECTPATH").size(), 1u) << refs.body;
    EXPECT_EQ(InstancePath::of(refs.all("OBJECTPATH")[0]).ref("Filter"), filter_path) << refs.body;

    // Removed as the client holds them, subscription first: nothing stays,
    // also across a restart.
    for (const CimReply* r : {&sr, &fr, &dr})
        EXPECT_EQ(again.remove(CimClient::raw(r->all("VALUE.NAMEDINSTANCE")[0].child("INSTANCENAME"))), 0)
            << again.last().body;
    restart();
    SubscriptionClient after(server->port());
    for (const char* cls : {"CIM_IndicationSubscription", "CIM_IndicationFilter", "CIM_ListenerDestination"})
        EXPECT_TRUE(after.names(cls).empty()) << cls << ": " << after.last().body;
}

TEST_F(SubscriptionE2E, TheListenerGetsCreationDeletionAndModificationUntilTheSubscriptionIsDeleted)
{
    SubscriptionClient client(server->port());
    ASSERT_NO_FATAL_FAILURE(subscribe(client));
    const std::string address = sim.address(0);

    // A volume made and returned through the storage configuration service.
    const std::string service = CimClient::configuration_service(address);
    const std::string pool = CimClient::thin_pool(address);
    CimserverProcess::wait_for_tables(install.path(), {address});
    CimReply made;
    client.client().call(
        "CreateOrModifyElementFromStoragePool",
        CimClient::method("CreateOrModifyElementFromStoragePool", service,
                          "<PARAMVALUE NAME=\"ElementName\" PARAMTYPE=\"string\"><VALUE>SUBSCRIBED</VALUE></PARAMVALUE>"
                          "<PARAMVALUE NAME=\"ElementType\" PARAMTYPE=\"uint16\"><VALUE>5</VALUE></PARAMVALUE>"
                          "<PARAMVALUE NAME=\"Size\" PARAMTYPE=\"uint64\"><VALUE>104857600</VALUE></PARAMVALUE>"
                          "<PARAMVALUE NAME=\"InPool\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                              pool + "</VALUE.REFERENCE></PARAMVALUE>"),
        made);
    ASSERT_NE(made.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos) << made.body;
    auto volume = made.doc.select_node("//PARAMVALUE[@NAME='TheElement']/VALUE.REFERENCE");
    ASSERT_TRUE(volume) << made.body;
    const std::vector<std::string> created = {"MethodRequest ExportIndication",
                                              "<INSTANCE CLASSNAME=\"CIM_InstCreation\">", "VELDARO_StorageVolume",
                                              "SUBSCRIBED"};
    EXPECT_FALSE(listener.waitFor(created, seconds(60)).empty()) << server->output();

    CimReply returned;
    client.client().call("ReturnToStoragePool",
                         CimClient::method("ReturnToStoragePool", service,
                                           "<PARAMVALUE NAME=\"TheElement\" PARAMTYPE=\"reference\">" + CimClient::raw(volume.node()) +
                                               "</PARAMVALUE>"),
                         returned);
    ASSERT_NE(returned.body.find("<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>"), std::string::npos)
        << returned.body;
    EXPECT_FALSE(listener.waitFor({"<INSTANCE CLASSNAME=\"CIM_InstDeletion\">", "VELDARO_StorageVolume"}, seconds(60))
                     .empty())
        << server->output();

    ASSERT_NO_FATAL_FAILURE(changeStatus());
    EXPECT_EQ(listener.waitForCount(MODIFIED, 1, seconds(30)), 1u);

    // The subscription is kept across a restart and still delivers.
    restart();
    SubscriptionClient again(server->port());
    // (References name the server by its new port.)
    auto hostless = [](std::vector<std::string> names) {
        for (std::string& n : names)
            n = std::regex_replace(n, std::regex("<HOST>[^<]*</HOST>"), "");
        return names;
    };
    EXPECT_EQ(hostless(again.names("CIM_IndicationSubscription")), hostless({subscription}));
    EXPECT_EQ(again.names("CIM_IndicationFilter"), std::vector<std::string>{filter});
    const size_t seen = listener.count(MODIFIED);
    ASSERT_NO_FATAL_FAILURE(changeStatus());
    EXPECT_EQ(listener.waitForCount(MODIFIED, seen + 1, seconds(30)), seen + 1);

    // Deleted, it delivers nothing more while the static listener still gets
    // the changes.
    ASSERT_EQ(again.remove(subscription), 0) << again.last().body;
    std::this_thread::sleep_for(seconds(3)); // what was on its way before has arrived
    const size_t before = listener.received();
    ASSERT_NO_FATAL_FAILURE(changeStatus());
    ASSERT_NO_FATAL_FAILURE(changeStatus());
    std::this_thread::sleep_for(seconds(3));
    EXPECT_EQ(listener.received(), before);
    EXPECT_EQ(listener.grammarProblem(), "");
}

}  // namespace
}  // namespace cimserver::test
