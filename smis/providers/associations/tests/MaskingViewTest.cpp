// The masking view: controllers with the volumes they expose and the ports
// they sit on, privileges with the identifiers they are granted to and the
// controllers they open. Each association's enumeration is checked against
// what associators give from each of its ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "AssociationCalls.h"
#include "CIM_AuthorizedSubject.h"
#include "CIM_AuthorizedSubject_Provider.h"
#include "CIM_AuthorizedTarget.h"
#include "CIM_AuthorizedTarget_Provider.h"
#include "CIM_ConcreteDependency.h"
#include "CIM_ConcreteDependency_Provider.h"
#include "CIM_ProtocolControllerForPort.h"
#include "CIM_ProtocolControllerForPort_Provider.h"
#include "CIM_ProtocolControllerForUnit.h"
#include "CIM_ProtocolControllerForUnit_Provider.h"
#include "MaskingArrayFixture.h"
#include "Provider_Dispatch.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageVolume_Resource.h"

using assoc_test::Held_List;

namespace {

const std::string A = "10.0.0.5";
const std::string AP_PORT = "CM02CA01P01";
const std::string AFG3 = "AFG0003_" + AP_PORT;
const std::string AFG7 = "AFG0007_" + AP_PORT;
const std::string AFG3_ISCSI = "AFG0003_CM00CA02P00";
const std::string LM0 = "LM_CM00CA00P00";
const std::string LM1 = "LM_CM01CA00P00";

std::string keyOf(const cimple::Instance* i)
{
    for (const char* key : {"DeviceID", "InstanceID"}) {
        const std::string value = assoc_test::text(i, key);
        if (!value.empty())
            return value;
    }
    // The services: one of each class.
    return i->meta_class->name;
}

std::vector<std::string> viewPairs(const Held_List& list, const char* first, const char* second)
{
    std::vector<std::string> out;
    for (const auto& a : list)
        out.push_back(keyOf(assoc_test::end(a.get(), first)) + ">" + keyOf(assoc_test::end(a.get(), second)));
    return out;
}

class MaskingView : public smis::test::Masking_Array_Fixture {
protected:
    // The DeviceID of the volume of an OLU.
    std::string volume(std::uint16_t olu)
    {
        int slu = -1;
        {
            cimple::VELDARO_RefTable table(ADDRESS);
            slu = table.searchSlunFromSluTable(table.getOluSlun(table.searchOlunFromOluTable(olu), 0));
        }
        cimple::VELDARO_StorageVolume* v = nullptr;
        cimple::VELDARO_StorageVolume_Resource(ADDRESS).createInstance(v, slu);
        EXPECT_NE(v, nullptr) << olu;
        const std::string id = v ? v->DeviceID.value.c_str() : "";
        if (v)
            cimple::destroy(v);
        return id;
    }

    // Installs b in place of the fixture's table and enumerates the
    // controllers' volume pairs into list.
    void reinstallAndEnumerate(smis::test::CMTBuilder& b, cimple::CIM_ProtocolControllerForUnit_Provider& provider,
                               Held_List& list)
    {
        cimple::SMIS_CMTAccess::destroy();
        install(b);
        ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ProtocolControllerForUnit>(provider, list), 0);
    }

    // For every end of every enumerated association, associators and
    // associator names from that end (through its role) give exactly the
    // distinct far ends the enumeration pairs it with.
    template <class Provider>
    void agreeFromEachEnd(Provider& provider, const Held_List& list, const char* first, const char* second)
    {
        for (const auto& [role, other] : {std::pair{first, second}, std::pair{second, first}}) {
            std::map<std::string, std::set<std::string>> expected;
            std::map<std::string, const cimple::Instance*> sources;
            for (const auto& a : list) {
                const cimple::Instance* source = assoc_test::end(a.get(), role);
                expected[keyOf(source)].insert(keyOf(assoc_test::end(a.get(), other)));
                sources[keyOf(source)] = source;
            }
            for (const auto& [key, source] : sources) {
                for (bool names : {false, true}) {
                    Held_List found;
                    ASSERT_EQ(assoc_test::associators(provider, source, found, names, "", role, other), 0) << key;
                    std::multiset<std::string> got;
                    for (const auto& f : found)
                        got.insert(keyOf(f.get()));
                    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()), expected[key]) << role << " " << key;
                    EXPECT_EQ(got.size(), expected[key].size()) << "each far end once from " << key;
                }
            }
        }
    }
};

