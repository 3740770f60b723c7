// The parent shape's extensions: the pass that belongs to no array, request
// routing by source class and key, the far end of an association whose two
// ends are of one class, end name spaces, and properties set by emit.

#include <cimple/Meta_Repository.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "Association_Parent_Frame.h"
#include "CIM_BasedOn.h"
#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_StorageVolume.h"

using assoc_test::Held_List;
using cimple::Association_Parent_Frame;
using cimple::Association_Provider_Frame;
using cimple::Instance;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* NO_TABLE = "10.0.0.9";

cimple::VELDARO_DiskExtent* extent(const std::string& system, const std::string& id)
{
    auto* e = cimple::VELDARO_DiskExtent::create();
    e->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    e->SystemName.set(system.c_str());
    e->CreationClassName.set("VELDARO_DiskExtent");
    e->DeviceID.set(id.c_str());
    return e;
}

// Per array: "<array>/low" based on by "<array>/high", OrderIndex 7; the
// pass of no array (when given) emits "fixed/low" under "fixed/high" with
// the low end in the interop name space. A request for a disk extent emits
// the source's pair with extent "<DeviceID>+1" (DeviceID a number), the
// source first for an even number and second for an odd one.
class Scripted_Parent_Provider : public Association_Parent_Frame {
public:
    explicit Scripted_Parent_Provider(First_Pass pass = nullptr) : Association_Parent_Frame(pass) {}

    Held_List enumerateAll(int& status)
    {
        Held_List out;
        status = assoc_test::enumerate<cimple::Instance>(*this, out);
        return out;
    }

    static void pair(Association_Parent_Frame& frame, Instance* low, Instance* high)
    {
        frame.emit<cimple::CIM_BasedOn>(low, high, frame.otherEndByKey(low, high), true,
                                        [](cimple::CIM_BasedOn& a) { a.OrderIndex.set(7); });
    }

    std::vector<std::string> visited;
    std::vector<int> routed;

    cimple::Enum_Instances_Status enum_instances(const Instance*, cimple::Enum_Instances_Handler<Instance>* h)
    {
        return enumerate(h);
    }
    cimple::Enum_Associators_Status enum_associators(const Instance* s, const cimple::String& rc,
                                                     const cimple::String& r, const cimple::String& rr,
                                                     cimple::Enum_Associators_Handler<Instance>* h)
    {
        return associators(s, rc, r, rr, h);
    }

protected:
    bool _enumPairs() override
    {
        const std::string at = storage().c_str();
        visited.push_back(at);
        pair(*this, extent(at, at + "/low"), extent(at, at + "/high"));
        return true;
    }

    int _request(const Instance* source) override
    {
        static const Source_Route rows[] = {
            {&cimple::VELDARO_DiskExtent::static_meta_class, Association_Provider_Frame::BY_SYSTEM_NAME,
             [](const cimple::VELDARO_RefTable&, const Instance* s) {
                 const char* id = Association_Provider_Frame::keyText(s, "DeviceID");
                 return id && *id >= '0' && *id <= '9' ? std::stoi(id) : -1;
             },
             [](Association_Parent_Frame& frame, const Instance* s, int index) {
                 static_cast<Scripted_Parent_Provider&>(frame).routed.push_back(index);
                 const std::string at = frame.storage().c_str();
                 // An odd index puts the source second.
                 Instance* source = cimple::clone(s);
                 Instance* other = extent(at, std::to_string(index + 1));
                 if (index % 2 == 0)
                     pair(frame, source, other);
                 else
                     pair(frame, other, source);
                 return index != 99;
             }},
            // Its key names no array: answered as for any source of its
            // class (not supported) instead of an empty answer.
            {&cimple::CIM_BasedOn::static_meta_class, Association_Provider_Frame::BY_SYSTEM_NAME, nullptr,
             [](Association_Parent_Frame&, const Instance*, int) { return true; }, true},
        };
        return route(source, rows);
    }
};

class AssociationParentFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        smis::test::CMTBuilder b;
        b.maxCounts({});
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + NO_TABLE, std::string("StorageIP=") + A});
    }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
};

