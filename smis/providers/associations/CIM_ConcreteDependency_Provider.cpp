// Service dependencies of one array: the masking services with the
// controllers, host identifiers and privileges they manage, volumes with
// the disk extents of their RAID groups, and thin volumes with the thin
// pool or Layerix sub-pool they live in.

#include "CIM_ConcreteDependency_Provider.h"

#include <set>

#include "Association_End.h"
#include "CIM_ConcreteDependency.h"
#include "Key_Index.h"
#include "Masking_Port_Map.h"
#include "Masking_View_Walk.h"
#include "RAID_Group_Walk.h"
#include "Table_Entries.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_AuthorizedPrivilege.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"
#include "VELDARO_ControllerConfigurationService.h"
#include "VELDARO_ControllerConfigurationService_Resource.h"
#include "VELDARO_DefaultAuthorizedPrivilege.h"
#include "VELDARO_DefaultAuthorizedPrivilege_Resource.h"
#include "VELDARO_DefaultStorageHardwareID.h"
#include "VELDARO_DefaultStorageHardwareID_Resource.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_LayerixSubPool.h"
#include "VELDARO_LayerixSubPool_Resource.h"
#include "VELDARO_PrivilegeManagementService.h"
#include "VELDARO_PrivilegeManagementService_Resource.h"
#include "VELDARO_StorageHardwareID.h"
#include "VELDARO_StorageHardwareIDManagementService.h"
#include "VELDARO_StorageHardwareIDManagementService_Resource.h"
#include "VELDARO_StorageHardwareID_Resource.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ThinProvisioningPool.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Map = Masking_Port_Map;
using View = Masking_View_Walk;
using Volume = Association_End<VELDARO_StorageVolume>;
using Extent = Association_End<VELDARO_DiskExtent>;

constexpr std::uint8_t THIN_VOLUME = 8;

void emitDependency(Frame& frame, Instance* antecedent, Instance* dependent)
{
    frame.emit<CIM_ConcreteDependency>(antecedent, dependent, frame.otherEnd(antecedent, dependent));
}

// The array's one instance of a service: body(service) with the first of
// its builder's list; an empty list is no error and no pair.
template <class Resource, class Body>
bool withService(Frame& frame, int (Resource::*build)(), Body body)
{
    Resource services(frame.storage());
    if (!buildList(services, build))
        return false;
    const auto* service = firstListed(services);
    return !service || body(service);
}

// A built end paired with the service: the association takes it.
template <class T>
bool serviceWith(Frame& frame, const Instance* service, Association_End<T>& end)
{
    if (end.failed())
        return false;
    if (end.built())
        emitDependency(frame, clone(service), end.release());
    return true;
}

// The controller configuration service with its controllers: every
// affinity group once per affinity port, then every LUN-mapping controller.
bool configurationControllers(Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return withService(frame, &VELDARO_ControllerConfigurationService_Resource::createControllerConfigurationService,
                           [&](const Instance* service) {
                               VELDARO_RefTable table(frame.storage().c_str());
                               VELDARO_AffinityGroupController_Resource controllers(frame.storage());
                               const bool groups = Map::eachPort(table, Map::AFFINITY, [&](const Map::Port& port) {
                                   return Map::eachGroup(table, port.map, [&](int affinity) {
                                       auto c = Association_End<VELDARO_AffinityGroupController>::build(
                                           controllers, affinity, port.name.cm, port.name.ca, port.name.port);
                                       return serviceWith(frame, service, c);
                                   });
                               });
                               VELDARO_LUNMappingController_Resource mappings(frame.storage());
                               return groups &&
                                      eachListed(mappings,
                                                 &VELDARO_LUNMappingController_Resource::createLUNMappingController,
                                                 [&](VELDARO_LUNMappingController* c) {
                                                     emitDependency(frame, clone(service), clone(c));
                                                     return true;
                                                 });
                           });
    });
}

