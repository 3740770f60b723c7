// The LUN configuration engine: working copies of the host, host-affinity
// and zone tables of one array, and the commands that apply the changes.

#include "SMISProviderLUNConfiguration.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <set>
#include <string>

#include "SMIS_CLI.h"
#include "RefTable_Text.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

constexpr const char* CLS = "SMISProviderLUNConfiguration::";

#define LC_INFO(...) SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, __VA_ARGS__)
#define LC_SEVERE(...) SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, __VA_ARGS__)

// "%s start" / "%s end" trace lines of one operation.
class OpTrace {
public:
    explicit OpTrace(const char* op) : _op(op)
    {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s%s start", CLS, _op);
    }
    ~OpTrace() { SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s%s end", CLS, _op); }

private:
    const char* _op;
};

std::uint16_t hostOf(std::uint32_t packed) { return std::uint16_t(packed & 0xFFFF); }
std::uint16_t groupOf(std::uint32_t packed) { return std::uint16_t(packed >> 16); }

// Copies text into a fixed field of width bytes; a text that fills the
// field is not terminated.
void copyField(char* field, std::size_t width, const String& text)
{
    std::memcpy(field, text.c_str(), std::min(width, text.size()));
}

int mapLetter(unsigned char rc, std::initializer_list<std::pair<char, int>> table)
{
    if (rc == 0)
        return 0;
    for (const auto& [letter, code] : table)
        if (rc == static_cast<unsigned char>(letter))
            return code;
    return 4;
}

}  // namespace

SMISProviderLUNConfiguration::SMISProviderLUNConfiguration(std::uint16_t caType, const String& storageAddress)
    : _caType(caType), _address(storageAddress)
{
}

SMISProviderLUNConfiguration::SMISProviderLUNConfiguration() {}

SMISProviderLUNConfiguration::~SMISProviderLUNConfiguration() = default;

int SMISProviderLUNConfiguration::caKind() const { return VELDARO_ValueConv::convCATypeToCAKind(_caType); }

std::uint32_t SMISProviderLUNConfiguration::getMaxSizeOfZone()
{
    VELDARO_RefTable table(_address.c_str());
    return table.getAffinityGrpMaxCount();
}

std::uint32_t SMISProviderLUNConfiguration::getMaxSizeOfHostWWN()
{
    VELDARO_RefTable table(_address.c_str());
    return table.getHostMaxCount();
}

// ---------------------------------------------------------------- host list

int SMISProviderLUNConfiguration::getWWPNList()
{
    OpTrace t("getWWPNList");
    LC_INFO("getWWPNList start");
    freeWWPNList();
    VELDARO_RefTable table(_address.c_str());
    const bool iscsi = caKind() == 1;
    const int slots = int(VELDARO_RefTable::getHostPerModelMaxCount());
    try {
        _hosts.reserve(slots);
        for (int i = 0; i < slots; ++i) {
            const std::uint8_t valid = iscsi ? table.getiSCSIHostValidFlag(i) : table.getHostValidFlag(i);
            if (valid != 1) {
                _hosts.emplace_back();
                continue;
            }
            RefTable_Text name(iscsi ? table.getiSCSIHostiSCSIName(i) : table.getHostWWN(i));
            if (name.missing()) {
                LC_SEVERE("Unexpected Error");
                return 4;
            }
            auto e = std::make_unique<WWPNEntry>();
            e->hostNumber = std::uint32_t(i);
            e->responseTableNumber = iscsi ? table.getiSCSIHostResponseTableNum(i) : table.getHostResponseTableNum(i);
            e->state = HOST_REGISTERED;
            e->name = name.str();
            _hosts.push_back(std::move(e));
        }
    } catch (const std::bad_alloc&) {
        LC_SEVERE("Err:Not enough memory");
        return 4;
    }
    return 0;
}

void SMISProviderLUNConfiguration::freeWWPNList() { _hosts.clear(); }

const SMISProviderLUNConfiguration::WWPNEntry* SMISProviderLUNConfiguration::hostEntry(int slot) const
{
    if (slot < 0 || std::size_t(slot) >= _hosts.size())
        return nullptr;
    return _hosts[std::size_t(slot)].get();
}

