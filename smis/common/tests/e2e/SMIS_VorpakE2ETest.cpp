// Every typed array command against the simulator's "coverage" array, the
// configuration table requests converted into the image, and the status
// table answering cached queries without traffic.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ByteOrder.h"
#include "SMIS_CMTConvert.h"
#include "SMIS_CMTFile.h"
#include "SMIS_RequestContext.h"
#include "VorpakFixture.h"

using namespace cimple;

namespace smis::test {
namespace {

class VorpakCommands : public VorpakFixture {};

template <typename T>
struct Freed {
    T* p = nullptr;
    ~Freed() { std::free(p); }
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::uint64_t num(const nlohmann::json& j, const char* key)
{
    return j.contains(key) && j[key].is_number() ? j[key].get<std::uint64_t>() : 0;
}

// The statistics request for a login on a port: initiator name and TSIH/ISID.
CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO statisticsRequest(unsigned char moduleId, unsigned char portNo,
                                                         const CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO& login)
{
    CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO request{};
    request.bytes[0] = moduleId;
    request.bytes[1] = portNo;
    std::memcpy(request.bytes + 8, login.bytes, 224);
    std::memcpy(request.bytes + 232, login.bytes + 256, 8);
    return request;
}

CMM_REQ_RD_CFG_MGMT_TBL tableRequest(const std::vector<std::uint8_t>& ids)
{
    CMM_REQ_RD_CFG_MGMT_TBL r{};
    r.bytes[1] = static_cast<std::uint8_t>(ids.size());
    std::memcpy(r.bytes + 4, ids.data(), ids.size());
    return r;
}

std::vector<std::uint8_t> fullRefreshIds()
{
    std::vector<std::uint8_t> ids;
    for (int i = 1; i <= 14; ++i) ids.push_back(static_cast<std::uint8_t>(i));
    for (int i : {16, 17, 18, 20, 21, 22, 23, 24, 26, 27, 28}) ids.push_back(static_cast<std::uint8_t>(i));
    for (int i = 32; i <= 46; ++i) ids.push_back(static_cast<std::uint8_t>(i));
    return ids;
}

TEST_F(VorpakCommands, ConfigurationTableRequestsConvertIntoTheImage)
{
    const nlohmann::json m = model();
    SMIS_Vorpak vpk(address_.c_str());

    const std::vector<std::uint8_t> full = fullRefreshIds();
    ASSERT_EQ(full.size(), 40u);
    Freed<CMM_CMT_TABLE_HEADER> reply;
    std::uint32_t length = 0;
    ASSERT_EQ(vpk.getConfigManagementTable(tableRequest(full), reply.p, length), 0);
    ASSERT_NE(reply.p, nullptr);
    SMIS_CMTPtr cmt = SMIS_CMTFile::ConvertVPK2CMTFile(reply.p->bytes, length);
    ASSERT_NE(cmt, nullptr);
    EXPECT_EQ(cmt->index.size(), 40u);
    auto block = SMIS_CMTConvert::ConvertCMTFile2Global(*cmt);
    ASSERT_NE(block, nullptr);
    auto image = SMIS_CMTConvert::ConvertCMTFile2CMT(*cmt, *block);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->MgmtInfo().ConfigurationDate(), m["management"]["config_date"].get<std::string>());
    EXPECT_EQ(image->TableUpdateCount(), num(m["management"], "validation_count"));
    EXPECT_EQ(image->HostCount, m["hosts"].size());
    EXPECT_EQ(image->CE().InletFactor(), num(m["ce"], "inlet_factor"));

    // The conditional refresh asks for the management information alone.
    Freed<CMM_CMT_TABLE_HEADER> one;
    ASSERT_EQ(vpk.getConfigManagementTable(tableRequest({4}), one.p, length), 0);
    SMIS_CMTPtr small = SMIS_CMTFile::ConvertVPK2CMTFile(one.p->bytes, length);
    ASSERT_NE(small, nullptr);
    ASSERT_EQ(small->index.size(), 1u);
    const SMIS_INDEX* mgmt = SMIS_CMTCodec::GetIndexTable(*small, 4);
    ASSERT_NE(mgmt, nullptr);
    ASSERT_GE(mgmt->data.size(), 32u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mgmt->data.data()), 14),
              m["management"]["config_date"].get<std::string>());
    EXPECT_EQ(smis::loadLE32(mgmt->data.data() + 28), num(m["management"], "validation_count"));
}

