// The software that each element runs: the provider's own software identity
// with every registered profile (but the SMI-S profile) and sub-profile, in
// the interop name space, and each disk drive with its disk software
// identity.

#include "CIM_ElementSoftwareIdentity_Provider.h"

#include "Association_End.h"
#include "CIM_ElementSoftwareIdentity.h"
#include "Key_Index.h"
#include "Profile_Names.h"
#include "Same_Index_Walk.h"
#include "Table_Entries.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskDrive_Resource.h"
#include "VELDARO_DiskSoftwareIdentity.h"
#include "VELDARO_DiskSoftwareIdentity_Resource.h"
#include "VELDARO_ProviderSoftwareIdentity.h"
#include "VELDARO_ProviderSoftwareIdentity_Resource.h"
#include "VELDARO_RegisteredProfile.h"
#include "VELDARO_RegisteredProfile_Resource.h"
#include "VELDARO_RegisteredSubProfile.h"
#include "VELDARO_RegisteredSubProfile_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Walk = Same_Index_Walk;
using Names = Profile_Names;

// The provider identity with each element of a fixed-set Resource that
// keep(element) accepts; the far end is the end that is not the source.
template <class Resource, class Keep>
bool providerElements(Frame& frame, int (Resource::*build)(), Keep keep)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ProviderSoftwareIdentity_Resource identities;
        if (!buildList(identities, &VELDARO_ProviderSoftwareIdentity_Resource::createProviderSoftwareIdentity))
            return false;
        const VELDARO_ProviderSoftwareIdentity* identity = firstListed(identities);
        if (!identity)
            return true;
        Resource elements;
        return eachListed(elements, build, [&](const auto* element) {
            if (!keep(*element))
                return true;
            Instance* a = Common::inNameSpace(clone(static_cast<const Instance*>(identity)), Common::INTEROP_NAMESPACE);
            Instance* b = Common::inNameSpace(clone(static_cast<const Instance*>(element)), Common::INTEROP_NAMESPACE);
            frame.emit<CIM_ElementSoftwareIdentity>(a, b, frame.otherEnd(a, b), false);
            return true;
        });
    });
}

// While enumerating, and for the identity as source, every element; for a
// profile or sub-profile source only that one.
template <class Element>
bool sourceOrAny(const Frame& frame, const Element& element)
{
    const Instance* source = frame.source();
    if (!source || !Common::isOf(source, Element::static_meta_class))
        return true;
    const char* id = Common::keyText(source, Key_Index::INSTANCE_ID);
    return id && !element.InstanceID.null && element.InstanceID.value == id;
}

bool providerProfiles(Frame& frame)
{
    return providerElements(frame, &VELDARO_RegisteredProfile_Resource::createRegisteredProfile,
                            [&](const VELDARO_RegisteredProfile& profile) {
                                return !Names::is(profile, Names::SMI_S) && sourceOrAny(frame, profile);
                            });
}

bool providerSubProfiles(Frame& frame)
{
    return providerElements(frame, &VELDARO_RegisteredSubProfile_Resource::createRegisteredSubProfile,
                            [&](const VELDARO_RegisteredSubProfile& sub) { return sourceOrAny(frame, sub); });
}

bool providerIdentity(Frame& frame)
{
    return providerProfiles(frame) && providerSubProfiles(frame);
}

// Each disk's software identity with its drive, both in the array name
// space.
bool diskIdentities(Frame& frame, int disk)
{
    VELDARO_DiskSoftwareIdentity_Resource identities(frame.storage());
    VELDARO_DiskDrive_Resource drives(frame.storage());
    return Walk::pairs<CIM_ElementSoftwareIdentity, VELDARO_DiskSoftwareIdentity, VELDARO_DiskDrive>(
        frame, frame.walk(disk, Table_Entries::DISKS), Walk::Far::OTHER_END, false, Walk::PASS_OVER, __FILE__,
        __LINE__, Association_End<VELDARO_DiskSoftwareIdentity>::byIndexIn(identities, Common::ARRAY_NAMESPACE),
        Association_End<VELDARO_DiskDrive>::byIndexIn(drives, Common::ARRAY_NAMESPACE));
}

using R = VELDARO_RefTable;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_ProviderSoftwareIdentity::static_meta_class, Common::NO_ARRAY, nullptr,
     [](Frame& frame, const Instance*, int) { return providerIdentity(frame); }},
    {&VELDARO_RegisteredProfile::static_meta_class, Common::NO_ARRAY, nullptr,
     [](Frame& frame, const Instance*, int) { return providerProfiles(frame); }},
    {&VELDARO_RegisteredSubProfile::static_meta_class, Common::NO_ARRAY, nullptr,
     [](Frame& frame, const Instance*, int) { return providerSubProfiles(frame); }},
    {&VELDARO_DiskSoftwareIdentity::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_DiskSoftwareIdentity_Resource::divide_InstanceID, &R::searchPlunFromDiskTable,
                   Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int disk) { return diskIdentities(frame, disk); }},
    {&VELDARO_DiskDrive::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskDrive_Resource::divide_DeviceID, &R::searchPlunFromDiskTable, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return diskIdentities(frame, disk); }},
};

}  // namespace

CIM_ElementSoftwareIdentity_Provider::CIM_ElementSoftwareIdentity_Provider()
    : Association_Parent_Frame(providerIdentity)
{
}

CIM_ElementSoftwareIdentity_Provider::~CIM_ElementSoftwareIdentity_Provider() {}

bool CIM_ElementSoftwareIdentity_Provider::_enumPairs()
{
    return diskIdentities(*this, 0);
}

int CIM_ElementSoftwareIdentity_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