// The hardware ID management service with every registered host
// identifier (FC/SAS hosts, then iSCSI hosts) and the default identifier.
bool managementIdentifiers(Frame& frame, bool hosts, bool defaults)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return withService(
            frame, &VELDARO_StorageHardwareIDManagementService_Resource::createStorageHardwareIDManagementService,
            [&](const Instance* service) {
                using Resource = VELDARO_StorageHardwareID_Resource;
                VELDARO_RefTable table(frame.storage().c_str());
                Resource identifiers(frame.storage());
                for (int kind : {Resource::ID_TYPE_WWN, Resource::ID_TYPE_ISCSI}) {
                    for (int host = 0; hosts && host < Resource::HOST_TABLE_SIZE; ++host) {
                        const int idType =
                            kind == Resource::ID_TYPE_WWN && table.getHostType(host) == 2 ? Resource::ID_TYPE_SAS : kind;
                        auto id = Association_End<VELDARO_StorageHardwareID>::build(identifiers, idType, host);
                        if (!serviceWith(frame, service, id))
                            return false;
                    }
                }
                if (!defaults)
                    return true;
                VELDARO_DefaultStorageHardwareID_Resource defaultIds(frame.storage());
                if (!buildList(defaultIds, &VELDARO_DefaultStorageHardwareID_Resource::createDefaultStorageHardwareID))
                    return false;
                if (const auto* id = firstListed(defaultIds))
                    emitDependency(frame, clone(service), clone(id));
                return true;
            });
    });
}

// The privilege management service with the privilege of every binding
// (one per slot) and every default privilege.
bool managementPrivileges(Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return withService(frame, &VELDARO_PrivilegeManagementService_Resource::createPrivilegeManagementService,
                           [&](const Instance* service) {
                               VELDARO_RefTable table(frame.storage().c_str());
                               VELDARO_AuthorizedPrivilege_Resource privileges(frame.storage());
                               const bool bound = Map::eachPort(table, Map::AFFINITY, [&](const Map::Port& port) {
                                   return Map::eachBinding(table, port.map, [&](int affinity, int host) {
                                       auto p = Association_End<VELDARO_AuthorizedPrivilege>::build(
                                           privileges, affinity, port.name.cm, port.name.ca, port.name.port, host);
                                       return serviceWith(frame, service, p);
                                   });
                               });
                               VELDARO_DefaultAuthorizedPrivilege_Resource defaults(frame.storage());
                               return bound && eachListed(defaults,
                                                          &VELDARO_DefaultAuthorizedPrivilege_Resource::
                                                              createDefaultAuthorizedPrivilege,
                                                          [&](VELDARO_DefaultAuthorizedPrivilege* p) {
                                                              emitDependency(frame, clone(service), clone(p));
                                                              return true;
                                                          });
                           });
    });
}

// One managed element source with its service: end(service) builds the
// source's own instance.
template <class Resource, class Build>
bool managedByService(Frame& frame, int (Resource::*service)(), Build end)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return withService(frame, service, [&](const Instance* s) {
            auto built = end();
            return serviceWith(frame, s, built);
        });
    });
}

// The listed element of a builder whose key equals the source's, with the
// service.
template <class Resource, class ListResource>
bool listedByService(Frame& frame, int (Resource::*service)(), int (ListResource::*build)(), const Instance* source,
                     const char* key)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return withService(frame, service, [&](const Instance* s) {
            ListResource listed(frame.storage());
            if (!buildList(listed, build))
                return false;
            if (const auto* element = View::withKey(listedOf(listed), key, Common::keyText(source, key)))
                emitDependency(frame, clone(s), clone(element));
            return true;
        });
    });
}

// The volume of an SLU: the volume of its OLU's first SLU when it belongs
// to one, else the SLU's own.
int volumeSluOf(const VELDARO_RefTable& table, int slu)
{
    const std::uint16_t olu = table.getSluOlun(slu);
    return olu == Map::NONE ? slu : View::sluOfOlu(table, olu);
}

