// Storage volumes through the framework adapter: enumeration over the
// sub-volume table, get by key, the key parser, reference instances and the
// rename through modify_instance (with the scripted stand-in SSH client).

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <sstream>

#include "ProviderTestBed.h"
#include "SMIS_Credkeep.h"
#include "SMIS_PollingService.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ValueConv.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::VELDARO_StorageVolume;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";

CMT_SLUW slice(CMTBuilder& b, std::uint16_t slun, std::uint8_t luType, std::uint16_t rlun, std::uint16_t olun,
               std::uint64_t blocks, std::uint16_t status = 0)
{
    return b.slu(slun).Status(status).LuType(luType).Rlun(rlun).Olun(olun).Mlun(0xFFFF).SlbaCount(blocks);
}

// A volume name as the array stores it: NUL-padded to 16 bytes.
std::string name(const char* text)
{
    std::string padded(text);
    padded.resize(16, '\0');
    return padded;
}

// Array A: RAID5 group 0 and RAID1 group 1, and a volume of every kind.
// mainframeNumber: the MLU number of the mainframe sub-volume.
void arrayA(CMTBuilder& b, std::uint16_t mainframeNumber = 26)
{
    b.maxCounts({.olu = 16, .slu = 16, .rlu = 4, .dlu = 4, .mlu = 32});
    b.sys().NodeWWN({0x50, 0x00, 0x0b, 0x5d, 0x6a, 0x01, 0x02, 0x03});
    b.rlu(0).Status(0x2000).RaidLevel(1);
    b.rlu(1).Status(0x2000).RaidLevel(4);
    // Volume 3: one sub-volume.
    b.olu(3).Status(0).SluCount(1).Slun(0, 0).OlbaCount(4096).Name(name("DATA3"));
    slice(b, 0, 1, 0, 3, 4096);
    // Volume 4: three sub-volumes on two groups; the second part is degraded.
    b.olu(4).Status(0).SluCount(3).Slun(0, 1).Slun(1, 2).Slun(2, 3).OlbaCount(3000);
    slice(b, 1, 1, 0, 4, 1000);
    slice(b, 2, 1, 1, 4, 1000, 1);
    slice(b, 3, 1, 0, 4, 1000);
    // Volume 5: thin, sized by the sub-volume's virtual count.
    b.olu(5).Status(0).SluCount(1).Slun(0, 4).OlbaCount(100).Threshold(80).Name(name("THIN5"));
    slice(b, 4, 9, 1, 5, 100).VirtualOlbaCount(2048000);
    // Mainframe volume 26.
    b.mlu(26).Status(0).Slun(5);
    slice(b, 5, 2, 1, 0xFFFF, 512).Mlun(mainframeNumber);
    // Pool volume: the sub-volume itself.
    slice(b, 6, 8, 1, 0xFFFF, 777);
    // Snap data pool volume 6: not a published volume.
    b.olu(6).Status(0).SluCount(1).Slun(0, 7).OlbaCount(64);
    slice(b, 7, 7, 0, 6, 64);
    // Volume 7 of a tiering pool.
    b.olu(7).Status(0).SluCount(1).Slun(0, 8).OlbaCount(64).Name(name("LX7"));
    slice(b, 8, 11, 0, 7, 64).VirtualOlbaCount(8192);
    // A sub-volume whose volume has no entry, one whose group has none, and
    // a free entry with other fields filled.
    slice(b, 9, 1, 0, 1, 64);
    b.olu(8).Status(0).SluCount(1).Slun(0, 10).OlbaCount(64);
    slice(b, 10, 1, 3, 8, 64);
    slice(b, 11, 1, 0, 9, 64, 6);
    b.olu(9).Status(0).SluCount(1).Slun(0, 11).OlbaCount(64);
}

