// The subscriptions the server keeps, as its files hold them: a change
// costs its own record, no instance or store grows past its bound (and a
// refusal writes nothing), files that cannot be read are kept aside and
// never overwritten, and files that cannot be trusted are neither read nor
// written.
#include "SubscriptionStore.h"

#include <LogCapture.h>
#include <TempInstallDir.h>
#include <schema_repository.h>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace cimserver {
namespace {

using namespace cimple;
namespace fs = std::filesystem;

std::string property(const std::string& name, const std::string& type, const std::string& value)
{
    return "<PROPERTY NAME=\"" + name + "\" TYPE=\"" + type + "\"><VALUE>" + value + "</VALUE></PROPERTY>";
}

std::string filter_xml(const std::string& name, const std::string& query = "SELECT * FROM CIM_InstIndication",
                       const std::string& description = "")
{
    return "<INSTANCE CLASSNAME=\"CIM_IndicationFilter\">" + property("Name", "string", name) +
           property("Query", "string", query) + property("QueryLanguage", "string", "WQL") +
           (description.empty() ? "" : property("Description", "string", description)) + "</INSTANCE>";
}

std::string destination_xml(const std::string& name)
{
    return "<INSTANCE CLASSNAME=\"CIM_ListenerDestinationCIMXML\">" + property("Name", "string", name) +
           property("Destination", "string", "http://127.0.0.1:5990/in") + "</INSTANCE>";
}

std::string end_name(const char* cls, const std::string& name)
{
    std::string keys;
    for (const auto& [key, value] : std::map<std::string, std::string>{{"CreationClassName", cls},
                                                                       {"Name", name},
                                                                       {"SystemCreationClassName", "CIM_ComputerSystem"},
                                                                       {"SystemName", "host.example"}})
        keys += "<KEYBINDING NAME=\"" + key + "\"><KEYVALUE VALUETYPE=\"string\">" + value + "</KEYVALUE></KEYBINDING>";
    return "<VALUE.REFERENCE><LOCALINSTANCEPATH><LOCALNAMESPACEPATH><NAMESPACE NAME=\"interop\"></NAMESPACE>"
           "</LOCALNAMESPACEPATH><INSTANCENAME CLASSNAME=\"" + std::string(cls) + "\">" + keys +
           "</INSTANCENAME></LOCALINSTANCEPATH></VALUE.REFERENCE>";
}

std::string subscription_xml(const std::string& filter, const std::string& destination)
{
    return "<INSTANCE CLASSNAME=\"CIM_IndicationSubscription\"><PROPERTY.REFERENCE NAME=\"Filter\">" +
           end_name("CIM_IndicationFilter", filter) + "</PROPERTY.REFERENCE><PROPERTY.REFERENCE NAME=\"Handler\">" +
           end_name("CIM_ListenerDestinationCIMXML", destination) + "</PROPERTY.REFERENCE></INSTANCE>";
}

class SubscriptionStoreTest : public ::testing::Test {
protected:
    std::string file() const { return install.path() + "/data/subscriptions.xml"; }
    std::string journal() const { return file() + ".journal"; }

    std::unique_ptr<SubscriptionStore> open(bool loads = true)
    {
        auto store = std::make_unique<SubscriptionStore>(&schema_repository, file(), "host.example");
        std::string message;
        EXPECT_EQ(store->load(message), loads) << message;
        last_message = message;
        return store;
    }

    // The CIM error code of creating the instance (0 when created).
    int create(SubscriptionStore& store, const std::string& xml)
    {
        pugi::xml_document doc;
        doc.load_string(xml.c_str());
        CimError error;
        Instance_Ptr inst = reader.from_instance(doc.first_child(), error);
        EXPECT_TRUE(inst) << error.description;
        Instance_Ptr name;
        error = {};
        const bool made = inst && store.create(inst.get(), name, error);
        last_error = error.description;
        return made ? 0 : error.code;
    }

    std::size_t count(SubscriptionStore& store, const char* cls)
    {
        return store.enumerate(find_meta_class(&schema_repository, cls)).size();
    }

    // Names and contents of every file of the data folder.
    std::map<std::string, std::string> files() const
    {
        std::map<std::string, std::string> all;
        for (const auto& e : fs::directory_iterator(install.path() + "/data"))
            all[e.path().filename()] = e.is_symlink() || !e.is_regular_file()
                                           ? "(not a regular file)"
                                           : install.readFile("data/" + e.path().filename().string());
        return all;
    }

    std::string aside_of(const std::string& name) const
    {
        for (const auto& [file_name, content] : files())
            if (file_name.rfind(name + ".damaged-", 0) == 0)
                return content;
        return "(none)";
    }

