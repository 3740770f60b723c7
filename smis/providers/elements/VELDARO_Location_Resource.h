#pragma once
// Builds VELDARO_Location: where an array stands, one instance per array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_Location.h"

namespace cimple {

class VELDARO_Location_Resource : public Element_List_Resource<VELDARO_Location> {
public:
    explicit VELDARO_Location_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure, 2 the array's table image is not valid. A position
    // text that is missing, empty or blank is published as "N/A".
    int createLocation();

    // Fills the location of that array at that position; 0.
    int setLocation(VELDARO_Location* instance, const String& storage, const String& position);
};

}  // namespace cimple
