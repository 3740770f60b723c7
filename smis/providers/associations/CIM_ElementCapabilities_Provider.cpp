// Each managed element of an array with its capabilities: the storage
// system with its masking and iSCSI capabilities, the configuration service
// with the configuration and storage-replication capabilities, the
// replication service with its capabilities, every pool
// with the capabilities of its kind (RAID group, thin-provisioning and
// tiering sub-pools by RAID level), and every thin-provisioning pool also
// with the configuration capabilities.

#include "CIM_ElementCapabilities_Provider.h"

#include "Association_End.h"
#include "CIM_ElementCapabilities.h"
#include "Fixed_End_Walk.h"
#include "Key_Index.h"
#include "Setting_Match.h"
#include "Table_Entries.h"
#include "VELDARO_LayerixCapabilities_Resource.h"
#include "VELDARO_LayerixPool_Resource.h"
#include "VELDARO_LayerixSubCapabilities_Resource.h"
#include "VELDARO_LayerixSubPool_Resource.h"
#include "VELDARO_PrimordialStorageCapabilities_Resource.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"
#include "VELDARO_ProtocolControllerMaskingCapabilities_Resource.h"
#include "VELDARO_RAIDStorageCapabilities_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_ReplicationServiceCapabilities_Resource.h"
#include "VELDARO_ReplicationService_Resource.h"
#include "VELDARO_SDPVCapabilities_Resource.h"
#include "VELDARO_SDPVPool_Resource.h"
#include "VELDARO_SnapDataCapabilities_Resource.h"
#include "VELDARO_SnapDataPool_Resource.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_StorageConfigurationCapabilities_Resource.h"
#include "VELDARO_StorageConfigurationService_Resource.h"
#include "VELDARO_StorageReplicationCapabilities_Resource.h"
#include "VELDARO_ThinProvisioningCapabilities_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"
#include "VELDARO_ValueConv.h"
#include "VELDARO_iSCSICapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Capable = CIM_ElementCapabilities;

// A request hands on the end that is not of the source's class; the far
// end goes out as built (null properties stay null).
void pair(Frame& frame, Instance* element, Instance* capabilities)
{
    frame.emit<Capable>(element, capabilities, frame.otherEnd(element, capabilities), false);
}

// Which elements of the element list take part: its first one, or all.
enum class Elements { FIRST, ALL };
// Which capabilities of the capabilities list take part.
enum class Capabilities { FIRST, ALL };

// Which list is built first: an empty first list ends the row with no
// pair before the second is built.
enum class Built_First { ELEMENTS, CAPABILITIES };

// Elements of one list builder with capabilities of another, both cloned:
// the first element with the first capabilities (rows of singletons), the
// first element with every capabilities, or every element with the first
// capabilities.
template <class ER, class CR>
bool listedPairs(Frame& frame, int (ER::*elements)(), Elements whichElements, int (CR::*capabilities)(),
                 Capabilities whichCapabilities, Built_First first = Built_First::ELEMENTS)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        ER elementList(frame.storage());
        CR capabilitiesList(frame.storage());
        const auto elementsBuilt = [&] { return buildList(elementList, elements); };
        const auto capabilitiesBuilt = [&] { return buildList(capabilitiesList, capabilities); };
        if (first == Built_First::ELEMENTS) {
            if (!elementsBuilt())
                return false;
            if (listedOf(elementList).size() == 0)
                return true;
            if (!capabilitiesBuilt())
                return false;
        } else {
            if (!capabilitiesBuilt())
                return false;
            if (listedOf(capabilitiesList).size() == 0)
                return true;
            if (!elementsBuilt())
                return false;
        }
        auto& es = listedOf(elementList);
        auto& cs = listedOf(capabilitiesList);
        const std::size_t eCount = whichElements == Elements::FIRST ? std::min<std::size_t>(es.size(), 1) : es.size();
        const std::size_t cCount =
            whichCapabilities == Capabilities::FIRST ? std::min<std::size_t>(cs.size(), 1) : cs.size();
        for (std::size_t e = 0; e < eCount; ++e)
            for (std::size_t c = 0; es[e] && c < cCount; ++c)
                if (cs[c])
                    pair(frame, clone(es[e]), clone(cs[c]));
        return true;
    });
}

