// The connectivity collections the storage system hosts.

#include "CIM_HostedCollection_Provider.h"

#include <new>

#include "CIM_HostedCollection.h"
#include "VELDARO_ConnectivityCollection.h"
#include "VELDARO_ConnectivityCollection_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

bool systemCollections(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageComputerSystem_Resource systems(frame.storage());
        if (systems.createStorageComputerSystem() == 1)
            return false;
        if (systems.list().size() == 0 || !systems.list()[0])
            return true;
        VELDARO_ConnectivityCollection_Resource collections(frame.storage());
        if (collections.createConnectivityCollection() == 1)
            return false;
        for (std::size_t k = 0; k < collections.instances().size(); ++k) {
            if (!collections.instances()[k])
                continue;
            Instance* made = Common::newAssociation(&CIM_HostedCollection::static_meta_class,
                                                    clone(systems.list()[0]), clone(collections.instances()[k]));
            if (!made)
                throw std::bad_alloc();
            frame.add(made);
        }
        return true;
    });
}

}  // namespace

CIM_HostedCollection_Provider::CIM_HostedCollection_Provider()
    : Association_Map_Frame(&CIM_HostedCollection::static_meta_class)
{
}

CIM_HostedCollection_Provider::~CIM_HostedCollection_Provider() {}

bool CIM_HostedCollection_Provider::_enumPairs()
{
    return systemCollections(*this);
}

}  // namespace cimple
