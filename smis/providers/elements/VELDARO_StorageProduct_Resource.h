#pragma once
// Builds VELDARO_StorageProduct: the array as a product, one instance per
// array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_StorageProduct.h"

namespace cimple {

class VELDARO_StorageProduct_Resource : public Element_List_Resource<VELDARO_StorageProduct> {
public:
    explicit VELDARO_StorageProduct_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createStorageProduct();
};

}  // namespace cimple
