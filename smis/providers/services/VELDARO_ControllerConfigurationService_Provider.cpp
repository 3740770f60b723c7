// The controller configuration service: a list pair, one instance per
// array, and the four masking methods. Each method call gets its own
// Controller_Configuration_Request, so calls that overlap on this provider
// object share no request state.

#include "VELDARO_ControllerConfigurationService_Provider.h"

#include <cstdio>
#include <memory>
#include <string>

#include "Controller_Configuration_Request.h"
#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "SMISMethodCom.h"
#include "SMIS_MethodLock.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_ControllerConfigurationService_Resource.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ControllerConfigurationService,
                                  VELDARO_ControllerConfigurationService_Resource,
                                  &VELDARO_ControllerConfigurationService_Resource::createControllerConfigurationService>;

using Request = Controller_Configuration_Request;
using Method = std::uint32_t (Request::*)(Request::SPCList&);

template <class T>
Array<T> valuesOf(const Property<Array<T>>& p)
{
    return p.null ? Array<T>() : p.value;
}

// The frame shared by the four methods: start and end lines, the array's
// method lock and an unlocked table view held for the whole call (readers
// never wait for the array's commands), the pre-check, the request, and the
// references that replace the input ones. The framework status is always 0.
Invoke_Method_Status runMethod(const char* name, std::uint32_t checkFlags,
                               const VELDARO_ControllerConfigurationService* self, CIM_ConcreteJob*& job,
                               Request& request, const String& address, Method method,
                               Array<CIM_SCSIProtocolController*>& controllers, Property<uint32>& returnValue,
                               const char* paraLine)
{
    (void)self;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Method Call %s start", name);
    std::uint32_t rc = 0;
    std::unique_ptr<const SMIS_MethodLock> lock;
    try {
        lock = std::make_unique<const SMIS_MethodLock>(address.c_str());
    } catch (const SMIS_MethodLockBusy&) {
        job = nullptr;
        returnValue.set(SMIS_MethodLock::BUSY);
        return INVOKE_METHOD_OK;
    } catch (...) {
        // The method lock could not be taken: nothing is sent to the array,
        // and the client gets the method's failure code (escaping, the
        // exception would reach the client as a refusal of its parameters).
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "%s: the method lock of %s was not obtained", name,
                               address.c_str());
        job = nullptr;
        returnValue.set(SMIS_MethodLock::failureCode(Request::RC_INTERNAL));
        return INVOKE_METHOD_OK;
    }
    {
        VELDARO_RefTable table(address.c_str(), VELDARO_RefTable::UNLOCKED);
        rc = SMISMethodCom::mcFirstCommonProcess(checkFlags, &table);
        job = nullptr;
        if (rc == 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "%s", paraLine);
            Request::SPCList out;
            try {
                rc = (request.*method)(out);
            } catch (...) {
                rc = Request::RC_INTERNAL;
            }
            // The input references are replaced by the views the method touched.
            for (std::size_t i = 0; i < controllers.size(); ++i)
                destroy(controllers[i]);
            controllers.clear();
            if (rc == 0) {
                controllers = out;
            } else {
                for (std::size_t i = 0; i < out.size(); ++i)
                    destroy(out[i]);
            }
        }
    }
    returnValue.set(rc);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "0x%08x=%s end", rc, name);
    return INVOKE_METHOD_OK;
}

String addressOf(const VELDARO_ControllerConfigurationService* self)
{
    return self && !self->SystemName.null ? self->SystemName.value : String();
}

std::string paraSize(std::initializer_list<std::pair<const char*, std::size_t>> counts)
{
    std::string line = "ParaSize";
    char buf[64];
    for (const auto& [label, n] : counts) {
        std::snprintf(buf, sizeof buf, " %s=0x%08zx", label, n);
        line += buf;
    }
    return line;
}

}  // namespace

VELDARO_ControllerConfigurationService_Provider::VELDARO_ControllerConfigurationService_Provider() {}

VELDARO_ControllerConfigurationService_Provider::~VELDARO_ControllerConfigurationService_Provider() {}

