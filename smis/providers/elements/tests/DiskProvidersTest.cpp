// The four views of each installed disk (disk drive, physical disk, physical
// media, disk slot), built from an installed disk table and driven through
// the module's providers.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "Disk_Entry.h"
#include "ProviderModuleFixture.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskSlot.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalMedia.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.5";

// Three disk entries: disk number 0x0013 in slot 3 of enclosure 0x01 (its
// item id does not carry its number), disk 0x0104 counted by its user
// blocks, and an entry without a disk.
void disks(CMTBuilder& b)
{
    b.disk(0x80000103, 0x0013).Status(0).Usage(0x02).WholeBlockCount(1000000).Kind(0x81).Rotation(15000)
        .Factor(0x07).VenderId("VNDR").ProductId("PROD1").SerialNo("SN1").Revision("R1");
    b.disk(0x80000104, 0x0104).Status(0).Usage(0x01).WholeBlockCount(4000000).Kind(0x02).Rotation(7200)
        .VenderId("VNDR").ProductId("PROD2").SerialNo("SN2").Revision("R2");
    b.disk(0x80000105, 0x0105).Status(0x0102).Usage(0x02).WholeBlockCount(1000).VenderId("VNDR")
        .ProductId("PROD3").SerialNo("SN3").Revision("R3");
}

class DiskProviders : public smis::test::ProviderModuleFixture {
protected:
    void SetUp() override
    {
        ProviderModuleFixture::SetUp();
        CMTBuilder a;
        disks(a);
        install({{A, &a}});
    }
};

// The user capacity of disk 0x0104: its whole count less the system area.
constexpr std::uint64_t USER_BLOCKS = 4000000 - 2097152;

