// The memories each controller card carries: every memory of the card's
// controller module.

#include "CIM_MemoryOnCard_Provider.h"

#include <new>

#include "CIM_MemoryOnCard.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerCard_Resource.h"
#include "VELDARO_PhysicalMemory.h"
#include "VELDARO_PhysicalMemory_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

void add(Association_Map_Frame& frame, const Instance* first, const Instance* second)
{
    Instance* made = Common::newAssociation(&CIM_MemoryOnCard::static_meta_class, clone(first), clone(second));
    if (!made)
        throw std::bad_alloc();
    frame.add(made);
}

bool cardMemories(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_PhysicalMemory_Resource memories(frame.storage());
        if (memories.createPhysicalMemory() == 1)
            return false;
        if (memories.list().size() == 0)
            return true;
        VELDARO_ControllerCard_Resource cards(frame.storage());
        if (cards.createControllerModuleCard() == 1)
            return false;
        for (std::size_t c = 0; c < cards.list().size(); ++c) {
            const VELDARO_ControllerCard* card = cards.list()[c];
            for (std::size_t m = 0; card && m < memories.list().size(); ++m) {
                const VELDARO_PhysicalMemory* memory = memories.list()[m];
                if (memory && memory->CMSlotNumber.value == card->CMSlotNumber.value)
                    add(frame, card, memory);
            }
        }
        return true;
    });
}

}  // namespace

CIM_MemoryOnCard_Provider::CIM_MemoryOnCard_Provider() : Association_Map_Frame(&CIM_MemoryOnCard::static_meta_class) {}

CIM_MemoryOnCard_Provider::~CIM_MemoryOnCard_Provider() {}

bool CIM_MemoryOnCard_Provider::_enumPairs()
{
    return cardMemories(*this);
}

}  // namespace cimple
