#pragma once
// Drives an association provider object directly, the way its dispatch
// procedure does, and collects what its handlers receive: owned
// associations from enum_instances, copies of the lent far ends from
// associators and associator names.

#include <memory>
#include <string>
#include <vector>

#include <cimple/cimple.h>

namespace assoc_test {

struct Owned_Deleter {
    void operator()(cimple::Instance* i) const { cimple::destroy(i); }
};
using Held = std::unique_ptr<cimple::Instance, Owned_Deleter>;
using Held_List = std::vector<Held>;

inline bool keep_owned(cimple::Instance* i, cimple::Enum_Instances_Status, void* list)
{
    if (i)
        static_cast<Held_List*>(list)->emplace_back(i);
    return true;
}

inline bool keep_lent(const cimple::Instance* i, void* list)
{
    if (i)
        static_cast<Held_List*>(list)->emplace_back(cimple::clone(i));
    return true;
}
inline bool keep_associator(const cimple::Instance* i, cimple::Enum_Associators_Status, void* list)
{
    return keep_lent(i, list);
}
inline bool keep_name(const cimple::Instance* i, cimple::Enum_Associator_Names_Status, void* list)
{
    return keep_lent(i, list);
}

// Enumeration of the association class through the provider.
template <class Class, class Provider>
int enumerate(Provider& p, Held_List& out)
{
    cimple::Enum_Instances_Handler<Class> h(keep_owned, &out);
    return p.enum_instances(nullptr, &h);
}

// Associators (names when names is true) of source through the provider,
// with the request's filters.
template <class Provider>
int associators(Provider& p, const cimple::Instance* source, Held_List& out, bool names = false,
                const char* resultClass = "", const char* role = "", const char* resultRole = "")
{
    if (names) {
        cimple::Enum_Associator_Names_Handler<cimple::Instance> h(keep_name, &out);
        return p.enum_associator_names(source, resultClass, role, resultRole, &h);
    }
    cimple::Enum_Associators_Handler<cimple::Instance> h(keep_associator, &out);
    return p.enum_associators(source, resultClass, role, resultRole, &h);
}

// The value of a string key of an instance ("" when null or absent).
inline std::string text(const cimple::Instance* i, const char* name)
{
    const cimple::Meta_Property* p = i ? cimple::find_property(i->meta_class, name) : nullptr;
    if (!p)
        return "";
    const auto* f = reinterpret_cast<const cimple::Property<cimple::String>*>(reinterpret_cast<const char*>(i) +
                                                                               p->offset);
    return f->null ? "" : f->value.c_str();
}

// The instance a reference of an association points to.
inline const cimple::Instance* end(const cimple::Instance* association, const char* role)
{
    const cimple::Meta_Reference* r = cimple::find_reference(association->meta_class, role);
    return r ? *reinterpret_cast<cimple::Instance* const*>(reinterpret_cast<const char*>(association) + r->offset)
             : nullptr;
}

// The first of DeviceID, Name and InstanceID the instance has a value for.
inline std::string keyOf(const cimple::Instance* i)
{
    for (const char* key : {"DeviceID", "Name", "InstanceID"}) {
        const std::string value = text(i, key);
        if (!value.empty())
            return value;
    }
    return "";
}

// "first>second" keys of each association's two ends, followed by
// " ns1|ns2", the name spaces of the ends, when nameSpaces is true.
inline std::vector<std::string> pairs(const Held_List& list, const char* first, const char* second,
                                      bool nameSpaces = false)
{
    std::vector<std::string> out;
    for (const auto& a : list) {
        const cimple::Instance* f = end(a.get(), first);
        const cimple::Instance* s = end(a.get(), second);
        std::string line = keyOf(f) + ">" + keyOf(s);
        if (nameSpaces)
            line += std::string(" ") + f->__name_space.c_str() + "|" + s->__name_space.c_str();
        out.push_back(line);
    }
    return out;
}

}  // namespace assoc_test
