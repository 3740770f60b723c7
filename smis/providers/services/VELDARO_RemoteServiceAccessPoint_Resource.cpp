// The access point of an array, named by its box ID.

#include "VELDARO_RemoteServiceAccessPoint_Resource.h"

#include <stdexcept>

#include "RefTable_Text.h"

namespace cimple {

int VELDARO_RemoteServiceAccessPoint_Resource::createRemoteServiceAccessPoint()
{
    return build(__FILE__, __LINE__, [&](const VELDARO_RefTable& table) {
        RefTable_Text boxId(table.getSysBoxID());
        if (boxId.missing() || boxId.c_str()[0] == '\0')
            throw std::runtime_error("no box ID");
        add([&](VELDARO_RemoteServiceAccessPoint& p) {
            p.Caption.set("VELDARO Management Software");
            p.Description.set("VELDARO Management Software");
            p.ElementName.set("VELDARO Management Software");
            p.Name.set(boxId.str());
            p.SystemCreationClassName.set("VELDARO_StorageComputerSystem");
            p.SystemName.set(_storage);
            p.CreationClassName.set("VELDARO_RemoteServiceAccessPoint");
            p.AccessInfo.set(concat("http://", _storage, "/"));
            p.InfoFormat.set(200);
        });
    });
}

}  // namespace cimple
