#pragma once
// The build frame of the per-storage list builders whose instances are
// filled from fixed values or table reads: table view and table check,
// every exception caught, nothing half-built left in the list. The list
// itself and its ownership are Element_List_Resource's.
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
// Providers pair it with Element_List_Traits (Element_List_Traits.h).

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

template <class Model>
class Instance_List_Resource : public Element_List_Resource<Model> {
public:
    explicit Instance_List_Resource(const String& storage) : Element_List_Resource<Model>(storage) {}

    const Array<Model*>& list() const { return this->_list; }
    using Element_List_Resource<Model>::list;

protected:
    // Empties the list, opens the storage's table view, checks the table
    // (2 when it is not valid, nothing built) and runs fill(table). 0 when
    // fill returned; 1 with an empty list and "Generation of Instance went
    // wrong." logged with the caller's file and line when it threw.
    template <class Fill>
    int build(const char* file, unsigned line, Fill fill)
    {
        Instance_Provider_Frame::destroyAll(this->_list);
        try {
            VELDARO_RefTable table(this->_storage.c_str());
            const int first = Instance_Common::icFirstCommonProcess(&table);
            if (first != Instance_Provider_Frame::BUILD_OK)
                return first;
            fill(static_cast<const VELDARO_RefTable&>(table));
            return Instance_Provider_Frame::BUILD_OK;
        } catch (...) {
            Instance_Provider_Frame::destroyAll(this->_list);
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
            this->_list.append(made);
        } catch (...) {
            destroy(made);
            throw;
        }
    }
};

}  // namespace cimple
