// What each access point of an array is available to: the SCSI and iSCSI
// target endpoints with the affinity-group and LUN-mapping controllers of
// their port and with the volumes of the remote copies that run over their
// port, and the remote service access point with the storage system.
//
// Every request runs the enumeration's walk with a filter on the source's
// end, so associators from either end give what enumeration gives.

#include "CIM_SAPAvailableForElement_Provider.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Association_End.h"
#include "CIM_SAPAvailableForElement.h"
#include "Copy_Volume_Numbering.h"
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
#include "Remote_Path_Records.h"
#include "SMIS_Vorpak.h"
#include "SMIS_CopyLib.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_RemoteServiceAccessPoint.h"
#include "VELDARO_RemoteServiceAccessPoint_Resource.h"
#include "VELDARO_SCSIProtocolEndpoint.h"
#include "VELDARO_SCSIProtocolEndpoint_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Paths = Remote_Path_Records;

constexpr std::uint8_t SECURITY_MODE_AFFINITY = 0x80;
constexpr int MAP_SLOTS = 256;
constexpr std::uint16_t NO_GROUP = 0xFFFF;
constexpr std::uint32_t REMOTE_COPY_PORT = 1;
constexpr std::uint8_t REMOTE_COPY = 2;

// Which endpoint lists a walk covers.
enum Kinds { SCSI = 1, ISCSI = 2, BOTH = 3 };

// The filter of a request: the source's end (none while enumerating).
struct Filter {
    const String* endpointName = nullptr;  // the endpoint's Name
    // An affinity-group controller: its table index and port.
    int groupIndex = -1;
    Remote_Path_Records::Port groupPort{};
    const String* controllerId = nullptr;  // a LUN-mapping controller's DeviceID
    int volumeSlu = -1;                    // a volume's SLU entry
};

bool named(const Instance* element, const char* property, const String* wanted)
{
    if (!wanted)
        return true;
    const String* value = Common::stringValue(element, property);
    return value && *value == *wanted;
}

void emitPair(Frame& frame, Instance* sap, Instance* element)
{
    frame.emit<CIM_SAPAvailableForElement>(sap, element, frame.otherEnd(sap, element));
}

// The map entry of an endpoint's port when the port binds affinity groups
// (the port is in the tables and runs in affinity mode), or -1.
int affinityMapOf(const VELDARO_RefTable& table, const Paths::Port& port)
{
    const std::uint8_t module = Paths::moduleIdOf(port);
    const std::uint8_t modulePort = Paths::modulePortOf(port);
    const int ca = table.searchCAModuleIdFromCATable(module);
    if (ca < 0)
        return -1;
    const int portIndex = table.searchCAPortNoFromPortTable(ca, modulePort);
    if (portIndex < 0 || table.getCAPortSecurityMode(ca, portIndex) != SECURITY_MODE_AFFINITY)
        return -1;
    return table.searchCAModuleIdAndCAPortNoFromMapTable(module, modulePort);
}

// Each endpoint of the list with the affinity groups bound on its port,
// each group once.
template <class Endpoints>
bool endpointsAffinityGroups(Frame& frame, Endpoints& endpoints, const Filter& filter)
{
    VELDARO_RefTable table(frame.storage().c_str());
    VELDARO_AffinityGroupController_Resource groups(frame.storage());
    for (std::size_t e = 0; e < endpoints.size(); ++e) {
        const auto* endpoint = endpoints[e];
        if (!endpoint || !named(endpoint, "Name", filter.endpointName))
            continue;
        const Paths::Port port = Paths::portOfEndpoint(*endpoint);
        if (filter.groupIndex >= 0 && !(port == filter.groupPort))
            continue;
        const int map = affinityMapOf(table, port);
        if (map < 0)
            continue;
        std::vector<std::uint16_t> seen;
        for (int slot = 0; slot < MAP_SLOTS; ++slot) {
            const std::uint16_t group = table.getMapAffinityTableNo(map, slot);
            if (group == NO_GROUP || std::find(seen.begin(), seen.end(), group) != seen.end())
                continue;
            seen.push_back(group);
            if (filter.groupIndex >= 0 && group != filter.groupIndex)
                continue;
            auto controller = Association_End<VELDARO_AffinityGroupController>::build(
                groups, group, static_cast<std::uint16_t>(port.cm), static_cast<std::uint16_t>(port.ca),
                static_cast<std::uint16_t>(port.portNo));
            if (controller.failed())
                return false;
            if (controller.built())
                emitPair(frame, clone(endpoint), controller.release());
        }
        // A controller's port has one endpoint.
        if (filter.groupIndex >= 0)
            break;
    }
    return true;
}

