// Pool creation, growth and deletion through the storage configuration
// service, and the primordial pool's size and extent queries, against the
// array simulator. The "small" scenario has sixteen free disks of one kind
// in four enclosure buckets (drive enclosures 0, 16, 32 and 48, whose disks
// carry 0x00, 0x20, 0x40 and 0x60 in the high byte of their numbers; four
// each) besides its two free SSDs in enclosure 0. Command lines name a disk
// by its number's high byte in hex and its slot in decimal.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "ServiceOnArraysim.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_PrimordialStoragePool_Provider.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_RAIDStoragePool_Provider.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageConfigurationService_Provider.h"
#include "VELDARO_ThinProvisioningPool.h"
#include "VELDARO_ThinProvisioningPool_Provider.h"

using namespace cimple;

namespace {

constexpr std::uint64_t C = 1172123568ull * 512;  // bytes of one scenario disk

class StoragePools : public smis::test::Service_On_Arraysim {
protected:
    void SetUp() override
    {
        Service_On_Arraysim::SetUp();
        refresh();
    }

    CIM_StorageSetting* setting(const std::string& level)
    {
        CIM_StorageSetting* s = CIM_StorageSetting::create(true);
        s->InstanceID.set(String(("VELDARO:SS_RAID" + level + "_" + address_).c_str()));
        return s;
    }

    std::vector<std::string> commands()
    {
        std::vector<std::string> out;
        const nlohmann::json log = sim_->control({{"op", "cli_log"}, {"array", 0}});
        for (const auto& e : log["lines"])
            out.push_back(e["line"].get<std::string>());
        return out;
    }

    // CreateOrModifyStoragePool; pool in and out.
    std::uint32_t createPool(const char* name, const CIM_StorageSetting* goal, std::uint64_t& size,
                             CIM_StoragePool*& pool, const std::vector<std::string>& extents = {},
                             const std::vector<std::string>& pools = {})
    {
        Property<String> n;
        if (name)
            n.set(name);
        Property<uint64> s;
        s.set(size);
        Property<Array<String>> inPools, inExtents;
        if (!pools.empty()) {
            inPools.set(Array<String>());
            for (const std::string& p : pools)
                inPools.value.append(String(p.c_str()));
        }
        if (!extents.empty()) {
            inExtents.set(Array<String>());
            for (const std::string& e : extents)
                inExtents.value.append(String(e.c_str()));
        }
        CIM_ConcreteJob* job = nullptr;
        Property<uint32> rc;
        VELDARO_StorageConfigurationService_Provider provider;
        EXPECT_EQ(INVOKE_METHOD_OK,
                  provider.CreateOrModifyStoragePool(service_, n, job, goal, s, inPools, inExtents, pool, rc));
        EXPECT_FALSE(rc.null);
        size = s.value;
        return rc.value;
    }

    std::uint32_t deletePool(const std::string& instanceId, bool thin)
    {
        CIM_StoragePool* pool = thin ? cast<CIM_StoragePool*>(VELDARO_ThinProvisioningPool::create(true))
                                     : cast<CIM_StoragePool*>(VELDARO_RAIDStoragePool::create(true));
        pool->InstanceID.set(String(instanceId.c_str()));
        CIM_ConcreteJob* job = nullptr;
        Property<uint32> rc;
        VELDARO_StorageConfigurationService_Provider provider;
        EXPECT_EQ(INVOKE_METHOD_OK, provider.DeleteStoragePool(service_, job, pool, rc));
        destroy(pool);
        return rc.value;
    }

    VELDARO_PrimordialStoragePool* primordial()
    {
        VELDARO_PrimordialStoragePool* p = VELDARO_PrimordialStoragePool::create(true);
        p->InstanceID.set(String(("VELDARO:PSP_" + address_).c_str()));
        return p;
    }

    std::string path(std::uint16_t plu, const std::string& system)
    {
        char id[16];
        std::snprintf(id, sizeof id, "DE0x%04x", plu);
        return "VELDARO_DiskExtent.CreationClassName=\"VELDARO_DiskExtent\",DeviceID=\"" + std::string(id) +
               "\",SystemCreationClassName=\"VELDARO_StorageComputerSystem\",SystemName=\"" + system + "\"";
    }