int SMISProviderLUNConfiguration::getHostNumber(const String& name, bool create, const char* alias)
{
    OpTrace t("getHostNumber");
    if (_hosts.empty() && getWWPNList() != 0)
        return -1;
    std::size_t firstFree = _hosts.size();
    for (std::size_t i = 0; i < _hosts.size(); ++i) {
        const WWPNEntry* e = _hosts[i].get();
        if (!e) {
            if (firstFree == _hosts.size())
                firstFree = i;
            continue;
        }
        if (e->name.equali(name)) {
            LC_INFO("Found host number is 0x%08x", e->hostNumber);
            return int(e->hostNumber);
        }
    }
    if (!create || firstFree >= _hosts.size() || firstFree >= VELDARO_RefTable::getHostPerModelMaxCount()) {
        LC_INFO("Not found host number");
        return -2;
    }
    try {
        VELDARO_RefTable table(_address.c_str());
        auto e = std::make_unique<WWPNEntry>();
        e->hostNumber = std::uint32_t(firstFree);
        e->responseTableNumber = caKind() == 1 ? table.getiSCSIHostResponseTableNum(int(firstFree))
                                               : table.getHostResponseTableNum(int(firstFree));
        e->state = HOST_CREATE;
        e->name = name;
        e->alias = String(alias ? alias : "");
        _hosts[firstFree] = std::move(e);
    } catch (const std::bad_alloc&) {
        LC_SEVERE("Err:Not enough memory");
        return -1;
    }
    LC_INFO("New host number is 0x%08x", unsigned(firstFree));
    return int(firstFree);
}

bool SMISProviderLUNConfiguration::hasWWN(const String& name) { return getHostNumber(name, false, nullptr) >= 0; }

bool SMISProviderLUNConfiguration::checkHostType(const String& name)
{
    OpTrace t("checkHostType");
    const int kind = caKind();
    // The name's form first: one the array cannot take would be left out of
    // the host registration and only found missing after the group is made.
    if (kind == 1)
        return isiSCSIName(name);
    if (!isWWPN(name))
        return false;
    const int host = getHostNumber(name, false, nullptr);
    if (host < 0)
        return true;
    VELDARO_RefTable table(_address.c_str());
    const std::uint8_t type = table.getHostType(host);
    return type == (kind == 2 ? 0 : 2);
}

bool SMISProviderLUNConfiguration::isWWPN(const String& name)
{
    if (name.size() != 16)
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name.c_str()[i])))
            return false;
    return true;
}

bool SMISProviderLUNConfiguration::isiSCSIName(const String& name)
{
    // Letters, digits and the separators of iSCSI names: nothing that could
    // end or split an option on the array's command line.
    if (name.size() == 0 || name.size() > CMM_ISCSI_HOST_INFO::ISCSI_NAME_SIZE)
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name.c_str()[i]);
        if (!std::isalnum(c) && c != '.' && c != ':' && c != '-' && c != '_')
            return false;
    }
    return true;
}

int SMISProviderLUNConfiguration::registHost()
{
    OpTrace t("registHost");
    LC_INFO("registHost start");
    return caKind() == 1 ? registiSCSIHostList(int(HOST_CREATE)) : registHostWWNList(int(HOST_CREATE));
}

int SMISProviderLUNConfiguration::deleteHost(const Array<String>& names)
{
    OpTrace t("deleteHost");
    LC_INFO("deleteHost start");
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int host = getHostNumber(names[i], false, nullptr);
        if (host < 0) {
            LC_SEVERE("Invalid WWPN");
            return 4;
        }
        _hosts[std::size_t(host)]->state = HOST_DELETE;
    }
    return caKind() == 1 ? registiSCSIHostList(int(HOST_DELETE)) : registHostWWNList(int(HOST_DELETE));
}

int SMISProviderLUNConfiguration::unregistCreatedHosts()
{
    OpTrace t("unregistCreatedHosts");
    for (const auto& e : _hosts)
        if (e && e->state == HOST_CREATE)
            e->state = HOST_DELETE;
    return caKind() == 1 ? registiSCSIHostList(int(HOST_DELETE)) : registHostWWNList(int(HOST_DELETE));
}

int SMISProviderLUNConfiguration::registHostWWNList(int mode)
{
    OpTrace t("registHostWWNList");
    if (mode != int(HOST_CREATE) && mode != int(HOST_DELETE))
        return 0;
    std::vector<SMIS_HOST_WWN_INFO> entries;
    try {
        for (const auto& e : _hosts) {
            if (!e || e->state != std::uint32_t(mode) || !isWWPN(e->name))
                continue;
            SMIS_HOST_WWN_INFO info{};
            info.hostNumber = std::uint16_t(e->hostNumber);
            info.responseNumber = std::uint16_t(e->responseTableNumber);
            copyField(info.id, sizeof info.id, e->name);
            copyField(info.name, sizeof info.name, e->alias);
            entries.push_back(info);
        }
    } catch (const std::bad_alloc&) {
        LC_SEVERE("Err:Not enough memory");
        return 4;
    }
    // Nothing in the requested state (or nothing that can be sent): no command.
    if (entries.empty())
        return 0;
    const IDType type = caKind() == 2 ? IDTYPE_WWN : IDTYPE_SAS;
    SMIS_CLI cli(_address);
    for (std::size_t at = 0; at < entries.size(); at += SMIS_CLI::MAX_HOSTS) {
        const unsigned n = unsigned(std::min<std::size_t>(SMIS_CLI::MAX_HOSTS, entries.size() - at));
        const unsigned char rc = mode == int(HOST_CREATE) ? cli.createHostWWNList(&entries[at], n, type)
                                                          : cli.deleteHostWWNList(&entries[at], n, type);
        const int code = mapLetter(rc, {{'A', 5}, {'B', 0x8013}, {'F', 0x8014}, {'J', 0x8003}, {'K', 0x8031}});
        if (code != 0)
            return code;
    }
    return 0;
}

