// HidePaths: hosts and volumes withdrawn from one host view; affinity groups
// that no port binds any longer are deleted.

#include "Controller_Configuration_Request.h"

#include <set>

#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

void severe(const char* text) { SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "%s", text); }

}  // namespace

std::uint32_t Controller_Configuration_Request::HidePaths(SPCList& out)
{
    std::uint32_t rc = checkParameterHP();
    if (rc == RC_OK)
        rc = SettingLogicalID(false);
    if (rc == RC_OK)
        rc = setPortType(_logicalID);
    if (rc != RC_OK)
        return rc;
    SMISProviderLUNConfiguration lc(_portType, _storageAddress);
    if ((rc = checkParameterOfDeviceHP(lc)) != RC_OK)
        return rc;
    if (_initiatorPortIDs.size() > 0 && (rc = removeHost(lc)) != RC_OK)
        return rc;
    if (_luNames.size() > 0 && (rc = removeLUN(lc)) != RC_OK)
        return rc;
    for (std::size_t i = 0; i < _protocolControllers.size(); ++i) {
        const std::uint16_t zone = getZoneNumberFromSPC(_protocolControllers[i]);
        if (zone == NONE)
            return RC_INTERNAL;
        Array<String> ports;
        if ((rc = getTargetPortIDSetFromSPC(_protocolControllers[i], ports)) != RC_OK)
            return rc;
        if (AddModifySPCList(zone, ports) != 0)
            return RC_INVALID_TARGET;
    }
    // The groups left unbound are told from the bindings this call releases
    // and the table read before the release: a table fetch failing after
    // the release would still show the released bindings, and a group
    // deleted on no such ground stays on the array with its volumes, bound
    // to no host, so that no view shows it.
    Array<std::uint16_t> ids;
    std::set<std::uint16_t> bound;
    if (lc.getAllLogicalID(ids) != 0 || !lc.groupsBoundAfterRelease(ids, bound)) {
        severe("HidePaths cannot tell which affinity groups it leaves unbound: nothing was changed");
        return RC_FAILED;
    }
    // From here on a failed step sets again the host affinities the call
    // released, so that a failure leaves the view as it was.
    if ((rc = std::uint32_t(lc.registHostAffinity(SMISProviderLUNConfiguration::LC_DELETE))) != RC_OK) {
        undoHide(lc);
        return rc;
    }
    refresh(0);
    if ((rc = std::uint32_t(lc.unregisteredAffinityGroup(bound))) != RC_OK) {
        undoHide(lc);
        return rc;
    }
    if ((rc = getSPCObjectPathList(out)) != RC_OK)
        return rc;
    refresh(1);
    return RC_OK;
}

void Controller_Configuration_Request::undoHide(SMISProviderLUNConfiguration& lc)
{
    if (lc.undoHostAffinities() != 0)
        severe("HidePaths could not set again the host affinities it released: set them on the array");
    else
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "HidePaths took back what it released");
    refresh(0);
}

std::uint32_t Controller_Configuration_Request::checkParameterHP()
{
    if ((_luNames.size() == 0 && _initiatorPortIDs.size() == 0) || _protocolControllers.size() != 1 ||
        namesAnInitiatorTwice()) {
        severe("Invalid Parameter");
        return RC_INVALID_PARAMETER;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::checkParameterOfDeviceHP(SMISProviderLUNConfiguration& lc)
{
    std::uint32_t rc = RC_OK;
    for (std::size_t i = 0; i < _luNames.size(); ++i)
        if ((rc = checkLogicalVolumeName(_luNames[i])) != RC_OK)
            return rc;
    for (std::size_t i = 0; i < _initiatorPortIDs.size(); ++i) {
        if (!lc.hasWWN(_initiatorPortIDs[i])) {
            severe("Invalid InitiatorPortIDs");
            return RC_INVALID_INITIATOR;
        }
    }
    _acceptedSPCList.clear();
    for (std::size_t i = 0; i < _protocolControllers.size(); ++i) {
        const CIM_SCSIProtocolController* spc = _protocolControllers[i];
        if ((rc = checkHostViewClass(spc)) != RC_OK)
            return rc;
        _acceptedSPCList.push_back(spc);
        const std::uint16_t zone = getZoneNumberFromSPC(spc);
        if (zone == NONE)
            return RC_INTERNAL;
        if (!lc.isModifyZone(zone)) {
            severe("Unsupport Affinity");
            return RC_UNSUPPORTED_AFFINITY;
        }
        {
            VELDARO_RefTable table(_storageAddress.c_str());
            const int entry = table.searchAffinityNumberFromAffinityTable(zone);
            if (entry < 0 || table.getAffinityDefinition(entry) == 0) {
                severe("Not found Affinity");
                return RC_INTERNAL;
            }
        }
        std::vector<std::uint16_t> ids;
        if ((rc = getLogicalIDListFromSPC(spc, ids)) != RC_OK)
            return rc;
        for (std::uint16_t id : ids)
            if ((rc = checkPort(lc, id, false)) != RC_OK)
                return rc;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::removeHost(SMISProviderLUNConfiguration& lc)
{
    bool removed = false;
    for (const CIM_SCSIProtocolController* spc : _acceptedSPCList) {
        const std::uint16_t zone = getZoneNumberFromSPC(spc);
        if (zone == NONE)
            return RC_INTERNAL;
        std::vector<std::uint16_t> ids;
        const std::uint32_t rc = getLogicalIDListFromSPC(spc, ids);
        if (rc != RC_OK)
            return rc;
        for (std::uint16_t id : ids) {
            for (std::size_t i = 0; i < _initiatorPortIDs.size(); ++i) {
                if (lc.removeHostFromCAPort(id, _initiatorPortIDs[i], zone)) {
                    removed = true;
                    _removedHostList.append(_initiatorPortIDs[i]);
                }
            }
        }
    }
    if (!removed) {
        severe("Invalid SPC Class");
        return RC_INVALID_ACCESS;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::removeLUN(SMISProviderLUNConfiguration& lc)
{
    bool removed = false;
    for (const CIM_SCSIProtocolController* spc : _acceptedSPCList) {
        const std::uint16_t zone = getZoneNumberFromSPC(spc);
        if (zone == NONE)
            return RC_INTERNAL;
        for (std::size_t i = 0; i < _luNames.size(); ++i) {
            std::uint16_t volume = NONE;
            const std::uint32_t rc = getLogicalVolumeNumber(_luNames[i], volume);
            if (rc != RC_OK)
                return rc;
            if (lc.removeLUNFromZone(zone, volume, false))
                removed = true;
        }
        if (lc.getMappingLUNCount(zone) == 0 && !lc.removeAffinityGroupFromCAPort(_logicalID, zone, _removedHostList)) {
            severe("Invalid SPC Class");
            return RC_INTERNAL;
        }
    }
    if (!removed) {
        severe("Invalid SPC Class");
        return RC_INVALID_LU_NAMES;
    }
    return RC_OK;
}

}  // namespace cimple