// Array B: volume 0 only.
void arrayB(CMTBuilder& b)
{
    b.maxCounts({.olu = 4, .slu = 4, .rlu = 2, .dlu = 2, .mlu = 4});
    b.rlu(0).Status(0x2000).RaidLevel(8);
    b.olu(0).Status(0).SluCount(1).Slun(0, 0).OlbaCount(128).Name(name("B0"));
    slice(b, 0, 1, 0, 0, 128);
}

class StorageVolumes : public smis::test::ProviderTestBed {
protected:
    void installBoth() { install({{A, [](CMTBuilder& b) { arrayA(b); }}, {B, arrayB}}); }
};

TEST_F(StorageVolumes, EnumeratesEachVolumeOnceAndGetFindsIt)
{
    installBoth();
    auto ad = adapter("VELDARO_StorageVolume");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_StorageVolume>(list),
              (std::vector<std::string>{"10.0.0.1/VOL00003", "10.0.0.1/VOL00004", "10.0.0.1/TPPC00005",
                                        "10.0.0.1/MLU00026", "10.0.0.1/TPPV00006", "10.0.0.1/LXV00007",
                                        "10.0.0.2/VOL00000"}));
    expectEachFoundByGet<VELDARO_StorageVolume>(*ad, list);

    const auto* v3 = findDevice<VELDARO_StorageVolume>(list, A, "VOL00003");
    ASSERT_NE(v3, nullptr);
    EXPECT_STREQ(v3->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    EXPECT_STREQ(v3->CreationClassName.value.c_str(), "VELDARO_StorageVolume");
    EXPECT_STREQ(v3->Caption.value.c_str(), "Storage Volume");
    EXPECT_STREQ(v3->ElementName.value.c_str(), "DATA3");
    const unsigned char wwn[8] = {0x50, 0x00, 0x0b, 0x5d, 0x6a, 0x01, 0x02, 0x03};
    EXPECT_STREQ(v3->Name.value.c_str(), cimple::VELDARO_ValueConv::makeVpd83Name(3, wwn).c_str());
    EXPECT_EQ(v3->NameFormat.value, 9);
    EXPECT_EQ(v3->NameNamespace.value, 2);
    EXPECT_STREQ(v3->Purpose.value.c_str(), "00003+0x00");
    EXPECT_STREQ(v3->RaidLevel.value.c_str(), "RAID5");
    EXPECT_EQ(v3->NumberOfBlocks.value, 4096u);
    EXPECT_EQ(v3->ConsumableBlocks.value, 4096u);
    EXPECT_EQ(v3->BlockSize.value, 512u);
    EXPECT_EQ(v3->OperationalStatus.value[0], 2);
    EXPECT_EQ(v3->ExtentStatus.value[0], 0);
    EXPECT_STREQ(v3->Status.value.c_str(), "OK");
    EXPECT_EQ(v3->HealthState.value, 5);
    EXPECT_EQ(v3->DataRedundancy.value, 1);
    EXPECT_EQ(v3->PackageRedundancy.value, 1);
    EXPECT_TRUE(v3->NoSinglePointOfFailure.value);
    EXPECT_TRUE(v3->IsBasedOnUnderlyingRedundancy.value);
    EXPECT_FALSE(v3->ThinlyProvisioned.value);
    EXPECT_EQ(v3->LUN.value, 3u);
    EXPECT_EQ(v3->Usage.value, 2);
    EXPECT_EQ(v3->DeltaReservation.value, 100);
    EXPECT_EQ(v3->AttentionLevelRange.value, 0);
    EXPECT_EQ(v3->Access.value, 3);
    EXPECT_EQ(v3->DataOrganization.value, 2);
    EXPECT_EQ(v3->InstallDate.null, 0) << "every property is present";

    const auto* v4 = findDevice<VELDARO_StorageVolume>(list, A, "VOL00004");
    ASSERT_NE(v4, nullptr);
    EXPECT_STREQ(v4->RaidLevel.value.c_str(), "JBOD");
    EXPECT_EQ(v4->DataRedundancy.value, 1);
    EXPECT_EQ(v4->PackageRedundancy.value, 0);
    EXPECT_FALSE(v4->NoSinglePointOfFailure.value);
    EXPECT_EQ(v4->NumberOfBlocks.value, 3000u);
    EXPECT_EQ(v4->OperationalStatus.value[0], 2) << "the volume's own status, not a part's";
    EXPECT_STREQ(v4->ElementName.value.c_str(), "");

    const auto* thin = findDevice<VELDARO_StorageVolume>(list, A, "TPPC00005");
    ASSERT_NE(thin, nullptr);
    EXPECT_TRUE(thin->ThinlyProvisioned.value);
    EXPECT_EQ(thin->NumberOfBlocks.value, 2048000u);
    EXPECT_EQ(thin->AttentionLevelRange.value, 80);
    EXPECT_STREQ(thin->RaidLevel.value.c_str(), "RAID1");
    EXPECT_STREQ(thin->Purpose.value.c_str(), "00005+0x06");
    const auto* lx = findDevice<VELDARO_StorageVolume>(list, A, "LXV00007");
    ASSERT_NE(lx, nullptr);
    EXPECT_TRUE(lx->ThinlyProvisioned.value);
    EXPECT_EQ(lx->NumberOfBlocks.value, 8192u);

    const auto* mf = findDevice<VELDARO_StorageVolume>(list, A, "MLU00026");
    ASSERT_NE(mf, nullptr);
    EXPECT_STREQ(mf->ElementName.value.c_str(), "Mainframe 00026");
    EXPECT_EQ(mf->LUN.value, 65535u);
    EXPECT_EQ(mf->NumberOfBlocks.value, 512u);
    EXPECT_STREQ(mf->Name.value.c_str(), "VELDARO +Logical Volume  +0001A");
    const auto* pool = findDevice<VELDARO_StorageVolume>(list, A, "TPPV00006");
    ASSERT_NE(pool, nullptr);
    EXPECT_STREQ(pool->ElementName.value.c_str(), "Pool Volume 00006");
    EXPECT_EQ(pool->LUN.value, 65535u);
    EXPECT_EQ(pool->Usage.value, 3);
}