int SMISProviderLUNConfiguration::registiSCSIHostList(int mode)
{
    OpTrace t("registiSCSIHostList");
    if (mode != int(HOST_CREATE) && mode != int(HOST_DELETE))
        return 0;
    std::vector<CMM_ISCSI_HOST_INFO> entries;
    try {
        for (const auto& e : _hosts) {
            if (!e || e->state != std::uint32_t(mode) || !isiSCSIName(e->name))
                continue;
            CMM_ISCSI_HOST_INFO info{};
            info.hostNumber = std::uint16_t(e->hostNumber);
            info.responseNumber = std::uint16_t(e->responseTableNumber);
            copyField(info.iscsiName, sizeof info.iscsiName, e->name);
            copyField(info.name, sizeof info.name, e->alias);
            entries.push_back(info);
        }
    } catch (const std::bad_alloc&) {
        LC_SEVERE("Err:Not enough memory");
        return 4;
    }
    if (entries.empty())
        return 0;
    SMIS_CLI cli(_address);
    for (std::size_t at = 0; at < entries.size(); at += SMIS_CLI::MAX_HOSTS) {
        const unsigned n = unsigned(std::min<std::size_t>(SMIS_CLI::MAX_HOSTS, entries.size() - at));
        const unsigned char rc = mode == int(HOST_CREATE) ? cli.createiSCSIHostList(&entries[at], n)
                                                          : cli.deleteiSCSIHostList(&entries[at], n);
        const int code = mapLetter(rc, {{'A', 5}, {'B', 0x8013}, {'F', 0x8014}, {'L', 0x8031}, {'M', 0x8003}});
        if (code != 0)
            return code;
    }
    return 0;
}

// ------------------------------------------------------ ports and affinity

int SMISProviderLUNConfiguration::getIndexofOpenMap(std::uint16_t logicalID)
{
    VELDARO_RefTable table(_address.c_str());
    const std::uint8_t module = std::uint8_t(logicalID >> 8);
    const std::uint8_t port = std::uint8_t(logicalID & 0xFF);
    for (int i = 0; i < MAP_ENTRIES; ++i)
        if (VELDARO_RefTable::mapEntryHoldsPort(table.getMapCAModuleID(i), table.getMapCAPortNo(i), module, port))
            return i;
    return -1;
}

int SMISProviderLUNConfiguration::getHostZoneList(std::uint16_t logicalID)
{
    OpTrace t("getHostZoneList");
    const int map = getIndexofOpenMap(logicalID);
    if (map < 0) {
        LC_INFO("getIndexofOpenMap is invalid");
        return 4;
    }
    VELDARO_RefTable table(_address.c_str());
    const int count = std::min<int>(table.getMapValidCnt(map), MAP_SLOTS);
    for (int j = 0; j < count; ++j) {
        // The map holds the affinity table number; the bindings are kept by
        // group number, as the requests name them.
        const std::uint16_t tableNo = table.getMapAffinityTableNo(map, j);
        const std::uint16_t group = tableNo == NONE ? NONE : table.getAffinityGroupNumber(tableNo);
        _current.hostMappings.push_back(pack(table.getMapHostWWNTableNo(map, j), group));
    }
    return 0;
}

int SMISProviderLUNConfiguration::SearchHostAffinity(std::uint16_t logicalID) const
{
    for (std::size_t i = 0; i < _affinities.size(); ++i)
        if (_affinities[i]->logicalID == logicalID)
            return int(i);
    return -1;
}

void SMISProviderLUNConfiguration::LoadHostAffinity(int index)
{
    if (index < 0 || std::size_t(index) >= _affinities.size())
        return;
    _current = *_affinities[std::size_t(index)];
    _affinities.erase(_affinities.begin() + index);
}

void SMISProviderLUNConfiguration::ClearHostAffinityInfo() { _current = HOST_AFFINITY(); }

