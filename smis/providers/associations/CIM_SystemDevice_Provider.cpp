// The devices and extents each system holds: the storage system with its
// controllers, drives, extents of every kind and volumes (each volume once),
// and each controller system with the FC and Ethernet ports of its slot.

#include "CIM_SystemDevice_Provider.h"

#include <cstdint>

#include "Association_End.h"
#include "CIM_SystemDevice.h"
#include "Fixed_End_Walk.h"
#include "Free_Extent_List.h"
#include "Key_Index.h"
#include "Masking_Port_Map.h"
#include "Matching_Pair_Walk.h"
#include "RAID_Group_Walk.h"
#include "Storage_System_List.h"
#include "Table_Entries.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_ConcatenatedExtent.h"
#include "VELDARO_ConcatenatedExtent_Resource.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskDrive_Resource.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_EthernetPort.h"
#include "VELDARO_EthernetPort_Resource.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_FCPort_Resource.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_LayerixExtent.h"
#include "VELDARO_LayerixExtent_Resource.h"
#include "VELDARO_LayerixSubExtent.h"
#include "VELDARO_LayerixSubExtent_Resource.h"
#include "VELDARO_MirroredExtent.h"
#include "VELDARO_MirroredExtent_Resource.h"
#include "VELDARO_PartOfConcatenatedExtent.h"
#include "VELDARO_PartOfConcatenatedExtent_Resource.h"
#include "VELDARO_RAIDCompositeExtent.h"
#include "VELDARO_RAIDCompositeExtent_Resource.h"
#include "VELDARO_SDPVExtent.h"
#include "VELDARO_SDPVExtent_Resource.h"
#include "VELDARO_SnapDataCompositeExtent.h"
#include "VELDARO_SnapDataCompositeExtent_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_StripingCompositeExtent.h"
#include "VELDARO_StripingCompositeExtent_Resource.h"
#include "VELDARO_ThinProvisioningExtent.h"
#include "VELDARO_ThinProvisioningExtent_Resource.h"
#include "VELDARO_ThinProvisioningFreeExtent.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "Volume_Walk.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Fixed = Fixed_End_Walk;
using Groups = RAID_Group_Walk;
using System = VELDARO_StorageComputerSystem;

// A row of the storage system: every device of its kind (device null) or
// only the device a request's source names, at the entry its key gave.
using System_Row = bool (*)(Frame& frame, const VELDARO_RefTable& table, const System& system,
                            const Instance* device, int entry);

// The system with one device; the far end is the end that is not the
// source (the device while enumerating).
void pair(Frame& frame, const System& system, Instance* device)
{
    Instance* s = clone(static_cast<const Instance*>(&system));
    frame.emit<CIM_SystemDevice>(s, device, frame.otherEnd(s, device));
}

Index_Range entries(const Instance* device, int entry, int count)
{
    return device ? Index_Range::one(entry, count) : Index_Range::all(count);
}

// Devices of an index Resource, one per table entry.
template <class T, class Resource>
bool indexed(Frame& frame, const System& system, const Instance* device, int entry, int count)
{
    Resource devices(frame.storage());
    return Fixed::pairs<CIM_SystemDevice, T>(frame, &system, Fixed::Fixed::FIRST, entries(device, entry, count),
                                             Fixed::Far::OTHER_END, true, Association_End<T>::byIndex(devices));
}

template <class T, class Resource, int Count>
bool fixedCount(Frame& frame, const VELDARO_RefTable&, const System& system, const Instance* device, int entry)
{
    return indexed<T, Resource>(frame, system, device, entry, Count);
}

template <class T, class Resource, std::uint32_t (VELDARO_RefTable::*Count)() const>
bool tableCount(Frame& frame, const VELDARO_RefTable& table, const System& system, const Instance* device,
                int entry)
{
    return indexed<T, Resource>(frame, system, device, entry, static_cast<int>((table.*Count)()));
}

// Devices of a list Resource; a source gives the first whose DeviceID is
// its own.
template <class T, class Resource, int (Resource::*Build)()>
bool listed(Frame& frame, const VELDARO_RefTable&, const System& system, const Instance* device, int)
{
    Resource devices(frame.storage());
    if (!buildList(devices, Build))
        return false;
    const char* key = device ? Common::keyText(device, Key_Index::DEVICE_ID) : nullptr;
    if (device && !key)
        return true;
    auto& list = listedOf(devices);
    for (std::size_t k = 0; k < list.size(); ++k) {
        const T* listedDevice = list[k];
        if (!listedDevice || (key && (listedDevice->DeviceID.null || !(listedDevice->DeviceID.value == key))))
            continue;
        pair(frame, system, clone(listedDevice));
        if (key)
            break;
    }
    return true;
}