TEST_F(StorageVolumes, KeysThatNameNoVolumeAreNotFound)
{
    installBoth();
    auto ad = adapter("VELDARO_StorageVolume");
    struct Case {
        const char* system;
        const char* deviceId;
    };
    for (const Case& c : {Case{B, "VOL00003"}, Case{A, "VOL3"}, Case{A, "VOL000003"}, Case{A, "XYZ00003"},
                          Case{A, ""}, Case{A, "VOL"}, Case{A, "MVV00003"}, Case{A, "SDP00006"},
                          Case{A, "VOL00006"}, Case{A, "VOL00001"}, Case{A, "VOL00008"}, Case{A, "VOL00009"},
                          Case{"10.0.0.9", "VOL00003"}}) {
        EXPECT_EQ(getStatus<VELDARO_StorageVolume>(*ad, c.system, c.deviceId), 60) << c.system << " " << c.deviceId;
    }
}

TEST_F(StorageVolumes, BuildFailureEndsTheEnumeration)
{
    // A mainframe sub-volume whose volume number lies beyond the MLU table:
    // its status cannot be read.
    install({{A, [](CMTBuilder& b) { arrayA(b, 40); }}, {B, arrayB}});
    auto ad = adapter("VELDARO_StorageVolume");
    Instance_List list;
    EXPECT_EQ(ad->enum_instances(list), 70);
    EXPECT_EQ(deviceIds<VELDARO_StorageVolume>(list),
              (std::vector<std::string>{"10.0.0.1/VOL00003", "10.0.0.1/VOL00004", "10.0.0.1/TPPC00005"}));
}

