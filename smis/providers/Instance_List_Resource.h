#pragma once
// What every list builder shares: the instances of one storage built at once
// into a list that the builder owns, and the build frame around them (table
// view and table check, every exception caught, nothing half-built left in
// the list).
//
//   class VELDARO_X_Resource : public Instance_List_Resource<VELDARO_X> {
//   public:
//       explicit VELDARO_X_Resource(const String& storage) : Instance_List_Resource(storage) {}
//       int createX()
//       {
//           return build(__FILE__, __LINE__, [&](const VELDARO_RefTable&) {
//               add([&](VELDARO_X& x) { x.InstanceID.set(...); });
//           });
//       }
//   };
//
// The provider (and association providers) read list() after a build; the
// builder's destructor destroys whatever is still in it.

#include <cimple/cimple.h>

#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

template <class Model>
class Instance_List_Resource {
public:
    explicit Instance_List_Resource(const String& storage) : _storage(storage) {}
    ~Instance_List_Resource() { Instance_Provider_Frame::destroyAll(_list); }
    // The list owns its instances: a copy would destroy them twice.
    Instance_List_Resource(const Instance_List_Resource&) = delete;
    Instance_List_Resource& operator=(const Instance_List_Resource&) = delete;

    Array<Model*>& list() { return _list; }
    const Array<Model*>& list() const { return _list; }
    const String& storage() const { return _storage; }

protected:
    // Empties the list, opens the storage's table view, checks the table
    // (2 when it is not valid, nothing built) and runs fill(table). 0 when
    // fill returned; 1 with an empty list and "Generation of Instance went
    // wrong." logged with the caller's file and line when it threw.
    template <class Fill>
    int build(const char* file, unsigned line, Fill fill)
    {
        Instance_Provider_Frame::destroyAll(_list);
        try {
            VELDARO_RefTable table(_storage.c_str());
            const int first = Instance_Common::icFirstCommonProcess(&table);
            if (first != Instance_Provider_Frame::BUILD_OK)
                return first;
            fill(static_cast<const VELDARO_RefTable&>(table));
            return Instance_Provider_Frame::BUILD_OK;
        } catch (...) {
            Instance_Provider_Frame::destroyAll(_list);
            Instance_Provider_Frame::logBuildFailure(file, line);
            return Instance_Provider_Frame::BUILD_ERROR;
        }
    }

    // Makes one instance (schema defaults, every property present), lets
    // set(instance) fill it and appends it; an instance whose filler throws
    // is destroyed before the exception goes on.
    template <class Set>
    void add(Set set)
    {
        Model* made = Instance_Provider_Frame::newInstance<Model>();
        try {
            set(*made);
            _list.append(made);
        } catch (...) {
            destroy(made);
            throw;
        }
    }

private:
    Array<Model*> _list;
    String _storage;
};

// The list-pair traits of the instance provider frame for a builder of this
// kind and its create operation:
//   using Frame = List_Frame<VELDARO_X, VELDARO_X_Resource, &VELDARO_X_Resource::createX>;
//   return Instance_Provider_Frame::listEnum<Frame>(model, handler);
template <class M, class B, int (B::*Create)()>
struct List_Frame {
    using Model = M;
    using Builder = B;
    static int build(Builder& builder) { return (builder.*Create)(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

}  // namespace cimple
