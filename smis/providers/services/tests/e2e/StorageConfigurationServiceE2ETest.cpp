// Volume creation and deletion through the storage configuration service
// against the array simulator's "small" scenario: the command runs on the
// array's command line and the refreshed table shows the result.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ServiceOnArraysim.h"
#include "VELDARO_AllocatedFromStoragePool.h"
#include "VELDARO_AllocatedFromStoragePool_Provider.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_StorageConfigurationService_Provider.h"
#include "VELDARO_StorageVolume_Provider.h"

using namespace cimple;

namespace {

struct Volumes : Enum_Instances_Handler<VELDARO_StorageVolume> {
    static bool collect(Instance* instance, Enum_Instances_Status, void* data)
    {
        if (instance)
            static_cast<std::vector<VELDARO_StorageVolume*>*>(data)->push_back(
                static_cast<VELDARO_StorageVolume*>(instance));
        return true;
    }
    std::vector<VELDARO_StorageVolume*> got;
    Volumes() : Enum_Instances_Handler<VELDARO_StorageVolume>(collect, &got) {}
    ~Volumes()
    {
        for (VELDARO_StorageVolume* v : got)
            destroy(v);
    }
    const VELDARO_StorageVolume* named(const char* name) const
    {
        for (const VELDARO_StorageVolume* v : got)
            if (!v->ElementName.null && std::string(v->ElementName.value.c_str()).rfind(name, 0) == 0)
                return v;
        return nullptr;
    }
};

class StorageConfigurationService : public smis::test::Service_On_Arraysim {
protected:
    void volumes(Volumes& out)
    {
        VELDARO_StorageVolume_Provider provider;
        ASSERT_EQ(provider.enum_instances(nullptr, &out), ENUM_INSTANCES_OK);
    }

    // The bytes each volume takes from the pool, by DeviceID, as the pool's
    // allocation references tell.
    static std::map<std::string, std::uint64_t> allocatedFrom(const VELDARO_RAIDStoragePool* pool)
    {
        std::map<std::string, std::uint64_t> out;
        VELDARO_AllocatedFromStoragePool_Provider provider;
        Enum_References_Handler<VELDARO_AllocatedFromStoragePool> handler(
            [](Instance* i, Enum_References_Status, void* data) {
                auto* a = static_cast<VELDARO_AllocatedFromStoragePool*>(i);
                if (a->Dependent && is_subclass(&VELDARO_StorageVolume::static_meta_class, a->Dependent->meta_class)) {
                    const auto* v = static_cast<const VELDARO_StorageVolume*>(static_cast<const Instance*>(a->Dependent));
                    (*static_cast<std::map<std::string, std::uint64_t>*>(data))[v->DeviceID.value.c_str()] =
                        a->SpaceConsumed.value;
                }
                destroy(i);
                return true;
            },
            &out);
        EXPECT_EQ(provider.enum_references(pool, nullptr, String("Antecedent"), &handler), ENUM_REFERENCES_OK);
        return out;
    }
};

TEST_F(StorageConfigurationService, CreatesAVolumeInARaidPoolAndReturnsIt)
{
    VELDARO_StorageConfigurationService_Provider provider;
    VELDARO_RAIDStoragePool* pool = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
    pool->InstanceID.set(String(("VELDARO:RSP0001_" + address_).c_str()));
    Property<String> name;
    name.set("E2EVOL");
    Property<uint16> type;
    type.set(2);
    Property<uint64> size;
    size.set(100 * 0x100000ULL + 1);  // rounds up to 101 MiB
    CIM_ConcreteJob* job = nullptr;
    CIM_LogicalElement* element = nullptr;
    Property<uint32> rc;
    EXPECT_EQ(provider.CreateOrModifyElementFromStoragePool(service_, name, type, job, nullptr, size, pool, element, rc),
              INVOKE_METHOD_OK);
    ASSERT_FALSE(rc.null);
    EXPECT_EQ(rc.value, 0u);
    EXPECT_EQ(size.value, 101 * 0x100000ULL);
    ASSERT_NE(element, nullptr);
    auto* made = static_cast<VELDARO_StorageVolume*>(static_cast<Instance*>(element));
    EXPECT_EQ(std::string(made->ElementName.value.c_str()).rfind("E2EVOL", 0), 0u);
    EXPECT_EQ(made->NumberOfBlocks.value * made->BlockSize.value, 101 * 0x100000ULL);

    Volumes after;
    volumes(after);
    ASSERT_NE(after.named("E2EVOL"), nullptr);
    // The pool gives the new volume its 101 MiB.
    const std::string made_id = made->DeviceID.value.c_str();
    auto allocated = allocatedFrom(pool);
    ASSERT_EQ(allocated.count(made_id), 1u) << made_id;
    EXPECT_EQ(allocated[made_id], 101 * 0x100000ULL);

    // Removing it again leaves the table without it.
    Property<uint32> deleted;
    EXPECT_EQ(provider.ReturnToStoragePool(service_, job, element, deleted), INVOKE_METHOD_OK);
    EXPECT_EQ(deleted.value, 0u);
    destroy(element);
    Volumes gone;
    volumes(gone);
    EXPECT_EQ(gone.named("E2EVOL"), nullptr);
    EXPECT_EQ(allocatedFrom(pool).count(made_id), 0u) << "the returned volume is no longer allocated from the pool";
    destroy(pool);
}

TEST_F(StorageConfigurationService, RefusesBadRequestsBeforeAnyCommand)
{
    VELDARO_StorageConfigurationService_Provider provider;
    VELDARO_RAIDStoragePool* raid = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
    raid->InstanceID.set(String(("VELDARO:RSP0001_" + address_).c_str()));
    VELDARO_RAIDStoragePool* primordial = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
    primordial->InstanceID.set(String(("VELDARO:PSP_" + address_).c_str()));
    struct Case {
        const char* what;
        const char* name;
        int type;
        const CIM_StoragePool* pool;
        std::uint32_t rc;
    };
    const Case cases[] = {
        {"element type 3", "V", 3, raid, 1},
        {"17-character name", "ABCDEFGHIJKLMNOPQ", 2, raid, 5},
        {"no pool", "V", 2, nullptr, 5},
        {"primordial pool", "V", 2, primordial, 5},
        {"pool not in the table", "V", 5, raid, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Property<String> name;
        name.set(c.name);
        Property<uint16> type;
        type.set(static_cast<uint16>(c.type));
        Property<uint64> size;
        size.set(0x10000000);
        CIM_ConcreteJob* job = nullptr;
        CIM_LogicalElement* element = nullptr;
        Property<uint32> rc;
        provider.CreateOrModifyElementFromStoragePool(service_, name, type, job, nullptr, size,
                                                      const_cast<CIM_StoragePool*>(c.pool), element, rc);
        EXPECT_EQ(rc.value, c.rc);
        EXPECT_EQ(size.value, 0u);
        EXPECT_EQ(element, nullptr);
    }
    destroy(raid);
    destroy(primordial);
    const nlohmann::json log = sim_->control({{"op", "cli_log"}, {"array", 0}});
    EXPECT_TRUE(log["lines"].empty());
}

}  // namespace
