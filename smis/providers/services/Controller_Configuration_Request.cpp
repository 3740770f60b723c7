// The operations that the four masking methods share: ports by ID or by
// protocol-controller key, volume checks, port checks, pending views and the
// result references.

#include "Controller_Configuration_Request.h"

#include "CA_Port_Name.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "RefTable_Text.h"
#include "SMIS_PollingService.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

constexpr const char* CLS = "VELDARO_ControllerConfigurationService_Provider::";

class OpTrace {
public:
    explicit OpTrace(const char* op) : _op(op)
    {
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s%s start", CLS, _op);
    }
    ~OpTrace() { SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s%s end", CLS, _op); }

private:
    const char* _op;
};

void severe(const char* text) { SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "%s", text); }

bool isISCSI(std::uint16_t type) { return VELDARO_ValueConv::convCATypeToCAKind(type) == 1; }

}  // namespace

Controller_Configuration_Request::Controller_Configuration_Request(
    const String& storageAddress, const Array<String>& luNames, const Array<String>& initiatorPortIDs,
    const Array<String>& targetPortIDs, const Array<String>& deviceNumbers,
    const Array<std::uint16_t>& deviceAccesses, const SPCList& protocolControllers)
    : _storageAddress(storageAddress),
      _luNames(luNames),
      _initiatorPortIDs(initiatorPortIDs),
      _targetPortIDs(targetPortIDs),
      _deviceNumbers(deviceNumbers),
      _deviceAccesses(deviceAccesses),
      _protocolControllers(protocolControllers)
{
}

Controller_Configuration_Request::~Controller_Configuration_Request() = default;

std::uint16_t Controller_Configuration_Request::logicalIDOf(std::uint16_t cm, std::uint16_t ca, std::uint16_t port)
{
    const CA_Port_Name name = CA_Port_Name::fields(cm, ca, port);
    return std::uint16_t(name.moduleId() << 8 | name.portNumber());
}

void Controller_Configuration_Request::portOf(std::uint16_t id, std::uint16_t& cm, std::uint16_t& ca,
                                              std::uint16_t& port)
{
    const CA_Port_Name name = CA_Port_Name::of(std::uint8_t(id >> 8), std::uint8_t(id & 0xFF));
    cm = name.cm;
    ca = name.ca;
    port = name.port;
}

String Controller_Configuration_Request::portIDText(const VELDARO_RefTable& table, int ca, int port) const
{
    if (isISCSI(table.getMaskCARealType(ca))) {
        RefTable_Text name(table.getCAPortiSCSIName(ca, port));
        if (name.missing())
            return String();
        const std::uint16_t tag =
            std::uint16_t((((table.getCAModuleId(ca) & 0x3F) << 1) | (port & 1)) + 1);
        return VELDARO_ValueConv::makeiSCSITargetPortName(name.str(), tag);
    }
    RefTable_Text wwn(table.getCAPortWwn(ca, port));
    return wwn.missing() ? String() : wwn.str();
}

bool Controller_Configuration_Request::namesAnInitiatorTwice() const
{
    for (std::size_t i = 0; i < _initiatorPortIDs.size(); ++i)
        for (std::size_t j = i + 1; j < _initiatorPortIDs.size(); ++j)
            if (_initiatorPortIDs[i].equali(_initiatorPortIDs[j]))
                return true;
    return false;
}

std::uint16_t Controller_Configuration_Request::getLogicalID(const String& portID)
{
    OpTrace t("getLogicalID");
    VELDARO_RefTable table(_storageAddress.c_str());
    for (std::uint32_t ca = 0; ca < VELDARO_RefTable::getCAMaxCount(); ++ca) {
        if (table.getCAStatus(int(ca)) == 0)
            continue;
        for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p) {
            if (table.getCAPortStatus(int(ca), int(p)) == 0)
                continue;
            const String text = portIDText(table, int(ca), int(p));
            if (text.size() == 0)
                return NONE;
            if (text.equali(portID))
                return std::uint16_t(table.getCAModuleId(int(ca)) << 8 | table.getCAPortNo(int(ca), int(p)));
        }
    }
    return NONE;
}

std::uint16_t Controller_Configuration_Request::getZoneNumberFromSPC(const CIM_SCSIProtocolController* spc)
{
    OpTrace t("getZoneNumberFromSPC");
    std::uint16_t zone = 0;
    if (!spc || spc->DeviceID.null || spc->DeviceID.value.size() == 0 ||
        !VELDARO_AffinityGroupController_Resource::divide_DeviceID(spc->DeviceID.value.c_str(), &zone, nullptr,
                                                                   nullptr, nullptr)) {
        severe("Invalid SPC Class");
        return NONE;
    }
    return zone;
}