std::string low(const Held_List::value_type& a)
{
    return assoc_test::text(assoc_test::end(a.get(), "Antecedent"), "DeviceID");
}

TEST_F(AssociationParentFrame, PassOfNoArrayRunsFirstOnce)
{
    Scripted_Parent_Provider p([](Association_Parent_Frame& f) {
        EXPECT_EQ(f.storage().size(), 0u);
        Scripted_Parent_Provider::pair(f,
                                       Association_Provider_Frame::inNameSpace(
                                           extent("-", "fixed/low"), Association_Provider_Frame::INTEROP_NAMESPACE),
                                       extent("-", "fixed/high"));
        return true;
    });
    int status = -1;
    Held_List list = p.enumerateAll(status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(low(list[0]), "fixed/low");
    EXPECT_EQ(low(list[1]), "10.0.0.1/low");
    EXPECT_EQ(std::string(assoc_test::end(list[0].get(), "Antecedent")->__name_space.c_str()), "interop");
    EXPECT_EQ(static_cast<cimple::CIM_BasedOn*>(list[1].get())->OrderIndex.value, 7);

    Scripted_Parent_Provider failing([](Association_Parent_Frame&) { return false; });
    failing.enumerateAll(status);
    EXPECT_EQ(status, 70);
    EXPECT_TRUE(failing.visited.empty()) << "no array after a failed first pass";
}

TEST_F(AssociationParentFrame, RoutesBySourceClassAndKeyAndHandsOnTheOtherEndOfOneClass)
{
    Scripted_Parent_Provider p;
    const struct {
        const char* what;
        Instance* source;
        int status;
        std::vector<int> routed;
        std::vector<std::string> far;
    } cases[] = {
        {"routed: the far end is the one not key-equal to the source", extent(A, "4"), 0, {4}, {"5"}},
        {"the same with the source second", extent(A, "3"), 0, {3}, {"4"}},
        {"builders fail", extent(A, "99"), 170, {99}, {"100"}},
        {"key names no entry", extent(A, "x"), 0, {}, {}},
        {"key names no configured array", extent("10.9.9.9", "4"), 0, {}, {}},
        {"array without a table", extent(NO_TABLE, "4"), 0, {}, {}},
        {"a served class of no row", cimple::VELDARO_StorageVolume::create(), 0, {}, {}},
        {"a class of no provider, its row asking for the class's answer", cimple::CIM_BasedOn::create(), 171, {}, {}},
    };
    for (const auto& c : cases) {
        assoc_test::Held source(c.source);
        p.routed.clear();
        Held_List out;
        EXPECT_EQ(assoc_test::associators(p, source.get(), out), c.status) << c.what;
        EXPECT_EQ(p.routed, c.routed) << c.what;
        std::vector<std::string> far;
        for (const auto& o : out)
            far.push_back(assoc_test::text(o.get(), "DeviceID"));
        EXPECT_EQ(far, c.far) << c.what;
    }
}

// A source of any class an instance row of the provider table serves, that
// a provider has no row for, is answered (empty) rather than "not
// supported", which would send the adapter to the whole enumeration.
TEST(AssociationProviderFrame, EveryClassOfAnInstanceRowIsAServedSource)
{
    const cimple::Meta_Repository* schema = cimple::VELDARO_StorageVolume::static_meta_class.meta_repository;
    ASSERT_NE(schema, nullptr);
    std::ifstream table(PROVIDERS_TABLE);
    std::string line;
    int rows = 0;
    while (std::getline(table, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string cls, shape;
        if (!(words >> cls >> shape) || shape != "instance")
            continue;
        ++rows;
        const cimple::Meta_Class* mc = cimple::find_meta_class(schema, cls.c_str());
        ASSERT_NE(mc, nullptr) << cls;
        assoc_test::Held source(cimple::create(mc));
        EXPECT_EQ(Association_Provider_Frame::checkProviderClass(source.get()), 0) << cls;
    }
    EXPECT_GT(rows, 0);
}

}  // namespace