    VELDARO_DiskExtent* diskExtent(std::uint16_t plu)
    {
        VELDARO_RefTable table(address_.c_str());
        VELDARO_DiskExtent* e = nullptr;
        const int index = table.searchPlunFromDiskTable(plu);
        EXPECT_EQ(0, VELDARO_DiskExtent_Resource(address_.c_str()).createInstance(e, index));
        return e;
    }
};

TEST_F(StoragePools, Raid5GroupAtTheLowestFreeNumberThenDeleted)
{
    CIM_StorageSetting* goal = setting("5");
    std::uint64_t size = 2 * C;
    CIM_StoragePool* pool = nullptr;
    const std::string primordialPath = "VELDARO_PrimordialStoragePool.InstanceID=\"VELDARO:PSP_" + address_ + "\"";
    ASSERT_EQ(0u, createPool("R5NEW", goal, size, pool, {}, {primordialPath}));
    destroy(goal);
    ASSERT_NE(nullptr, pool);
    // Groups 0 to 2 exist: the new group is 3, one disk per bucket.
    EXPECT_EQ("VELDARO:RSP0003_" + address_, pool->InstanceID.value.c_str());
    EXPECT_EQ(size, pool->TotalManagedSpace.value);
    EXPECT_GT(size, 0u);
    const std::vector<std::string> lines = commands();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos,
              lines[0].find("create raid-group -rg-number 3 -name R5NEW -disks 0010,2000,4000 -level 5"))
        << lines[0];

    // The returned pool is the one the pool provider serves under its key.
    VELDARO_RAIDStoragePool_Provider provider;
    VELDARO_RAIDStoragePool* served = nullptr;
    ASSERT_EQ(GET_INSTANCE_OK,
              provider.get_instance(static_cast<VELDARO_RAIDStoragePool*>(static_cast<Instance*>(pool)), served));
    EXPECT_TRUE(key_eq(pool, served));
    destroy(served);

    EXPECT_EQ(0u, deletePool(pool->InstanceID.value.c_str(), false));
    EXPECT_NE(std::string::npos, commands().back().find("delete raid-group -rg-number 3"));
    destroy(pool);
}

TEST_F(StoragePools, DefaultLevelsTriedInOrderAndStoppedBySize)
{
    // RAID1+0 comes first; when the array refuses it the request goes on to
    // RAID1 with disks picked afresh.
    sim_->control({{"op", "cli_fault"}, {"array", 0}, {"command", "create raid-group"}, {"status", 3},
                   {"message", 1}, {"count", 1}});
    std::uint64_t size = 0;
    CIM_StoragePool* pool = nullptr;
    ASSERT_EQ(0u, createPool(nullptr, nullptr, size, pool));
    ASSERT_NE(nullptr, pool);
    const std::vector<std::string> lines = commands();
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("-level 10")) << lines[0];
    EXPECT_NE(std::string::npos, lines[1].find("-disks 0010,2000 -level 1")) << lines[1];
    EXPECT_EQ(pool->TotalManagedSpace.value, size);
    destroy(pool);

    // A size no level can give ends the request at the first level that
    // sizes it: 4097 without a command.
    sim_->control({{"op", "cli_clear_log"}});
    size = 1000 * C;
    pool = nullptr;
    EXPECT_EQ(4097u, createPool(nullptr, nullptr, size, pool));
    EXPECT_EQ(nullptr, pool);
    EXPECT_EQ(0u, size);
    EXPECT_TRUE(commands().empty());
}

TEST_F(StoragePools, ThinPoolCreatedGrownAndDeleted)
{
    CIM_StorageSetting* goal = setting("1_TPP");
    std::uint64_t size = 0;
    CIM_StoragePool* pool = nullptr;
    ASSERT_EQ(0u, createPool("THIN1", goal, size, pool));
    destroy(goal);
    ASSERT_NE(nullptr, pool);
    // Pool 0 exists: the array answers 0001, and the pool comes back by it.
    EXPECT_EQ("VELDARO:TPP0001_" + address_, pool->InstanceID.value.c_str());
    ASSERT_EQ(1u, commands().size());
    EXPECT_NE(std::string::npos, commands()[0].find("create thin-pro-pool -name THIN1 -attribute online -level 1"))
        << commands()[0];
    const std::uint64_t before = size;
    ASSERT_GT(before, 0u);

    // Growing to one and a half times the size hands half to the engine;
    // the level and member count come from the pool.
    {
        smis::test::LogCapture logs;
        size = before + before / 2;
        ASSERT_EQ(0u, createPool(nullptr, nullptr, size, pool));
        const std::string handed = "createOrModifyStoragePool(size = " + std::to_string(before / 2) + ") start";
        EXPECT_TRUE(logs.hasLog(handed)) << handed;
    }
    EXPECT_GT(size, before);
    EXPECT_EQ("VELDARO:TPP0001_" + address_, pool->InstanceID.value.c_str());
    EXPECT_NE(std::string::npos, commands().back().find("expand thin-pro-pool -pool-number 1 -rg-mode manual"));

    // Not larger than now: 5.
    std::uint64_t same = size;
    EXPECT_EQ(5u, createPool(nullptr, nullptr, same, pool));

    EXPECT_EQ(0u, deletePool(pool->InstanceID.value.c_str(), true));
    EXPECT_NE(std::string::npos, commands().back().find("delete thin-pro-pool -pool-number 1"));
    destroy(pool);
}

