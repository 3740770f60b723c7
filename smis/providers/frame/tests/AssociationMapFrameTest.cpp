// The map shape of the association providers: per-array collection, the
// hand-over of clones, what a failing array or first pass leaves delivered.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "Association_Map_Frame.h"
#include "CIM_ElementStatisticalData.h"
#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_StorageVolume.h"

using assoc_test::Held_List;
using cimple::Association_Map_Frame;
using cimple::Association_Provider_Frame;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* NO_TABLE = "10.0.0.9";

cimple::Instance* end(const std::string& id)
{
    auto* e = cimple::VELDARO_DiskExtent::create();
    e->SystemCreationClassName.set("S");
    e->SystemName.set("N");
    e->CreationClassName.set("VELDARO_DiskExtent");
    e->DeviceID.set(id.c_str());
    return e;
}

// Adds "<array>/1" and "<array>/2" per array (the second one twice), and
// fails after the first one on the array named failOn.
class Scripted_Map_Provider : public Association_Map_Frame {
public:
    explicit Scripted_Map_Provider(Independent_Pass pass = nullptr, Array_Walk arrays = Array_Walk::EACH_ARRAY)
        : Association_Map_Frame(&cimple::CIM_ElementStatisticalData::static_meta_class, pass, arrays)
    {
    }

    cimple::Enum_Instances_Status run(Held_List& out)
    {
        cimple::Enum_Instances_Handler<cimple::Instance> h(assoc_test::keep_owned, &out);
        return enumerate(&h);
    }

    cimple::Enum_References_Status referencesOf(const cimple::Instance* source, Held_List& out)
    {
        cimple::Enum_References_Handler<cimple::Instance> h(
            [](cimple::Instance* i, cimple::Enum_References_Status, void* list) {
                return assoc_test::keep_owned(i, cimple::ENUM_INSTANCES_OK, list);
            },
            &out);
        return references(source, "", &h);
    }

    static void pair(Association_Map_Frame& frame, const std::string& id)
    {
        frame.add(Association_Provider_Frame::newAssociation(&cimple::CIM_ElementStatisticalData::static_meta_class,
                                                              end(id), end(id + "s")));
    }

    std::string failOn;
    std::string unmadeOn;
    std::vector<std::string> visited;

protected:
    bool _enumPairs() override
    {
        const std::string at = storage().c_str();
        visited.push_back(at);
        pair(*this, at + "/1");
        if (at == unmadeOn)
            add(nullptr);
        if (at == failOn)
            return false;
        pair(*this, at + "/2");
        pair(*this, at + "/2");
        return true;
    }
};

std::vector<std::string> managed(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(assoc_test::text(assoc_test::end(i.get(), "ManagedElement"), "DeviceID"));
    return out;
}

class AssociationMapFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        for (const char* ip : {A, B}) {
            smis::test::CMTBuilder b;
            b.maxCounts({});
            b.installCmf(ip);
        }
        dir.writeEnv({std::string("StorageIP=") + NO_TABLE, std::string("StorageIP=") + A,
                      std::string("StorageIP=") + B});
    }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
};

TEST_F(AssociationMapFrame, ClonesOfEachArraysAssociationsInOrderOnceEach)
{
    Scripted_Map_Provider p;
    Held_List list;
    ASSERT_EQ(p.run(list), 0);
    EXPECT_EQ(p.visited, (std::vector<std::string>{A, B})) << "the array without a table is skipped";
    EXPECT_EQ(managed(list), (std::vector<std::string>{"10.0.0.1/1", "10.0.0.1/2", "10.0.0.2/1", "10.0.0.2/2"}));

    Held_List again;
    ASSERT_EQ(p.run(again), 0);
    EXPECT_EQ(again.size(), 4u) << "the map is empty between enumerations";
}

TEST_F(AssociationMapFrame, FailingArrayOrFirstPassDeliversNothingOfItsOwn)
{
    Scripted_Map_Provider p;
    p.failOn = B;
    Held_List list;
    EXPECT_EQ(p.run(list), 70);
    EXPECT_EQ(managed(list), (std::vector<std::string>{"10.0.0.1/1", "10.0.0.1/2"}));
    p.failOn.clear();
    list.clear();
    ASSERT_EQ(p.run(list), 0);
    EXPECT_EQ(list.size(), 4u) << "nothing of the failed array is left for a later enumeration";

    Scripted_Map_Provider first([](Association_Map_Frame& f) {
        Scripted_Map_Provider::pair(f, "fixed");
        return true;
    });
    list.clear();
    ASSERT_EQ(first.run(list), 0);
    EXPECT_EQ(managed(list).front(), "fixed") << "the storage-independent pass comes first";
    EXPECT_EQ(list.size(), 5u);

    Scripted_Map_Provider failing([](Association_Map_Frame& f) {
        Scripted_Map_Provider::pair(f, "fixed");
        return false;
    });
    list.clear();
    EXPECT_EQ(failing.run(list), 70);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(failing.visited.empty());
}

