#include <cimple/Instance.h>

#include <cimple/Instance_Fields.h>

namespace cimple {

using namespace fields;

namespace {

// Deeper nesting than this is taken as a cycle of references.
constexpr int MAX_DEPTH = 32;

bool key_eq_at(const Instance* a, const Instance* b, int depth);

bool property_eq(const Instance* a, const Meta_Property* pa, const Instance* b, const Meta_Property* pb)
{
    if (pa->type != pb->type || (pa->subscript != 0) != (pb->subscript != 0))
        return false;
    const void* fa = field(a, pa->offset);
    const void* fb = field(b, pb->offset);
    bool eq = false;
    visit_type(pa->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (pa->subscript) {
            auto* x = static_cast<const Property<Array<T>>*>(fa);
            auto* y = static_cast<const Property<Array<T>>*>(fb);
            eq = x->null == y->null && (x->null || x->value == y->value);
        } else {
            auto* x = static_cast<const Property<T>*>(fa);
            auto* y = static_cast<const Property<T>*>(fb);
            eq = x->null == y->null && (x->null || x->value == y->value);
        }
    });
    return eq;
}

bool key_eq_at(const Instance* a, const Instance* b, int depth)
{
    if (!a || !b || depth > MAX_DEPTH)
        return false;
    const Meta_Class* ma = a->meta_class;
    const Meta_Class* mb = b->meta_class;
    // The classes themselves are not compared: each key of a's class is
    // looked up by name in b's class.
    if (!ma || !mb)
        return false;
    for (size_t i = 0; i < ma->num_meta_features; i++) {
        const Meta_Feature* fa = ma->meta_features[i];
        if (!(fa->flags & CIMPLE_FLAG_KEY))
            continue;
        const Meta_Feature* fb = find_feature(mb, fa->name, fa->flags & (CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_REFERENCE));
        if (!fb || !(fb->flags & CIMPLE_FLAG_KEY))
            return false;
        if (fa->flags & CIMPLE_FLAG_PROPERTY) {
            auto* pa = as_property(fa);
            if (pa->type >= NUM_TYPES || !property_eq(a, pa, b, as_property(fb)))
                return false;
        } else if (fa->flags & CIMPLE_FLAG_REFERENCE) {
            auto* ra = as_reference(fa);
            auto* rb = as_reference(fb);
            if (ra->subscript)
                continue; // reference arrays cannot be keys
            if (rb->subscript || !(is_subclass(ra->meta_class, rb->meta_class) || is_subclass(rb->meta_class, ra->meta_class)))
                return false;
            const Instance* x = ref_field(a, ra);
            const Instance* y = ref_field(b, rb);
            if (!x && !y)
                continue;
            if (!key_eq_at(x, y, depth + 1))
                return false;
        }
    }
    return true;
}

} // namespace

bool key_eq(const Instance* a, const Instance* b)
{
    return key_eq_at(a, b, 0);
}

} // namespace cimple
