// Indication delivery: the worker's life from the first enable to the last
// disable, records taken from the indication queue, and what each builder
// makes of its record kind.

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CIM_AlertIndication.h"
#include "CIM_Indication_Provider.h"
#include "CIM_InstCreation.h"
#include "CIM_InstCreation_Provider.h"
#include "CIM_InstDeletion.h"
#include "CIM_InstModification.h"
#include "CIM_ProtocolControllerForUnit.h"
#include "CMTBuilder.h"
#include "IndicationRecord.h"
#include "Indication_Builder.h"
#include "Indication_Delivery.h"
#include "LogCapture.h"
#include "RecordQueue.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_Indication.h"
#include "TempInstallDir.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RemoteStorageVolume.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageSynchronized.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"

using namespace cimple;
using R = IndicationRecord;

namespace {

constexpr const char* STORAGE = "10.0.0.5";

// The instance as its exact class, or null when it is of another class.
template <class T>
T* as(Instance* i)
{
    return i && i->meta_class == &T::static_meta_class ? static_cast<T*>(i) : nullptr;
}

// A handler that keeps a copy of every indication it is given and counts
// the end calls (null instance).
struct Collector {
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<Instance*> received;
    int endCalls = 0;

    ~Collector()
    {
        for (Instance* i : received)
            destroy(i);
    }

    static bool proc(Instance* indication, void* self)
    {
        auto* c = static_cast<Collector*>(self);
        std::lock_guard<std::mutex> g(c->lock);
        if (!indication)
            ++c->endCalls;
        else
            c->received.push_back(clone(indication));
        c->arrived.notify_all();
        return true;
    }

    // Registers a handler of this collector for the indication type.
    int enable(int type) { return Indication_Delivery::enable(type, new Indication_Handler<Instance>(&proc, this)); }

    size_t count()
    {
        std::lock_guard<std::mutex> g(lock);
        return received.size();
    }

    bool waitFor(size_t n, std::chrono::milliseconds limit = std::chrono::milliseconds(5000))
    {
        std::unique_lock<std::mutex> g(lock);
        return arrived.wait_for(g, limit, [&] { return received.size() >= n; });
    }

    template <class T>
    T* at(size_t i)
    {
        std::lock_guard<std::mutex> g(lock);
        return i < received.size() ? as<T>(received[i]) : nullptr;
    }
};

bool queueExists()
{
    return smis::platform::RecordQueue::exists(SMIS_Indication::INDICATION_QUEUE_NAME);
}

bool waitForQueue(bool present)
{
    for (int i = 0; i < 500; ++i) {
        if (queueExists() == present)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A record of the kind with the array address set; entries of counted kinds.
R newRecord(unsigned kind, std::size_t countOrSize)
{
    R r = R::entrySize(kind) ? R::allocateEntries(kind, countOrSize) : R::allocate(kind, countOrSize);
    r.setAddress(inet_addr(STORAGE));
    return r;
}

void send(R record)
{
    smis::platform::RecordQueue::send(SMIS_Indication::INDICATION_QUEUE_NAME,
                                      smis::platform::RecordQueue::Record(record.data(), record.size()));
}

uint16 firstStatus(const Property<Array<uint16>>& p)
{
    return p.null || p.value.size() == 0 ? 0xFFFF : p.value[0];
}

class IndicationDelivery : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (int type = 1; type <= 4; ++type)
            Indication_Delivery::disable(type);
        EXPECT_FALSE(Indication_Delivery::running());
    }

    smis::test::TempInstallDir install;
    Collector creations, modifications, deletions, alerts;
};

TEST_F(IndicationDelivery, WorkerRunsFromFirstEnableToLastDisable)
{
    EXPECT_FALSE(queueExists());
    ASSERT_EQ(0, creations.enable(INDICATION_CREATION));
    ASSERT_EQ(0, deletions.enable(INDICATION_DELETION));
    EXPECT_EQ("VELDARO:KESTRIS SMI-S Proxy Server", std::string(Indication_Delivery::identity().c_str()));
    ASSERT_TRUE(waitForQueue(true));

    EXPECT_EQ(0, Indication_Delivery::disable(INDICATION_CREATION));
    EXPECT_EQ(1, creations.endCalls);
    EXPECT_TRUE(Indication_Delivery::running());
    EXPECT_TRUE(queueExists());

    EXPECT_EQ(0, Indication_Delivery::disable(INDICATION_DELETION));
    // The last disable returns once the worker has removed its queue.
    EXPECT_FALSE(queueExists());
    EXPECT_EQ(1, deletions.endCalls);
    EXPECT_EQ("0", std::string(Indication_Delivery::identity().c_str()));

    // A disable with nothing enabled waits for no worker and changes nothing.
    EXPECT_EQ(0, Indication_Delivery::disable(INDICATION_DELETION));
    EXPECT_EQ(1, deletions.endCalls);
}

TEST_F(IndicationDelivery, TypesOutsideOneToFourAreRefused)
{
    smis::test::LogCapture logs;
    EXPECT_EQ(140, creations.enable(0));
    EXPECT_EQ(140, creations.enable(5));
    EXPECT_EQ(150, Indication_Delivery::disable(5));
    EXPECT_TRUE(logs.hasLog("Invalid Indication type"));
    // The provider of CIM_Indication serves no type of its own: the host
    // enables it at every start, which logs no error.
    logs.clear();
    CIM_Indication_Provider provider;
    EXPECT_EQ(ENABLE_INDICATIONS_FAILED, provider.enable_indications(new Indication_Handler<CIM_Indication>(
                                             &Collector::proc, &creations)));
    EXPECT_EQ(DISABLE_INDICATIONS_FAILED, provider.disable_indications());
    EXPECT_FALSE(logs.hasLog("Invalid Indication type"));
    EXPECT_FALSE(Indication_Delivery::running());
    EXPECT_FALSE(queueExists());
}

// The adapter's side of a handler: client data on the heap, freed on the
// handler's final (null) call, as the CIM server's adapter frees it.
struct Adapter_Data {
    int* delivered;
    int* endCalls;

