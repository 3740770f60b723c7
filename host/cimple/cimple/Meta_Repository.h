// The class repository of a provider module: all of its class records.
#ifndef CIMPLE_META_REPOSITORY_H
#define CIMPLE_META_REPOSITORY_H

#include <cimple/Meta_Class.h>

namespace cimple {

struct Meta_Repository {
    const Meta_Class* const* meta_classes;
    size_t num_meta_classes;
};

// The class of that name (without regard to case), or null.
const Meta_Class* find_meta_class(const Meta_Repository* mr, const char* name);

} // namespace cimple

#endif