TEST_F(StoragePools, DeletingAGroupChecksNotOperativeBeforeThinMembership)
{
    // RAID group 2 serves thin pool 0.
    const std::string group = "VELDARO:RSP0002_" + address_;
    EXPECT_EQ(0x8024u, deletePool(group, false));
    sim_->control({{"op", "set"}, {"array", 0}, {"path", "/raid_groups/2/mode"}, {"value", 3}});
    EXPECT_EQ(0x8023u, deletePool(group, false));
    EXPECT_TRUE(commands().empty());
}

TEST_F(StoragePools, ElementType4MakesAGroupFromNamedDisks)
{
    VELDARO_StorageConfigurationService_Provider provider;
    Property<String> name;
    name.set("FROMDISKS");
    Property<uint16> type;
    type.set(4);
    Property<uint64> size;
    size.set(0);
    Array<CIM_StorageExtent*> elements;
    elements.append(cast<CIM_StorageExtent*>(diskExtent(0x000b)));
    elements.append(cast<CIM_StorageExtent*>(diskExtent(0x2001)));
    CIM_StorageSetting* goal = setting("1");
    CIM_ConcreteJob* job = nullptr;
    CIM_LogicalElement* element = nullptr;
    Property<uint32> rc;
    EXPECT_EQ(INVOKE_METHOD_OK,
              provider.CreateOrModifyElementFromElements(service_, name, type, job, cast<const CIM_ManagedElement*>(goal),
                                                         size, elements, element, rc));
    destroy(goal);
    for (std::size_t i = 0; i < elements.size(); ++i)
        destroy(elements[i]);
    EXPECT_EQ(0u, rc.value);
    ASSERT_NE(nullptr, element);
    const auto* pool = static_cast<const CIM_StoragePool*>(static_cast<const Instance*>(element));
    EXPECT_EQ("VELDARO:RSP0003_" + address_, pool->InstanceID.value.c_str());
    EXPECT_EQ(pool->TotalManagedSpace.value, size.value);
    ASSERT_EQ(1u, commands().size());
    EXPECT_NE(std::string::npos, commands()[0].find("-disks 0011,2001 -level 1")) << commands()[0];
    destroy(element);
}

TEST_F(StoragePools, PrimordialPoolSizesAndExtentsPerLevel)
{
    const struct {
        const char* level;  // null: no goal
        std::vector<std::uint64_t> sizes;
        std::size_t extents;
    } rows[] = {
        {"0",
         {2 * C, 3 * C, 4 * C, 5 * C, 6 * C, 7 * C, 8 * C, 9 * C, 10 * C, 11 * C, 12 * C, 13 * C, 14 * C, 15 * C, 16 * C,
          2 * C},
         18},
        {"1", {C}, 16},
        {"1+0", {2 * C, 3 * C, 4 * C, 5 * C, 6 * C, 7 * C, 8 * C}, 16},
        {"5", {2 * C, 3 * C}, 16},
        {"6", {3 * C, 4 * C, 5 * C, 6 * C}, 16},
        {"5+0", {4 * C, 6 * C}, 16},
        {nullptr, {2 * C, 3 * C, 4 * C, 5 * C, 6 * C, 7 * C, 8 * C}, 18},
        {"5_TPP", {3 * C}, 16},  // one disk from each of the four buckets
        {"1_TPP", {C}, 16},
    };
    VELDARO_PrimordialStoragePool_Provider provider;
    VELDARO_PrimordialStoragePool* self = primordial();
    for (const auto& r : rows) {
        const std::string label = r.level ? r.level : "none";
        CIM_StorageSetting* goal = r.level ? setting(r.level) : nullptr;
        Property<uint16> type;
        type.set(2);
        Property<Array<uint64>> sizes;
        Property<uint32> rc;
        EXPECT_EQ(INVOKE_METHOD_OK, provider.GetSupportedSizes(self, type, goal, sizes, rc));
        EXPECT_EQ(0u, rc.value) << label;
        EXPECT_EQ(r.sizes, std::vector<std::uint64_t>(sizes.value.data(), sizes.value.data() + sizes.value.size()))
            << label;

        Array<CIM_StorageExtent*> extents;
        Property<uint32> erc;
        EXPECT_EQ(INVOKE_METHOD_OK, provider.GetAvailableExtents(self, goal, extents, erc));
        EXPECT_EQ(0u, erc.value) << label;
        EXPECT_EQ(r.extents, extents.size()) << label;
        for (std::size_t i = 0; i < extents.size(); ++i)
            destroy(extents[i]);
        if (goal)
            destroy(goal);
    }
    // Element types other than pools are refused.
    Property<uint16> volume;
    volume.set(3);
    Property<Array<uint64>> sizes;
    Property<uint32> rc;
    provider.GetSupportedSizes(self, volume, nullptr, sizes, rc);
    EXPECT_EQ(1u, rc.value);
    destroy(self);
}