    static bool proc(Instance* indication, void* data)
    {
        auto* d = static_cast<Adapter_Data*>(data);
        if (indication) {
            ++*d->delivered;
            return true;
        }
        ++*d->endCalls;
        delete d;
        return true;
    }
};

TEST_F(IndicationDelivery, ProviderKeepsItsHandlerUntilTheDisable)
{
    int delivered = 0;
    int endCalls = 0;
    CIM_InstCreation_Provider provider;
    ASSERT_EQ(ENABLE_INDICATIONS_OK, provider.enable_indications(new Indication_Handler<CIM_InstCreation>(
                                         &Adapter_Data::proc, new Adapter_Data{&delivered, &endCalls})));
    EXPECT_EQ(0, endCalls) << "the handler's data must live while indications are delivered";
    CIM_InstCreation* indication = CIM_InstCreation::create();
    EXPECT_TRUE(Indication_Delivery::deliver(INDICATION_CREATION, indication));
    destroy(indication);
    EXPECT_EQ(1, delivered);
    EXPECT_EQ(DISABLE_INDICATIONS_OK, provider.disable_indications());
    EXPECT_EQ(1, endCalls);
    EXPECT_FALSE(Indication_Delivery::deliver(INDICATION_CREATION, nullptr));
}

// A RAID group record with a creation and a deletion entry.
R raidGroupRecord()
{
    R r = newRecord(R::KIND_RLU, 2);
    std::uint8_t* created = r.entry(0);
    created[R::Rlu::OPERATION] = R::OP_CREATE;
    smis::storeLE16(created + R::Rlu::RLUN, 2);
    std::uint8_t* deleted = r.entry(1);
    deleted[R::Rlu::OPERATION] = R::OP_DELETE;
    deleted[R::Rlu::RAID_LEVEL] = 1;
    smis::storeLE16(deleted + R::Rlu::RLUN, 3);
    smis::storeLE16(deleted + R::Rlu::STATUS_NEW, 2);
    smis::storeLE16(deleted + R::Rlu::STATUS_OLD, 6);
    smis::storeLE64(deleted + R::Rlu::RLBA_COUNT, 1000);
    std::memcpy(deleted + R::Rlu::NAME, "RG3-NAME-FILLS16", 16);  // not terminated
    return r;
}

TEST_F(IndicationDelivery, QueuedRecordReachesOnlyTheHandlerOfItsType)
{
    Collector second;
    ASSERT_EQ(0, deletions.enable(INDICATION_DELETION));
    // A second enable of an occupied type keeps the first handler.
    ASSERT_EQ(0, second.enable(INDICATION_DELETION));
    ASSERT_TRUE(waitForQueue(true));

    smis::test::LogCapture logs;
    send(newRecord(12, 24));  // a kind no builder knows: freed unread
    send(raidGroupRecord());
    ASSERT_TRUE(deletions.waitFor(1));
    auto* d = deletions.at<CIM_InstDeletion>(0);
    ASSERT_NE(nullptr, d);
    EXPECT_STREQ("VELDARO:KESTRIS SMI-S Proxy Server", d->IndicationIdentifier.value.c_str());
    EXPECT_FALSE(d->IndicationTime.null);
    auto* pool = as<VELDARO_RAIDStoragePool>(d->SourceInstance);
    ASSERT_NE(nullptr, pool);
    EXPECT_STREQ("VELDARO:RSP0003_10.0.0.5", pool->InstanceID.value.c_str());
    EXPECT_EQ(6, firstStatus(pool->OperationalStatus));  // the old table's status
    EXPECT_STREQ("RG3-NAME-FILLS16", pool->ElementName.value.c_str());
    EXPECT_EQ(std::string("VELDARO_RAIDStoragePool.InstanceID=\"VELDARO:RSP0003_10.0.0.5\""),
              d->SourceInstanceModelPath.value.c_str());
    EXPECT_TRUE(logs.hasLog("Invalid Target"));

    EXPECT_EQ(0, Indication_Delivery::disable(INDICATION_DELETION));
    EXPECT_EQ(1u, deletions.count());  // the creation entry had no handler
    EXPECT_EQ(0u, second.count());
    EXPECT_EQ(1, second.endCalls);  // its handler was ended when refused
}

// The builders, called directly with handlers registered for every type.
class IndicationBuilders : public IndicationDelivery {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, creations.enable(INDICATION_CREATION));
        ASSERT_EQ(0, modifications.enable(INDICATION_MODIFICATION));
        ASSERT_EQ(0, deletions.enable(INDICATION_DELETION));
        ASSERT_EQ(0, alerts.enable(INDICATION_ALERT));
    }

    struct Owned {
        R r;
        ~Owned() { std::free(r.data()); }
    };

    Indication_Builder builder{STORAGE};
};

