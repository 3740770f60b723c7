#pragma once
// Traits of the list and locked list shapes of Instance_Provider_Frame for
// builders that keep their instances in list() and build them with one
// member function (the builder's create operation):
//
//   using Frame = Element_List_Traits<VELDARO_Location, VELDARO_Location_Resource,
//                                     &VELDARO_Location_Resource::createLocation>;
//   return Instance_Provider_Frame::listGet<Frame>(model, instance);
//
// Element_Locked_List_Traits adds the builder's mutex() for the fixed sets.

#include <cimple/cimple.h>

namespace cimple {

template <class M, class B, int (B::*Build)()>
struct Element_List_Traits {
    using Model = M;
    using Builder = B;
    static int build(Builder& builder) { return (builder.*Build)(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

template <class M, class B, int (B::*Build)()>
struct Element_Locked_List_Traits : Element_List_Traits<M, B, Build> {
    static Mutex& mutex(B& builder) { return builder.mutex(); }
};

}  // namespace cimple
