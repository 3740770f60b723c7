// The physical elements each product record covers: the storage product
// the controller enclosure and every drive enclosure, each disk product the
// disks whose product id, vendor and revision are its own.

#include "CIM_ProductPhysicalComponent_Provider.h"

#include "Association_End.h"
#include "CIM_ProductPhysicalComponent.h"
#include "Fixed_End_Walk.h"
#include "Physical_Package_Walks.h"
#include "RefTable_Text.h"
#include "VELDARO_DiskProduct.h"
#include "VELDARO_DiskProduct_Resource.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalDisk_Resource.h"
#include "VELDARO_StorageProduct.h"
#include "VELDARO_StorageProduct_Resource.h"

namespace cimple {

namespace {

using namespace packaging;

enum Source_Kind : unsigned char { FROM_ENUMERATION = 0, FROM_ENCLOSURE = 1, FROM_PRODUCT = 2 };

// The far end goes to an associators handler as built, its null flags
// untouched.
void emit(Frame& frame, Instance* product, Instance* element, Instance* far)
{
    frame.emit<CIM_ProductPhysicalComponent>(product, element, far, false);
}

bool sameText(const Property<String>& property, const String& text)
{
    return !property.null && property.value == text;
}

// The storage product with the controller enclosure.
bool productControllerEnclosure(Frame& frame, Source_Kind kind)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageProduct_Resource products(frame.storage());
        if (products.createStorageProduct() == 1)
            return false;
        if (products.list().size() == 0 || !products.list()[0])
            return true;
        VELDARO_ControllerEnclosure_Resource enclosures(frame.storage());
        VELDARO_ControllerEnclosure* ce = nullptr;
        if (!controllerEnclosure(enclosures, ce))
            return false;
        if (!ce)
            return true;
        Instance* product = clone(products.list()[0]);
        Instance* enclosure = clone(ce);
        emit(frame, product, enclosure, kind == FROM_PRODUCT ? enclosure : product);
        return true;
    });
}

// The storage product with every drive enclosure (deIndex < 0), or with
// the one of that index.
bool productDeviceEnclosures(Frame& frame, int deIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageProduct_Resource products(frame.storage());
        if (!buildList(products, &VELDARO_StorageProduct_Resource::createStorageProduct))
            return false;
        VELDARO_DeviceEnclosure_Resource enclosures(frame.storage());
        const Index_Range range = deIndex < 0 ? Index_Range::all(VELDARO_DeviceEnclosure_Resource::DE_TABLE_SIZE)
                                              : Index_Range{deIndex, deIndex + 1};
        return Fixed_End_Walk::pairs<CIM_ProductPhysicalComponent, VELDARO_DeviceEnclosure>(
            frame, firstListed(products), Fixed_End_Walk::Fixed::FIRST, range,
            deIndex < 0 ? Fixed_End_Walk::Far::WALKED : Fixed_End_Walk::Far::FIXED, false,
            Association_End<VELDARO_DeviceEnclosure>::byIndex(enclosures));
    });
}

// Each disk product (only the one with the given texts in a request) with
// the disks of its product id, vendor and revision.
bool productPhysicalDisks(Frame& frame, const String* identifying, const String* vendor, const String* version)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_DiskProduct_Resource products(frame.storage());
        if (products.createDiskProduct() == 1)
            return false;
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_PhysicalDisk_Resource disks(frame.storage());
        for (std::size_t k = 0; k < products.list().size(); ++k) {
            const VELDARO_DiskProduct* product = products.list()[k];
            if (!product)
                continue;
            if (frame.oneEntry() && !(identifying && vendor && version && sameText(product->IdentifyingNumber, *identifying) &&
                                      sameText(product->Vendor, *vendor) && sameText(product->Version, *version)))
                continue;
            for (int i = 0; i < Table_Entries::DISKS; ++i) {
                RefTable_Text id(table.getDiskProductId(i));
                RefTable_Text vendorId(table.getDiskVenderId(i));
                RefTable_Text revision(table.getDiskRevision(i));
                if (id.missing() || vendorId.missing() || revision.missing() ||
                    !sameText(product->IdentifyingNumber, id.str()) || !sameText(product->Vendor, vendorId.str()) ||
                    !sameText(product->Version, revision.str()))
                    continue;
                VELDARO_PhysicalDisk* disk = nullptr;
                if (disks.createInstance(disk, i) != 0)
                    return false;
                if (disk)
                    emit(frame, clone(product), disk, disk);
            }
        }
        return true;
    });
}

