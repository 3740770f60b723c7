// Non-template part of the association provider frame: association
// creation, class tests, storage addresses of sources, the failure record.

#include "Association_Provider_Frame.h"

#include <strings.h>

#include <vector>

#include "CommonBase.h"
#include "Instance_Provider_Frame.h"
#include "SMIS_TraceLog.h"
#include "String_Ops.h"
#include "Unregistered_Classes.h"

namespace cimple {

namespace {

// Where in an instance of the class its ends are: the offsets of its first
// two single references, in feature order (fewer when it has fewer).
std::vector<std::size_t> end_offsets(const Meta_Class* mc)
{
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < mc->num_meta_features && out.size() < 2; ++i) {
        const Meta_Feature* f = mc->meta_features[i];
        if (!(f->flags & CIMPLE_FLAG_REFERENCE))
            continue;
        const Meta_Reference* r = reinterpret_cast<const Meta_Reference*>(f);
        if (r->subscript == 0)
            out.push_back(r->offset);
    }
    return out;
}

// The element classes this library serves that a request may name as its
// source; a source of one of them that a provider does not relate gets an
// empty answer instead of "not supported".
const char* const PROVIDER_CLASSES[] = {
    "VELDARO_System",
    "VELDARO_ObjectManager",
    "VELDARO_Namespace",
    "VELDARO_CIMXMLCommunicationMechanism",
    "VELDARO_ProviderSoftwareIdentity",
    "VELDARO_RegisteredProfile",
    "VELDARO_RegisteredSubProfile",
    "VELDARO_StorageComputerSystem",
    "VELDARO_LUNMappingController",
    "VELDARO_AffinityGroupController",
    "VELDARO_RemoteServiceAccessPoint",
    "VELDARO_RedundancySet",
    "VELDARO_PhysicalMemory",
    "VELDARO_ControllerModuleSoftwareIdentity",
    "VELDARO_StorageComputerSystemSoftwareIdentity",
    "VELDARO_DiskDrive",
    "VELDARO_DiskExtent",
    "VELDARO_PhysicalMedia",
    "VELDARO_DiskSoftwareIdentity",
    "VELDARO_StorageRedundancySet",
    "VELDARO_RAIDCompositeExtent",
    "VELDARO_FreeExtent",
    "VELDARO_PartOfConcatenatedExtent",
    "VELDARO_MirroredExtent",
    "VELDARO_ConcatenatedExtent",
    "VELDARO_StripingCompositeExtent",
    "VELDARO_ProtocolControllerMaskingCapabilities",
    "VELDARO_PrivilegeManagementService",
    "VELDARO_StorageHardwareIDManagementService",
    "VELDARO_ControllerConfigurationService",
    "VELDARO_AuthorizedPrivilege",
    "VELDARO_StorageHardwareID",
    "VELDARO_DefaultAuthorizedPrivilege",
    "VELDARO_DefaultStorageHardwareID",
    "VELDARO_FCPort",
    "VELDARO_SCSIProtocolEndpoint",
    "VELDARO_StorageConfigurationService",
    "VELDARO_StorageConfigurationCapabilities",
    "VELDARO_StorageVolume",
    "VELDARO_PrimordialStoragePool",
    "VELDARO_PrimordialStorageCapabilities",
    "VELDARO_RAIDStorageCapabilities",
    "VELDARO_StorageSetting",
    "VELDARO_RAIDStoragePool",
    "VELDARO_StorageProduct",
    "VELDARO_ControllerEnclosure",
    "VELDARO_ControllerSlot",
    "VELDARO_ControllerCard",
    "VELDARO_DeviceEnclosure",
    "VELDARO_DiskSlot",
    "VELDARO_PhysicalDisk",
    "VELDARO_DiskProduct",
    "VELDARO_Location",
    "VELDARO_PSU",
    "VELDARO_IOM",
    "VELDARO_SFP",
    "VELDARO_ControllerComputerSystem",
    "VELDARO_iSCSICapabilities",
    "VELDARO_IPProtocolEndpoint",
    "VELDARO_TCPProtocolEndpoint",
    "VELDARO_iSCSIProtocolEndpoint",
    "VELDARO_iSCSISession",
    "VELDARO_iSCSISessionSettings",
    "VELDARO_EthernetPort",
    "VELDARO_iSCSIConnection",
    "VELDARO_iSCSIConnectionSettings",
    "VELDARO_iSCSISessionStatistics",
    "VELDARO_ConnectivityCollection",
    "VELDARO_ReplicationService",
    "VELDARO_ReplicationServiceCapabilities",
    "VELDARO_ReplicationSettingData",
    "VELDARO_RemoteStorageVolume",
    "VELDARO_StorageReplicationCapabilities",
    "VELDARO_SDPVExtent",
    "VELDARO_SDPVPool",
    "VELDARO_SDPVCapabilities",
    "VELDARO_SnapDataCompositeExtent",
    "VELDARO_SnapDataPool",
    "VELDARO_SnapDataCapabilities",
    "VELDARO_ChannelAdapterSlot",
    "VELDARO_ChannelAdapterCard",
    "VELDARO_FAN",
    "VELDARO_BBU",
    "VELDARO_ThinProvisioningCapabilities",
    "VELDARO_ThinProvisioningExtent",
    "VELDARO_ThinProvisioningPool",
    "VELDARO_ThinProvisioningFreeExtent",
    "VELDARO_RemoteSCSIProtocolEndpoint",
    "VELDARO_LayerixExtent",
    "VELDARO_LayerixSubExtent",
    "VELDARO_LayerixPool",
    "VELDARO_LayerixSubPool",
    "VELDARO_LayerixCapabilities",
    "VELDARO_LayerixSubCapabilities",
};

// True when the class or one of its superclasses has that name.
bool classIsOrDerives(const Meta_Class* mc, const char* name)
{
    for (; mc; mc = mc->super_meta_class)
        if (mc->name && strcasecmp(mc->name, name) == 0)
            return true;
    return false;
}

}  // namespace

