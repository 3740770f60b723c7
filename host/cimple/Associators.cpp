#include <cimple/Instance.h>

#include <cimple/Instance_Fields.h>

namespace cimple {

using namespace fields;

namespace {

bool role_matches(const Meta_Feature* mf, const char* role)
{
    return !role || !*role || eqi(mf->name, role);
}

// True when the class is named `name` or derives from a class so named.
bool class_is_a(const Meta_Class* mc, const char* name)
{
    if (!name || !*name)
        return true;
    for (; mc; mc = mc->super_meta_class) {
        if (eqi(mc->name, name))
            return true;
    }
    return false;
}

bool usable_association(const Instance* assoc)
{
    return assoc && assoc->meta_class && !to_meta_method(assoc->meta_class);
}

} // namespace

bool is_reference_of(const Instance* inst, const Instance* assoc, const char* role)
{
    if (!inst || !usable_association(assoc))
        return false;
    const Meta_Class* mc = assoc->meta_class;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (!is_plain_reference(mf) || !role_matches(mf, role))
            continue;
        if (key_eq(ref_field(assoc, as_reference(mf)), inst))
            return true;
    }
    return false;
}

ssize_t get_associators(const Instance* inst, const Instance* assoc, const char* result_class, const char* role,
                        const char* result_role, const Instance* associators[CIMPLE_MAX_REFERENCES_PER_CLASS])
{
    if (!inst || !usable_association(assoc))
        return -1;
    const Meta_Class* mc = assoc->meta_class;
    ssize_t count = 0;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* near = mc->meta_features[i];
        if (!is_plain_reference(near) || !role_matches(near, role))
            continue;
        if (!key_eq(ref_field(assoc, as_reference(near)), inst))
            continue;
        for (size_t j = 0; j < mc->num_meta_features; j++) {
            const Meta_Feature* far = mc->meta_features[j];
            if (j == i || !is_plain_reference(far) || !role_matches(far, result_role))
                continue;
            Instance* end = ref_field(assoc, as_reference(far));
            if (!end || !class_is_a(end->meta_class, result_class))
                continue;
            if (count == CIMPLE_MAX_REFERENCES_PER_CLASS)
                return count;
            associators[count++] = end;
        }
    }
    return count;
}

} // namespace cimple
