#include "ClassNameSpace.h"

#include "ValueText.h"

#include <unordered_map>

namespace cimserver {

using namespace cimple;

namespace {

// Classes whose instances, and those of their subclasses, live in interop.
constexpr const char* INTEROP_CLASSES[] = {
    "CIM_RegisteredProfile",    "CIM_ObjectManager",       "CIM_Namespace", "CIM_ObjectManagerCommunicationMechanism",
    "VELDARO_ProviderSoftwareIdentity", "VELDARO_System",
    // The indication subscriptions the server keeps itself.
    "CIM_IndicationFilter", "CIM_ListenerDestination", "CIM_AbstractIndicationSubscription",
};

// True when instances of that class live in ns.
bool class_in_name_space(const Meta_Class* mc, const std::string& ns)
{
    return eqi(ClassNameSpace::home_of(mc), ns.c_str());
}

// An association is looked at through its ends; the ends themselves by
// their own name space or class (depth 1).
bool in_name_space(const Instance* inst, const std::string& ns, int depth)
{
    if (!inst->__name_space.empty())
        return eqi(inst->__name_space.c_str(), ns.c_str());
    const Meta_Class* mc = inst->meta_class;
    if (!(mc->flags & CIMPLE_FLAG_ASSOCIATION) || depth > 0)
        return class_in_name_space(mc, ns);
    bool any_end = false;
    for (size_t i = 0; i < mc->num_meta_features; ++i) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (!(mf->flags & CIMPLE_FLAG_REFERENCE) || (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT))
            continue;
        auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
        if (mr->subscript != 0)
            continue;
        auto* end = *static_cast<Instance* const*>(field_of(inst, mr->offset));
        if (!end)
            continue;
        any_end = true;
        if (in_name_space(end, ns, depth + 1))
            return true;
    }
    return !any_end && class_in_name_space(mc, ns);
}

} // namespace

const char* ClassNameSpace::home_of(const Meta_Class* mc)
{
    // Class records are fixed for the process's life, so each thread keeps
    // the answer per class instead of comparing names for every instance.
    thread_local std::unordered_map<const Meta_Class*, const char*> known;
    auto [it, fresh] = known.try_emplace(mc, ARRAYS);
    if (fresh) {
        for (const Meta_Class* c = mc; c && it->second == ARRAYS; c = c->super_meta_class)
            for (const char* name : INTEROP_CLASSES)
                if (eqi(c->name, name))
                    it->second = INTEROP;
    }
    return it->second;
}

bool ClassNameSpace::served_in(const Instance* inst, const std::string& ns)
{
    return inst && in_name_space(inst, ns, 0);
}

} // namespace cimserver