// Each pool built by index over range with the first listed capabilities.
template <class Pool, class PR, class CR>
bool indexedPoolsWithFirst(Frame& frame, Index_Range range, int (CR::*capabilities)())
{
    return Common::guard(__FILE__, __LINE__, [&] {
        CR capabilitiesList(frame.storage());
        if (!buildList(capabilitiesList, capabilities))
            return false;
        PR pools(frame.storage());
        return Fixed_End_Walk::pairs<Capable, Pool>(frame, firstListed(capabilitiesList),
                                                    Fixed_End_Walk::Fixed::SECOND, range,
                                                    Fixed_End_Walk::Far::OTHER_END, false,
                                                    Association_End<Pool>::byIndex(pools));
    });
}

// Capabilities by RAID level. While enumerating, and given the
// capabilities, each capabilities instance goes with every pool of the
// range whose level code equals its level's; a level the system does not
// know converts to code 0 and goes with the entries of code 0. Given a
// pool, the pool goes with the first capabilities of equal RaidLevel text.
using Level_Of = std::uint8_t (VELDARO_RefTable::*)(int) const;

template <class Pool, class PR, class CR>
bool poolsByLevel(Frame& frame, Index_Range range, int (CR::*capabilities)(), Level_Of levelOf)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        CR capabilitiesList(frame.storage());
        if (!buildList(capabilitiesList, capabilities))
            return false;
        auto& cs = listedOf(capabilitiesList);
        VELDARO_RefTable table(frame.storage().c_str());
        PR pools(frame.storage());
        for (std::size_t c = 0; c < cs.size(); ++c) {
            if (!cs[c] || cs[c]->RaidLevel.null)
                continue;
            const std::uint8_t code = VELDARO_ValueConv::convRaidLevelStringToRaidLevel(cs[c]->RaidLevel.value);
            const auto ofLevel = [&](int i) {
                return (table.*levelOf)(i) == code ? Association_End<Pool>::build(pools, i)
                                                   : Association_End<Pool>::nothing();
            };
            const bool ok = eachEnd<Pool>(range, ofLevel, [&](Association_End<Pool>& pool, int) {
                pair(frame, pool.release(), clone(cs[c]));
                return true;
            });
            if (!ok)
                return false;
        }
        return true;
    });
}