void Association_Provider_Frame::logError(const char* file, unsigned line)
{
    SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, "Association Provider Error");
}

Instance* Association_Provider_Frame::newAssociation(const Meta_Class* mc, Instance* first, Instance* second)
{
    Owned<Instance> a(first), b(second);
    // Properties the pair rule does not set stay null (or take the class's
    // default): create(mc) alone would present every one of them as 0, false
    // or "".
    Owned<Instance> association(create(mc, true));
    if (!association)
        return nullptr;
    const std::vector<std::size_t> ends = end_offsets(mc);
    if (ends.size() < 2)
        return nullptr;
    char* base = reinterpret_cast<char*>(association.get());
    *reinterpret_cast<Instance**>(base + ends[0]) = a.release();
    *reinterpret_cast<Instance**>(base + ends[1]) = b.release();
    return association.release();
}

bool Association_Provider_Frame::hostServesEnds(const Instance* association)
{
    for (std::size_t offset : end_offsets(association->meta_class)) {
        const Instance* end = *reinterpret_cast<Instance* const*>(reinterpret_cast<const char*>(association) + offset);
        if (end && !Unregistered_Classes::hostServes(end->meta_class))
            return false;
    }
    return true;
}

bool Association_Provider_Frame::isOf(const Instance* source, const Meta_Class& mc)
{
    return source && source->meta_class && is_subclass(&mc, source->meta_class);
}

int Association_Provider_Frame::checkProviderClass(const Instance* source)
{
    if (!source || !source->meta_class)
        return -1;
    for (const char* name : PROVIDER_CLASSES)
        if (classIsOrDerives(source->meta_class, name))
            return 0;
    return -1;
}

const String* Association_Provider_Frame::stringValue(const Instance* source, const char* name)
{
    if (!source || !source->meta_class)
        return nullptr;
    const Meta_Property* p = find_property(source->meta_class, name);
    if (!p || p->type != STRING || p->subscript != 0)
        return nullptr;
    const auto* field =
        reinterpret_cast<const Property<String>*>(reinterpret_cast<const char*>(source) + p->offset);
    return field->null ? nullptr : &field->value;
}

bool Association_Provider_Frame::storageFromProperty(const Instance* source, const char* name, String& address)
{
    const String* value = stringValue(source, name);
    // The address names cache files and locks: only a configured one is
    // taken from a request.
    if (!value || !Instance_Provider_Frame::isConfiguredStorage(*value))
        return false;
    address = *value;
    return true;
}

bool Association_Provider_Frame::storageFromControllerName(const Instance* source, String& address)
{
    const String* value = stringValue(source, "Name");
    if (!value)
        return false;
    const std::size_t cut = value->find('_');
    if (cut == npos)
        return false;
    const String candidate = substring(*value, 0, cut);
    if (!Instance_Provider_Frame::isConfiguredStorage(candidate))
        return false;
    address = candidate;
    return true;
}

bool Association_Provider_Frame::storageFromKeySuffix(const Instance* source, const char* key, String& address)
{
    const String* value = stringValue(source, key);
    return value && CommonBase::get_storage_ip(value, &address);
}

bool Association_Provider_Frame::storageOf(const Instance* source, Storage_Key key, String& address)
{
    switch (key.kind) {
        case Storage_Key::PROPERTY:
            return storageFromProperty(source, key.property, address);
        case Storage_Key::CONTROLLER_NAME:
            return storageFromControllerName(source, address);
        case Storage_Key::KEY_SUFFIX:
            return storageFromKeySuffix(source, key.property, address);
        case Storage_Key::NO_ARRAY:
            break;
    }
    return false;
}

}  // namespace cimple
