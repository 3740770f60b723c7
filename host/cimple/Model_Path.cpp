#include <cimple/Instance.h>

#include <cimple/Instance_Fields.h>

#include <cstdio>

namespace cimple {

using namespace fields;

namespace {

// A key value as CIMPLE writes it: texts in quotes as they stand, date-times
// and numbers bare, reals with six decimals, char16 in single quotes.
template <class T>
void append_value(String& out, const T& v)
{
    char buf[64];
    if constexpr (std::is_same_v<T, boolean>) {
        out.append(v ? "true" : "false");
        return;
    } else if constexpr (std::is_same_v<T, String>) {
        out.append('"');
        out.append(v);
        out.append('"');
        return;
    } else if constexpr (std::is_same_v<T, Datetime>) {
        out.append(v.ascii());
        return;
    } else if constexpr (std::is_same_v<T, char16>) {
        snprintf(buf, sizeof buf, "'%c'", static_cast<char>(v.code()));
    } else if constexpr (std::is_same_v<T, real32> || std::is_same_v<T, real64>) {
        snprintf(buf, sizeof buf, "%f", static_cast<double>(v));
    } else if constexpr (std::is_signed_v<T>) {
        snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    } else {
        snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(v));
    }
    out.append(buf);
}

// A nested path goes in quotes with its own quotes escaped (backslashes are
// left as they are).
void append_nested(String& out, const String& path)
{
    out.append('"');
    for (const char* p = path.c_str(); *p; p++) {
        if (*p == '"')
            out.append('\\');
        out.append(*p);
    }
    out.append('"');
}

size_t key_count(const Meta_Class* mc)
{
    size_t n = 0;
    for (size_t i = 0; i < mc->num_meta_features; i++)
        if (mc->meta_features[i]->flags & CIMPLE_FLAG_KEY)
            n++;
    return n;
}

} // namespace

// CIMPLE's contract: the path is built in place, so a failure part way
// leaves what was written so far; a method instance gives its name and ".".
int instance_to_model_path(const Instance* inst, String& path)
{
    path.clear();
    if (!inst || !inst->meta_class)
        return -1;
    const Meta_Class* mc = inst->meta_class;
    if (to_meta_method(mc)) {
        path.append(mc->name);
        path.append('.');
        return 0;
    }
    const size_t keys = key_count(mc);
    if (keys == 0)
        return -1;
    path.append(mc->name);
    path.append('.');
    size_t found = 0;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (!(mf->flags & CIMPLE_FLAG_KEY))
            continue;
        path.append(mf->name);
        path.append('=');
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = as_property(mf);
            if (mp->subscript || mp->type >= NUM_TYPES)
                return -1;
            bool ok = false;
            const void* f = field(inst, mp->offset);
            visit_type(mp->type, [&](auto tag) {
                using T = typename decltype(tag)::type;
                auto* p = static_cast<const Property<T>*>(f);
                if (p->null)
                    return;
                append_value(path, p->value);
                ok = true;
            });
            if (!ok)
                return -1;
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = as_reference(mf);
            if (mr->subscript)
                continue;
            const Instance* target = ref_field(inst, mr);
            String inner;
            if (!target || instance_to_model_path(target, inner) != 0)
                return -1;
            append_nested(path, inner);
        }
        if (++found != keys)
            path.append(',');
    }
    return 0;
}

} // namespace cimple
