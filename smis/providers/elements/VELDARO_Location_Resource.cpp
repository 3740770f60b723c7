// The physical position of an array.

#include "VELDARO_Location_Resource.h"

#include "RefTable_Text.h"
#include "String_Ops.h"
#include "VELDARO_RefTable.h"

namespace cimple {

int VELDARO_Location_Resource::createLocation()
{
    VELDARO_Location* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        // PhysicalPosition is a key: served without the field's trailing
        // blanks (a server that trims values could not fetch it back
        // otherwise); an array without a position text (none, or only
        // blanks) stands at "N/A".
        RefTable_Text position(table.getSysPosition());
        const String text = without_trailing_space(position.c_str());
        made = Instance_Provider_Frame::newInstance<VELDARO_Location>();
        if (setLocation(made, _storage, text.size() == 0 ? String("N/A") : text) != 0) {
            destroy(made);
            return 1;
        }
        _list.append(made);
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_Location_Resource::setLocation(VELDARO_Location* instance, const String& storage, const String& position)
{
    instance->Caption.set("Storage Location");
    instance->Description.set("Storage Location");
    instance->ElementName.set("Storage Location");
    instance->Name.set(storage);
    instance->PhysicalPosition.set(position);
    return 0;
}

}  // namespace cimple
