// The slot each disk, controller card and channel-adapter card sits in: a
// disk in the disk slot of its own disk entry, a card in the slot of equal
// controller module (and channel-adapter) number.

#include "CIM_PackageInSlot_Provider.h"

#include "Association_End.h"
#include "CIM_PackageInSlot.h"
#include "Occupied_Disk_Walk.h"
#include "Physical_Package_Walks.h"
#include "VELDARO_ChannelAdapterCard.h"
#include "VELDARO_ChannelAdapterCard_Resource.h"
#include "VELDARO_ChannelAdapterSlot.h"
#include "VELDARO_ChannelAdapterSlot_Resource.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerCard_Resource.h"
#include "VELDARO_ControllerSlot.h"
#include "VELDARO_ControllerSlot_Resource.h"
#include "VELDARO_DiskSlot.h"
#include "VELDARO_DiskSlot_Resource.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalDisk_Resource.h"

namespace cimple {

namespace {

using namespace packaging;

void emit(Frame& frame, Instance* slot, Instance* part, Instance* far)
{
    frame.emit<CIM_PackageInSlot>(slot, part, far, true);
}

bool fits(const VELDARO_ControllerSlot& slot, const VELDARO_ControllerCard& card)
{
    return sameNumber(slot.CMSlotNumber, card.CMSlotNumber);
}

bool fits(const VELDARO_ChannelAdapterSlot& slot, const VELDARO_ChannelAdapterCard& card)
{
    return sameNumber(slot.CMSlotNumber, card.CMSlotNumber) && sameNumber(slot.CASlotNumber, card.CASlotNumber);
}

// ---- disks ----

// Each occupied disk entry of the walk with the slot of the same entry:
// (slot, disk, disk).
bool slotPhysicalDisks(Frame& frame, int diskIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_DiskSlot_Resource slots(frame.storage());
        VELDARO_PhysicalDisk_Resource disks(frame.storage());
        return Occupied_Disk_Walk::each(frame, diskIndex, [&](Index_Range range) {
            for (int i = range.begin; i < range.end; ++i) {
                auto slot = Association_End<VELDARO_DiskSlot>::build(slots, i);
                if (slot.failed())
                    return false;
                if (!slot.built())
                    continue;
                VELDARO_PhysicalDisk* disk = nullptr;
                if (disks.createInstance(disk, i) != 0)
                    return false;
                if (!disk)
                    continue;
                emit(frame, slot.release(), disk, disk);
            }
            return true;
        });
    });
}

// The slot of one disk: (slot, disk, slot).
bool slotPhysicalDisk(Frame& frame, int diskIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        auto slot = Association_End<VELDARO_DiskSlot>::build(VELDARO_DiskSlot_Resource(frame.storage()), diskIndex);
        if (slot.failed())
            return false;
        if (!slot.built())
            return true;
        VELDARO_PhysicalDisk* disk = nullptr;
        if (VELDARO_PhysicalDisk_Resource(frame.storage()).createInstance(disk, diskIndex) != 0)
            return false;
        if (!disk)
            return true;
        Instance* far = slot.get();
        emit(frame, slot.release(), disk, far);
        return true;
    });
}

// ---- cards ----

// Every slot (or only the one whose Tag is slotTag) with the first card
// that fits it: (slot, card, card).
template <class Slot_Resource, class Card_Resource>
bool cardsInSlots(Frame& frame, int (Slot_Resource::*buildSlots)(), int (Card_Resource::*buildCards)(),
                  const char* slotTag)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        Card_Resource cards(frame.storage());
        if ((cards.*buildCards)() == 1)
            return false;
        if (cards.list().size() == 0)
            return true;
        Slot_Resource slots(frame.storage());
        if ((slots.*buildSlots)() == 1)
            return false;
        for (std::size_t s = 0; s < slots.list().size(); ++s) {
            const auto* slot = slots.list()[s];
            if (!slot || (slotTag && !sameTag(slot, slotTag)))
                continue;
            for (std::size_t c = 0; c < cards.list().size(); ++c) {
                const auto* card = cards.list()[c];
                if (card && fits(*slot, *card)) {
                    Instance* part = clone(card);
                    emit(frame, clone(slot), part, part);
                    break;
                }
            }
            if (slotTag)
                break;
        }
        return true;
    });
}