TEST_F(MaskingView, ControllersExposeTheirVolumesUnderTheirLuns)
{
    cimple::CIM_ProtocolControllerForUnit_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ProtocolControllerForUnit>(provider, list), 0);
    std::vector<std::string> got;
    for (const auto& a : list) {
        const auto* u = static_cast<const cimple::CIM_ProtocolControllerForUnit*>(a.get());
        got.push_back(keyOf(u->Antecedent) + ">" + keyOf(u->Dependent) + "@" + u->DeviceNumber.value.c_str());
        EXPECT_EQ(u->DeviceAccess.value, 2);
        EXPECT_FALSE(u->DeviceAccess.null);
        EXPECT_TRUE(u->AccessState.null);
    }
    const std::string v3 = volume(3), v5 = volume(5);
    // Group 3 is bound to two hosts on its FC port: one controller there.
    // Group 7 maps volume 3 under LUNs 2 and 4: one association, the lower.
    EXPECT_EQ(got, (std::vector<std::string>{
                       AFG3 + ">" + v3 + "@0000", AFG3 + ">" + v5 + "@000A", AFG7 + ">" + v3 + "@0002", AFG3_ISCSI + ">" + v3 + "@0000", AFG3_ISCSI + ">" + v5 + "@000A",
                       LM0 + ">" + v5 + "@0000", LM1 + ">" + v5 + "@0000"}));
    agreeFromEachEnd(provider, list, "Antecedent", "Dependent");
}

TEST_F(MaskingView, AVolumeIsReachedThroughEveryPortOfItsLunMapping)
{
    cimple::CIM_ProtocolControllerForUnit_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ProtocolControllerForUnit>(provider, list), 0);
    const cimple::Instance* v5 = nullptr;
    for (const auto& a : list)
        if (keyOf(assoc_test::end(a.get(), "Dependent")) == volume(5))
            v5 = assoc_test::end(a.get(), "Dependent");
    ASSERT_NE(v5, nullptr);
    Held_List found;
    ASSERT_EQ(assoc_test::associators(provider, v5, found, true), 0);
    std::vector<std::string> keys;
    for (const auto& f : found)
        keys.push_back(keyOf(f.get()));
    EXPECT_EQ(keys, (std::vector<std::string>{AFG3, AFG3_ISCSI, LM0, LM1}));
}

// A LUN mapping whose entry is not defined exposes nothing through the
// controllers of the ports that name it, whichever end is asked.
TEST_F(MaskingView, AnUndefinedLunMappingExposesNoVolume)
{
    smis::test::CMTBuilder b;
    build(b);
    b.lunMap(0).Definition(0);
    cimple::CIM_ProtocolControllerForUnit_Provider provider;
    Held_List list;
    ASSERT_NO_FATAL_FAILURE(reinstallAndEnumerate(b, provider, list));
    const std::string v3 = volume(3), v5 = volume(5);
    EXPECT_EQ(viewPairs(list, "Antecedent", "Dependent"),
              (std::vector<std::string>{AFG3 + ">" + v3, AFG3 + ">" + v5, AFG7 + ">" + v3, AFG3_ISCSI + ">" + v3,
                                        AFG3_ISCSI + ">" + v5}));
    agreeFromEachEnd(provider, list, "Antecedent", "Dependent");
}

