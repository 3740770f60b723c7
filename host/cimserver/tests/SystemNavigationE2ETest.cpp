// End to end: the walk a standard SMI-S client makes through cimserver on
// the simulated `coverage` array, from the interop profiles to the array's
// system, its devices, services and access points, and the agreement of
// enumeration, associator names and reference names of each association of
// that walk.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

const char* const INTEROP = "interop";
const char* const ARRAY = "root/kestris";

// An instance path as the server writes it: its name space and its
// INSTANCENAME element.
struct Path {
    std::string ns;
    std::string name;  // raw INSTANCENAME XML
    bool operator<(const Path& o) const { return ns != o.ns ? ns < o.ns : name < o.name; }
    bool operator==(const Path& o) const { return ns == o.ns && name == o.name; }
    std::string cls() const
    {
        pugi::xml_document d;
        d.load_string(name.c_str());
        return d.first_child().attribute("CLASSNAME").value();
    }
};

void PrintTo(const Path& p, std::ostream* os)
{
    *os << p.ns << " " << p.name << "\n";
}

std::string raw(pugi::xml_node n)
{
    std::ostringstream s;
    n.print(s, "", pugi::format_raw);
    return s.str();
}

// The name space of a path element (INSTANCEPATH or VALUE.REFERENCE
// content); fallback when it names none.
std::string nameSpaceOf(pugi::xml_node n, const std::string& fallback)
{
    std::string ns;
    for (auto part : n.select_nodes(".//LOCALNAMESPACEPATH/NAMESPACE")) {
        if (!ns.empty())
            ns += "/";
        ns += part.node().attribute("NAME").value();
    }
    return ns.empty() ? fallback : ns;
}

class SystemNavigationE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sim = std::make_unique<testsupport::ArraysimProcess>("coverage");
        install = std::make_unique<smis::test::TempInstallDir>();
        // One array: the scenario's arrays share one address, and the
        // providers tell arrays apart by address.
        install->writeEnv({"StorageIP=" + sim->address(0) + "," + std::to_string(sim->port(0))});
        server = std::make_unique<CimserverProcess>(install->path());
        CimserverProcess::wait_for_tables(install->path(), {sim->address(0)}, {".cmf", ".ext", ".cps"});
    }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(server->stop(), 0) << server->output();
        server.reset();
        install.reset();
        sim.reset();
    }

    // The instance names an enumeration in ns answers.
    static std::vector<Path> names(const std::string& cls, const std::string& ns)
    {
        CimClient client(server->port());
        CimReply r;
        client.call("EnumerateInstanceNames",
                    CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", cls), ns), r);
        EXPECT_EQ(r.error_code, 0) << cls << ": " << r.body;
        std::vector<Path> out;
        for (auto n : r.all("INSTANCENAME"))
            if (std::string(n.parent().name()) == "IRETURNVALUE")
                out.push_back({ns, raw(n)});
        return out;
    }

    // AssociatorNames or ReferenceNames of a path through one association
    // class (and, for associators, a result class).
    static std::set<Path> walk(const char* op, const Path& from, const std::string& assoc,
                               const std::string& result_class = "")
    {
        CimClient client(server->port());
        const bool refs = std::string(op) == "ReferenceNames";
        std::string params = "<IPARAMVALUE NAME=\"ObjectName\">" + from.name + "</IPARAMVALUE>" +
                             CimClient::class_param(refs ? "ResultClass" : "AssocClass", assoc);
        if (!result_class.empty())
            params += CimClient::class_param("ResultClass", result_class);
        CimReply r;
        client.call(op, CimClient::imethod(op, params, from.ns), r);
        EXPECT_EQ(r.error_code, 0) << op << " " << assoc << ": " << r.body;
        std::set<Path> out;
        for (auto p : r.all("INSTANCEPATH"))
            if (std::string(p.parent().name()) == "OBJECTPATH")
                out.insert({nameSpaceOf(p, from.ns), raw(p.child("INSTANCENAME"))});
        return out;
    }

    // Paths per class name.
    static std::map<std::string, size_t> byClass(const std::set<Path>& paths)
    {
        std::map<std::string, size_t> out;
        for (const Path& p : paths)
            ++out[p.cls()];
        return out;
    }

    // The one instance of cls in ns whose INSTANCENAME contains text.
    static Path one(const std::string& cls, const std::string& ns, const std::string& text)
    {
        for (const Path& p : names(cls, ns))
            if (p.name.find(text) != std::string::npos)
                return p;
        ADD_FAILURE() << "no " << cls << " with " << text;
        return {};
    }

    // Enumeration, associator names from each end and reference names from
    // each end agree.
    static void agree(const std::string& assoc, const std::string& ns, bool some = true)
    {
        SCOPED_TRACE(assoc);
        std::map<Path, std::set<Path>> far, via;
        std::vector<Path> all = names(assoc, ns);
        EXPECT_EQ(all.empty(), !some);
        for (const Path& a : all) {
            pugi::xml_document d;
            d.load_string(a.name.c_str());
            std::vector<Path> ends;
            for (auto ref : d.select_nodes("//KEYBINDING/VALUE.REFERENCE")) {
                auto inner = ref.node().select_node(".//INSTANCENAME").node();
                ends.push_back({nameSpaceOf(ref.node(), ns), raw(inner)});
            }
            ASSERT_EQ(ends.size(), 2u) << a.name;
            far[ends[0]].insert(ends[1]);
            far[ends[1]].insert(ends[0]);
            // Reference names come back as paths whose name is the same
            // INSTANCENAME, in the request's name space.
            via[ends[0]].insert({ends[0].ns, a.name});
            via[ends[1]].insert({ends[1].ns, a.name});
        }
        for (auto& [end, expected] : far) {
            EXPECT_EQ(walk("AssociatorNames", end, assoc), expected) << end.name;
            EXPECT_EQ(walk("ReferenceNames", end, assoc).size(), via[end].size()) << end.name;
        }
    }

    static std::unique_ptr<testsupport::ArraysimProcess> sim;
    static std::unique_ptr<smis::test::TempInstallDir> install;
    static std::unique_ptr<CimserverProcess> server;
};

