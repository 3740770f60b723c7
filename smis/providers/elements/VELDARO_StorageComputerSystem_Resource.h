#pragma once
// Builds VELDARO_StorageComputerSystem: one instance per array, keyed by the
// array's address. Association providers and the configuration services use
// it to name the system end of their pairs.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_StorageComputerSystem.h"

namespace cimple {

class VELDARO_StorageComputerSystem_Resource : public Element_List_Resource<VELDARO_StorageComputerSystem> {
public:
    explicit VELDARO_StorageComputerSystem_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createStorageComputerSystem();

    int setStorageComputerSystem(VELDARO_StorageComputerSystem* instance, int first, int second,
                                 const String& productId, const String& serialNumber, const String& friendlyName,
                                 const String& nodeWwn, unsigned int updateCount, const String& managerName);

    // The OperationalStatus of an array-wide status pair: the first code,
    // then the second when it is at least 1 and differs from the first.
    static Array<uint16> operationalStatusOf(int first, int second);
};

}  // namespace cimple
