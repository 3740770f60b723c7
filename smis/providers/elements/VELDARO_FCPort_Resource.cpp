// FC ports of one array from the CA and CA port tables and the live port
// link status.

#include "VELDARO_FCPort_Resource.h"

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

namespace {

constexpr unsigned char LINK_UNAVAILABLE = 0x84;

}  // namespace

VELDARO_FCPort_Resource::~VELDARO_FCPort_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_FCPort_Resource::createFCPort()
{
    return build(nullptr);
}

int VELDARO_FCPort_Resource::createFCPortOn(const CA_Port_Name& port)
{
    return build(&port);
}

int VELDARO_FCPort_Resource::build(const CA_Port_Name* only)
{
    VELDARO_FCPort* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        SMIS_Vorpak vorpak(_storage.c_str());
        bool queryStopped = false;

        for (std::uint32_t c = 0; c < VELDARO_RefTable::getCAMaxCount(); ++c) {
            const int ca = static_cast<int>(c);
            if (table.getCAStatus(ca) == 0)
                continue;
            const std::uint16_t mask = table.getMaskCARealType(ca);
            std::uint16_t technology = 0;
            if (mask == 0x0000)
                technology = 4;
            else if (mask == 0x5000)
                technology = 2;
            else
                continue;
            const std::uint32_t itemId = table.getCAItemId(ca);
            const std::uint8_t moduleId = table.getCAModuleId(ca);
            if (only && !only->onModule(moduleId))
                continue;
            const std::uint64_t maxSpeed = VELDARO_ValueConv::convCATypeToMaxSpeed(table.getCARealType(ca));

            // Once the array is found unavailable, later CAs are not asked.
            Owned_Records<CMM_RSP_GET_CA_PORT_LINK_STS> link;
            if (!queryStopped && table.getCAType(ca) != 0) {
                CMM_RSP_GET_CA_PORT_LINK_STS* record = nullptr;
                const unsigned long portId = itemId & ~0x800UL;
                const unsigned char rc = vorpak.getCAPortLinkStatus(portId, record);
                link.reset(record);
                if (rc == SMIS_Vorpak::CHANNEL_BUSY)
                    return Instance_Provider_Frame::failChannelBusy(__FILE__, __LINE__);
                if (rc != 0) {
                    link.reset();
                    if (rc == LINK_UNAVAILABLE)
                        queryStopped = true;
                }
            }

            for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p) {
                const int port = static_cast<int>(p);
                if (table.getCAPortStatus(ca, port) == 0)
                    continue;
                const std::uint8_t portNo = table.getCAPortNo(ca, port);
                const CA_Port_Name name = CA_Port_Name::of(moduleId, portNo);
                if (only && name != *only)
                    continue;
                RefTable_Text wwn(table.getCAPortWwn(ca, port));
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
                const std::uint8_t hostConnection = table.getCAPortHostConnection(ca, port);
                const std::uint8_t transferRate = table.getCAPortTransferRate(ca, port);
                const std::uint8_t factor = table.getCAPortFactor(ca, port);
                const std::uint8_t cos = table.getCAPortClass(ca, port);
                const std::uint64_t speed =
                    VELDARO_ValueConv::convCAPortLinkStatusToSpeed(mask, CA_Port_Walk::linkWord(link.get(), moduleId, portNo));

                const std::string portText = name.text();
                char factorText[8];
                std::snprintf(factorText, sizeof factorText, "0x%02x", static_cast<unsigned>(factor));

                made = Instance_Provider_Frame::newInstance<VELDARO_FCPort>();
                made->Caption.set("FC Port");
                made->Description.set("FC Port");
                made->ElementName.set(String(("FC Port - " + portText).c_str()));
                made->DeviceID.set(String(("FCP_" + portText).c_str()));
                made->Name.set(wwn.get());
                made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
                made->SystemName.set(_storage);
                made->CreationClassName.set("VELDARO_FCPort");
                Array<uint16> operational;
                operational.append(static_cast<uint16>(status));
                made->OperationalStatus.set(operational);
                made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
                made->HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(status)));
                made->Speed.set(speed);
                made->MaxSpeed.set(maxSpeed);
                made->UsageRestriction.set(2);
                made->PortType.set(static_cast<uint16>(VELDARO_ValueConv::convCAPortHostConnectionToPortType(hostConnection)));
                made->PortNumber.set(name.port);
                made->LinkTechnology.set(technology);
                made->PermanentAddress.set(wwn.get());
                made->FullDuplex.set(true);
                made->AutoSense.set(VELDARO_ValueConv::convTransferRateToAutoSense(mask, transferRate));
                made->SupportedMaximumTransmissionUnit.set(2118);
                Array<uint16> classes;
                classes.append(cos);
                made->SupportedCOS.set(classes);
                made->ActiveCOS.set(classes);
                Array<uint16> fc4;
                fc4.append(8);
                made->SupportedFC4Types.set(fc4);
                made->ActiveFC4Types.set(fc4);
                made->CMSlotNumber.set(name.cm);
                made->CASlotNumber.set(name.ca);
                made->PortNo.set(name.port);
                made->Factor.set(factorText);
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
