// The slots each enclosure carries: the disk slots of each drive enclosure,
// and the controller and channel-adapter slots of the controller enclosure.

#include "CIM_ConnectorOnPackage_Provider.h"

#include "CIM_ConnectorOnPackage.h"
#include "Physical_Package_Walks.h"
#include "VELDARO_ChannelAdapterSlot.h"
#include "VELDARO_ChannelAdapterSlot_Resource.h"
#include "VELDARO_ControllerSlot.h"
#include "VELDARO_ControllerSlot_Resource.h"
#include "VELDARO_DiskSlot.h"
#include "VELDARO_DiskSlot_Resource.h"

namespace cimple {

namespace {

using namespace packaging;

// The far end goes to an associators handler as built, its null flags
// untouched.
void emit(Frame& frame, Instance* package, Instance* connector, Instance* far)
{
    frame.emit<CIM_ConnectorOnPackage>(package, connector, far, false);
}

// The disk slots of the drive enclosures of the walk: (DE, slot, slot).
bool connectorDiskSlots(Frame& frame, int deIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_DiskSlot_Resource slots(frame.storage());
        return eachDriveEnclosure(frame, deIndex, [&](VELDARO_DeviceEnclosure* de, const VELDARO_RefTable& table,
                                                      int index, std::uint8_t deId) {
            return eachDiskOf(table, index, deId, [&](int disk) {
                VELDARO_DiskSlot* built = nullptr;
                if (slots.createInstance(built, disk) != 0)
                    return false;
                if (built)
                    emit(frame, clone(de), built, built);
                return true;
            });
        });
    });
}

// The drive enclosure of one disk slot: (DE, slot, DE).
bool connectorDiskSlot(Frame& frame, const VELDARO_RefTable& table, int diskIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return partWithDriveEnclosure<VELDARO_DiskSlot>(
            frame, table.getDiskItemId(diskIndex),
            [&](VELDARO_DiskSlot*& out) {
                return VELDARO_DiskSlot_Resource(frame.storage()).createInstance(out, diskIndex);
            },
            emit);
    });
}

template <class List_Resource>
bool listedSlots(Frame& frame, int (List_Resource::*build)(), const char* tag)
{
    return Common::guard(__FILE__, __LINE__,
                         [&] { return enclosureWithListed<List_Resource>(frame, build, tag, emit); });
}

bool connectorControllerSlots(Frame& frame, const char* tag = nullptr)
{
    return listedSlots(frame, &VELDARO_ControllerSlot_Resource::createControllerModuleSlot, tag);
}

bool connectorChannelAdapterSlots(Frame& frame, const char* tag = nullptr)
{
    return listedSlots(frame, &VELDARO_ChannelAdapterSlot_Resource::createChannelAdapterSlot, tag);
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_DeviceEnclosure::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_DeviceEnclosure_Resource::divide_Tag, &VELDARO_RefTable::searchDeIdFromDETable>,
     [](Frame& frame, const Instance*, int de) { return connectorDiskSlots(frame, de); }, ASK},
    {&VELDARO_DiskSlot::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_DiskSlot_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable>,
     [](Frame& frame, const Instance*, int disk) {
         return connectorDiskSlot(frame, VELDARO_RefTable(frame.storage().c_str()), disk);
     },
     ASK},
    {&VELDARO_ControllerEnclosure::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance*, int) {
         return connectorControllerSlots(frame) && connectorChannelAdapterSlots(frame);
     },
     ASK},
    {&VELDARO_ControllerSlot::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return connectorControllerSlots(frame, tagOf(source)); }, ASK},
    {&VELDARO_ChannelAdapterSlot::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return connectorChannelAdapterSlots(frame, tagOf(source)); }, ASK},
};

}  // namespace

CIM_ConnectorOnPackage_Provider::CIM_ConnectorOnPackage_Provider() {}

CIM_ConnectorOnPackage_Provider::~CIM_ConnectorOnPackage_Provider() {}

bool CIM_ConnectorOnPackage_Provider::_enumPairs()
{
    return connectorDiskSlots(*this, 0) && connectorControllerSlots(*this) && connectorChannelAdapterSlots(*this);
}

int CIM_ConnectorOnPackage_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