TEST(StorageVolumeKeys, DivideDeviceID)
{
    struct Case {
        const char* key;
        bool ok;
        std::uint8_t luType;
        std::uint16_t number;
    };
    for (const Case& c : {Case{"VOL00012", true, 1, 12}, Case{"MLU00026", true, 2, 26}, Case{"MVV00001", true, 3, 1},
                          Case{"SDV00002", true, 4, 2}, Case{"TPPV00003", true, 8, 3}, Case{"TPPC00004", true, 9, 4},
                          Case{"LXV65535", true, 11, 65535}, Case{"WSV00005", true, 13, 5},
                          Case{"SDP00040", false, 0, 0}, Case{"TPP00001", false, 0, 0}, Case{"VOLX", false, 0, 0},
                          Case{"", false, 0, 0}}) {
        std::uint8_t luType = 0;
        std::uint16_t number = 0;
        EXPECT_EQ(cimple::VELDARO_StorageVolume_Resource::divide_DeviceID(c.key, &luType, &number), c.ok) << c.key;
        if (c.ok) {
            EXPECT_EQ(luType, c.luType) << c.key;
            EXPECT_EQ(number, c.number) << c.key;
        }
    }
    std::uint8_t luType = 0;
    std::uint16_t number = 0;
    EXPECT_FALSE(cimple::VELDARO_StorageVolume_Resource::divide_DeviceID(nullptr, &luType, &number));
}

TEST(StorageVolumeKeys, KeyPropertiesOnly)
{
    VELDARO_StorageVolume* v = VELDARO_StorageVolume::create(true);
    cimple::VELDARO_StorageVolume_Resource resource(A);
    ASSERT_EQ(resource.setKeyProperties(v, 26, 2, A), 0);
    EXPECT_STREQ(v->DeviceID.value.c_str(), "MLU00026");
    EXPECT_STREQ(v->SystemName.value.c_str(), A);
    EXPECT_STREQ(v->CreationClassName.value.c_str(), "VELDARO_StorageVolume");
    EXPECT_STREQ(v->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    EXPECT_EQ(v->DeviceID.null, 0);
    EXPECT_EQ(v->Name.null, 1);
    EXPECT_EQ(v->ElementName.null, 1);
    EXPECT_EQ(v->NumberOfBlocks.null, 1);
    cimple::destroy(v);
}

// The rename: a configured array with a stored login whose command line is
// the scripted stand-in client; the refresh after a rename is counted
// instead of reaching an array.
class VolumeRename : public StorageVolumes {
protected:
    void SetUp() override
    {
        StorageVolumes::SetUp();
        install({{A, [](CMTBuilder& b) { arrayA(b); }}, {B, arrayB}}, {"10.0.0.9"});
        ASSERT_EQ(::symlink(SMIS_FAKE_PLINK, dir.file("bin/plink").c_str()), 0);
        cimple::SMIS_Credkeep keep;
        void* lock = keep.lockCredkeep();
        ASSERT_NE(lock, nullptr);
        ASSERT_EQ(keep.setCredkeep(cimple::SMIS_Credkeep::CREDKEEP_ADD, A, "admin", "secret"), 0);
        keep.unlockCredkeep(lock);
        ::setenv("FAKE_PLINK_LOG", dir.file("fake.log").c_str(), 1);
        ::setenv("FAKE_PLINK_SCRIPT", dir.file("fake.script").c_str(), 1);
        script({});
        refreshes = 0;
        cimple::SMIS_PollingService::getInstance()->setCommandFactory([this](const char*) {
            ++refreshes;
            return std::unique_ptr<cimple::SMIS_Vorpak>();
        });
    }
    void TearDown() override
    {
        cimple::SMIS_PollingService::getInstance()->setCommandFactory({});
        ::unsetenv("FAKE_PLINK_LOG");
        ::unsetenv("FAKE_PLINK_SCRIPT");
        StorageVolumes::TearDown();
    }

    void script(const std::vector<std::string>& replies) const
    {
        std::string text = "password secret\n";
        for (const std::string& r : replies)
            text += r + "\n";
        dir.writeFile("fake.script", text);
    }

    std::vector<std::string> commands() const
    {
        std::vector<std::string> out;
        std::istringstream in(dir.readFile("fake.log"));
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("CMD ", 0) == 0 && line != "CMD exit")
                out.push_back(line.substr(4));
        return out;
    }

    // listed: ElementName is among the properties to change (the model
    // marks it, as the server does for the request's PropertyList).
    int rename(const char* system, const char* deviceId, const char* name, bool nullName = false, bool listed = true)
    {
        auto ad = adapter("VELDARO_StorageVolume");
        Instance_Ptr model = deviceModel<VELDARO_StorageVolume>(*ad, system, deviceId);
        Instance_Ptr changed(cimple::clone(model.get()));
        auto* c = static_cast<VELDARO_StorageVolume*>(changed.get());
        c->ElementName.set(name);
        if (nullName)
            c->ElementName.null = 1;
        if (listed)
            static_cast<VELDARO_StorageVolume*>(model.get())->ElementName.set(name);
        c->NumberOfBlocks.set(1);  // not a property a rename reads
        return ad->modify_instance(model.get(), changed.get());
    }

    std::atomic<int> refreshes{0};
};