TEST_F(VorpakCommands, DeviceModelAndEnclosureCommandsAnswerTheScenario)
{
    const nlohmann::json m = model();
    SMIS_Vorpak vpk(address_.c_str());

    unsigned char status = 0;
    EXPECT_EQ(vpk.getDeviceStatus(status), 0);
    EXPECT_EQ(status, num(m["system"], "status"));

    Freed<CMM_RSP_RD_MODEL_INFO> info;
    ASSERT_EQ(vpk.getModelInformation(info.p), 0);
    ASSERT_NE(info.p, nullptr);
    EXPECT_EQ(info.p->bytes[0], num(m["model_info"], "version"));
    EXPECT_EQ(info.p->bytes[4], num(m["model_info"], "model_type"));
    EXPECT_EQ(info.p->bytes[17], m["model_info"]["support_flags"][5].get<int>());

    Freed<CMM_RSP_MODEL_SUPPLEMENT_INFO> supplement;
    EXPECT_EQ(vpk.getModelSupplementInformation(supplement.p), 0);
    EXPECT_NE(supplement.p, nullptr);

    Freed<CMM_RSP_RD_CE_STS> ce;
    ASSERT_EQ(vpk.getCEInformation(ce.p, 0), 0);
    ASSERT_NE(ce.p, nullptr);
    EXPECT_EQ(ce.p->bytes[1], num(m["ce"], "status"));

    Freed<CMM_RSP_RD_DE_STS> des;
    ASSERT_EQ(vpk.getDEListStatus(des.p, 0), 0);
    ASSERT_NE(des.p, nullptr);
    const std::uint32_t count = smis::loadLE32(des.p->bytes);
    ASSERT_EQ(count, m["des"].size());
    const auto* entries = reinterpret_cast<const CMM_DESTS_DE_INFO*>(des.p->bytes + CMM_RSP_RD_DE_STS::ENTRY_OFFSET);
    for (std::uint32_t i = 0; i < count; ++i)
        EXPECT_EQ(vpk.getDEStatus(entries[i]), num(m["des"][i], "de_status")) << i;
    CMM_DESTS_DE_INFO absent{};
    smis::storeLE32(absent.bytes, 0xFFFFFFFFu);
    absent.bytes[20] = 1;
    EXPECT_EQ(vpk.getDEStatus(absent), 255);
}