std::uint16_t Controller_Configuration_Request::getLogicalIDFromSPC(const CIM_SCSIProtocolController* spc,
                                                                    bool isDefault)
{
    OpTrace t("getLogicalIDFromSPC");
    std::uint16_t zone = 0, cm = 0, ca = 0, port = 0;
    const char* key = spc && !spc->DeviceID.null ? spc->DeviceID.value.c_str() : nullptr;
    const bool read = isDefault ? VELDARO_LUNMappingController_Resource::divide_DeviceID(key, &cm, &ca, &port)
                                : VELDARO_AffinityGroupController_Resource::divide_DeviceID(key, &zone, &cm, &ca,
                                                                                            &port);
    if (!read || cm > 7 || ca > 3 || port > 15) {
        severe("Invalid SPC Class");
        return NONE;
    }
    return logicalIDOf(cm, ca, port);
}

std::uint32_t Controller_Configuration_Request::getLogicalIDListFromSPC(const CIM_SCSIProtocolController* spc,
                                                                        std::vector<std::uint16_t>& list)
{
    OpTrace t("getLogicalIDListFromSPC");
    const std::uint16_t id = getLogicalIDFromSPC(spc, false);
    if (id == NONE)
        return RC_INTERNAL;
    VELDARO_RefTable table(_storageAddress.c_str());
    for (std::uint32_t ca = 0; ca < VELDARO_RefTable::getCAMaxCount(); ++ca) {
        if (table.getCAStatus(int(ca)) == 0 || table.getCAModuleId(int(ca)) != (id >> 8))
            continue;
        for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p)
            if (table.getCAPortStatus(int(ca), int(p)) != 0 && table.getCAPortNo(int(ca), int(p)) == (id & 0xFF))
                list.push_back(id);
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::getTargetPortIDSetFromSPC(const CIM_SCSIProtocolController* spc,
                                                                          Array<String>& ids)
{
    OpTrace t("getTargetPortIDSetFromSPC");
    const std::uint16_t id = getLogicalIDFromSPC(spc, false);
    VELDARO_RefTable table(_storageAddress.c_str());
    const int ca = id == NONE ? -1 : table.searchCAModuleIdFromCATable(std::uint8_t(id >> 8));
    if (ca < 0) {
        severe("Invalid LogicalID");
        return RC_INTERNAL;
    }
    const int port = table.searchCAPortNoFromPortTable(ca, std::uint8_t(id & 0xFF));
    const String text = port < 0 ? String() : portIDText(table, ca, port);
    if (text.size() == 0) {
        severe("Err:Get WWN(CA Port)");
        return RC_INTERNAL;
    }
    ids.append(text);
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::getLogicalVolumeNumber(const String& name, std::uint16_t& volume)
{
    OpTrace t("getLogicalVolumeNumber");
    volume = NONE;
    const std::uint16_t number = VELDARO_ValueConv::getOlunFromVpd83(name);
    VELDARO_RefTable table(_storageAddress.c_str());
    const int olu = number == NONE ? -1 : table.searchOlunFromOluTable(number);
    const int slu = olu < 0 ? -1 : table.searchSlunFromSluTable(table.getOluSlun(olu, 0));
    if (slu < 0) {
        severe("Invalid LU Names");
        return RC_INVALID_LU_NAMES;
    }
    VELDARO_StorageVolume* built = nullptr;
    VELDARO_StorageVolume_Resource(_storageAddress).createInstance(built, slu);
    if (!built) {
        severe("Err:Get Storage Volume");
        return RC_INTERNAL;
    }
    const bool same = !built->Name.null && built->Name.value == name;
    destroy(built);
    if (!same) {
        severe("Invalid LU Names");
        return RC_INVALID_LU_NAMES;
    }
    volume = number;
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::checkLogicalVolumeName(const String& name)
{
    OpTrace t("checkLogicalVolumeName");
    std::uint16_t volume = NONE;
    const std::uint32_t rc = getLogicalVolumeNumber(name, volume);
    if (rc != RC_OK)
        return rc;
    VELDARO_RefTable table(_storageAddress.c_str());
    const int olu = table.searchOlunFromOluTable(volume);
    Array<int> slus;
    if (olu < 0 || table.getSluIndexListInOlu(olu, slus) != 0 || slus.size() == 0) {
        severe("Invalid Logical Volume Name");
        return RC_INVALID_LU_NAMES;
    }
    for (std::size_t i = 0; i < slus.size(); ++i) {
        switch (table.getLuType(slus[i])) {
        case 1: case 4: case 9: case 11: case 13: break;
        case 2: case 3: severe("Mainframe volume"); return RC_MAINFRAME_VOLUME;
        case 7: severe("Pool for copy volume"); return RC_COPY_POOL_VOLUME;
        default: severe("Unknown volume"); return RC_UNKNOWN_VOLUME;
        }
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::checkPort(SMISProviderLUNConfiguration& lc, std::uint16_t id,
                                                          bool isDefault)
{
    OpTrace t("checkPort");
    if (!lc.isFCCASettingOfCAPort(id)) {
        severe("Err:Not FC-CA");
        return RC_PORT_SETTING;
    }
    if (lc.isDefaultSettingOfCAPort(id)) {
        severe("CA Port default setup");
        return RC_PORT_SETTING;
    }
    if (isDefault ? lc.isHostZone(id) : lc.isZoneSettingOfCAPort(id)) {
        severe("Invalid Setting");
        return RC_PORT_SETTING;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::SettingLogicalID(bool isDefault)
{
    OpTrace t("SettingLogicalID");
    if (_protocolControllers.size() == 0) {
        _logicalID = _targetPortIDs.size() ? getLogicalID(_targetPortIDs[0]) : NONE;
        if (_logicalID == NONE) {
            severe("Invalid TargetPortID");
            return RC_INVALID_TARGET;
        }
        return RC_OK;
    }
    _logicalID = getLogicalIDFromSPC(_protocolControllers[0], isDefault);
    return _logicalID == NONE ? RC_INVALID_PARAMETER : RC_OK;
}

std::uint32_t Controller_Configuration_Request::setPortType(std::uint16_t id)
{
    OpTrace t("setPortType");
    VELDARO_RefTable table(_storageAddress.c_str());
    const int ca = table.searchCAModuleIdFromCATable(std::uint8_t(id >> 8));
    if (ca < 0)
        return RC_INVALID_TARGET;
    _portType = table.getMaskCARealType(ca);
    return RC_OK;
}

int Controller_Configuration_Request::AddModifySPCList(std::uint16_t zone, const Array<String>& targetPortIDs)
{
    OpTrace t("AddModifySPCList");
    try {
        auto record = std::make_unique<ModifySPCRecord>();
        record->zone = zone;
        record->targetPortIDs = targetPortIDs;
        _modifySPCList.push_back(std::move(record));
        return 0;
    } catch (const std::bad_alloc&) {
        severe("Err:Not enough memory");
        return -1;
    }
}

std::uint32_t Controller_Configuration_Request::getSPCObjectPathList(SPCList& out, bool exposed)
{
    OpTrace t("getSPCObjectPathList");
    VELDARO_AffinityGroupController_Resource builder(_storageAddress);
    std::uint32_t rc = RC_OK;
    for (const auto& record : _modifySPCList) {
        for (std::size_t i = 0; i < record->targetPortIDs.size(); ++i) {
            const std::uint16_t id = getLogicalID(record->targetPortIDs[i]);
            if (id == NONE)
                continue;
            int entry = -1;
            {
                VELDARO_RefTable table(_storageAddress.c_str());
                entry = table.searchAffinityNumberFromAffinityTable(record->zone);
            }
            std::uint16_t cm = 0, ca = 0, port = 0;
            portOf(id, cm, ca, port);
            VELDARO_AffinityGroupController* made = nullptr;
            if (entry >= 0 && builder.createInstance(made, entry, cm, ca, port) != 0) {
                rc = RC_FAILED;
                break;
            }
            if (!made && exposed) {
                // The array took the view but the table does not show it yet
                // (its fetch failed): the view is named by its key, which the
                // group number and the port fix.
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "Affinity group %u is not in the table yet: answered by its key",
                                       unsigned(record->zone));
                const CA_Port_Name name = CA_Port_Name::fields(cm, ca, port);
                made = VELDARO_AffinityGroupController::create(true);
                if (builder.setKeyProperties(made, name.moduleId(), name.portNumber(), record->zone) != 0) {
                    destroy(made);
                    rc = RC_FAILED;
                    break;
                }
            }
            if (made) {
                out.append(cast<CIM_SCSIProtocolController*>(made));
                break;
            }
        }
        if (rc != RC_OK)
            break;
    }
    _modifySPCList.clear();
    return rc;
}

std::uint32_t Controller_Configuration_Request::getDefaultSPCObjectPathList(SPCList& out)
{
    OpTrace t("getDefaultSPCObjectPathList");
    VELDARO_LUNMappingController_Resource builder(_storageAddress);
    if (builder.createLUNMappingController() == 1)
        return RC_FAILED;
    std::uint16_t cm = 0, ca = 0, port = 0;
    portOf(_logicalID, cm, ca, port);
    for (std::size_t i = 0; i < builder.list().size(); ++i) {
        const VELDARO_LUNMappingController* c = builder.list()[i];
        if (c->CMSlotNumber.value == cm && c->CASlotNumber.value == ca && c->PortNo.value == port) {
            out.append(cast<CIM_SCSIProtocolController*>(c->clone()));
            break;
        }
    }
    return RC_OK;
}

bool Controller_Configuration_Request::hasDeviceNumber(std::size_t i) const
{
    return i < _deviceNumbers.size() && _deviceNumbers[i].size() > 0;
}

bool Controller_Configuration_Request::readHex(const String& text, std::uint32_t& value)
{
    // Hexadecimal digits, with or without a leading "0x" or "0X".
    const char* s = text.c_str();
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s += 2;
    if (!*s)
        return false;
    for (const char* c = s; *c; ++c)
        if (!std::isxdigit(static_cast<unsigned char>(*c)))
            return false;
    if (std::strlen(s) > 8)
        return false;
    value = std::uint32_t(std::strtoul(s, nullptr, 16));
    return true;
}

std::uint32_t Controller_Configuration_Request::checkDeviceNumbersAndAccesses(std::size_t i)
{
    if (i >= _deviceAccesses.size() || _deviceAccesses[i] != 2) {
        severe("Invalid DeviceAccess");
        return RC_INVALID_ACCESS;
    }
    std::uint32_t lun = 0;
    if (hasDeviceNumber(i) && (!readHex(_deviceNumbers[i], lun) || lun > 0x1FF)) {
        severe("Invalid Parameter");
        return RC_INVALID_PARAMETER;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::assignLUNs(SMISProviderLUNConfiguration& lc)
{
    for (std::size_t i = 0; i < _luNames.size(); ++i) {
        std::uint16_t volume = NONE;
        const std::uint32_t rc = getLogicalVolumeNumber(_luNames[i], volume);
        if (rc != RC_OK)
            return rc;
        std::uint32_t lun = 0;
        if (hasDeviceNumber(i)) {
            if (!readHex(_deviceNumbers[i], lun) || lun > 0x1FF) {
                severe("Invalid Parameter");
                return RC_INVALID_PARAMETER;
            }
        } else {
            lun = lc.getFreeLUN();
            if (lun == NONE) {
                severe("Max Map Count");
                return RC_MAX_MAP_COUNT;
            }
        }
        if (lc.isDuplicateLUN(std::uint16_t(lun), volume)) {
            severe("LUN is in use");
            return RC_LUN_IN_USE;
        }
        lc.addLUNMappingToZoneInf(std::uint16_t(lun), volume);
        lc.addLUNMappingToTargetList(std::uint16_t(lun), volume);
        if (lc.GetZoneInfMapCount() > SMISProviderLUNConfiguration::getMaxSizeOfLUNPerZone()) {
            severe("Max Map Count");
            return RC_MAX_MAP_COUNT;
        }
    }
    return RC_OK;
}

void Controller_Configuration_Request::refresh(int mode) const
{
    if (SMIS_PollingService* service = SMIS_PollingService::getInstance())
        service->getConfigManagementInfo(_storageAddress.c_str(), mode);
}

std::uint32_t Controller_Configuration_Request::remapExposeDefault(std::uint32_t code)
{
    switch (code) {
    case RC_INVALID_TARGET: return RC_INVALID_INITIATOR;
    case RC_INVALID_ACCESS: return RC_INVALID_TARGET;
    case RC_LUN_IN_USE: return RC_INVALID_ACCESS;
    case RC_MAX_MAP_COUNT: return RC_ALREADY_EXPOSED;
    default: return code;
    }
}

std::uint32_t Controller_Configuration_Request::remapHideDefault(std::uint32_t code)
{
    return code == RC_INVALID_TARGET ? RC_INVALID_INITIATOR : code;
}

}  // namespace cimple
