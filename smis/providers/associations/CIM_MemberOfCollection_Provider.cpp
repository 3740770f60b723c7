// The collections of each array with their members: the controller
// redundancy set with the controller-module systems, each storage
// redundancy set with its disk extents, and each connectivity collection
// (one per remote box) with the local SCSI and iSCSI endpoints that a
// remote path to its box leaves from and with the remote SCSI endpoints of
// its box.

#include "CIM_MemberOfCollection_Provider.h"

#include <algorithm>
#include <string>
#include <optional>
#include <vector>

#include "Association_End.h"
#include "CIM_MemberOfCollection.h"
#include "Key_Index.h"
#include "RAID_Group_Walk.h"
#include "Redundancy_Set_Number.h"
#include "Remote_Path_Records.h"
#include "SMIS_Vorpak.h"
#include "Table_Entries.h"
#include "VELDARO_ConnectivityCollection.h"
#include "VELDARO_ConnectivityCollection_Resource.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_RedundancySet.h"
#include "VELDARO_RedundancySet_Resource.h"
#include "VELDARO_RemoteSCSIProtocolEndpoint.h"
#include "VELDARO_RemoteSCSIProtocolEndpoint_Resource.h"
#include "VELDARO_SCSIProtocolEndpoint.h"
#include "VELDARO_SCSIProtocolEndpoint_Resource.h"
#include "VELDARO_StorageRedundancySet.h"
#include "VELDARO_StorageRedundancySet_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"
#include "disk_idx_list_in_rlu.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Groups = RAID_Group_Walk;
using Paths = Remote_Path_Records;

constexpr std::uint16_t DISK_FAILED = 2;
constexpr std::uint8_t GLOBAL_SPARE = 0x02;
constexpr std::size_t BOX_ID_LENGTH = 40;
constexpr std::uint32_t REMOTE_COPY_PORT = 1;

// A remote SCSI endpoint names its array after the last "_" of SystemName.
constexpr Common::Storage_Key BY_SYSTEM_NAME_SUFFIX{Common::Storage_Key::KEY_SUFFIX, "SystemName"};

bool equalText(const Instance* element, const char* property, const String* wanted)
{
    const String* value = Common::stringValue(element, property);
    return value && *value == *wanted;
}

// The box ID of a remote endpoint: its SystemName up to the last "_" (the
// array that sees it follows), at most 40 characters.
std::string boxOfSystemName(const String& systemName)
{
    std::string text = systemName.c_str();
    const std::size_t cut = text.rfind('_');
    if (cut == std::string::npos)
        return {};
    text.resize(std::min(cut, BOX_ID_LENGTH));
    return text;
}

// Clones of both, the far end of a request being the end whose class is not
// the source's.
void emitMember(Frame& frame, const Instance* collection, const Instance* member)
{
    Instance* c = clone(collection);
    Owned<Instance> held(c);
    Instance* m = clone(member);
    held.release();
    frame.emit<CIM_MemberOfCollection>(c, m, frame.otherEnd(c, m));
}

// Every controller-module system is a member of the array's (first)
// redundancy set; setId / systemName keep one end.
bool controllersOfRedundancySet(Frame& frame, const String* setId, const String* systemName)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RedundancySet_Resource sets(frame.storage());
        if (!buildList(sets, &VELDARO_RedundancySet_Resource::createRedundancySet))
            return false;
        const VELDARO_RedundancySet* set = firstListed(sets);
        if (!set || (setId && !equalText(set, "InstanceID", setId)))
            return true;
        VELDARO_ControllerComputerSystem_Resource systems(frame.storage());
        return eachListed(systems, &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem,
                          [&](const VELDARO_ControllerComputerSystem* system) {
                              if (!systemName || equalText(system, "Name", systemName))
                                  emitMember(frame, set, system);
                              return true;
                          });
    });
}

// The RAID group a storage redundancy set stands for: its RLU index, -1 for
// the global set, nullopt for a set that names no group (no members).
std::optional<int> groupOfSet(const VELDARO_RefTable& table, const VELDARO_StorageRedundancySet& set)
{
    if (redundancy_set::isGlobal(set.HSRLUN.value))
        return -1;
    const auto number = redundancy_set::raidGroupOf(set.HSRLUN.value);
    if (!number)
        return std::nullopt;
    const int rlu = table.searchRlunFromRluTable(*number);
    return rlu < 0 ? std::nullopt : std::optional<int>(rlu);
}

