#pragma once
// The engine behind every change of host access on one array: host
// identifiers (FC WWNs, SAS addresses, iSCSI names), affinity groups (zones
// of LUN/volume pairs), host affinities (host-to-group bindings on a
// channel-adapter port) and port LUN mappings.
//
// The engine lives for one method call. It reads the array's cached
// configuration table (each read opens its own VELDARO_RefTable), keeps
// working copies of what it read, and records every wanted change twice:
// in the working copy, so that later checks of the same call see it, and in
// a target list, which only the regist-named operations send to the array.
//
//   SMISProviderLUNConfiguration lc(portType, address);
//   lc.ReadZoneInf(group, false);
//   lc.addLUNMappingToZoneInf(lc.getFreeLUN(), volume);   // + ...TargetList
//   lc.addZoneInf(group);
//   int rc = lc.registAffinityGroup(SMISProviderLUNConfiguration::LC_SET);
//
// Logical ID of a port: CA module ID in the high byte, port number in the
// low byte. Host mappings pack the host number in the low and the affinity
// group number in the high 16 bits.

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include <cimple/Array.h>
#include <cimple/String.h>

namespace cimple {

class VELDARO_RefTable;
class SMIS_CLI;

class SMISProviderLUNConfiguration {
public:
    enum LCAccsMode { LC_CREATE = 1, LC_SET = 2, LC_DELETE = 3 };

    // Host entry states.
    static constexpr std::uint32_t HOST_REGISTERED = 0;
    static constexpr std::uint32_t HOST_CREATE = 0x80;
    static constexpr std::uint32_t HOST_DELETE = 8;

    static constexpr int MAX_HOST_PER_PORT = 256;
    static constexpr int MAX_LUN_PER_ZONE = 512;
    static constexpr int MAP_ENTRIES = 128;
    static constexpr int MAP_SLOTS = 256;
    static constexpr std::uint16_t NONE = 0xFFFF;

    struct HOST_AFFINITY {
        std::uint16_t logicalID = 0;
        std::vector<std::uint32_t> hostMappings;  // the port's bindings
        std::vector<std::uint32_t> targetList;    // bindings to send
    };

    struct ZoneInfMap {
        std::uint32_t zoneNumber = 0;
        std::vector<std::uint16_t> lunList;
        std::vector<std::uint16_t> volumeList;  // parallel to lunList
        std::vector<std::uint16_t> targetLunList;
        std::vector<std::uint16_t> targetVolumeList;
    };

    struct WWPNEntry {
        std::uint32_t hostNumber = 0;
        std::uint32_t responseTableNumber = 0;
        std::uint32_t state = HOST_REGISTERED;
        String name;
        String alias;
    };

    SMISProviderLUNConfiguration(std::uint16_t caType, const String& storageAddress);
    SMISProviderLUNConfiguration();
    ~SMISProviderLUNConfiguration();
    SMISProviderLUNConfiguration(const SMISProviderLUNConfiguration&) = delete;
    SMISProviderLUNConfiguration& operator=(const SMISProviderLUNConfiguration&) = delete;

    static std::uint32_t pack(std::uint16_t host, std::uint16_t group) { return std::uint32_t(group) << 16 | host; }

    // ---- host list ----
    // 0; 4 when a name cannot be read or memory runs out.
    int getWWPNList();
    void freeWWPNList();
    // The host number of name (case ignored); with create, a new entry in
    // the first free slot. -1 the host table cannot be read, -2 not found
    // (or no free slot).
    int getHostNumber(const String& name, bool create, const char* alias);
    bool hasWWN(const String& name);
    bool checkHostType(const String& name);
    static bool isWWPN(const String& name);
    static bool isiSCSIName(const String& name);
    int registHost();
    int deleteHost(const Array<String>& names);
    // Removes the hosts registHost registered (those this object created):
    // 0, or the failing command's code.
    int unregistCreatedHosts();
    int registHostWWNList(int mode);
    int registiSCSIHostList(int mode);
    // The entry of a slot (null when free or out of range), for inspection.
    const WWPNEntry* hostEntry(int slot) const;

    // ---- ports and host affinity ----
    int getIndexofOpenMap(std::uint16_t logicalID);
    int getHostZoneList(std::uint16_t logicalID);
    int SearchHostAffinity(std::uint16_t logicalID) const;
    void LoadHostAffinity(int index);
    void ClearHostAffinityInfo();
    void addHostZoneList(std::uint16_t logicalID);
    int GetHostAffinityCount() const { return int(_current.hostMappings.size()); }
    void addHostMappingToHostList(std::uint16_t host, std::uint16_t group);
    void addHostMappingToTargetList(std::uint16_t host, std::uint16_t group);
    bool isSameHostAffinity(std::uint16_t host, std::uint16_t group) const;
    bool isDuplicateHost(std::uint16_t logicalID, std::uint16_t host);
    bool removeHostFromCAPort(std::uint16_t logicalID, const String& wwpn, std::uint16_t group);
    bool removeAffinityGroupFromCAPort(std::uint16_t logicalID, std::uint16_t group, Array<String>& names);
    int registHostAffinity(LCAccsMode mode);
    // Takes back what the last registHostAffinity changed before it failed
    // or finished (one command per port the array accepted): releases the
    // affinities it set, or sets again those it released. 0, or the failing
    // command's code.
    int undoHostAffinities();

