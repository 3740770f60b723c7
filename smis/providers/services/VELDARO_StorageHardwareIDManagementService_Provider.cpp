// The storage hardware ID management service: a list pair, one instance per
// array, and the methods that register and remove host identifiers. The
// address of the running call lives on the method's stack, so overlapping
// calls on this provider object do not disturb each other.

#include "VELDARO_StorageHardwareIDManagementService_Provider.h"

#include <cctype>
#include <string>

#include "CommonBase.h"
#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "Method_Reference.h"
#include "SMISMethodCom.h"
#include "SMIS_MethodLock.h"
#include "SMISProviderLUNConfiguration.h"
#include "SMIS_CLICommon.h"
#include "SMIS_PollingService.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageHardwareIDManagementService_Resource.h"
#include "VELDARO_StorageHardwareID_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_StorageHardwareIDManagementService,
                                  VELDARO_StorageHardwareIDManagementService_Resource,
                                  &VELDARO_StorageHardwareIDManagementService_Resource::
                                      createStorageHardwareIDManagementService>;

constexpr std::uint32_t RC_INVALID = 5;
constexpr std::uint32_t RC_EXISTS = 4096;  // registered (create) or not registered (delete)
constexpr std::uint32_t RC_ID_TYPE = 4097;
constexpr std::uint32_t RC_MAX_WWN = 0x8003;
constexpr std::uint32_t RC_INTERNAL = 0x8030;

void severe(const char* text) { SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "%s", text); }
void info(const char* text) { SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "%s", text); }

// The engine's CA type of an identifier type; false for an unsupported one.
bool caTypeOf(int idType, std::uint16_t& caType)
{
    switch (idType) {
    case VELDARO_StorageHardwareID_Resource::ID_TYPE_WWN: caType = 0x0000; return true;
    case VELDARO_StorageHardwareID_Resource::ID_TYPE_ISCSI: caType = 0x2000; return true;
    case VELDARO_StorageHardwareID_Resource::ID_TYPE_SAS: caType = 0xA000; return true;
    default: return false;
    }
}

void refresh(const String& address)
{
    if (SMIS_PollingService* service = SMIS_PollingService::getInstance())
        service->getConfigManagementInfo(address.c_str(), 0);
}

// The identifier as the table shows it once registered: WWNs and SAS
// addresses in capitals, iSCSI names as given and without an address.
VELDARO_StorageHardwareID* registered(const String& address, const String& storageId, int idType,
                                      const String& elementName)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                           "Host %s was registered but the table does not show it yet: answered from the request",
                           storageId.c_str());
    std::string id(storageId.c_str());
    const bool iscsi = idType == VELDARO_StorageHardwareID_Resource::ID_TYPE_ISCSI;
    if (!iscsi)
        for (char& c : id)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    VELDARO_StorageHardwareID* made = nullptr;
    try {
        made = Instance_Provider_Frame::newInstance<VELDARO_StorageHardwareID>();
        if (VELDARO_StorageHardwareID_Resource(address).setStorageHardwareID(
                made, id.c_str(), static_cast<std::uint16_t>(idType), elementName.c_str(), iscsi ? nullptr : "") == 0)
            return made;
    } catch (...) {
    }
    if (made)
        destroy(made);
    return nullptr;
}

