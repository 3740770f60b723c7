// The access point of an array, named by its box ID.

#include "VELDARO_RemoteServiceAccessPoint_Resource.h"

#include <stdexcept>

#include "RefTable_Text.h"
#include "String_Ops.h"

namespace cimple {

int VELDARO_RemoteServiceAccessPoint_Resource::createRemoteServiceAccessPoint()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable& table) {
        // Name is a key: served without the field's trailing blanks, so a
        // server that trims values can fetch the access point back.
        RefTable_Text boxText(table.getSysBoxID());
        const String boxId = without_trailing_space(boxText.c_str());
        if (boxText.missing() || boxId.size() == 0)
            throw std::runtime_error("no box ID");
        add([&](VELDARO_RemoteServiceAccessPoint& p) {
            p.Caption.set("VELDARO Management Software");
            p.Description.set("VELDARO Management Software");
            p.ElementName.set("VELDARO Management Software");
            p.Name.set(boxId);
            p.SystemCreationClassName.set("VELDARO_StorageComputerSystem");
            p.SystemName.set(_storage);
            p.CreationClassName.set("VELDARO_RemoteServiceAccessPoint");
            p.AccessInfo.set(concat("http://", _storage, "/"));
            p.InfoFormat.set(200);
        });
    });
}

}  // namespace cimple