// A client that enumerates the pool or volume an indication names must find
// it under the same keys: the sources come from the instance builders.
TEST_F(IndicationBuilders, SourceKeysAreThoseOfTheEnumeratedPoolAndVolume)
{
    smis::test::CMTBuilder b;
    b.maxCounts({.olu = 8, .slu = 4, .rlu = 4, .dlu = 2, .mlu = 4});
    b.sys().NodeWWN({0x50, 0x00, 0x0b, 0x5d, 0x6a, 0x01, 0x02, 0x03});
    b.rlu(0).Status(3);
    CMT_RLUW group = b.rlu(2);
    group.Rlun(2).Status(0x2000).RaidLevel(1).RlbaCount(8192).SluCount(1).Slun(0, 1).Name("RG2");
    for (std::size_t k = 0; k < 16; ++k)
        group.Dlun(k, 0xFFFF);
    b.olu(6).Status(0).SluCount(1).Slun(0, 1).OlbaCount(4096).Name("VOL6");
    b.slu(1).Status(0).LuType(1).Rlun(2).Olun(6).Mlun(0xFFFF).SlbaCount(4096);
    b.installCmf(STORAGE);
    install.writeEnv({std::string("StorageIP=") + STORAGE});
    SMIS_CMTAccess::destroy();

    struct Destroy {
        void operator()(Instance* i) const { destroy(i); }
    };
    using Instance_Ptr = std::unique_ptr<Instance, Destroy>;
    VELDARO_RAIDStoragePool* pool = nullptr;
    ASSERT_EQ(0, VELDARO_RAIDStoragePool_Resource(STORAGE).createInstance(pool, 2));
    ASSERT_NE(nullptr, pool);
    Instance_Ptr enumeratedPool(pool);
    VELDARO_StorageVolume* volume = nullptr;
    ASSERT_EQ(0, VELDARO_StorageVolume_Resource(STORAGE).createInstance(volume, 1));
    ASSERT_NE(nullptr, volume);
    Instance_Ptr enumeratedVolume(volume);

    Owned groups{newRecord(R::KIND_RLU, 1)};
    std::uint8_t* g = groups.r.entry(0);
    g[R::Rlu::OPERATION] = R::OP_CREATE;
    g[R::Rlu::RAID_LEVEL] = 1;
    smis::storeLE16(g + R::Rlu::RLUN, 2);
    smis::storeLE64(g + R::Rlu::RLBA_COUNT, 8192);
    builder.sendRLUInfo(groups.r);

    Owned volumes{newRecord(R::KIND_VOLUME, 1)};
    std::uint8_t* v = volumes.r.entry(0);
    v[R::Volume::OPERATION] = R::OP_CREATE;
    v[R::Volume::LU_TYPE] = 1;
    smis::storeLE16(v + R::Volume::NUMBER, 6);
    smis::storeLE64(v + R::Volume::CAPACITY, 4096);
    builder.sendOLUInfo(volumes.r);

    ASSERT_EQ(2u, creations.count());
    auto* poolSource = as<VELDARO_RAIDStoragePool>(creations.at<CIM_InstCreation>(0)->SourceInstance);
    auto* volumeSource = as<VELDARO_StorageVolume>(creations.at<CIM_InstCreation>(1)->SourceInstance);
    ASSERT_TRUE(poolSource && volumeSource);
    EXPECT_TRUE(key_eq(enumeratedPool.get(), poolSource)) << poolSource->InstanceID.value.c_str();
    EXPECT_TRUE(key_eq(enumeratedVolume.get(), volumeSource))
        << volumeSource->SystemName.value.c_str() << "/" << volumeSource->DeviceID.value.c_str();
    // The values the record carries come out as the builder forms them.
    EXPECT_STREQ(volume->Purpose.value.c_str(), volumeSource->Purpose.value.c_str());
    EXPECT_EQ(volume->NumberOfBlocks.value, volumeSource->NumberOfBlocks.value);
}