void SMISProviderLUNConfiguration::addHostZoneList(std::uint16_t logicalID)
{
    try {
        auto record = std::make_unique<HOST_AFFINITY>(_current);
        record->logicalID = logicalID;
        _affinities.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        LC_SEVERE("Err:Not enough memory");
    }
    ClearHostAffinityInfo();
}

void SMISProviderLUNConfiguration::addHostMappingToHostList(std::uint16_t host, std::uint16_t group)
{
    _current.hostMappings.push_back(pack(host, group));
}

void SMISProviderLUNConfiguration::addHostMappingToTargetList(std::uint16_t host, std::uint16_t group)
{
    _current.targetList.push_back(pack(host, group));
}

bool SMISProviderLUNConfiguration::isSameHostAffinity(std::uint16_t host, std::uint16_t group) const
{
    const auto& m = _current.hostMappings;
    const bool same = std::find(m.begin(), m.end(), pack(host, group)) != m.end();
    LC_INFO(same ? "isSameHostAffinity is true" : "isSameHostAffinity is false");
    return same;
}

bool SMISProviderLUNConfiguration::isDuplicateHost(std::uint16_t logicalID, std::uint16_t host)
{
    const int map = getIndexofOpenMap(logicalID);
    if (map < 0) {
        LC_SEVERE("Invalid LogicalID");
        return false;
    }
    VELDARO_RefTable table(_address.c_str());
    const int count = std::min<int>(table.getMapValidCnt(map), MAP_SLOTS);
    for (int j = 0; j < count; ++j) {
        if (table.getMapHostWWNTableNo(map, j) == host) {
            LC_INFO("isDuplicateHost is true");
            return true;
        }
    }
    LC_INFO("isDuplicateHost is false");
    return false;
}

bool SMISProviderLUNConfiguration::makePortCurrent(std::uint16_t logicalID)
{
    const int found = SearchHostAffinity(logicalID);
    if (found >= 0) {
        LoadHostAffinity(found);
        return true;
    }
    ClearHostAffinityInfo();
    if (getHostZoneList(logicalID) != 0) {
        LC_SEVERE("Invalid LogicalID");
        return false;
    }
    return true;
}

void SMISProviderLUNConfiguration::noteRemovedZone(std::uint16_t group)
{
    if (std::find(_removedZones.begin(), _removedZones.end(), group) == _removedZones.end())
        _removedZones.push_back(group);
}

bool SMISProviderLUNConfiguration::removeHostFromCAPort(std::uint16_t logicalID, const String& wwpn,
                                                        std::uint16_t group)
{
    OpTrace t("removeHostFromCAPort");
    if (!makePortCurrent(logicalID))
        return false;
    const int host = getHostNumber(wwpn, false, nullptr);
    LC_INFO("getHostNumber hostNo=0x%08x wwn=%s", unsigned(host), wwpn.c_str());
    if (host < 0) {
        addHostZoneList(logicalID);
        LC_SEVERE("Invalid WWPN");
        return false;
    }
    auto& m = _current.hostMappings;
    const auto it = std::find(m.begin(), m.end(), pack(std::uint16_t(host), group));
    const bool removed = it != m.end();
    if (removed) {
        noteRemovedZone(group);
        m.erase(it);
        addHostMappingToTargetList(std::uint16_t(host), group);
    }
    addHostZoneList(logicalID);
    return removed;
}

bool SMISProviderLUNConfiguration::removeAffinityGroupFromCAPort(std::uint16_t logicalID, std::uint16_t group,
                                                                 Array<String>& names)
{
    OpTrace t("removeAffinityGroupFromCAPort");
    if (!makePortCurrent(logicalID))
        return false;
    VELDARO_RefTable table(_address.c_str());
    const bool iscsi = caKind() == 1;
    auto& m = _current.hostMappings;
    for (std::size_t k = m.size(); k-- > 0;) {
        if (groupOf(m[k]) != group)
            continue;
        const std::uint16_t host = hostOf(m[k]);
        m.erase(m.begin() + std::ptrdiff_t(k));
        addHostMappingToTargetList(host, group);
        char* raw = nullptr;
        if (iscsi) {
            if (table.getiSCSIHostValidFlag(host) == 1)
                raw = table.getiSCSIHostiSCSIName(host);
        } else if (table.getHostValidFlag(host) == 1) {
            raw = table.getHostWWN(host);
        }
        RefTable_Text name(raw);
        if (name.missing() || !*name.c_str())
            continue;
        bool present = false;
        for (std::size_t n = 0; n < names.size() && !present; ++n)
            present = names[n] == name.c_str();
        if (!present)
            names.append(name.str());
    }
    noteRemovedZone(group);
    addHostZoneList(logicalID);
    return true;
}

