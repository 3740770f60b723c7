// The disk extent each physical medium realises: the medium and the extent
// of the same disk entry.

#include "CIM_RealizesExtent_Provider.h"

#include "CIM_RealizesExtent.h"
#include "Disk_Index_Pairs.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_PhysicalMedia.h"
#include "VELDARO_PhysicalMedia_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using namespace disk_pairs;

bool mediaExtents(Association_Parent_Frame& frame, int diskIndex, Far far)
{
    VELDARO_PhysicalMedia_Resource media(frame.storage());
    VELDARO_DiskExtent_Resource extents(frame.storage());
    return sameDiskPairs<VELDARO_PhysicalMedia, VELDARO_DiskExtent>(
        frame, &CIM_RealizesExtent::static_meta_class, diskIndex, far,
        {"Table access conflict - Can't create DiskExtent by PLUN that could create PhysicalMedia: %d"}, __FILE__,
        __LINE__, [&](VELDARO_PhysicalMedia*& out, int i) { return media.createInstance(out, i); },
        [&](VELDARO_DiskExtent*& out, int i) { return extents.createInstance(out, i); });
}

}  // namespace

CIM_RealizesExtent_Provider::CIM_RealizesExtent_Provider() {}

CIM_RealizesExtent_Provider::~CIM_RealizesExtent_Provider() {}

bool CIM_RealizesExtent_Provider::_enumPairs()
{
    return mediaExtents(*this, 0, Far::SECOND);
}

int CIM_RealizesExtent_Provider::_request(const Instance* source)
{
    const bool fromMedium = Common::isOf(source, VELDARO_PhysicalMedia::static_meta_class);
    const bool fromExtent = !fromMedium && Common::isOf(source, VELDARO_DiskExtent::static_meta_class);
    String address;
    if (!(fromMedium ? Common::storageFromKeySuffix(source, "Tag", address)
                     : fromExtent && Common::storageFromProperty(source, "SystemName", address)))
        return Common::checkProviderClass(source);

    const String* key = Common::stringValue(source, fromMedium ? "Tag" : "DeviceID");
    return onStorage(address, [&](VELDARO_RefTable& table) {
        std::uint16_t number = 0;
        const bool parsed = key && (fromMedium ? VELDARO_PhysicalMedia_Resource::divide_Tag(key->c_str(), &number)
                                       : VELDARO_DiskExtent_Resource::divide_DeviceID(key->c_str(), &number));
        if (!parsed)
            return true;
        const int index = table.searchPlunFromDiskTable(number);
        return index < 0 || mediaExtents(*this, index, fromMedium ? Far::SECOND : Far::FIRST);
    });
}

}  // namespace cimple