TEST_F(IndicationBuilders, VolumeModificationCarriesBothStatusesButNotForSnapshotPoolVolumes)
{
    Owned rec{newRecord(R::KIND_VOLUME, 2)};
    for (std::size_t i = 0; i < 2; ++i) {
        std::uint8_t* e = rec.r.entry(i);
        e[R::Volume::OPERATION] = R::OP_MODIFY;
        e[R::Volume::LU_TYPE] = i == 0 ? 7 : 1;
        smis::storeLE16(e + R::Volume::NUMBER, static_cast<std::uint16_t>(0x10 + i));
        smis::storeLE16(e + R::Volume::STATUS1_NEW, 2);
        smis::storeLE16(e + R::Volume::STATUS1_OLD, 3);
    }
    builder.sendOLUInfo(rec.r);
    ASSERT_EQ(1u, modifications.count());
    auto* m = modifications.at<CIM_InstModification>(0);
    ASSERT_NE(nullptr, m);
    auto* now = as<VELDARO_StorageVolume>(m->SourceInstance);
    auto* before = as<VELDARO_StorageVolume>(m->PreviousInstance);
    ASSERT_TRUE(now && before);
    EXPECT_EQ(2, firstStatus(now->OperationalStatus));
    EXPECT_EQ(3, firstStatus(before->OperationalStatus));
    EXPECT_STREQ(STORAGE, now->SystemName.value.c_str());
    EXPECT_EQ(0u, creations.count() + deletions.count());
}