std::unique_ptr<testsupport::ArraysimProcess> SystemNavigationE2E::sim;
std::unique_ptr<smis::test::TempInstallDir> SystemNavigationE2E::install;
std::unique_ptr<CimserverProcess> SystemNavigationE2E::server;

// wbemcli's associator names, one path per line, with their name space.
std::vector<std::string> wbemcliLines(const std::vector<std::string>& args)
{
    CommandResult r = CimserverProcess::wbemcli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> out;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            out.push_back(line);
    return out;
}

size_t containing(const std::vector<std::string>& lines, const std::string& text)
{
    size_t n = 0;
    for (const auto& l : lines)
        n += l.find(text) != std::string::npos;
    return n;
}

}  // namespace

TEST_F(SystemNavigationE2E, FromTheArrayProfileToTheSystemItsDevicesServicesAndAccessPoints)
{
    // wbemcli, as a client starts: the array profile in interop leads to the
    // array's system in root/kestris.
    const std::string profile =
        server->url(":VELDARO_RegisteredProfile.InstanceID=\"VELDARO:Array\"", INTEROP);
    auto systems = wbemcliLines({"ain", profile, "-ac", "CIM_ElementConformsToProfile", "-arc", "CIM_ComputerSystem"});
    ASSERT_EQ(systems.size(), 1u);
    EXPECT_NE(systems[0].find("/root/kestris:VELDARO_StorageComputerSystem."), std::string::npos) << systems[0];

    const Path system = one("VELDARO_StorageComputerSystem", ARRAY, sim->address(0));
    std::set<Path> conforms = walk("AssociatorNames", system, "CIM_ElementConformsToProfile");
    ASSERT_EQ(conforms.size(), 1u);
    EXPECT_EQ(conforms.begin()->ns, INTEROP);

    // Each device class: as many devices as the class's own enumeration.
    const std::map<std::string, size_t> devices = byClass(walk("AssociatorNames", system, "CIM_SystemDevice"));
    for (const char* cls :
         {"VELDARO_AffinityGroupController", "VELDARO_LUNMappingController", "VELDARO_DiskDrive", "VELDARO_DiskExtent",
          "VELDARO_RAIDCompositeExtent", "VELDARO_ConcatenatedExtent", "VELDARO_StorageVolume",
          "VELDARO_MirroredExtent", "VELDARO_StripingCompositeExtent", "VELDARO_FreeExtent",
          "VELDARO_PartOfConcatenatedExtent", "VELDARO_SDPVExtent", "VELDARO_SnapDataCompositeExtent",
          "VELDARO_ThinProvisioningExtent", "VELDARO_ThinProvisioningFreeExtent", "VELDARO_LayerixExtent",
          "VELDARO_LayerixSubExtent"}) {
        const size_t own = names(cls, ARRAY).size();
        EXPECT_GT(own, 0u) << cls << ": the scenario should cover it";
        EXPECT_EQ(devices.count(cls) ? devices.at(cls) : 0u, own) << cls;
    }
    EXPECT_EQ(devices.count("VELDARO_FCPort") + devices.count("VELDARO_EthernetPort"), 0u)
        << "ports belong to the controller systems";

    // The services the system hosts, each once.
    const auto services = byClass(walk("AssociatorNames", system, "CIM_HostedService"));
    EXPECT_EQ(services, (std::map<std::string, size_t>{{"VELDARO_ControllerConfigurationService", 1},
                                                       {"VELDARO_PrivilegeManagementService", 1},
                                                       {"VELDARO_ReplicationService", 1},
                                                       {"VELDARO_StorageConfigurationService", 1},
                                                       {"VELDARO_StorageHardwareIDManagementService", 1}}));

    // Access points: the first remote access point on the system, every
    // endpoint on its controller.
    EXPECT_EQ(byClass(walk("AssociatorNames", system, "CIM_HostedAccessPoint")),
              (std::map<std::string, size_t>{{"VELDARO_RemoteServiceAccessPoint", 1}}));

    // Each controller system: the ports and the endpoints of its slot.
    const std::vector<Path> controllers = names("VELDARO_ControllerComputerSystem", ARRAY);
    if (controllers.empty())
        std::cout << "[ NOTE ] the scenario gives no controller systems: their ports and endpoints are not walked\n";
    std::set<Path> ports;
    size_t endpoints = 0;
    for (const Path& controller : controllers) {
        for (const Path& p : walk("AssociatorNames", controller, "CIM_SystemDevice")) {
            EXPECT_TRUE(p.cls() == "VELDARO_FCPort" || p.cls() == "VELDARO_EthernetPort") << p.name;
            EXPECT_TRUE(ports.insert(p).second) << "a port under two controllers: " << p.name;
        }
        endpoints += walk("AssociatorNames", controller, "CIM_HostedAccessPoint").size();
    }
    if (!controllers.empty()) {
        // A port or endpoint in a slot with no controller module (the
        // scenario has adapters in slots beyond its modules) has no
        // controller: the controllers hold what the associations'
        // enumerations pair with a controller, each a port or endpoint its
        // class enumerates.
        const auto withController = [](const std::string& assoc) {
            size_t n = 0;
            for (const Path& a : names(assoc, ARRAY))
                n += a.name.find("\"VELDARO_ControllerComputerSystem\"") != std::string::npos;
            return n;
        };
        EXPECT_GT(ports.size(), 0u);
        EXPECT_EQ(ports.size(), withController("CIM_SystemDevice"));
        std::set<Path> enumerated;
        for (const char* cls : {"VELDARO_FCPort", "VELDARO_EthernetPort"})
            for (const Path& p : names(cls, ARRAY))
                enumerated.insert(p);
        for (const Path& p : ports)
            EXPECT_TRUE(enumerated.count(p)) << "not an enumerated port: " << p.name;
        EXPECT_GT(endpoints, 0u);
        EXPECT_EQ(endpoints, withController("CIM_HostedAccessPoint"));
    }

    // Unfiltered associators of the system answer (every association,
    // placeholders included, is asked).
    auto everything = wbemcliLines({"ain", server->url(":VELDARO_StorageComputerSystem.Name=\"" + sim->address(0) +
                                                       "\",CreationClassName=\"VELDARO_StorageComputerSystem\"")});
    EXPECT_EQ(containing(everything, "interop:VELDARO_RegisteredProfile."), 1u);
    EXPECT_GE(everything.size(), 100u);
}