// Each volume of RAID group rlu (each once) with the extents of the given
// disks.
bool groupVolumesExtents(Frame& frame, const VELDARO_RefTable& table, int rlu, const std::vector<int>& disks)
{
    VELDARO_DiskExtent_Resource extentBuilder(frame.storage());
    std::vector<Extent> extents;
    for (int disk : disks) {
        Extent e = Extent::build(extentBuilder, disk);
        if (e.failed())
            return false;
        if (e.built())
            extents.push_back(std::move(e));
    }
    if (extents.empty())
        return true;
    Array<std::uint16_t> sluNumbers;
    table.getSlunListWithRlu(table.getRluRlun(rlu), sluNumbers);
    VELDARO_StorageVolume_Resource volumes(frame.storage());
    std::set<int> seen;
    for (std::size_t k = 0; k < sluNumbers.size(); ++k) {
        const int slu = table.searchSlunFromSluTable(sluNumbers[k]);
        const int head = slu < 0 ? -1 : volumeSluOf(table, slu);
        if (head < 0 || !seen.insert(head).second)
            continue;
        Volume volume = Volume::build(volumes, head);
        if (volume.failed())
            return false;
        if (!volume.built())
            continue;
        for (const Extent& e : extents)
            emitDependency(frame, e.copy(), volume.copy());
    }
    return true;
}

// The member disks of a RAID group.
std::vector<int> groupDisks(const VELDARO_RefTable& table, int rlu)
{
    disk_idx_list_in_rlu list{};
    const int n = RAID_Group_Walk::memberDisks(table, rlu, list);
    return std::vector<int>(list.DiskIdx, list.DiskIdx + (n > 0 ? n : 0));
}

bool extentsVolumes(Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        for (int rlu = 0; rlu < int(table.getRLUMaxCount()); ++rlu)
            if (!groupVolumesExtents(frame, table, rlu, groupDisks(table, rlu)))
                return false;
        return true;
    });
}

// One disk extent source: its own extent with the volumes of its group.
bool extentVolumes(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int rlu = RAID_Group_Walk::groupOfDisk(table, disk);
        return rlu < 0 || groupVolumesExtents(frame, table, rlu, {disk});
    });
}

// One volume source: the volume, built once, with the member disk extents
// of every RAID group its SLUs lie in.
bool volumeExtents(Frame& frame, const VELDARO_RefTable& table, int slu)
{
    Array<int> slus;
    const std::uint16_t olu = table.getSluOlun(slu);
    if (olu != Map::NONE) {
        const int oluIndex = table.searchOlunFromOluTable(olu);
        if (oluIndex < 0 || table.getSluIndexListInOlu(oluIndex, slus) != 0)
            return true;
    } else {
        slus.append(slu);
    }
    VELDARO_StorageVolume_Resource volumes(frame.storage());
    Volume volume = Volume::build(volumes, volumeSluOf(table, slu));
    if (volume.failed())
        return false;
    if (!volume.built())
        return true;
    VELDARO_DiskExtent_Resource extents(frame.storage());
    std::set<std::uint16_t> groups;
    for (std::size_t k = 0; k < slus.size(); ++k) {
        const std::uint16_t rlun = table.getSluRlun(slus[k]);
        if (!groups.insert(rlun).second)
            continue;
        const int rlu = table.searchRlunFromRluTable(rlun);
        if (rlu < 0)
            continue;
        for (int disk : groupDisks(table, rlu)) {
            Extent e = Extent::build(extents, disk);
            if (e.failed())
                return false;
            if (e.built())
                emitDependency(frame, e.release(), volume.copy());
        }
    }
    return true;
}

// The two pool kinds thin volumes live in.
template <class Pool, class Resource>
struct Pool_Kind {
    int (VELDARO_RefTable::*rlus)(int, Array<int>&) const;
    bool (VELDARO_RefTable::*inMode)(int) const;
};
const Pool_Kind<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource> THIN_POOL{
    &VELDARO_RefTable::getRluIndexListInThinPro, &VELDARO_RefTable::isThinproPoolInRluMode};
const Pool_Kind<VELDARO_LayerixSubPool, VELDARO_LayerixSubPool_Resource> SUB_POOL{
    &VELDARO_RefTable::getRluIndexListInLayerixSubPool, &VELDARO_RefTable::isLayerixSubPoolInRluMode};

