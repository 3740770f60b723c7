#include <cimple/Meta_Class.h>
#include <cimple/config.h>
#include <cimple/String.h>

#include <cimple/Instance_Fields.h>

namespace cimple {

// A method record serves as the class record of its instances: the fields
// that the instance operations read must sit where Meta_Class has them.
static_assert(CIMPLE_OFF(Meta_Method, refs) == CIMPLE_OFF(Meta_Class, refs));
static_assert(CIMPLE_OFF(Meta_Method, flags) == CIMPLE_OFF(Meta_Class, flags));
static_assert(CIMPLE_OFF(Meta_Method, name) == CIMPLE_OFF(Meta_Class, name));
static_assert(CIMPLE_OFF(Meta_Method, meta_qualifiers) == CIMPLE_OFF(Meta_Class, meta_qualifiers));
static_assert(CIMPLE_OFF(Meta_Method, num_meta_qualifiers) == CIMPLE_OFF(Meta_Class, num_meta_qualifiers));
static_assert(CIMPLE_OFF(Meta_Method, meta_features) == CIMPLE_OFF(Meta_Class, meta_features));
static_assert(CIMPLE_OFF(Meta_Method, num_meta_features) == CIMPLE_OFF(Meta_Class, num_meta_features));
static_assert(CIMPLE_OFF(Meta_Method, size) == CIMPLE_OFF(Meta_Class, size));

bool is_subclass(const Meta_Class* ancestor, const Meta_Class* descendant)
{
    if (!ancestor || to_meta_method(descendant))
        return false;
    for (const Meta_Class* mc = descendant; mc; mc = mc->super_meta_class) {
        if (mc == ancestor || eqi(mc->name, ancestor->name))
            return true;
    }
    return false;
}

const Meta_Feature* find_feature(const Meta_Class* mc, const char* name, uint32 flags)
{
    if (!mc || !name)
        return nullptr;
    fields::Layout layout = fields::layout_of(mc);
    for (size_t i = 0; i < layout.count; i++) {
        const Meta_Feature* mf = layout.features[i];
        if (flags && !(mf->flags & flags))
            continue;
        if (eqi(mf->name, name))
            return mf;
    }
    return nullptr;
}

const Meta_Property* find_property(const Meta_Class* mc, const char* name)
{
    return reinterpret_cast<const Meta_Property*>(find_feature(mc, name, CIMPLE_FLAG_PROPERTY));
}

const Meta_Reference* find_reference(const Meta_Class* mc, const char* name)
{
    return reinterpret_cast<const Meta_Reference*>(find_feature(mc, name, CIMPLE_FLAG_REFERENCE));
}

const Meta_Method* find_method(const Meta_Class* mc, const char* name)
{
    return reinterpret_cast<const Meta_Method*>(find_feature(mc, name, CIMPLE_FLAG_METHOD));
}

} // namespace cimple
