// Fields and names of one iSCSI login record.

#include "iSCSI_Login_Record.h"

#include <cstdio>
#include <cstring>

#include "ByteOrder.h"

namespace cimple {

std::string iSCSI_Login_Record::initiatorName() const
{
    const char* name = reinterpret_cast<const char*>(_bytes);
    return std::string(name, ::strnlen(name, NAME_SIZE));
}

std::string iSCSI_Login_Record::isidText() const
{
    char text[13];
    for (std::size_t i = 0; i < 6; ++i)
        std::snprintf(text + 2 * i, 3, "%02X", static_cast<unsigned>(_bytes[258 + i]));
    return text;
}

std::string iSCSI_Login_Record::portText() const
{
    char tsihText[8];
    std::snprintf(tsihText, sizeof tsihText, "%04X", static_cast<unsigned>(tsih()));
    return initiatorName() + ",i,0x" + isidText() + "_0x" + tsihText;
}

std::uint16_t iSCSI_Login_Record::u16(std::size_t offset) const
{
    return smis::loadLE16(_bytes + offset);
}

std::uint32_t iSCSI_Login_Record::u32(std::size_t offset) const
{
    return smis::loadLE32(_bytes + offset);
}

void iSCSI_Login_Record::statisticsRequest(std::uint8_t moduleId, std::uint8_t portNo,
                                           CMM_REQ_GET_PORT_ISCSI_STATISTICS_INFO& request) const
{
    std::memset(request.bytes, 0, sizeof request.bytes);
    request.bytes[0] = moduleId;
    request.bytes[1] = portNo;
    std::memcpy(request.bytes + 8, _bytes, NAME_SIZE);
    std::memcpy(request.bytes + 232, _bytes + 256, 2);  // TSIH
    std::memcpy(request.bytes + 234, _bytes + 258, 6);  // ISID
}

std::string iSCSI_Login_Record::keyTail(std::uint16_t cm, std::uint16_t ca, const char* storage)
{
    char text[16];
    std::snprintf(text, sizeof text, "_%02u_%02u_", static_cast<unsigned>(cm), static_cast<unsigned>(ca));
    return text + std::string(storage ? storage : "");
}

}  // namespace cimple
