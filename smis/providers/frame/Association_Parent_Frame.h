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
// One request at a time: every entry holds the object's recursive mutex for
// the whole request, so the request state the object keeps (mode, handler,
// texts, source, storage address) is never shared by two requests.

#include <cimple/cimple.h>

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
    // refers to the source in the request's role.
    void deliver(Instance* association, Instance* farEnd, bool markFarEnd = true);

    // Of two ends, the one whose class is not the source's (second when
    // neither or both are).
    Instance* otherEnd(Instance* first, Instance* second) const;

    // Walk bounds of an all-pairs builder: the one entry in a request,
    // 0 .. count-1 while enumerating.
    struct Range {
        int begin;
        int end;
    };
    Range walk(int entry, int count) const
    {
        if (oneEntry())
            return (entry >= 0 && entry < count) ? Range{entry, entry + 1} : Range{0, 0};
        return Range{0, count < 0 ? 0 : count};
    }

protected:
    Association_Parent_Frame() = default;

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

    Mutex _mutex;
    Enum_Instances_Handler<Instance>* _enumHandler = nullptr;
    Enum_References_Handler<Instance>* _referencesHandler = nullptr;
    String _storage_address;
};

}  // namespace cimple