// Second-half adapters (module id bit 3) have ports 2 and 3, and their map
// entries may write them 0 and 1: module 0x48 port 2 in LUN-mapping mode
// (LUN mapping 0), module 0x49 port 3 in host-affinity mode (host 0 bound
// to group 3). Both are reached from either end: for every volume its
// references are the enumeration's pairs, each found again as GetInstance
// finds it.
TEST_F(MaskingView, SecondHalfPortsWrittenZeroOrOneAreReachedFromBothEnds)
{
    smis::test::CMTBuilder b;
    build(b);
    b.ca(0x10000500).Status(1).ModuleId(0x48).Type(0x0600).RealType(0x0600);
    smis::test::CMTBuilder::caPort(b.caDetail(0x10000500), 0).Status(0xE001).PortNo(2).SecurityMode(0).RAMode(0)
        .Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0x03, 0x48});
    b.ca(0x10000600).Status(1).ModuleId(0x49).Type(0x0600).RealType(0x0600);
    smis::test::CMTBuilder::caPort(b.caDetail(0x10000600), 0).Status(0xE001).PortNo(3).SecurityMode(0x80).RAMode(0)
        .Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0x03, 0x49});
    map(b, 4, 0x48, 0, {});
    map(b, 5, 0x49, 1, {{0, 3}});

    cimple::CIM_ProtocolControllerForUnit_Provider provider;
    Held_List list;
    ASSERT_NO_FATAL_FAILURE(reinstallAndEnumerate(b, provider, list));
    const std::string v3 = volume(3), v5 = volume(5);
    const std::vector<std::string> pairs = viewPairs(list, "Antecedent", "Dependent");
    for (const std::string& pair : {"LM_CM00CA00P02>" + v5, "AFG0003_CM01CA00P03>" + v3, "AFG0003_CM01CA00P03>" + v5})
        EXPECT_NE(std::find(pairs.begin(), pairs.end(), pair), pairs.end())
            << pair << " missing from " << ::testing::PrintToString(pairs);

    std::map<std::string, const cimple::Instance*> volumes;
    for (const auto& a : list)
        volumes[keyOf(assoc_test::end(a.get(), "Dependent"))] = assoc_test::end(a.get(), "Dependent");
    for (const auto& [key, source] : volumes) {
        std::vector<std::string> want;
        for (const auto& a : list)
            if (cimple::key_eq(assoc_test::end(a.get(), "Dependent"), source))
                want.push_back(keyOf(assoc_test::end(a.get(), "Antecedent")));
        Held_List found;
        cimple::Enum_References_Handler<cimple::CIM_ProtocolControllerForUnit> h(
            [](cimple::Instance* i, cimple::Enum_References_Status, void* out) {
                return assoc_test::keep_owned(i, cimple::ENUM_INSTANCES_OK, out);
            },
            &found);
        ASSERT_EQ(provider.enum_references(source, nullptr, "Dependent", &h), cimple::ENUM_REFERENCES_OK) << key;
        std::vector<std::string> got;
        for (const auto& f : found)
            got.push_back(keyOf(assoc_test::end(f.get(), "Antecedent")));
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want) << "references of " << key;
    }
    // GetInstance of each pair: found among the references of its volume.
    for (const auto& a : list) {
        cimple::Instance* got = nullptr;
        EXPECT_EQ(cimple::dispatch_detail::association_by_references(
                      &provider, static_cast<const cimple::CIM_ProtocolControllerForUnit*>(a.get()), &got),
                  cimple::GET_INSTANCE_OK)
            << keyOf(assoc_test::end(a.get(), "Antecedent")) << ">" << keyOf(assoc_test::end(a.get(), "Dependent"));
        if (got)
            cimple::destroy(got);
    }
}

