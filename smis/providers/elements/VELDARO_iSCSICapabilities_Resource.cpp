// The iSCSI capabilities of one array: one instance whenever its table is
// valid, whether or not it has iSCSI ports.

#include "VELDARO_iSCSICapabilities_Resource.h"

#include <string>

#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

VELDARO_iSCSICapabilities_Resource::~VELDARO_iSCSICapabilities_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

int VELDARO_iSCSICapabilities_Resource::createiSCSICapabilities()
{
    VELDARO_iSCSICapabilities* made = nullptr;
    try {
        {
            VELDARO_RefTable table(_storage.c_str());
            const int first = Instance_Common::icFirstCommonProcess(&table);
            if (first != 0)
                return first;
        }
        made = Instance_Provider_Frame::newInstance<VELDARO_iSCSICapabilities>();
        if (setiSCSICapabilities(made) != 0) {
            destroy(made);
            return 1;
        }
        _instances.append(made);
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_iSCSICapabilities_Resource::setiSCSICapabilities(VELDARO_iSCSICapabilities* instance)
{
    try {
        instance->InstanceID.set(("VELDARO:iSCSICapabilities_" + std::string(_storage.c_str())).c_str());
        instance->Caption.set("iSCSI Capabilities");
        instance->Description.set("iSCSI Capabilities");
        instance->ElementName.set("iSCSI Capabilities");
        instance->MinimumSpecificationVersionSupported.set(0);
        instance->MaximumSpecificationVersionSupported.set(0);
        Array<uint16> methods;
        methods.append(2);
        methods.append(4);
        instance->AuthenticationMethodsSupported.set(methods);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
