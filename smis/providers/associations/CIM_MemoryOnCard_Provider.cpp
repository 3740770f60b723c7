// The memories each controller card carries: every memory of the card's
// controller module.

#include "CIM_MemoryOnCard_Provider.h"

#include "Association_End.h"
#include "CIM_MemoryOnCard.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerCard_Resource.h"
#include "VELDARO_PhysicalMemory.h"
#include "VELDARO_PhysicalMemory_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool cardMemories(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_PhysicalMemory_Resource memories(frame.storage());
        if (!buildList(memories, &VELDARO_PhysicalMemory_Resource::createPhysicalMemory))
            return false;
        if (listedOf(memories).size() == 0)
            return true;
        VELDARO_ControllerCard_Resource cards(frame.storage());
        if (!buildList(cards, &VELDARO_ControllerCard_Resource::createControllerModuleCard))
            return false;
        Walk::allMatching<CIM_MemoryOnCard>(
            frame, listedOf(cards), listedOf(memories),
            [](const VELDARO_ControllerCard& card, const VELDARO_PhysicalMemory& memory) {
                return memory.CMSlotNumber.value == card.CMSlotNumber.value;
            });
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
