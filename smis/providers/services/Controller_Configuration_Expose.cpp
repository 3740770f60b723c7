// ExposePaths: a new host view on one port, or volumes and hosts added to
// an existing view.

#include "Controller_Configuration_Request.h"

#include "Method_Reference.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

void severe(const char* text) { SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "%s", text); }

}  // namespace

std::uint32_t Controller_Configuration_Request::ExposePaths(SPCList& out)
{
    std::uint32_t rc = checkParameterEP();
    if (rc == RC_OK)
        rc = SettingLogicalID(false);
    if (rc == RC_OK)
        rc = setPortType(_logicalID);
    if (rc != RC_OK)
        return rc;
    SMISProviderLUNConfiguration lc(_portType, _storageAddress);
    const bool create = _protocolControllers.size() == 0;
    if ((rc = checkParameterOfDeviceEP(lc)) != RC_OK)
        return rc;
    if ((rc = create ? createView(lc) : modifyView(lc)) != RC_OK)
        return rc;
    if ((rc = std::uint32_t(lc.registHost())) != RC_OK)
        return rc;
    // From here on a failed command takes back what this call made: the
    // host affinities it set, the group it created or the LUNs it added to
    // an existing one, and the hosts it registered, so that the array is as
    // it was and a retry starts from the same array.
    if ((rc = std::uint32_t(lc.registAffinityGroup(create ? SMISProviderLUNConfiguration::LC_CREATE
                                                          : SMISProviderLUNConfiguration::LC_SET))) != RC_OK) {
        // A new group whose creation answer was lost may stand on the array
        // all the same: it goes too when the refreshed table shows it.
        undoExpose(lc, create ? GROUP_IF_SHOWN : GROUP_KEPT);
        return rc;
    }
    if ((rc = std::uint32_t(lc.registHostAffinity(SMISProviderLUNConfiguration::LC_SET))) != RC_OK) {
        undoExpose(lc, create ? GROUP_MADE : GROUP_CHANGED);
        return rc;
    }
    refresh(0);
    return getSPCObjectPathList(out, true);
}

void Controller_Configuration_Request::undoExpose(SMISProviderLUNConfiguration& lc, GroupUndo group)
{
    bool undone = true;
    // Bindings first: the array keeps a bound group and a bound host.
    if (lc.undoHostAffinities() != 0) {
        undone = false;
        severe("ExposePaths could not release the host affinities it set: release them on the array");
    }
    const unsigned zone = _modifySPCList.empty() ? 0u : unsigned(_modifySPCList.back()->zone);
    if (group == GROUP_CHANGED && lc.registAffinityGroup(SMISProviderLUNConfiguration::LC_DELETE) != 0) {
        undone = false;
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                     "ExposePaths could not remove the LUNs it added to affinity group %u: remove "
                                     "them on the array",
                                     zone);
    }
    if ((group == GROUP_MADE || group == GROUP_IF_SHOWN) && !_modifySPCList.empty()) {
        bool shown = group == GROUP_MADE;
        if (!shown) {
            refresh(0);
            VELDARO_RefTable table(_storageAddress.c_str());
            shown = table.searchAffinityNumberFromAffinityTable(std::uint16_t(zone)) >= 0;
        }
        if (shown && lc.deleteZoneInf(0, std::uint16_t(zone)) != 0) {
            undone = false;
            SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                         "ExposePaths could not delete affinity group %u it created: delete it on "
                                         "the array",
                                         zone);
        }
    }
    if (lc.unregistCreatedHosts() != 0) {
        undone = false;
        severe("ExposePaths could not remove the hosts it registered: remove them on the array");
    }
    _modifySPCList.clear();
    refresh(0);
    if (undone)
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "ExposePaths took back what it made");
}