// A disk is a member of the set of its RAID group and of the global set,
// unless it has failed or is a global spare. One test for both directions.
bool isMember(const VELDARO_RefTable& table, int disk, int setGroup)
{
    if (table.getDiskStatus(disk) == DISK_FAILED || (table.getDiskUsage(disk) & GLOBAL_SPARE) != 0)
        return false;
    return setGroup < 0 || Groups::groupOfDisk(table, disk) == setGroup;
}

// The disk extents of the storage redundancy sets (setId: only that set;
// disk >= 0: only that disk).
bool disksOfStorageSets(Frame& frame, const String* setId, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_DiskExtent_Resource extents(frame.storage());
        VELDARO_StorageRedundancySet_Resource sets(frame.storage());
        return eachListed(sets, &VELDARO_StorageRedundancySet_Resource::createStorageRedundancySet,
                          [&](const VELDARO_StorageRedundancySet* set) {
                              if (setId && !equalText(set, "InstanceID", setId))
                                  return true;
                              const auto group = groupOfSet(table, *set);
                              if (!group)
                                  return true;
                              std::vector<int> candidates;
                              if (disk >= 0) {
                                  candidates.push_back(disk);
                              } else if (*group < 0) {
                                  for (int d = 0; d < Table_Entries::DISKS; ++d)
                                      candidates.push_back(d);
                              } else {
                                  disk_idx_list_in_rlu list{};
                                  const int n = Groups::memberDisks(table, *group, list);
                                  for (int k = 0; k < n; ++k)
                                      candidates.push_back(static_cast<int>(list.DiskIdx[k]));
                              }
                              for (int d : candidates) {
                                  if (!isMember(table, d, *group))
                                      continue;
                                  auto extent = Association_End<VELDARO_DiskExtent>::build(extents, d);
                                  if (extent.failed())
                                      return false;
                                  if (extent.built())
                                      emitMember(frame, set, extent.get());
                              }
                              return true;
                          });
    });
}

// The first endpoint of the list on the path's port when it serves remote
// copies, or null.
template <class Endpoints>
auto remoteCopyEndpointOf(Endpoints& endpoints, const Paths::Path& path)
    -> std::remove_reference_t<decltype(endpoints[0])>
{
    const Paths::Port port = Paths::portOf(path);
    for (std::size_t e = 0; e < endpoints.size(); ++e)
        if (endpoints[e] && Paths::portOfEndpoint(*endpoints[e]) == port)
            return endpoints[e]->RAMode.value == REMOTE_COPY_PORT ? endpoints[e] : nullptr;
    return nullptr;
}

// Members of the collections from the paths to their boxes, whatever the
// paths' state: each endpoint once per collection.
template <class Endpoints>
void localMembers(Frame& frame, const Paths& paths, Array<VELDARO_ConnectivityCollection*>& collections,
                  Endpoints& endpoints, const String* collectionId, const String* endpointName)
{
    for (std::size_t c = 0; c < collections.size(); ++c) {
        const VELDARO_ConnectivityCollection* collection = collections[c];
        if (!collection || (collectionId && !equalText(collection, "InstanceID", collectionId)))
            continue;
        const Paths::Box* box = paths.find(collection->BoxID.value.c_str());
        if (!box)
            continue;
        std::vector<const void*> members;
        for (const Paths::Path& path : box->paths) {
            const auto* endpoint = remoteCopyEndpointOf(endpoints, path);
            if (!endpoint || (endpointName && !equalText(endpoint, "Name", endpointName)) ||
                std::find(members.begin(), members.end(), endpoint) != members.end())
                continue;
            members.push_back(endpoint);
            emitMember(frame, collection, endpoint);
        }
    }
}

enum Local_Kinds { SCSI = 1, ISCSI = 2, BOTH = 3 };

