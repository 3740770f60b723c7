// The parts each enclosure holds: the controller enclosure's controller and
// channel-adapter cards, power supplies, fans and batteries, and each drive
// enclosure's disks, power supplies and I/O modules.

#include "CIM_PackageInChassis_Provider.h"

#include "CIM_PackageInChassis.h"
#include "Physical_Package_Walks.h"
#include "VELDARO_BBU.h"
#include "VELDARO_BBU_Resource.h"
#include "VELDARO_ChannelAdapterCard.h"
#include "VELDARO_ChannelAdapterCard_Resource.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerCard_Resource.h"
#include "VELDARO_FAN.h"
#include "VELDARO_FAN_Resource.h"
#include "VELDARO_IOM.h"
#include "VELDARO_IOM_Resource.h"
#include "VELDARO_PSU.h"
#include "VELDARO_PSU_Resource.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalDisk_Resource.h"

namespace cimple {

namespace {

using namespace packaging;

void emit(Frame& frame, Instance* chassis, Instance* part, Instance* far)
{
    frame.emit<CIM_PackageInChassis>(chassis, part, far, true);
}

// ---- the controller enclosure's parts ----

template <class List_Resource>
bool listedParts(Frame& frame, int (List_Resource::*build)(), const char* tag)
{
    return Common::guard(__FILE__, __LINE__,
                         [&] { return enclosureWithListed<List_Resource>(frame, build, tag, emit); });
}

bool chassisControllerCards(Frame& frame, const char* tag = nullptr)
{
    return listedParts(frame, &VELDARO_ControllerCard_Resource::createControllerModuleCard, tag);
}

bool chassisChannelAdapterCards(Frame& frame, const char* tag = nullptr)
{
    return listedParts(frame, &VELDARO_ChannelAdapterCard_Resource::createChannelAdapterCard, tag);
}

bool chassisFANs(Frame& frame, const char* tag = nullptr)
{
    return listedParts(frame, &VELDARO_FAN_Resource::createFAN, tag);
}

bool chassisBBUs(Frame& frame, const char* tag = nullptr)
{
    return listedParts(frame, &VELDARO_BBU_Resource::createBBU, tag);
}

bool chassisControllerPSUs(Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ControllerEnclosure_Resource enclosures(frame.storage());
        VELDARO_ControllerEnclosure* ce = nullptr;
        if (!controllerEnclosure(enclosures, ce))
            return false;
        if (!ce)
            return true;
        VELDARO_PSU_Resource psus(frame.storage());
        for (int n = 0; n < VELDARO_PSU_Resource::CE_PSU_TABLE_SIZE; ++n) {
            VELDARO_PSU* built = nullptr;
            if (psus.createInstance(built, VELDARO_PSU_Resource::CE_PSU, n) != 0)
                return false;
            if (!built)
                continue;
            emit(frame, clone(ce), built, built);
        }
        return true;
    });
}

// The controller enclosure's power supply of one entry: (CE, PSU, CE).
bool chassisControllerPSU(Frame& frame, std::uint8_t kind, int index)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ControllerEnclosure_Resource enclosures(frame.storage());
        VELDARO_ControllerEnclosure* ce = nullptr;
        if (!controllerEnclosure(enclosures, ce))
            return false;
        if (!ce)
            return true;
        VELDARO_PSU* built = nullptr;
        if (VELDARO_PSU_Resource(frame.storage()).createInstance(built, kind, index) != 0)
            return false;
        if (!built)
            return true;
        Instance* enclosure = clone(ce);
        emit(frame, enclosure, built, enclosure);
        return true;
    });
}

// ---- the drive enclosures' parts ----

bool chassisPhysicalDisks(Frame& frame, int deIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_PhysicalDisk_Resource disks(frame.storage());
        return eachDriveEnclosure(frame, deIndex, [&](VELDARO_DeviceEnclosure* de, const VELDARO_RefTable& table,
                                                      int index, std::uint8_t deId) {
            return eachDiskOf(table, index, deId, [&](int disk) {
                VELDARO_PhysicalDisk* built = nullptr;
                if (disks.createInstance(built, disk) != 0)
                    return false;
                if (built)
                    emit(frame, clone(de), built, built);
                return true;
            });
        });
    });
}

// Entries 0..size-1 of a parts table that are in use and belong to the
// drive enclosure numbered deId, each built by build(out, entry).
template <class Model, class Build>
bool partsOfDriveEnclosures(Frame& frame, int deIndex, int size, std::uint32_t (VELDARO_RefTable::*itemId)(int) const,
                            std::uint16_t (VELDARO_RefTable::*status)(int) const, Build build)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return eachDriveEnclosure(frame, deIndex, [&](VELDARO_DeviceEnclosure* de, const VELDARO_RefTable& table, int,
                                                      std::uint8_t deId) {
            for (int entry = 0; entry < size; ++entry) {
                if ((table.*status)(entry) == 0 || (((table.*itemId)(entry) >> 8) & 0xFF) != deId)
                    continue;
                Model* built = nullptr;
                if (build(built, entry) != 0)
                    return false;
                if (built)
                    emit(frame, clone(de), built, built);
            }
            return true;
        });
    });
}

bool chassisDevicePSUs(Frame& frame, int deIndex)
{
    VELDARO_PSU_Resource psus(frame.storage());
    return partsOfDriveEnclosures<VELDARO_PSU>(
        frame, deIndex, VELDARO_PSU_Resource::DE_PSU_TABLE_SIZE, &VELDARO_RefTable::getDPSUItemId,
        &VELDARO_RefTable::getDPSUStatus,
        [&](VELDARO_PSU*& out, int entry) { return psus.createInstance(out, VELDARO_PSU_Resource::DE_PSU, entry); });
}

