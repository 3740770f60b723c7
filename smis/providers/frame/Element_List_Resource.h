#pragma once
// Storage of the list and fixed-set builders: the instances built so far,
// owned by the builder and destroyed with it.
//
// Element_List_Resource<Model>: per-array builders (the storage address
// given to the constructor opens the table view and ends the keys).
// Element_Fixed_Set_Resource<Model>: server-side builders without an array;
// their recursive mutex is held around the build and the reads of one
// request, and by the destructor while it empties the list.

#include <cimple/cimple.h>

#include "Instance_Provider_Frame.h"

namespace cimple {

template <class Model>
class Element_List_Resource {
public:
    explicit Element_List_Resource(const String& storage) : _storage(storage) {}
    ~Element_List_Resource() { Instance_Provider_Frame::destroyAll(_list); }
    Element_List_Resource(const Element_List_Resource&) = delete;
    Element_List_Resource& operator=(const Element_List_Resource&) = delete;

    Array<Model*>& list() { return _list; }
    const String& storage() const { return _storage; }

protected:
    Array<Model*> _list;
    String _storage;
};

template <class Model>
class Element_Fixed_Set_Resource {
public:
    Element_Fixed_Set_Resource() : _mutex(true) {}
    ~Element_Fixed_Set_Resource()
    {
        Auto_Mutex lock(_mutex);
        Instance_Provider_Frame::destroyAll(_list);
    }
    Element_Fixed_Set_Resource(const Element_Fixed_Set_Resource&) = delete;
    Element_Fixed_Set_Resource& operator=(const Element_Fixed_Set_Resource&) = delete;

    Array<Model*>& list() { return _list; }
    Mutex& mutex() { return _mutex; }

protected:
    Array<Model*> _list;
    Mutex _mutex;
};

}  // namespace cimple