// The local endpoints of the connectivity collections; the remote paths
// are read once.
bool localEndpointsOfCollections(Frame& frame, int kinds, const String* collectionId, const String* endpointName)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ConnectivityCollection_Resource collections(frame.storage());
        if (!buildList(collections, &VELDARO_ConnectivityCollection_Resource::createConnectivityCollection))
            return false;
        if (listedOf(collections).size() == 0)
            return true;
        VELDARO_SCSIProtocolEndpoint_Resource scsi(frame.storage());
        if ((kinds & SCSI) && !buildList(scsi, &VELDARO_SCSIProtocolEndpoint_Resource::createSCSIProtocolEndpoint))
            return false;
        VELDARO_iSCSIProtocolEndpoint_Resource iscsi(frame.storage());
        if ((kinds & ISCSI) &&
            !buildList(iscsi, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint))
            return false;
        // No remote paths to read: no local members.
        Paths paths;
        const unsigned char rc = paths.query(frame.storage());
        if (rc == SMIS_Vorpak::CHANNEL_BUSY)
            return false;  // the array works but could not be asked: no answer rather than none
        if (rc != 0)
            return true;
        if (kinds & SCSI)
            localMembers(frame, paths, listedOf(collections), listedOf(scsi), collectionId, endpointName);
        if (kinds & ISCSI)
            localMembers(frame, paths, listedOf(collections), listedOf(iscsi), collectionId, endpointName);
        return true;
    });
}

// The remote SCSI endpoints of the collections' boxes.
bool remoteEndpointsOfCollections(Frame& frame, const String* collectionId, const String* endpointName)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RemoteSCSIProtocolEndpoint_Resource remotes(frame.storage());
        if (!buildList(remotes, &VELDARO_RemoteSCSIProtocolEndpoint_Resource::createRemoteSCSIProtocolEndpoint))
            return false;
        auto& endpoints = listedOf(remotes);
        if (endpoints.size() == 0)
            return true;
        VELDARO_ConnectivityCollection_Resource collections(frame.storage());
        return eachListed(
            collections, &VELDARO_ConnectivityCollection_Resource::createConnectivityCollection,
            [&](const VELDARO_ConnectivityCollection* collection) {
                if (collectionId && !equalText(collection, "InstanceID", collectionId))
                    return true;
                const String& box = collection->BoxID.value;
                for (std::size_t e = 0; e < endpoints.size(); ++e) {
                    const auto* endpoint = endpoints[e];
                    const String* system = endpoint ? Common::stringValue(endpoint, "SystemName") : nullptr;
                    if (!system || boxOfSystemName(*system) != box.c_str())
                        continue;
                    if (endpointName && !equalText(endpoint, "Name", endpointName))
                        continue;
                    emitMember(frame, collection, endpoint);
                }
                return true;
            });
    });
}

const String* keyOf(const Instance* source, const char* name)
{
    return Common::stringValue(source, name);
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_RedundancySet::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* id = keyOf(source, "InstanceID");
         return !id || controllersOfRedundancySet(frame, id, nullptr);
     }},
    {&VELDARO_ControllerComputerSystem::static_meta_class, Common::BY_CONTROLLER_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* name = keyOf(source, "Name");
         return !name || controllersOfRedundancySet(frame, nullptr, name);
     }},
    {&VELDARO_StorageRedundancySet::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* id = keyOf(source, "InstanceID");
         return !id || disksOfStorageSets(frame, id, -1);
     }},
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return disksOfStorageSets(frame, nullptr, disk); }},
    {&VELDARO_ConnectivityCollection::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* id = keyOf(source, "InstanceID");
         return !id || (localEndpointsOfCollections(frame, BOTH, id, nullptr) &&
                        remoteEndpointsOfCollections(frame, id, nullptr));
     }},
    {&VELDARO_SCSIProtocolEndpoint::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* name = keyOf(source, "Name");
         return !name || localEndpointsOfCollections(frame, SCSI, nullptr, name);
     }},
    {&VELDARO_iSCSIProtocolEndpoint::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* name = keyOf(source, "Name");
         return !name || localEndpointsOfCollections(frame, ISCSI, nullptr, name);
     }},
    {&VELDARO_RemoteSCSIProtocolEndpoint::static_meta_class, BY_SYSTEM_NAME_SUFFIX, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* name = keyOf(source, "Name");
         return !name || remoteEndpointsOfCollections(frame, nullptr, name);
     }},
};

}  // namespace

CIM_MemberOfCollection_Provider::CIM_MemberOfCollection_Provider() {}

CIM_MemberOfCollection_Provider::~CIM_MemberOfCollection_Provider() {}

bool CIM_MemberOfCollection_Provider::_enumPairs()
{
    return controllersOfRedundancySet(*this, nullptr, nullptr) && disksOfStorageSets(*this, nullptr, -1) &&
           localEndpointsOfCollections(*this, BOTH, nullptr, nullptr) &&
           remoteEndpointsOfCollections(*this, nullptr, nullptr);
}

int CIM_MemberOfCollection_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
