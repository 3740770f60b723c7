// Typed access to the fields of an instance, driven by the type codes and
// offsets of its meta-data records (for code that walks instances generically).
#ifndef CIMPLE_INSTANCE_FIELDS_H
#define CIMPLE_INSTANCE_FIELDS_H

#include <cimple/Instance.h>
#include <cimple/Meta_Value.h>

#include <type_traits>

namespace cimple {

// The method record of a method instance's head (see Meta_Method.h); null if
// the record is a class record.
inline const Meta_Method* to_meta_method(const Meta_Class* mc)
{
    return mc && (mc->flags & CIMPLE_FLAG_METHOD) ? reinterpret_cast<const Meta_Method*>(mc) : nullptr;
}
// The class-record view of a method record, for a method instance's head.
inline const Meta_Class* to_meta_class(const Meta_Method* mm)
{
    return reinterpret_cast<const Meta_Class*>(mm);
}

namespace fields {

// The record of the kind that a feature's flags name (Meta_Feature.h).
inline const Meta_Property* as_property(const Meta_Feature* mf)
{
    return reinterpret_cast<const Meta_Property*>(mf);
}
inline const Meta_Reference* as_reference(const Meta_Feature* mf)
{
    return reinterpret_cast<const Meta_Reference*>(mf);
}

template <class T>
struct Tag {
    using type = T;
};

// Calls f(Tag<T>{}) with the C++ type of the type code; false for an
// unknown code.
template <class F>
bool visit_type(uint16 type, F&& f)
{
    switch (type) {
    case BOOLEAN: f(Tag<boolean>{}); return true;
    case UINT8: f(Tag<uint8>{}); return true;
    case SINT8: f(Tag<sint8>{}); return true;
    case UINT16: f(Tag<uint16>{}); return true;
    case SINT16: f(Tag<sint16>{}); return true;
    case UINT32: f(Tag<uint32>{}); return true;
    case SINT32: f(Tag<sint32>{}); return true;
    case UINT64: f(Tag<uint64>{}); return true;
    case SINT64: f(Tag<sint64>{}); return true;
    case REAL32: f(Tag<real32>{}); return true;
    case REAL64: f(Tag<real64>{}); return true;
    case CHAR16: f(Tag<char16>{}); return true;
    case STRING: f(Tag<String>{}); return true;
    case DATETIME: f(Tag<Datetime>{}); return true;
    default: return false;
    }
}

// The C++ type in which a default value of type T is written in a record.
template <class T>
struct Default_Type {
    using type = T;
};
template <>
struct Default_Type<String> {
    using type = const char*;
};
template <>
struct Default_Type<Datetime> {
    using type = const char*;
};

template <class T>
inline T convert_default(const typename Default_Type<T>::type& x)
{
    if constexpr (std::is_same_v<T, String>) {
        return String(x);
    } else if constexpr (std::is_same_v<T, Datetime>) {
        Datetime d;
        d.set(x);
        return d;
    } else {
        return x;
    }
}

// Features, their count and the instance size of a class or method record.
struct Layout {
    const Meta_Feature* const* features;
    size_t count;
    size_t size;
};

inline Layout layout_of(const Meta_Class* mc)
{
    if (const Meta_Method* mm = to_meta_method(mc))
        return Layout{mm->meta_features, mm->num_meta_features, mm->size};
    return Layout{mc->meta_features, mc->num_meta_features, mc->size};
}

inline void* field(Instance* inst, uint32 offset)
{
    return reinterpret_cast<char*>(inst) + offset;
}
inline const void* field(const Instance* inst, uint32 offset)
{
    return reinterpret_cast<const char*>(inst) + offset;
}

inline Instance*& ref_field(Instance* inst, const Meta_Reference* mr)
{
    return *static_cast<Instance**>(field(inst, mr->offset));
}
inline Instance* ref_field(const Instance* inst, const Meta_Reference* mr)
{
    return *static_cast<Instance* const*>(field(inst, mr->offset));
}
inline Array<Instance*>& ref_array_field(Instance* inst, const Meta_Reference* mr)
{
    return *static_cast<Array<Instance*>*>(field(inst, mr->offset));
}
inline const Array<Instance*>& ref_array_field(const Instance* inst, const Meta_Reference* mr)
{
    return *static_cast<const Array<Instance*>*>(field(inst, mr->offset));
}

// The null flag of a property field; null for an unknown type code.
inline uint8* null_flag(Instance* inst, const Meta_Property* mp)
{
    uint8* flag = nullptr;
    void* f = field(inst, mp->offset);
    visit_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (mp->subscript)
            flag = &static_cast<Property<Array<T>>*>(f)->null;
        else
            flag = &static_cast<Property<T>*>(f)->null;
    });
    return flag;
}

// A reference of an association (not an embedded object, not an array).
inline bool is_plain_reference(const Meta_Feature* mf)
{
    if (!(mf->flags & CIMPLE_FLAG_REFERENCE) || (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT))
        return false;
    return as_reference(mf)->subscript == 0;
}

} // namespace fields
} // namespace cimple

#endif
