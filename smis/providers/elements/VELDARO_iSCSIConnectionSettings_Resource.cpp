// Configured connection settings of the iSCSI ports of one array.

#include "VELDARO_iSCSIConnectionSettings_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "CA_Port_Walk.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

VELDARO_iSCSIConnectionSettings_Resource::~VELDARO_iSCSIConnectionSettings_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_iSCSIConnectionSettings_Resource::createiSCSIConnectionSettings()
{
    VELDARO_iSCSIConnectionSettings* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        return CA_Port_Walk::forEachiSCSIPort(table, [&](int ca, int port) {
            const CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, port));
            made = Instance_Provider_Frame::newInstance<VELDARO_iSCSIConnectionSettings>();
            if (setiSCSIConnectionSettings(made, n.cm, n.ca, n.port,
                                           table.getCAPortMaxReceiveDataSegmentLength(ca, port),
                                           table.getCAPortHeaderDigest(ca, port), table.getCAPortDataDigest(ca, port),
                                           table.getCAPortiSCSIOption(ca, port)) != 0) {
                destroy(made);
                made = nullptr;
                return 1;
            }
            _instances.append(made);
            made = nullptr;
            return 0;
        });
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_iSCSIConnectionSettings_Resource::setiSCSIConnectionSettings(
    VELDARO_iSCSIConnectionSettings* instance, std::uint16_t cm, std::uint16_t ca, std::uint16_t port,
    std::uint32_t maxReceiveDataSegmentLength, std::uint8_t headerDigest, std::uint8_t dataDigest,
    std::uint16_t iscsiOption)
{
    try {
        const std::string id = "VELDARO:iSCS_" + CA_Port_Name{cm, ca, port}.text() + "_" + _storage.c_str();
        instance->InstanceID.set(id.c_str());
        instance->Caption.set("iSCSI Connection Settings");
        instance->Description.set("iSCSI Connection Settings");
        instance->ElementName.set("iSCSI Connection Settings");
        instance->MaxReceiveDataSegmentLength.set(maxReceiveDataSegmentLength);
        // Digests: 2 none, 3 CRC32C.
        instance->PrimaryHeaderDigestMethod.set(headerDigest == 0 ? 2 : 3);
        instance->PrimaryDataDigestMethod.set(dataDigest == 0 ? 2 : 3);
        instance->SecondaryHeaderDigestMethod.set(4);
        instance->SecondaryDataDigestMethod.set(4);
        instance->RequestingMarkersOnReceive.set(false);
        // Bit 0 of the option word selects the primary authentication.
        instance->PrimaryAuthenticationMethod.set((iscsiOption & 1) ? 5 : 3);
        instance->SecondaryAuthenticationMethod.set(2);
        instance->CMSlotNumber.set(cm);
        instance->CASlotNumber.set(ca);
        instance->PortNo.set(port);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
