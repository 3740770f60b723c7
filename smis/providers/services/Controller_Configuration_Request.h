#pragma once
// One masking request of the controller configuration service: ExposePaths,
// HidePaths, ExposeDefaultLUs or HideDefaultLUs. The provider makes one
// object per method call, so concurrent calls on one provider object never
// share request state.
//
// Each method checks the request, fills the LUN configuration engine with
// the wanted changes, lets it apply them on the array, refreshes the cached
// table and builds the references of the views it touched. The result is
// the method's return value; the method never throws.

#include <cimple/cimple.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "CIM_SCSIProtocolController.h"
#include "SMISProviderLUNConfiguration.h"

namespace cimple {

class Controller_Configuration_Request {
public:
    using SPCList = Array<CIM_SCSIProtocolController*>;

    // Return codes of the masking methods.
    static constexpr std::uint32_t RC_OK = 0;
    static constexpr std::uint32_t RC_FAILED = 4;
    static constexpr std::uint32_t RC_INVALID_PARAMETER = 5;
    static constexpr std::uint32_t RC_INVALID_LU_NAMES = 0x1001;
    static constexpr std::uint32_t RC_INVALID_INITIATOR = 0x1002;
    static constexpr std::uint32_t RC_INVALID_TARGET = 0x1003;
    static constexpr std::uint32_t RC_INVALID_ACCESS = 0x1004;
    static constexpr std::uint32_t RC_ALREADY_EXPOSED = 0x1005;
    static constexpr std::uint32_t RC_LUN_IN_USE = 0x1006;
    static constexpr std::uint32_t RC_MAX_MAP_COUNT = 0x1007;
    static constexpr std::uint32_t RC_MAX_WWN = 0x8003;
    static constexpr std::uint32_t RC_MAX_AFFINITY = 0x8004;
    static constexpr std::uint32_t RC_MAX_HOST_AFFINITY = 0x8005;
    static constexpr std::uint32_t RC_PORT_SETTING = 0x8021;
    static constexpr std::uint32_t RC_MAINFRAME_VOLUME = 0x8022;
    static constexpr std::uint32_t RC_UNSUPPORTED_AFFINITY = 0x8024;
    static constexpr std::uint32_t RC_COPY_POOL_VOLUME = 0x8026;
    static constexpr std::uint32_t RC_UNKNOWN_VOLUME = 0x8027;
    static constexpr std::uint32_t RC_INTERNAL = 0x8030;
    static constexpr std::uint32_t RC_NO_SPC = 0x8031;
    static constexpr std::uint16_t NONE = 0xFFFF;

    Controller_Configuration_Request(const String& storageAddress, const Array<String>& luNames,
                                     const Array<String>& initiatorPortIDs, const Array<String>& targetPortIDs,
                                     const Array<String>& deviceNumbers, const Array<std::uint16_t>& deviceAccesses,
                                     const SPCList& protocolControllers);
    ~Controller_Configuration_Request();
    Controller_Configuration_Request(const Controller_Configuration_Request&) = delete;
    Controller_Configuration_Request& operator=(const Controller_Configuration_Request&) = delete;

    // The methods. out receives the references of the touched views (the
    // caller owns them); it stays empty on failure.
    std::uint32_t ExposePaths(SPCList& out);
    std::uint32_t HidePaths(SPCList& out);
    std::uint32_t ExposeDefaultLUs(SPCList& out);
    std::uint32_t HideDefaultLUs(SPCList& out);

    // ---- shared operations ----
    std::uint16_t getLogicalID(const String& portID);
    std::uint16_t getLogicalIDFromSPC(const CIM_SCSIProtocolController* spc, bool isDefault);
    std::uint16_t getZoneNumberFromSPC(const CIM_SCSIProtocolController* spc);
    std::uint32_t getLogicalIDListFromSPC(const CIM_SCSIProtocolController* spc, std::vector<std::uint16_t>& list);
    std::uint32_t getTargetPortIDSetFromSPC(const CIM_SCSIProtocolController* spc, Array<String>& ids);
    std::uint32_t getLogicalVolumeNumber(const String& name, std::uint16_t& volume);
    std::uint32_t checkLogicalVolumeName(const String& name);
    std::uint32_t checkPort(SMISProviderLUNConfiguration& lc, std::uint16_t logicalID, bool isDefault);
    std::uint32_t SettingLogicalID(bool isDefault);
    std::uint32_t setPortType(std::uint16_t logicalID);
    int AddModifySPCList(std::uint16_t zone, const Array<String>& targetPortIDs);
    // exposed: the views were just made or changed by an accepted command,
    // so a view the table does not show yet is named by its key.
    std::uint32_t getSPCObjectPathList(SPCList& out, bool exposed = false);
    std::uint32_t getDefaultSPCObjectPathList(SPCList& out);

