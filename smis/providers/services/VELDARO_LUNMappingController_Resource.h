#pragma once
// Builds VELDARO_LUNMappingController: one protocol controller per active
// port in LUN-mapping mode (the port's default view).

#include <cimple/cimple.h>

#include <cstdint>

#include "Element_List_Resource.h"
#include "VELDARO_LUNMappingController.h"

namespace cimple {

class VELDARO_LUNMappingController_Resource : public Element_List_Resource<VELDARO_LUNMappingController> {
public:
    explicit VELDARO_LUNMappingController_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createLUNMappingController();

    void setLUNMappingController(VELDARO_LUNMappingController* instance, std::uint8_t moduleId,
                                 std::uint8_t portNo, const char* alias, const char* name,
                                 std::uint16_t nameFormat);

    // A key-only instance; 0, or 1 when it cannot be made.
    int setKeyProperties(VELDARO_LUNMappingController* instance, std::uint8_t moduleId, std::uint8_t portNo);

    // "LM_CM%02dCA%02dP%02d": true when all three numbers are read.
    static bool divide_DeviceID(const char* key, std::uint16_t* cm, std::uint16_t* ca, std::uint16_t* port);
};

}  // namespace cimple
