// ExposeDefaultLUs and HideDefaultLUs: volumes added to or removed from the
// LUN mapping of one port, which every host on the port sees.

#include "Controller_Configuration_Request.h"

#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

void severe(const char* text) { SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "%s", text); }

}  // namespace

std::uint32_t Controller_Configuration_Request::ExposeDefaultLUs(SPCList& out)
{
    std::uint32_t rc = checkParameterEPDefault();
    if (rc != RC_OK)
        return rc;
    rc = SettingLogicalID(true);
    if (rc == RC_OK)
        rc = setPortType(_logicalID);
    if (rc != RC_OK)
        return remapExposeDefault(rc);
    SMISProviderLUNConfiguration lc(_portType, _storageAddress);
    if ((rc = checkParameterOfDeviceEPDefault(lc)) == RC_OK && (rc = SettingDefaultView(lc)) == RC_OK &&
        (rc = std::uint32_t(lc.registLUNMapping(SMISProviderLUNConfiguration::LC_SET))) == RC_OK) {
        refresh(0);
        rc = getDefaultSPCObjectPathList(out);
    }
    return remapExposeDefault(rc);
}

std::uint32_t Controller_Configuration_Request::HideDefaultLUs(SPCList& out)
{
    std::uint32_t rc = checkParameterHPDefault();
    if (rc != RC_OK)
        return rc;
    rc = SettingLogicalID(true);
    if (rc == RC_OK)
        rc = setPortType(_logicalID);
    if (rc != RC_OK)
        return remapHideDefault(rc);
    SMISProviderLUNConfiguration lc(_portType, _storageAddress);
    if ((rc = checkParameterOfDeviceHPDefault(lc)) == RC_OK && (rc = removeLUNDefault(lc)) == RC_OK &&
        (rc = std::uint32_t(lc.registLUNMapping(SMISProviderLUNConfiguration::LC_DELETE))) == RC_OK) {
        rc = getDefaultSPCObjectPathList(out);
        refresh(0);
    }
    return remapHideDefault(rc);
}

std::uint32_t Controller_Configuration_Request::checkParameterEPDefault()
{
    if (_protocolControllers.size() == 0) {
        severe("SCSI Protocol Controller is already exist");
        return RC_NO_SPC;
    }
    if (_luNames.size() == 0 || _luNames.size() != _deviceAccesses.size() || _targetPortIDs.size() != 0 ||
        _protocolControllers.size() != 1) {
        severe("Invalid Parameter");
        return RC_INVALID_PARAMETER;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::checkParameterHPDefault()
{
    if (_luNames.size() == 0 || _targetPortIDs.size() != 0 || _protocolControllers.size() != 1) {
        severe("Invalid Parameter");
        return RC_INVALID_PARAMETER;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::checkDefaultClass(const CIM_SCSIProtocolController* spc)
{
    if (spc->CreationClassName.null || spc->CreationClassName.value.size() == 0) {
        severe("Invalid SPC Class");
        return RC_INVALID_PARAMETER;
    }
    if (!(spc->CreationClassName.value == "VELDARO_LUNMappingController")) {
        severe("Invalid Setting");
        return RC_PORT_SETTING;
    }
    return checkViewArray(spc);
}

std::uint32_t Controller_Configuration_Request::checkParameterOfDeviceEPDefault(SMISProviderLUNConfiguration& lc)
{
    std::uint32_t rc = RC_OK;
    for (std::size_t i = 0; i < _luNames.size(); ++i) {
        if ((rc = checkLogicalVolumeName(_luNames[i])) != RC_OK)
            return rc;
        if ((rc = checkDeviceNumbersAndAccesses(i)) != RC_OK)
            return rc;
    }
    if ((rc = checkDefaultClass(_protocolControllers[0])) != RC_OK)
        return rc;
    return checkPort(lc, _logicalID, true);
}

std::uint32_t Controller_Configuration_Request::checkParameterOfDeviceHPDefault(SMISProviderLUNConfiguration& lc)
{
    std::uint32_t rc = RC_OK;
    for (std::size_t i = 0; i < _luNames.size(); ++i)
        if ((rc = checkLogicalVolumeName(_luNames[i])) != RC_OK)
            return rc;
    _acceptedSPCList.clear();
    if ((rc = checkDefaultClass(_protocolControllers[0])) != RC_OK)
        return rc;
    if ((rc = checkPort(lc, _logicalID, true)) != RC_OK)
        return rc;
    _acceptedSPCList.push_back(_protocolControllers[0]);
    return RC_OK;
}

std::uint16_t Controller_Configuration_Request::defaultViewNumber()
{
    const std::uint16_t ordinal = std::uint16_t(((_logicalID >> 8) & 0x3F) << 1 | (_logicalID & 1));
    VELDARO_RefTable table(_storageAddress.c_str());
    return table.getLUNMapLUNMappingNumber(ordinal);
}

std::uint32_t Controller_Configuration_Request::SettingDefaultView(SMISProviderLUNConfiguration& lc)
{
    const std::uint16_t number = defaultViewNumber();
    if (!lc.ReadZoneInf(number, true))
        return RC_INVALID_PARAMETER;
    const std::uint32_t rc = assignLUNs(lc);
    if (rc != RC_OK)
        return rc;
    lc.addZoneInf(number);
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::removeLUNDefault(SMISProviderLUNConfiguration& lc)
{
    const std::uint16_t number = defaultViewNumber();
    bool removed = false;
    for (std::size_t i = 0; i < _luNames.size(); ++i) {
        std::uint16_t volume = NONE;
        const std::uint32_t rc = getLogicalVolumeNumber(_luNames[i], volume);
        if (rc != RC_OK)
            return rc;
        if (lc.removeLUNFromZone(number, volume, true))
            removed = true;
    }
    if (!removed) {
        severe("Invalid SPC Class");
        return RC_INVALID_LU_NAMES;
    }
    return RC_OK;
}

}  // namespace cimple
