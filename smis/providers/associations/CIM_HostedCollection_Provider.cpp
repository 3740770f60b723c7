// The connectivity collections the storage system hosts.

#include "CIM_HostedCollection_Provider.h"

#include "Association_End.h"
#include "CIM_HostedCollection.h"
#include "Matching_Pair_Walk.h"
#include "Storage_System_List.h"
#include "VELDARO_ConnectivityCollection.h"
#include "VELDARO_ConnectivityCollection_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool systemCollections(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Storage_System_List::with(frame, [&](VELDARO_StorageComputerSystem_Resource& systems) {
            VELDARO_ConnectivityCollection_Resource collections(frame.storage());
            if (!buildList(collections, &VELDARO_ConnectivityCollection_Resource::createConnectivityCollection))
                return false;
            Walk::firstWithEach<CIM_HostedCollection>(frame, listedOf(collections), Walk::Each::SECOND,
                                                      listedOf(systems), Walk::Any());
            return true;
        });
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
