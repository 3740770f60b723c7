// End to end: a client subscribes to indications through the interop name
// space (filter, listener destination, subscription) and its listener gets
// what the arrays report; the subscription outlives a restart of the
// server, and after it is deleted nothing more arrives.
#include "InstancePath.h"
#include "SubscribedServer.h"
#include "TestCertificate.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
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

    // A volume made and returned through the storage configuration service.
    std::string volume;
    ASSERT_NO_FATAL_FAILURE(makeVolume(client, "SUBSCRIBED", volume));
    const std::vector<std::string> created = {"MethodRequest ExportIndication",
                                              "<INSTANCE CLASSNAME=\"CIM_InstCreation\">", "VELDARO_StorageVolume",
                                              "SUBSCRIBED"};
    EXPECT_FALSE(listener.waitFor(created, seconds(60)).empty()) << server->output();
    ASSERT_NO_FATAL_FAILURE(returnVolume(client, volume));
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

// The lines of the server's standard log that contain the text.
std::size_t logged(const smis::test::TempInstallDir& install, const std::string& text)
{
    std::size_t n = 0;
    std::istringstream log(install.readFile("log/standard.log"));
    for (std::string line; std::getline(log, line);)
        n += line.find(text) != std::string::npos;
    return n;
}

template <class Pred>
bool eventually(Pred pred, std::chrono::seconds limit)
{
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return pred();
}

// A listener over HTTPS with a certificate of its own: until the operator
// trusts it (--export-ssl-trust-store) nothing reaches it and the server
// says why, once for the destination; trusted, it gets the creation and the
// deletion of a volume.
TEST(SubscriptionHttpsE2E, AListenerWithItsOwnCertificateIsReachedOnceTrusted)
{
    TestCertificate cert;
    IndicationListener secure(cert);
    SubscribedServer s;
    SubscriptionClient client(s.server->port());
    ASSERT_NO_FATAL_FAILURE(s.subscribe(client, secure.url()));
    const std::string untrusted = "indications for listener " + secure.url() +
                                  " are not delivered: its certificate is not trusted: self-signed certificate "
                                  "(--export-ssl-trust-store names the certificates to trust)";
    std::string volume;
    ASSERT_NO_FATAL_FAILURE(s.makeVolume(client, "UNTRUSTED", volume));
    EXPECT_TRUE(eventually([&] { return logged(s.install, untrusted) > 0; }, seconds(60))) << s.server->output();
    ASSERT_NO_FATAL_FAILURE(s.returnVolume(client, volume));
    EXPECT_FALSE(s.control.waitFor({"<INSTANCE CLASSNAME=\"CIM_InstDeletion\">", "UNTRUSTED"}, seconds(60)).empty());
    std::this_thread::sleep_for(seconds(5)); // tried again twice or more
    EXPECT_EQ(logged(s.install, "indications for listener " + secure.url()), 1u);
    EXPECT_EQ(secure.received(), 0u);

    s.extra = {"--export-ssl-trust-store", cert.ca_file()};
    s.restart(true);
    SubscriptionClient again(s.server->port());
    ASSERT_NO_FATAL_FAILURE(s.makeVolume(again, "TRUSTED", volume));
    EXPECT_FALSE(secure.waitFor({"<INSTANCE CLASSNAME=\"CIM_InstCreation\">", "TRUSTED"}, seconds(60)).empty())
        << s.server->output();
    ASSERT_NO_FATAL_FAILURE(s.returnVolume(again, volume));
    EXPECT_FALSE(secure.waitFor({"<INSTANCE CLASSNAME=\"CIM_InstDeletion\">", "TRUSTED"}, seconds(60)).empty())
        << s.server->output();
    EXPECT_EQ(secure.grammarProblem(), "");
}

// Whatever lies where the subscriptions are kept, the server starts: a
// damaged file is kept aside (logged SEVERE) and changes are kept anew; a
// FIFO or a file of another user is refused with a line that says so, and
// left as it is. A filter over its bound is refused and writes nothing.
TEST(SubscriptionFilesE2E, TheServerStartsWhateverLiesWhereTheSubscriptionsAreKept)
{
    const std::string damaged = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<SUBSCRIPTIONS>\n<INSTANCE CLASSN";
    struct Case {
        const char* what;
        std::function<bool(smis::test::TempInstallDir&, const std::string&)> make; // false: not here
        std::string logged;
        int create; // what creating a filter answers
    } cases[] = {
        {"a damaged file",
         [&](smis::test::TempInstallDir& install, const std::string&) {
             install.writeFile("data/subscriptions.xml", damaged);
             return true;
         },
         " is not a whole subscription file", 0},
        {"a FIFO", [](smis::test::TempInstallDir&, const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; },
         " is refused: it is a FIFO, not a regular file: no subscription is read or kept until it is put right", 1},
        {"a file of another user",
         [](smis::test::TempInstallDir& install, const std::string& path) {
             install.writeFile("data/subscriptions.xml", "");
             return ::geteuid() == 0 && ::chown(path.c_str(), 65534, 65534) == 0;
         },
         " is refused: it is owned by user 65534, not by the server's user 0: no subscription is read or kept until "
         "it is put right",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        smis::test::TempInstallDir install;
        install.writeEnv({});
        const std::string path = install.path() + "/data/subscriptions.xml";
        std::filesystem::create_directories(install.path() + "/data");
        if (!c.make(install, path)) {
            std::cout << "not tried here: " << c.what << "\n";
            continue;
        }
        CimserverProcess server(install.path(), {"--no-polling"});
        EXPECT_EQ(logged(install, "SEVERE cimserver: " + path + c.logged), 1u)
            << install.readFile("log/standard.log");
        SubscriptionClient client(server.port());
        EXPECT_TRUE(client.names("CIM_IndicationFilter").empty()) << client.last().body;
        const std::string made = client.createFilter("after", "SELECT * FROM CIM_InstIndication");
        EXPECT_EQ(client.last().error_code, c.create) << client.last().body;
        struct stat st {};
        ASSERT_EQ(::lstat(path.c_str(), &st), 0);
        if (c.create == 0) {
            // Kept aside as it was; the new files hold the new filter.
            bool aside = false;
            for (const auto& e : std::filesystem::directory_iterator(install.path() + "/data"))
                aside |= e.path().filename().string().rfind("subscriptions.xml.damaged-", 0) == 0 &&
                         install.readFile("data/" + e.path().filename().string()) == damaged;
            EXPECT_TRUE(aside);
            // Over its bound, a filter is refused and nothing is written.
            const std::string journal = install.readFile("data/subscriptions.xml.journal");
            EXPECT_TRUE(client.createFilter("long", "SELECT * FROM CIM_InstIndication" + std::string(20000, ' ')).empty());
            EXPECT_EQ(client.last().error_code, 4) << client.last().body;
            EXPECT_EQ(install.readFile("data/subscriptions.xml.journal"), journal);
        } else {
            EXPECT_EQ(S_ISFIFO(st.st_mode), std::string(c.what) == "a FIFO");
        }
        EXPECT_EQ(server.stop(), 0) << server.output();
    }
}

}  // namespace
}  // namespace cimserver::test