    // Logical ID of CM, CA and port numbers, and back.
    static std::uint16_t logicalIDOf(std::uint16_t cm, std::uint16_t ca, std::uint16_t port);
    static void portOf(std::uint16_t logicalID, std::uint16_t& cm, std::uint16_t& ca, std::uint16_t& port);
    // The remapping of the default-view methods' internal codes.
    static std::uint32_t remapExposeDefault(std::uint32_t code);
    static std::uint32_t remapHideDefault(std::uint32_t code);

    std::uint16_t logicalID() const { return _logicalID; }
    std::size_t pendingViews() const { return _modifySPCList.size(); }

private:
    struct ModifySPCRecord {
        std::uint16_t zone = 0;
        Array<String> targetPortIDs;
    };

    // ExposePaths
    // True when InitiatorPortIDs names one initiator twice (letters in any
    // case): such a request is refused before any command.
    bool namesAnInitiatorTwice() const;
    // What a failed ExposePaths does with the group it created or changed.
    enum GroupUndo { GROUP_KEPT, GROUP_MADE, GROUP_IF_SHOWN, GROUP_CHANGED };
    // Takes back what a failed ExposePaths made: the host affinities it set,
    // the group it created (GROUP_IF_SHOWN: when the refreshed table shows
    // it) or the LUNs it added to an existing one (GROUP_CHANGED), and the
    // hosts it registered; a failed undo is logged SEVERE.
    void undoExpose(SMISProviderLUNConfiguration& lc, GroupUndo group);
    // Sets again the host affinities a failed HidePaths released; a failed
    // undo is logged SEVERE.
    void undoHide(SMISProviderLUNConfiguration& lc);
    std::uint32_t checkParameterEP();
    std::uint32_t checkParameterOfDeviceEP(SMISProviderLUNConfiguration& lc);
    std::uint32_t assignLUNs(SMISProviderLUNConfiguration& lc);
    std::uint32_t createView(SMISProviderLUNConfiguration& lc);
    std::uint32_t modifyView(SMISProviderLUNConfiguration& lc);
    std::uint32_t checkDeviceNumbersAndAccesses(std::size_t i);
    // HidePaths
    std::uint32_t checkParameterHP();
    std::uint32_t checkParameterOfDeviceHP(SMISProviderLUNConfiguration& lc);
    // The reference names a host view ("Invalid SPC Class" 5, "Invalid Setting" 0x8021).
    std::uint32_t checkHostViewClass(const CIM_SCSIProtocolController* spc);
    // RC_OK when the view reference is served in the arrays' name space and
    // its SystemName is this request's array, else 5.
    std::uint32_t checkViewArray(const CIM_SCSIProtocolController* spc) const;
    std::uint32_t removeHost(SMISProviderLUNConfiguration& lc);
    std::uint32_t removeLUN(SMISProviderLUNConfiguration& lc);
    // Default views
    std::uint32_t checkParameterEPDefault();
    std::uint32_t checkParameterHPDefault();
    std::uint32_t checkDefaultClass(const CIM_SCSIProtocolController* spc);
    std::uint32_t checkParameterOfDeviceEPDefault(SMISProviderLUNConfiguration& lc);
    std::uint32_t checkParameterOfDeviceHPDefault(SMISProviderLUNConfiguration& lc);
    std::uint16_t defaultViewNumber();
    std::uint32_t SettingDefaultView(SMISProviderLUNConfiguration& lc);
    std::uint32_t removeLUNDefault(SMISProviderLUNConfiguration& lc);

    // The port ID text of a CA port: iSCSI target name or WWN; empty when missing.
    String portIDText(const VELDARO_RefTable& table, int ca, int port) const;
    bool hasDeviceNumber(std::size_t i) const;
    static bool readHex(const String& text, std::uint32_t& value);
    void refresh(int mode) const;

    String _storageAddress;
    Array<String> _luNames;
    Array<String> _initiatorPortIDs;
    Array<String> _targetPortIDs;
    Array<String> _deviceNumbers;
    Array<std::uint16_t> _deviceAccesses;
    const SPCList& _protocolControllers;
    std::vector<const CIM_SCSIProtocolController*> _acceptedSPCList;
    std::uint16_t _logicalID = NONE;
    Array<String> _removedHostList;
    std::vector<std::unique_ptr<ModifySPCRecord>> _modifySPCList;
    std::uint16_t _portType = 0;
};

}  // namespace cimple
