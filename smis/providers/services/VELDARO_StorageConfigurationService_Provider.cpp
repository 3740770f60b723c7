// The storage configuration service: one instance per array (a list pair)
// and the methods that make, grow and remove volumes and pools on the array.
//
// The adapter runs every call of one provider object under its mutex, so
// the storage address kept in the object belongs to the running call.

#include "VELDARO_StorageConfigurationService_Provider.h"

#include <cinttypes>

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "SMISMethodCom.h"
#include "SMIS_MethodLock.h"
#include "SMIS_TraceLog.h"
#include "Storage_Pool_Work.h"
#include "Storage_Volume_Work.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageConfigurationService_Resource.h"
#include "String_Ops.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_StorageConfigurationService, VELDARO_StorageConfigurationService_Resource,
                                  &VELDARO_StorageConfigurationService_Resource::createStorageConfigurationService>;

constexpr std::uint32_t ALL_CHECKS = 0xFFFFFFFFu;
constexpr std::uint32_t CHECK_TABLE_AND_ARRAY = SMISMethodCom::CHECK_VALID_TABLE | SMISMethodCom::CHECK_AVAILABLE;

void severe(const char* file, unsigned line, const char* text)
{
    SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, "%s", text);
}

// What a method holds for its whole call: the array's method lock, which
// keeps the other methods on the array out, and an unlocked view of the
// table with the pre-check on it. No table mutex is held across the
// pre-check's refresh, the command or the closing refresh, so readers of the
// array answer from the image in place while the array is slow or silent;
// the views the work opens take the table mutex only while they read.
struct MethodView {
    MethodView(const VELDARO_StorageConfigurationService* self, String& address, std::uint32_t flags)
        : lock((address = (self && !self->SystemName.null) ? self->SystemName.value : String()).c_str()),
          table(address.c_str(), VELDARO_RefTable::UNLOCKED),
          check(SMISMethodCom::mcFirstCommonProcess(flags, &table))
    {
    }
    SMIS_MethodLock lock;
    VELDARO_RefTable table;
    const std::uint32_t check;
};

bool contains(const Property<String>& text, const char* part)
{
    return !text.null && text.value.find(part) != npos;
}

// A method that failed names no element: TheElement is left out of the
// answer (a reference without keys is no reference).
void emptyElement(CIM_LogicalElement*& element)
{
    if (element)
        destroy(element);
    element = nullptr;
}

}  // namespace

VELDARO_StorageConfigurationService_Provider::VELDARO_StorageConfigurationService_Provider() {}

VELDARO_StorageConfigurationService_Provider::~VELDARO_StorageConfigurationService_Provider() {}

