#include "Method_Reference.h"

#include <strings.h>

#include "Association_Provider_Frame.h"

namespace cimple {

namespace {

const Property<String>* stringProperty(const Instance* instance, const char* name)
{
    const Meta_Property* p = find_property(instance->meta_class, name);
    if (!p || p->type != STRING || p->subscript != 0)
        return nullptr;
    return reinterpret_cast<const Property<String>*>(reinterpret_cast<const char*>(instance) + p->offset);
}

bool isClassNameKey(const char* name)
{
    return strcasecmp(name, "CreationClassName") == 0 || strcasecmp(name, "SystemCreationClassName") == 0;
}

}  // namespace

bool Method_Reference::servedNameSpace(const Instance* given)
{
    if (!given)
        return false;
    return given->__name_space.empty() || given->__name_space.equali(Association_Provider_Frame::ARRAY_NAMESPACE);
}

bool Method_Reference::names(const Instance* given, const Instance* built)
{
    if (!given || !given->meta_class || !built || !built->meta_class || !servedNameSpace(given))
        return false;
    const Meta_Class* mc = built->meta_class;
    for (std::size_t i = 0; i < mc->num_meta_features; ++i) {
        const Meta_Feature* f = mc->meta_features[i];
        if (!(f->flags & CIMPLE_FLAG_PROPERTY) || !(f->flags & CIMPLE_FLAG_KEY))
            continue;
        const Property<String>* want = stringProperty(built, f->name);
        if (!want)
            continue;
        const Property<String>* have = stringProperty(given, f->name);
        const bool className = isClassNameKey(f->name);
        if (!have || have->null) {
            if (className)
                continue;
            return false;
        }
        if (want->null)
            return false;
        if (className ? !have->value.equali(want->value) : !(have->value == want->value))
            return false;
    }
    return true;
}

}  // namespace cimple
