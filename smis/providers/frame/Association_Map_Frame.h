#pragma once
// The map shape of the association providers: enumeration only. Per array
// the provider's pair builders collect the association instances in a map
// of the association class (add()); the frame hands a clone of each to the
// caller and empties the map before the next array. References of one
// source run the passes of the source's own array only (every array when
// its key names none) and hand over what refers to the source; a provider
// that gives a per-source table (routeSources) narrows them further: its
// row for the source's class runs in place of the array's whole pass, and a
// source of a class no row names gets nothing without a pass. Associators
// and associator names answer "not supported" (the generated class says
// so), and the adapter works them out from those references.
//
// A provider of this shape derives from the frame (the generator does that
// for every hand-written provider whose table row says
// members=association-map), constructs it with its class record and defines
//
//   // All-pairs builders of the array storage() names, its table already
//   // checked; false at the first failing one.
//   bool CIM_X_Provider::_enumPairs();
//
// A provider whose instances (some or all) do not depend on any array
// passes a storage-independent pass to the constructor; it runs once per
// enumeration, before the arrays, with an empty storage address. With
// Array_Walk::NONE it is the only pass (_enumPairs is then never called).
//
// A per-source table lists, for every class an end of the provider's
// associations can be, the builder that collects the associations of one
// source of that class on its array:
//
//   const Association_Map_Frame::Source_Route ROUTES[] = {
//       {&VELDARO_FCPort::static_meta_class, portsPairs},
//       {&VELDARO_System::static_meta_class, nullptr},  // independent pass only
//   };
//   CIM_X_Provider::CIM_X_Provider() : Association_Map_Frame(&CIM_X::static_meta_class) { routeSources(ROUTES); }

#include <cimple/cimple.h>

#include <cstddef>
#include <functional>
#include <new>
#include <vector>

#include "Association_Provider_Frame.h"
#include "Instance_Keys.h"

namespace cimple {

class Association_Map_Frame {
public:
    using Independent_Pass = bool (*)(Association_Map_Frame& frame);
    // The per-source builder of a row: collects at least every association
    // of the array storage() names that refers to the source, in the order
    // the whole pass collects them (the frame hands over only those that
    // refer to it in the request's role); false when a builder fails.
    using Source_Pairs = bool (*)(Association_Map_Frame& frame, const Instance* source);
    // One row of a per-source table: a source of class mc (or of one derived
    // from it) runs pairs on its array after the independent pass (null
    // pairs: the independent pass alone, no array is walked). The first row
    // that fits decides.
    struct Source_Route {
        const Meta_Class* mc;
        Source_Pairs pairs;
    };
    // Whether the per-array passes run after the independent one.
    enum class Array_Walk { EACH_ARRAY, NONE };

    virtual ~Association_Map_Frame() = default;
    Association_Map_Frame(const Association_Map_Frame&) = delete;
    Association_Map_Frame& operator=(const Association_Map_Frame&) = delete;

