// Affinity group controllers: a keyed pair over the map table's bindings.

#include "VELDARO_AffinityGroupController_Provider.h"

#include "Affinity_Map_Walk.h"
#include "CA_Port_Name.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_AffinityGroupController_Resource.h"

namespace cimple {

namespace {

struct Affinity_Group_Controller_Frame {
    using Model = VELDARO_AffinityGroupController;

    static bool storage(const Model* model, String& address)
    {
        return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address);
    }

    static int getOne(const String& address, const VELDARO_RefTable& table, const Model* model, Model*& instance)
    {
        std::uint16_t group = 0, cm = 0, ca = 0, port = 0;
        if (model->DeviceID.null ||
            !VELDARO_AffinityGroupController_Resource::divide_DeviceID(model->DeviceID.value.c_str(), &group, &cm,
                                                                       &ca, &port))
            return 1;
        const int index = table.searchAffinityNumberFromAffinityTable(group);
        if (index < 0)
            return 1;
        return VELDARO_AffinityGroupController_Resource(address).createInstance(instance, index, cm, ca, port);
    }

    static int enumAll(const String& address, const VELDARO_RefTable& table, Enum_Instances_Handler<Model>* handler)
    {
        VELDARO_AffinityGroupController_Resource resource(address);
        const bool done = Affinity_Map_Walk::each(table, [&](int entry, const CA_Port_Name& n) {
            Model* instance = nullptr;
            if (resource.createInstance(instance, entry, n.cm, n.ca, n.port) != 0)
                return false;
            if (instance)
                Instance_Provider_Frame::deliver(handler, instance);
            return true;
        });
        return done ? 0 : 1;
    }
};

}  // namespace

VELDARO_AffinityGroupController_Provider::VELDARO_AffinityGroupController_Provider() {}

VELDARO_AffinityGroupController_Provider::~VELDARO_AffinityGroupController_Provider() {}

Get_Instance_Status VELDARO_AffinityGroupController_Provider::get_instance(
    const VELDARO_AffinityGroupController* model, VELDARO_AffinityGroupController*& instance)
{
    return Instance_Provider_Frame::indexedGet<Affinity_Group_Controller_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_AffinityGroupController_Provider::enum_instances(
    const VELDARO_AffinityGroupController* model, Enum_Instances_Handler<VELDARO_AffinityGroupController>* handler)
{
    return Instance_Provider_Frame::indexedEnum<Affinity_Group_Controller_Frame>(model, handler);
}

}  // namespace cimple
