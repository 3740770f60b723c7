// The medium each disk package holds: the disk and the medium of the same
// disk entry.

#include "CIM_PackagedComponent_Provider.h"

#include "Association_End.h"
#include "CIM_PackagedComponent.h"
#include "Physical_Package_Walks.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalDisk_Resource.h"
#include "VELDARO_PhysicalMedia.h"
#include "VELDARO_PhysicalMedia_Resource.h"

namespace cimple {

namespace {

using namespace packaging;

enum Source_Kind : unsigned char { FROM_ENUMERATION = 0, FROM_DISK = 1, FROM_MEDIA = 2 };

// Disk and medium of each disk entry of the walk: (disk, media, far), the far
// end being the disk when the request comes from the medium, else the
// medium. It goes to an associators handler as built, its null flags
// untouched.
bool packagePhysicalMedia(Frame& frame, unsigned char sourceKind, int diskIndex)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_PhysicalDisk_Resource disks(frame.storage());
        VELDARO_PhysicalMedia_Resource media(frame.storage());
        const auto range = frame.walk(diskIndex, Table_Entries::DISKS);
        for (int i = range.begin; i < range.end; ++i) {
            auto disk = Association_End<VELDARO_PhysicalDisk>::build(disks, i);
            if (disk.failed())
                return false;
            if (!disk.built())
                continue;
            VELDARO_PhysicalMedia* medium = nullptr;
            if (media.createInstance(medium, i) != 0)
                return false;
            if (!medium)
                continue;
            Instance* far = sourceKind == FROM_MEDIA ? static_cast<Instance*>(disk.get()) : medium;
            frame.emit<CIM_PackagedComponent>(disk.release(), medium, far, false);
        }
        return true;
    });
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_PhysicalDisk::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_PhysicalDisk_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable>,
     [](Frame& frame, const Instance*, int disk) { return packagePhysicalMedia(frame, FROM_DISK, disk); }, ASK},
    {&VELDARO_PhysicalMedia::static_meta_class, Common::BY_TAG,
     BY_TAG<&VELDARO_PhysicalMedia_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable>,
     [](Frame& frame, const Instance*, int disk) { return packagePhysicalMedia(frame, FROM_MEDIA, disk); }, ASK},
};

}  // namespace

CIM_PackagedComponent_Provider::CIM_PackagedComponent_Provider() {}

CIM_PackagedComponent_Provider::~CIM_PackagedComponent_Provider() {}

bool CIM_PackagedComponent_Provider::_enumPairs()
{
    return packagePhysicalMedia(*this, FROM_ENUMERATION, 0);
}

int CIM_PackagedComponent_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
