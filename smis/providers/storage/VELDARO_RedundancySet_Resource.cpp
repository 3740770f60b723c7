// The set of an array's controller modules.

#include "VELDARO_RedundancySet_Resource.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

VELDARO_RedundancySet_Resource::~VELDARO_RedundancySet_Resource()
{
    Instance_Provider_Frame::destroyAll(_list);
}

int VELDARO_RedundancySet_Resource::createRedundancySet()
{
    VELDARO_RedundancySet* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        made = Instance_Provider_Frame::newInstance<VELDARO_RedundancySet>();
        made->InstanceID.set(concat("VELDARO:RS_", _storage));
        made->Caption.set("Storage controllers");
        made->Description.set("Storage controllers");
        made->ElementName.set("Storage controllers");
        made->RedundancyStatus.set(2);
        Array<uint16> type;
        type.append(4);
        made->TypeOfSet.set(type);
        made->MinNumberNeeded.set(1);
        made->MaxNumberSupported.set(table.getCMMaxCount());
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