// A kind-5 record of affinity group 4 on one port (module 0x41, port 1) with
// the listed volume entries. Old mapping: 5 at LUN 3, 6 at LUN 1; new
// mapping: 5 at LUN 7, 9 at LUN 2.
void mappingRecord(IndicationRecord& r, const std::vector<std::uint16_t>& numbers)
{
    const std::size_t V = numbers.size();
    r.setU16(R::VolumeMapping::VOLUME_COUNT, static_cast<std::uint16_t>(V));
    r.setU16(R::VolumeMapping::BLOCK_COUNT, 1);
    r.setU16(R::VolumeMapping::PORT_COUNT, 1);
    for (std::size_t v = 0; v < V; ++v) {
        r.setU16(R::VolumeMapping::VOLUMES + 4 * v, numbers[v]);
        r.setU8(R::VolumeMapping::VOLUMES + 4 * v + 2, 1);
    }
    const std::size_t block = R::VolumeMapping::blockOffset(V);
    r.setU16(block + R::VolumeMapping::BLOCK_GROUP, 4);
    r.setU16(block + R::VolumeMapping::BLOCK_PREV, 0xFFFF);
    r.setU16(block + R::VolumeMapping::BLOCK_NEXT, 0xFFFF);
    for (unsigned k = 0; k < R::VolumeMapping::LUNS; ++k) {
        r.setU16(block + R::VolumeMapping::BLOCK_PAIRS + 4 * k, 0xFFFF);
        r.setU16(block + R::VolumeMapping::BLOCK_PAIRS + 4 * k + 2, 0xFFFF);
    }
    auto pair = [&](unsigned lun, std::size_t side, std::uint16_t volume) {
        r.setU16(block + R::VolumeMapping::BLOCK_PAIRS + 4 * lun + 2 * side, volume);
    };
    pair(3, 0, 5);
    pair(7, 1, 5);
    pair(1, 0, 6);
    pair(2, 1, 9);
    r.setU8(R::VolumeMapping::portOffset(V, 0), 0x41);
    r.setU8(R::VolumeMapping::portOffset(V, 0) + 1, 1);
}

TEST_F(IndicationBuilders, MovedMappingIsOneModificationAndOthersCreateOrDelete)
{
    const std::vector<std::uint16_t> numbers{5, 6, 9};
    Owned rec{newRecord(R::KIND_VOLUME_MAPPING, R::VolumeMapping::size(numbers.size(), 1))};
    R& r = rec.r;
    mappingRecord(r, numbers);
    ASSERT_TRUE(r.isWellFormed());

    builder.sendAffinityGroupMappingInfo(r);

    ASSERT_EQ(1u, modifications.count());
    auto* m = modifications.at<CIM_InstModification>(0);
    auto* moved = as<CIM_ProtocolControllerForUnit>(m->SourceInstance);
    auto* was = as<CIM_ProtocolControllerForUnit>(m->PreviousInstance);
    ASSERT_TRUE(moved && was);
    EXPECT_STREQ("0007", moved->DeviceNumber.value.c_str());
    EXPECT_STREQ("0003", was->DeviceNumber.value.c_str());
    EXPECT_EQ(2, moved->DeviceAccess.value);
    auto* controller = as<VELDARO_AffinityGroupController>(moved->Antecedent);
    auto* volume = as<VELDARO_StorageVolume>(moved->Dependent);
    ASSERT_TRUE(controller && volume);
    EXPECT_STREQ("AFG0004_CM01CA00P01", controller->DeviceID.value.c_str());
    EXPECT_STREQ(STORAGE, volume->SystemName.value.c_str());

    ASSERT_EQ(1u, deletions.count());
    EXPECT_STREQ("0001", as<CIM_ProtocolControllerForUnit>(
                             deletions.at<CIM_InstDeletion>(0)->SourceInstance)->DeviceNumber.value.c_str());
    ASSERT_EQ(1u, creations.count());
    EXPECT_STREQ("0002", as<CIM_ProtocolControllerForUnit>(
                             creations.at<CIM_InstCreation>(0)->SourceInstance)->DeviceNumber.value.c_str());
}

TEST_F(IndicationBuilders, AMappingWhoseVolumeCannotBeNamedEndsTheRecord)
{
    // Volume 6, whose deletion comes first, has no volume entry: nothing of
    // the record is delivered after it and the builder's end is not logged.
    const std::vector<std::uint16_t> numbers{5, 9};
    Owned rec{newRecord(R::KIND_VOLUME_MAPPING, R::VolumeMapping::size(numbers.size(), 1))};
    mappingRecord(rec.r, numbers);
    ASSERT_TRUE(rec.r.isWellFormed());
    smis::test::LogCapture logs;
    builder.sendAffinityGroupMappingInfo(rec.r);
    EXPECT_EQ(0u, modifications.count() + deletions.count() + creations.count());
    EXPECT_TRUE(logs.hasLog("Failed in the creation of the instance"));
    EXPECT_FALSE(logs.hasLog("sendAffinityGroupMappingInfo End"));
}