// Disks and pools of another array, or naming nothing, are refused before
// any command: a RAID group or thin pool number alone would name this
// array's pool of that number.
TEST_F(StoragePools, ReferencesToAnotherArrayAreRefused)
{
    CIM_StorageSetting* goal = setting("1");
    std::uint64_t size = 0;
    CIM_StoragePool* pool = nullptr;
    EXPECT_EQ(5u, createPool("X", goal, size, pool, {path(0x000a, "10.9.9.9"), path(0x2000, "10.9.9.9")}));
    EXPECT_EQ(5u, createPool("X", goal, size, pool, {path(0x000a, address_), "DeviceID"}));
    EXPECT_EQ(5u,
              createPool("X", goal, size, pool, {}, {"VELDARO_PrimordialStoragePool.InstanceID=\"VELDARO:PSP_10.9.9.9\""}));
    destroy(goal);

    CIM_StoragePool* other = cast<CIM_StoragePool*>(VELDARO_ThinProvisioningPool::create(true));
    other->InstanceID.set("VELDARO:TPP0000_10.9.9.9");
    size = 10 * C;
    EXPECT_EQ(5u, createPool(nullptr, nullptr, size, other));
    destroy(other);

    EXPECT_EQ(5u, deletePool("VELDARO:RSP0001_10.9.9.9", false));
    EXPECT_EQ(5u, deletePool("VELDARO:TPP0000_10.9.9.9", true));
    EXPECT_TRUE(commands().empty());
}

TEST_F(StoragePools, PoolArgumentsRefusedBeforeAnyCommand)
{
    const std::string psp = "VELDARO_PrimordialStoragePool.InstanceID=\"VELDARO:PSP_" + address_ + "\"";
    const std::string rsp = "VELDARO_RAIDStoragePool.InstanceID=\"VELDARO:RSP0001_" + address_ + "\"";
    const struct {
        const char* what;
        const char* name;
        std::vector<std::string> pools;
        const char* pool;  // InstanceID of the Pool argument, or null
        std::uint32_t rc;
    } rows[] = {
        {"17-character name", "ABCDEFGHIJKLMNOPQ", {}, nullptr, 5},
        {"two pools in InPools", "P", {psp, psp}, nullptr, 1},
        {"a RAID pool in InPools", "P", {rsp}, nullptr, 1},
        {"a RAID pool to modify", "P", {}, "VELDARO:RSP0001_", 1},
        {"the primordial pool to modify", "P", {}, "VELDARO:PSP_", 5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        CIM_StoragePool* pool = nullptr;
        if (r.pool) {
            pool = cast<CIM_StoragePool*>(VELDARO_RAIDStoragePool::create(true));
            pool->InstanceID.set(String((r.pool + address_).c_str()));
        }
        std::uint64_t size = C;
        EXPECT_EQ(r.rc, createPool(r.name, nullptr, size, pool, {}, r.pools));
        EXPECT_EQ(0u, size);
        if (pool)
            destroy(pool);
    }
    EXPECT_TRUE(commands().empty());
}

}  // namespace
