// The disk extent each physical medium realises: the medium and the extent
// of the same disk entry.

#include "CIM_RealizesExtent_Provider.h"

#include "CIM_RealizesExtent.h"
#include "Key_Index.h"
#include "Same_Index_Walk.h"
#include "Table_Entries.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_PhysicalMedia.h"
#include "VELDARO_PhysicalMedia_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Walk = Same_Index_Walk;

bool mediaExtents(Frame& frame, int diskIndex, Walk::Far far)
{
    VELDARO_PhysicalMedia_Resource media(frame.storage());
    VELDARO_DiskExtent_Resource extents(frame.storage());
    return Walk::resourcePairs<CIM_RealizesExtent, VELDARO_PhysicalMedia, VELDARO_DiskExtent>(
        frame, frame.walk(diskIndex, Table_Entries::DISKS), far, true,
        {"Table access conflict - Can't create DiskExtent by PLUN that could create PhysicalMedia: %d"}, __FILE__,
        __LINE__, media, extents);
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_PhysicalMedia::static_meta_class, Common::BY_TAG,
     Key_Index::of<&VELDARO_PhysicalMedia_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::TAG>,
     [](Frame& frame, const Instance*, int disk) { return mediaExtents(frame, disk, Walk::Far::SECOND); }},
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return mediaExtents(frame, disk, Walk::Far::FIRST); }},
};

}  // namespace

CIM_RealizesExtent_Provider::CIM_RealizesExtent_Provider() {}

CIM_RealizesExtent_Provider::~CIM_RealizesExtent_Provider() {}

bool CIM_RealizesExtent_Provider::_enumPairs()
{
    return mediaExtents(*this, 0, Walk::Far::SECOND);
}

int CIM_RealizesExtent_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