TEST_F(IndicationBuilders, PoolAlerts)
{
    struct Case {
        std::uint8_t mark;
        std::uint32_t code;
        const char* element;  // null: no alert
        const char* messageId;
    } cases[] = {
        {15, 0xE8010007, nullptr, nullptr},        // warning level: not reported
        {15, 0xE8020007, "0007", "DRM28"},         // critical
        {15, 0xE8050007, "0007", "DRM29"},         // full
        {15, 0, "Storage", nullptr},               // Layerix sub-pool
        {0, 0xE8020007, "Storage", nullptr},       // no event code
    };
    size_t expected = 0;
    for (const Case& c : cases) {
        Owned rec{newRecord(R::KIND_ALERT, R::Alert::SIZE)};
        rec.r.setU8(R::Alert::SEVERITY, 3);
        rec.r.setU8(R::Alert::EVENT_MARK, c.mark);
        rec.r.setU32(R::Alert::EVENT_CODE, c.code);
        builder.sendAlertInfo(rec.r);
        if (!c.element) {
            EXPECT_EQ(expected, alerts.count()) << std::hex << c.code;
            continue;
        }
        ASSERT_EQ(++expected, alerts.count()) << std::hex << c.code;
        auto* a = alerts.at<CIM_AlertIndication>(expected - 1);
        ASSERT_NE(nullptr, a);
        EXPECT_STREQ(c.element, a->AlertingManagedElement.value.c_str());
        EXPECT_STREQ(STORAGE, a->SystemName.value.c_str());
        EXPECT_EQ(5, a->AlertType.value);
        EXPECT_FALSE(a->IndicationTime.null);
        if (c.messageId) {
            EXPECT_STREQ(c.messageId, a->MessageID.value.c_str());
            EXPECT_EQ(44, a->ProbableCause.value);
            // Required by the class; exceeding ranks above nearing.
            ASSERT_FALSE(a->PerceivedSeverity.null);
            EXPECT_EQ(std::string(c.messageId) == "DRM29" ? 6 : 3, a->PerceivedSeverity.value);
            EXPECT_NE(std::string::npos, std::string(a->Message.value.c_str()).find("identifier 0007 capacity"));
        } else {
            EXPECT_EQ(16, a->ProbableCause.value);
            EXPECT_EQ(3, a->PerceivedSeverity.value);
        }
    }
}

TEST_F(IndicationBuilders, ArrayStatusChangeIsAModificationOfTheStorageSystem)
{
    Owned rec{newRecord(R::KIND_SYSTEM, R::System::SIZE)};
    R& r = rec.r;
    r.setU8(R::System::OPERATION, R::OP_MODIFY);
    r.setU16(R::System::STATUS1_NEW, 3);
    r.setU16(R::System::STATUS1_OLD, 2);
    r.setText(R::System::FRIENDLY, R::System::FRIENDLY_SIZE, "array-one");
    {
        // Its start and end are traced, not logged, as the alert's are.
        smis::test::LogCapture traced;
        const bool wasOn = Pegasus::Tracer::setTraceOn(true);
        builder.sendSystemInfo(r);
        Owned alert{newRecord(R::KIND_ALERT, R::Alert::SIZE)};
        builder.sendAlertInfo(alert.r);
        for (const char* line : {"sendSystemInfo Start", "sendSystemInfo End", "sendAlertInfo Start", "sendAlertInfo End"}) {
            EXPECT_TRUE(traced.hasTrace(line)) << line;
            EXPECT_FALSE(traced.hasLog(line)) << line;
        }
        Pegasus::Tracer::setTraceOn(wasOn);
    }
    ASSERT_EQ(1u, modifications.count());
    auto* m = modifications.at<CIM_InstModification>(0);
    auto* now = as<VELDARO_StorageComputerSystem>(m->SourceInstance);
    auto* before = as<VELDARO_StorageComputerSystem>(m->PreviousInstance);
    ASSERT_TRUE(now && before);
    EXPECT_STREQ(STORAGE, now->Name.value.c_str());
    EXPECT_EQ(3, firstStatus(now->OperationalStatus));
    EXPECT_EQ(2, firstStatus(before->OperationalStatus));

    // Any other operation of this kind is refused.
    smis::test::LogCapture logs;
    r.setU8(R::System::OPERATION, R::OP_CREATE);
    builder.sendSystemInfo(r);
    EXPECT_EQ(0u, creations.count());
    EXPECT_TRUE(logs.hasLog("Invalid Indication type"));
}