bool affinityGroups(Frame& frame, const VELDARO_RefTable& table, const System& system, const Instance* device,
                    int entry)
{
    VELDARO_AffinityGroupController_Resource controllers(frame.storage());
    auto one = [&](int affinity, std::uint16_t cm, std::uint16_t ca, std::uint16_t port) {
        auto controller = Association_End<VELDARO_AffinityGroupController>::build(controllers, affinity, cm, ca, port);
        if (controller.built())
            pair(frame, system, controller.release());
        return !controller.failed();
    };
    if (!device)
        // The groups the host-port map binds, once per allocated port, as
        // the affinity group controller provider serves them.
        return Masking_Port_Map::eachAllocated(table, [&](int map, const CA_Port_Name& n) {
            return Masking_Port_Map::eachGroup(table, map,
                                               [&](int affinity) { return one(affinity, n.cm, n.ca, n.port); });
        });
    std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
    const char* key = Common::keyText(device, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_AffinityGroupController_Resource::divide_DeviceID(key, &group, &cm, &ca, &port))
        return true;
    return one(entry, cm, ca, port);
}

bool volumes(Frame& frame, const VELDARO_RefTable& table, const System& system, const Instance* device, int entry)
{
    VELDARO_StorageVolume_Resource resource(frame.storage());
    auto one = [&](int slu) {
        auto volume = Association_End<VELDARO_StorageVolume>::build(resource, slu);
        if (volume.built())
            pair(frame, system, volume.release());
        return !volume.failed();
    };
    return device ? one(entry) : Volume_Walk::each(table, one);
}

// How many member slots of a group are walked: every slot (mirrored
// extents) or the group's member count (striping extents).
using Member_Slots = int (*)(const VELDARO_RefTable& table, int rlu);

int everySlot(const VELDARO_RefTable&, int) { return Groups::MEMBER_SLOTS; }

// Mirrored (RAID1+0) and striping (RAID5+0) extents: one per member slot of
// a group of that level that names a DLU. A source names its group and
// member itself.
template <class T, class Resource, std::uint8_t Level>
bool groupMembers(Frame& frame, const VELDARO_RefTable& table, const System& system, const Instance* device,
                  int entry, int member, Member_Slots slots)
{
    Resource resource(frame.storage());
    auto one = [&](int rlu, int dlu) {
        auto extent = Association_End<T>::build(resource, rlu, dlu);
        if (extent.built())
            pair(frame, system, extent.release());
        return !extent.failed();
    };
    const int groups = static_cast<int>(table.getRLUMaxCount());
    if (device) {
        if (entry < 0 || entry >= groups || Groups::isFree(table, entry) || table.getRaidLevel(entry) != Level)
            return true;
        const int dlu = Groups::memberDlu(table, entry, member);
        return dlu < 0 || one(entry, dlu);
    }
    for (int rlu = 0; rlu < groups; ++rlu) {
        if (Groups::isFree(table, rlu) || table.getRaidLevel(rlu) != Level)
            continue;
        for (int j = 0; j < slots(table, rlu); ++j) {
            const int dlu = Groups::memberDlu(table, rlu, j);
            if (dlu >= 0 && !one(rlu, dlu))
                return false;
        }
    }
    return true;
}

// The member a mirrored extent's disk stands in, or a striping extent's key
// names; -1 for none.
int mirroredMember(const VELDARO_RefTable& table, const Instance* device, int& rlu)
{
    std::uint16_t disk = 0, second = 0;
    const char* key = Common::keyText(device, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_MirroredExtent_Resource::divide_DeviceID(key, &disk, &second))
        return -1;
    const int diskIndex = table.searchPlunFromDiskTable(disk);
    int dlu = -1;
    if (diskIndex < 0 || !Groups::groupOfDisk(table, diskIndex, dlu, rlu))
        return -1;
    for (int j = 0; j < Groups::MEMBER_SLOTS; ++j)
        if (Groups::memberDlu(table, rlu, j) == dlu)
            return j;
    return -1;
}

bool mirrored(Frame& frame, const VELDARO_RefTable& table, const System& system, const Instance* device, int)
{
    int rlu = -1;
    const int member = device ? mirroredMember(table, device, rlu) : 0;
    if (device && member < 0)
        return true;
    return groupMembers<VELDARO_MirroredExtent, VELDARO_MirroredExtent_Resource, Groups::RAID10>(
        frame, table, system, device, rlu, member, everySlot);
}

