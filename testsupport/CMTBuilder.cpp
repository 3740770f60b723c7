#include "CMTBuilder.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

#include "SMIS_CMTConvert.h"
#include "SMIS_CMTFile.h"

namespace smis::test {

CMTBuilder::CMTBuilder() { maxCounts(MaxCounts{}); }

std::uint8_t* CMTBuilder::append(std::uint8_t tableId, std::size_t layoutSize) {
    Table& t = tables_[tableId];
    std::size_t expected = SMIS_CMTConvert::expectedRecordSize(tableId);
    if (expected == 0) expected = 16;
    if (t.elementSize == 0) t.elementSize = static_cast<std::uint32_t>(expected);
    // The buffer holds every field of the layout; container() cuts it to the element size.
    std::size_t size = std::max<std::size_t>({layoutSize, expected, t.elementSize});
    t.records.emplace_back(size, 0);
    return t.records.back().data();
}

std::uint8_t* CMTBuilder::single(std::uint8_t tableId, std::size_t layoutSize) {
    auto it = tables_.find(tableId);
    if (it != tables_.end() && !it->second.records.empty()) return it->second.records.front().data();
    return append(tableId, layoutSize);
}

CMTBuilder& CMTBuilder::maxCounts(const MaxCounts& m) {
    global()
        .OLUMaxCount(m.olu)
        .SLUMaxCount(m.slu)
        .RLUMaxCount(m.rlu)
        .DLUMaxCount(m.dlu)
        .MLUMaxCount(m.mlu)
        .CMMaxCount(m.cm)
        .AffinityGrpMaxCount(m.affinityGroups)
        .HostMaxCount(m.hosts);
    return *this;
}

CMT_GlobalW CMTBuilder::global() { return CMT_GlobalW(single(0x01, CMT_Global::SIZE)); }

CMT_CMW CMTBuilder::cm(std::uint32_t itemId) { return CMT_CMW(append(0x02, CMT_CM::SIZE)).ItemId(itemId); }
CMT_CAW CMTBuilder::ca(std::uint32_t itemId) { return CMT_CAW(append(0x03, CMT_CA::SIZE)).ItemId(itemId); }
CMT_CMMemoryW CMTBuilder::cmMemory(std::uint32_t itemId) {
    return CMT_CMMemoryW(append(0x05, CMT_CMMemory::SIZE)).ItemId(itemId);
}
CMT_DEW CMTBuilder::de(std::uint32_t itemId) { return CMT_DEW(append(0x07, CMT_DE::SIZE)).ItemId(itemId); }
CMT_DiskRecordW CMTBuilder::disk(std::uint32_t itemId, std::uint32_t location) {
    return CMT_DiskRecordW(append(0x08, CMT_DiskRecord::SIZE)).ItemId(itemId).Location(location);
}
CMT_SensorRecordW CMTBuilder::deInlet(std::uint32_t itemId) {
    return CMT_SensorRecordW(append(0x16, CMT_SensorRecord::SIZE)).ItemId(itemId);
}
CMT_SensorRecordW CMTBuilder::deOutlet(std::uint32_t itemId) {
    return CMT_SensorRecordW(append(0x17, CMT_SensorRecord::SIZE)).ItemId(itemId);
}
CMT_CMDetailRecordW CMTBuilder::cmDetail(std::uint8_t masterCPUMid) {
    return CMT_CMDetailRecordW(append(0x18, CMT_CMDetailRecord::SIZE)).MasterCPUMid(masterCPUMid);
}
CMT_CADetailRecordW CMTBuilder::caDetail(std::uint32_t itemId) {
    return CMT_CADetailRecordW(append(0x1b, CMT_CADetailRecord::SIZE)).ItemId(itemId);
}
CMT_CAPortW CMTBuilder::caPort(const CMT_CADetailRecordW& detail, std::size_t port) {
    return CMT_CAPortW(detail.bytes() + CMT_CADETAIL_PORT_OFFSET + std::min<std::size_t>(port, 1) * CMT_CAPort::SIZE);
}
CMT_SFPW CMTBuilder::sfp(const CMT_CADetailRecordW& detail, std::size_t k) {
    return CMT_SFPW(detail.bytes() + CMT_CADETAIL_SFP_OFFSET + std::min<std::size_t>(k, 1) * CMT_SFP::SIZE);
}
CMT_UnitW CMTBuilder::fan(std::uint32_t itemId) { return CMT_UnitW(append(0x1c, CMT_Unit::SIZE)).ItemId(itemId); }
CMT_UnitW CMTBuilder::cpsu(std::uint32_t itemId) { return CMT_UnitW(append(0x20, CMT_Unit::SIZE)).ItemId(itemId); }
CMT_EXPW CMTBuilder::exp(std::uint32_t itemId) { return CMT_EXPW(append(0x21, CMT_EXP::SIZE)).ItemId(itemId); }
CMT_DPSUW CMTBuilder::dpsu(std::uint32_t itemId) { return CMT_DPSUW(append(0x22, CMT_DPSU::SIZE)).ItemId(itemId); }
CMT_BBUW CMTBuilder::bbu(std::uint32_t itemId) { return CMT_BBUW(append(0x26, CMT_BBU::SIZE)).ItemId(itemId); }

CMT_MgmtInfoW CMTBuilder::mgmtInfo() { return CMT_MgmtInfoW(single(0x04, CMT_MgmtInfo::SIZE)); }
CMT_CERecordW CMTBuilder::ce() { return CMT_CERecordW(single(0x06, CMT_CERecord::SIZE)); }
CMT_SysW CMTBuilder::sys() { return CMT_SysW(single(0x09, CMT_Sys::SIZE)); }
CMT_FirmwareRecordW CMTBuilder::firmware() { return CMT_FirmwareRecordW(single(0x12, CMT_FirmwareRecord::SIZE)); }
CMT_SensorRecordW CMTBuilder::ceInlet() { return CMT_SensorRecordW(single(0x14, CMT_SensorRecord::SIZE)); }
CMT_SensorRecordW CMTBuilder::ceOutlet() { return CMT_SensorRecordW(single(0x15, CMT_SensorRecord::SIZE)); }
CMT_ManagementW CMTBuilder::management() { return CMT_ManagementW(single(0x25, CMT_Management::SIZE)); }
CMT_SDPW CMTBuilder::sdp() { return CMT_SDPW(single(0x2c, CMT_SDP::SIZE)); }
CMT_LanRecordW CMTBuilder::lan() { return CMT_LanRecordW(single(0x2e, CMT_LanRecord::SIZE)); }

CMT_OLUW CMTBuilder::olu(std::uint16_t n) { return CMT_OLUW(append(0x0a, CMT_OLU::SIZE)).Olun(n); }
CMT_SLUW CMTBuilder::slu(std::uint16_t n) { return CMT_SLUW(append(0x0b, CMT_SLU::SIZE)).Slun(n); }
CMT_RLUW CMTBuilder::rlu(std::uint16_t n) { return CMT_RLUW(append(0x0c, CMT_RLU::SIZE)).Rlun(n); }
CMT_DLUW CMTBuilder::dlu(std::uint16_t n) { return CMT_DLUW(append(0x0d, CMT_DLU::SIZE)).Dlun(n); }
CMT_MapW CMTBuilder::map(std::uint16_t n) { return CMT_MapW(append(0x0e, CMT_Map::SIZE)).MapNo(n); }
CMT_HostRecordW CMTBuilder::host(std::uint16_t index) {
    return CMT_HostRecordW(append(0x10, CMT_HostRecord::SIZE)).Index(index);
}
CMT_iSCSIHostRecordW CMTBuilder::iscsiHost(std::uint16_t index) {
    return CMT_iSCSIHostRecordW(append(0x11, CMT_iSCSIHostRecord::SIZE)).Index(index);
}
CMT_MLUW CMTBuilder::mlu(std::uint16_t n) { return CMT_MLUW(append(0x1a, CMT_MLU::SIZE)).Mlun(n); }
CMT_LUNMapW CMTBuilder::lunMap(std::uint16_t n) {
    return CMT_LUNMapW(append(0x23, CMT_LUNMap::SIZE)).LUNMappingNumber(n);
}
CMT_AffinityW CMTBuilder::affinity(std::uint16_t n) {
    return CMT_AffinityW(append(0x24, CMT_Affinity::SIZE)).GroupNumber(n);
}
CMT_Table39W CMTBuilder::table39(std::uint16_t n) {
    return CMT_Table39W(append(0x27, CMT_Table39::SIZE)).Valid(1).Number(n);
}
CMT_Table40W CMTBuilder::table40(std::uint8_t n) {
    return CMT_Table40W(append(0x28, CMT_Table40::SIZE)).Valid(1).Number(n);
}
CMT_TPPW CMTBuilder::tpp(std::uint16_t n) { return CMT_TPPW(append(0x2b, CMT_TPP::SIZE)).PoolNumber(n); }
CMT_LXRPW CMTBuilder::lxrp(std::uint8_t n) { return CMT_LXRPW(append(0x2d, CMT_LXRP::SIZE)).PoolNumber(n); }

CMT_RemotePathW CMTBuilder::remotePath() { return CMT_RemotePathW(append(0x29, CMT_RemotePath::SIZE)); }
CMT_ConnectionMapW CMTBuilder::connectionMap() {
    return CMT_ConnectionMapW(append(0x2a, CMT_ConnectionMap::SIZE));
}

std::uint8_t* CMTBuilder::addRecord(std::uint8_t tableId) { return append(tableId, 0); }

CMTBuilder& CMTBuilder::setElementSize(std::uint8_t tableId, std::uint32_t size) {
    tables_[tableId].elementSize = size;
    return *this;
}

CMTBuilder& CMTBuilder::addEmptyTable(std::uint8_t tableId) {
    tables_[tableId].empty = true;
    return *this;
}

CMTBuilder& CMTBuilder::omitMaxCounts() {
    omitBlock_ = true;
    return *this;
}

SMIS_CMT CMTBuilder::container() const {
    SMIS_CMT cmt;
    for (const auto& [id, t] : tables_) {
        if (id == 0x01 && omitBlock_) continue;
        if (t.records.empty() && !t.empty) continue;
        SMIS_INDEX e;
        e.TableId = id;
        e.ElementSize = t.elementSize ? t.elementSize : 16;
        e.ElementCount = static_cast<std::uint16_t>(std::min<std::size_t>(t.records.size(), 0xFFFF));
        e.data.assign(std::size_t(e.ElementCount) * e.ElementSize, 0);
        for (std::size_t r = 0; r < e.ElementCount; ++r)
            std::memcpy(e.data.data() + r * e.ElementSize, t.records[r].data(),
                        std::min<std::size_t>(t.records[r].size(), e.ElementSize));
        cmt.index.push_back(std::move(e));
    }
    cmt.header[1] = static_cast<std::uint8_t>(cmt.index.size());
    return cmt;
}

std::vector<std::uint8_t> CMTBuilder::bytes() const {
    SMIS_CMT cmt = container();
    return SMIS_CMTCodec::encode(cmt);
}

std::string CMTBuilder::installFile(const std::string& address, int fileKind, SMIS_CMT& cmt) {
    EXPECT_TRUE(SMIS_CMTFile::makeDataDirectory());
    std::string path = SMIS_CMTFile::defaultPath(address, fileKind);
    EXPECT_EQ(SMIS_CMTFile::WriteCMTFilePath(path, cmt), SMIS_CMTFile::OK) << path;
    return path;
}

std::string CMTBuilder::installCmf(const std::string& address) const {
    SMIS_CMT cmt = container();
    return installFile(address, SMIS_CMTFile::KIND_CMF, cmt);
}

std::unique_ptr<CMM_CMT_GLOBAL_VAL_ELEM> CMTBuilder::block() const {
    return SMIS_CMTConvert::ConvertCMTFile2Global(container());
}

std::unique_ptr<cnfg_config_mgmt_table> CMTBuilder::image() const {
    SMIS_CMT cmt = container();
    auto g = SMIS_CMTConvert::ConvertCMTFile2Global(cmt);
    if (!g) return nullptr;
    return SMIS_CMTConvert::ConvertCMTFile2CMT(cmt, *g);
}

}  // namespace smis::test
