// Volume creation and deletion through the storage configuration service
// against the array simulator's "small" scenario: the command runs on the
// array's command line and the refreshed table shows the result.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SMIS_CMTAccess.h"
#include "ServiceOnArraysim.h"
#include "VELDARO_AllocatedFromStoragePool.h"
#include "VELDARO_AllocatedFromStoragePool_Provider.h"
#include "SMIS_PollingService.h"
#include "LogCapture.h"
#include "VELDARO_FreeExtent_Provider.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_RemoteStorageVolume.h"
#include "VELDARO_ThinProvisioningFreeExtent_Provider.h"
#include "VELDARO_ThinProvisioningPool.h"
#include "VELDARO_StorageConfigurationService_Provider.h"
#include "VELDARO_StorageVolume_Provider.h"

using namespace cimple;

namespace {

// The instances one enumeration of a provider answered.
template <class T>
struct Collected : Enum_Instances_Handler<T> {
    static bool collect(Instance* instance, Enum_Instances_Status, void* data)
    {
        if (instance)
            static_cast<std::vector<T*>*>(data)->push_back(static_cast<T*>(instance));
        return true;
    }
    std::vector<T*> got;
    Collected() : Enum_Instances_Handler<T>(collect, &got) {}
    ~Collected()
    {
        for (T* v : got)
            destroy(v);
    }
    const T* named(const char* name) const
    {
        for (const T* v : got)
            if (!v->ElementName.null && std::string(v->ElementName.value.c_str()).rfind(name, 0) == 0)
                return v;
        return nullptr;
    }
    const T* device(const char* id) const
    {
        for (const T* v : got)
            if (!v->DeviceID.null && v->DeviceID.value == id)
                return v;
        return nullptr;
    }
};
using Volumes = Collected<VELDARO_StorageVolume>;

template <class Provider, class T>
void enumerate(Collected<T>& out)
{
    Provider provider;
    ASSERT_EQ(provider.enum_instances(nullptr, &out), ENUM_INSTANCES_OK);
}

VELDARO_StorageVolume* asVolume(CIM_LogicalElement* element)
{
    return static_cast<VELDARO_StorageVolume*>(static_cast<Instance*>(element));
}

class StorageConfigurationService : public smis::test::Service_On_Arraysim {
protected:
    void volumes(Volumes& out) { enumerate<VELDARO_StorageVolume_Provider>(out); }