std::uint32_t Controller_Configuration_Request::checkParameterEP()
{
    bool ok;
    if (_protocolControllers.size() == 0) {
        ok = _luNames.size() > 0 && _initiatorPortIDs.size() > 0 && _targetPortIDs.size() == 1 &&
             _luNames.size() == _deviceAccesses.size();
    } else {
        ok = (_luNames.size() == 0 || _luNames.size() == _deviceAccesses.size()) && _targetPortIDs.size() == 0 &&
             _protocolControllers.size() == 1;
    }
    // One initiator named twice would be refused by the array only after
    // the group is made.
    if (!ok || namesAnInitiatorTwice()) {
        severe("Invalid Parameter");
        return RC_INVALID_PARAMETER;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::checkHostViewClass(const CIM_SCSIProtocolController* spc)
{
    if (spc->CreationClassName.null || spc->CreationClassName.value.size() == 0) {
        severe("Invalid SPC Class");
        return RC_INVALID_PARAMETER;
    }
    if (!(spc->CreationClassName.value == "VELDARO_AffinityGroupController")) {
        severe("Invalid Setting");
        return RC_PORT_SETTING;
    }
    return checkViewArray(spc);
}

std::uint32_t Controller_Configuration_Request::checkViewArray(const CIM_SCSIProtocolController* spc) const
{
    if (!Method_Reference::servedNameSpace(spc) || spc->SystemName.null ||
        !(spc->SystemName.value == _storageAddress)) {
        severe("Invalid SPC");
        return RC_INVALID_PARAMETER;
    }
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::checkParameterOfDeviceEP(SMISProviderLUNConfiguration& lc)
{
    for (std::size_t i = 0; i < _luNames.size(); ++i) {
        std::uint32_t rc = checkLogicalVolumeName(_luNames[i]);
        if (rc == RC_OK)
            rc = checkDeviceNumbersAndAccesses(i);
        if (rc != RC_OK)
            return rc;
    }
    for (std::size_t i = 0; i < _targetPortIDs.size(); ++i) {
        const std::uint16_t id = getLogicalID(_targetPortIDs[i]);
        if (id == NONE) {
            severe("Invalid TargetPortID");
            return RC_INVALID_TARGET;
        }
        if (!lc.isFCCASettingOfCAPort(id)) {
            severe("Err:Not FC-CA");
            return RC_PORT_SETTING;
        }
        if (!lc.isHostZone(id)) {
            severe("Invalid Setting");
            return RC_PORT_SETTING;
        }
    }
    if (_protocolControllers.size() == 0)
        return RC_OK;
    const CIM_SCSIProtocolController* spc = _protocolControllers[0];
    std::uint32_t rc = checkHostViewClass(spc);
    if (rc != RC_OK)
        return rc;
    const std::uint16_t zone = getZoneNumberFromSPC(spc);
    if (zone == NONE)
        return RC_INTERNAL;
    if (_luNames.size() > 0 && !lc.isModifyZone(zone)) {
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
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::createView(SMISProviderLUNConfiguration& lc)
{
    std::uint32_t rc = assignLUNs(lc);
    if (rc != RC_OK)
        return rc;
    if (lc.getWWPNList() != 0)
        return RC_FAILED;
    Array<std::uint16_t> unused;
    if (!lc.getUnusedZoneNumList(unused)) {
        severe("Invalid TargetPortID");
        return RC_INVALID_TARGET;
    }
    if (unused.size() == 0) {
        severe("Max Affinity");
        return RC_MAX_AFFINITY;
    }
    const std::uint16_t zone = unused[0];
    lc.addZoneInf(zone);
    const std::uint16_t id = getLogicalID(_targetPortIDs[0]);
    if (id == NONE) {
        severe("Invalid TargetPortID");
        return RC_INVALID_TARGET;
    }
    Array<String> ports;
    ports.append(_targetPortIDs[0]);
    if (lc.getHostZoneList(id) != 0)
        return RC_FAILED;
    for (std::size_t i = 0; i < _initiatorPortIDs.size(); ++i) {
        if (!lc.checkHostType(_initiatorPortIDs[i])) {
            severe("Invalid InitiatorPortIDs");
            return RC_INVALID_PARAMETER;
        }
        const int host = lc.getHostNumber(_initiatorPortIDs[i], true, nullptr);
        if (host < 0) {
            severe("Max WWN");
            return RC_MAX_WWN;
        }
        if (lc.isDuplicateHost(id, std::uint16_t(host))) {
            severe("Already exposed");
            return RC_ALREADY_EXPOSED;
        }
        if (lc.GetHostAffinityCount() >= SMISProviderLUNConfiguration::getMaxSizeOfHostPerPort()) {
            severe("Max Affinity");
            return RC_MAX_HOST_AFFINITY;
        }
        lc.addHostMappingToHostList(std::uint16_t(host), zone);
        lc.addHostMappingToTargetList(std::uint16_t(host), zone);
    }
    lc.addHostZoneList(id);
    if (AddModifySPCList(zone, ports) != 0)
        return RC_INVALID_TARGET;
    return RC_OK;
}

std::uint32_t Controller_Configuration_Request::modifyView(SMISProviderLUNConfiguration& lc)
{
    const CIM_SCSIProtocolController* spc = _protocolControllers[0];
    const std::uint16_t zone = getZoneNumberFromSPC(spc);
    if (zone == NONE)
        return RC_INTERNAL;
    std::uint32_t rc = RC_OK;
    if (_luNames.size() > 0) {
        if (!lc.ReadZoneInf(zone, false))
            return RC_INVALID_PARAMETER;
        if ((rc = assignLUNs(lc)) != RC_OK)
            return rc;
        lc.addZoneInf(zone);
    }
    std::vector<std::uint16_t> ids;
    if ((rc = getLogicalIDListFromSPC(spc, ids)) != RC_OK)
        return rc;
    for (std::size_t i = 0; i < _initiatorPortIDs.size(); ++i) {
        bool added = false;
        for (std::uint16_t id : ids) {
            const int found = lc.SearchHostAffinity(id);
            if (found >= 0) {
                lc.LoadHostAffinity(found);
            } else {
                lc.ClearHostAffinityInfo();
                if (lc.getHostZoneList(id) != 0) {
                    severe("Invalid LogicalID");
                    return RC_INTERNAL;
                }
            }
            if (!lc.checkHostType(_initiatorPortIDs[i])) {
                lc.addHostZoneList(id);
                severe("Invalid InitiatorPortIDs");
                return RC_INVALID_PARAMETER;
            }
            const int host = lc.getHostNumber(_initiatorPortIDs[i], true, nullptr);
            if (host < 0) {
                lc.addHostZoneList(id);
                severe("Max WWN");
                return RC_MAX_WWN;
            }
            if (lc.isDuplicateHost(id, std::uint16_t(host))) {
                lc.addHostZoneList(id);
                continue;
            }
            if (lc.GetHostAffinityCount() >= SMISProviderLUNConfiguration::getMaxSizeOfHostPerPort()) {
                lc.addHostZoneList(id);
                severe("Max Affinity");
                return RC_MAX_HOST_AFFINITY;
            }
            lc.addHostMappingToHostList(std::uint16_t(host), zone);
            lc.addHostMappingToTargetList(std::uint16_t(host), zone);
            lc.addHostZoneList(id);
            added = true;
        }
        if (!added) {
            severe("Already exposed");
            return RC_ALREADY_EXPOSED;
        }
    }
    Array<String> ports;
    if ((rc = getTargetPortIDSetFromSPC(spc, ports)) != RC_OK)
        return rc;
    if (AddModifySPCList(zone, ports) != 0)
        return RC_INVALID_TARGET;
    return RC_OK;
}

}  // namespace cimple
