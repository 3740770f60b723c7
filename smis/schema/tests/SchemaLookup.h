// Look-ups over the generated repository for the schema tests.
#ifndef SMIS_SCHEMA_TESTS_SCHEMALOOKUP_H
#define SMIS_SCHEMA_TESTS_SCHEMALOOKUP_H

#include "schema_repository.h"

#include <cimple/Instance_Fields.h>
#include <cimple/Meta_Class.h>
#include <cimple/Meta_Repository.h>

#include <cstring>
#include <string>
#include <vector>

namespace schema_test {

inline const cimple::Meta_Class* findClass(const char* name)
{
    const cimple::Meta_Repository& r = cimple::schema_repository;
    for (size_t i = 0; i < r.num_meta_classes; ++i) {
        if (std::strcmp(r.meta_classes[i]->name, name) == 0)
            return r.meta_classes[i];
    }
    return nullptr;
}

inline const cimple::Meta_Feature* findFeature(const cimple::Meta_Class* mc, const char* name,
                                               cimple::uint32 kind)
{
    for (size_t i = 0; mc && i < mc->num_meta_features; ++i) {
        const cimple::Meta_Feature* f = mc->meta_features[i];
        if ((f->flags & kind) && std::strcmp(f->name, name) == 0)
            return f;
    }
    return nullptr;
}

inline const cimple::Meta_Property* findProperty(const cimple::Meta_Class* mc, const char* name)
{
    return reinterpret_cast<const cimple::Meta_Property*>(findFeature(mc, name, CIMPLE_FLAG_PROPERTY));
}

inline const cimple::Meta_Reference* findReference(const cimple::Meta_Class* mc, const char* name)
{
    return reinterpret_cast<const cimple::Meta_Reference*>(findFeature(mc, name, CIMPLE_FLAG_REFERENCE));
}

inline const cimple::Meta_Method* findMethod(const cimple::Meta_Class* mc, const char* name)
{
    return reinterpret_cast<const cimple::Meta_Method*>(findFeature(mc, name, CIMPLE_FLAG_METHOD));
}

// Whether the class declares the feature (any kind of feature record).
inline bool isLocal(const cimple::Meta_Class* mc, const void* f)
{
    for (size_t i = 0; i < mc->num_meta_features; ++i) {
        if (static_cast<const void*>(mc->meta_features[i]) == f)
            return mc->locals[i].local != 0;
    }
    return false;
}

// Names of the features of one kind, in feature-list order.
inline std::vector<std::string> featureNames(const cimple::Meta_Class* mc, cimple::uint32 kind)
{
    std::vector<std::string> out;
    for (size_t i = 0; mc && i < mc->num_meta_features; ++i) {
        if (mc->meta_features[i]->flags & kind)
            out.push_back(mc->meta_features[i]->name);
    }
    return out;
}

inline std::vector<std::string> keyNames(const cimple::Meta_Class* mc)
{
    std::vector<std::string> out;
    for (size_t i = 0; mc && i < mc->num_meta_features; ++i) {
        if (mc->meta_features[i]->flags & CIMPLE_FLAG_KEY)
            out.push_back(mc->meta_features[i]->name);
    }
    return out;
}

inline bool derivesFrom(const cimple::Meta_Class* mc, const char* ancestor)
{
    for (; mc; mc = mc->super_meta_class) {
        if (std::strcmp(mc->name, ancestor) == 0)
            return true;
    }
    return false;
}

} // namespace schema_test

#endif