std::uint32_t create(const String& address, const String& elementName, const String& storageId, int idType,
                     CIM_StorageHardwareID*& out)
{
    const SMIS_MethodLock lock(address.c_str());
    VELDARO_RefTable table(address.c_str(), VELDARO_RefTable::UNLOCKED);
    std::uint32_t rc = SMISMethodCom::mcFirstCommonProcess(0xFFFFFFFF, &table);
    if (rc != 0)
        return rc;
    std::uint16_t caType = 0;
    if (!caTypeOf(idType, caType)) {
        severe("Invalid IDType");
        return RC_ID_TYPE;
    }
    SMISProviderLUNConfiguration lc(caType, address);
    try {
        // A nickname the array's command line cannot take (a blank, a
        // control character, '?', a leading '-') is the caller's fault.
        if (elementName.size() > 16 || (elementName.size() > 0 && !SMIS_CLICommon::isSafeToken(elementName.c_str()))) {
            severe("Invalid ElementName");
            return RC_INVALID;
        }
        if (storageId.size() == 0) {
            severe("The StorageID parameter is null");
            return RC_INVALID;
        }
        const bool valid = idType == VELDARO_StorageHardwareID_Resource::ID_TYPE_ISCSI
                               ? SMISProviderLUNConfiguration::isiSCSIName(storageId)
                               : SMISProviderLUNConfiguration::isWWPN(storageId);
        if (!valid) {
            severe("The StorageID parameter is invalid");
            return RC_INVALID;
        }
        if (lc.hasWWN(storageId)) {
            severe("The HostWWN parameter is exist");
            return RC_EXISTS;
        }
        const int host = lc.getHostNumber(storageId, true, elementName.c_str());
        if (host == -1) {
            severe("The host number was failed to acquisition");
            return RC_INTERNAL;
        }
        if (host < 0) {
            severe("Maximum number of registered Host WWN has been reached");
            return RC_MAX_WWN;
        }
    } catch (...) {
        severe("The Exception -- Input parameter check");
        return RC_INTERNAL;
    }
    try {
        if ((rc = std::uint32_t(lc.registHost())) != 0)
            return rc;
    } catch (...) {
        severe("The Exception -- Registration of WWN");
        return RC_INTERNAL;
    }
    if (SMIS_PollingService::getInstance()) {
        refresh(address);
        table.resetCMTAddr();
    }
    // The array registered the identifier: from here on the answer is
    // success. While the table cannot show it yet (its fetch failed), the
    // answer is built from what was registered.
    int kind = 0;
    const int index = table.searchHostNameFromHostTable(storageId.c_str(), kind, nullptr);
    VELDARO_StorageHardwareID* made = nullptr;
    if (index >= 0 && kind == idType &&
        VELDARO_StorageHardwareID_Resource(address).createInstance(made, idType, index) == 1)
        made = nullptr;
    if (!made)
        made = registered(address, storageId, idType, elementName);
    if (!made) {
        severe("Fatal error -- generic occurred");
        return RC_INTERNAL;
    }
    if (out)
        destroy(out);
    out = cast<CIM_StorageHardwareID*>(made);
    return 0;
}

std::uint32_t remove(const String& address, const CIM_StorageHardwareID* reference)
{
    const SMIS_MethodLock lock(address.c_str());
    VELDARO_RefTable table(address.c_str(), VELDARO_RefTable::UNLOCKED);
    std::uint32_t rc = SMISMethodCom::mcFirstCommonProcess(0xFFFFFFFF, &table);
    if (rc != 0)
        return rc;
    if (!reference) {
        severe("The HardwareID parameter is null");
        return RC_INVALID;
    }
    char identifier[VELDARO_StorageHardwareID_Resource::IDENTIFIER_SIZE] = {};
    char hostAddress[VELDARO_StorageHardwareID_Resource::ADDRESS_SIZE] = {};
    int kind = 0, index = -1;
    VELDARO_StorageHardwareID* built = nullptr;
    String keyArray;
    if (reference->InstanceID.null || !Method_Reference::servedNameSpace(reference) ||
        !VELDARO_StorageHardwareID_Resource::divide_InstanceID(reference->InstanceID.value.c_str(), identifier,
                                                               hostAddress) ||
        !CommonBase::get_storage_ip(&reference->InstanceID.value, &keyArray) || !(keyArray == address)) {
        severe("The HardwareID parameter is invalid");
        return RC_INVALID;
    }
    index = table.searchHostNameFromHostTable(identifier, kind, nullptr);
    if (index >= 0)
        VELDARO_StorageHardwareID_Resource(address).createInstance(built, kind, index);
    if (!built) {
        severe("The HostWWN parameter is not exist");
        return RC_EXISTS;
    }
    // The reference must be this array's identifier key for key (its
    // InstanceID ends in the array's address), not one that merely parses
    // to an identifier the array also holds.
    if (!Method_Reference::names(reference, built)) {
        destroy(built);
        severe("The HardwareID parameter is invalid");
        return RC_INVALID;
    }
    const int idType = built->IDType.null ? -1 : int(built->IDType.value);
    const String storageId = built->StorageID.value;
    destroy(built);
    std::uint16_t caType = 0;
    if (!caTypeOf(idType, caType)) {
        severe("Invalid IDType");
        return RC_INVALID;
    }
    SMISProviderLUNConfiguration lc(caType, address);
    try {
        if (lc.getHostNumber(storageId, false, nullptr) < 0) {
            severe("The host number was failed to acquisition");
            return RC_INTERNAL;
        }
    } catch (...) {
        severe("The Exception -- Input parameter check");
        return RC_INTERNAL;
    }
    try {
        Array<String> names;
        names.append(storageId);
        if ((rc = std::uint32_t(lc.deleteHost(names))) != 0)
            return rc;
    } catch (...) {
        severe("The Exception -- Delete WWN");
        return RC_INTERNAL;
    }
    refresh(address);
    return 0;
}

}  // namespace