// Each pool of the kind (only `only` when it is >= 0) with the thin
// volumes of its RAID groups.
template <class Pool, class Resource>
bool poolsVolumes(Frame& frame, const Pool_Kind<Pool, Resource>& kind, int only)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        Resource pools(frame.storage());
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        const Index_Range range = only >= 0 ? Index_Range::one(only, Table_Entries::THIN_POOLS)
                                            : Index_Range::all(Table_Entries::THIN_POOLS);
        return eachEnd<Pool>(pools, range, [&](Association_End<Pool>& pool, int index) {
            Array<int> rlus;
            (table.*kind.rlus)(index, rlus);
            for (std::size_t k = 0; k < rlus.size(); ++k) {
                for (int s = 0; s < int(table.getRluSluCount(rlus[k])); ++s) {
                    const std::uint16_t number = table.getRluSlun(rlus[k], s);
                    const int slu = number == Map::NONE ? -1 : table.searchSlunFromSluTable(number);
                    if (slu < 0 || table.getLuType(slu) != THIN_VOLUME)
                        continue;
                    Volume volume = Volume::build(volumes, slu);
                    if (volume.failed())
                        return false;
                    if (volume.built())
                        emitDependency(frame, pool.copy(), volume.release());
                }
            }
            return true;
        });
    });
}

// One thin volume source with the pool of the kind its RAID group is in.
template <class Pool, class Resource>
bool volumePool(Frame& frame, const VELDARO_RefTable& table, const Pool_Kind<Pool, Resource>& kind, int slu)
{
    const int rlu = table.searchRlunFromRluTable(table.getSluRlun(slu));
    if (rlu < 0 || !(table.*kind.inMode)(rlu))
        return true;
    const std::uint16_t number = table.getRluPoolNumber(rlu);
    const int index = number == Map::NONE ? -1 : table.searchPoolNoFromTppTable(number);
    if (index < 0)
        return true;
    VELDARO_StorageVolume_Resource volumes(frame.storage());
    Volume volume = Volume::build(volumes, slu);
    if (volume.failed())
        return false;
    auto pool = Association_End<Pool>::build(Resource(frame.storage()), index);
    if (pool.failed())
        return false;
    if (volume.built() && pool.built())
        emitDependency(frame, pool.release(), volume.release());
    return true;
}

bool volumeDependencies(Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        const char* key = Common::keyText(source, "DeviceID");
        std::uint8_t type = 0;
        std::uint16_t number = 0;
        if (!key || !VELDARO_StorageVolume_Resource::divide_DeviceID(key, &type, &number))
            return true;
        VELDARO_RefTable table(frame.storage().c_str());
        const int slu = table.searchLunByLuTypeFromSluTable(type, number);
        if (slu < 0)
            return true;
        if (!volumeExtents(frame, table, slu))
            return false;
        return type != THIN_VOLUME || (volumePool(frame, table, THIN_POOL, slu) && volumePool(frame, table, SUB_POOL, slu));
    });
}

// The privilege a privilege source names, as built from the tables.
Association_End<VELDARO_AuthorizedPrivilege> privilegeOf(Frame& frame, const Instance* source)
{
    VELDARO_RefTable table(frame.storage().c_str());
    View::Binding b;
    if (!View::privilegeOf(table, source, b))
        return Association_End<VELDARO_AuthorizedPrivilege>::nothing();
    return Association_End<VELDARO_AuthorizedPrivilege>::build(VELDARO_AuthorizedPrivilege_Resource(frame.storage()),
                                                                b.affinity, b.port.cm, b.port.ca, b.port.port, b.host);
}

// The identifier a hardware ID source names, as built from the tables.
Association_End<VELDARO_StorageHardwareID> identifierOf(Frame& frame, const Instance* source)
{
    VELDARO_RefTable table(frame.storage().c_str());
    View::Binding b;
    if (!View::identifierOf(table, source, b))
        return Association_End<VELDARO_StorageHardwareID>::nothing();
    return Association_End<VELDARO_StorageHardwareID>::build(VELDARO_StorageHardwareID_Resource(frame.storage()),
                                                              b.idType, b.host);
}