Get_Instance_Status VELDARO_ControllerConfigurationService_Provider::get_instance(
    const VELDARO_ControllerConfigurationService* model, VELDARO_ControllerConfigurationService*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ControllerConfigurationService_Provider::enum_instances(
    const VELDARO_ControllerConfigurationService* model,
    Enum_Instances_Handler<VELDARO_ControllerConfigurationService>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_ControllerConfigurationService_Provider::ExposePaths(
    const VELDARO_ControllerConfigurationService* self, CIM_ConcreteJob*& Job, const Property<Array<String>>& LUNames,
    const Property<Array<String>>& InitiatorPortIDs, const Property<Array<String>>& TargetPortIDs,
    const Property<Array<String>>& DeviceNumbers, const Property<Array<uint16>>& DeviceAccesses,
    Array<CIM_SCSIProtocolController*>& ProtocolControllers, Property<uint32>& return_value)
{
    const String address = addressOf(self);
    Request request(address, valuesOf(LUNames), valuesOf(InitiatorPortIDs), valuesOf(TargetPortIDs),
                    valuesOf(DeviceNumbers), valuesOf(DeviceAccesses), ProtocolControllers);
    const std::string line = paraSize({{"LUNames", valuesOf(LUNames).size()},
                                       {"InitiatorPortIDs", valuesOf(InitiatorPortIDs).size()},
                                       {"TargetPortIDs", valuesOf(TargetPortIDs).size()},
                                       {"DeviceNumbers", valuesOf(DeviceNumbers).size()},
                                       {"DeviceAccesses", valuesOf(DeviceAccesses).size()},
                                       {"ProtocolControllers", ProtocolControllers.size()}});
    return runMethod("ExposePaths", 0xFFFFFFFF, self, Job, request, address, &Request::ExposePaths,
                     ProtocolControllers, return_value, line.c_str());
}

Invoke_Method_Status VELDARO_ControllerConfigurationService_Provider::HidePaths(
    const VELDARO_ControllerConfigurationService* self, CIM_ConcreteJob*& Job, const Property<Array<String>>& LUNames,
    const Property<Array<String>>& InitiatorPortIDs, const Property<Array<String>>& TargetPortIDs,
    Array<CIM_SCSIProtocolController*>& ProtocolControllers, Property<uint32>& return_value)
{
    const String address = addressOf(self);
    Request request(address, valuesOf(LUNames), valuesOf(InitiatorPortIDs), valuesOf(TargetPortIDs), Array<String>(),
                    Array<uint16>(), ProtocolControllers);
    const std::string line = paraSize({{"LUNames", valuesOf(LUNames).size()},
                                       {"InitiatorPortIDs", valuesOf(InitiatorPortIDs).size()},
                                       {"TargetPortIDs", valuesOf(TargetPortIDs).size()},
                                       {"ProtocolControllers", ProtocolControllers.size()}});
    return runMethod("HidePaths", 0xFFFFFFFF, self, Job, request, address, &Request::HidePaths, ProtocolControllers,
                     return_value, line.c_str());
}

Invoke_Method_Status VELDARO_ControllerConfigurationService_Provider::ExposeDefaultLUs(
    const VELDARO_ControllerConfigurationService* self, CIM_ConcreteJob*& Job, const Property<Array<String>>& LUNames,
    const Property<Array<String>>& TargetPortIDs, const Property<Array<String>>& DeviceNumbers,
    const Property<Array<uint16>>& DeviceAccesses, Array<CIM_SCSIProtocolController*>& ProtocolControllers,
    Property<uint32>& return_value)
{
    const String address = addressOf(self);
    Request request(address, valuesOf(LUNames), Array<String>(), valuesOf(TargetPortIDs), valuesOf(DeviceNumbers),
                    valuesOf(DeviceAccesses), ProtocolControllers);
    const std::string line = paraSize({{"LUNames", valuesOf(LUNames).size()},
                                       {"TargetPortIDs", valuesOf(TargetPortIDs).size()},
                                       {"DeviceNumbers", valuesOf(DeviceNumbers).size()},
                                       {"DeviceAccesses", valuesOf(DeviceAccesses).size()},
                                       {"ProtocolControllers", ProtocolControllers.size()}});
    return runMethod("ExposeDefaultLUs", 5, self, Job, request, address, &Request::ExposeDefaultLUs,
                     ProtocolControllers, return_value, line.c_str());
}

Invoke_Method_Status VELDARO_ControllerConfigurationService_Provider::HideDefaultLUs(
    const VELDARO_ControllerConfigurationService* self, CIM_ConcreteJob*& Job, const Property<Array<String>>& LUNames,
    const Property<Array<String>>& TargetPortIDs, Array<CIM_SCSIProtocolController*>& ProtocolControllers,
    Property<uint32>& return_value)
{
    const String address = addressOf(self);
    Request request(address, valuesOf(LUNames), Array<String>(), valuesOf(TargetPortIDs), Array<String>(),
                    Array<uint16>(), ProtocolControllers);
    const std::string line = paraSize({{"LUNames", valuesOf(LUNames).size()},
                                       {"TargetPortIDs", valuesOf(TargetPortIDs).size()},
                                       {"ProtocolControllers", ProtocolControllers.size()}});
    return runMethod("HideDefaultLUs", 5, self, Job, request, address, &Request::HideDefaultLUs,
                     ProtocolControllers, return_value, line.c_str());
}

}  // namespace cimple