    // ---- zones ----
    bool ReadZoneInf(std::uint32_t zoneNumber, bool isLUNMapping);
    void addZoneInf(std::uint32_t zoneNumber);
    int searchZoneInf(std::uint32_t zoneNumber) const;
    void loadZoneInf(int index);
    void ClearZoneInfMap();
    void ClearZoneInfMapIndex(int index);
    void ClearZoneInfMapList();
    int GetZoneInfMapCount() const { return int(_zone.lunList.size()); }
    void addLUNMappingToZoneInf(std::uint16_t lun, std::uint16_t volume);
    void deleteLUNMappingFromZoneInf(int i);
    void addLUNMappingToTargetList(std::uint16_t lun, std::uint16_t volume);
    bool isDuplicateLUN(std::uint16_t lun, std::uint16_t volume) const;
    std::uint16_t getFreeLUN() const;
    int getMappingLUNCount(std::uint16_t group) const;
    bool removeLUNFromZone(std::uint32_t zoneNumber, std::uint16_t volume, bool isLUNMapping);
    int registLUNMapping(LCAccsMode mode);
    int registAffinityGroup(LCAccsMode mode);
    // The groups the given ports still bind once the host affinities this
    // object holds to release are gone: for the ports it changed, the
    // bindings it read less those it releases; for the others, the table's.
    // Asked before the release, so that a table fetch failing after it
    // cannot make a released binding look present. False when no table is
    // bound (nothing can be told).
    bool groupsBoundAfterRelease(const Array<std::uint16_t>& logicalIDs, std::set<std::uint16_t>& bound);
    // Deletes the groups this object released that no port binds any longer
    // (bound: from groupsBoundAfterRelease), then the LUNs it removed from
    // the groups that stay.
    int unregisteredAffinityGroup(const std::set<std::uint16_t>& bound);
    int deleteZoneInf(std::uint32_t first, std::uint16_t group);
    int deleteZoneInfEx();
    void addDeleteZoneList(std::uint16_t first, std::uint16_t group);
    bool getUnusedZoneNumList(Array<std::uint16_t>& out);
    bool getZoneNumListFromZoneTbl(Array<std::uint16_t>& out);
    bool isModifyZone(std::uint16_t group);

    // ---- port checks ----
    int getSecurityModeFromLogicalID(std::uint16_t logicalID, std::uint8_t* mode);
    bool isHostZone(std::uint16_t logicalID);
    bool isZoneSettingOfCAPort(std::uint16_t logicalID);
    bool isFCCASettingOfCAPort(std::uint16_t logicalID);
    bool isDefaultSettingOfCAPort(std::uint16_t logicalID) const;
    int getAllLogicalID(Array<std::uint16_t>& out);

    // ---- accessors ----
    String getIpAddress() const { return _address; }
    std::uint32_t getMaxSizeOfZone();
    std::uint32_t getMaxSizeOfHostWWN();
    static int getMaxSizeOfHostPerPort() { return MAX_HOST_PER_PORT; }
    static int getMaxSizeOfLUNPerZone() { return MAX_LUN_PER_ZONE; }

    // Working state, for inspection.
    const ZoneInfMap& currentZone() const { return _zone; }
    const HOST_AFFINITY& currentHostAffinity() const { return _current; }
    std::size_t zoneCount() const { return _zones.size(); }
    std::size_t hostAffinityCount() const { return _affinities.size(); }

private:
    int caKind() const;
    // The CA and port entry of a logical ID; false (logged) when missing.
    bool findPort(const VELDARO_RefTable& table, std::uint16_t logicalID, int& ca, int& port) const;
    bool makePortCurrent(std::uint16_t logicalID);
    void noteRemovedZone(std::uint16_t group);
    int sendHostAffinity(SMIS_CLI& cli, const HOST_AFFINITY& record, LCAccsMode mode);

    std::vector<std::unique_ptr<HOST_AFFINITY>> _affinities;
    HOST_AFFINITY _current;
    std::vector<std::unique_ptr<ZoneInfMap>> _zones;
    ZoneInfMap _zone;
    std::vector<std::uint32_t> _deleteZones;
    std::vector<std::unique_ptr<WWPNEntry>> _hosts;
    std::vector<std::uint16_t> _removedZones;
    // The last registHostAffinity: its mode and how many leading
    // _affinities records the array accepted.
    LCAccsMode _affinityMode = LC_SET;
    std::size_t _affinitiesSent = 0;
    std::uint16_t _caType = 0xFFFF;
    String _address;
};

}  // namespace cimple