// The controller an affinity-group controller source names.
Association_End<VELDARO_AffinityGroupController> controllerOf(Frame& frame, const Instance* source)
{
    VELDARO_RefTable table(frame.storage().c_str());
    View::Binding b;
    if (!View::controllerOf(table, source, b))
        return Association_End<VELDARO_AffinityGroupController>::nothing();
    return Association_End<VELDARO_AffinityGroupController>::build(
        VELDARO_AffinityGroupController_Resource(frame.storage()), b.affinity, b.port.cm, b.port.ca, b.port.port);
}

using CCS = VELDARO_ControllerConfigurationService_Resource;
using SHIMS = VELDARO_StorageHardwareIDManagementService_Resource;
using PMS = VELDARO_PrivilegeManagementService_Resource;

int tppIndex(const VELDARO_RefTable& table, const Instance* source, bool (*divide)(const char*, std::uint16_t*))
{
    const char* key = Common::keyText(source, "InstanceID");
    std::uint16_t pool = 0;
    return key && divide(key, &pool) ? table.searchPoolNoFromTppTable(pool) : -1;
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_ControllerConfigurationService::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return configurationControllers(frame); }},
    {&VELDARO_StorageHardwareIDManagementService::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return managementIdentifiers(frame, true, true); }},
    {&VELDARO_PrivilegeManagementService::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return managementPrivileges(frame); }},
    {&VELDARO_AffinityGroupController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return managedByService(frame, &CCS::createControllerConfigurationService,
                                 [&] { return controllerOf(frame, source); });
     }},
    {&VELDARO_LUNMappingController::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return listedByService(frame, &CCS::createControllerConfigurationService,
                                &VELDARO_LUNMappingController_Resource::createLUNMappingController, source, "DeviceID");
     }},
    {&VELDARO_StorageHardwareID::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return managedByService(frame, &SHIMS::createStorageHardwareIDManagementService,
                                 [&] { return identifierOf(frame, source); });
     }},
    {&VELDARO_AuthorizedPrivilege::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return managedByService(frame, &PMS::createPrivilegeManagementService,
                                 [&] { return privilegeOf(frame, source); });
     }},
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return extentVolumes(frame, disk); }},
    {&VELDARO_StorageVolume::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) { return volumeDependencies(frame, source); }},
    {&VELDARO_DefaultStorageHardwareID::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return listedByService(frame, &SHIMS::createStorageHardwareIDManagementService,
                                &VELDARO_DefaultStorageHardwareID_Resource::createDefaultStorageHardwareID, source,
                                "InstanceID");
     }},
    {&VELDARO_DefaultAuthorizedPrivilege::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return listedByService(frame, &PMS::createPrivilegeManagementService,
                                &VELDARO_DefaultAuthorizedPrivilege_Resource::createDefaultAuthorizedPrivilege, source,
                                "InstanceID");
     }},
    {&VELDARO_ThinProvisioningPool::static_meta_class, Common::BY_INSTANCE_ID,
     [](const VELDARO_RefTable& table, const Instance* source) {
         return tppIndex(table, source, &VELDARO_ThinProvisioningPool_Resource::divide_InstanceID);
     },
     [](Frame& frame, const Instance*, int pool) { return poolsVolumes(frame, THIN_POOL, pool); }},
    {&VELDARO_LayerixSubPool::static_meta_class, Common::BY_INSTANCE_ID,
     [](const VELDARO_RefTable& table, const Instance* source) {
         return tppIndex(table, source, &VELDARO_LayerixSubPool_Resource::divide_InstanceID);
     },
     [](Frame& frame, const Instance*, int pool) { return poolsVolumes(frame, SUB_POOL, pool); }},
};

}  // namespace

CIM_ConcreteDependency_Provider::CIM_ConcreteDependency_Provider() {}
CIM_ConcreteDependency_Provider::~CIM_ConcreteDependency_Provider() {}

bool CIM_ConcreteDependency_Provider::_enumPairs()
{
    return configurationControllers(*this) && managementIdentifiers(*this, true, true) &&
           managementPrivileges(*this) && extentsVolumes(*this) && poolsVolumes(*this, THIN_POOL, -1) &&
           poolsVolumes(*this, SUB_POOL, -1);
}

int CIM_ConcreteDependency_Provider::_request(const Instance* source) { return route(source, ROUTES); }

}  // namespace cimple