TEST_F(SystemNavigationE2E, ProfilesSubProfilesAndTheObjectManager)
{
    const Path smis = one("VELDARO_RegisteredProfile", INTEROP, "VELDARO:SMI-S");
    const Path server_profile = one("VELDARO_RegisteredProfile", INTEROP, "VELDARO:Server");
    const Path array = one("VELDARO_RegisteredProfile", INTEROP, "VELDARO:Array");
    const size_t subs = names("VELDARO_RegisteredSubProfile", INTEROP).size();
    ASSERT_GT(subs, 0u);

    // The SMI-S profile: the server and array profiles and every sub-profile.
    auto conform = byClass(walk("AssociatorNames", smis, "CIM_ElementConformsToProfile"));
    EXPECT_EQ(conform, (std::map<std::string, size_t>{{"VELDARO_RegisteredProfile", 2},
                                                      {"VELDARO_RegisteredSubProfile", subs}}));
    // The array profile references the server profile (the sub-profile
    // requirement is a kind of profile reference).
    const std::set<Path> referenced = walk("AssociatorNames", server_profile, "CIM_ReferencedProfile");
    EXPECT_EQ(referenced.count(array), 1u);
    EXPECT_EQ(byClass(referenced), (std::map<std::string, size_t>{{"VELDARO_RegisteredProfile", 1},
                                                                  {"VELDARO_RegisteredSubProfile", 1}}));
    // Profile registration belongs to the server profile, the rest to the
    // array profile.
    EXPECT_EQ(walk("AssociatorNames", server_profile, "CIM_SubProfileRequiresProfile").size(), 1u);
    EXPECT_EQ(walk("AssociatorNames", array, "CIM_SubProfileRequiresProfile").size(), subs - 1);
    // The SMI-S profile has no software identity; the others have the
    // provider's.
    EXPECT_TRUE(walk("AssociatorNames", smis, "CIM_ElementSoftwareIdentity").empty());
    EXPECT_EQ(byClass(walk("AssociatorNames", array, "CIM_ElementSoftwareIdentity")),
              (std::map<std::string, size_t>{{"VELDARO_ProviderSoftwareIdentity", 1}}));

    // The object manager: conforms to the server profile, has one
    // communication mechanism and one name space, and is hosted with the
    // mechanism by the server's system.
    const auto managers = names("VELDARO_ObjectManager", INTEROP);
    ASSERT_EQ(managers.size(), 1u);
    EXPECT_EQ(walk("AssociatorNames", managers[0], "CIM_ElementConformsToProfile"),
              (std::set<Path>{server_profile}));
    EXPECT_EQ(byClass(walk("AssociatorNames", managers[0], "CIM_CommMechanismForManager")),
              (std::map<std::string, size_t>{{"VELDARO_CIMXMLCommunicationMechanism", 1}}));
    EXPECT_EQ(byClass(walk("AssociatorNames", managers[0], "CIM_NamespaceInManager")),
              (std::map<std::string, size_t>{{"VELDARO_Namespace", 1}}));
    const auto hosts = names("VELDARO_System", INTEROP);
    ASSERT_EQ(hosts.size(), 1u);
    EXPECT_EQ(byClass(walk("AssociatorNames", hosts[0], "CIM_HostedService")),
              (std::map<std::string, size_t>{{"VELDARO_ObjectManager", 1}}));
    EXPECT_EQ(byClass(walk("AssociatorNames", hosts[0], "CIM_HostedAccessPoint")),
              (std::map<std::string, size_t>{{"VELDARO_CIMXMLCommunicationMechanism", 1}}));
}

TEST_F(SystemNavigationE2E, EnumerationAssociatorsAndReferencesAgree)
{
    for (const char* assoc :
         {"CIM_SystemDevice", "CIM_HostedService", "CIM_HostedAccessPoint", "CIM_ElementSoftwareIdentity"})
        agree(assoc, ARRAY);
    // Controller systems carry the installed software.
    agree("CIM_InstalledSoftwareIdentity", ARRAY, !names("VELDARO_ControllerComputerSystem", ARRAY).empty());
    for (const char* assoc : {"CIM_ElementConformsToProfile", "CIM_ReferencedProfile", "CIM_SubProfileRequiresProfile",
                              "CIM_CommMechanismForManager", "CIM_NamespaceInManager"})
        agree(assoc, INTEROP);
}

}  // namespace cimserver::test