bool striping(Frame& frame, const VELDARO_RefTable& table, const System& system, const Instance* device, int entry)
{
    std::uint16_t rlun = 0, member = 0;
    if (device) {
        const char* key = Common::keyText(device, Key_Index::DEVICE_ID);
        if (!key || !VELDARO_StripingCompositeExtent_Resource::divide_DeviceID(key, &rlun, &member) ||
            member >= Groups::MEMBER_SLOTS)
            return true;
    }
    return groupMembers<VELDARO_StripingCompositeExtent, VELDARO_StripingCompositeExtent_Resource, Groups::RAID50>(
        frame, table, system, device, entry, member, &Groups::memberCount);
}

// The free extents of each RAID group, in list order; a source names its
// group and its place in the group's list.
bool freeExtents(Frame& frame, const VELDARO_RefTable& table, const System& system, const Instance* device,
                 int entry)
{
    VELDARO_FreeExtent_Resource resource(frame.storage());
    int ordinal = -1;
    if (device) {
        std::uint16_t rlun = 0;
        const char* key = Common::keyText(device, Key_Index::DEVICE_ID);
        if (!key || !VELDARO_FreeExtent_Resource::divide_DeviceID(key, &rlun, &ordinal) || ordinal < 0)
            return true;
    }
    const Index_Range groups = entries(device, entry, static_cast<int>(table.getRLUMaxCount()));
    for (int rlu = groups.begin; rlu < groups.end; ++rlu) {
        Free_Extent_List list;
        if (!list.build(resource, rlu))
            return false;
        for (std::size_t i = 0; i < list.size(); ++i)
            if ((!device || static_cast<int>(i) == ordinal) && list.at(i))
                pair(frame, system, list.take(i));
    }
    return true;
}

constexpr System_Row lunMappingControllers =
    listed<VELDARO_LUNMappingController, VELDARO_LUNMappingController_Resource,
           &VELDARO_LUNMappingController_Resource::createLUNMappingController>;
constexpr System_Row diskDrives = fixedCount<VELDARO_DiskDrive, VELDARO_DiskDrive_Resource, Table_Entries::DISKS>;
constexpr System_Row diskExtents = fixedCount<VELDARO_DiskExtent, VELDARO_DiskExtent_Resource, Table_Entries::DISKS>;
constexpr System_Row raidComposites =
    tableCount<VELDARO_RAIDCompositeExtent, VELDARO_RAIDCompositeExtent_Resource, &VELDARO_RefTable::getRLUMaxCount>;
constexpr System_Row concatenated =
    tableCount<VELDARO_ConcatenatedExtent, VELDARO_ConcatenatedExtent_Resource, &VELDARO_RefTable::getOLUMaxCount>;
constexpr System_Row concatenationParts =
    tableCount<VELDARO_PartOfConcatenatedExtent, VELDARO_PartOfConcatenatedExtent_Resource,
               &VELDARO_RefTable::getSLUMaxCount>;
constexpr System_Row sdpvExtents =
    tableCount<VELDARO_SDPVExtent, VELDARO_SDPVExtent_Resource, &VELDARO_RefTable::getSLUMaxCount>;
constexpr System_Row snapDataComposites =
    listed<VELDARO_SnapDataCompositeExtent, VELDARO_SnapDataCompositeExtent_Resource,
           &VELDARO_SnapDataCompositeExtent_Resource::createSnapDataCompositeExtent>;
constexpr System_Row thinExtents =
    fixedCount<VELDARO_ThinProvisioningExtent, VELDARO_ThinProvisioningExtent_Resource, Table_Entries::THIN_POOLS>;
constexpr System_Row thinFreeExtents =
    fixedCount<VELDARO_ThinProvisioningFreeExtent, VELDARO_ThinProvisioningFreeExtent_Resource,
               Table_Entries::THIN_POOLS>;
constexpr System_Row layerixExtents =
    fixedCount<VELDARO_LayerixExtent, VELDARO_LayerixExtent_Resource, Table_Entries::LAYERIX_POOLS>;
constexpr System_Row layerixSubExtents =
    fixedCount<VELDARO_LayerixSubExtent, VELDARO_LayerixSubExtent_Resource, Table_Entries::THIN_POOLS>;

// The rows of the storage system, in enumeration order.
constexpr System_Row SYSTEM_ROWS[] = {
    affinityGroups, lunMappingControllers, diskDrives,         diskExtents,        raidComposites,
    concatenated,   volumes,               mirrored,           striping,           freeExtents,
    concatenationParts, sdpvExtents,       snapDataComposites, thinExtents,        thinFreeExtents,
    layerixExtents, layerixSubExtents,
};