template <class Pool, class PR, class CR>
bool poolWithItsLevel(Frame& frame, int index, int (CR::*capabilities)())
{
    return Common::guard(__FILE__, __LINE__, [&] {
        CR capabilitiesList(frame.storage());
        if (!buildList(capabilitiesList, capabilities))
            return false;
        if (listedOf(capabilitiesList).size() == 0)
            return true;
        auto pool = Association_End<Pool>::build(PR(frame.storage()), index);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        auto& cs = listedOf(capabilitiesList);
        for (std::size_t c = 0; c < cs.size(); ++c)
            if (cs[c] && Setting_Match::SameRaidLevel()(*cs[c], *pool)) {
                pair(frame, pool.release(), clone(cs[c]));
                break;
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

// ---- the rows ----

bool systemMasking(Frame& frame)
{
    return listedPairs(frame, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem, Elements::FIRST,
                       &VELDARO_ProtocolControllerMaskingCapabilities_Resource::createProtocolControllerMaskingCapabilities,
                       Capabilities::FIRST);
}

bool systemISCSI(Frame& frame)
{
    return listedPairs(frame, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem, Elements::FIRST,
                       &VELDARO_iSCSICapabilities_Resource::createiSCSICapabilities, Capabilities::FIRST);
}

bool primordialPool(Frame& frame)
{
    return listedPairs(frame, &VELDARO_PrimordialStoragePool_Resource::createPrimordialStoragePool, Elements::FIRST,
                       &VELDARO_PrimordialStorageCapabilities_Resource::createPrimordialStorageCapabilities,
                       Capabilities::FIRST);
}

bool configurationService(Frame& frame)
{
    return listedPairs(frame, &VELDARO_StorageConfigurationService_Resource::createStorageConfigurationService,
                       Elements::FIRST,
                       &VELDARO_StorageConfigurationCapabilities_Resource::createStorageConfigurationCapabilities,
                       Capabilities::FIRST);
}

bool replicationService(Frame& frame)
{
    return listedPairs(frame, &VELDARO_ReplicationService_Resource::createReplicationService, Elements::FIRST,
                       &VELDARO_ReplicationServiceCapabilities_Resource::createReplicationServiceCapabilities,
                       Capabilities::FIRST);
}

bool configurationServiceReplication(Frame& frame)
{
    return listedPairs(frame, &VELDARO_StorageConfigurationService_Resource::createStorageConfigurationService,
                       Elements::FIRST,
                       &VELDARO_StorageReplicationCapabilities_Resource::createStorageReplicationCapabilities,
                       Capabilities::ALL);
}

bool snapDataPools(Frame& frame)
{
    return listedPairs(frame, &VELDARO_SnapDataPool_Resource::createSnapDataPool, Elements::ALL,
                       &VELDARO_SnapDataCapabilities_Resource::createSnapDataCapabilities, Capabilities::FIRST,
                       Built_First::CAPABILITIES);
}

bool raidPools(Frame& frame, Index_Range rlus)
{
    return poolsByLevel<VELDARO_RAIDStoragePool, VELDARO_RAIDStoragePool_Resource>(
        frame, rlus, &VELDARO_RAIDStorageCapabilities_Resource::createRAIDStorageCapabilities,
        &VELDARO_RefTable::getRaidLevel);
}

bool sdpvPools(Frame& frame, Index_Range slus)
{
    return indexedPoolsWithFirst<VELDARO_SDPVPool, VELDARO_SDPVPool_Resource>(
        frame, slus, &VELDARO_SDPVCapabilities_Resource::createSDPVCapabilities);
}

bool thinPoolsConfiguration(Frame& frame, Index_Range tpps)
{
    return indexedPoolsWithFirst<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(
        frame, tpps, &VELDARO_StorageConfigurationCapabilities_Resource::createStorageConfigurationCapabilities);
}

bool thinPools(Frame& frame, Index_Range tpps)
{
    return poolsByLevel<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(
        frame, tpps, &VELDARO_ThinProvisioningCapabilities_Resource::createThinProvisioningCapabilities,
        &VELDARO_RefTable::getTppRaidLevel);
}

bool layerixPools(Frame& frame, Index_Range lxrps)
{
    return indexedPoolsWithFirst<VELDARO_LayerixPool, VELDARO_LayerixPool_Resource>(
        frame, lxrps, &VELDARO_LayerixCapabilities_Resource::createLayerixCapabilities);
}

bool layerixSubPools(Frame& frame, Index_Range tpps)
{
    return poolsByLevel<VELDARO_LayerixSubPool, VELDARO_LayerixSubPool_Resource>(
        frame, tpps, &VELDARO_LayerixSubCapabilities_Resource::createLayerixSubCapabilities,
        &VELDARO_RefTable::getTppRaidLevel);
}

const Index_Range ALL_TPPS = Index_Range::all(Table_Entries::THIN_POOLS);
const Index_Range ALL_LXRPS = Index_Range::all(Table_Entries::LAYERIX_POOLS);

bool everyPair(Frame& frame)
{
    return systemMasking(frame) && primordialPool(frame) && configurationService(frame) &&
           raidPools(frame, Index_Range::all(rluCount(frame.storage()))) && systemISCSI(frame) &&
           replicationService(frame) && configurationServiceReplication(frame) && sdpvPools(frame, Index_Range::all(sluCount(frame.storage()))) &&
           snapDataPools(frame) && thinPoolsConfiguration(frame, ALL_TPPS) && thinPools(frame, ALL_TPPS) &&
           layerixPools(frame, ALL_LXRPS) && layerixSubPools(frame, ALL_TPPS);
}

using Find = int (VELDARO_RefTable::*)(std::uint16_t) const;
constexpr Find RLU = &VELDARO_RefTable::searchRlunFromRluTable;
constexpr Find TPP = &VELDARO_RefTable::searchPoolNoFromTppTable;
constexpr Find LXRP = &VELDARO_RefTable::searchPoolNoFromLxrpTable;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_StorageComputerSystem::static_meta_class, Common::BY_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return systemMasking(frame) && systemISCSI(frame); }},
    {&VELDARO_ProtocolControllerMaskingCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return systemMasking(frame); }},
    {&VELDARO_PrimordialStoragePool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return primordialPool(frame); }},
    {&VELDARO_PrimordialStorageCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return primordialPool(frame); }},
    {&VELDARO_StorageConfigurationService::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) {
         return configurationService(frame) && configurationServiceReplication(frame);
     }},
    {&VELDARO_StorageConfigurationCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) {
         return configurationService(frame) && thinPoolsConfiguration(frame, ALL_TPPS);
     }},
    {&VELDARO_RAIDStorageCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return raidPools(frame, Index_Range::all(rluCount(frame.storage()))); }},
    {&VELDARO_RAIDStoragePool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_RAIDStoragePool_Resource::divide_InstanceID, RLU, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int rlu) {
         return poolWithItsLevel<VELDARO_RAIDStoragePool, VELDARO_RAIDStoragePool_Resource>(
             frame, rlu, &VELDARO_RAIDStorageCapabilities_Resource::createRAIDStorageCapabilities);
     }},
    {&VELDARO_iSCSICapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return systemISCSI(frame); }},
    {&VELDARO_ReplicationService::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance*, int) { return replicationService(frame); }},
    {&VELDARO_ReplicationServiceCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return replicationService(frame); }},
    {&VELDARO_StorageReplicationCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return configurationServiceReplication(frame); }},
    {&VELDARO_SDPVCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return sdpvPools(frame, Index_Range::all(sluCount(frame.storage()))); }},
    {&VELDARO_SDPVPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::snapDataVolume<&VELDARO_SDPVPool_Resource::divide_InstanceID, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int slu) {
         return sdpvPools(frame, Index_Range::one(slu, sluCount(frame.storage())));
     }},
    {&VELDARO_SnapDataCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return snapDataPools(frame); }},
    {&VELDARO_SnapDataPool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return snapDataPools(frame); }},
    {&VELDARO_ThinProvisioningPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_ThinProvisioningPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) {
         return thinPoolsConfiguration(frame, Index_Range::one(tpp, Table_Entries::THIN_POOLS)) &&
                poolWithItsLevel<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(
                    frame, tpp, &VELDARO_ThinProvisioningCapabilities_Resource::createThinProvisioningCapabilities);
     }},
    {&VELDARO_ThinProvisioningCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return thinPools(frame, ALL_TPPS); }},
    {&VELDARO_LayerixPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixPool_Resource::divide_InstanceID, LXRP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int lxrp) {
         return layerixPools(frame, Index_Range::one(lxrp, Table_Entries::LAYERIX_POOLS));
     }},
    {&VELDARO_LayerixSubPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixSubPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) {
         return poolWithItsLevel<VELDARO_LayerixSubPool, VELDARO_LayerixSubPool_Resource>(
             frame, tpp, &VELDARO_LayerixSubCapabilities_Resource::createLayerixSubCapabilities);
     }},
    {&VELDARO_LayerixCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return layerixPools(frame, ALL_LXRPS); }},
    {&VELDARO_LayerixSubCapabilities::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return layerixSubPools(frame, ALL_TPPS); }},
};

}  // namespace

CIM_ElementCapabilities_Provider::CIM_ElementCapabilities_Provider() {}

CIM_ElementCapabilities_Provider::~CIM_ElementCapabilities_Provider() {}

bool CIM_ElementCapabilities_Provider::_enumPairs()
{
    return everyPair(*this);
}

int CIM_ElementCapabilities_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
