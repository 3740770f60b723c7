// Storage volumes: an indexed pair over the sub-volume (SLU) table that
// publishes a volume of several sub-volumes once, and the rename of a volume
// through modify_instance.

#include "VELDARO_StorageVolume_Provider.h"

#include <cstring>

#include "Instance_Provider_Frame.h"
#include "SMIS_CLI.h"
#include "SMIS_CLICommon.h"
#include "SMIS_PollingService.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ValueConv.h"
#include "Volume_Walk.h"

namespace cimple {

namespace {

using Resource = VELDARO_StorageVolume_Resource;

constexpr std::size_t MAX_NAME_LENGTH = 16;

struct Storage_Volume_Frame {
    using Model = VELDARO_StorageVolume;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint8_t luType = 0;
        std::uint16_t number = 0;
        if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &luType, &number))
            return 1;
        const int slu = table.searchLunByLuTypeFromSluTable(luType, number);
        if (slu < 0)
            return 1;
        return Resource(address).createInstance(instance, slu);
    }

    // Each volume once (see Volume_Walk).
    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        Resource resource(address);
        const bool done = Volume_Walk::each(table, [&](int slu) {
            Model* instance = nullptr;
            if (resource.createInstance(instance, slu) != 0) {
                if (instance)
                    destroy(instance);
                return false;
            }
            Instance_Provider_Frame::deliver(handler, instance);
            return true;
        });
        return done ? 0 : 1;
    }
};

// The LU types whose volumes may be renamed.
bool renamable(std::uint8_t luType)
{
    switch (luType) {
    case 1: case 3: case 4: case 7: case 9: case 13:
        return true;
    default:
        return false;
    }
}

// The name a client sent, without the blank padding the published
// ElementName carries (a GetInstance sent back unchanged).
String unpadded(const String& text)
{
    std::size_t end = text.size();
    while (end > 0 && text.c_str()[end - 1] == ' ')
        --end;
    return substring(text, 0, end);
}

// Checks the rename request against the array's table. The view is released
// before the array command runs, so that the refresh after it takes the
// array's locks in their usual order.
Modify_Instance_Status checkRename(const String& address, const VELDARO_StorageVolume* model,
                                   const VELDARO_StorageVolume* instance, std::uint16_t& number, String& name)
{
    VELDARO_RefTable table(address.c_str());
    if (Instance_Common::icFirstCommonProcess(&table) != 0)
        return MODIFY_INSTANCE_FAILED;
    std::uint8_t luType = 0;
    if (model->DeviceID.null || !Resource::divide_DeviceID(model->DeviceID.value.c_str(), &luType, &number))
        return MODIFY_INSTANCE_INVALID_PARAMETER;
    // The key must name the volume exactly: a key with more or fewer digits
    // would otherwise rename a volume of another number.
    if (!(VELDARO_ValueConv::convLuTypeToLVolId(luType, number) == model->DeviceID.value))
        return MODIFY_INSTANCE_INVALID_PARAMETER;
    if (!renamable(luType))
        return MODIFY_INSTANCE_INVALID_PARAMETER;
    if (table.searchOlunFromOluTable(number) < 0)
        return MODIFY_INSTANCE_INVALID_PARAMETER;
    const int slu = table.searchLunByLuTypeFromSluTable(luType, number);
    if (slu < 0 || table.getLuType(slu) != luType)
        return MODIFY_INSTANCE_INVALID_PARAMETER;
    // Only the properties the model marks are changed (the request's
    // PropertyList): without ElementName there is nothing to change.
    name = String();
    if (model->ElementName.null)
        return MODIFY_INSTANCE_OK;
    if (!instance || instance->ElementName.null)
        return MODIFY_INSTANCE_INVALID_PARAMETER;
    const String wanted = unpadded(instance->ElementName.value);
    const std::size_t length = wanted.size();
    if (length < 1 || length > MAX_NAME_LENGTH || std::strlen(wanted.c_str()) != length ||
        !SMIS_CLICommon::isSafeToken(wanted.c_str()))
        return MODIFY_INSTANCE_INVALID_PARAMETER;
    // The name is sent even when the table already shows it: the table may
    // be older than the array (a refresh that failed, a change made on the
    // array), and the array accepts a rename to the current name.
    name = wanted;
    return MODIFY_INSTANCE_OK;
}

}  // namespace

VELDARO_StorageVolume_Provider::VELDARO_StorageVolume_Provider() {}

VELDARO_StorageVolume_Provider::~VELDARO_StorageVolume_Provider() {}

Get_Instance_Status VELDARO_StorageVolume_Provider::get_instance(const VELDARO_StorageVolume* model,
                                                                 VELDARO_StorageVolume*& instance)
{
    return Instance_Provider_Frame::indexedGet<Storage_Volume_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageVolume_Provider::enum_instances(
    const VELDARO_StorageVolume* model, Enum_Instances_Handler<VELDARO_StorageVolume>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Storage_Volume_Frame>(model, handler);
}

Modify_Instance_Status VELDARO_StorageVolume_Provider::modify_instance(const VELDARO_StorageVolume* model,
                                                                       const VELDARO_StorageVolume* instance)
{
    try {
        // An array that is not configured has no table to rename in: the
        // same failure as an array whose table is not loaded.
        if (!model)
            return MODIFY_INSTANCE_INVALID_PARAMETER;
        String address;
        if (!Instance_Provider_Frame::storageFromSystemName(model->SystemName, address))
            return MODIFY_INSTANCE_FAILED;
        std::uint16_t number = 0;
        String name;
        const Modify_Instance_Status checked = checkRename(address, model, instance, number, name);
        if (checked != MODIFY_INSTANCE_OK || name.size() == 0)
            return checked;

        SMIS_OLU_INFO info = {};
        info.oluNumber = number;
        std::memcpy(info.name, name.c_str(), name.size() < MAX_NAME_LENGTH ? name.size() : MAX_NAME_LENGTH);
        {
            SMIS_CLI cli(address);
            if (cli.setLogicalVolume(&info) != 0)
                return MODIFY_INSTANCE_FAILED;
        }
        if (SMIS_PollingService* service = SMIS_PollingService::getInstance())
            service->getConfigManagementInfo(address.c_str(), 0);
        return MODIFY_INSTANCE_OK;
    } catch (...) {
        Instance_Provider_Frame::logProviderFailure(__FILE__, __LINE__);
        return MODIFY_INSTANCE_FAILED;
    }
}

}  // namespace cimple
