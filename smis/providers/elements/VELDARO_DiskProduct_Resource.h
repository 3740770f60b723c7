#pragma once
// Builds VELDARO_DiskProduct: one instance per distinct disk product
// (product id, vendor id, revision) installed in an array, in the order of
// the first disk of each.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_DiskProduct.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_DiskProduct_Resource : public Element_List_Resource<VELDARO_DiskProduct> {
public:
    static constexpr int DISK_TABLE_SIZE = Table_Entries::DISKS;

    explicit VELDARO_DiskProduct_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createDiskProduct();
};

}  // namespace cimple