// The disk product of one disk: the first whose identifying number, vendor
// and version are the disk's model, manufacturer and version.
bool productPhysicalDisk(Frame& frame, int diskIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        auto disk =
            Association_End<VELDARO_PhysicalDisk>::build(VELDARO_PhysicalDisk_Resource(frame.storage()), diskIndex);
        if (disk.failed())
            return false;
        if (!disk.built())
            return true;
        VELDARO_DiskProduct_Resource products(frame.storage());
        if (products.createDiskProduct() == 1)
            return false;
        for (std::size_t k = 0; k < products.list().size(); ++k) {
            const VELDARO_DiskProduct* product = products.list()[k];
            if (product && !disk->Model.null && !disk->Manufacturer.null && !disk->Version.null &&
                sameText(product->IdentifyingNumber, disk->Model.value) &&
                sameText(product->Vendor, disk->Manufacturer.value) && sameText(product->Version, disk->Version.value)) {
                Instance* far = clone(product);
                emit(frame, far, disk.release(), far);
                break;
            }
        }
        return true;
    });
}

}  // namespace

CIM_ProductPhysicalComponent_Provider::CIM_ProductPhysicalComponent_Provider() {}

CIM_ProductPhysicalComponent_Provider::~CIM_ProductPhysicalComponent_Provider() {}

bool CIM_ProductPhysicalComponent_Provider::_enumPairs()
{
    return productControllerEnclosure(*this, FROM_ENUMERATION) && productDeviceEnclosures(*this, -1) &&
           productPhysicalDisks(*this, nullptr, nullptr, nullptr);
}

int CIM_ProductPhysicalComponent_Provider::_request(const Instance* source)
{
    enum Kind { NONE_OF_THESE, STORAGE_PRODUCT, CE, DE, DISK_PRODUCT, DISK };
    Kind kind = NONE_OF_THESE;
    if (Common::isOf(source, VELDARO_StorageProduct::static_meta_class))
        kind = STORAGE_PRODUCT;
    else if (Common::isOf(source, VELDARO_ControllerEnclosure::static_meta_class))
        kind = CE;
    else if (Common::isOf(source, VELDARO_DeviceEnclosure::static_meta_class))
        kind = DE;
    else if (Common::isOf(source, VELDARO_DiskProduct::static_meta_class))
        kind = DISK_PRODUCT;
    else if (Common::isOf(source, VELDARO_PhysicalDisk::static_meta_class))
        kind = DISK;
    const bool byName = kind == STORAGE_PRODUCT || kind == DISK_PRODUCT;
    String address;
    if (kind == NONE_OF_THESE || !Common::storageFromKeySuffix(source, byName ? "Name" : "Tag", address))
        return Common::checkProviderClass(source);

    const char* tag = tagOf(source);
    return onStorage(address, [&](VELDARO_RefTable& table) {
        switch (kind) {
        case STORAGE_PRODUCT:
            return productControllerEnclosure(*this, FROM_PRODUCT) && productDeviceEnclosures(*this, -1);
        case CE:
            return productControllerEnclosure(*this, FROM_ENCLOSURE);
        case DE: {
            std::uint8_t deId = 0;
            if (!VELDARO_DeviceEnclosure_Resource::divide_Tag(tag, &deId))
                return true;
            const int index = table.searchDeIdFromDETable(deId);
            return index < 0 || productDeviceEnclosures(*this, index);
        }
        case DISK_PRODUCT:
            return productPhysicalDisks(*this, Common::stringValue(source, "IdentifyingNumber"),
                                        Common::stringValue(source, "Vendor"), Common::stringValue(source, "Version"));
        case DISK: {
            std::uint16_t number = 0;
            if (!VELDARO_PhysicalDisk_Resource::divide_Tag(tag, &number))
                return true;
            const int index = table.searchPlunFromDiskTable(number);
            return index < 0 || productPhysicalDisk(*this, index);
        }
        default:
            return true;
        }
    });
}

}  // namespace cimple