int SMISProviderLUNConfiguration::registHostAffinity(LCAccsMode mode)
{
    OpTrace t("registHostAffinity");
    LC_INFO("registHostAffinity start");
    if (mode != LC_SET && mode != LC_DELETE)
        return 0;
    SMIS_CLI cli(_address);
    _affinityMode = mode;
    _affinitiesSent = 0;
    for (std::size_t i = 0; i < _affinities.size(); ++i) {
        const int code = sendHostAffinity(cli, *_affinities[i], mode);
        if (code != 0)
            return code;
        _affinitiesSent = i + 1;
    }
    return 0;
}

int SMISProviderLUNConfiguration::undoHostAffinities()
{
    OpTrace t("undoHostAffinities");
    const LCAccsMode reverse = _affinityMode == LC_SET ? LC_DELETE : LC_SET;
    SMIS_CLI cli(_address);
    for (std::size_t i = 0; i < _affinitiesSent && i < _affinities.size(); ++i) {
        const int code = sendHostAffinity(cli, *_affinities[i], reverse);
        if (code != 0)
            return code;
    }
    _affinitiesSent = 0;
    return 0;
}

int SMISProviderLUNConfiguration::sendHostAffinity(SMIS_CLI& cli, const HOST_AFFINITY& record, LCAccsMode mode)
{
    // A port that was only looked at has nothing to send.
    if (record.targetList.empty())
        return 0;
    std::vector<affinity_info> entries;
    try {
        for (std::uint32_t packed : record.targetList) {
            affinity_info e{};
            e.hostNumber = hostOf(packed);
            e.agNumber = groupOf(packed);
            entries.push_back(e);
        }
    } catch (const std::bad_alloc&) {
        LC_SEVERE("Err:Not enough memory");
        return 0x8030;
    }
    const unsigned char p = std::uint8_t(record.logicalID >> 8);
    const unsigned char q = std::uint8_t(record.logicalID & 0xFF);
    const unsigned n = unsigned(entries.size());
    const unsigned char rc = mode == LC_SET ? cli.setHostAffinity(p, q, entries.data(), n)
                                            : cli.deleteHostAffinity(p, q, entries.data(), n);
    return mapLetter(rc, {{'A', 5}, {'B', 0x8013}, {'R', 0x1003}, {'U', 0x8005}});
}

// -------------------------------------------------------------------- zones

bool SMISProviderLUNConfiguration::ReadZoneInf(std::uint32_t zoneNumber, bool isLUNMapping)
{
    OpTrace t("ReadZoneInf");
    LC_INFO("addZoneInf(zoneNo=0x%08x) start", zoneNumber);
    const int inList = searchZoneInf(zoneNumber);
    if (inList >= 0) {
        LC_INFO("load from zoneInfmap");
        loadZoneInf(inList);
        return true;
    }
    LC_INFO("load from CMT");
    VELDARO_RefTable table(_address.c_str());
    const std::uint16_t number = std::uint16_t(zoneNumber);
    const int entry = zoneNumber > 0xFFFF                ? -1
                      : isLUNMapping ? table.searchLUNMappingNumberFromLUNMappingTable(number)
                                     : table.searchAffinityNumberFromAffinityTable(number);
    if (entry < 0) {
        LC_SEVERE("Invalid Affinity Group Number");
        return false;
    }
    ClearZoneInfMap();
    std::uint16_t olun[MAX_LUN_PER_ZONE];
    if (isLUNMapping)
        table.copyLUNMapOLUMapping(entry, olun);
    else
        table.copyAffinityOLUMapping(entry, olun);
    for (int lun = 0; lun < MAX_LUN_PER_ZONE; ++lun)
        if (olun[lun] < NONE)
            addLUNMappingToZoneInf(std::uint16_t(lun), olun[lun]);
    _zone.zoneNumber = zoneNumber;
    return true;
}

void SMISProviderLUNConfiguration::addZoneInf(std::uint32_t zoneNumber)
{
    try {
        auto record = std::make_unique<ZoneInfMap>(_zone);
        record->zoneNumber = zoneNumber;
        _zones.push_back(std::move(record));
    } catch (const std::bad_alloc&) {
        LC_SEVERE("Err:Not enough memory");
    }
    ClearZoneInfMap();
}

int SMISProviderLUNConfiguration::searchZoneInf(std::uint32_t zoneNumber) const
{
    for (std::size_t i = 0; i < _zones.size(); ++i)
        if (_zones[i]->zoneNumber == zoneNumber)
            return int(i);
    return -1;
}

