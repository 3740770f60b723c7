// SCSI target endpoints of the FC and SAS ports of one array.

#include "VELDARO_SCSIProtocolEndpoint_Resource.h"

#include <cstring>
#include <string>

#include "CA_Port_Name.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

VELDARO_SCSIProtocolEndpoint_Resource::~VELDARO_SCSIProtocolEndpoint_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_SCSIProtocolEndpoint_Resource::createSCSIProtocolEndpoint()
{
    return build(nullptr, nullptr);
}

int VELDARO_SCSIProtocolEndpoint_Resource::createSCSIProtocolEndpointOn(const CA_Port_Name& port)
{
    return build(&port, nullptr);
}

int VELDARO_SCSIProtocolEndpoint_Resource::createSCSIProtocolEndpointNamed(const char* wwn)
{
    return wwn ? build(nullptr, wwn) : 0;
}

int VELDARO_SCSIProtocolEndpoint_Resource::build(const CA_Port_Name* onPort, const char* named)
{
    VELDARO_SCSIProtocolEndpoint* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;

        for (std::uint32_t c = 0; c < VELDARO_RefTable::getCAMaxCount(); ++c) {
            const int ca = static_cast<int>(c);
            if (table.getCAStatus(ca) == 0)
                continue;
            const std::uint16_t mask = table.getMaskCARealType(ca);
            const char* kindText = nullptr;
            std::uint16_t connectionType = 0;
            if (mask == 0x0000 || mask == 0x5000) {
                kindText = "FC Port";
                connectionType = 2;
            } else if (mask == 0xA000) {
                kindText = "SAS Port";
                connectionType = 8;
            } else {
                continue;
            }
            const std::uint32_t itemId = table.getCAItemId(ca);
            const std::uint8_t moduleId = table.getCAModuleId(ca);
            if (onPort && !onPort->onModule(moduleId))
                continue;

            for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p) {
                const int port = static_cast<int>(p);
                if (table.getCAPortStatus(ca, port) == 0)
                    continue;
                const CA_Port_Name name = CA_Port_Name::of(moduleId, table.getCAPortNo(ca, port));
                if (onPort && name != *onPort)
                    continue;
                RefTable_Text wwn(table.getCAPortWwn(ca, port));
                if (named && (!wwn || std::strcmp(wwn.c_str(), named) != 0))
                    continue;
                if (!wwn) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                int status = 0;
                // The status table is addressed by the port's index in its CA.
                if (table.getCAPortSMISStatus(itemId, port, &status) != 0) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }

                made = Instance_Provider_Frame::newInstance<VELDARO_SCSIProtocolEndpoint>();
                made->Caption.set("SCSI Protocol End Point");
                made->Description.set("SCSI Protocol End Point");
                made->ElementName.set((std::string(kindText) + " - " + name.text()).c_str());
                made->Name.set(wwn.get());
                made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
                made->SystemName.set(_storage);
                made->CreationClassName.set("VELDARO_SCSIProtocolEndpoint");
                made->NameFormat.set("WWN");
                Array<uint16> operational;
                operational.append(static_cast<uint16>(status));
                made->OperationalStatus.set(operational);
                made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
                made->ProtocolIFType.set(1);
                made->OtherTypeDescription.set("SCSI");
                made->ConnectionType.set(connectionType);
                made->Role.set(3);
                made->CMSlotNumber.set(name.cm);
                made->CASlotNumber.set(name.ca);
                made->PortNo.set(name.port);
                made->RAMode.set(table.getCAPortRAMode(ca, port));
                _instances.append(made);
                made = nullptr;
            }
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