    // One call of CreateOrModifyElementFromStoragePool: the return value, the
    // size answered and the element answered (the caller destroys it).
    struct Answer {
        std::uint32_t rc = 0;
        std::uint64_t size = 0;
        CIM_LogicalElement* element = nullptr;
    };
    // call(provider, name, type, size, element, rc) runs the method.
    template <class Call>
    Answer run(const char* name, int type, std::uint64_t bytes, CIM_LogicalElement* element, Call call)
    {
        VELDARO_StorageConfigurationService_Provider provider;
        Property<String> n;
        n.set(name);
        Property<uint16> t;
        t.set(static_cast<uint16>(type));
        Property<uint64> size;
        size.set(bytes);
        Property<uint32> rc;
        EXPECT_EQ(call(provider, n, t, size, element, rc), INVOKE_METHOD_OK);
        EXPECT_FALSE(rc.null);
        return {rc.value, size.value, element};
    }
    Answer fromPool(const char* name, int type, std::uint64_t bytes, const Instance* given,
                    CIM_LogicalElement* element = nullptr)
    {
        const CIM_StoragePool* pool = cast<const CIM_StoragePool*>(given);
        return run(name, type, bytes, element, [&](auto& provider, auto& n, auto& t, auto& size, auto& e, auto& rc) {
            CIM_ConcreteJob* job = nullptr;
            return provider.CreateOrModifyElementFromStoragePool(service_, n, t, job, nullptr, size, pool, e, rc);
        });
    }
    Answer fromElements(const char* name, int type, std::uint64_t bytes, const Array<CIM_StorageExtent*>& extents,
                        CIM_LogicalElement* element = nullptr)
    {
        return run(name, type, bytes, element, [&](auto& provider, auto& n, auto& t, auto& size, auto& e, auto& rc) {
            CIM_ConcreteJob* job = nullptr;
            return provider.CreateOrModifyElementFromElements(service_, n, t, job, nullptr, size, extents, e, rc);
        });
    }
    std::uint32_t returnToPool(const Instance* element)
    {
        VELDARO_StorageConfigurationService_Provider provider;
        CIM_ConcreteJob* job = nullptr;
        Property<uint32> rc;
        EXPECT_EQ(provider.ReturnToStoragePool(service_, job, cast<const CIM_LogicalElement*>(element), rc),
                  INVOKE_METHOD_OK);
        return rc.value;
    }
    template <class Pool>
    Pool* pool(const std::string& id)
    {
        Pool* p = Instance_Provider_Frame::newInstance<Pool>();
        p->InstanceID.set(String((id + "_" + address_).c_str()));
        return p;
    }
    // The simulated array's volume of that number, or null.
    nlohmann::json simVolume(std::uint64_t olun)
    {
        const nlohmann::json model = sim_->model(0);
        for (const auto& v : model["volumes"])
            if (v["olun"] == olun)
                return v;
        return nullptr;
    }
    std::size_t commandLines()
    {
        return sim_->control({{"op", "cli_log"}, {"array", 0}})["lines"].size();
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
    EXPECT_EQ(provider.CreateOrModifyElementFromStoragePool(service_, name, type, job, nullptr, size, cast<const CIM_StoragePool*>(pool), element, rc),
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
        const Instance* pool;
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
                                                      cast<CIM_StoragePool*>(c.pool), element, rc);
        EXPECT_EQ(rc.value, c.rc);
        EXPECT_EQ(size.value, 0u);
        EXPECT_EQ(element, nullptr);
    }
    destroy(raid);
    destroy(primordial);
    const nlohmann::json log = sim_->control({{"op", "cli_log"}, {"array", 0}});
    EXPECT_TRUE(log["lines"].empty());
}

TEST_F(StorageConfigurationService, ThinVolumeIsCreatedGrownAndReturned)
{
    VELDARO_ThinProvisioningPool* thinPool = pool<VELDARO_ThinProvisioningPool>("VELDARO:TPP0000");
    Answer made = fromPool("THINE2E", 5, 10 * 0x100000ULL, thinPool);  // raised to the 24 MiB minimum
    destroy(thinPool);
    ASSERT_EQ(made.rc, 0u);
    EXPECT_EQ(made.size, 24 * 0x100000ULL);
    ASSERT_NE(made.element, nullptr);
    VELDARO_StorageVolume* thin = asVolume(made.element);
    EXPECT_TRUE(thin->ThinlyProvisioned.value);
    const std::uint64_t olun = thin->LUN.value;
    EXPECT_EQ(simVolume(olun)["lu_type"], 9);

    // Growing asks for at least 1 GiB; the answer is the volume read again.
    Answer grown = fromPool("", 5, 600 * 0x100000ULL, nullptr, made.element);
    ASSERT_EQ(grown.rc, 0u);
    EXPECT_EQ(grown.size, 1024 * 0x100000ULL);
    ASSERT_NE(grown.element, nullptr);
    EXPECT_EQ(simVolume(olun)["blocks"], 1024u * 2048u);

    // The same through CreateOrModifyElementFromElements, then refusals.
    Answer again = fromElements("", 6, 2048 * 0x100000ULL, Array<CIM_StorageExtent*>(), grown.element);
    ASSERT_EQ(again.rc, 0u);
    EXPECT_EQ(again.size, 2048 * 0x100000ULL);
    EXPECT_EQ(simVolume(olun)["blocks"], 2048u * 2048u);
    const std::size_t lines = commandLines();
    Answer same = fromElements("", 6, 2048 * 0x100000ULL, Array<CIM_StorageExtent*>(), again.element);
    EXPECT_EQ(same.rc, 5u);  // not above the current size
    Answer huge = fromPool("", 5, 0x100000000000000ULL, nullptr, same.element);
    EXPECT_EQ(huge.rc, 4097u);
    EXPECT_GT(huge.size, 2048 * 0x100000ULL);  // the largest size it could grow to
    EXPECT_LT(huge.size, 0x100000000000000ULL);
    EXPECT_EQ(commandLines(), lines);

    EXPECT_EQ(returnToPool(huge.element), 0u);
    EXPECT_TRUE(simVolume(olun).is_null());
    destroy(huge.element);
}

TEST_F(StorageConfigurationService, VolumesFromFreeExtentsTakeThePoolOfTheFirstExtentThatFits)
{
    Collected<VELDARO_FreeExtent> free;
    enumerate<VELDARO_FreeExtent_Provider>(free);
    // The thin pool's free space comes from its usage records.
    ASSERT_EQ(SMIS_PollingService::getInstance()->UpdateAllocatedInfo(address_.c_str()), 0);
    Collected<VELDARO_ThinProvisioningFreeExtent> thinFree;
    enumerate<VELDARO_ThinProvisioningFreeExtent_Provider>(thinFree);
    ASSERT_FALSE(free.got.empty());
    ASSERT_FALSE(thinFree.got.empty());

    // Size 0: each extent's pool offers its largest volume; entries of the
    // other kind are passed over.
    Array<CIM_StorageExtent*> extents;
    extents.append(cast<CIM_StorageExtent*>(thinFree.got[0]));
    for (VELDARO_FreeExtent* e : free.got)
        extents.append(cast<CIM_StorageExtent*>(e));
    Answer made = fromElements("FROMEXT", 2, 0, extents);
    ASSERT_EQ(made.rc, 0u);
    ASSERT_NE(made.element, nullptr);
    EXPECT_GT(made.size, 0u);
    EXPECT_EQ(asVolume(made.element)->NumberOfBlocks.value * 512, made.size);
    EXPECT_EQ(simVolume(asVolume(made.element)->LUN.value)["name"], "FROMEXT");
    EXPECT_EQ(returnToPool(made.element), 0u);
    destroy(made.element);

    Array<CIM_StorageExtent*> thinExtents;
    thinExtents.append(cast<CIM_StorageExtent*>(free.got[0]));
    thinExtents.append(cast<CIM_StorageExtent*>(thinFree.got[0]));
    Answer thin = fromElements("THINEXT", 6, 100 * 0x100000ULL, thinExtents);
    ASSERT_EQ(thin.rc, 0u);
    ASSERT_NE(thin.element, nullptr);
    EXPECT_EQ(thin.size, 100 * 0x100000ULL);
    EXPECT_EQ(simVolume(asVolume(thin.element)->LUN.value)["lu_type"], 9);
    EXPECT_EQ(returnToPool(thin.element), 0u);
    destroy(thin.element);

    // No extent of the asked kind: the running result, nothing sent.
    const std::size_t lines = commandLines();
    Array<CIM_StorageExtent*> wrongKind;
    wrongKind.append(cast<CIM_StorageExtent*>(thinFree.got[0]));
    Answer none = fromElements("NONE", 2, 100 * 0x100000ULL, wrongKind);
    EXPECT_EQ(none.rc, 4u);
    EXPECT_EQ(none.size, 0u);
    EXPECT_EQ(commandLines(), lines);
    if (none.element)
        destroy(none.element);
}

TEST_F(StorageConfigurationService, SizeAboveTheGroupsRoomAnswersTheLargestSize)
{
    smis::test::LogCapture logs;
    VELDARO_RAIDStoragePool* raid = pool<VELDARO_RAIDStoragePool>("VELDARO:RSP0001");
    Answer big = fromPool("BIG", 2, 0x100000000000000ULL, raid);
    EXPECT_EQ(big.rc, 4097u);
    EXPECT_EQ(big.element, nullptr);
    EXPECT_TRUE(logs.hasLog("An availability is smaller than specification size"));
    ASSERT_GT(big.size, 0u);
    EXPECT_EQ(commandLines(), 0u);

    // The size answered is one the pool accepts.
    Answer fits = fromPool("FITS", 2, big.size, raid);
    destroy(raid);
    ASSERT_EQ(fits.rc, 0u);
    EXPECT_EQ(fits.size, big.size);
    ASSERT_NE(fits.element, nullptr);
    EXPECT_EQ(returnToPool(fits.element), 0u);
    destroy(fits.element);
}

TEST_F(StorageConfigurationService, VolumesOfTypesThatCannotBeDeletedAreRefusedBeforeAnyCommand)
{
    struct Case {
        const char* deviceId;
        std::uint32_t rc;
    };
    const Case cases[] = {
        {"MLU00002", 0x8022}, {"MVV00003", 0x8022}, {"TPPV00003", 0x8024},
        {"LXV00011", 0x8024}, {"VOL00099", 4},      {"XYZ00001", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deviceId);
        VELDARO_StorageVolume* v = Instance_Provider_Frame::newInstance<VELDARO_StorageVolume>();
        v->CreationClassName.set("VELDARO_StorageVolume");
        v->SystemName.set(String(address_.c_str()));
        v->DeviceID.set(c.deviceId);
        EXPECT_EQ(returnToPool(v), c.rc);
        destroy(v);
    }
    VELDARO_RemoteStorageVolume* remote = Instance_Provider_Frame::newInstance<VELDARO_RemoteStorageVolume>();
    remote->CreationClassName.set("VELDARO_RemoteStorageVolume");
    remote->DeviceID.set("VOL00000");
    EXPECT_EQ(returnToPool(remote), 5u);
    destroy(remote);
    EXPECT_EQ(returnToPool(nullptr), 5u);
    EXPECT_EQ(commandLines(), 0u);
    EXPECT_FALSE(simVolume(3).is_null());
}

}  // namespace
