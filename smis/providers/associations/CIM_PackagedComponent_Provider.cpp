// The medium each disk package holds: the disk and the medium of the same
// disk entry.

#include "Association_End.h"
#include "CIM_PackagedComponent_Provider.h"

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
            frame.deliver(makeAssociation(&CIM_PackagedComponent::static_meta_class, disk.release(), medium), far,
                          false);
        }
        return true;
    });
}

}  // namespace

CIM_PackagedComponent_Provider::CIM_PackagedComponent_Provider() {}

CIM_PackagedComponent_Provider::~CIM_PackagedComponent_Provider() {}

bool CIM_PackagedComponent_Provider::_enumPairs()
{
    return packagePhysicalMedia(*this, FROM_ENUMERATION, 0);
}

int CIM_PackagedComponent_Provider::_request(const Instance* source)
{
    Source_Kind kind = FROM_ENUMERATION;
    if (Common::isOf(source, VELDARO_PhysicalDisk::static_meta_class))
        kind = FROM_DISK;
    else if (Common::isOf(source, VELDARO_PhysicalMedia::static_meta_class))
        kind = FROM_MEDIA;
    String address;
    if (kind == FROM_ENUMERATION || !Common::storageFromKeySuffix(source, "Tag", address))
        return Common::checkProviderClass(source);

    const char* tag = tagOf(source);
    return onStorage(address, [&](VELDARO_RefTable& table) {
        std::uint16_t number = 0;
        const bool parsed = kind == FROM_DISK ? VELDARO_PhysicalDisk_Resource::divide_Tag(tag, &number)
                                              : VELDARO_PhysicalMedia_Resource::divide_Tag(tag, &number);
        if (!parsed)
            return true;
        const int index = table.searchPlunFromDiskTable(number);
        return index < 0 || packagePhysicalMedia(*this, kind, index);
    });
}

}  // namespace cimple
