// The disk products that belong to the array's storage product.

#include "CIM_ProductParentChild_Provider.h"

#include <new>

#include "CIM_ProductParentChild.h"
#include "VELDARO_DiskProduct.h"
#include "VELDARO_DiskProduct_Resource.h"
#include "VELDARO_StorageProduct.h"
#include "VELDARO_StorageProduct_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

void add(Association_Map_Frame& frame, const Instance* first, const Instance* second)
{
    Instance* made = Common::newAssociation(&CIM_ProductParentChild::static_meta_class, clone(first), clone(second));
    if (!made)
        throw std::bad_alloc();
    frame.add(made);
}

bool productDiskProducts(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageProduct_Resource products(frame.storage());
        if (products.createStorageProduct() == 1)
            return false;
        if (products.list().size() == 0 || !products.list()[0])
            return true;
        VELDARO_DiskProduct_Resource disks(frame.storage());
        if (disks.createDiskProduct() == 1)
            return false;
        for (std::size_t k = 0; k < disks.list().size(); ++k)
            if (disks.list()[k])
                add(frame, products.list()[0], disks.list()[k]);
        return true;
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