TEST_F(IndicationBuilders, CopySessionCreationRelatesBothVolumes)
{
    Owned rec{newRecord(R::KIND_COPY_SESSION, R::CopySession::SIZE)};
    R& r = rec.r;
    r.setU8(R::CopySession::OPERATION, R::OP_CREATE);
    r.setU8(R::CopySession::BYTE2, 3);  // a local copy
    r.setU8(R::CopySession::BYTE8, 1);
    r.setU8(R::CopySession::BYTE9, 1);
    r.setU16(R::CopySession::FIELD4, 0x21);
    r.setU16(R::CopySession::FIELD6, 0x22);
    r.setU8(R::CopySession::STATES, 2);      // status: active
    r.setU8(R::CopySession::STATES + 2, 1);  // phase: copying
    builder.sendCopySessionInfo(r);
    ASSERT_EQ(1u, creations.count());
    auto* sync = as<VELDARO_StorageSynchronized>(creations.at<CIM_InstCreation>(0)->SourceInstance);
    ASSERT_NE(nullptr, sync);
    auto* source = as<VELDARO_StorageVolume>(sync->SystemElement);
    auto* target = as<VELDARO_StorageVolume>(sync->SyncedElement);
    ASSERT_TRUE(source && target);
    EXPECT_STRNE(source->DeviceID.value.c_str(), target->DeviceID.value.c_str());

    // Unknown copy types give nothing.
    r.setU8(R::CopySession::BYTE2, 9);
    builder.sendCopySessionInfo(r);
    EXPECT_EQ(1u, creations.count());

    // Nor does a session of a snapshot data pool volume, which no volume
    // class serves.
    r.setU8(R::CopySession::BYTE2, 3);
    r.setU8(R::CopySession::BYTE9, 7);
    smis::test::LogCapture logs;
    builder.sendCopySessionInfo(r);
    EXPECT_EQ(1u, creations.count());
    EXPECT_TRUE(logs.hasLog("snapshot data pool volume is no served volume"));
}

// A remote mirror seen from either array, created or deleted: the end on
// this array is a volume, the other a remote volume of the record's box
// whose kind is its own LU-type byte.
TEST_F(IndicationBuilders, RemoteCopySessionRelatesALocalAndARemoteVolume)
{
    using C = R::CopySession;
    const char* box = "00KESTRIS##VK200##4500001001############";
    struct Case {
        const char* what;
        std::uint8_t operation;
        std::uint8_t remoteSide;  // byte 91: 0 when this array holds the source
        std::uint8_t remoteKind;  // the remote end's LU-type byte
        const char* localId;
        const char* remoteId;
    } cases[] = {
        {"created, source here", R::OP_CREATE, 0, 1, "VOL00033", "VOL00034"},
        {"created, target here", R::OP_CREATE, 1, 1, "VOL00034", "VOL00033"},
        {"remote MLU end", R::OP_CREATE, 0, 2, "VOL00033", "MLU00034"},
        {"deleted, source here", R::OP_DELETE, 0, 1, "VOL00033", "VOL00034"},
    };
    for (const Case& c : cases) {
        Owned rec{newRecord(R::KIND_COPY_SESSION, R::CopySession::SIZE)};
        R& r = rec.r;
        r.setU8(C::OPERATION, c.operation);
        r.setU8(C::BYTE2, 2);  // Xmirrex
        const bool sourceHere = c.remoteSide == 0;
        r.setU8(C::BYTE8, sourceHere ? 1 : c.remoteKind);
        r.setU8(C::BYTE9, sourceHere ? c.remoteKind : 1);
        r.setU16(C::FIELD4, 0x21);
        r.setU16(C::FIELD6, 0x22);
        r.setU8(C::STATES, 2);  // status, current and previous: active
        r.setU8(C::STATES + 1, 2);
        r.setU8(C::STATES + 2, 1);  // phase: copying
        r.setU8(C::STATES + 3, 1);
        r.setU8(C::STATES + 6, c.remoteSide);
        r.setText(C::BYTES48, C::BYTES48_SIZE, box);
        const std::size_t before = creations.count() + deletions.count();
        builder.sendCopySessionInfo(r);
        ASSERT_EQ(before + 1, creations.count() + deletions.count()) << c.what;
        Instance* delivered =
            c.operation == R::OP_CREATE ? creations.at<CIM_InstCreation>(creations.count() - 1)->SourceInstance
                                        : deletions.at<CIM_InstDeletion>(deletions.count() - 1)->SourceInstance;
        auto* sync = as<VELDARO_StorageSynchronized>(delivered);
        ASSERT_NE(nullptr, sync) << c.what;
        Instance* local = sourceHere ? sync->SystemElement : sync->SyncedElement;
        Instance* remote = sourceHere ? sync->SyncedElement : sync->SystemElement;
        auto* volume = as<VELDARO_StorageVolume>(local);
        auto* far = as<VELDARO_RemoteStorageVolume>(remote);
        ASSERT_TRUE(volume && far) << c.what;
        EXPECT_STREQ(c.localId, volume->DeviceID.value.c_str()) << c.what;
        EXPECT_STREQ(STORAGE, volume->SystemName.value.c_str()) << c.what;
        EXPECT_STREQ(c.remoteId, far->DeviceID.value.c_str()) << c.what;
        EXPECT_EQ(0u, std::string(far->SystemName.value.c_str()).rfind(box, 0)) << c.what;
    }
}