VELDARO_StorageHardwareIDManagementService_Provider::VELDARO_StorageHardwareIDManagementService_Provider() {}

VELDARO_StorageHardwareIDManagementService_Provider::~VELDARO_StorageHardwareIDManagementService_Provider() {}

Get_Instance_Status VELDARO_StorageHardwareIDManagementService_Provider::get_instance(
    const VELDARO_StorageHardwareIDManagementService* model, VELDARO_StorageHardwareIDManagementService*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageHardwareIDManagementService_Provider::enum_instances(
    const VELDARO_StorageHardwareIDManagementService* model,
    Enum_Instances_Handler<VELDARO_StorageHardwareIDManagementService>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_StorageHardwareIDManagementService_Provider::CreateStorageHardwareID(
    const VELDARO_StorageHardwareIDManagementService* self, const Property<String>& ElementName,
    const Property<String>& StorageID, const Property<uint16>& IDType, const Property<String>&,
    const CIM_StorageClientSettingData*, CIM_StorageHardwareID*& HardwareID, Property<uint32>& return_value)
{
    info("CreateStorageHardwareID Start");
    std::uint32_t rc = RC_INTERNAL;
    try {
        const String address = self && !self->SystemName.null ? self->SystemName.value : String();
        HardwareID = cast<CIM_StorageHardwareID*>(VELDARO_StorageHardwareID::create(true));
        rc = create(address, ElementName.null ? String() : ElementName.value,
                    StorageID.null ? String() : StorageID.value, IDType.null ? -1 : int(IDType.value), HardwareID);
    } catch (const SMIS_MethodLockBusy&) {
        rc = SMIS_MethodLock::BUSY;
    } catch (...) {
        rc = SMIS_MethodLock::failureCode(RC_INTERNAL);
    }
    // A failed creation names nothing: the output is left out rather than
    // answered as an identifier without keys.
    if (rc != 0 && HardwareID) {
        destroy(HardwareID);
        HardwareID = nullptr;
    }
    return_value.set(rc);
    if (rc == 0)
        info("CreateStorageHardwareID End");
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_StorageHardwareIDManagementService_Provider::DeleteStorageHardwareID(
    const VELDARO_StorageHardwareIDManagementService* self, const CIM_StorageHardwareID* HardwareID,
    Property<uint32>& return_value)
{
    info("DeleteStorageHardwareID Start");
    std::uint32_t rc = RC_INTERNAL;
    try {
        const String address = self && !self->SystemName.null ? self->SystemName.value : String();
        rc = remove(address, HardwareID);
    } catch (const SMIS_MethodLockBusy&) {
        rc = SMIS_MethodLock::BUSY;
    } catch (...) {
        rc = SMIS_MethodLock::failureCode(RC_INTERNAL);
    }
    return_value.set(rc);
    if (rc == 0)
        info("DeleteStorageHardwareID End");
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
