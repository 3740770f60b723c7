#pragma once
// Builds VELDARO_ChannelAdapterCard: one card per in-use channel adapter
// entry (entries whose module id has bit 3 set are not adapter cards),
// keyed CAC0x<module id>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "Element_List_Resource.h"
#include "VELDARO_ChannelAdapterCard.h"

namespace cimple {

class VELDARO_ChannelAdapterCard_Resource : public Element_List_Resource<VELDARO_ChannelAdapterCard> {
public:
    explicit VELDARO_ChannelAdapterCard_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createChannelAdapterCard();

    // Fills a new instance; 0, or 1 after a failure (logged).
    int setChannelAdapterCard(VELDARO_ChannelAdapterCard* instance, std::uint8_t moduleId, const String& storage,
                              int operationalStatus, const String& serialNumber, const String& revision,
                              const String& partNumber);
};

}  // namespace cimple
