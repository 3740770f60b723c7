// The storage system of an array with every pool it hosts: primordial,
// RAID, SDPV, snapshot data, thin-provisioning, tiering and tiering
// sub-pools.

#include "CIM_HostedStoragePool_Provider.h"

#include <utility>

#include "Association_End.h"
#include "CIM_HostedStoragePool.h"
#include "Fixed_End_Walk.h"
#include "Key_Index.h"
#include "Table_Entries.h"
#include "VELDARO_LayerixPool_Resource.h"
#include "VELDARO_LayerixSubPool_Resource.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_SDPVPool_Resource.h"
#include "VELDARO_SnapDataPool_Resource.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

// All pairs (the system is the source or the array is enumerated), or the
// one pool given by the source.
enum class Form { ALL, ONE };

// The end a request hands on: the system when a pool is the source.
Fixed_End_Walk::Far farOf(Form form)
{
    return form == Form::ONE ? Fixed_End_Walk::Far::FIXED : Fixed_End_Walk::Far::WALKED;
}

// The array's storage system with each pool that build(i) gives for i in
// range; false when a build fails.
template <class Model, class Build>
bool hostPools(Frame& frame, Form form, Index_Range range, Build build)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        return Fixed_End_Walk::pairs<CIM_HostedStoragePool, Model>(
            frame, firstListed(systems), Fixed_End_Walk::Fixed::FIRST, range, farOf(form), true, build);
    });
}

// Pools built by table index: every index below count, or the given one.
template <class Resource, class Model>
bool hostIndexedPools(Frame& frame, Form form, int entry, int count)
{
    Resource pools(frame.storage());
    return hostPools<Model>(frame, form, form == Form::ONE ? Index_Range{entry, entry + 1} : Index_Range::all(count),
                            Association_End<Model>::byIndex(pools));
}

// The array's storage system with each pool of a list builder that
// accept(pool) takes, both cloned.
template <class Resource, class Accept>
bool hostListedPools(Frame& frame, Form form, int (Resource::*build)(), Accept accept)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        VELDARO_StorageComputerSystem* system = firstListed(systems);
        if (!system)
            return true;
        Resource pools(frame.storage());
        return eachListed(pools, build, [&](auto* pool) {
            if (accept(*pool))
                frame.emit<CIM_HostedStoragePool>(clone(system), clone(pool),
                                                  form == Form::ONE ? static_cast<Instance*>(system) : pool);
            return true;
        });
    });
}

int rluCount(const String& storage)
{
    return static_cast<int>(VELDARO_RefTable(storage.c_str()).getRLUMaxCount());
}

int sluCount(const String& storage)
{
    return static_cast<int>(VELDARO_RefTable(storage.c_str()).getSLUMaxCount());
}

// The first primordial pool only.
bool hostPrimordialStoragePool(Frame& frame, Form form)
{
    bool first = true;
    return hostListedPools(frame, form, &VELDARO_PrimordialStoragePool_Resource::createPrimordialStoragePool,
                           [&](const VELDARO_PrimordialStoragePool&) { return std::exchange(first, false); });
}

bool hostSnapDataPools(Frame& frame, Form form, const String& instanceId)
{
    return hostListedPools(
        frame, form, &VELDARO_SnapDataPool_Resource::createSnapDataPool, [&](const VELDARO_SnapDataPool& pool) {
            return form == Form::ALL || (!pool.InstanceID.null && pool.InstanceID.value == instanceId);
        });
}

bool hostRAIDStoragePools(Frame& frame)
{
    return hostIndexedPools<VELDARO_RAIDStoragePool_Resource, VELDARO_RAIDStoragePool>(frame, Form::ALL, 0,
                                                                                      rluCount(frame.storage()));
}

bool hostRAIDStoragePool(Frame& frame, int rlu)
{
    return hostIndexedPools<VELDARO_RAIDStoragePool_Resource, VELDARO_RAIDStoragePool>(frame, Form::ONE, rlu, 0);
}

bool hostSDPVPools(Frame& frame, Form form, int slu)
{
    return hostIndexedPools<VELDARO_SDPVPool_Resource, VELDARO_SDPVPool>(frame, form, slu, sluCount(frame.storage()));
}

bool hostThinProvisioningPools(Frame& frame, Form form, int tpp)
{
    return hostIndexedPools<VELDARO_ThinProvisioningPool_Resource, VELDARO_ThinProvisioningPool>(
        frame, form, tpp, Table_Entries::THIN_POOLS);
}

bool hostLayerixPools(Frame& frame, Form form, int lxrp)
{
    return hostIndexedPools<VELDARO_LayerixPool_Resource, VELDARO_LayerixPool>(frame, form, lxrp,
                                                                               Table_Entries::LAYERIX_POOLS);
}

bool hostLayerixSubPools(Frame& frame, Form form, int tpp)
{
    return hostIndexedPools<VELDARO_LayerixSubPool_Resource, VELDARO_LayerixSubPool>(frame, form, tpp,
                                                                                     Table_Entries::THIN_POOLS);
}

bool hostEveryPool(Frame& frame)
{
    return hostPrimordialStoragePool(frame, Form::ALL) && hostRAIDStoragePools(frame) &&
           hostSDPVPools(frame, Form::ALL, 0) && hostSnapDataPools(frame, Form::ALL, String()) &&
           hostThinProvisioningPools(frame, Form::ALL, 0) && hostLayerixPools(frame, Form::ALL, 0) &&
           hostLayerixSubPools(frame, Form::ALL, 0);
}

using Find = int (VELDARO_RefTable::*)(std::uint16_t) const;
constexpr Find RLU = &VELDARO_RefTable::searchRlunFromRluTable;
constexpr Find TPP = &VELDARO_RefTable::searchPoolNoFromTppTable;
constexpr Find LXRP = &VELDARO_RefTable::searchPoolNoFromLxrpTable;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_StorageComputerSystem::static_meta_class, Common::BY_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return hostEveryPool(frame); }},
    {&VELDARO_PrimordialStoragePool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return hostPrimordialStoragePool(frame, Form::ONE); }},
    {&VELDARO_RAIDStoragePool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_RAIDStoragePool_Resource::divide_InstanceID, RLU, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int rlu) { return hostRAIDStoragePool(frame, rlu); }},
    {&VELDARO_SDPVPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::snapDataVolume<&VELDARO_SDPVPool_Resource::divide_InstanceID, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int slu) { return hostSDPVPools(frame, Form::ONE, slu); }},
    {&VELDARO_SnapDataPool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return hostSnapDataPools(frame, Form::ONE, *Common::stringValue(source, "InstanceID"));
     }},
    {&VELDARO_ThinProvisioningPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_ThinProvisioningPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return hostThinProvisioningPools(frame, Form::ONE, tpp); }},
    {&VELDARO_LayerixPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixPool_Resource::divide_InstanceID, LXRP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int lxrp) { return hostLayerixPools(frame, Form::ONE, lxrp); }},
    {&VELDARO_LayerixSubPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixSubPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return hostLayerixSubPools(frame, Form::ONE, tpp); }},
};

}  // namespace

CIM_HostedStoragePool_Provider::CIM_HostedStoragePool_Provider() {}

CIM_HostedStoragePool_Provider::~CIM_HostedStoragePool_Provider() {}

bool CIM_HostedStoragePool_Provider::_enumPairs()
{
    return hostEveryPool(*this);
}

int CIM_HostedStoragePool_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