// A mirror that finished copying: the source shows the current side of the
// record, the previous instance the old side, so the change is visible.
TEST_F(IndicationBuilders, CopySessionModificationShowsBothSides)
{
    Owned rec{newRecord(R::KIND_COPY_SESSION, R::CopySession::SIZE)};
    R& r = rec.r;
    using C = R::CopySession;
    r.setU8(C::OPERATION, R::OP_MODIFY);
    r.setU8(C::BYTE2, 1);  // Mirrex
    r.setU8(C::BYTE8, 1);
    r.setU8(C::BYTE9, 1);
    r.setU16(C::FIELD4, 0x21);
    r.setU16(C::FIELD6, 0x22);
    r.setU32(C::FIELDS24, 50);          // copied
    r.setU32(C::FIELDS24 + 4, 200);     // total
    r.setU8(C::STATES, 2);
    r.setU8(C::STATES + 1, 2);
    r.setU8(C::STATES + 2, 2);  // now synchronised
    r.setU8(C::STATES + 3, 1);  // before: copying
    builder.sendCopySessionInfo(r);
    ASSERT_EQ(1u, modifications.count());
    auto* m = modifications.at<CIM_InstModification>(0);
    auto* now = as<VELDARO_StorageSynchronized>(m->SourceInstance);
    auto* before = as<VELDARO_StorageSynchronized>(m->PreviousInstance);
    ASSERT_TRUE(now && before);
    EXPECT_EQ(3, now->CopyType.value) << "the published copy type, not the array's";
    EXPECT_EQ(6, now->SyncType.value);
    EXPECT_EQ(4, now->CopyState.value);
    EXPECT_EQ(3, before->CopyState.value);
    EXPECT_EQ(6, now->SyncState.value);
    EXPECT_EQ(5, before->SyncState.value);
    EXPECT_TRUE(now->SyncMaintained.value);
    EXPECT_FALSE(before->SyncMaintained.value);
    EXPECT_EQ(25, now->PercentSynced.value);
    EXPECT_EQ(2, now->TargetAccessibility.value);

    // A previous side the array did not report takes the default values.
    r.setU8(C::NO_PREVIOUS, 1);
    builder.sendCopySessionInfo(r);
    ASSERT_EQ(2u, modifications.count());
    before = as<VELDARO_StorageSynchronized>(modifications.at<CIM_InstModification>(1)->PreviousInstance);
    ASSERT_NE(nullptr, before);
    EXPECT_EQ(15, before->CopyState.value);
    EXPECT_EQ(0, before->TargetAccessibility.value);
}

}  // namespace
