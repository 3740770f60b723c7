// The classes of the provider table that the registration for a server
// loading the module (OpenPegasus) leaves out: the interop model the server
// serves itself, the CIM server's system and the provider's software
// identity. The list is written by the generator from the same rule as the
// registration MOF (emit_registration_mof.py), so the two cannot differ.
//
// Hosted by such a server (the build against the real CIMPLE), the module
// answers no association with an end of one of these classes: the server
// does not route them to the module, so the reference would dangle. Under
// the embedded server, which routes every class to the module, every class
// is served.
#ifndef SMIS_PROVIDERS_UNREGISTERED_CLASSES_H
#define SMIS_PROVIDERS_UNREGISTERED_CLASSES_H

#include <cimple/cimple.h>

namespace cimple {

struct Unregistered_Classes {
    // Null-terminated, in table order.
    static const Meta_Class* const CLASSES[];

    // True when mc or one of its superclasses is listed; false for null.
    static bool holds(const Meta_Class* mc)
    {
        for (; mc; mc = mc->super_meta_class)
            for (const Meta_Class* const* c = CLASSES; *c; ++c)
                if (*c == mc)
                    return true;
        return false;
    }

    // Whether the module's host routes the class to the module.
    static bool hostServes(const Meta_Class* mc)
    {
#if SMIS_REAL_CIMPLE
        return !holds(mc);
#else
        (void)mc;
        return true;
#endif
    }
};

} // namespace cimple

#endif
