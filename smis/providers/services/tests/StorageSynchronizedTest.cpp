// Copy relationships from an array's cached copy sessions, driven through
// the framework adapter: what enumeration publishes, that associators and
// references agree with it, and that every end is an instance its own
// provider serves.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "CopySessionFile.h"
#include "ElementProviderFixture.h"
#include "LogCapture.h"
#include "VELDARO_RemoteStorageVolume.h"
#include "VELDARO_StorageSynchronized.h"
#include "VELDARO_StorageSynchronized_Resource.h"
#include "VELDARO_StorageVolume.h"

using cimple::Instance;
using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::VELDARO_StorageSynchronized;
using smis::test::xmirrex;

namespace {

constexpr const char* A = "10.0.0.1";
const std::string BOX_R = std::string("00KESTRIS##VK200##4500009999") + std::string(12, '#');

SMIS_COPY_SESSION_INFO local(std::uint16_t id, std::uint8_t type, std::int16_t src, std::int16_t dst,
                             std::uint8_t state, std::uint8_t phase, std::uint32_t total = 0, std::uint32_t copied = 0)
{
    SMIS_COPY_SESSION_INFO r{};
    r.SessionId = id;
    r.CopyType = type;
    r.VolumeType = 1;
    r.SourceVolume = src;
    r.DestinationVolume = dst;
    r.SessionState = state;
    r.SessionPhase = phase;
    r.Value28 = total;
    r.Value24 = copied;
    return r;
}

// An array of volumes 3, 4 and 5 (plain OLU volumes in RAID group 0) with
// the copy sessions a test installs, and the cross-check of the requests.
class CopySessionArray : public smis::test::ElementProviderFixture {
protected:
    void installWith(const std::vector<SMIS_COPY_SESSION_INFO>& sessions)
    {
        b.maxCounts({.olu = 16, .slu = 16, .rlu = 4, .dlu = 4, .mlu = 8});
        b.rlu(0).Status(0x2000).RaidLevel(1);
        for (std::uint16_t v : {3, 4, 5}) {
            b.olu(v).Status(0).SluCount(1).Slun(0, v).OlbaCount(4096);
            b.slu(v).Status(0).LuType(1).Rlun(0).Olun(v).Mlun(0xFFFF).SlbaCount(4096);
        }
        smis::test::installCopySessions(A, sessions);
        install({{A, &b}}, {A});
    }

    static const VELDARO_StorageSynchronized* sync(const Instance_Ptr& p)
    {
        return static_cast<const VELDARO_StorageSynchronized*>(p.get());
    }

    static std::string idOf(const Instance* end) { return assoc_test::text(end, "DeviceID"); }

    // Every end of every enumerated relationship is what its own provider
    // serves, and its associators and references are exactly those of the
    // enumeration that name it.
    void requestsAgreeWithTheEnumeration()
    {
        int status = -1;
        Instance_List all = enumerate("VELDARO_StorageSynchronized", &status);
        ASSERT_EQ(status, 0);
        ASSERT_FALSE(all.empty());
        auto ad = adapter("VELDARO_StorageSynchronized");
        ASSERT_NE(ad, nullptr);
        for (const Instance_Ptr& s : all) {
            for (const char* role : {"SystemElement", "SyncedElement"}) {
                const Instance* end = assoc_test::end(s.get(), role);
                ASSERT_NE(end, nullptr);
                Instance_Ptr served;
                EXPECT_EQ(getSame(end->meta_class->name, end, served), 0) << role << " " << idOf(end);
                std::set<std::string> expectedFar, expectedRefs;
                for (const Instance_Ptr& other : all) {
                    const Instance* first = assoc_test::end(other.get(), "SystemElement");
                    const Instance* second = assoc_test::end(other.get(), "SyncedElement");
                    if (cimple::key_eq(first, end))
                        expectedFar.insert(idOf(second));
                    if (cimple::key_eq(second, end))
                        expectedFar.insert(idOf(first));
                    if (cimple::key_eq(first, end) || cimple::key_eq(second, end))
                        expectedRefs.insert(idOf(first) + ">" + idOf(second));
                }
                Instance_List far, refs;
                ASSERT_EQ(ad->enum_associators(end, "", "", "", far), 0);
                ASSERT_EQ(ad->enum_references(end, "", refs), 0);
                std::set<std::string> gotFar, gotRefs;
                for (const Instance_Ptr& f : far)
                    gotFar.insert(idOf(f.get()));
                for (const Instance_Ptr& r : refs)
                    gotRefs.insert(idOf(assoc_test::end(r.get(), "SystemElement")) + ">" +
                                   idOf(assoc_test::end(r.get(), "SyncedElement")));
                EXPECT_EQ(gotFar, expectedFar) << idOf(end);
                EXPECT_EQ(gotRefs, expectedRefs) << idOf(end);
            }
        }
    }