    smis::test::TempInstallDir install;
    CimXmlReader reader{&schema_repository};
    std::string last_error, last_message;
};

TEST_F(SubscriptionStoreTest, AChangeCostsItsOwnRecordAndTheStoreReadsTheSameAgain)
{
    {
        auto store = open();
        for (int i = 0; i < 100; i++)
            ASSERT_EQ(create(*store, filter_xml("f" + std::to_string(i), "SELECT * FROM CIM_InstIndication",
                                                std::string(8000, 'd'))),
                      0)
                << last_error;
        ASSERT_EQ(create(*store, destination_xml("d")), 0) << last_error;
        ASSERT_EQ(create(*store, subscription_xml("f1", "d")), 0) << last_error;
    }
    // Read again, the journal is folded into the snapshot (about 800 KB);
    // one change then writes its own record, the snapshot stays as it is.
    auto store = open();
    EXPECT_EQ(count(*store, "CIM_IndicationFilter"), 100u);
    EXPECT_EQ(count(*store, "CIM_ListenerDestination"), 1u);
    EXPECT_EQ(count(*store, "CIM_IndicationSubscription"), 1u);
    const auto before = files();
    EXPECT_GT(before.at("subscriptions.xml").size(), 800000u);
    EXPECT_EQ(before.at("subscriptions.xml.journal"), "");
    ASSERT_EQ(create(*store, filter_xml("one-more")), 0) << last_error;
    const auto after = files();
    EXPECT_LT(after.at("subscriptions.xml.journal").size(), 1000u);
    EXPECT_EQ(after.at("subscriptions.xml"), before.at("subscriptions.xml"));

    // What a subscription uses stays; the rest may go, and stays gone.
    auto filter_named = [&](const std::string& name) {
        pugi::xml_document doc;
        doc.load_string(end_name("CIM_IndicationFilter", name).c_str());
        CimError error;
        Instance_Ptr inst = reader.from_instance_name(doc.select_node("//INSTANCENAME").node(), nullptr, error);
        EXPECT_TRUE(inst) << error.description;
        return inst;
    };
    CimError error;
    EXPECT_TRUE(store->remove(filter_named("f0").get(), error)) << error.description;
    EXPECT_FALSE(store->remove(filter_named("f1").get(), error));
    store.reset();
    auto again = open();
    EXPECT_EQ(count(*again, "CIM_IndicationFilter"), 100u);
    EXPECT_FALSE(again->get(filter_named("f0").get(), *std::make_unique<Instance_Ptr>(), error));
}

TEST_F(SubscriptionStoreTest, WhatIsOverItsBoundIsRefusedAndWritesNothing)
{
    auto store = open();
    ASSERT_EQ(create(*store, filter_xml("kept")), 0);
    const auto before = files();
    const std::string padded = "SELECT * FROM CIM_InstIndication" + std::string(SubscriptionStore::MAX_QUERY, ' ');
    EXPECT_EQ(create(*store, filter_xml("long-query", padded)), CIM_ERR_INVALID_PARAMETER);
    EXPECT_EQ(last_error, "the filter's Query is 16416 bytes: at most 16384 are taken");
    EXPECT_EQ(create(*store, filter_xml("long-description", "SELECT * FROM CIM_InstIndication",
                                        std::string(SubscriptionStore::MAX_INSTANCE, 'd'))),
              CIM_ERR_INVALID_PARAMETER);
    EXPECT_NE(last_error.find("at most 65536 are kept of one instance"), std::string::npos) << last_error;
    EXPECT_EQ(files(), before);

    // The store as a whole: filters just under the instance bound until it
    // is full.
    const std::string big(SubscriptionStore::MAX_INSTANCE - 2000, 'd');
    int made = 0, code = 0;
    while ((code = create(*store, filter_xml("big" + std::to_string(made), "SELECT * FROM CIM_InstIndication", big))) == 0)
        made++;
    EXPECT_EQ(code, CIM_ERR_FAILED);
    EXPECT_NE(last_error.find("no more than 16777216 are kept"), std::string::npos) << last_error;
    EXPECT_GT(made, 200);
    const auto full = files();
    EXPECT_EQ(create(*store, filter_xml("more", "SELECT * FROM CIM_InstIndication", big)), CIM_ERR_FAILED);
    EXPECT_EQ(files(), full);
    EXPECT_EQ(count(*store, "CIM_IndicationFilter"), static_cast<std::size_t>(made) + 1);
}

// Whatever the files hold, the server starts: what cannot be read goes
// aside as it was (logged SEVERE), what can is served and kept anew.
TEST_F(SubscriptionStoreTest, FilesThatCannotBeReadAreKeptAsideAndWhatCanBeReadIsServed)
{
    std::string good;
    {
        auto store = open();
        ASSERT_EQ(create(*store, filter_xml("f")), 0);
        ASSERT_EQ(create(*store, destination_xml("d")), 0);
        ASSERT_EQ(create(*store, subscription_xml("f", "d")), 0);
    }
    {
        auto folded = open();
        good = install.readFile("data/subscriptions.xml");
    }
    const std::string record = "<SET>" + filter_xml("j") + "</SET>\n";
    struct Case {
        const char* what;
        std::string snapshot, journal;
        bool kept_aside;
        std::size_t filters;
    } cases[] = {
        {"a cut snapshot", good.substr(0, good.size() / 2), "", true, 0},
        {"no subscription file", "<html>not this</html>", "", true, 0},
        {"a damaged journal record", good, record + "<SET><INSTANCE CLASSNAME=\"CIM_IndicationFilter\">\n" + record,
         true, 2},
        {"a record cut short by a crash", good, record + record.substr(0, 20), false, 2},
        {"an instance no longer served",
         good.substr(0, good.find("</SUBSCRIPTIONS>")) + filter_xml("gone", "SELECT * FROM NoSuchIndication") +
             "</SUBSCRIPTIONS>\n",
         "", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(install.path() + "/data");
        install.writeFile("data/subscriptions.xml", c.snapshot);
        if (!c.journal.empty())
            install.writeFile("data/subscriptions.xml.journal", c.journal);
        smis::test::LogCapture logs;
        auto store = open(!c.kept_aside);
        EXPECT_EQ(count(*store, "CIM_IndicationFilter"), c.filters);
        bool severe = false;
        for (const auto& r : logs.logs())
            severe |= r.logLevel == Pegasus::Logger::SEVERE && r.message.find(" is kept as ") != std::string::npos;
        EXPECT_EQ(severe, c.kept_aside) << last_message;
        if (c.kept_aside) {
            EXPECT_EQ(aside_of("subscriptions.xml"), c.snapshot);
            if (!c.journal.empty()) {
                EXPECT_EQ(aside_of("subscriptions.xml.journal"), c.journal);
            }
        }
        // Changes are kept again, in files of the store's own.
        EXPECT_EQ(create(*store, filter_xml("new")), 0) << last_error;
        store.reset();
        auto again = open();
        EXPECT_EQ(count(*again, "CIM_IndicationFilter"), c.filters + 1);
    }
}

// Nothing the server did not make is read or written: a FIFO (which would
// block a reader for ever), a link, a file of another user or one others
// may write. The refusal is logged and every change answered with it.
TEST_F(SubscriptionStoreTest, FilesThatCannotBeTrustedAreNeitherReadNorWritten)
{
    struct Case {
        const char* what;
        const char* name; // subscriptions.xml or its journal
        std::function<bool(const std::string&)> make; // false: cannot be made here
        const char* why;
    } cases[] = {
        {"a FIFO", "subscriptions.xml", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; },
         "it is a FIFO, not a regular file"},
        {"a FIFO journal", "subscriptions.xml.journal",
         [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }, "it is a FIFO, not a regular file"},
        {"a link", "subscriptions.xml", [](const std::string& p) { return ::symlink("/etc/passwd", p.c_str()) == 0; },
         "it is a symbolic link, not a regular file"},
        {"a file others may write", "subscriptions.xml",
         [this](const std::string& p) {
             install.writeFile("data/subscriptions.xml", "");
             return ::chmod(p.c_str(), 0666) == 0;
         },
         "its mode 0666 lets other users write it"},
        {"a file of another user", "subscriptions.xml",
         [this](const std::string& p) {
             install.writeFile("data/subscriptions.xml", "");
             return ::geteuid() == 0 && ::chown(p.c_str(), 65534, 65534) == 0;
         },
         "it is owned by user 65534, not by the server's user 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(install.path() + "/data");
        fs::create_directories(install.path() + "/data");
        const std::string path = install.path() + "/data/" + c.name;
        if (!c.make(path)) {
            std::cout << "not tried here: " << c.what << "\n";
            continue;
        }
        const auto before = files();
        smis::test::LogCapture logs;
        auto store = open(false);
        EXPECT_EQ(last_message, path + " is refused: " + c.why +
                                    ": no subscription is read or kept until it is put right");
        EXPECT_TRUE(logs.hasLog(Pegasus::Logger::STANDARD_LOG, path + " is refused: " + c.why));
        EXPECT_EQ(create(*store, filter_xml("f")), CIM_ERR_FAILED);
        EXPECT_EQ(last_error, "the subscriptions cannot be kept: " + path + " is refused: " + c.why);
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0);
        EXPECT_EQ(files().size(), before.size());
    }
}

} // namespace
} // namespace cimserver