TEST_F(VolumeRename, RenamesThroughTheCommandLineAndRefreshes)
{
    EXPECT_EQ(rename(A, "VOL00003", "ABCDEFGHIJKLMNOP"), 0);
    EXPECT_EQ(commands(), (std::vector<std::string>{"set volume -volume-number 3 -name ABCDEFGHIJKLMNOP"}));
    EXPECT_EQ(refreshes, 1);
}

TEST_F(VolumeRename, RejectedRequestsRunNoCommand)
{
    struct Case {
        const char* system;
        const char* deviceId;
        const char* name;
        int status;
    };
    for (const Case& c : {Case{A, "VOL00003", "ABCDEFGHIJKLMNOPQ", 102}, Case{A, "VOL00003", "", 102},
                          Case{A, "LXV00007", "NEW", 102}, Case{A, "MLU00026", "NEW", 102},
                          Case{A, "TPPV00006", "NEW", 102}, Case{A, "XYZ00003", "NEW", 102},
                          Case{A, "VOL00002", "NEW", 102}, Case{A, "TPPC00003", "NEW", 102},
                          Case{A, "VOL3", "NEW", 102}, Case{A, "VOL65539", "NEW", 102},
                          Case{"10.0.0.77", "VOL00003", "NEW", 104}, Case{"10.0.0.9", "VOL00003", "NEW", 104}}) {
        EXPECT_EQ(rename(c.system, c.deviceId, c.name), c.status) << c.deviceId << " " << c.name;
    }
    EXPECT_EQ(rename(A, "VOL00003", "", /*nullName=*/true), 102);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(refreshes, 0);
}

// Names the command line cannot take are the caller's fault (102), and a
// request whose PropertyList leaves ElementName out changes nothing: neither
// sends a command.
TEST_F(VolumeRename, UnsafeNamesAreRefusedAndUnlistedNamesSendNothing)
{
    for (const char* name : {"a b", "-x", "a\tb", "a\nb", "q?x"})
        EXPECT_EQ(rename(A, "VOL00003", name), 102) << name;
    EXPECT_EQ(rename(A, "VOL00003", "OTHER", false, /*listed=*/false), 0);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(refreshes, 0);
}

// The table may hold a name the array no longer has (a rename whose closing
// refresh failed, a change made on the array): the name the client asks for
// is sent even when it equals the cached one, so the array ends with it.
TEST_F(VolumeRename, TheCachedNameIsSentAgain)
{
    EXPECT_EQ(rename(A, "VOL00003", "DATA3           "), 0);
    EXPECT_EQ(commands(), (std::vector<std::string>{"set volume -volume-number 3 -name DATA3"}));
    EXPECT_EQ(refreshes, 1);
}

TEST_F(VolumeRename, FailedCommandIsNotRefreshed)
{
    script({"close"});
    EXPECT_EQ(rename(A, "VOL00003", "NEW"), 104);
    EXPECT_EQ(refreshes, 0);
}

}  // namespace