    smis::test::CMTBuilder b;
};

class StorageSynchronized : public CopySessionArray {
protected:
    void SetUp() override
    {
        ElementProviderFixture::SetUp();
        // A pool volume of a thin pool: an LU kind that takes part in no copy.
        b.slu(8).Status(0).LuType(8).Rlun(0).Olun(0xFFFF).Mlun(0xFFFF).SlbaCount(64);
        installWith({
            local(1, 1, 3, 4, 2, 1, 200, 50),             // Mirrex, a quarter copied
            local(2, 3, 3, 5, 2, 1),                      // SnapTirn
            xmirrex(3, 10, 4, true, BOX_R, 1, 4096),      // remote source, local target 4
            local(4, 1, 5, 9, 2, 1),                      // its target is gone from the table
            local(5, 1, 5, 3, 9, 1),                      // a status the array never reports
            local(6, 1, 5, 4, 2, 2, 100, 150),            // copied beyond the total
        });
    }
};

TEST_F(StorageSynchronized, EnumerationPublishesEachShowableSessionOnce)
{
    smis::test::LogCapture logs;
    int status = -1;
    Instance_List list = enumerate("VELDARO_StorageSynchronized", &status);
    ASSERT_EQ(status, 0) << "a session with an unknown state or a lost volume does not fail the enumeration";
    ASSERT_EQ(list.size(), 4u);
    // Left out of the answer, the session is logged as severe: a client has
    // no other sign of it.
    bool severe = false;
    for (const auto& record : logs.logs())
        severe = severe || (record.logLevel == Pegasus::Logger::SEVERE &&
                            record.message.find("Copy session 5 skipped") != std::string::npos);
    EXPECT_TRUE(severe);

    const auto* mirror = sync(list[0]);
    EXPECT_EQ(idOf(mirror->SystemElement), "VOL00003");
    EXPECT_EQ(idOf(mirror->SyncedElement), "VOL00004");
    EXPECT_EQ(mirror->CopyType.value, 3);
    EXPECT_EQ(mirror->SyncType.value, 6);
    EXPECT_EQ(mirror->Mode.value, 2);
    EXPECT_EQ(mirror->CopyState.value, 3);
    EXPECT_EQ(mirror->SyncState.value, 5);
    EXPECT_EQ(mirror->PercentSynced.value, 25);
    EXPECT_FALSE(mirror->SyncMaintained.value);

    const auto* snapshot = sync(list[1]);
    EXPECT_EQ(snapshot->CopyType.value, 4);
    EXPECT_EQ(snapshot->SyncType.value, 7);
    EXPECT_EQ(snapshot->PercentSynced.value, 0);

    // The remote volume is the source of this mirror, so it is SystemElement.
    const auto* remote = sync(list[2]);
    EXPECT_STREQ(remote->SystemElement->meta_class->name, "VELDARO_RemoteStorageVolume");
    EXPECT_EQ(idOf(remote->SystemElement), "VOL00010");
    EXPECT_EQ(assoc_test::text(remote->SystemElement, "SystemName"), BOX_R + "_" + A);
    EXPECT_EQ(idOf(remote->SyncedElement), "VOL00004");

    EXPECT_EQ(sync(list[3])->PercentSynced.value, 100) << "never above 100";
}

TEST_F(StorageSynchronized, AssociatorsAndReferencesAgreeWithTheEnumerationAndTheEndProviders)
{
    requestsAgreeWithTheEnumeration();
}

// A session names its volumes by number; the volume built for an end is the
// one of the sub-volume that number leads to. Here OLU 6's first sub-volume
// belongs to volume 5, so the session that names 6 relates volume 5, and a
// request about volume 5 finds it though no record carries the number 5.
class StorageSynchronizedAcrossNumbers : public CopySessionArray {
protected:
    void SetUp() override
    {
        ElementProviderFixture::SetUp();
        b.olu(6).Status(0).SluCount(1).Slun(0, 5).OlbaCount(4096);
        installWith({
            local(1, 1, 6, 4, 2, 1),      // volume 5 to volume 4
            local(2, 3, 3, 6, 2, 1),      // volume 3 to volume 5
            local(3, 1, 30000, 3, 2, 1),  // a source the table does not hold: not shown
        });
    }
};

TEST_F(StorageSynchronizedAcrossNumbers, ARequestFindsTheSessionsWhoseNumbersLeadToItsVolume)
{
    int status = -1;
    Instance_List all = enumerate("VELDARO_StorageSynchronized", &status);
    ASSERT_EQ(status, 0);
    std::vector<std::string> pairs;
    for (const Instance_Ptr& s : all)
        pairs.push_back(idOf(sync(s)->SystemElement) + ">" + idOf(sync(s)->SyncedElement));
    EXPECT_EQ(pairs, (std::vector<std::string>{"VOL00005>VOL00004", "VOL00003>VOL00005"}));
    requestsAgreeWithTheEnumeration();
}

TEST_F(StorageSynchronized, SourcesThatTakePartInNoCopyAnswerNothing)
{
    auto ad = adapter("VELDARO_StorageSynchronized");
    ASSERT_NE(ad, nullptr);
    // A thin pool volume (LU kind 8).
    Instance_Ptr thin(cimple::create(&cimple::VELDARO_StorageVolume::static_meta_class, true));
    auto* v = static_cast<cimple::VELDARO_StorageVolume*>(thin.get());
    v->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    v->SystemName.set(A);
    v->CreationClassName.set("VELDARO_StorageVolume");
    v->DeviceID.set("TPPV00008");
    Instance_List out;
    EXPECT_EQ(ad->enum_associators(thin.get(), "", "", "", out), 0);
    EXPECT_TRUE(out.empty());
    // A remote volume whose SystemName names no array.
    Instance_Ptr far(cimple::create(&cimple::VELDARO_RemoteStorageVolume::static_meta_class, true));
    auto* r = static_cast<cimple::VELDARO_RemoteStorageVolume*>(far.get());
    r->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    r->SystemName.set(BOX_R.c_str());
    r->CreationClassName.set("VELDARO_RemoteStorageVolume");
    r->DeviceID.set("VOL00010");
    EXPECT_EQ(ad->enum_associators(far.get(), "", "", "", out), 0);
    EXPECT_TRUE(out.empty());
}

TEST(StorageSynchronizedValues, PercentAndWhenSynced)
{
    using R = cimple::VELDARO_StorageSynchronized_Resource;
    EXPECT_EQ(R::percentSynced(1, 0, 10), 0);
    EXPECT_EQ(R::percentSynced(2, 200, 50), 25);
    EXPECT_EQ(R::percentSynced(3, 200, 50), 0) << "snapshots have no progress";
    EXPECT_EQ(R::percentSynced(1, ~0ULL, ~0ULL), 100) << "no overflow on huge amounts";
    EXPECT_EQ(R::whenSynced(1, 10, 20).usec(), 10'000'000u);
    EXPECT_EQ(R::whenSynced(2, 10, 20).usec(), 20'000'000u);
    // No time is the zero interval, never the time stamp of 1 January 1970.
    struct NoTime {
        std::uint16_t selector;
        std::uint32_t first, second;
    };
    for (const NoTime& c : {NoTime{2, 10, 0xFFFFFFFF}, NoTime{1, 0xFFFFFFFF, 20}, NoTime{0, 10, 20}, NoTime{3, 10, 20}}) {
        const cimple::Datetime d = R::whenSynced(c.selector, c.first, c.second);
        EXPECT_TRUE(d.is_interval()) << "selector " << c.selector;
        EXPECT_EQ(d.usec(), 0u) << "selector " << c.selector;
    }
    // Time stamps past 2038 stay in the future.
    EXPECT_EQ(R::whenSynced(1, 0x80000000u, 0).usec(), 0x80000000ULL * 1'000'000u);
    EXPECT_TRUE(R::whenSynced(1, 10, 20).is_timestamp());
}

}  // namespace
