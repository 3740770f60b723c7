// Registration record of one provider: five pointer-sized fields, in this
// order. Records form a list through `next`, newest first.
#ifndef CIMPLE_REGISTRATION_H
#define CIMPLE_REGISTRATION_H

#include <cimple/Meta_Class.h>
#include <cimple/Provider.h>

namespace cimple {

struct Registration {
    const char* module_name;
    const char* provider_name;
    Provider_Proc proc;
    const Meta_Class* meta_class;
    Registration* next;

    Registration() : module_name(nullptr), provider_name(nullptr), proc(nullptr), meta_class(nullptr), next(nullptr) {}

    // Fills the record and pushes it on the list whose head is `head`: the
    // record's next is the old head and the record becomes the new head.
    Registration(const char* module_name_, const char* provider_name_, Provider_Proc proc_,
                 const Meta_Class* meta_class_, Registration*& head)
        : module_name(module_name_), provider_name(provider_name_), proc(proc_), meta_class(meta_class_), next(head)
    {
        head = this;
    }

    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
};

static_assert(sizeof(Registration) == 5 * sizeof(void*), "a registration record is five words");

} // namespace cimple

#endif
