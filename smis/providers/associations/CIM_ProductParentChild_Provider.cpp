// The disk products that belong to the array's storage product.

#include "CIM_ProductParentChild_Provider.h"

#include "CIM_ProductParentChild.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_DiskProduct.h"
#include "VELDARO_DiskProduct_Resource.h"
#include "VELDARO_StorageProduct.h"
#include "VELDARO_StorageProduct_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

// The storage product with each disk product.
bool productDiskProducts(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Walk::leadWith<CIM_ProductParentChild>(
            frame, &VELDARO_StorageProduct_Resource::createStorageProduct, Walk::Each::FIRST,
            &VELDARO_DiskProduct_Resource::createDiskProduct, Walk::Others::EVERY);
    });
}

}  // namespace

CIM_ProductParentChild_Provider::CIM_ProductParentChild_Provider() : Association_Map_Frame(&CIM_ProductParentChild::static_meta_class) {}

CIM_ProductParentChild_Provider::~CIM_ProductParentChild_Provider() {}

bool CIM_ProductParentChild_Provider::_enumPairs()
{
    return productDiskProducts(*this);
}

}  // namespace cimple