TEST_F(AssociationMapFrame, PassOfNoArrayAloneAndAssociationsThatCouldNotBeMade)
{
    Scripted_Map_Provider alone(
        [](Association_Map_Frame& f) {
            f.add<cimple::CIM_ElementStatisticalData>(end("fixed"), end("fixeds"));
            return true;
        },
        Association_Map_Frame::Array_Walk::NONE);
    Held_List list;
    ASSERT_EQ(alone.run(list), 0);
    EXPECT_EQ(managed(list), (std::vector<std::string>{"fixed"}));
    EXPECT_TRUE(alone.visited.empty()) << "no array is walked";

    Scripted_Map_Provider unmade;
    unmade.unmadeOn = B;
    list.clear();
    EXPECT_EQ(unmade.run(list), 70) << "an association that could not be made fails its array";
    EXPECT_EQ(managed(list), (std::vector<std::string>{"10.0.0.1/1", "10.0.0.1/2"}));
}

// Disk extents run a builder of their own pairs (and of one pair that does
// not hold them), volumes are paired by the independent pass alone, and no
// other class is an end.
class Routed_Map_Provider : public Scripted_Map_Provider {
public:
    Routed_Map_Provider() : Scripted_Map_Provider(volumes) { routeSources(ROUTES); }

    std::vector<std::string> routed;

private:
    static cimple::Instance* volume(const char* id)
    {
        auto* v = cimple::VELDARO_StorageVolume::create();
        v->SystemCreationClassName.set("S");
        v->SystemName.set("N");
        v->CreationClassName.set("VELDARO_StorageVolume");
        v->DeviceID.set(id);
        return v;
    }
    static bool volumes(Association_Map_Frame& f)
    {
        f.add<cimple::CIM_ElementStatisticalData>(volume("fixed"), volume("fixeds"));
        return true;
    }
    static bool extentPairs(Association_Map_Frame& f, const cimple::Instance* source)
    {
        static_cast<Routed_Map_Provider&>(f).routed.push_back(f.storage().c_str());
        f.add<cimple::CIM_ElementStatisticalData>(cimple::clone(source), end("stats"));
        pair(f, "other");
        return true;
    }
    static constexpr Source_Route ROUTES[] = {
        {&cimple::VELDARO_DiskExtent::static_meta_class, extentPairs},
        {&cimple::VELDARO_StorageVolume::static_meta_class, nullptr},
    };
};

cimple::Instance* onArray(cimple::Instance* element, const char* address)
{
    static_cast<cimple::VELDARO_DiskExtent*>(element)->SystemName.set(address);
    return element;
}

TEST_F(AssociationMapFrame, PerSourceRowsRunInPlaceOfTheWholePass)
{
    Routed_Map_Provider p;
    Held_List list;
    const std::unique_ptr<cimple::Instance, assoc_test::Owned_Deleter> extent(onArray(end("x"), B));
    ASSERT_EQ(p.referencesOf(extent.get(), list), 0);
    EXPECT_EQ(managed(list), (std::vector<std::string>{"x"})) << "only what refers to the source is handed over";
    EXPECT_EQ(p.routed, (std::vector<std::string>{B})) << "the row runs on the source's own array";
    EXPECT_TRUE(p.visited.empty()) << "the whole pass is not run";

    p.routed.clear();
    list.clear();
    const std::unique_ptr<cimple::Instance, assoc_test::Owned_Deleter> anywhere(end("y"));
    ASSERT_EQ(p.referencesOf(anywhere.get(), list), 0);
    EXPECT_EQ(managed(list), (std::vector<std::string>{"y", "y"})) << "a source naming no array: every array";
    EXPECT_EQ(p.routed, (std::vector<std::string>{A, B}));

    p.routed.clear();
    list.clear();
    auto* v = cimple::VELDARO_StorageVolume::create();
    v->SystemCreationClassName.set("S");
    v->SystemName.set(A);
    v->CreationClassName.set("VELDARO_StorageVolume");
    v->DeviceID.set("fixed");
    const std::unique_ptr<cimple::Instance, assoc_test::Owned_Deleter> volume(v);
    ASSERT_EQ(p.referencesOf(volume.get(), list), 0);
    EXPECT_EQ(list.size(), 0u) << "the independent pass's volume is a volume of no array";
    EXPECT_TRUE(p.routed.empty() && p.visited.empty()) << "a row without pairs walks no array";
    v->SystemName.set("N");
    ASSERT_EQ(p.referencesOf(volume.get(), list), 0);
    EXPECT_EQ(list.size(), 1u) << "the independent pass still runs for a routed source";

    list.clear();
    auto* port = cimple::VELDARO_FCPort::create();
    port->SystemName.set(A);
    port->DeviceID.set("x");
    const std::unique_ptr<cimple::Instance, assoc_test::Owned_Deleter> other(port);
    ASSERT_EQ(p.referencesOf(other.get(), list), 0);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(p.routed.empty() && p.visited.empty()) << "a class no row names runs no pass";

    list.clear();
    ASSERT_EQ(p.run(list), 0);
    EXPECT_EQ(list.size(), 5u) << "enumeration still runs the whole pass";
}

}  // namespace
