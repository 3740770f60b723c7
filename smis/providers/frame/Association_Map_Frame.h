#pragma once
// The map shape of the association providers: enumeration only. Per array
// the provider's pair builders collect the association instances in a map
// of the association class (add()); the frame hands a clone of each to the
// caller and empties the map before the next array. Associators, associator
// names and references answer "not supported" (the generated class says
// so), and the CIM server works them out from the enumeration.
//
// A provider of this shape derives from the frame (the generator does that
// for every hand-written provider whose table row says
// members=association-map), constructs it with its class record and defines
//
//   // All-pairs builders of the array storage() names, its table already
//   // checked; false at the first failing one.
//   bool CIM_X_Provider::_enumPairs();
//
// A provider whose instances do not depend on any array passes a
// storage-independent first pass to the constructor; it runs once per
// enumeration, before the arrays.

#include <cimple/cimple.h>

#include "Association_Provider_Frame.h"

namespace cimple {

class Association_Map_Frame {
public:
    using Independent_Pass = bool (*)(Association_Map_Frame& frame);

    virtual ~Association_Map_Frame() = default;
    Association_Map_Frame(const Association_Map_Frame&) = delete;
    Association_Map_Frame& operator=(const Association_Map_Frame&) = delete;

    // The array the current worker run is on (empty in the first pass).
    const String& storage() const { return _storage_address; }
    // Collects one association (the map owns it; one key-equal to an
    // instance already held is dropped).
    void add(Instance* association) { _instances._insert(association); }
    // Drops everything collected for the current array.
    void discard() { _instances.clear(); }

protected:
    explicit Association_Map_Frame(const Meta_Class* mc, Independent_Pass independentPass = nullptr)
        : _instances(mc), _independentPass(independentPass)
    {
    }

    Enum_Instances_Status enumerate(Enum_Instances_Handler<Instance>* handler);

    virtual bool _enumPairs() = 0;

private:
    bool _enumStorage();
    // Clones of the map's instances to the handler, then an empty map.
    void handOver(Enum_Instances_Handler<Instance>* handler);

    Mutex _mutex;
    Instance_Map_Base _instances;
    String _storage_address;
    Independent_Pass _independentPass;
};

}  // namespace cimple