// The slot of the card whose Tag is cardTag: (slot, card, slot).
template <class Slot_Resource, class Card_Resource>
bool slotOfCard(Frame& frame, int (Slot_Resource::*buildSlots)(), int (Card_Resource::*buildCards)(),
                const char* cardTag)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        Slot_Resource slots(frame.storage());
        if ((slots.*buildSlots)() == 1)
            return false;
        if (slots.list().size() == 0)
            return true;
        Card_Resource cards(frame.storage());
        if ((cards.*buildCards)() == 1)
            return false;
        for (std::size_t c = 0; c < cards.list().size(); ++c) {
            const auto* card = cards.list()[c];
            if (!card || !sameTag(card, cardTag))
                continue;
            for (std::size_t s = 0; s < slots.list().size(); ++s) {
                const auto* slot = slots.list()[s];
                if (slot && fits(*slot, *card)) {
                    Instance* far = clone(slot);
                    emit(frame, far, clone(card), far);
                    break;
                }
            }
            break;
        }
        return true;
    });
}

bool slotControllerCards(Frame& frame, const char* slotTag = nullptr)
{
    return cardsInSlots(frame, &VELDARO_ControllerSlot_Resource::createControllerModuleSlot,
                        &VELDARO_ControllerCard_Resource::createControllerModuleCard, slotTag);
}

bool slotChannelAdapterCards(Frame& frame, const char* slotTag = nullptr)
{
    return cardsInSlots(frame, &VELDARO_ChannelAdapterSlot_Resource::createChannelAdapterSlot,
                        &VELDARO_ChannelAdapterCard_Resource::createChannelAdapterCard, slotTag);
}

bool slotControllerCard(Frame& frame, const char* cardTag)
{
    return slotOfCard(frame, &VELDARO_ControllerSlot_Resource::createControllerModuleSlot,
                      &VELDARO_ControllerCard_Resource::createControllerModuleCard, cardTag);
}

bool slotChannelAdapterCard(Frame& frame, const char* cardTag)
{
    return slotOfCard(frame, &VELDARO_ChannelAdapterSlot_Resource::createChannelAdapterSlot,
                      &VELDARO_ChannelAdapterCard_Resource::createChannelAdapterCard, cardTag);
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_DiskSlot::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_DiskSlot_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable>,
     [](Frame& frame, const Instance*, int disk) { return slotPhysicalDisks(frame, disk); }, ASK},
    {&VELDARO_PhysicalDisk::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_PhysicalDisk_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable>,
     [](Frame& frame, const Instance*, int disk) { return slotPhysicalDisk(frame, disk); }, ASK},
    {&VELDARO_ControllerSlot::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return slotControllerCards(frame, tagOf(source)); }, ASK},
    {&VELDARO_ControllerCard::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return slotControllerCard(frame, tagOf(source)); }, ASK},
    {&VELDARO_ChannelAdapterSlot::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return slotChannelAdapterCards(frame, tagOf(source)); }, ASK},
    {&VELDARO_ChannelAdapterCard::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return slotChannelAdapterCard(frame, tagOf(source)); }, ASK},
};

}  // namespace

CIM_PackageInSlot_Provider::CIM_PackageInSlot_Provider() {}

CIM_PackageInSlot_Provider::~CIM_PackageInSlot_Provider() {}

bool CIM_PackageInSlot_Provider::_enumPairs()
{
    return slotPhysicalDisks(*this, 0) && slotControllerCards(*this) && slotChannelAdapterCards(*this);
}

int CIM_PackageInSlot_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
