// The physical position of an array.

#include "VELDARO_Location_Resource.h"

#include <string>

#include "RefTable_Text.h"
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
        // PhysicalPosition is a key: an array without a position text (none,
        // or only blanks) stands at "N/A".
        RefTable_Text position(table.getSysPosition());
        const std::string text = position.c_str();
        const bool none = text.find_first_not_of(' ') == std::string::npos;
        made = Instance_Provider_Frame::newInstance<VELDARO_Location>();
        if (setLocation(made, _storage, none ? String("N/A") : position.str()) != 0) {
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