bool chassisIOMs(Frame& frame, int deIndex)
{
    VELDARO_IOM_Resource ioms(frame.storage());
    return partsOfDriveEnclosures<VELDARO_IOM>(
        frame, deIndex, VELDARO_IOM_Resource::EXP_TABLE_SIZE, &VELDARO_RefTable::getEXPItemId,
        &VELDARO_RefTable::getEXPStatus, [&](VELDARO_IOM*& out, int entry) { return ioms.createInstance(out, entry); });
}

// One part of a drive enclosure, given by its entry: (DE, part, DE).
template <class Model, class Build>
bool chassisOfPart(Frame& frame, std::uint32_t itemId, Build build)
{
    return Common::guard(__FILE__, __LINE__,
                         [&] { return partWithDriveEnclosure<Model>(frame, itemId, build, emit); });
}

bool chassisPhysicalDisk(Frame& frame, const VELDARO_RefTable& table, int index)
{
    return chassisOfPart<VELDARO_PhysicalDisk>(frame, table.getDiskItemId(index), [&](VELDARO_PhysicalDisk*& out) {
        return VELDARO_PhysicalDisk_Resource(frame.storage()).createInstance(out, index);
    });
}

bool chassisDevicePSU(Frame& frame, const VELDARO_RefTable& table, std::uint8_t kind, int index)
{
    return chassisOfPart<VELDARO_PSU>(frame, table.getDPSUItemId(index), [&](VELDARO_PSU*& out) {
        return VELDARO_PSU_Resource(frame.storage()).createInstance(out, kind, index);
    });
}

bool chassisIOM(Frame& frame, const VELDARO_RefTable& table, int index)
{
    return chassisOfPart<VELDARO_IOM>(frame, table.getEXPItemId(index), [&](VELDARO_IOM*& out) {
        return VELDARO_IOM_Resource(frame.storage()).createInstance(out, index);
    });
}

// A power supply source: the controller or drive enclosure it is in.
bool psuPairs(Frame& frame, const Instance* source, int)
{
    std::uint8_t psuKind = 0, deId = 0, number = 0;
    if (!VELDARO_PSU_Resource::divide_Tag(tagOf(source), &psuKind, &deId, &number))
        return true;
    VELDARO_RefTable table(frame.storage().c_str());
    if (psuKind == VELDARO_PSU_Resource::CE_PSU) {
        const int index = table.searchPSUNoFromCPSUTable(number);
        return index < 0 || chassisControllerPSU(frame, psuKind, index);
    }
    if (psuKind == VELDARO_PSU_Resource::DE_PSU) {
        const int index = table.searchDeIdAndPSUNoFromDPSUTable(deId, number);
        return index < 0 || chassisDevicePSU(frame, table, psuKind, index);
    }
    return true;
}

// The EXP index an I/O module's Tag names, or -1.
int iomIndex(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint8_t number = 0, deId = 0;
    return VELDARO_IOM_Resource::divide_Tag(tagOf(source), &number, &deId)
               ? table.searchDeIdAndEXPNoFromEXPTable(deId, number)
               : -1;
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_ControllerEnclosure::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance*, int) {
         return chassisControllerCards(frame) && chassisChannelAdapterCards(frame) && chassisControllerPSUs(frame) &&
                chassisFANs(frame) && chassisBBUs(frame);
     },
     ASK},
    {&VELDARO_ControllerCard::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return chassisControllerCards(frame, tagOf(source)); }, ASK},
    {&VELDARO_ChannelAdapterCard::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return chassisChannelAdapterCards(frame, tagOf(source)); }, ASK},
    {&VELDARO_PSU::static_meta_class, Common::BY_TAG, nullptr, psuPairs, ASK},
    {&VELDARO_DeviceEnclosure::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_DeviceEnclosure_Resource::divide_Tag, &VELDARO_RefTable::searchDeIdFromDETable>,
     [](Frame& frame, const Instance*, int de) {
         return chassisPhysicalDisks(frame, de) && chassisDevicePSUs(frame, de) && chassisIOMs(frame, de);
     },
     ASK},
    {&VELDARO_PhysicalDisk::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_PhysicalDisk_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable>,
     [](Frame& frame, const Instance*, int disk) {
         return chassisPhysicalDisk(frame, VELDARO_RefTable(frame.storage().c_str()), disk);
     },
     ASK},
    {&VELDARO_IOM::static_meta_class, Common::BY_TAG, iomIndex,
     [](Frame& frame, const Instance*, int exp) {
         return chassisIOM(frame, VELDARO_RefTable(frame.storage().c_str()), exp);
     },
     ASK},
    {&VELDARO_FAN::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return chassisFANs(frame, tagOf(source)); }, ASK},
    {&VELDARO_BBU::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return chassisBBUs(frame, tagOf(source)); }, ASK},
};

}  // namespace

CIM_PackageInChassis_Provider::CIM_PackageInChassis_Provider() {}

CIM_PackageInChassis_Provider::~CIM_PackageInChassis_Provider() {}

bool CIM_PackageInChassis_Provider::_enumPairs()
{
    return chassisControllerCards(*this) && chassisChannelAdapterCards(*this) && chassisControllerPSUs(*this) &&
           chassisPhysicalDisks(*this, 0) && chassisDevicePSUs(*this, 0) && chassisIOMs(*this, 0) &&
           chassisFANs(*this) && chassisBBUs(*this);
}

int CIM_PackageInChassis_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
