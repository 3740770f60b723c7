// The iSCSI CA kinds and the link words of ports.

#include "CA_Port_Walk.h"

#include "ByteOrder.h"
#include "CA_Port_Name.h"

namespace cimple {

bool CA_Port_Walk::isiSCSIRealType(std::uint16_t realType)
{
    const unsigned kind = realType & 0xF000u;
    return kind == 0x2000 || kind == 0x3000 || kind == 0x4000;
}

std::uint16_t CA_Port_Walk::linkWord(const CMM_RSP_GET_CA_PORT_LINK_STS* record, std::uint8_t moduleId,
                                     std::uint8_t portNo)
{
    if (!record)
        return 0;
    const std::size_t index = CA_Port_Name::of(moduleId, portNo).port;
    return smis::loadLE16(record->bytes + 8 + 2 * index);
}

}  // namespace cimple