TEST_F(MaskingView, ControllersSitOnTheirPorts)
{
    cimple::CIM_ProtocolControllerForPort_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ProtocolControllerForPort>(provider, list), 0);
    std::vector<std::string> got = viewPairs(list, "Antecedent", "Dependent");
    // The iSCSI port is no FC port: its controller has none.
    ASSERT_EQ(got.size(), 4u) << ::testing::PrintToString(got);
    EXPECT_EQ(got[0].substr(0, got[0].find('>')), AFG3);
    EXPECT_EQ(got[1].substr(0, got[1].find('>')), AFG7);
    EXPECT_EQ(got[0].substr(got[0].find('>')), got[1].substr(got[1].find('>')));
    EXPECT_EQ(got[2].substr(0, got[2].find('>')), LM0);
    EXPECT_EQ(got[3].substr(0, got[3].find('>')), LM1);
    for (const auto& a : list)
        EXPECT_TRUE(static_cast<const cimple::CIM_ProtocolControllerForPort*>(a.get())->DeviceNumber.null);
    agreeFromEachEnd(provider, list, "Antecedent", "Dependent");
}

TEST_F(MaskingView, PrivilegesAreGrantedToTheirHostsAndDefaultsToTheDefaultIdentifier)
{
    cimple::CIM_AuthorizedSubject_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_AuthorizedSubject>(provider, list), 0);
    const std::string shi0 = std::string("VELDARO:SHI") + HOST0 + "_" + A;
    const std::string shi1 = std::string("VELDARO:SHI") + HOST1 + "_" + A;
    const std::string shiIscsi = std::string("VELDARO:SHI") + ISCSI_HOST + "_" + ISCSI_IP + "_" + A;
    const std::string dshi = "VELDARO:DSHI_" + A;
    // One privilege per binding, host 0 twice (two groups on one port).
    EXPECT_EQ(viewPairs(list, "Privilege", "PrivilegedElement"),
              (std::vector<std::string>{
                  "VELDARO:AP0003_" + std::string(HOST0) + AP_PORT + "_" + A + ">" + shi0,
                  "VELDARO:AP0003_" + std::string(HOST1) + AP_PORT + "_" + A + ">" + shi1,
                  "VELDARO:AP0007_" + std::string(HOST0) + AP_PORT + "_" + A + ">" + shi0,
                  "VELDARO:AP0003_" + std::string(ISCSI_HOST) + "_" + ISCSI_IP + "CM00CA02P00_" + A + ">" + shiIscsi,
                  "VELDARO:DAP_CM00CA00P00_" + A + ">" + dshi,
                  "VELDARO:DAP_CM01CA00P00_" + A + ">" + dshi,
              }));
    agreeFromEachEnd(provider, list, "Privilege", "PrivilegedElement");
}

TEST_F(MaskingView, PrivilegesOpenTheirControllers)
{
    cimple::CIM_AuthorizedTarget_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_AuthorizedTarget>(provider, list), 0);
    EXPECT_EQ(viewPairs(list, "Privilege", "TargetElement"),
              (std::vector<std::string>{
                  "VELDARO:AP0003_" + std::string(HOST0) + AP_PORT + "_" + A + ">" + AFG3,
                  "VELDARO:AP0003_" + std::string(HOST1) + AP_PORT + "_" + A + ">" + AFG3,
                  "VELDARO:AP0007_" + std::string(HOST0) + AP_PORT + "_" + A + ">" + AFG7,
                  "VELDARO:AP0003_" + std::string(ISCSI_HOST) + "_" + ISCSI_IP + "CM00CA02P00_" + A + ">" +
                      AFG3_ISCSI,
                  "VELDARO:DAP_CM00CA00P00_" + A + ">" + LM0,
                  "VELDARO:DAP_CM01CA00P00_" + A + ">" + LM1,
              }));
    agreeFromEachEnd(provider, list, "Privilege", "TargetElement");
}

