// TCP endpoints of the iSCSI ports of one array.

#include "VELDARO_TCPProtocolEndpoint_Resource.h"

#include <string>

#include "CA_Port_Name.h"
#include "CA_Port_Walk.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

VELDARO_TCPProtocolEndpoint_Resource::~VELDARO_TCPProtocolEndpoint_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_TCPProtocolEndpoint_Resource::createTCPProtocolEndpoint()
{
    VELDARO_TCPProtocolEndpoint* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        return CA_Port_Walk::forEachiSCSIPort(table, [&](int ca, int port) {
            const CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, port));
            made = Instance_Provider_Frame::newInstance<VELDARO_TCPProtocolEndpoint>();
            if (setTCPProtocolEndpoint(made, n.cm, n.ca, n.port, table.getCAPortTCPPortNo(ca, port),
                                       _storage.c_str()) != 0) {
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

int VELDARO_TCPProtocolEndpoint_Resource::setTCPProtocolEndpoint(VELDARO_TCPProtocolEndpoint* instance,
                                                                 std::uint16_t cm, std::uint16_t ca,
                                                                 std::uint16_t port, std::uint16_t tcpPort,
                                                                 const char* storage)
{
    try {
        const std::string name = "TCP_" + CA_Port_Name{cm, ca, port}.text();
        instance->Caption.set("TCP Protocol End Point");
        instance->Description.set("TCP Protocol End Point");
        instance->ElementName.set(name.c_str());
        instance->Name.set(name.c_str());
        instance->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        instance->SystemName.set(storage);
        instance->CreationClassName.set("VELDARO_TCPProtocolEndpoint");
        instance->NameFormat.set("Type and Port");
        instance->PortNumber.set(tcpPort);
        instance->ProtocolIFType.set(4111);
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