Get_Instance_Status VELDARO_StorageConfigurationService_Provider::get_instance(
    const VELDARO_StorageConfigurationService* model, VELDARO_StorageConfigurationService*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageConfigurationService_Provider::enum_instances(
    const VELDARO_StorageConfigurationService* model, Enum_Instances_Handler<VELDARO_StorageConfigurationService>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

Invoke_Method_Status VELDARO_StorageConfigurationService_Provider::CreateOrModifyStoragePool(
    const VELDARO_StorageConfigurationService* self, const Property<String>& ElementName, CIM_ConcreteJob*&,
    const CIM_StorageSetting* Goal, Property<uint64>& Size, const Property<Array<String>>& InPools,
    const Property<Array<String>>& InExtents, CIM_StoragePool*& Pool, Property<uint32>& return_value)
{
    const std::uint64_t requested = Size.null ? 0 : Size.value;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "CreateOrModifyStoragePool(0x%016" PRIx64 ") Start",
                           requested);
    std::uint32_t result = 0;
    try {
        const MethodView view(self, _storage_address, ALL_CHECKS);
        result = view.check;
        if (result == 0) {
            std::uint64_t size = requested;
            Size.set(0);
            const String name = ElementName.null ? String() : ElementName.value;
            result = Storage_Pool_Work(_storage_address)
                         .createOrModifyStoragePool(name, Goal, size, InPools, InExtents, Pool);
            if (result == 0) {
                Size.set(size);
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                       "CreateOrModifyStoragePool(0x%016" PRIx64 ") End", size);
            }
        }
    } catch (const SMIS_MethodLockBusy&) {
        result = SMIS_MethodLock::BUSY;
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in createOrModifyStoragePool");
        result = SMIS_MethodLock::failureCode(Storage_Volume_Work::ABNORMAL);
    }
    return_value.set(result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_StorageConfigurationService_Provider::DeleteStoragePool(
    const VELDARO_StorageConfigurationService* self, CIM_ConcreteJob*&, const CIM_StoragePool* Pool,
    Property<uint32>& return_value)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "DeleteStoragePool Start");
    std::uint32_t result = 0;
    try {
        const MethodView view(self, _storage_address, CHECK_TABLE_AND_ARRAY);
        result = view.check;
        if (result == 0)
            result = Storage_Pool_Work(_storage_address).deleteStoragePool(Pool);
    } catch (const SMIS_MethodLockBusy&) {
        result = SMIS_MethodLock::BUSY;
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in deleteStoragePool");
        result = SMIS_MethodLock::failureCode(Storage_Volume_Work::ABNORMAL);
    }
    return_value.set(result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_StorageConfigurationService_Provider::CreateOrModifyElementFromStoragePool(
    const VELDARO_StorageConfigurationService* self, const Property<String>& ElementName,
    const Property<uint16>& ElementType, CIM_ConcreteJob*&, const CIM_ManagedElement*, Property<uint64>& Size,
    const CIM_StoragePool* InPool, CIM_LogicalElement*& TheElement, Property<uint32>& return_value)
{
    const std::uint64_t requested = Size.null ? 0 : Size.value;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "CreateOrModifyElementFromStoragePool(0x%016" PRIx64 ") Start", requested);
    std::uint32_t result = 0;
    try {
        const MethodView view(self, _storage_address, ALL_CHECKS);
        result = view.check;
        if (result != 0) {
            emptyElement(TheElement);
            return_value.set(result);
            return INVOKE_METHOD_OK;
        }
        std::uint64_t size = requested;
        Size.set(0);
        const String name = ElementName.null ? String() : ElementName.value;
        const int type = ElementType.null ? -1 : ElementType.value;
        Storage_Volume_Work work(_storage_address);

        if (type != 2 && type != 5) {
            severe(__FILE__, __LINE__, "Parameter error(ElementType)");
            result = Storage_Volume_Work::NOT_SUPPORTED;
        } else if (!Storage_Volume_Work::checkElementName(name)) {
            severe(__FILE__, __LINE__, "Parameter error(ElementName-OLU Name)");
            result = Storage_Volume_Work::INVALID_PARAMETER;
        } else if (!InPool && !(type == 5 && TheElement)) {
            severe(__FILE__, __LINE__, "Parameter error(StoragePool)");
            result = Storage_Volume_Work::INVALID_PARAMETER;
        } else if (InPool && contains(InPool->InstanceID, "PSP")) {
            severe(__FILE__, __LINE__, "It is PrimordialStoragePool");
            result = Storage_Volume_Work::INVALID_PARAMETER;
        } else if (type == 2 && TheElement) {
            severe(__FILE__, __LINE__, "Parameter error(TheElement)");
            result = Storage_Volume_Work::NOT_SUPPORTED;
        } else {
            try {
                if (type == 2)
                    result = work.createStorageVolume(InPool, size, TheElement, name);
                else if (TheElement)
                    result = work.modifyThinproStorageVolume(size, TheElement);
                else
                    result = work.createThinproStorageVolume(InPool, size, TheElement, name);
                if (result == 0 || result == Storage_Volume_Work::SIZE_NOT_SUPPORTED)
                    Size.set(size);
                else
                    severe(__FILE__, __LINE__, "Creation of StorageVolume goes wrong");
            } catch (...) {
                severe(__FILE__, __LINE__, "Abnormalities occur in createStorageVolume");
                result = Storage_Volume_Work::ABNORMAL;
            }
        }
    } catch (const SMIS_MethodLockBusy&) {
        result = SMIS_MethodLock::BUSY;
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in createStorageVolume");
        result = SMIS_MethodLock::failureCode(Storage_Volume_Work::ABNORMAL);
    }
    return_value.set(result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_StorageConfigurationService_Provider::ReturnToStoragePool(
    const VELDARO_StorageConfigurationService* self, CIM_ConcreteJob*&, const CIM_LogicalElement* TheElement,
    Property<uint32>& return_value)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "ReturnToStoragePool Start");
    std::uint32_t result = 0;
    try {
        const MethodView view(self, _storage_address, CHECK_TABLE_AND_ARRAY);
        result = view.check;
        if (result == 0) {
            if (!TheElement) {
                severe(__FILE__, __LINE__, "Parameter error(TheElement)");
                result = Storage_Volume_Work::INVALID_PARAMETER;
            } else {
                result = Storage_Volume_Work(_storage_address).deleteStorageVolume(TheElement);
                if (result != 0)
                    severe(__FILE__, __LINE__, "Deletion of StorageVolume goes wrong");
                else
                    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "ReturnToStoragePool End");
            }
        }
    } catch (const SMIS_MethodLockBusy&) {
        result = SMIS_MethodLock::BUSY;
    } catch (...) {
        severe(__FILE__, __LINE__, "Abnormalities occur in deleteStorageVolume");
        result = SMIS_MethodLock::failureCode(Storage_Volume_Work::ABNORMAL);
    }
    return_value.set(result);
    return INVOKE_METHOD_OK;
}

