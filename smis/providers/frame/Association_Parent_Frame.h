#pragma once
// The parent shape of the association providers: enumeration array by
// array, and associators and associator names for one source through the
// request worker of AssociationProviderParent.
//
// A provider of this shape derives from the frame (the generator does that
// for every hand-written provider whose table row says
// members=association-parent) and defines two members:
//
//   // All-pairs builders of the array storage() names, in enumeration
//   // order, its table already checked; false at the first failing one.
//   bool CIM_X_Provider::_enumPairs();
//   // The request worker for one source: recognise its class, take the
//   // storage address from its key and run, inside onStorage(address, fn),
//   // the builders that can involve it; 0 done, -1 not supported, 1 failed.
//   int CIM_X_Provider::_request(const Instance* source);
//
// Builders hand each pair to the provider's emitter, which makes the
// association (Association_Provider_Frame::newAssociation), sets its own
// properties and calls deliver().
//
// One request per object: the adapter makes a provider object for each
// request, so the request state the object keeps (mode, handler, texts,
// source, storage address) is never shared by two requests, and no lock is
// held while the request's builders ask an array.

#include <cimple/cimple.h>

#include <cstddef>
#include <cstdint>

#include "AssociationProviderParent.h"
#include "Association_Common.h"
#include "Association_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class Association_Parent_Frame : public AssociationProviderParent {
public:
    virtual ~Association_Parent_Frame() = default;

    // The array the current worker run is on.
    const String& storage() const { return _storage_address; }
    // The request's source (null while enumerating).
    const Instance* source() const { return _mode == MODE_ENUMERATE ? nullptr : _instance; }
    bool enumerating() const { return _mode == MODE_ENUMERATE; }
    // Associators, associator names or references: the builders' all-pairs
    // walk covers only the given entry.
    bool oneEntry() const { return (_mode & 0x10) != 0; }

    // Hands one association over as the request needs and takes ownership
    // of it. Enumeration: the handler owns it. Associators and associator
    // names: when the association leads from the source through the
    // request's role, result role and result class, the far end is lent to
    // the handler (for associators with every property marked present when
    // markFarEnd); the association and its ends are then destroyed.
    // References: the association goes to the references handler when it
    // refers to the source in the request's role. An association with an
    // end the host does not route to the module is dropped in every mode.
    void deliver(Instance* association, Instance* farEnd, bool markFarEnd = true);

    // Makes the association of class A from its two ends (first and second
    // reference in schema order; the association takes both), lets
    // set(association) fill its own properties and delivers it with far as
    // the end a request hands on. An association that cannot be made throws
    // std::bad_alloc, which the builder's guard turns into a failure.
    template <class A>
    void emit(Instance* first, Instance* second, Instance* far, bool markFarEnd = true)
    {
        deliver(Association_Provider_Frame::makeAssociation(&A::static_meta_class, first, second), far, markFarEnd);
    }
    template <class A, class Set>
    void emit(Instance* first, Instance* second, Instance* far, bool markFarEnd, Set set)
    {
        Instance* made = Association_Provider_Frame::makeAssociation(&A::static_meta_class, first, second);
        Owned<Instance> held(made);
        set(*static_cast<A*>(made));
        deliver(held.release(), far, markFarEnd);
    }

    // Of two ends, the one whose class is not the source's (second when
    // neither or both are).
    Instance* otherEnd(Instance* first, Instance* second) const;
    // Of two ends of one class, the one that is not key-equal to the source
    // (second when neither or both are, and while enumerating).
    Instance* otherEndByKey(Instance* first, Instance* second) const;

    // Walk bounds of an all-pairs builder: the one entry in a request,
    // 0 .. count-1 while enumerating.
    using Range = Index_Range;
    Range walk(int entry, int count) const
    {
        return oneEntry() ? Index_Range::one(entry, count) : Index_Range::all(count);
    }

    // One row of a request dispatch table (route()): the source class, how
    // its key names the array, the table index its key names (null: 0;
    // a negative index answers 0 with nothing delivered) and the builders
    // that can involve it at that index. A NO_ARRAY row runs its builders
    // once with an empty storage address and no table.
    struct Source_Route {
        const Meta_Class* mc;
        Association_Provider_Frame::Storage_Key storage;
        int (*index)(const VELDARO_RefTable& table, const Instance* source);
        bool (*builders)(Association_Parent_Frame& frame, const Instance* source, int index);
        // A key that names no configured array answers
        // checkProviderClass(source) instead of 0.
        bool noArrayAsksProviderClass = false;
    };

    // A pass that belongs to no array: run once per enumeration before the
    // arrays, with an empty storage address.
    using First_Pass = bool (*)(Association_Parent_Frame& frame);

protected:
    explicit Association_Parent_Frame(First_Pass firstPass = nullptr) : _firstPass(firstPass) {}

    // The request worker as a table: the first row whose class the source
    // is of decides. No row: checkProviderClass(source). A row whose key
    // names no configured array: 0, nothing delivered (or
    // checkProviderClass(source), as the row says). Otherwise the row
    // runs inside onStorage and its builders' true or false gives 0 or 1.
    template <std::size_t N>
    int route(const Instance* source, const Source_Route (&rows)[N])
    {
        return routeRows(source, rows, N);
    }

    Enum_Instances_Status enumerate(Enum_Instances_Handler<Instance>* handler);
    Enum_Associators_Status associators(const Instance* source, const String& resultClass, const String& role,
                                        const String& resultRole, Enum_Associators_Handler<Instance>* handler);
    Enum_Associator_Names_Status associatorNames(const Instance* source, const String& resultClass,
                                                 const String& role, const String& resultRole,
                                                 Enum_Associator_Names_Handler<Instance>* handler);
    Enum_References_Status references(const Instance* source, const String& role,
                                      Enum_References_Handler<Instance>* handler);

    virtual bool _enumPairs() = 0;
    virtual int _request(const Instance* source) = 0;

    // Makes address the array of the request, opens its table and checks
    // it: an array without a valid table answers 0 with nothing delivered,
    // any other check failure 1; otherwise body(table) runs and its true or
    // false gives 0 or 1.
    template <class Body>
    int onStorage(const String& address, Body body)
    {
        _storage_address = address;
        VELDARO_RefTable table(address.c_str());
        const int check = Association_Common::acFirstCommonProcess(&table);
        if (check == 2)
            return 0;
        if (check != 0)
            return 1;
        return body(table) ? 0 : 1;
    }

private:
    int execRequest() final;
    bool _enumStorage();
    int routeRows(const Instance* source, const Source_Route* rows, std::size_t count);

    First_Pass _firstPass = nullptr;

    Enum_Instances_Handler<Instance>* _enumHandler = nullptr;
    Enum_References_Handler<Instance>* _referencesHandler = nullptr;
    String _storage_address;
};

}  // namespace cimple
