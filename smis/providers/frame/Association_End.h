#pragma once
// One end of an association built through its end class's Resource, and
// the walks over a range of table indexes or over a list builder's list.
//
// An index Resource's createInstance(out, index...) answers 0 with or
// without an instance (a table entry not in use) and nonzero on failure, so
// a built end has three states: BUILT (it holds the instance), NOTHING
// (pass the entry over) and FAILED (the builder fails). The end owns its
// instance until release() hands it to an association.
//
//   auto pool = Association_End<VELDARO_RAIDStoragePool>::build(pools, rlu);
//   if (pool.failed()) return false;
//   if (!pool.built()) return true;
//   frame.emit<CIM_HostedStoragePool>(clone(system), pool.release(), far);
//
//   return eachEnd<VELDARO_DiskExtent>(disks, frame.walk(entry, Table_Entries::DISKS),
//                                      [&](Association_End<VELDARO_DiskExtent>& disk, int index) {
//                                          ...; return true;
//                                      });

#include <cimple/cimple.h>

#include <cstddef>
#include <type_traits>
#include <utility>

#include "Association_Provider_Frame.h"

namespace cimple {

template <class T>
class Association_End {
public:
    enum class State { BUILT, NOTHING, FAILED };

    static Association_End failure() { return Association_End(State::FAILED, nullptr); }
    static Association_End nothing() { return Association_End(State::NOTHING, nullptr); }
    // An instance just made (null: nothing).
    static Association_End of(T* made) { return Association_End(made ? State::BUILT : State::NOTHING, made); }

    // resource.createInstance(out, args...) (a Resource made for the one
    // call may be passed as a temporary).
    template <class Resource, class... Args>
    static Association_End build(Resource&& resource, Args&&... args)
    {
        T* made = nullptr;
        const int status = resource.createInstance(made, std::forward<Args>(args)...);
        Owned<T> held(made);
        if (status != 0)
            return failure();
        return of(held.release());
    }
    // A builder of index i through resource.createInstance(out, i), for
    // the walks that take one.
    template <class Resource>
    static auto byIndex(Resource& resource)
    {
        return [&resource](int i) { return build(resource, i); };
    }
    // The same, with each built end placed in a name space.
    template <class Resource>
    static auto byIndexIn(Resource& resource, const char* nameSpace)
    {
        return [&resource, nameSpace](int i) {
            Association_End end = build(resource, i);
            Association_Provider_Frame::inNameSpace(end.get(), nameSpace);
            return end;
        };
    }
    // make(out): any builder of the createInstance form.
    template <class Make>
    static Association_End with(Make make)
    {
        T* made = nullptr;
        const int status = make(made);
        Owned<T> held(made);
        if (status != 0)
            return failure();
        return of(held.release());
    }

    State state() const { return _state; }
    bool failed() const { return _state == State::FAILED; }
    bool built() const { return _state == State::BUILT; }

    T* get() const { return _instance.get(); }
    T* operator->() const { return _instance.get(); }
    T& operator*() const { return *_instance; }
    // Hands the instance over (to an association); the end is empty after.
    T* release() { return _instance.release(); }
    // A clone for an association, the end keeps its own.
    T* copy() const { return static_cast<T*>(::cimple::clone(_instance.get())); }

private:
    Association_End(State state, T* instance) : _state(state), _instance(instance) {}

    State _state;
    Owned<T> _instance;
};

// For each index of range, the end build(index) gives: a failed end stops
// the walk with false, an index without an instance is passed over, a built
// end goes to body(end, index), whose false stops the walk with false.
template <class T, class Build, class Body>
bool eachEnd(Index_Range range, Build build, Body body)
{
    for (int i = range.begin; i < range.end; ++i) {
        Association_End<T> end = build(i);
        if (end.failed())
            return false;
        if (!end.built())
            continue;
        if (!body(end, i))
            return false;
    }
    return true;
}

// The same with resource.createInstance(out, index) as the builder.
template <class T, class Resource, class Body>
bool eachEnd(Resource& resource, Index_Range range, Body body)
{
    return eachEnd<T>(
        range, [&](int i) { return Association_End<T>::build(resource, i); }, body);
}

// The list a list builder filled: list() or instances().
template <class R>
auto listedOf(R& resource) -> decltype(resource.list())
{
    return resource.list();
}
template <class R>
auto listedOf(R& resource) -> decltype(resource.instances())
{
    return resource.instances();
}

// Runs the list builder ((resource.*build)(), 1 on failure); false when it
// fails.
template <class Resource>
bool buildList(Resource& resource, int (Resource::*build)())
{
    return (resource.*build)() != 1;
}

// The first element of a built list, or null.
template <class Resource>
auto firstListed(Resource& resource) -> std::remove_reference_t<decltype(listedOf(resource)[0])>
{
    auto& list = listedOf(resource);
    return list.size() > 0 ? list[0] : nullptr;
}

// Runs the list builder and hands each element of its list, in list order,
// to body(element) (the list keeps it: clone what an association takes);
// null elements are passed over. False when the builder fails or a body
// answers false.
template <class Resource, class Body>
bool eachListed(Resource& resource, int (Resource::*build)(), Body body)
{
    if (!buildList(resource, build))
        return false;
    auto& list = listedOf(resource);
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k] && !body(list[k]))
            return false;
    return true;
}

}  // namespace cimple