void SMISProviderLUNConfiguration::loadZoneInf(int index)
{
    if (index < 0 || std::size_t(index) >= _zones.size())
        return;
    _zone = *_zones[std::size_t(index)];
    _zones.erase(_zones.begin() + index);
}

void SMISProviderLUNConfiguration::ClearZoneInfMap() { _zone = ZoneInfMap(); }

void SMISProviderLUNConfiguration::ClearZoneInfMapIndex(int index)
{
    if (index >= 0 && std::size_t(index) < _zones.size())
        _zones.erase(_zones.begin() + index);
}

void SMISProviderLUNConfiguration::ClearZoneInfMapList() { _zones.clear(); }

void SMISProviderLUNConfiguration::addLUNMappingToZoneInf(std::uint16_t lun, std::uint16_t volume)
{
    _zone.lunList.push_back(lun);
    _zone.volumeList.push_back(volume);
}

void SMISProviderLUNConfiguration::deleteLUNMappingFromZoneInf(int i)
{
    if (i < 0 || std::size_t(i) >= _zone.lunList.size())
        return;
    _zone.lunList.erase(_zone.lunList.begin() + i);
    _zone.volumeList.erase(_zone.volumeList.begin() + i);
}

void SMISProviderLUNConfiguration::addLUNMappingToTargetList(std::uint16_t lun, std::uint16_t volume)
{
    _zone.targetLunList.push_back(lun);
    _zone.targetVolumeList.push_back(volume);
}

bool SMISProviderLUNConfiguration::isDuplicateLUN(std::uint16_t lun, std::uint16_t volume) const
{
    const auto& v = _zone.volumeList;
    const auto& l = _zone.lunList;
    const bool dup = std::find(v.begin(), v.end(), volume) != v.end() ||
                     (lun != NONE && std::find(l.begin(), l.end(), lun) != l.end());
    LC_INFO(dup ? "isDuplicateLUN is true" : "isDuplicateLUN is false");
    return dup;
}

std::uint16_t SMISProviderLUNConfiguration::getFreeLUN() const
{
    bool used[MAX_LUN_PER_ZONE] = {};
    for (std::uint16_t lun : _zone.lunList)
        if (lun < MAX_LUN_PER_ZONE)
            used[lun] = true;
    for (int lun = 0; lun < MAX_LUN_PER_ZONE; ++lun)
        if (!used[lun])
            return std::uint16_t(lun);
    return NONE;
}

int SMISProviderLUNConfiguration::getMappingLUNCount(std::uint16_t group) const
{
    const int i = searchZoneInf(group);
    if (i < 0) {
        LC_SEVERE("Invalid Affinity Group Number");
        return -1;
    }
    return int(_zones[std::size_t(i)]->lunList.size());
}

bool SMISProviderLUNConfiguration::removeLUNFromZone(std::uint32_t zoneNumber, std::uint16_t volume,
                                                     bool isLUNMapping)
{
    OpTrace t("removeLUNFromZone");
    LC_INFO("removeLUNFromZone start");
    if (!ReadZoneInf(zoneNumber, isLUNMapping))
        return false;
    bool removed = false;
    for (std::size_t i = 0; i < _zone.volumeList.size(); ++i) {
        if (_zone.volumeList[i] != volume)
            continue;
        const std::uint16_t lun = _zone.lunList[i];
        deleteLUNMappingFromZoneInf(int(i));
        addLUNMappingToTargetList(lun, volume);
        removed = true;
        break;
    }
    addZoneInf(zoneNumber);
    return removed;
}

namespace {

std::vector<CMM_WT_LUN_MAP_LUN_OLU> pairsOf(const SMISProviderLUNConfiguration::ZoneInfMap& zone)
{
    std::vector<CMM_WT_LUN_MAP_LUN_OLU> out;
    for (std::size_t i = 0; i < zone.targetLunList.size() && i < zone.targetVolumeList.size(); ++i)
        out.push_back({zone.targetLunList[i], zone.targetVolumeList[i]});
    return out;
}

}  // namespace

int SMISProviderLUNConfiguration::registLUNMapping(LCAccsMode mode)
{
    OpTrace t("registLUNMapping");
    if (mode != LC_SET && mode != LC_DELETE)
        return 0;
    SMIS_CLI cli(_address);
    for (const auto& zone : _zones) {
        std::vector<CMM_WT_LUN_MAP_LUN_OLU> pairs;
        try {
            pairs = pairsOf(*zone);
        } catch (const std::bad_alloc&) {
            LC_SEVERE("Err:Not enough memory");
            return 4;
        }
        // A zone only read for checks has nothing to send.
        if (pairs.empty())
            continue;
        const unsigned char p = std::uint8_t(0x40 | ((zone->zoneNumber >> 1) & 0xFF));
        const unsigned char q = std::uint8_t(zone->zoneNumber & 1);
        const unsigned n = unsigned(pairs.size());
        const unsigned char rc = mode == LC_SET ? cli.setLUNMapping(p, q, pairs.data(), n)
                                                : cli.deleteLUNMapping(p, q, pairs.data(), n);
        const int code = mapLetter(rc, {{'A', 5}, {'B', 0x8013}, {'R', 0x1003}});
        if (code != 0)
            return code;
    }
    return 0;
}