// Runs rows on the array's storage system; an array without one has no
// pairs.
template <class Rows>
bool onSystem(Frame& frame, Rows rows)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Storage_System_List::with(frame, [&](VELDARO_StorageComputerSystem_Resource& systems) {
            VELDARO_RefTable table(frame.storage().c_str());
            return rows(table, *firstListed(systems));
        });
    });
}

bool allSystemRows(Frame& frame)
{
    return onSystem(frame, [&](const VELDARO_RefTable& table, const System& system) {
        for (System_Row row : SYSTEM_ROWS)
            if (!row(frame, table, system, nullptr, 0))
                return false;
        return true;
    });
}

// One device a request's source names, on its own row.
template <System_Row Row>
bool oneDevice(Frame& frame, const Instance* device, int entry)
{
    return onSystem(frame, [&](const VELDARO_RefTable& table, const System& system) {
        return Row(frame, table, system, device, entry);
    });
}

// Each controller system with the ports of its slot: every controller while
// enumerating, the source controller, or the controller of the source port.
template <class Port, class Resource>
bool controllerPorts(Frame& frame, int (Resource::*build)())
{
    return Common::guard(__FILE__, __LINE__, [&] {
        Resource ports(frame.storage());
        if (!buildList(ports, build))
            return false;
        if (listedOf(ports).size() == 0)
            return true;
        VELDARO_ControllerComputerSystem_Resource controllers(frame.storage());
        if (!buildList(controllers, &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem))
            return false;
        const Instance* source = frame.source();
        const char* controllerName =
            Common::isOf(source, VELDARO_ControllerComputerSystem::static_meta_class) ? Common::keyText(source, "Name")
                                                                                      : nullptr;
        const char* portKey =
            Common::isOf(source, Port::static_meta_class) ? Common::keyText(source, Key_Index::DEVICE_ID) : nullptr;
        auto& list = listedOf(controllers);
        auto& portList = listedOf(ports);
        // A source port is sought under every controller: only the one of
        // its slot holds it.
        bool found = false;
        for (std::size_t c = 0; c < list.size() && !found; ++c) {
            const VELDARO_ControllerComputerSystem* controller = list[c];
            if (!controller ||
                (controllerName && (controller->Name.null || !(controller->Name.value == controllerName))))
                continue;
            for (std::size_t p = 0; p < portList.size(); ++p) {
                const Port* port = portList[p];
                if (!port || !Matching_Pair_Walk::Same_Slot()(*controller, *port) ||
                    (portKey && (port->DeviceID.null || !(port->DeviceID.value == portKey))))
                    continue;
                Instance* first = clone(static_cast<const Instance*>(controller));
                Instance* second = clone(static_cast<const Instance*>(port));
                frame.emit<CIM_SystemDevice>(first, second, frame.otherEnd(first, second));
                found = portKey != nullptr;
                if (found)
                    break;
            }
            if (controllerName)
                break;
        }
        return true;
    });
}

bool fcPorts(Frame& frame)
{
    return controllerPorts<VELDARO_FCPort>(frame, &VELDARO_FCPort_Resource::createFCPort);
}

bool ethernetPorts(Frame& frame)
{
    return controllerPorts<VELDARO_EthernetPort>(frame, &VELDARO_EthernetPort_Resource::createEthernetPort);
}

int affinityEntry(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
    const char* key = Common::keyText(source, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_AffinityGroupController_Resource::divide_DeviceID(key, &group, &cm, &ca, &port))
        return -1;
    return table.searchAffinityNumberFromAffinityTable(group);
}

int volumeEntry(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint8_t luType = 0;
    std::uint16_t number = 0;
    const char* key = Common::keyText(source, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_StorageVolume_Resource::divide_DeviceID(key, &luType, &number))
        return -1;
    return table.searchLunByLuTypeFromSluTable(luType, number);
}

constexpr std::uint8_t SDP_LU_TYPE = 7;

int sdpvEntry(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint16_t number = 0;
    const char* key = Common::keyText(source, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_SDPVExtent_Resource::divide_DeviceID(key, &number))
        return -1;
    return table.searchLunByLuTypeFromSluTable(SDP_LU_TYPE, number);
}

int thinFreeEntry(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint16_t pool = 0;
    int ordinal = 0;
    const char* key = Common::keyText(source, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID(key, &pool, &ordinal))
        return -1;
    return table.searchPoolNoFromTppTable(pool);
}

