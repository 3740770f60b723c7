// The storage system of an array with every pool it hosts: primordial,
// RAID, SDPV, snapshot data, thin-provisioning, tiering and tiering
// sub-pools.

#include "CIM_HostedStoragePool_Provider.h"

#include <new>

#include "CIM_HostedStoragePool.h"
#include "VELDARO_LayerixPool_Resource.h"
#include "VELDARO_LayerixSubPool_Resource.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_SDPVPool_Resource.h"
#include "VELDARO_SnapDataPool_Resource.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"
#include "Table_Entries.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

constexpr std::uint8_t LU_SDP = 7;

// All pairs (the system is the source or the array is enumerated), or the
// one pool given by the source.
enum class Form { ALL, ONE };

void emit(Frame& frame, Instance* system, Instance* pool, Instance* far)
{
    Instance* made = Common::newAssociation(&CIM_HostedStoragePool::static_meta_class, system, pool);
    if (!made)
        throw std::bad_alloc();
    frame.deliver(made, far, true);
}

// The array's storage system: 1 failure, 0 with the first listed system
// (null when the list is empty).
int hostOf(VELDARO_StorageComputerSystem_Resource& systems, VELDARO_StorageComputerSystem*& system)
{
    system = nullptr;
    if (systems.createStorageComputerSystem() == 1)
        return 1;
    if (systems.list().size() > 0)
        system = systems.list()[0];
    return 0;
}

// Pools built by table index: every index below count, or the given one.
template <class Resource, class Model>
bool hostIndexedPools(Frame& frame, Form form, int entry, int count)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        VELDARO_StorageComputerSystem* system = nullptr;
        if (hostOf(systems, system) != 0)
            return false;
        if (!system)
            return true;
        Resource pools(frame.storage());
        const int begin = form == Form::ONE ? entry : 0;
        const int end = form == Form::ONE ? entry + 1 : count;
        for (int i = begin; i < end; ++i) {
            Model* made = nullptr;
            if (pools.createInstance(made, i) != 0)
                return false;
            Owned<Model> pool(made);
            if (!pool)
                continue;
            Instance* far = form == Form::ONE ? static_cast<Instance*>(system) : pool.get();
            emit(frame, clone(system), pool.release(), far);
        }
        return true;
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

bool hostPrimordialStoragePool(Frame& frame, Form form)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        VELDARO_StorageComputerSystem* system = nullptr;
        if (hostOf(systems, system) != 0)
            return false;
        if (!system)
            return true;
        VELDARO_PrimordialStoragePool_Resource pools(frame.storage());
        if (pools.createPrimordialStoragePool() == 1)
            return false;
        if (pools.list().size() == 0 || !pools.list()[0])
            return true;
        VELDARO_PrimordialStoragePool* pool = pools.list()[0];
        emit(frame, clone(system), clone(pool), form == Form::ONE ? static_cast<Instance*>(system) : pool);
        return true;
    });
}

bool hostSnapDataPools(Frame& frame, Form form, const String& instanceId)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        VELDARO_StorageComputerSystem* system = nullptr;
        if (hostOf(systems, system) != 0)
            return false;
        if (!system)
            return true;
        VELDARO_SnapDataPool_Resource pools(frame.storage());
        if (pools.createSnapDataPool() == 1)
            return false;
        for (std::size_t i = 0; i < pools.list().size(); ++i) {
            VELDARO_SnapDataPool* pool = pools.list()[i];
            if (!pool)
                continue;
            if (form == Form::ONE && (pool->InstanceID.null || !(pool->InstanceID.value == instanceId)))
                continue;
            emit(frame, clone(system), clone(pool), form == Form::ONE ? static_cast<Instance*>(system) : pool);
        }
        return true;
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
    return hostIndexedPools<VELDARO_ThinProvisioningPool_Resource, VELDARO_ThinProvisioningPool>(frame, form, tpp,
                                                                                                Table_Entries::THIN_POOLS);
}

bool hostLayerixPools(Frame& frame, Form form, int lxrp)
{
    return hostIndexedPools<VELDARO_LayerixPool_Resource, VELDARO_LayerixPool>(frame, form, lxrp, Table_Entries::LAYERIX_POOLS);
}

bool hostLayerixSubPools(Frame& frame, Form form, int tpp)
{
    return hostIndexedPools<VELDARO_LayerixSubPool_Resource, VELDARO_LayerixSubPool>(frame, form, tpp, Table_Entries::THIN_POOLS);
}