    // The array the current worker run is on (empty in the first pass).
    const String& storage() const { return _storage_address; }
    // Collects one association (the map owns it; one key-equal to an
    // instance already held is dropped). A null association (one that could
    // not be made) throws std::bad_alloc, which the builder's guard turns
    // into a failure.
    // While references of one source are collected, an association that
    // does not refer to it in the request's role is dropped at once, so the
    // map holds the answer only. So is one with an end the host does not
    // route to the module (hostServesEnds).
    void add(Instance* association)
    {
        if (!association)
            throw std::bad_alloc();
        if ((_onlySource && !refers_to(_onlySource, association, _onlyRole)) ||
            !Association_Provider_Frame::hostServesEnds(association)) {
            destroy(association);
            return;
        }
        // A duplicate of one already collected is refused and stays ours.
        if (!_instances.insert(association))
            destroy(association);
    }
    // Makes the association of class A from its two ends (first and second
    // reference in schema order; the association takes both), lets
    // set(association) fill its own properties, and collects it.
    template <class A>
    void add(Instance* first, Instance* second)
    {
        add(Association_Provider_Frame::makeAssociation(&A::static_meta_class, first, second));
    }
    template <class A, class Set>
    void add(Instance* first, Instance* second, Set set)
    {
        Owned<Instance> made(Association_Provider_Frame::makeAssociation(&A::static_meta_class, first, second));
        set(*static_cast<A*>(made.get()));
        add(made.release());
    }
    // Clones of two ends an element list keeps, collected as one association.
    template <class A>
    void addClones(const Instance* first, const Instance* second)
    {
        add<A>(clone(first), clone(second));
    }
    // The same with both clones placed in a name space (null: as cloned).
    template <class A>
    void addClones(const Instance* first, const Instance* second, const char* nameSpace)
    {
        Owned<Instance> a(clone(first));
        Owned<Instance> b(clone(second));
        if (nameSpace && a && b) {
            Association_Provider_Frame::inNameSpace(a.get(), nameSpace);
            Association_Provider_Frame::inNameSpace(b.get(), nameSpace);
        }
        add<A>(a.release(), b.release());
    }
    // Drops everything collected for the current array.
    void discard() { _instances.clear(); }

protected:
    // The class served is named for the derived provider's sake; the
    // collection takes instances of any class.
    explicit Association_Map_Frame(const Meta_Class* /*served*/, Independent_Pass independentPass = nullptr,
                                   Array_Walk arrays = Array_Walk::EACH_ARRAY)
        : _independentPass(independentPass), _arrays(arrays)
    {
    }

    // Gives the provider's per-source table (kept, not copied): a source of
    // a class no row names is an end of none of the provider's associations.
    template <std::size_t N>
    void routeSources(const Source_Route (&rows)[N])
    {
        _routes = rows;
        _routeCount = N;
    }

    Enum_Instances_Status enumerate(Enum_Instances_Handler<Instance>* handler);
    Enum_References_Status references(const Instance* source, const String& role,
                                      Enum_References_Handler<Instance>* handler);

    virtual bool _enumPairs() = 0;

private:
    // Receives the clone of each collected association a run hands over.
    using Sink = std::function<void(Instance*)>;
    // The independent pass and the passes of the given arrays (the whole
    // pass, or pairs for source when given), each followed by handing the
    // map over; false when one fails.
    bool run(const Array<String>& addresses, const Sink& sink, Source_Pairs pairs = nullptr,
             const Instance* source = nullptr);
    bool _enumStorage(Source_Pairs pairs, const Instance* source);
    // The row of the per-source table that fits the source (null: none).
    const Source_Route* routeOf(const Instance* source) const;
    // Clones of the map's instances to the sink, then an empty map.
    void handOver(const Sink& sink);

    // The collected associations, of whichever classes the provider serves,
    // unique by class and keys (same_instance: associations of two classes
    // between the same ends are both kept). They are owned until cleared.
    class Collected {
    public:
        Collected() = default;
        Collected(const Collected&) = delete;
        Collected& operator=(const Collected&) = delete;
        ~Collected() { clear(); }
        // False, leaving inst with the caller, when an instance the same as
        // inst is held already.
        bool insert(Instance* inst)
        {
            for (const Instance* held : _held)
                if (same_instance(held, inst))
                    return false;
            _held.push_back(inst);
            return true;
        }
        size_t size() const { return _held.size(); }
        const Instance* operator[](size_t pos) const { return _held[pos]; }
        void clear()
        {
            for (Instance* held : _held)
                destroy(held);
            _held.clear();
        }

    private:
        std::vector<Instance*> _held;
    };
    Collected _instances;
    String _storage_address;
    Independent_Pass _independentPass;
    Array_Walk _arrays;
    // The source and role of the references being collected (null source:
    // enumerating).
    const Instance* _onlySource = nullptr;
    const char* _onlyRole = "";
    const Source_Route* _routes = nullptr;
    std::size_t _routeCount = 0;
};

}  // namespace cimple
