// Volume creation and deletion through the storage configuration service
// against the array simulator's "small" scenario: the command runs on the
// array's command line and the refreshed table shows the result.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ArraysimProcess.hpp"
#include "Instance_Provider_Frame.h"
#include "SMIS_CMTAccess.h"
#include "SimulatedArrays.h"
#include "SMIS_PollingService.h"
#include "TempInstallDir.h"
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

struct SmallScenario {
    static constexpr const char* scenario = "small";
    static constexpr std::size_t arrays = 1;
    static std::vector<std::string> arguments() { return {}; }
};

class StorageConfigurationService : public smis::test::Simulated_Arrays_Test<SmallScenario> {
protected:
    void SetUp() override
    {
        Simulated_Arrays_Test::SetUp();
        if (HasFatalFailure())
            return;
        address_ = sim_->address(0);
        service_ = Instance_Provider_Frame::newInstance<VELDARO_StorageConfigurationService>();
        service_->SystemName.set(String(address_.c_str()));
        service_->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        service_->CreationClassName.set("VELDARO_StorageConfigurationService");
        service_->Name.set("VELDARO:KESTRIS SMI-S Proxy Server");
    }

    void TearDown() override
    {
        if (service_)
            destroy(service_);
        Simulated_Arrays_Test::TearDown();
    }

    void volumes(Volumes& out)
    {
        VELDARO_StorageVolume_Provider provider;
        ASSERT_EQ(provider.enum_instances(nullptr, &out), ENUM_INSTANCES_OK);
    }

    std::string address_;
    VELDARO_StorageConfigurationService* service_ = nullptr;
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
    destroy(pool);
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

    // Removing it again leaves the table without it.
    Property<uint32> deleted;
    EXPECT_EQ(provider.ReturnToStoragePool(service_, job, element, deleted), INVOKE_METHOD_OK);
    EXPECT_EQ(deleted.value, 0u);
    destroy(element);
    Volumes gone;
    volumes(gone);
    EXPECT_EQ(gone.named("E2EVOL"), nullptr);
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