Invoke_Method_Status VELDARO_StorageConfigurationService_Provider::CreateOrModifyElementFromElements(
    const VELDARO_StorageConfigurationService* self, const Property<String>& ElementName,
    const Property<uint16>& ElementType, CIM_ConcreteJob*&, const CIM_ManagedElement* Goal, Property<uint64>& Size,
    const Array<CIM_StorageExtent*>& InElements, CIM_LogicalElement*& TheElement, Property<uint32>& return_value)
{
    const std::uint64_t requested = Size.null ? 0 : Size.value;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "CreateOrModifyElementFromElements(0x%016" PRIx64 ") Start", requested);
    std::uint32_t result = 0;
    auto end = [&]() {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                               "CreateOrModifyElementFromElements(0x%016" PRIx64 ") End",
                               Size.null ? 0 : static_cast<std::uint64_t>(Size.value));
    };
    const char* abnormal = "Abnormalities occur in CreateOrModifyElementFromElements";
    try {
        const MethodView view(self, _storage_address, ALL_CHECKS);
        result = view.check;
        if (result != 0) {
            emptyElement(TheElement);
            return_value.set(result);
            return INVOKE_METHOD_OK;
        }
        Size.set(0);
        const String name = ElementName.null ? String() : ElementName.value;
        const int type = ElementType.null ? -1 : ElementType.value;
        Storage_Volume_Work work(_storage_address);

        if (type != 2 && type != 4 && type != 6) {
            severe(__FILE__, __LINE__, "Parameter error(ElementType)");
            result = Storage_Volume_Work::NOT_SUPPORTED;
        } else if (TheElement && type != 6 &&
                   !(type == 4 && Storage_Pool_Work::isThinRequest(Storage_Pool_Work::asPool(TheElement), Goal))) {
            severe(__FILE__, __LINE__, "Parameter error(TheElement)");
            result = Storage_Volume_Work::NOT_SUPPORTED;
        } else if (InElements.size() == 0 && !(type == 6 && TheElement)) {
            severe(__FILE__, __LINE__, "Parameter error(CIM_StorageExtent)");
            result = Storage_Volume_Work::INVALID_PARAMETER;
        } else if (type == 4) {
            abnormal = "Abnormalities occur in createOrModifyElementFromElements";
            std::uint64_t size = requested;
            result = Storage_Pool_Work(_storage_address)
                         .createOrModifyElementFromElements(name, Goal, size, InElements, TheElement);
            if (result == 0) {
                Size.set(size);
                end();
            } else {
                severe(__FILE__, __LINE__, "Creation of StoragePool goes wrong");
            }
        } else if (type == 6 && TheElement) {
            abnormal = "Abnormalities occur in CreateOrModifyElementFromElements for modify TPV";
            std::uint64_t size = requested;
            result = work.modifyThinproStorageVolume(size, TheElement);
            if (result == 0 || result == Storage_Volume_Work::SIZE_NOT_SUPPORTED)
                Size.set(size);
            end();
        } else if (!Storage_Volume_Work::checkElementName(name)) {
            severe(__FILE__, __LINE__, "Parameter error(ElementName-OLU Name)");
            result = Storage_Volume_Work::INVALID_PARAMETER;
        } else {
            const bool thin = type == 6;
            if (thin)
                abnormal = "Abnormalities occur in CreateOrModifyElementFromElements for create TPV";
            const char* extentClass = thin ? "VELDARO_ThinProvisioningFreeExtent" : "VELDARO_FreeExtent";
            // Every free extent the request names must be one of this array,
            // key for key, before any volume is made from one of them.
            for (size_t i = 0; i < InElements.size(); ++i) {
                const CIM_StorageExtent* extent = InElements[i];
                if (extent && contains(extent->CreationClassName, extentClass) &&
                    !work.namesFreeExtent(extent, thin)) {
                    severe(__FILE__, __LINE__, "Parameter error(CIM_StorageExtent)");
                    return_value.set(Storage_Volume_Work::INVALID_PARAMETER);
                    return INVOKE_METHOD_OK;
                }
            }
            result = Storage_Volume_Work::FAILED;
            bool done = false;
            for (size_t i = 0; i < InElements.size() && !done; ++i) {
                const CIM_StorageExtent* extent = InElements[i];
                if (!extent || !contains(extent->CreationClassName, extentClass))
                    continue;
                CIM_StoragePool* pool = thin ? cast<CIM_StoragePool*>(work.createThinConcreteComponent(extent))
                                             : cast<CIM_StoragePool*>(work.createConcreteComponent(extent));
                if (!pool)
                    continue;
                std::uint64_t size = requested;
                if (!thin && size == 0) {
                    size = work.getMaxVolumeSize(pool);
                    if (size == 0) {
                        destroy(pool);
                        continue;
                    }
                }
                CIM_LogicalElement* made = nullptr;
                try {
                    result = thin ? work.createThinproStorageVolume(pool, size, made, name)
                                  : work.createStorageVolume(pool, size, made, name);
                } catch (...) {
                    destroy(pool);
                    throw;
                }
                destroy(pool);
                const bool ends = result == 0x8013 || result == Storage_Volume_Work::SIZE_NOT_SUPPORTED ||
                                  result == 0x801C || result == 0x8014 || (thin && result == 0x8028);
                if (result == 0) {
                    if (TheElement)
                        destroy(TheElement);
                    TheElement = made;
                    Size.set(size);
                    done = true;
                } else if (ends) {
                    if (made)
                        destroy(made);
                    severe(__FILE__, __LINE__,
                           thin ? "There is not an equipment busy state or support size for TPV"
                                : "There is not an equipment busy state or support size");
                    if (result == Storage_Volume_Work::SIZE_NOT_SUPPORTED)
                        Size.set(size);
                    return_value.set(result);
                    return INVOKE_METHOD_OK;
                } else {
                    if (made)
                        destroy(made);
                    // The array may hold a volume from this extent: another
                    // extent's creation could make a second one.
                    if (work.outcomeUnknown())
                        break;
                }
            }
            if (done) {
                result = 0;
                end();
            } else {
                severe(__FILE__, __LINE__,
                       thin ? "StorageVolume was not able to be created for TPV"
                            : "StorageVolume was not able to be created");
            }
        }
    } catch (const SMIS_MethodLockBusy&) {
        result = SMIS_MethodLock::BUSY;
    } catch (...) {
        severe(__FILE__, __LINE__, abnormal);
        result = SMIS_MethodLock::failureCode(Storage_Volume_Work::ABNORMAL);
    }
    return_value.set(result);
    return INVOKE_METHOD_OK;
}

}  // namespace cimple