// Each endpoint of the list with the first LUN-mapping controller of its
// port.
template <class Endpoints>
bool endpointsMappingControllers(Frame& frame, Endpoints& endpoints, const Filter& filter)
{
    VELDARO_LUNMappingController_Resource controllers(frame.storage());
    if (!buildList(controllers, &VELDARO_LUNMappingController_Resource::createLUNMappingController))
        return false;
    for (std::size_t e = 0; e < endpoints.size(); ++e) {
        const auto* endpoint = endpoints[e];
        if (!endpoint || !named(endpoint, "Name", filter.endpointName))
            continue;
        const auto* controller =
            Matching_Pair_Walk::firstMatch(listedOf(controllers), *endpoint, port_identity::Same_Port());
        if (controller && named(controller, "DeviceID", filter.controllerId))
            emitPair(frame, clone(endpoint), clone(controller));
    }
    return true;
}

// The boxes a usable remote path from the endpoint's port leads to.
std::vector<const std::string*> boxesFrom(const Paths& paths, const Paths::Port& port)
{
    std::vector<const std::string*> boxes;
    for (const Paths::Box& box : paths.boxes())
        for (const Paths::Path& path : box.paths)
            if (path.usable() && Paths::portOf(path) == port) {
                boxes.push_back(&box.id);
                break;
            }
    return boxes;
}

// Each remote-copy endpoint of the list with the local volumes of the
// remote copies to the boxes its port has a usable path to, each volume
// once. The sessions are those of every box, filtered by the box here.
template <class Endpoints>
bool endpointsRemoteCopyVolumes(Frame& frame, Endpoints& endpoints, const Paths& paths,
                                const std::vector<SMIS_COPY_SESSION_INFO>& sessions, const Filter& filter)
{
    VELDARO_RefTable table(frame.storage().c_str());
    VELDARO_StorageVolume_Resource volumes(frame.storage());
    for (std::size_t e = 0; e < endpoints.size(); ++e) {
        const auto* endpoint = endpoints[e];
        if (!endpoint || endpoint->RAMode.value != REMOTE_COPY_PORT || !named(endpoint, "Name", filter.endpointName))
            continue;
        const auto boxes = boxesFrom(paths, Paths::portOfEndpoint(*endpoint));
        if (boxes.empty())
            continue;
        std::vector<int> seen;
        for (const SMIS_COPY_SESSION_INFO& s : sessions) {
            const std::string box(s.RemoteBoxId, strnlen(s.RemoteBoxId, sizeof s.RemoteBoxId));
            if (std::none_of(boxes.begin(), boxes.end(), [&](const std::string* b) { return *b == box; }))
                continue;
            const auto local = static_cast<std::uint16_t>(s.RemoteSide ? s.DestinationVolume : s.SourceVolume);
            const int slu = table.searchCopyLunFromSluTable(
                s.VolumeType ? copy_volume::OLU_NUMBERED : copy_volume::MLU_NUMBERED, local);
            if (slu < 0 || (filter.volumeSlu >= 0 && slu != filter.volumeSlu) ||
                std::find(seen.begin(), seen.end(), slu) != seen.end())
                continue;
            seen.push_back(slu);
            auto volume = Association_End<VELDARO_StorageVolume>::build(volumes, slu);
            if (volume.failed())
                return false;
            if (volume.built())
                emitPair(frame, clone(endpoint), volume.release());
        }
    }
    return true;
}

// Runs walk(list) over the SCSI, then the iSCSI endpoint list.
template <class Walk>
bool overEndpoints(Frame& frame, int kinds, Walk walk)
{
    if (kinds & SCSI) {
        VELDARO_SCSIProtocolEndpoint_Resource scsi(frame.storage());
        if (!buildList(scsi, &VELDARO_SCSIProtocolEndpoint_Resource::createSCSIProtocolEndpoint))
            return false;
        if (listedOf(scsi).size() != 0 && !walk(listedOf(scsi)))
            return false;
    }
    if (kinds & ISCSI) {
        VELDARO_iSCSIProtocolEndpoint_Resource iscsi(frame.storage());
        if (!buildList(iscsi, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint))
            return false;
        if (listedOf(iscsi).size() != 0 && !walk(listedOf(iscsi)))
            return false;
    }
    return true;
}

bool affinityGroups(Frame& frame, int kinds, const Filter& filter)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return overEndpoints(frame, kinds, [&](auto& list) { return endpointsAffinityGroups(frame, list, filter); });
    });
}

bool mappingControllers(Frame& frame, int kinds, const Filter& filter)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return overEndpoints(frame, kinds,
                             [&](auto& list) { return endpointsMappingControllers(frame, list, filter); });
    });
}

