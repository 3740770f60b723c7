// Replies that a well-behaved array never sends, from a scripted TLS peer:
// the typed commands refuse them without reading past what arrived.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ByteOrder.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_Vorpak.h"
#include "ScriptedArray.h"
#include "TempInstallDir.h"

using namespace cimple;

namespace smis::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <typename T>
struct Freed {
    T* p = nullptr;
    ~Freed() { std::free(p); }
};

class ScriptedReplies : public ::testing::Test {
protected:
    void start(ScriptedArray::Script script)
    {
        peer_ = std::make_unique<ScriptedArray>(std::move(script));
        dir_ = std::make_unique<TempInstallDir>();
        dir_->writeEnv({"StorageIP=127.0.0.1," + std::to_string(peer_->port())});
        SMIS_CMTAccess::destroy();
        cache_ = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache_, nullptr);
        cache_->SetDeviceAvailable("127.0.0.1", 0);
    }

    void TearDown() override
    {
        SMIS_CMTAccess::destroy();
        peer_.reset();
        dir_.reset();
    }

    std::unique_ptr<ScriptedArray> peer_;
    std::unique_ptr<TempInstallDir> dir_;
    SMIS_CMTAccess* cache_ = nullptr;
};

Bytes withCount32(std::size_t size, std::uint32_t count)
{
    Bytes b(size, 0);
    smis::storeLE32(b.data(), count);
    return b;
}

TEST_F(ScriptedReplies, AnEchoOfAnotherCommandIsAFailure)
{
    start([](std::uint16_t code, const Bytes&) {
        return ScriptedArray::answer(code, Bytes(5400, 0x11), {0}, static_cast<std::uint16_t>(code + 1));
    });
    SMIS_Vorpak vpk("127.0.0.1");
    Freed<CMM_RSP_RD_CE_STS> ce;
    EXPECT_EQ(vpk.getCEInformation(ce.p, 0), 133);
    EXPECT_EQ(ce.p, nullptr);
    unsigned char status = 0;
    EXPECT_EQ(vpk.getDeviceStatus(status), 133);
    EXPECT_EQ(status, 255);
}

