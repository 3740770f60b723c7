// The rules of the replication methods that need no array: result-code
// translation, volume-reference splitting, the operations each copy kind
// accepts, box IDs fit for a command line and the relationship filter.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Association_Provider_Frame.h"
#include "Replica_Synchronization_Control.h"
#include "Replication_Array_Lookup.h"
#include "Replication_Relationship_Query.h"
#include "Replication_Result_Codes.h"
#include "Replication_Volume_Reference.h"
#include "VELDARO_RemoteStorageVolume.h"
#include "VELDARO_StorageVolume.h"

using namespace cimple;

namespace {

TEST(ReplicationResultCodes, ArrayResultsBecomeMethodReturnValues)
{
    using C = Replication_Result_Codes;
    struct Case {
        unsigned char result;
        std::uint32_t create, modify;
    } cases[] = {
        {0x60, 0x89E4, 0x89E4}, {0xC3, 0x8A47, 0x8A47}, {0x5F, 4, 4},     {0xC4, 4, 4},
        {'A', 5, 5},            {'B', 0x8013, 0x8013},  {'D', 0x8011, 4}, {'E', 0x8012, 4},
        {'V', 0x8017, 4},       {'W', 0x8018, 4},       {'X', 4, 0x8019}, {'Y', 4, 0x801A},
        {'C', 4, 4},            {36, 4, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(C::convCreateErrorCode(c.result), c.create) << int(c.result);
        EXPECT_EQ(C::convModifyErrorCode(c.result), c.modify) << int(c.result);
    }
}

Owned<VELDARO_StorageVolume> volumeRef(const char* deviceId)
{
    Owned<VELDARO_StorageVolume> v(VELDARO_StorageVolume::create(true));
    v->SystemName.set("10.0.0.1");
    v->DeviceID.set(deviceId);
    return v;
}

TEST(ReplicationVolumeReference, SplitsDeviceIdsAndRefusesWhatCannotBeCopied)
{
    using V = Replication_Volume_Reference;
    struct Case {
        const char* deviceId;
        bool remote;
        std::uint32_t rc;
        std::uint16_t number;
    } cases[] = {
        {"VOL00042", false, 0, 42},
        {"VOL00042", true, 0, 42},
        {"MLU00003", false, 0x8022, 0},
        {"TPPV00001", false, 0x8025, 0},
        {"VOL002a", true, 0, 0x2a},   // short form, hexadecimal
        {"SDV0010", true, 0, 0x10},
        {"SDP0001", true, 0x8027, 0},
        {"VOL002g", true, 5, 0},
        {"VOL02a", true, 5, 0},
        {"", false, 5, 0},
    };
    for (const Case& c : cases) {
        auto v = volumeRef(c.deviceId);
        V::Volume out;
        EXPECT_EQ(V::divideVolumeReference(v.get(), c.remote, out), c.rc) << c.deviceId;
        if (c.rc == 0) {
            EXPECT_EQ(out.number, c.number) << c.deviceId;
        }
    }
    V::Volume out;
    EXPECT_EQ(V::divideVolumeReference(nullptr, false, out), 5u);

    Owned<VELDARO_RemoteStorageVolume> r(VELDARO_RemoteStorageVolume::create(true));
    const std::string box(40, 'B');
    r->SystemName.set(String((box + "_10.0.0.1").c_str()));
    r->DeviceID.set("VOL00007");
    ASSERT_EQ(V::divideRemoteVolumeReference(r.get(), out), 0u);
    EXPECT_EQ(out.number, 7);
    EXPECT_EQ(std::string(out.boxId.c_str()), box);
    r->DeviceID.set("MLU00007");
    EXPECT_EQ(V::divideRemoteVolumeReference(r.get(), out), 0x8022u);
    r->DeviceID.set("XYZ00007");
    EXPECT_EQ(V::divideRemoteVolumeReference(r.get(), out), 5u);
}

TEST(ReplicationOperations, EachCopyKindAcceptsItsOperationsAndSetsTheWait)
{
    struct Case {
        std::uint16_t syncType, operation, waitIn;
        std::uint32_t rc;
        std::uint16_t waitOut;
    } cases[] = {
        {6, 8, 4, 0, 15},     {6, 12, 4, 0, 6},   {6, 20, 0, 0, 6},     {6, 14, 4, 0, 4},
        {6, 15, 3, 0, 3},     {6, 14, 2, 0, 3},   {6, 19, 0, 5, 0},     {7, 15, 4, 0, 8},
        {7, 19, 4, 0, 15},    {32768, 19, 0, 0, 15}, {7, 12, 0, 5, 0}, {7, 14, 0, 5, 0},
        {8, 8, 0, 5, 0},
    };
    for (const Case& c : cases) {
        Property<uint16> op;
        op.set(c.operation);
        std::uint16_t wait = c.waitIn;
        EXPECT_EQ(Replica_Synchronization_Control::checkOperation(op, wait, c.syncType), c.rc)
            << c.syncType << "/" << c.operation;
        if (c.rc == 0) {
            EXPECT_EQ(wait, c.waitOut) << c.syncType << "/" << c.operation;
        }
    }
    std::uint16_t wait = 0;
    EXPECT_EQ(Replica_Synchronization_Control::checkOperation(Property<uint16>(), wait, 6), 5u);
}

TEST(ReplicationBoxIds, OnlyFortyPrintableCharactersReachTheCommandLine)
{
    const std::string good = "00KESTRIS##VK200##4500001001############";
    ASSERT_EQ(good.size(), 40u);
    EXPECT_TRUE(Replication_Array_Lookup::isValidBoxId(String(good.c_str())));
    for (std::string bad : {good.substr(1), good + "#", std::string("00KESTRIS ") + good.substr(10),
                            std::string("00KESTRIS\t") + good.substr(10), std::string()})
        EXPECT_FALSE(Replication_Array_Lookup::isValidBoxId(String(bad.c_str()))) << bad;
}

TEST(ReplicationRelationships, FilterChecksAndSelectionMask)
{
    using Q = Replication_Relationship_Query;
    Q::Filter all;
    EXPECT_EQ(Q::selectionMask(all), 0xFFFF);
    EXPECT_EQ(Q::checkRelationshipParameter(all), 0u);
    Q::Filter f;
    f.syncType.set(7);
    f.locality.set(2);
    EXPECT_EQ(Q::selectionMask(f), 0x1F2F);
    // The selection words of the copy kinds: a mirror, a remote synchronous
    // mirror, a snapshot and a snapshot in plus mode.
    const std::uint16_t mirror = 0x1111, remote = 0x2111, snap = 0x1121, plus = 0x1181;
    for (std::uint16_t word : {mirror, remote, plus})
        EXPECT_NE(word & Q::selectionMask(f), word);
    EXPECT_EQ(snap & Q::selectionMask(f), snap);

    for (auto set : {+[](Q::Filter& x) { x.type.set(1); }, +[](Q::Filter& x) { x.syncType.set(9); },
                     +[](Q::Filter& x) { x.mode.set(4); }, +[](Q::Filter& x) { x.locality.set(1); },
                     +[](Q::Filter& x) { x.copyState.set(16); }, +[](Q::Filter& x) { x.copyState.set(1); }}) {
        Q::Filter bad;
        set(bad);
        EXPECT_EQ(Q::checkRelationshipParameter(bad), 5u);
    }
}

}  // namespace
