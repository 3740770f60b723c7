// Array, box ID and setting lookups of the replication methods.

#include "Replication_Array_Lookup.h"

#include "CommonBase.h"
#include "RefTable_Text.h"
#include "String_Ops.h"
#include "Replication_Log.h"
#include "Replication_Types.h"
#include "SMISMethodCom.h"
#include "SNIA_ReplicationSettingData.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ReplicationSettingData_Resource.h"
#include "Instance_Keys.h"

namespace cimple {

bool Replication_Array_Lookup::isValidBoxId(const String& boxId)
{
    if (boxId.size() != BOX_ID_LENGTH)
        return false;
    for (std::size_t i = 0; i < boxId.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(boxId.c_str()[i]);
        if (c <= ' ' || c == 0x7F)
            return false;
    }
    return true;
}

String Replication_Array_Lookup::boxIdOf(const String& storage)
{
    VELDARO_RefTable table(storage.c_str());
    RefTable_Text box(table.getSysBoxID());
    // As the array's access point is named: without the field's trailing blanks.
    return without_trailing_space(box.c_str());
}

bool Replication_Array_Lookup::isConfigured(const String& storage)
{
    Array<String> addresses;
    if (storage.size() == 0 || !CommonBase::get_storage_iplist(addresses))
        return false;
    for (std::size_t i = 0; i < addresses.size(); ++i)
        if (addresses[i] == storage)
            return true;
    return false;
}

String Replication_Array_Lookup::getRemoteStorageAddress(const String& boxId)
{
    if (boxId.size() == 0)
        return String();
    Array<String> addresses;
    if (!CommonBase::get_storage_iplist(addresses)) {
        Replication_Log::failure(__FILE__, __LINE__, "Failed to get IP address list");
        return String();
    }
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        VELDARO_RefTable table(addresses[i].c_str());
        if (SMISMethodCom::mcFirstCommonProcess(SMISMethodCom::CHECK_VALID_TABLE, &table) != 0)
            continue;
        RefTable_Text box(table.getSysBoxID());
        if (box.missing() || box.c_str()[0] == '\0') {
            // One array without a box ID does not hide the arrays after it.
            Replication_Log::failure(__FILE__, __LINE__, "Failed to get remote BoxID");
            continue;
        }
        if (without_trailing_space(box.c_str()) == without_trailing_space(boxId.c_str()))
            return addresses[i];
    }
    return String();
}

std::uint32_t Replication_Array_Lookup::checkReplicationSettingData(const String& storage,
                                                                    const SNIA_ReplicationSettingData* setting,
                                                                    std::uint16_t syncType, std::uint16_t locality)
{
    namespace RT = Replication_Types;
    if (!setting)
        return 0;
    VELDARO_ReplicationSettingData_Resource settings(storage);
    if (settings.createReplicationSettingData() != 0)
        return 4;
    const VELDARO_ReplicationSettingData* found = nullptr;
    for (std::size_t i = 0; i < settings.list().size() && !found; ++i)
        if (same_instance(setting, settings.list()[i]))
            found = settings.list()[i];
    if (!found)
        return 5;
    std::uint32_t wanted = RT::COPY_SNAPTIRN_PLUS;
    if (syncType == RT::SYNC_MIRROR)
        wanted = locality == RT::LOCAL ? RT::COPY_MIRREX : RT::COPY_XMIRREX;
    else if (syncType == RT::SYNC_SNAPSHOT)
        wanted = RT::COPY_SNAPTIRN;
    return !found->CopyTypeID.null && found->CopyTypeID.value == wanted ? 0 : 5;
}

}  // namespace cimple