// The remote paths and the remote-copy sessions are read once for the walk.
bool remoteCopyVolumes(Frame& frame, int kinds, const Filter& filter)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        Paths paths;
        const unsigned char rc = paths.query(frame.storage());
        if (rc == SMIS_Vorpak::CHANNEL_BUSY)
            return false;  // the array works but could not be asked: no answer rather than none
        if (rc != 0 || paths.boxes().empty())
            return true;
        std::uint16_t volume = SMIS_CopyLib::ALL_VOLUMES;
        std::uint8_t numbering = copy_volume::MLU_NUMBERED;
        if (filter.volumeSlu >= 0) {
            VELDARO_RefTable table(frame.storage().c_str());
            const auto n = copy_volume::numberingOf(table.getLuType(filter.volumeSlu));
            if (!n)
                return true;
            numbering = *n;
            volume = copy_volume::numberOf(table, filter.volumeSlu, numbering);
        }
        SMIS_CopyLib copies(frame.storage().c_str());
        std::vector<SMIS_COPY_SESSION_INFO> sessions;
        if (copies.getSessionRecords(REMOTE_COPY, volume, numbering, nullptr, sessions) != 0 || sessions.empty())
            return true;
        return overEndpoints(frame, kinds, [&](auto& list) {
            return endpointsRemoteCopyVolumes(frame, list, paths, sessions, filter);
        });
    });
}

// The remote service access point with the storage system: one pair.
bool remoteAccessPointSystem(Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        VELDARO_RemoteServiceAccessPoint_Resource points(frame.storage());
        if (!buildList(points, &VELDARO_RemoteServiceAccessPoint_Resource::createRemoteServiceAccessPoint))
            return false;
        const auto* system = firstListed(systems);
        const auto* point = firstListed(points);
        if (system && point)
            emitPair(frame, clone(point), clone(system));
        return true;
    });
}

bool endpointPairs(Frame& frame, int kinds, const Filter& filter)
{
    return affinityGroups(frame, kinds, filter) && mappingControllers(frame, kinds, filter) &&
           remoteCopyVolumes(frame, kinds, filter);
}

const String* keyOf(const Instance* source, const char* name)
{
    return Common::stringValue(source, name);
}

// The affinity table index an affinity-group controller names, or -1.
int affinityIndexOf(const VELDARO_RefTable& table, const Instance* source)
{
    const char* key = Common::keyText(source, "DeviceID");
    std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
    if (!key || !VELDARO_AffinityGroupController_Resource::divide_DeviceID(key, &group, &cm, &ca, &port))
        return -1;
    return table.searchAffinityNumberFromAffinityTable(group);
}

// The SLU entry a volume names, or -1.
int volumeIndexOf(const VELDARO_RefTable& table, const Instance* source)
{
    const char* key = Common::keyText(source, "DeviceID");
    std::uint8_t kind = 0;
    std::uint16_t number = 0;
    if (!key || !VELDARO_StorageVolume_Resource::divide_DeviceID(key, &kind, &number))
        return -1;
    return table.searchLunByLuTypeFromSluTable(kind, number);
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_SCSIProtocolEndpoint::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         Filter filter;
         filter.endpointName = keyOf(source, "Name");
         return !filter.endpointName || endpointPairs(frame, SCSI, filter);
     }},
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, affinityIndexOf,
     [](Frame& frame, const Instance* source, int index) {
         const char* key = Common::keyText(source, "DeviceID");
         std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
         VELDARO_AffinityGroupController_Resource::divide_DeviceID(key, &group, &cm, &ca, &port);
         Filter filter;
         filter.groupIndex = index;
         filter.groupPort = Paths::Port{cm, ca, port};
         return affinityGroups(frame, BOTH, filter);
     }},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         Filter filter;
         filter.controllerId = keyOf(source, "DeviceID");
         return !filter.controllerId || mappingControllers(frame, BOTH, filter);
     }},
    {&VELDARO_RemoteServiceAccessPoint::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return remoteAccessPointSystem(frame); }},
    {&VELDARO_StorageComputerSystem::static_meta_class, Common::BY_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return remoteAccessPointSystem(frame); }},
    {&VELDARO_iSCSIProtocolEndpoint::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         Filter filter;
         filter.endpointName = keyOf(source, "Name");
         return !filter.endpointName || endpointPairs(frame, ISCSI, filter);
     }},
    {&VELDARO_StorageVolume::static_meta_class, Common::BY_SYSTEM_NAME, volumeIndexOf,
     [](Frame& frame, const Instance*, int slu) {
         Filter filter;
         filter.volumeSlu = slu;
         return remoteCopyVolumes(frame, BOTH, filter);
     }},
};

}  // namespace

CIM_SAPAvailableForElement_Provider::CIM_SAPAvailableForElement_Provider() {}

CIM_SAPAvailableForElement_Provider::~CIM_SAPAvailableForElement_Provider() {}

bool CIM_SAPAvailableForElement_Provider::_enumPairs()
{
    const Filter all;
    return affinityGroups(*this, SCSI, all) && mappingControllers(*this, SCSI, all) &&
           remoteAccessPointSystem(*this) && affinityGroups(*this, ISCSI, all) &&
           mappingControllers(*this, ISCSI, all) && remoteCopyVolumes(*this, BOTH, all);
}

int CIM_SAPAvailableForElement_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
