#pragma once
// Builds VELDARO_LUNMappingController: one protocol controller per active
// port in LUN-mapping mode (the port's default view).

#include <cimple/cimple.h>

#include <cstdint>

#include "CA_Port_Name.h"
#include "Element_List_Resource.h"
#include "VELDARO_LUNMappingController.h"

namespace cimple {

class VELDARO_LUNMappingController_Resource : public Element_List_Resource<VELDARO_LUNMappingController> {
public:
    explicit VELDARO_LUNMappingController_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createLUNMappingController();
    // The same for the ports with the given numbers only (in a consistent
    // table one controller, or none); other ports are not read further.
    int createLUNMappingControllerOn(const CA_Port_Name& port);

    void setLUNMappingController(VELDARO_LUNMappingController* instance, std::uint8_t moduleId,
                                 std::uint8_t portNo, const char* alias, const char* name,
                                 std::uint16_t nameFormat);

    // A key-only instance; 0, or 1 when it cannot be made.
    int setKeyProperties(VELDARO_LUNMappingController* instance, std::uint8_t moduleId, std::uint8_t portNo);

    // "LM_CM%02dCA%02dP%02d": true when all three numbers are read.
    static bool divide_DeviceID(const char* key, std::uint16_t* cm, std::uint16_t* ca, std::uint16_t* port);

private:
    int build(const CA_Port_Name* only);
};

}  // namespace cimple
