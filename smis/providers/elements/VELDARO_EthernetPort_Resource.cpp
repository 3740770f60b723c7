// iSCSI (Ethernet) ports of one array from the CA and CA port tables and
// the live port link status.

#include "VELDARO_EthernetPort_Resource.h"

#include <cstdio>
#include <string>

#include "CA_Port_Name.h"
#include "CA_Port_Walk.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "Owned_Records.h"
#include "RefTable_Text.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

VELDARO_EthernetPort_Resource::~VELDARO_EthernetPort_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_EthernetPort_Resource::createEthernetPort()
{
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        SMIS_Vorpak vorpak(_storage.c_str());

        for (std::uint32_t c = 0; c < VELDARO_RefTable::getCAMaxCount(); ++c) {
            const int ca = static_cast<int>(c);
            if (table.getCAStatus(ca) == 0)
                continue;
            const std::uint16_t realType = table.getCARealType(ca);
            if (!CA_Port_Walk::isiSCSIRealType(realType))
                continue;
            const std::uint32_t itemId = table.getCAItemId(ca);
            const std::uint8_t moduleId = table.getCAModuleId(ca);

            Owned_Records<CMM_RSP_GET_CA_PORT_LINK_STS> link;
            if (table.getCAType(ca) != 0) {
                CMM_RSP_GET_CA_PORT_LINK_STS* record = nullptr;
                const unsigned char rc = vorpak.getCAPortLinkStatus(itemId & ~0x800UL, record);
                link.reset(record);
                if (rc == SMIS_Vorpak::CHANNEL_BUSY)
                    return Instance_Provider_Frame::failChannelBusy(__FILE__, __LINE__);
                if (rc != 0)
                    link.reset();
            }

            for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p) {
                const int port = static_cast<int>(p);
                if (table.getCAPortStatus(ca, port) == 0)
                    continue;
                int status = 0;
                if (table.getCAPortSMISStatus(itemId, port, &status) != 0) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                RefTable_Text ip(table.getiSCSI_IPAddress(ca, port));
                if (!ip) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                RefTable_Text mac(table.getCAPortMacAddress(ca, port));
                if (!mac) {
                    Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                    return 1;
                }
                const std::uint8_t portNo = table.getCAPortNo(ca, port);
                const CA_Port_Name name = CA_Port_Name::of(moduleId, portNo);
                VELDARO_EthernetPort* made = Instance_Provider_Frame::newInstance<VELDARO_EthernetPort>();
                if (setEthernetPort(made, name.cm, name.ca, name.port, ip.get(), _storage.c_str(),
                                    static_cast<std::uint16_t>(status), mac.get(), table.getCAPortFactor(ca, port),
                                    table.getCAPortTransferRate(ca, port), realType,
                                    CA_Port_Walk::linkWord(link.get(), moduleId, portNo)) != 0) {
                    destroy(made);
                    return 1;
                }
                _instances.append(made);
            }
        }
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_EthernetPort_Resource::setEthernetPort(VELDARO_EthernetPort* instance, std::uint16_t cm, std::uint16_t ca,
                                                   std::uint16_t port, const char* ipAddress, const char* storage,
                                                   std::uint16_t status, const char* macAddress, std::uint8_t factor,
                                                   std::uint8_t transferRate, std::uint16_t realType,
                                                   std::uint16_t linkWord)
{
    try {
        const std::uint16_t mask = realType & 0xF000;
        const std::string portText = CA_Port_Name{cm, ca, port}.text();
        const std::string id = "iSCSIP_" + portText;
        char factorText[8];
        std::snprintf(factorText, sizeof factorText, "0x%02x", static_cast<unsigned>(factor));

        instance->Caption.set("iSCSI Port");
        instance->Description.set("iSCSI Port");
        instance->ElementName.set(id.c_str());
        instance->DeviceID.set(id.c_str());
        instance->Name.set(ipAddress);
        instance->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        instance->SystemName.set(storage);
        instance->CreationClassName.set("VELDARO_EthernetPort");
        Array<uint16> operational;
        operational.append(status);
        instance->OperationalStatus.set(operational);
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
        instance->HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(status)));
        instance->Speed.set(VELDARO_ValueConv::convCAPortLinkStatusToSpeed(mask, linkWord));
        instance->MaxSpeed.set(VELDARO_ValueConv::convCATypeToMaxSpeed(realType));
        instance->UsageRestriction.set(2);
        instance->PortType.set(105);
        instance->LinkTechnology.set(2);
        instance->PermanentAddress.set(macAddress);
        Array<String> addresses;
        addresses.append(String(ipAddress));
        instance->NetworkAddresses.set(addresses);
        instance->FullDuplex.set(true);
        instance->AutoSense.set(VELDARO_ValueConv::convTransferRateToAutoSense(mask, transferRate));
        instance->CMSlotNumber.set(cm);
        instance->CASlotNumber.set(ca);
        instance->PortNo.set(port);
        instance->Factor.set(factorText);
        instance->RealType.set(realType);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
