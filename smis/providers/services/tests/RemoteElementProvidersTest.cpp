// Remote storage volumes (from the remote mirrors of each array) and the
// arrays' remote service access points, driven through the framework
// adapter.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CopySessionFile.h"
#include "ElementProviderFixture.h"
#include "LogCapture.h"
#include "VELDARO_RemoteServiceAccessPoint.h"
#include "VELDARO_RemoteStorageVolume.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::VELDARO_RemoteServiceAccessPoint;
using cimple::VELDARO_RemoteStorageVolume;
using smis::test::as;
using smis::test::xmirrex;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
const std::string BOX_A(40, 'A');
const std::string BOX_R = "REMOTE-BOX-0000000000000000000000000001";  // 39 characters
const std::string BOX_R40 = BOX_R + "9";
const std::string BOX_S(40, 'S');

class RemoteElements : public smis::test::ElementProviderFixture {
protected:
    void installArrays(bool boxOnB = true)
    {
        a.sys().BoxID(BOX_A.c_str());
        if (boxOnB)
            b.sys().BoxID(BOX_S.c_str());
        install({{A, &a}, {B, &b}}, {A, B});
    }

    static const VELDARO_RemoteStorageVolume* volume(const Instance_List& list, const std::string& deviceId,
                                                     const std::string& box)
    {
        for (const Instance_Ptr& p : list) {
            const auto* v = static_cast<const VELDARO_RemoteStorageVolume*>(p.get());
            if (v->DeviceID.value.c_str() == deviceId && v->BoxID.value.c_str() == box)
                return v;
        }
        return nullptr;
    }

    smis::test::CMTBuilder a, b;
};

TEST_F(RemoteElements, EachRemoteVolumeIsPublishedOnceWithItsUsage)
{
    smis::test::installCopySessions(A, {
        // Remote volume 10 of BOX_R40 is the source of one mirror and the
        // target of another: usage 11.
        xmirrex(1, 10, 3, true, BOX_R40, 1, 2048),
        xmirrex(2, 4, 10, false, BOX_R40, 1, 4096),
        // Remote volume 7 (MLU numbered) is only a target.
        xmirrex(3, 5, 7, false, BOX_R40, 0, 100),
        // The same number on another box is another volume.
        xmirrex(4, 10, 6, true, BOX_S, 1, 64),
    });
    installArrays();
    int status = -1;
    Instance_List list = enumerate("VELDARO_RemoteStorageVolume", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(list.size(), 3u);

    const auto* both = volume(list, "VOL00010", BOX_R40);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->Usage.value, 11);
    EXPECT_EQ(both->NumberOfBlocks.value, 2048u) << "the first session's total";
    EXPECT_EQ(both->ConsumableBlocks.value, 2048u);
    EXPECT_EQ(both->LUN.value, 10u);
    EXPECT_STREQ(both->ElementName.value.c_str(), "VOL00010");
    EXPECT_STREQ(both->Name.value.c_str(), "VELDARO +Logical Volume  +0000A");
    EXPECT_EQ(both->SystemName.value.c_str(), BOX_R40 + "_" + A);
    EXPECT_STREQ(both->CreationClassName.value.c_str(), "VELDARO_RemoteStorageVolume");
    EXPECT_STREQ(both->Purpose.value.c_str(), "00010+0x00");
    EXPECT_EQ(both->BlockSize.value, 512u);
    EXPECT_EQ(both->DeltaReservation.value, 100);

    const auto* mainframe = volume(list, "MLU00007", BOX_R40);
    ASSERT_NE(mainframe, nullptr);
    EXPECT_EQ(mainframe->Usage.value, 9);
    EXPECT_EQ(mainframe->LUN.value, 0xFFFFu);
    EXPECT_STREQ(mainframe->ElementName.value.c_str(), "Mainframe 00007");
    EXPECT_STREQ(mainframe->Purpose.value.c_str(), "00007+0x01");

    const auto* other = volume(list, "VOL00010", BOX_S);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->Usage.value, 7);

    // Each one is found again by its keys.
    for (const Instance_Ptr& p : list) {
        Instance_Ptr got;
        EXPECT_EQ(getSame("VELDARO_RemoteStorageVolume", p.get(), got), 0);
        ASSERT_TRUE(got);
        EXPECT_EQ(as<VELDARO_RemoteStorageVolume>(got)->Usage.value,
                  static_cast<const VELDARO_RemoteStorageVolume*>(p.get())->Usage.value);
    }
}