TEST_F(ScriptedReplies, MissingOrShortDataGives4)
{
    start([](std::uint16_t code, const Bytes&) -> std::vector<ScriptedArray::Packet> {
        switch (code) {
        case 0x400A: return ScriptedArray::answer(code, Bytes(31, 0x30));  // model reply one byte short
        case 0x0010: return ScriptedArray::answer(code, {}, {});            // no device status byte
        case 0x41AA: return ScriptedArray::answer(code, {});                // list without data: no logins
        default: return ScriptedArray::answer(code, {});                    // no data at all
        }
    });
    SMIS_Vorpak vpk("127.0.0.1");
    Freed<CMM_RSP_RD_MODEL_INFO> model;
    EXPECT_EQ(vpk.getModelInformation(model.p), 4);
    EXPECT_EQ(model.p, nullptr);
    unsigned char status = 0;
    EXPECT_EQ(vpk.getDeviceStatus(status), 4);
    EXPECT_EQ(status, 255);
    Freed<CMM_RSP_RD_CE_STS> ce;
    EXPECT_EQ(vpk.getCEInformation(ce.p, 0), 4);
    Freed<CMM_CMT_TABLE_HEADER> table;
    EXPECT_EQ(vpk.getConfigManagementTable(CMM_REQ_RD_CFG_MGMT_TBL{}, table.p), 4);
    EXPECT_EQ(table.p, nullptr);

    // A port link reply without data is not an answer and is not cached.
    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> link;
    EXPECT_EQ(vpk.getCAPortLinkStatus(7, link.p), 4);
    EXPECT_EQ(link.p, nullptr);
    const int asked = peer_->exchanges();
    EXPECT_EQ(vpk.getCAPortLinkStatus(7, link.p), 4);
    EXPECT_EQ(peer_->exchanges(), asked + 1);

    // A login list without data holds no logins; that empty answer is kept.
    Freed<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO> logins;
    unsigned short count = 9;
    EXPECT_EQ(vpk.getiSCSILoginParam(1, 2, logins.p, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(logins.p, nullptr);
    EXPECT_EQ(vpk.getiSCSILoginParam(1, 2, logins.p, count), 0);
    EXPECT_EQ(peer_->exchanges(), asked + 2);
}

TEST_F(ScriptedReplies, CountsAreCheckedIn64Bits)
{
    // Each count makes header + count x record exactly 2^32 bytes more than
    // what arrived: 32-bit arithmetic would accept the reply.
    start([](std::uint16_t code, const Bytes&) -> std::vector<ScriptedArray::Packet> {
        switch (code) {
        case 0x41BD: return ScriptedArray::answer(code, withCount32(16, 1u << 27));
        case 0x41BE: return ScriptedArray::answer(code, withCount32(16, 1u << 27));
        case 0x41C8: return ScriptedArray::answer(code, withCount32(8, 1u << 29));
        case 0x4013: return ScriptedArray::answer(code, withCount32(8, 1u << 29));
        default: return ScriptedArray::answer(code, withCount32(8, 0xFFFFFFFFu));
        }
    });
    SMIS_Vorpak vpk("127.0.0.1");
    unsigned short count = 5;
    Freed<CMM_RD_TP_POOL_ALARM_INFO> pools;
    EXPECT_EQ(vpk.getTpPoolAlarmInfo(pools.p, count), 4);
    EXPECT_EQ(pools.p, nullptr);
    EXPECT_EQ(count, 0);
    Freed<CMM_RD_TP_LU_ALARM_INFO> volumes;
    EXPECT_EQ(vpk.getTpLuAlarmInfo(volumes.p, count, CMM_RSP_RD_MODEL_INFO{}, 0), 4);
    Freed<CMM_RD_TP_LU_ALLOC_SIZE_INFO> sizes;
    EXPECT_EQ(vpk.getTpLuAllocationSize(3, sizes.p, count), 4);
    Freed<CMM_RSP_RD_DE_STS> des;
    EXPECT_EQ(vpk.getDEListStatus(des.p, 0), 4);
    EXPECT_EQ(des.p, nullptr);
    // 16-bit counts: a list shorter than its count says.
    Freed<CMM_RSP_GET_POOL_INFO> sdp;
    EXPECT_EQ(vpk.getSnapTirnPoolInfomation(sdp.p, count), 4);
}

TEST_F(ScriptedReplies, AcknowledgeBodiesAreReadAndDropped)
{
    start([](std::uint16_t code, const Bytes&) {
        std::vector<ScriptedArray::Packet> p = ScriptedArray::answer(code, Bytes(5400, 0x28));
        p.front().body = Bytes(10, 0xCE);  // the acknowledge carries a body nobody reads
        return p;
    });
    SMIS_Vorpak vpk("127.0.0.1");
    Freed<CMM_RSP_RD_CE_STS> ce;
    ASSERT_EQ(vpk.getCEInformation(ce.p, 0), 0);
    ASSERT_NE(ce.p, nullptr);
    EXPECT_EQ(ce.p->bytes[0], 0x28);
    EXPECT_EQ(ce.p->bytes[5399], 0x28);
}

std::string boxName(unsigned i)
{
    char text[41];
    std::snprintf(text, sizeof text, "BOX%02u", i);
    std::string id(text);
    id.resize(40, '#');
    return id;
}

TEST_F(ScriptedReplies, RemoteBoxAndPathCountsAreClampedToTheirRecords)
{
    start([](std::uint16_t code, const Bytes& params) -> std::vector<ScriptedArray::Packet> {
        if (code == 0x4068) {
            Bytes list(SMIS_Vorpak::BOX_LIST_SIZE, 0);
            smis::storeLE16(list.data() + SMIS_Vorpak::BOX_COUNT_OFFSET, 20);
            for (unsigned i = 0; i < 20; ++i)
                std::memcpy(list.data() + SMIS_Vorpak::BOX_ID_OFFSET + i * SMIS_Vorpak::BOX_ID_STRIDE,
                            boxName(i).data(), 40);
            return ScriptedArray::answer(code, std::move(list));
        }
        // Nine paths: one more than a record holds.
        Bytes paths((9 + 3) * 16, 0);
        std::memcpy(paths.data(), params.data(), std::min<std::size_t>(params.size(), 40));
        smis::storeLE32(paths.data() + 40, 9);
        for (unsigned j = 0; j < 9; ++j)
            paths[48 + 16 * j + 3] = static_cast<std::uint8_t>(j);
        return ScriptedArray::answer(code, std::move(paths));
    });
    SMIS_Vorpak vpk("127.0.0.1");
    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> all;
    unsigned short count = 0;
    ASSERT_EQ(vpk.getXmirrexPath(nullptr, all.p, count), 0);
    ASSERT_EQ(count, 16);
    EXPECT_EQ(peer_->exchanges(), 1 + 16);
    for (unsigned i = 0; i < count; ++i) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(all.p[i].bytes), 40), boxName(i));
        EXPECT_EQ(smis::loadLE32(all.p[i].bytes + 40), 8u);
        EXPECT_EQ(all.p[i].bytes[48 + 16 * 7 + 3], 7);
    }
    // The last box kept is found by its whole id, from the cache.
    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> last;
    ASSERT_EQ(vpk.getXmirrexPath(boxName(15).c_str(), last.p, count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(last.p->bytes), 40), boxName(15));
    EXPECT_EQ(peer_->exchanges(), 1 + 16);
}

TEST_F(ScriptedReplies, ACommandWithBothDataBitsSendsItsDataFirst)
{
    start([](std::uint16_t code, const Bytes&) {
        return std::vector<ScriptedArray::Packet>{{0xCA35, code, 0, 0, {}},
                                                  {0xDE00, code, 0, 6, {}},
                                                  {0xDA00, code, 0, 0, {'x', 'y', 'z'}},
                                                  {0xC639, code, 0, 0, {7}}};
    });
    SMIS_Vorpak vpk("127.0.0.1");
    unsigned char out[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    SMIS_CMD cmd{};
    cmd.cmdCode = 0xC123;
    cmd.dataLen = sizeof out;
    ASSERT_EQ(vpk.sendCommand(&cmd, out), 0);
    ASSERT_EQ(cmd.dataLen, 3u);
    ASSERT_NE(cmd.dataBuf, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cmd.dataBuf), 3), "xyz");
    std::free(cmd.dataBuf);
    EXPECT_EQ(cmd.paramLen, 1u);
    EXPECT_EQ(cmd.param[0], 7);

    // After the command packet: DA00 with the six bytes, then DE00.
    const Bytes sent = peer_->lastReceived();
    ASSERT_GE(sent.size(), 28u + 6u + 28u);
    EXPECT_EQ(smis::loadBE16(sent.data()), 0xDA00);
    EXPECT_EQ(smis::loadBE32(sent.data() + 16), 6u);
    EXPECT_EQ(std::string(sent.begin() + 28, sent.begin() + 34), "abcdef");
    EXPECT_EQ(smis::loadBE16(sent.data() + 34), 0xDE00);
    EXPECT_EQ(smis::loadBE16(sent.data() + 34 + 20), 0xC123);
}

}  // namespace
}  // namespace smis::test
