#pragma once
// Pairs of the CIM server's own elements, which belong to no array: the
// first instance of one fixed-set Resource with every instance of another
// (the server system or object manager with each of its communication
// mechanisms, one a listening protocol; the other Resources build one). The
// hosted-service and hosted-access-point associations (both ends in the
// interop name space), the object manager's name space and communication
// mechanism (ends as built) share it.

#include "Association_End.h"
#include "Association_Map_Frame.h"
#include "Matching_Pair_Walk.h"

namespace cimple {

struct Server_System_Pairs {
    // Builds both lists; false when either builder fails. An empty first
    // list ends with nothing added (the second is then not built).
    template <class A, class First_Resource, class Second_Resource>
    static bool firstWithEvery(Association_Map_Frame& frame, int (First_Resource::*buildFirst)(),
                               int (Second_Resource::*buildSecond)(), const char* nameSpace)
    {
        return Association_Provider_Frame::guard(__FILE__, __LINE__, [&] {
            First_Resource firsts;
            if (!buildList(firsts, buildFirst))
                return false;
            if (!firstListed(firsts))
                return true;
            Second_Resource seconds;
            if (!buildList(seconds, buildSecond))
                return false;
            Matching_Pair_Walk::addMatching<A>(frame, *firstListed(firsts), listedOf(seconds), Matching_Pair_Walk::Any{},
                                               nameSpace);
            return true;
        });
    }
};

}  // namespace cimple
