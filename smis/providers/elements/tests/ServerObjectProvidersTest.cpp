// The server-side fixed sets: the server system, the provider software
// identity, the registered profiles and sub-profiles, the object manager,
// its namespace and its communication mechanism. None reads an array, so
// they answer alike with no array configured and with one.

#include <gtest/gtest.h>

#include <Pegasus/Common/System.h>

#include <string>
#include <vector>

#include <SMIS_AccessPoints.h>
#include <SMIS_FunctionalProfiles.h>

#include "AssociationCalls.h"
#include "ElementProviderFixture.h"
#include "VELDARO_CIMXMLCommunicationMechanism.h"
#include "VELDARO_Namespace.h"
#include "VELDARO_ObjectManager.h"
#include "VELDARO_ProviderSoftwareIdentity.h"
#include "VELDARO_RegisteredProfile.h"
#include "VELDARO_RegisteredSubProfile.h"
#include "VELDARO_System.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using smis::test::as;
using smis::test::CMTBuilder;
using smis::test::texts;
using smis::test::values;

namespace {

constexpr const char* SERVER = "VELDARO:KESTRIS SMI-S Proxy Server";

class ServerObjectProviders : public smis::test::ElementProviderFixture {};

TEST_F(ServerObjectProviders, EachFixedSetWithAndWithoutArrays)
{
    struct Case {
        const char* cls;
        size_t count;
    } cases[] = {
        {"VELDARO_System", 1},
        {"VELDARO_ProviderSoftwareIdentity", 1},
        {"VELDARO_RegisteredProfile", 3},
        {"VELDARO_RegisteredSubProfile", 13},
        {"VELDARO_ObjectManager", 1},
        {"VELDARO_Namespace", 1},
        {"VELDARO_CIMXMLCommunicationMechanism", 1},
    };
    CMTBuilder table;
    table.maxCounts({});
    for (bool withArray : {false, true}) {
        if (withArray)
            install({{"10.0.0.1", &table}}, {"10.0.0.1"});
        else
            install({}, {});
        for (const Case& c : cases) {
            int status = -1;
            Instance_List list = enumerate(c.cls, &status);
            EXPECT_EQ(status, 0) << c.cls;
            ASSERT_EQ(list.size(), c.count) << c.cls;
            for (const Instance_Ptr& p : list) {
                Instance_Ptr got;
                EXPECT_EQ(getSame(c.cls, p.get(), got), 0) << c.cls;
                ASSERT_NE(got, nullptr);
                EXPECT_TRUE(cimple::key_eq(got.get(), p.get()));
            }
        }
    }
}

TEST_F(ServerObjectProviders, ServerSystemAndProviderSoftware)
{
    install({}, {});
    int status = -1;
    Instance_List systems = enumerate("VELDARO_System", &status);
    ASSERT_EQ(systems.size(), 1u);
    const auto* s = as<cimple::VELDARO_System>(systems[0]);
    EXPECT_STREQ(s->Name.value.c_str(), SERVER);
    EXPECT_STREQ(s->CreationClassName.value.c_str(), "VELDARO_System");
    EXPECT_STREQ(s->ElementName.value.c_str(), "CIM Server for VELDARO storage system");
    EXPECT_STREQ(s->NameFormat.value.c_str(), "Other");
    EXPECT_EQ(values(s->OperationalStatus), (std::vector<cimple::uint16>{2}));

    Instance_List software = enumerate("VELDARO_ProviderSoftwareIdentity", &status);
    ASSERT_EQ(software.size(), 1u);
    const auto* p = as<cimple::VELDARO_ProviderSoftwareIdentity>(software[0]);
    EXPECT_STREQ(p->InstanceID.value.c_str(), "VELDARO:PSI");
    EXPECT_STREQ(p->Name.value.c_str(), SERVER);
    EXPECT_STREQ(p->VersionString.value.c_str(), "V04L00-0000");
    EXPECT_STREQ(p->Manufacturer.value.c_str(), "VELDARO");
    EXPECT_EQ(values(p->Classifications), (std::vector<cimple::uint16>{5}));
}

TEST_F(ServerObjectProviders, RegisteredProfilesInOrder)
{
    install({}, {});
    int status = -1;
    Instance_List profiles = enumerate("VELDARO_RegisteredProfile", &status);
    ASSERT_EQ(profiles.size(), 3u);
    struct Row {
        const char* id;
        const char* caption;
        cimple::uint16 advertise;
    } rows[] = {{"VELDARO:Server", "Server Profile", 3},
                {"VELDARO:Array", "Array Profile", 3},
                {"VELDARO:SMI-S", "SMI-S Profile", 2}};
    for (size_t i = 0; i < 3; ++i) {
        const auto* p = as<cimple::VELDARO_RegisteredProfile>(profiles[i]);
        EXPECT_STREQ(p->InstanceID.value.c_str(), rows[i].id);
        EXPECT_STREQ(p->Caption.value.c_str(), rows[i].caption);
        EXPECT_STREQ(p->RegisteredName.value.c_str(), rows[i].id + 8);
        EXPECT_STREQ(p->RegisteredVersion.value.c_str(), "1.4.0");
        EXPECT_EQ(p->RegisteredOrganization.value, 11);
        EXPECT_EQ(values(p->AdvertiseTypes), (std::vector<cimple::uint16>{rows[i].advertise}));
    }

    using Profile = cimple::VELDARO_RegisteredProfile;
    for (const char* id : {"VELDARO:Array", "VELDARO:array", "Array", "VELDARO:Array_10.0.0.1"}) {
        Instance_Ptr got;
        const int expected = std::string(id) == "VELDARO:Array" ? 0 : 60;
        ASSERT_EQ(get<Profile>("VELDARO_RegisteredProfile", [&](Profile* m) { m->InstanceID.set(id); }, got),
                  expected)
            << id;
        if (expected == 0) {
            EXPECT_STREQ(as<Profile>(got)->Caption.value.c_str(), "Array Profile");
        }
    }

    Instance_List subs = enumerate("VELDARO_RegisteredSubProfile", &status);
    ASSERT_EQ(subs.size(), 13u);
    const auto* first = as<cimple::VELDARO_RegisteredSubProfile>(subs.front());
    const auto* last = as<cimple::VELDARO_RegisteredSubProfile>(subs.back());
    EXPECT_STREQ(first->InstanceID.value.c_str(), "VELDARO:Profile Registration");
    EXPECT_STREQ(first->Caption.value.c_str(), "Profile Registration");
    EXPECT_STREQ(first->RegisteredVersion.value.c_str(), "1.0.0");
    EXPECT_STREQ(last->InstanceID.value.c_str(), "VELDARO:Thin Provisioning");
    EXPECT_EQ(values(last->AdvertiseTypes), (std::vector<cimple::uint16>{2}));
    const auto* fc = as<cimple::VELDARO_RegisteredSubProfile>(subs[4]);
    EXPECT_STREQ(fc->InstanceID.value.c_str(), "VELDARO:FC Target Ports");
    EXPECT_STREQ(as<cimple::VELDARO_RegisteredSubProfile>(subs[1])->RegisteredVersion.value.c_str(), "1.3.0");
}

TEST_F(ServerObjectProviders, ObjectManagerNamespaceAndMechanism)
{
    install({}, {});
    const std::string host = Pegasus::System::getFullyQualifiedHostName().str();
    int status = -1;
    Instance_List managers = enumerate("VELDARO_ObjectManager", &status);
    ASSERT_EQ(managers.size(), 1u);
    const auto* m = as<cimple::VELDARO_ObjectManager>(managers[0]);
    EXPECT_STREQ(m->Name.value.c_str(), SERVER);
    EXPECT_STREQ(m->SystemName.value.c_str(), host.c_str());
    EXPECT_STREQ(m->SystemCreationClassName.value.c_str(), "VELDARO_System");
    EXPECT_TRUE(m->Started.value);
    EXPECT_EQ(values(m->OperationalStatus), (std::vector<cimple::uint16>{2}));

    using OM = cimple::VELDARO_ObjectManager;
    for (const std::string& system : {host, std::string(SERVER), host + ".other"}) {
        Instance_Ptr got;
        EXPECT_EQ(get<OM>("VELDARO_ObjectManager",
                          [&](OM* model) {
                              model->Name.set(SERVER);
                              model->CreationClassName.set("VELDARO_ObjectManager");
                              model->SystemCreationClassName.set("VELDARO_System");
                              model->SystemName.set(system.c_str());
                          },
                          got),
                  system == host ? 0 : 60)
            << system;
    }

    Instance_List spaces = enumerate("VELDARO_Namespace", &status);
    ASSERT_EQ(spaces.size(), 1u);
    const auto* n = as<cimple::VELDARO_Namespace>(spaces[0]);
    EXPECT_STREQ(n->Name.value.c_str(), "/root/kestris");
    EXPECT_STREQ(n->SystemName.value.c_str(), SERVER);
    EXPECT_STREQ(n->ObjectManagerCreationClassName.value.c_str(), "VELDARO_ObjectManager");
    EXPECT_STREQ(n->ObjectManagerName.value.c_str(), SERVER);
    EXPECT_EQ(n->ClassType.value, 2);
    EXPECT_STREQ(n->ClassTypeVersion.value.c_str(), "2.18.1");

    Instance_List mechanisms = enumerate("VELDARO_CIMXMLCommunicationMechanism", &status);
    ASSERT_EQ(mechanisms.size(), 1u);
    const auto* c = as<cimple::VELDARO_CIMXMLCommunicationMechanism>(mechanisms[0]);
    EXPECT_STREQ(c->Name.value.c_str(), SERVER);
    EXPECT_STREQ(c->SystemName.value.c_str(), SERVER);
    EXPECT_EQ(c->CommunicationMechanism.value, 2);
    EXPECT_EQ(values(c->FunctionalProfilesSupported), (std::vector<cimple::uint16>{2, 3, 5, 6, 7, 9}));
    EXPECT_EQ(texts(c->FunctionalProfileDescriptions),
              (std::vector<std::string>{"Basic Read", "Basic Write", "Instance Manipulation", "Association Traversal",
                                        "Query Execution", "Indications"}));
    EXPECT_EQ(values(c->AuthenticationMechanismsSupported), (std::vector<cimple::uint16>{3}));
    EXPECT_EQ(texts(c->AuthenticationMechanismDescriptions), (std::vector<std::string>{"Basic"}));
    EXPECT_STREQ(c->Version.value.c_str(), "1.2");
    EXPECT_EQ(values(c->AdvertiseTypes), (std::vector<cimple::uint16>{3}));
    EXPECT_FALSE(c->MultipleOperationsSupported.value);
    EXPECT_FALSE(c->CIMValidated.value);
}

// A host that listens publishes its listeners: one mechanism each, named by
// the URL a client reaches it at, every one tied to the object manager and
// hosted by the server system; the get of each finds it. Each advertises
// the functional profiles the host published, and only those.
TEST_F(ServerObjectProviders, OneMechanismForEachListenerTheHostPublished)
{
    struct Unpublish {
        ~Unpublish()
        {
            cimple::SMIS_AccessPoints::publish({});
            cimple::SMIS_FunctionalProfiles::publish({});
        }
    } unpublish;
    cimple::SMIS_AccessPoints::publish({cimple::SMIS_AccessPoint::of("http", "127.0.0.1", 5988),
                                    cimple::SMIS_AccessPoint::of("https", "::1", 5989)});
    cimple::SMIS_FunctionalProfiles::publish({2, 5, 6, 9});
    install({}, {});
    const std::vector<std::string> urls = {"http://127.0.0.1:5988", "https://[::1]:5989"};

    int status = -1;
    Instance_List mechanisms = enumerate("VELDARO_CIMXMLCommunicationMechanism", &status);
    ASSERT_EQ(status, 0);
    std::vector<std::string> names;
    for (const auto& m : mechanisms) {
        const auto* mechanism = as<cimple::VELDARO_CIMXMLCommunicationMechanism>(m);
        names.push_back(mechanism->Name.value.c_str());
        EXPECT_EQ(values(mechanism->FunctionalProfilesSupported), (std::vector<cimple::uint16>{2, 5, 6, 9}));
        EXPECT_EQ(texts(mechanism->FunctionalProfileDescriptions),
                  (std::vector<std::string>{"Basic Read", "Instance Manipulation", "Association Traversal",
                                            "Indications"}));
        Instance_Ptr got;
        EXPECT_EQ(getSame("VELDARO_CIMXMLCommunicationMechanism", m.get(), got), 0) << names.back();
    }
    EXPECT_EQ(names, urls);

    for (const char* association : {"CIM_CommMechanismForManager", "CIM_HostedAccessPoint"}) {
        SCOPED_TRACE(association);
        Instance_List pairs = enumerate(association, &status);
        ASSERT_EQ(status, 0);
        std::vector<std::string> dependents;
        for (const auto& pair : pairs) {
            const cimple::Instance* end = assoc_test::end(pair.get(), "Dependent");
            ASSERT_NE(end, nullptr);
            dependents.push_back(static_cast<const cimple::VELDARO_CIMXMLCommunicationMechanism*>(end)->Name.value.c_str());
        }
        EXPECT_EQ(dependents, urls);
    }
}

}  // namespace