TEST_F(RemoteElements, GetRefusesKeysThatNameNoRemoteVolume)
{
    smis::test::installCopySessions(A, {xmirrex(1, 10, 3, true, BOX_R40, 1, 2048)});
    installArrays();
    struct Case {
        std::string systemName, deviceId;
    };
    const Case CASES[] = {
        {BOX_R + "_" + A, "VOL00010"},     // box ID part shorter than 40 characters
        {BOX_R40 + "_" + A, "VOL00011"},   // no session names that volume
        {BOX_R40 + "_" + A, "MLU00010"},   // another kind
        {BOX_R40 + "_" + A, "VOL0010"},    // not five digits
        {BOX_R40 + "_" + A, "LXV00010"},   // not a remote volume key
        {BOX_R40 + "_10.0.0.7", "VOL00010"},  // no such array
        {BOX_R40, "VOL00010"},             // no "_"
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.systemName + " " + c.deviceId);
        Instance_Ptr got;
        const int status = get<VELDARO_RemoteStorageVolume>(
            "VELDARO_RemoteStorageVolume",
            [&](VELDARO_RemoteStorageVolume* m) {
                m->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
                m->SystemName.set(c.systemName.c_str());
                m->CreationClassName.set("VELDARO_RemoteStorageVolume");
                m->DeviceID.set(c.deviceId.c_str());
            },
            got);
        EXPECT_EQ(status, 60);
        EXPECT_FALSE(got);
    }
}

TEST_F(RemoteElements, NoRemoteMirrorsNoVolumes)
{
    SMIS_COPY_SESSION_INFO local{};
    local.SessionId = 1;
    local.CopyType = 1;
    local.VolumeType = 1;
    local.SourceVolume = 1;
    local.DestinationVolume = 2;
    smis::test::installCopySessions(A, {local});
    installArrays();
    int status = -1;
    EXPECT_EQ(enumerate("VELDARO_RemoteStorageVolume", &status).size(), 0u);
    EXPECT_EQ(status, 0);
}

TEST_F(RemoteElements, KeyOnlyInstanceAndDeviceIdParser)
{
    cimple::VELDARO_RemoteStorageVolume* v = cimple::VELDARO_RemoteStorageVolume::create(true);
    cimple::VELDARO_RemoteStorageVolume_Resource resource(A);
    ASSERT_EQ(resource.setKeyProperties(v, 12, 2, BOX_R40.c_str()), 0);
    EXPECT_STREQ(v->DeviceID.value.c_str(), "MLU00012");
    EXPECT_EQ(v->SystemName.value.c_str(), BOX_R40 + "_" + A);
    EXPECT_FALSE(v->CreationClassName.null);
    EXPECT_TRUE(v->Usage.null);
    EXPECT_TRUE(v->ElementName.null);
    EXPECT_TRUE(v->BoxID.null);
    cimple::destroy(v);

    struct Case {
        const char* text;
        bool ok;
        std::uint8_t kind;
        std::uint16_t number;
    };
    const Case CASES[] = {{"VOL00010", true, 1, 10}, {"MLU65535", true, 2, 65535}, {"VOL65536", false, 0, 0},
                          {"", false, 0, 0},         {"VOL", false, 0, 0},         {"VOL0001x", false, 0, 0},
                          {"SDV00001", false, 0, 0}, {"VOL000010", false, 0, 0}};
    for (const Case& c : CASES) {
        std::uint8_t kind = 0;
        std::uint16_t number = 0;
        EXPECT_EQ(cimple::VELDARO_RemoteStorageVolume_Resource::divide_DeviceID(c.text, &kind, &number), c.ok)
            << c.text;
        if (c.ok) {
            EXPECT_EQ(kind, c.kind);
            EXPECT_EQ(number, c.number);
        }
    }
}

TEST_F(RemoteElements, AccessPointCarriesTheArraysBoxId)
{
    installArrays();
    int status = -1;
    Instance_List list = enumerate("VELDARO_RemoteServiceAccessPoint", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(list.size(), 2u);
    const auto* p = as<VELDARO_RemoteServiceAccessPoint>(list[0]);
    EXPECT_EQ(p->Name.value.c_str(), BOX_A);
    EXPECT_STREQ(p->SystemName.value.c_str(), A);
    EXPECT_STREQ(p->AccessInfo.value.c_str(), "http://10.0.0.1/");
    EXPECT_EQ(p->InfoFormat.value, 200);
    EXPECT_STREQ(p->ElementName.value.c_str(), "VELDARO Management Software");
    EXPECT_STREQ(p->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    Instance_Ptr got;
    EXPECT_EQ(getSame("VELDARO_RemoteServiceAccessPoint", list[1].get(), got), 0);
}

TEST_F(RemoteElements, AShortBoxIdNamesTheAccessPointWithoutTheFieldsBlanks)
{
    a.sys().BoxID("BOX-A");
    install({{A, &a}}, {A});
    int status = -1;
    Instance_List list = enumerate("VELDARO_RemoteServiceAccessPoint", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(as<VELDARO_RemoteServiceAccessPoint>(list[0])->Name.value.c_str(), "BOX-A");
    Instance_Ptr got;
    EXPECT_EQ(getSame("VELDARO_RemoteServiceAccessPoint", list[0].get(), got), 0);
}

TEST_F(RemoteElements, ArrayWithoutBoxIdPublishesNoAccessPoint)
{
    installArrays(false);
    smis::test::LogCapture logs;
    int status = -1;
    Instance_List list = enumerate("VELDARO_RemoteServiceAccessPoint", &status);
    EXPECT_EQ(status, 70) << "a failed build ends the enumeration";
    EXPECT_EQ(list.size(), 1u);
    EXPECT_TRUE(logs.hasLog("Generation of Instance went wrong."));
}

}  // namespace
