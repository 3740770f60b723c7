#pragma once
// Builds VELDARO_ChannelAdapterSlot: the slot of every in-use channel
// adapter card, keyed CAS0x<module id>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "Element_List_Resource.h"
#include "VELDARO_ChannelAdapterSlot.h"

namespace cimple {

class VELDARO_ChannelAdapterSlot_Resource : public Element_List_Resource<VELDARO_ChannelAdapterSlot> {
public:
    explicit VELDARO_ChannelAdapterSlot_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createChannelAdapterSlot();

    // Fills a new instance; 0, or 1 after a failure (logged).
    int setChannelAdapterSlot(VELDARO_ChannelAdapterSlot* instance, std::uint8_t moduleId, const String& storage,
                              int operationalStatus);
};

}  // namespace cimple
