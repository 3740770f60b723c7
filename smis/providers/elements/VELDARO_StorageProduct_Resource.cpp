// The array product: series, model, serial number and firmware version.

#include "VELDARO_StorageProduct_Resource.h"

#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"

namespace cimple {

int VELDARO_StorageProduct_Resource::createStorageProduct()
{
    VELDARO_StorageProduct* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        RefTable_Text series(table.getSysSeriesName());
        RefTable_Text model(table.getSysModelName());
        RefTable_Text serial(table.getSysSerialNumber());
        RefTable_Text version(table.getTotalFirmVersion(2));
        if (series.missing() || model.missing() || serial.missing() || version.missing()) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const String identifying = concat(model.str(), serial.str());

        made = Instance_Provider_Frame::newInstance<VELDARO_StorageProduct>();
        made->Caption.set("Storage Product");
        made->Description.set("Storage Product");
        made->Name.set(concat(series.str(), "(", model.str(), ")_", _storage));
        made->ElementName.set(identifying);
        made->IdentifyingNumber.set(identifying);
        made->Vendor.set("VELDARO");
        made->Version.set(version.str());
        made->Product.set("KESTRIS");
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
