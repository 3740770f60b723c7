#pragma once
// How a configuration method holds the references it is given to what the
// service's array serves, before it sends anything: a reference names an
// element only when its name space is the one the arrays' elements are
// served in and its keys are, text for text, those of the instance the
// service's array has at the place the key parses to. A key that parses
// loosely (a wider number, a sign, trailing text, another array's address or
// system name) therefore names nothing, and the method answers its
// parameter error.
//
//   VELDARO_RAIDStoragePool* built = ...;     // the entry the key parses to
//   if (!Method_Reference::names(InPool, built)) return 5;

#include <cimple/cimple.h>

namespace cimple {

class Method_Reference {
public:
    // True when the reference names no name space (the request's) or the
    // name space of the arrays' elements, without regard to case.
    static bool servedNameSpace(const Instance* given);

    // True when given is in a served name space and every string key of
    // built's class holds built's value: the class-name keys
    // (CreationClassName, SystemCreationClassName) are compared, without
    // regard to case, only when given; every other key must be given.
    static bool names(const Instance* given, const Instance* built);
};

}  // namespace cimple
