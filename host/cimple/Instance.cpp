#include <cimple/Instance.h>

#include <cimple/Instance_Fields.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace cimple {

using namespace fields;

namespace {

void construct_property(Instance* inst, const Meta_Property* mp)
{
    void* f = field(inst, mp->offset);
    visit_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (mp->subscript)
            new (f) Property<Array<T>>();
        else
            new (f) Property<T>();
    });
}

void destruct_property(Instance* inst, const Meta_Property* mp)
{
    void* f = field(inst, mp->offset);
    visit_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (mp->subscript)
            static_cast<Property<Array<T>>*>(f)->~Property<Array<T>>();
        else
            static_cast<Property<T>*>(f)->~Property<T>();
    });
}

void set_default(Instance* inst, const Meta_Property* mp)
{
    if (!mp->value)
        return;
    void* f = field(inst, mp->offset);
    visit_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        using D = typename Default_Type<T>::type;
        if (mp->subscript) {
            auto* mv = reinterpret_cast<const Meta_Value_Array<D>*>(mp->value);
            auto* p = static_cast<Property<Array<T>>*>(f);
            p->value.clear();
            for (size_t i = 0; mv->elements && i < mv->num_elements; i++)
                p->value.append(convert_default<T>(mv->elements[i]));
            p->null = 0;
        } else {
            auto* mv = reinterpret_cast<const Meta_Value_Scalar<D>*>(mp->value);
            static_cast<Property<T>*>(f)->set(convert_default<T>(mv->value));
        }
    });
}

void copy_property(Instance* dst, const Instance* src, const Meta_Property* mp)
{
    void* d = field(dst, mp->offset);
    const void* s = field(src, mp->offset);
    visit_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (mp->subscript)
            *static_cast<Property<Array<T>>*>(d) = *static_cast<const Property<Array<T>>*>(s);
        else
            *static_cast<Property<T>*>(d) = *static_cast<const Property<T>*>(s);
    });
}

bool known_type(const Meta_Property* mp)
{
    return mp->type < NUM_TYPES;
}

// Constructs the head and every field; the block is zero-filled first so
// that reference fields start null.
Instance* create_blank(const Meta_Class* mc)
{
    if (!mc)
        return nullptr;
    Layout layout = layout_of(mc);
    if (layout.size < sizeof(Instance))
        return nullptr;
    void* mem = ::operator new(layout.size);
    std::memset(mem, 0, layout.size);
    Instance* inst = new (mem) Instance();
    inst->meta_class = mc;
    inst->__refs.store(1);
    for (size_t i = 0; i < layout.count; i++) {
        const Meta_Feature* mf = layout.features[i];
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = as_property(mf);
            if (known_type(mp))
                construct_property(inst, mp);
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = as_reference(mf);
            if (mr->subscript)
                new (field(inst, mr->offset)) Array<Instance*>();
        }
    }
    return inst;
}

} // namespace

// Every property starts present with its empty value (zero, false, "",
// no elements); with defaults, a property whose record carries a default
// takes it and every other property is null. References start null.
Instance* create(const Meta_Class* mc, bool defaults)
{
    Instance* inst = create_blank(mc);
    if (!inst)
        return inst;
    Layout layout = layout_of(mc);
    for (size_t i = 0; i < layout.count; i++) {
        const Meta_Feature* mf = layout.features[i];
        if (!(mf->flags & CIMPLE_FLAG_PROPERTY))
            continue;
        auto* mp = as_property(mf);
        if (!known_type(mp))
            continue;
        if (defaults)
            set_default(inst, mp);
        else if (uint8* f = null_flag(inst, mp))
            *f = 0;
    }
    return inst;
}

Instance* create(const Meta_Method* mm)
{
    return mm ? create(to_meta_class(mm), false) : nullptr;
}

Instance* clone(const Instance* src)
{
    if (!src)
        return nullptr;
    Instance* dst = create_blank(src->meta_class);
    if (!dst)
        return nullptr;
    dst->__name_space = src->__name_space;
    Layout layout = layout_of(src->meta_class);
    for (size_t i = 0; i < layout.count; i++) {
        const Meta_Feature* mf = layout.features[i];
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = as_property(mf);
            if (known_type(mp))
                copy_property(dst, src, mp);
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = as_reference(mf);
            if (mr->subscript) {
                const Array<Instance*>& from = ref_array_field(src, mr);
                Array<Instance*>& to = ref_array_field(dst, mr);
                to.reserve(from.size());
                for (size_t j = 0; j < from.size(); j++)
                    to.append(clone(from[j]));
            } else {
                ref_field(dst, mr) = clone(ref_field(src, mr));
            }
        }
    }
    return dst;
}

void destroy(Instance* inst)
{
    // CIMPLE follows the pointer without a check; failing here, loudly and
    // in every build, finds a caller that would crash under CIMPLE.
    if (!inst) {
        std::fputs("cimple::destroy: null instance\n", stderr);
        std::abort();
    }
    if (inst->__refs.fetch_sub(1) != 1)
        return;
    Layout layout = layout_of(inst->meta_class);
    for (size_t i = 0; i < layout.count; i++) {
        const Meta_Feature* mf = layout.features[i];
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = as_property(mf);
            if (known_type(mp))
                destruct_property(inst, mp);
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = as_reference(mf);
            if (mr->subscript) {
                Array<Instance*>& a = ref_array_field(inst, mr);
                for (size_t j = 0; j < a.size(); j++)
                    if (a[j])
                        destroy(a[j]);
                a.~Array<Instance*>();
            } else {
                Instance*& r = ref_field(inst, mr);
                if (r)
                    destroy(r);
                r = nullptr;
            }
        }
    }
    inst->~Instance();
    ::operator delete(static_cast<void*>(inst));
}

void __set_null_flags(const Instance* target, bool include_keys, bool include_non_keys, uint8 flag)
{
    if (!target)
        return;
    // The flags are the instance's bookkeeping, which CIMPLE lets a holder
    // of a const instance change.
    Instance* inst = const_cast<Instance*>(target);
    Layout layout = layout_of(inst->meta_class);
    for (size_t i = 0; i < layout.count; i++) {
        const Meta_Feature* mf = layout.features[i];
        if (!(mf->flags & CIMPLE_FLAG_PROPERTY))
            continue;
        bool key = (mf->flags & CIMPLE_FLAG_KEY) != 0;
        if ((key && !include_keys) || (!key && !include_non_keys))
            continue;
        auto* mp = as_property(mf);
        if (uint8* f = null_flag(inst, mp))
            *f = flag;
    }
}

} // namespace cimple