int SMISProviderLUNConfiguration::registAffinityGroup(LCAccsMode mode)
{
    OpTrace t("registAffinityGroup");
    SMIS_CLI cli(_address);
    for (const auto& zone : _zones) {
        std::vector<CMM_WT_LUN_MAP_LUN_OLU> pairs;
        try {
            pairs = pairsOf(*zone);
        } catch (const std::bad_alloc&) {
            LC_SEVERE("Err:Not enough memory");
            return 4;
        }
        // Nothing to send for this zone. Above all, a delete without pairs
        // would remove the whole group from the array.
        if (pairs.empty())
            continue;
        const std::uint16_t group = std::uint16_t(zone->zoneNumber);
        const unsigned n = unsigned(pairs.size());
        unsigned char rc = 0;
        switch (mode) {
        case LC_CREATE: rc = cli.createAffinityGroup(group, nullptr, pairs.data(), n); break;
        case LC_SET: rc = cli.setAffinityGroup(group, nullptr, pairs.data(), n); break;
        case LC_DELETE: rc = cli.deleteAffinityGroup(group, pairs.data(), n); break;
        }
        const int code = mapLetter(rc, {{'A', 5}, {'B', 0x8013}, {'O', 0x8004}});
        if (code != 0)
            return code;
    }
    return 0;
}

bool SMISProviderLUNConfiguration::groupsBoundAfterRelease(const Array<std::uint16_t>& logicalIDs,
                                                           std::set<std::uint16_t>& bound)
{
    OpTrace t("groupsBoundAfterRelease");
    bound.clear();
    VELDARO_RefTable table(_address.c_str());
    if (!table.isValidCMT()) {
        LC_SEVERE("No table of the array: the groups left unbound cannot be told");
        return false;
    }
    for (std::size_t i = 0; i < logicalIDs.size(); ++i) {
        // A port this object changed keeps the bindings it read less those
        // it releases.
        const int changed = SearchHostAffinity(logicalIDs[i]);
        if (changed >= 0) {
            for (std::uint32_t packed : _affinities[std::size_t(changed)]->hostMappings)
                if (groupOf(packed) != NONE)
                    bound.insert(groupOf(packed));
            continue;
        }
        // A port without a map entry binds no group.
        const int map = getIndexofOpenMap(logicalIDs[i]);
        if (map < 0)
            continue;
        const int count = std::min<int>(table.getMapValidCnt(map), MAP_SLOTS);
        for (int j = 0; j < count; ++j) {
            const std::uint16_t tableNo = table.getMapAffinityTableNo(map, j);
            if (tableNo != NONE)
                bound.insert(table.getAffinityGroupNumber(tableNo));
        }
    }
    return true;
}

int SMISProviderLUNConfiguration::unregisteredAffinityGroup(const std::set<std::uint16_t>& bound)
{
    OpTrace t("unregisteredAffinityGroup");
    for (std::uint16_t group : _removedZones) {
        if (!bound.count(group)) {
            const int rc = deleteZoneInf(0, group);
            if (rc != 0)
                return rc;
            ClearZoneInfMapIndex(searchZoneInf(group));
        } else if (getMappingLUNCount(group) == 0) {
            ClearZoneInfMapIndex(searchZoneInf(group));
        }
    }
    return registAffinityGroup(LC_DELETE);
}

int SMISProviderLUNConfiguration::deleteZoneInf(std::uint32_t, std::uint16_t group)
{
    OpTrace t("deleteZoneInf");
    SMIS_CLI cli(_address);
    return mapLetter(cli.deleteAffinityGroup(group, nullptr, 0), {{'A', 5}, {'B', 0x8013}});
}

int SMISProviderLUNConfiguration::deleteZoneInfEx()
{
    for (std::uint32_t packed : _deleteZones) {
        const int rc = deleteZoneInf(packed & 0xFFFF, groupOf(packed));
        if (rc != 0)
            return rc;
    }
    return 0;
}

void SMISProviderLUNConfiguration::addDeleteZoneList(std::uint16_t first, std::uint16_t group)
{
    _deleteZones.push_back(pack(first, group));
}

