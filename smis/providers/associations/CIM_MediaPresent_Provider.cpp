// The disk extent on each disk drive: the drive and the extent of the same
// disk entry; a drive without an extent has no pair.

#include "CIM_MediaPresent_Provider.h"

#include "CIM_MediaPresent.h"
#include "Key_Index.h"
#include "Occupied_Disk_Walk.h"
#include "Same_Index_Walk.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskDrive_Resource.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Walk = Same_Index_Walk;

// The drive and extent of each occupied disk entry of the walk.
bool drivesExtents(Frame& frame, int diskIndex, Walk::Far far)
{
    VELDARO_DiskDrive_Resource drives(frame.storage());
    VELDARO_DiskExtent_Resource extents(frame.storage());
    return Occupied_Disk_Walk::each(frame, diskIndex, [&](Index_Range range) {
        return Walk::resourcePairs<CIM_MediaPresent, VELDARO_DiskDrive, VELDARO_DiskExtent>(
            frame, range, far, true, Walk::PASS_OVER, __FILE__, __LINE__, drives, extents);
    });
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_DiskDrive::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskDrive_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return drivesExtents(frame, disk, Walk::Far::SECOND); }},
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return drivesExtents(frame, disk, Walk::Far::FIRST); }},
};

}  // namespace

CIM_MediaPresent_Provider::CIM_MediaPresent_Provider() {}

CIM_MediaPresent_Provider::~CIM_MediaPresent_Provider() {}

bool CIM_MediaPresent_Provider::_enumPairs()
{
    return drivesExtents(*this, 0, Walk::Far::FIRST);
}

int CIM_MediaPresent_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
