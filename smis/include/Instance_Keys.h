// Identity of instances by class and keys.
//
// The framework's key_eq compares the key values by name only, so an
// instance of one class is key-equal to one of another class whose keys
// carry the same values (for example two classes keyed by InstanceID). The
// module matches a client's model, a reference or a collected association
// to an instance of its own class only: these helpers compare the class
// names (without regard to case) as well, and take null as matching
// nothing, where the framework would follow the pointer.
#ifndef SMIS_INSTANCE_KEYS_H
#define SMIS_INSTANCE_KEYS_H

#include <cimple/cimple.h>

namespace cimple {

// True when both are instances of the same class with equal keys.
inline bool same_instance(const Instance* a, const Instance* b)
{
    return a && b && a->meta_class && b->meta_class && eqi(a->meta_class->name, b->meta_class->name) &&
           key_eq(a, b);
}

// True when one of the association's single references (the one named
// role, or any when role is null or empty) points to an instance that is
// the same instance as inst (same_instance).
inline bool refers_to(const Instance* inst, const Instance* association, const char* role)
{
    if (!inst || !association)
        return false;
    const Meta_Class* mc = association->meta_class;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (!(mf->flags & CIMPLE_FLAG_REFERENCE) || (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT))
            continue;
        auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
        if (mr->subscript || (role && *role && !eqi(mr->name, role)))
            continue;
        const Instance* end =
            *reinterpret_cast<Instance* const*>(reinterpret_cast<const char*>(association) + mr->offset);
        if (same_instance(end, inst))
            return true;
    }
    return false;
}

} // namespace cimple

#endif