TEST_F(DiskProviders, DiskDrives)
{
    using DD = cimple::VELDARO_DiskDrive;
    Instance_List list;
    ASSERT_EQ(enumerate("VELDARO_DiskDrive", list), 0);
    std::vector<std::string> ids;
    for (const Instance_Ptr& p : list)
        ids.push_back(static_cast<const DD*>(p.get())->DeviceID.value.c_str());
    ASSERT_EQ(ids, (std::vector<std::string>{"DD0x0104", "DD0x0013"}));

    const DD* d = static_cast<const DD*>(list[1].get());
    EXPECT_STREQ(d->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    EXPECT_STREQ(d->SystemName.value.c_str(), A);
    EXPECT_STREQ(d->CreationClassName.value.c_str(), "VELDARO_DiskDrive");
    EXPECT_STREQ(d->Caption.value.c_str(), "Disk Drive");
    EXPECT_STREQ(d->ElementName.value.c_str(), "Disk Drive - DE0x01:Disk03");
    EXPECT_STREQ(d->Name.value.c_str(), "Disk Drive - DE0x01:Disk03");
    EXPECT_EQ(statuses(d->OperationalStatus), (std::vector<std::uint16_t>{2}));
    EXPECT_STREQ(d->Status.value.c_str(), "OK");
    EXPECT_EQ(d->HealthState.value, 5);
    EXPECT_EQ(d->MaxMediaSize.value, 512000u) << "usage bit 1: the whole block count";
    EXPECT_EQ(d->DefaultBlockSize.value, 512u);
    EXPECT_EQ(static_cast<const DD*>(list[0].get())->MaxMediaSize.value, USER_BLOCKS * 512 / 1000);

    auto getDrive = [&](const char* system, const char* id) {
        Instance_Ptr got;
        return get<DD>(
            "VELDARO_DiskDrive",
            [&](DD* m) {
                m->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
                m->SystemName.set(system);
                m->DeviceID.set(id);
            },
            got);
    };
    EXPECT_EQ(getDrive(A, "DD0x0013"), 0);
    EXPECT_EQ(getDrive(A, "DD0x13"), 60) << "parses as 0x13, but the built key is DD0x0013";
    EXPECT_EQ(getDrive(A, "PD0x0013"), 60);
    EXPECT_EQ(getDrive(A, "DD0x0105"), 60) << "entry without a disk";
    EXPECT_EQ(getDrive(A, "DD0x0999"), 60);
    EXPECT_EQ(getDrive("10.0.0.9", "DD0x0013"), 60);
}

TEST_F(DiskProviders, PackagesMediaAndSlotsOfTheSameDisks)
{
    Instance_List disks, media, slots;
    ASSERT_EQ(enumerate("VELDARO_PhysicalDisk", disks), 0);
    ASSERT_EQ(enumerate("VELDARO_PhysicalMedia", media), 0);
    ASSERT_EQ(enumerate("VELDARO_DiskSlot", slots), 0);
    using PD = cimple::VELDARO_PhysicalDisk;
    using PM = cimple::VELDARO_PhysicalMedia;
    using DS = cimple::VELDARO_DiskSlot;
    EXPECT_EQ(tags<PD>(disks), (std::vector<std::string>{"PD0x0104_10.0.0.5", "PD0x0013_10.0.0.5"}));
    EXPECT_EQ(tags<PM>(media), (std::vector<std::string>{"PM0x0104_10.0.0.5", "PM0x0013_10.0.0.5"}));
    EXPECT_EQ(tags<DS>(slots), (std::vector<std::string>{"DS0x0104_10.0.0.5", "DS0x0013_10.0.0.5"}));

    const PD* pd = byTag<PD>(disks, "PD0x0013_10.0.0.5");
    EXPECT_STREQ(pd->ElementName.value.c_str(), "Physical Disk - DE0x01:Disk03");
    EXPECT_STREQ(pd->Name.value.c_str(), "Physical Disk - DE0x01:Disk03");
    EXPECT_STREQ(pd->Manufacturer.value.c_str(), "VNDR");
    EXPECT_STREQ(pd->Model.value.c_str(), "PROD1");
    EXPECT_STREQ(pd->SerialNumber.value.c_str(), "SN1");
    EXPECT_STREQ(pd->Version.value.c_str(), "R1");
    EXPECT_STREQ(pd->PartNumber.value.c_str(), "0x0013");
    EXPECT_TRUE(pd->CanBeFRUed.value);
    EXPECT_EQ(pd->RemovalConditions.value, 4);
    EXPECT_EQ(pd->DeID.value, 1u);
    EXPECT_STREQ(pd->Type.value.c_str(), "SAS(SED)");
    EXPECT_STREQ(pd->ChassisID.value.c_str(), "DeviceEnclosure0x01");
    EXPECT_STREQ(pd->Factor.value.c_str(), "0x0007");
    EXPECT_EQ(pd->RPM.value, 15000u);
    EXPECT_EQ(pd->SpindleSpeed.value, 15000u);

    const PM* pm = byTag<PM>(media, "PM0x0013_10.0.0.5");
    EXPECT_STREQ(pm->Caption.value.c_str(), "Physical Media");
    EXPECT_STREQ(pm->ElementName.value.c_str(), "Disk Drive - DE0x01:Disk03");
    EXPECT_STREQ(pm->Model.value.c_str(), "PROD1");
    EXPECT_STREQ(pm->PartNumber.value.c_str(), "0x0013");
    EXPECT_EQ(pm->Capacity.value, 512000000u);
    EXPECT_EQ(pm->MediaType.value, 29);
    EXPECT_EQ(byTag<PM>(media, "PM0x0104_10.0.0.5")->Capacity.value, USER_BLOCKS * 512);

    const DS* ds = byTag<DS>(slots, "DS0x0013_10.0.0.5");
    EXPECT_STREQ(ds->ElementName.value.c_str(), "Disk Slot - DE0x01:Disk03");
    EXPECT_STREQ(ds->Name.value.c_str(), "VELDARO:KESTRIS SMI-S Proxy Server");
    EXPECT_STREQ(ds->Manufacturer.value.c_str(), "VELDARO");
    EXPECT_STREQ(ds->Model.value.c_str(), "Unknown");
    EXPECT_FALSE(ds->CanBeFRUed.value);
    EXPECT_EQ(ds->DeID.value, 1u);
    EXPECT_EQ(ds->Number.value, 3);
    EXPECT_EQ(statuses(ds->OperationalStatus), (std::vector<std::uint16_t>{2}));

    expectEachFoundByTag<PD>("VELDARO_PhysicalDisk", disks);
    expectEachFoundByTag<PM>("VELDARO_PhysicalMedia", media);
    expectEachFoundByTag<DS>("VELDARO_DiskSlot", slots);
    for (const char* tag : {"PD0x0105_10.0.0.5", "PD0x13_10.0.0.5", "DS0x0013_10.0.0.5", "PD0x0013"}) {
        Instance_Ptr got;
        EXPECT_EQ(getByTag<PD>("VELDARO_PhysicalDisk", tag, got), 60) << tag;
    }
}

TEST(DiskCapacity, ConversionsStayExactWithoutOverflow)
{
    using cimple::Disk_Entry;
    constexpr std::uint64_t MAX = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        std::uint64_t blocks, bytes, kilobytes;
    };
    const Case cases[] = {
        {0, 0, 0},
        {1, 512, 0},
        {1000000, 512000000, 512000},
        {1u << 30, (1ull << 30) * 512, (1ull << 30) * 512 / 1000},
        {MAX / 512, (MAX / 512) * 512, 18446744073709551ull},  // the largest count whose bytes fit
        {MAX / 512 + 1, MAX, 18446744073709551ull},            // bytes saturate
        {MAX, MAX, 9444732965739290426ull},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Disk_Entry::bytes(c.blocks), c.bytes) << c.blocks;
        EXPECT_EQ(Disk_Entry::kilobytes(c.blocks), c.kilobytes) << c.blocks;
    }
}

}  // namespace