bool hostEveryPool(Frame& frame)
{
    return hostPrimordialStoragePool(frame, Form::ALL) && hostRAIDStoragePools(frame) &&
           hostSDPVPools(frame, Form::ALL, 0) && hostSnapDataPools(frame, Form::ALL, String()) &&
           hostThinProvisioningPools(frame, Form::ALL, 0) && hostLayerixPools(frame, Form::ALL, 0) &&
           hostLayerixSubPools(frame, Form::ALL, 0);
}

// The number a pool key parser reads from InstanceID; false when it does
// not parse.
template <class Resource>
bool poolNumber(const Instance* source, std::uint16_t& number)
{
    const String* id = Common::stringValue(source, "InstanceID");
    return id && Resource::divide_InstanceID(id->c_str(), &number);
}

}  // namespace

CIM_HostedStoragePool_Provider::CIM_HostedStoragePool_Provider() {}

CIM_HostedStoragePool_Provider::~CIM_HostedStoragePool_Provider() {}

bool CIM_HostedStoragePool_Provider::_enumPairs()
{
    return hostEveryPool(*this);
}

int CIM_HostedStoragePool_Provider::_request(const Instance* source)
{
    String address;
    if (Common::isOf(source, VELDARO_StorageComputerSystem::static_meta_class)) {
        if (!Common::storageFromProperty(source, "Name", address))
            return 0;
        return onStorage(address, [&](VELDARO_RefTable&) { return hostEveryPool(*this); });
    }
    const Meta_Class* const pools[] = {
        &VELDARO_PrimordialStoragePool::static_meta_class, &VELDARO_RAIDStoragePool::static_meta_class,
        &VELDARO_SDPVPool::static_meta_class,              &VELDARO_SnapDataPool::static_meta_class,
        &VELDARO_ThinProvisioningPool::static_meta_class,  &VELDARO_LayerixPool::static_meta_class,
        &VELDARO_LayerixSubPool::static_meta_class,
    };
    const Meta_Class* kind = nullptr;
    for (const Meta_Class* mc : pools)
        if (!kind && Common::isOf(source, *mc))
            kind = mc;
    if (!kind)
        return Common::checkProviderClass(source);
    if (!Common::storageFromKeySuffix(source, "InstanceID", address))
        return 0;
    return onStorage(address, [&](VELDARO_RefTable& table) {
        std::uint16_t number = 0;
        if (kind == &VELDARO_PrimordialStoragePool::static_meta_class)
            return hostPrimordialStoragePool(*this, Form::ONE);
        if (kind == &VELDARO_RAIDStoragePool::static_meta_class) {
            const int rlu = poolNumber<VELDARO_RAIDStoragePool_Resource>(source, number)
                                ? table.searchRlunFromRluTable(number)
                                : -1;
            return rlu < 0 || hostRAIDStoragePool(*this, rlu);
        }
        if (kind == &VELDARO_SDPVPool::static_meta_class) {
            const int slu = poolNumber<VELDARO_SDPVPool_Resource>(source, number)
                                ? table.searchLunByLuTypeFromSluTable(LU_SDP, number)
                                : -1;
            return slu < 0 || hostSDPVPools(*this, Form::ONE, slu);
        }
        if (kind == &VELDARO_SnapDataPool::static_meta_class)
            return hostSnapDataPools(*this, Form::ONE, *Common::stringValue(source, "InstanceID"));
        if (kind == &VELDARO_ThinProvisioningPool::static_meta_class) {
            const int tpp = poolNumber<VELDARO_ThinProvisioningPool_Resource>(source, number)
                                ? table.searchPoolNoFromTppTable(number)
                                : -1;
            return tpp < 0 || hostThinProvisioningPools(*this, Form::ONE, tpp);
        }
        if (kind == &VELDARO_LayerixPool::static_meta_class) {
            const int lxrp = poolNumber<VELDARO_LayerixPool_Resource>(source, number)
                                 ? table.searchPoolNoFromLxrpTable(number)
                                 : -1;
            return lxrp < 0 || hostLayerixPools(*this, Form::ONE, lxrp);
        }
        const int tpp = poolNumber<VELDARO_LayerixSubPool_Resource>(source, number)
                            ? table.searchPoolNoFromTppTable(number)
                            : -1;
        return tpp < 0 || hostLayerixSubPools(*this, Form::ONE, tpp);
    });
}

}  // namespace cimple