TEST_F(MaskingView, MaskingServicesManageControllersIdentifiersAndPrivileges)
{
    cimple::CIM_ConcreteDependency_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ConcreteDependency>(provider, list), 0);
    std::map<std::string, std::vector<std::string>> managed;
    // The services are keyed by name: one each.
    for (const auto& a : list)
        managed[assoc_test::end(a.get(), "Antecedent")->meta_class->name].push_back(
            keyOf(assoc_test::end(a.get(), "Dependent")));
    // Group 3 once per port, though two hosts use it on the FC port.
    EXPECT_EQ(managed["VELDARO_ControllerConfigurationService"],
              (std::vector<std::string>{AFG3, AFG7, AFG3_ISCSI, LM0, LM1}));
    EXPECT_EQ(managed["VELDARO_StorageHardwareIDManagementService"],
              (std::vector<std::string>{std::string("VELDARO:SHI") + HOST0 + "_" + A,
                                        std::string("VELDARO:SHI") + HOST1 + "_" + A,
                                        std::string("VELDARO:SHI") + ISCSI_HOST + "_" + ISCSI_IP + "_" + A,
                                        "VELDARO:DSHI_" + A}));
    // One privilege per binding.
    EXPECT_EQ(managed["VELDARO_PrivilegeManagementService"].size(), 6u);
    agreeFromEachEnd(provider, list, "Antecedent", "Dependent");
}

// A port in LUN-mapping mode can keep affinity bindings in its map entry:
// its group controller and privilege are built from the tables, but no view
// pairs them, so a request about either is answered with nothing too.
class MaskingViewStaleBinding : public MaskingView {
protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        smis::test::CMTBuilder b;
        build(b);
        map(b, 2, 0x40, 0, {{0, 3}});
        install(b);
        setDeviceStatus(0x50);
    }
};

TEST_F(MaskingViewStaleBinding, ControllersAndPrivilegesOfALunMappingPortArePairedWithNothing)
{
    cimple::VELDARO_AffinityGroupController* controller = nullptr;
    ASSERT_EQ(cimple::VELDARO_AffinityGroupController_Resource(ADDRESS).createInstance(controller, 3, 0, 0, 0), 0);
    ASSERT_NE(controller, nullptr);
    assoc_test::Held heldController(controller);
    cimple::VELDARO_AuthorizedPrivilege* privilege = nullptr;
    ASSERT_EQ(cimple::VELDARO_AuthorizedPrivilege_Resource(ADDRESS).createInstance(privilege, 3, 0, 0, 0, 0), 0);
    ASSERT_NE(privilege, nullptr);
    assoc_test::Held heldPrivilege(privilege);

    const auto pairedWithNothing = [&](auto& provider, auto* cls, const cimple::Instance* source) {
        using Class = std::remove_pointer_t<decltype(cls)>;
        Held_List list;
        ASSERT_EQ(assoc_test::enumerate<Class>(provider, list), 0);
        for (const auto& a : list)
            EXPECT_FALSE(cimple::is_reference_of(source, a.get(), nullptr)) << Class::static_meta_class.name;
        for (bool names : {false, true}) {
            Held_List found;
            EXPECT_EQ(assoc_test::associators(provider, source, found, names), 0);
            EXPECT_TRUE(found.empty()) << Class::static_meta_class.name << " from " << keyOf(source);
        }
    };
    {
        cimple::CIM_ConcreteDependency_Provider provider;
        pairedWithNothing(provider, static_cast<cimple::CIM_ConcreteDependency*>(nullptr), controller);
        pairedWithNothing(provider, static_cast<cimple::CIM_ConcreteDependency*>(nullptr), privilege);
    }
    {
        cimple::CIM_AuthorizedSubject_Provider provider;
        pairedWithNothing(provider, static_cast<cimple::CIM_AuthorizedSubject*>(nullptr), privilege);
    }
    {
        cimple::CIM_AuthorizedTarget_Provider provider;
        pairedWithNothing(provider, static_cast<cimple::CIM_AuthorizedTarget*>(nullptr), controller);
        pairedWithNothing(provider, static_cast<cimple::CIM_AuthorizedTarget*>(nullptr), privilege);
    }
    {
        cimple::CIM_ProtocolControllerForPort_Provider provider;
        pairedWithNothing(provider, static_cast<cimple::CIM_ProtocolControllerForPort*>(nullptr), controller);
    }
    {
        cimple::CIM_ProtocolControllerForUnit_Provider provider;
        pairedWithNothing(provider, static_cast<cimple::CIM_ProtocolControllerForUnit*>(nullptr), controller);
    }
}

}  // namespace