TEST_F(VorpakCommands, PortLinkAndIscsiCommandsAnswerTheScenario)
{
    const nlohmann::json m = model();
    SMIS_Vorpak vpk(address_.c_str());

    // The iSCSI CA with logins on its first port.
    const nlohmann::json* ca = nullptr;
    for (const auto& c : m["cas"])
        if (!c["ports"].empty() && !c["ports"][0]["logins"].empty())
            ca = &c;
    ASSERT_NE(ca, nullptr);
    const unsigned long portId = num(*ca, "item_id") & ~0x800ul;
    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> link;
    ASSERT_EQ(vpk.getCAPortLinkStatus(portId, link.p), 0);
    ASSERT_NE(link.p, nullptr);
    EXPECT_EQ(smis::loadLE32(link.p->bytes), portId);
    for (const auto& p : (*ca)["ports"])
        EXPECT_EQ(smis::loadLE16(link.p->bytes + 8 + 2 * num(p, "port_no")), num(p, "link_state"));

    const auto moduleId = static_cast<unsigned char>(num(*ca, "module_id"));
    const auto port0 = static_cast<unsigned char>(num((*ca)["ports"][0], "port_no"));
    const auto port1 = static_cast<unsigned char>(num((*ca)["ports"][1], "port_no"));
    const nlohmann::json& logins = (*ca)["ports"][0]["logins"];
    Freed<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO> records;
    unsigned short count = 0;
    ASSERT_EQ(vpk.getiSCSILoginParam(moduleId, port0, records.p, count), 0);
    ASSERT_EQ(count, logins.size());
    for (unsigned short i = 0; i < count; ++i)
        EXPECT_STREQ(reinterpret_cast<const char*>(records.p[i].bytes), logins[i]["initiator"].get<std::string>().c_str());

    Freed<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO> none;
    EXPECT_EQ(vpk.getiSCSILoginParam(moduleId, port1, none.p, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(none.p, nullptr);

    // Statistics: the first login has counters (scenario defaults), the second none.
    CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO request = statisticsRequest(moduleId, port0, records.p[0]);
    CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO stats{};
    ASSERT_EQ(vpk.getiSCSISessionStatistics(&request, &stats), 0);
    EXPECT_EQ(smis::loadLE32(stats.bytes), 1000u);
    EXPECT_EQ(smis::loadLE64(stats.bytes + 8), 4096000u);

    std::memcpy(request.bytes + 8, records.p[1].bytes, 224);
    std::memcpy(request.bytes + 232, records.p[1].bytes + 256, 8);
    EXPECT_EQ(vpk.getiSCSISessionStatistics(&request, &stats), 0x70);

    request.bytes[8] = 0;
    EXPECT_EQ(vpk.getiSCSISessionStatistics(&request, &stats), 32);
    EXPECT_EQ(vpk.getiSCSISessionStatistics(nullptr, &stats), 32);
}

TEST_F(VorpakCommands, CopySessionQueriesTakeAtMostOneRecordPerId)
{
    const nlohmann::json m = model();
    SMIS_Vorpak vpk(address_.c_str());
    std::vector<std::uint16_t> ids;
    for (const auto& s : m["copy_sessions"])
        ids.push_back(static_cast<std::uint16_t>(num(s, "id")));
    ASSERT_GE(ids.size(), 3u);

    Freed<CMM_RSP_ADV_SSN_INFO> list;
    unsigned short count = 0;
    unsigned short start = 0;
    ASSERT_EQ(vpk.getCopySessionList(nullptr, &start, list.p, count), 0);
    ASSERT_EQ(count, ids.size());
    for (unsigned short i = 0; i < count; ++i)
        EXPECT_EQ(smis::loadLE16(list.p[i].bytes), ids[i]);
    EXPECT_EQ(start, 0);

    Freed<CMM_RSP_ADV_SSN_INFO> one;
    const unsigned short second = ids[1];
    ASSERT_EQ(vpk.getCopySessionList(&second, nullptr, one.p, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(smis::loadLE16(one.p->bytes), second);

    // Sessions that no longer exist are left out; the order of the ids holds.
    Array<unsigned short> asked;
    asked.append(ids[2]);
    asked.append(9999);
    asked.append(ids[0]);
    asked.append(9998);
    Freed<CMM_RSP_ADV_SSN_INFO> several;
    ASSERT_EQ(vpk.getCopySessionList(asked, nullptr, several.p, count), 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(smis::loadLE16(several.p[0].bytes), ids[2]);
    EXPECT_EQ(smis::loadLE16(several.p[1].bytes), ids[0]);

    // A query the array refuses counts as a session not found; a failed
    // exchange ends the whole query without a partial answer.
    ASSERT_TRUE(sim_->fault(0, {{"kind", "busy"}, {"command", 0x4199}, {"status", 0x20}, {"count", 1}}));
    Freed<CMM_RSP_ADV_SSN_INFO> refused;
    EXPECT_EQ(vpk.getCopySessionList(asked, nullptr, refused.p, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(smis::loadLE16(refused.p[0].bytes), ids[0]);
    ASSERT_TRUE(sim_->fault(0, {{"kind", "drop"}, {"packet", "C639"}, {"command", 0x4199}, {"count", 1}}));
    Freed<CMM_RSP_ADV_SSN_INFO> failed;
    EXPECT_EQ(vpk.getCopySessionList(asked, nullptr, failed.p, count), 133);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(failed.p, nullptr);
}

TEST_F(VorpakCommands, PoolAndThinProvisioningCommandsAnswerTheScenario)
{
    const nlohmann::json m = model();
    SMIS_Vorpak vpk(address_.c_str());
    unsigned short count = 0;

    Freed<CMM_RSP_GET_POOL_INFO> pools;
    ASSERT_EQ(vpk.getSnapTirnPoolInfomation(pools.p, count), 0);
    ASSERT_EQ(count, m["snapshot_pools"].size());
    for (unsigned short i = 0; i < count; ++i)
        EXPECT_EQ(pools.p[i].bytes[0], num(m["snapshot_pools"][i], "id"));

    Freed<CMM_RD_TP_POOL_ALARM_INFO> poolAlarms;
    ASSERT_EQ(vpk.getTpPoolAlarmInfo(poolAlarms.p, count), 0);
    ASSERT_EQ(count, m["pool_alarms"].size());
    for (unsigned short i = 0; i < count; ++i) {
        EXPECT_EQ(smis::loadLE16(poolAlarms.p[i].bytes), num(m["pool_alarms"][i], "pool"));
        EXPECT_EQ(smis::loadLE32(poolAlarms.p[i].bytes + 8), num(m["pool_alarms"][i], "used_mib"));
    }

    Freed<CMM_RSP_RD_MODEL_INFO> info;
    ASSERT_EQ(vpk.getModelInformation(info.p), 0);
    ASSERT_TRUE(info.p->bytes[17] & 0x80);
    for (unsigned char mode : {0, 1}) {
        Freed<CMM_RD_TP_LU_ALARM_INFO> luAlarms;
        ASSERT_EQ(vpk.getTpLuAlarmInfo(luAlarms.p, count, *info.p, mode), 0);
        ASSERT_EQ(count, m["volume_alarms"].size());
        EXPECT_EQ(smis::loadLE32(luAlarms.p[1].bytes + 8), num(m["volume_alarms"][1], "allocated"));
    }
    // Without the support flag only mode 0 may be asked.
    CMM_RSP_RD_MODEL_INFO plain{};
    Freed<CMM_RD_TP_LU_ALARM_INFO> refused;
    EXPECT_EQ(vpk.getTpLuAlarmInfo(refused.p, count, plain, 1), 32);
    EXPECT_EQ(refused.p, nullptr);

    const nlohmann::json& split = m["volume_alarms"][1];
    Freed<CMM_RD_TP_LU_ALLOC_SIZE_INFO> parts;
    ASSERT_EQ(vpk.getTpLuAllocationSize(static_cast<unsigned short>(num(split, "olun")), parts.p, count), 0);
    ASSERT_EQ(count, split["allocation_parts"].size());
    for (unsigned short i = 0; i < count; ++i)
        EXPECT_EQ(smis::loadLE32(parts.p[i].bytes + 4), split["allocation_parts"][i].get<std::uint32_t>());
}

TEST_F(VorpakCommands, RemotePathsCompareWholeBoxIdsAndAreServedFromTheCache)
{
    const nlohmann::json m = model();
    const nlohmann::json& boxes = m["remote_boxes"];
    ASSERT_EQ(boxes.size(), 2u);
    const std::string first = boxes[0]["box_id"], second = boxes[1]["box_id"];
    ASSERT_EQ(first.size(), 40u);
    ASSERT_EQ(first.substr(0, 4), second.substr(0, 4));  // only the whole id tells them apart
    SMIS_Vorpak vpk(address_.c_str());

    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> all;
    unsigned short count = 0;
    ASSERT_EQ(vpk.getXmirrexPath(nullptr, all.p, count), 0);
    ASSERT_EQ(count, 2);
    for (unsigned short i = 0; i < count; ++i) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(all.p[i].bytes), 40), boxes[i]["box_id"].get<std::string>());
        ASSERT_EQ(all.p[i].bytes[40], boxes[i]["paths"].size());
        for (std::size_t j = 0; j < boxes[i]["paths"].size(); ++j)
            EXPECT_EQ(all.p[i].bytes[51 + 16 * j], num(boxes[i]["paths"][j], "state"));
    }
    const std::size_t lists = requestCount(0x4068, 1);
    EXPECT_EQ(lists, 1u);

    // The second box shares its first four characters with the first.
    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> one;
    ASSERT_EQ(vpk.getXmirrexPath(second.c_str(), one.p, count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(one.p->bytes), 40), second);
    EXPECT_EQ(requestCount(0x4068), lists);  // answered from the status table

    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> bad;
    EXPECT_EQ(vpk.getXmirrexPath(second.substr(0, 39).c_str(), bad.p, count), 32);
    EXPECT_EQ(vpk.getXmirrexPath((second + "X").c_str(), bad.p, count), 32);
    const std::string unknown = first.substr(0, 4) + std::string(36, 'Z');
    EXPECT_EQ(vpk.getXmirrexPath(unknown.c_str(), bad.p, count), 32);  // not cached: asks again, still unknown
    EXPECT_EQ(bad.p, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(requestCount(0x4068, lists + 1), lists + 1);
}

TEST_F(VorpakCommands, CachedPortLinkStatusInsideItsLifetimeSendsNoRequest)
{
    const nlohmann::json m = model();
    const unsigned long portId = num(m["cas"][0], "item_id") & ~0x800ul;
    SMIS_Vorpak vpk(address_.c_str());

    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> fresh, cached, later;
    ASSERT_EQ(vpk.getCAPortLinkStatus(portId, fresh.p), 0);
    ASSERT_EQ(requestCount(0x4021, 1), 1u);
    ASSERT_EQ(vpk.getCAPortLinkStatus(portId, cached.p), 0);
    ASSERT_NE(cached.p, nullptr);
    EXPECT_EQ(std::memcmp(fresh.p->bytes, cached.p->bytes, sizeof fresh.p->bytes), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(requestCount(0x4021), 1u);

    // Past the lifetime (600 s by default) the array is asked again.
    const std::int64_t now = cache_->now();
    cache_->setClock([now] { return now + 601; });
    ASSERT_EQ(vpk.getCAPortLinkStatus(portId, later.p), 0);
    EXPECT_EQ(requestCount(0x4021, 2), 2u);
    cache_->setClock({});
}

// Takes the array's command channel on a thread of its own, as a long
// exchange the array answers would, and holds it until released.
class ChannelHolder {
public:
    explicit ChannelHolder(const std::string& address)
        : _thread([this, address] {
              SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
              SMIS_MutexHandle held = cache->GetCMTMutex(address.c_str(), SMIS_CMTAccess::MUTEX_TCPIP);
              std::unique_lock<std::mutex> lock(_lock);
              _held = true;
              _changed.notify_all();
              _changed.wait(lock, [this] { return _released; });
              cache->RelaseCMTMutex(held);
          })
    {
        std::unique_lock<std::mutex> lock(_lock);
        _changed.wait(lock, [this] { return _held; });
    }
    ~ChannelHolder() { release(); }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(_lock);
            _released = true;
        }
        _changed.notify_all();
        if (_thread.joinable())
            _thread.join();
    }

private:
    std::mutex _lock;
    std::condition_variable _changed;
    bool _held = false;
    bool _released = false;
    std::thread _thread;
};

TEST_F(VorpakCommands, ReadersOfABusyChannelAnswerTheLastValueAndMarkNothing)
{
    const nlohmann::json m = model();
    const nlohmann::json* ca = nullptr;
    const nlohmann::json* other = nullptr;
    for (const auto& c : m["cas"]) {
        if (!ca && !c["ports"].empty() && !c["ports"][0]["logins"].empty())
            ca = &c;
        else if (!other)
            other = &c;
    }
    ASSERT_NE(ca, nullptr);
    ASSERT_NE(other, nullptr);
    const unsigned long portId = num(*ca, "item_id") & ~0x800ul;
    const unsigned long neverAsked = num(*other, "item_id") & ~0x800ul;
    const auto moduleId = static_cast<unsigned char>(num(*ca, "module_id"));
    const auto portNo = static_cast<unsigned char>(num((*ca)["ports"][0], "port_no"));
    TunedVorpak vpk(address_.c_str());

    // What the array answered while its channel was free: kept in the
    // status caches.
    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> link;
    ASSERT_EQ(vpk.getCAPortLinkStatus(portId, link.p), 0);
    Freed<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO> logins;
    unsigned short loginCount = 0;
    ASSERT_EQ(vpk.getiSCSILoginParam(moduleId, portNo, logins.p, loginCount), 0);
    ASSERT_GT(loginCount, 0);
    const CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO request = statisticsRequest(moduleId, portNo, logins.p[0]);
    CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO stats{};
    ASSERT_EQ(vpk.getiSCSISessionStatistics(&request, &stats), 0);
    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> paths;
    unsigned short pathCount = 0;
    ASSERT_EQ(vpk.getXmirrexPath(nullptr, paths.p, pathCount), 0);
    ASSERT_GT(pathCount, 0);
    ASSERT_EQ(requestCount(SMIS_Vorpak::CMD_BOX_PATHS, pathCount), pathCount);
    const std::size_t asked = sim_->requests().size();

    // Every lifetime is over, and another exchange holds the channel for
    // longer than the reader's time-out.
    const std::int64_t now = cache_->now();
    cache_->setClock([now] { return now + 30 * 86400; });
    ChannelHolder holder(address_);
    SMIS_RequestContext context;
    SMIS_RequestContext::Scope scope(context);

    vpk.setTimeout(1);
    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> lastLink;
    EXPECT_EQ(vpk.getCAPortLinkStatus(portId, lastLink.p), 0);
    ASSERT_NE(lastLink.p, nullptr);
    EXPECT_EQ(std::memcmp(lastLink.p->bytes, link.p->bytes, sizeof link.p->bytes), 0);

    // The request waited its time-out once: its later readers do not wait
    // again (a 30 s wait each would show), and answer the last values too.
    vpk.setTimeout(30);
    const auto start = Clock::now();
    Freed<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO> lastLogins;
    unsigned short lastLoginCount = 0;
    EXPECT_EQ(vpk.getiSCSILoginParam(moduleId, portNo, lastLogins.p, lastLoginCount), 0);
    ASSERT_EQ(lastLoginCount, loginCount);
    EXPECT_EQ(std::memcmp(lastLogins.p, logins.p, loginCount * sizeof *logins.p), 0);
    CMM_RSP_GET_PORT_ISCSI_STATISTICS_INFO lastStats{};
    EXPECT_EQ(vpk.getiSCSISessionStatistics(&request, &lastStats), 0);
    EXPECT_EQ(std::memcmp(lastStats.bytes, stats.bytes, sizeof stats.bytes), 0);
    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> lastPaths;
    unsigned short lastPathCount = 0;
    EXPECT_EQ(vpk.getXmirrexPath(nullptr, lastPaths.p, lastPathCount), 0);
    ASSERT_EQ(lastPathCount, pathCount);
    EXPECT_EQ(std::memcmp(lastPaths.p, paths.p, pathCount * sizeof *paths.p), 0);
    // Nothing kept: busy, neither a value nor "timed out".
    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> unknown;
    EXPECT_EQ(vpk.getCAPortLinkStatus(neverAsked, unknown.p), SMIS_CommandCom::CHANNEL_BUSY);
    EXPECT_EQ(unknown.p, nullptr);
    EXPECT_LT(secondsSince(start), 5.0);
    EXPECT_EQ(sim_->requests().size(), asked) << "the array was asked while the channel was held";

    // A busy channel is no silent array: once it is free, the same request
    // asks the array.
    EXPECT_FALSE(context.timedOut(address_));
    holder.release();
    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> fresh;
    EXPECT_EQ(vpk.getCAPortLinkStatus(neverAsked, fresh.p), 0);
    EXPECT_NE(fresh.p, nullptr);
    EXPECT_EQ(requestCount(0x4021, 2), 2u);
    cache_->setClock({});
}

TEST_F(VorpakCommands, UnavailableArrayWithoutCachedAnswerIsNotAsked)
{
    cache_->SetDeviceAvailable(address_.c_str(), 1);
    SMIS_Vorpak vpk(address_.c_str());
    Freed<CMM_RSP_GET_CA_PORT_LINK_STS> link;
    EXPECT_EQ(vpk.getCAPortLinkStatus(1, link.p), 132);
    Freed<CMM_RSP_CHECK_FRA_PATH_DATA> paths;
    unsigned short count = 7;
    EXPECT_EQ(vpk.getXmirrexPath(nullptr, paths.p, count), 132);
    EXPECT_EQ(count, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(sim_->requests().empty());
}

TEST_F(VorpakCommands, SendCommandCarriesThePublicDescriptor)
{
    SMIS_Vorpak vpk(address_.c_str());
    SMIS_CMD cmd{};
    cmd.cmdCode = 0x4012;
    cmd.paramLen = 4;
    ASSERT_EQ(vpk.sendCommand(&cmd, nullptr), 0);
    EXPECT_EQ(cmd.cmdCode, 0x4012);
    EXPECT_EQ(cmd.status, 0);
    ASSERT_EQ(cmd.dataLen, 5400u);
    ASSERT_NE(cmd.dataBuf, nullptr);
    EXPECT_EQ(cmd.dataBuf[1], num(model()["ce"], "status"));
    std::free(cmd.dataBuf);

    cmd.dataLen = 8;
    EXPECT_EQ(vpk.sendCommand(&cmd, nullptr), 32);
    EXPECT_EQ(vpk.sendCommand(nullptr, nullptr), 32);
    cmd.dataLen = 0;
    cmd.paramLen = 65;
    EXPECT_EQ(vpk.sendCommand(&cmd, nullptr), 32);
    EXPECT_EQ(vpk.accessVorpakCmd(static_cast<NTC_packet*>(nullptr)), 32);
    NTC_packet ntcp;
    vpk.init_NTCP(&ntcp);
    EXPECT_EQ(ntcp.moduleId, 0xF9);
    ntcp.paramLen = 65;
    EXPECT_EQ(vpk.accessVorpakCmd(&ntcp), 32);
    ntcp.paramLen = 0;
    ntcp.cmdCode = 0x81AB;  // sends data, but names none
    ntcp.dataLen = 240;
    EXPECT_EQ(vpk.accessVorpakCmd(&ntcp), 32);
    EXPECT_EQ(requestCount(0x4012, 1), 1u);
    EXPECT_EQ(sim_->requests().size(), 1u);  // nothing of the refused calls reached the array
}

}  // namespace
}  // namespace smis::test
