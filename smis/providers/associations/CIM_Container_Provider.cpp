// The SFP modules each channel-adapter card holds: every SFP whose
// controller module and channel-adapter numbers are the card's.

#include "CIM_Container_Provider.h"

#include "CIM_Container.h"
#include "Physical_Package_Walks.h"
#include "VELDARO_ChannelAdapterCard.h"
#include "VELDARO_ChannelAdapterCard_Resource.h"
#include "VELDARO_SFP.h"
#include "VELDARO_SFP_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

bool containSFPs(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SFP_Resource sfps(frame.storage());
        if (sfps.createSFP() == 1)
            return false;
        if (sfps.list().size() == 0)
            return true;
        VELDARO_ChannelAdapterCard_Resource cards(frame.storage());
        if (cards.createChannelAdapterCard() == 1)
            return false;
        for (std::size_t c = 0; c < cards.list().size(); ++c) {
            const VELDARO_ChannelAdapterCard* card = cards.list()[c];
            if (!card)
                continue;
            for (std::size_t s = 0; s < sfps.list().size(); ++s) {
                const VELDARO_SFP* sfp = sfps.list()[s];
                if (sfp && packaging::sameNumber(sfp->CMSlotNumber, card->CMSlotNumber) &&
                    packaging::sameNumber(sfp->CASlotNumber, card->CASlotNumber))
                    frame.addClones<CIM_Container>(card, sfp);
            }
        }
        return true;
    });
}

}  // namespace

CIM_Container_Provider::CIM_Container_Provider() : Association_Map_Frame(&CIM_Container::static_meta_class) {}

CIM_Container_Provider::~CIM_Container_Provider() {}

bool CIM_Container_Provider::_enumPairs()
{
    return containSFPs(*this);
}

}  // namespace cimple
