// The masking and mapping abilities of one array: fixed values.

#include "VELDARO_ProtocolControllerMaskingCapabilities_Resource.h"

#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

Array<uint16> values(std::initializer_list<uint16> list)
{
    Array<uint16> out;
    for (uint16 v : list)
        out.append(v);
    return out;
}

}  // namespace

int VELDARO_ProtocolControllerMaskingCapabilities_Resource::createProtocolControllerMaskingCapabilities()
{
    VELDARO_ProtocolControllerMaskingCapabilities* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        made = Instance_Provider_Frame::newInstance<VELDARO_ProtocolControllerMaskingCapabilities>();
        made->Caption.set("Protocol Controller Masking Capabilities");
        made->Description.set("Protocol Controller Masking Capabilities");
        made->ElementName.set("VELDARO_ProtocolControllerMaskingCapabilities");
        made->InstanceID.set(concat("VELDARO:PCMC_", _storage));
        made->ValidHardwareIdTypes.set(values({2, 5, 6}));
        made->PortsPerView.set(2);
        made->ClientSelectableDeviceNumbers.set(true);
        made->AttachDeviceSupported.set(false);
        made->OneHardwareIDPerView.set(false);
        made->ExposePathsSupported.set(true);
        made->CreateProtocolControllerSupported.set(false);
        made->MaximumMapCount.set(512);
        made->SPCAllowsNoLUs.set(false);
        made->SPCAllowsNoTargets.set(false);
        made->SPCAllowsNoInitiators.set(false);
        made->SPCSupportsDefaultViews.set(true);
        made->SupportedSynchronousActions.set(values({2, 3, 4, 11, 12, 13, 14}));
        _list.append(made);
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
