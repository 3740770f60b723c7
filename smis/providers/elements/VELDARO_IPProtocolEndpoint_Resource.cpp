// IP endpoints of the iSCSI ports of one array.

#include "VELDARO_IPProtocolEndpoint_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "CA_Port_Walk.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"

namespace cimple {

VELDARO_IPProtocolEndpoint_Resource::~VELDARO_IPProtocolEndpoint_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_IPProtocolEndpoint_Resource::createIPProtocolEndpoint()
{
    VELDARO_IPProtocolEndpoint* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        return CA_Port_Walk::forEachiSCSIPort(table, [&](int ca, int port) {
            RefTable_Text ip(table.getiSCSI_IPAddress(ca, port));
            if (!ip) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            RefTable_Text mask(table.getCAPortiSCSISubnetMask(ca, port));
            if (!mask) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            const CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, port));
            made = Instance_Provider_Frame::newInstance<VELDARO_IPProtocolEndpoint>();
            if (setIPProtocolEndpoint(made, n.cm, n.ca, n.port, ip.get(), _storage.c_str(), mask.get()) != 0) {
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

int VELDARO_IPProtocolEndpoint_Resource::setIPProtocolEndpoint(VELDARO_IPProtocolEndpoint* instance, std::uint16_t cm,
                                                               std::uint16_t ca, std::uint16_t port,
                                                               const char* ipAddress, const char* storage,
                                                               const char* subnetMask)
{
    try {
        const std::string name = "IP_" + CA_Port_Name{cm, ca, port}.text();
        instance->Caption.set("IP Protocol End Point");
        instance->Description.set("IP Protocol End Point");
        instance->ElementName.set(name.c_str());
        instance->Name.set(name.c_str());
        instance->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        instance->SystemName.set(storage);
        instance->CreationClassName.set("VELDARO_IPProtocolEndpoint");
        instance->NameFormat.set("Type and Port");
        instance->IPv4Address.set(ipAddress);
        instance->SubnetMask.set(subnetMask);
        instance->ProtocolIFType.set(4096);
        instance->HealthState.set(0);
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
