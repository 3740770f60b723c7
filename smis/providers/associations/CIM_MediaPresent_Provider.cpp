// The disk extent on each disk drive: the drive and the extent of the same
// disk entry; a drive without an extent has no pair.

#include "CIM_MediaPresent_Provider.h"

#include "CIM_MediaPresent.h"
#include "Disk_Index_Pairs.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskDrive_Resource.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using namespace disk_pairs;

bool drivesExtents(Association_Parent_Frame& frame, int diskIndex, Far far)
{
    VELDARO_DiskDrive_Resource drives(frame.storage());
    VELDARO_DiskExtent_Resource extents(frame.storage());
    return sameDiskPairs<VELDARO_DiskDrive, VELDARO_DiskExtent>(
        frame, &CIM_MediaPresent::static_meta_class, diskIndex, far, {nullptr}, __FILE__, __LINE__,
        [&](VELDARO_DiskDrive*& out, int i) { return drives.createInstance(out, i); },
        [&](VELDARO_DiskExtent*& out, int i) { return extents.createInstance(out, i); });
}

}  // namespace

CIM_MediaPresent_Provider::CIM_MediaPresent_Provider() {}

CIM_MediaPresent_Provider::~CIM_MediaPresent_Provider() {}

bool CIM_MediaPresent_Provider::_enumPairs()
{
    return drivesExtents(*this, 0, Far::FIRST);
}

int CIM_MediaPresent_Provider::_request(const Instance* source)
{
    const bool fromDrive = Common::isOf(source, VELDARO_DiskDrive::static_meta_class);
    const bool fromExtent = !fromDrive && Common::isOf(source, VELDARO_DiskExtent::static_meta_class);
    String address;
    if (!(fromDrive || fromExtent) || !Common::storageFromProperty(source, "SystemName", address))
        return Common::checkProviderClass(source);

    const String* key = Common::stringValue(source, "DeviceID");
    return onStorage(address, [&](VELDARO_RefTable& table) {
        std::uint16_t number = 0;
        const bool parsed = key && (fromDrive ? VELDARO_DiskDrive_Resource::divide_DeviceID(key->c_str(), &number)
                                              : VELDARO_DiskExtent_Resource::divide_DeviceID(key->c_str(), &number));
        if (!parsed)
            return true;
        const int index = table.searchPlunFromDiskTable(number);
        return index < 0 || drivesExtents(*this, index, fromDrive ? Far::SECOND : Far::FIRST);
    });
}

}  // namespace cimple
