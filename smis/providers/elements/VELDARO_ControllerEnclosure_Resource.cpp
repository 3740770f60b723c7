// The controller enclosure of an array: texts from the enclosure record,
// status from the enclosure status data.

#include "VELDARO_ControllerEnclosure_Resource.h"

#include "Instance_Common.h"
#include "Physical_Element_Values.h"
#include "RefTable_Text.h"
#include "SMIS_CMSLib.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ControllerEnclosure_Resource::createControllerEnclosureChassis()
{
    using V = Physical_Element_Values;
    VELDARO_ControllerEnclosure* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int check = Instance_Common::icFirstCommonProcess(&table);
        if (check != 0)
            return check;

        RefTable_Text serial(table.getCESerialNo());
        RefTable_Text revision(table.getCERevision());
        RefTable_Text part(table.getCEPartsNo());
        if (serial.missing() || revision.missing() || part.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const String model = VELDARO_ValueConv::convSystemModelToSMISValue(table.getSysModelTypeFull());
        int first = -1, second = -1;
        SMIS_CMSLib status(_storage);
        if (status.getCESMISStatus(&first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const unsigned inlet = table.getCEInletFactor();
        const unsigned outlet = table.getCEOutletFactor();

        made = Instance_Provider_Frame::newInstance<VELDARO_ControllerEnclosure>();
        made->Tag.set(V::format("CE0x%02x_%s", 0u, _storage.c_str()));
        made->CreationClassName.set("VELDARO_ControllerEnclosure");
        made->Caption.set("Controller Enclosure - CE0x00");
        made->Description.set("Controller Enclosure - CE0x00");
        made->Name.set(V::SERVER_NAME);
        made->ElementName.set(V::CONTROLLER_ENCLOSURE);
        made->Manufacturer.set(V::MANUFACTURER);
        made->Model.set(model);
        made->SerialNumber.set(serial.str());
        made->Version.set(revision.str());
        made->PartNumber.set(part.str());
        made->CanBeFRUed.set(false);
        made->RemovalConditions.set(V::NOT_REMOVABLE);
        made->LockPresent.set(true);
        made->AudibleAlarm.set(true);
        made->VisibleAlarm.set(true);
        made->ChassisPackageType.set(22);
        made->Inlet.set(V::format("0x%04x", inlet));
        made->Outlet.set(V::format("0x%04x", outlet));
        made->OperationalStatus.set(V::statusList(first, second));
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(first));
        _list.append(made);
        made = nullptr;
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