bool SMISProviderLUNConfiguration::getUnusedZoneNumList(Array<std::uint16_t>& out)
{
    OpTrace t("getUnusedZoneNumList");
    out.clear();
    VELDARO_RefTable table(_address.c_str());
    // A group number is in use when a defined entry carries it, wherever
    // that entry sits in the table; the free numbers are the others below
    // the model's group count.
    std::set<std::uint16_t> used;
    const std::uint32_t slots = VELDARO_RefTable::getAffinityGrpPerModelMaxCount();
    for (std::uint32_t i = 0; i < slots; ++i)
        if (table.getAffinityDefinition(int(i)) != 0)
            used.insert(table.getAffinityGroupNumber(int(i)));
    const std::uint32_t limit = std::min(table.getAffinityGrpMaxCount(), slots);
    for (std::uint32_t g = 0; g < limit; ++g)
        if (!used.count(std::uint16_t(g)))
            out.append(std::uint16_t(g));
    return true;
}

bool SMISProviderLUNConfiguration::getZoneNumListFromZoneTbl(Array<std::uint16_t>& out)
{
    out.clear();
    VELDARO_RefTable table(_address.c_str());
    for (int i = 0; i < 2048; ++i)
        if (table.getAffinityDefinition(i) != 0)
            out.append(table.getAffinityGroupNumber(i));
    return true;
}

bool SMISProviderLUNConfiguration::isModifyZone(std::uint16_t group)
{
    OpTrace t("isModifyZone");
    LC_INFO("isModifyZone start");
    VELDARO_RefTable table(_address.c_str());
    const int i = table.searchAffinityNumberFromAffinityTable(group);
    if (i < 0 || table.getAffinityDefinition(i) == 0) {
        LC_SEVERE("Invalid Affinity Group Number");
        return false;
    }
    return table.getAffinityPrevNumber(i) == NONE && table.getAffinityNextNumber(i) == NONE;
}

// -------------------------------------------------------------- port checks

bool SMISProviderLUNConfiguration::findPort(const VELDARO_RefTable& table, std::uint16_t logicalID, int& ca,
                                            int& port) const
{
    ca = table.searchCAModuleIdFromCATable(std::uint8_t(logicalID >> 8));
    if (ca < 0) {
        LC_SEVERE("Invalid CA ModuleID");
        return false;
    }
    port = table.searchCAPortNoFromPortTable(ca, std::uint8_t(logicalID & 0xFF));
    if (port < 0) {
        LC_SEVERE("Invalid Port Number");
        return false;
    }
    return true;
}

int SMISProviderLUNConfiguration::getSecurityModeFromLogicalID(std::uint16_t logicalID, std::uint8_t* mode)
{
    VELDARO_RefTable table(_address.c_str());
    int ca = 0, port = 0;
    if (!findPort(table, logicalID, ca, port))
        return -1;
    if (mode)
        *mode = table.getCAPortSecurityMode(ca, port);
    return 0;
}

bool SMISProviderLUNConfiguration::isHostZone(std::uint16_t logicalID)
{
    std::uint8_t mode = 0;
    return getSecurityModeFromLogicalID(logicalID, &mode) == 0 && mode == 0x80;
}

bool SMISProviderLUNConfiguration::isZoneSettingOfCAPort(std::uint16_t logicalID)
{
    std::uint8_t mode = 0;
    return getSecurityModeFromLogicalID(logicalID, &mode) == 0 && mode != 0x80;
}

bool SMISProviderLUNConfiguration::isFCCASettingOfCAPort(std::uint16_t logicalID)
{
    LC_INFO("isFCCASettingOfCAPort start");
    VELDARO_RefTable table(_address.c_str());
    int ca = 0, port = 0;
    if (!findPort(table, logicalID, ca, port))
        return false;
    const std::uint8_t ra = table.getCAPortRAMode(ca, port);
    return ra == 0 || ra == 4;
}

bool SMISProviderLUNConfiguration::isDefaultSettingOfCAPort(std::uint16_t) const { return false; }

int SMISProviderLUNConfiguration::getAllLogicalID(Array<std::uint16_t>& out)
{
    VELDARO_RefTable table(_address.c_str());
    for (std::uint32_t ca = 0; ca < VELDARO_RefTable::getCAMaxCount(); ++ca) {
        if (table.getCAStatus(int(ca)) == 0)
            continue;
        for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p)
            if (table.getCAPortStatus(int(ca), int(p)) != 0)
                out.append(std::uint16_t(table.getCAModuleId(int(ca)) << 8 | table.getCAPortNo(int(ca), int(p))));
    }
    return 0;
}

}  // namespace cimple