int freeExtentEntry(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint16_t rlun = 0;
    int ordinal = 0;
    const char* key = Common::keyText(source, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_FreeExtent_Resource::divide_DeviceID(key, &rlun, &ordinal))
        return -1;
    return table.searchRlunFromRluTable(rlun);
}

int stripingEntry(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint16_t rlun = 0, member = 0;
    const char* key = Common::keyText(source, Key_Index::DEVICE_ID);
    if (!key || !VELDARO_StripingCompositeExtent_Resource::divide_DeviceID(key, &rlun, &member))
        return -1;
    return table.searchRlunFromRluTable(rlun);
}

template <auto Parse, auto Find>
constexpr auto byKey = Key_Index::of<Parse, Find, Key_Index::DEVICE_ID>;

template <System_Row Row>
bool rowOf(Frame& frame, const Instance* source, int entry)
{
    return oneDevice<Row>(frame, source, entry);
}

using R = VELDARO_RefTable;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_StorageComputerSystem::static_meta_class, Common::BY_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return allSystemRows(frame); }},
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, affinityEntry,
     rowOf<affinityGroups>},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr, rowOf<lunMappingControllers>},
    {&VELDARO_DiskDrive::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_DiskDrive_Resource::divide_DeviceID, &R::searchPlunFromDiskTable>,
     rowOf<diskDrives>},
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_DiskExtent_Resource::divide_DeviceID, &R::searchPlunFromDiskTable>,
     rowOf<diskExtents>},
    {&VELDARO_RAIDCompositeExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID,
           &R::searchRlunFromRluTable>,
     rowOf<raidComposites>},
    {&VELDARO_ConcatenatedExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_ConcatenatedExtent_Resource::divide_DeviceID,
           &R::searchOlunFromOluTable>,
     rowOf<concatenated>},
    {&VELDARO_StorageVolume::static_meta_class, Common::BY_SYSTEM_NAME, volumeEntry, rowOf<volumes>},
    {&VELDARO_MirroredExtent::static_meta_class, Common::BY_SYSTEM_NAME, nullptr, rowOf<mirrored>},
    {&VELDARO_StripingCompositeExtent::static_meta_class, Common::BY_SYSTEM_NAME, stripingEntry, rowOf<striping>},
    {&VELDARO_FreeExtent::static_meta_class, Common::BY_SYSTEM_NAME, freeExtentEntry, rowOf<freeExtents>},
    {&VELDARO_PartOfConcatenatedExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_PartOfConcatenatedExtent_Resource::divide_DeviceID,
           &R::searchSlunFromSluTable>,
     rowOf<concatenationParts>},
    {&VELDARO_SDPVExtent::static_meta_class, Common::BY_SYSTEM_NAME, sdpvEntry, rowOf<sdpvExtents>},
    {&VELDARO_SnapDataCompositeExtent::static_meta_class, Common::BY_SYSTEM_NAME, nullptr, rowOf<snapDataComposites>},
    {&VELDARO_ThinProvisioningExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_ThinProvisioningExtent_Resource::divide_DeviceID,
           &R::searchPoolNoFromTppTable>,
     rowOf<thinExtents>},
    {&VELDARO_ThinProvisioningFreeExtent::static_meta_class, Common::BY_SYSTEM_NAME, thinFreeEntry,
     rowOf<thinFreeExtents>},
    {&VELDARO_LayerixExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_LayerixExtent_Resource::divide_DeviceID, &R::searchPoolNoFromLxrpTable>,
     rowOf<layerixExtents>},
    {&VELDARO_LayerixSubExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     byKey<&VELDARO_LayerixSubExtent_Resource::divide_DeviceID,
           &R::searchPoolNoFromTppTable>,
     rowOf<layerixSubExtents>},
    {&VELDARO_ControllerComputerSystem::static_meta_class, Common::BY_CONTROLLER_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return fcPorts(frame) && ethernetPorts(frame); }},
    {&VELDARO_FCPort::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return fcPorts(frame); }},
    {&VELDARO_EthernetPort::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return ethernetPorts(frame); }},
};

}  // namespace

CIM_SystemDevice_Provider::CIM_SystemDevice_Provider() {}

CIM_SystemDevice_Provider::~CIM_SystemDevice_Provider() {}

bool CIM_SystemDevice_Provider::_enumPairs()
{
    return allSystemRows(*this) && fcPorts(*this) && ethernetPorts(*this);
}

int CIM_SystemDevice_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
