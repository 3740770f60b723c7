#include <cimple/Instance.h>

#include <cimple/Instance_Fields.h>

#include <cstdio>

namespace cimple {

using namespace fields;

namespace {

constexpr int MAX_DEPTH = 32;

void append_quoted(String& out, const char* text)
{
    out.append('"');
    for (const char* p = text; *p; p++) {
        if (*p == '"' || *p == '\\')
            out.append('\\');
        out.append(*p);
    }
    out.append('"');
}

void append_utf8(String& out, uint16 c)
{
    if (c < 0x80) {
        out.append(static_cast<char>(c));
    } else if (c < 0x800) {
        out.append(static_cast<char>(0xC0 | (c >> 6)));
        out.append(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.append(static_cast<char>(0xE0 | (c >> 12)));
        out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

template <class T>
void append_value(String& out, const T& v)
{
    char buf[64];
    if constexpr (std::is_same_v<T, boolean>) {
        out.append(v ? "true" : "false");
    } else if constexpr (std::is_same_v<T, String>) {
        append_quoted(out, v.c_str());
    } else if constexpr (std::is_same_v<T, Datetime>) {
        append_quoted(out, v.ascii().c_str());
    } else if constexpr (std::is_same_v<T, char16>) {
        String s;
        append_utf8(s, v.code());
        append_quoted(out, s.c_str());
    } else if constexpr (std::is_same_v<T, real32>) {
        snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
        out.append(buf);
    } else if constexpr (std::is_same_v<T, real64>) {
        snprintf(buf, sizeof buf, "%.17g", v);
        out.append(buf);
    } else if constexpr (std::is_signed_v<T>) {
        snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
        out.append(buf);
    } else {
        snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(v));
        out.append(buf);
    }
}

bool model_path(const Instance* inst, String& out, int depth)
{
    if (!inst || !inst->meta_class || to_meta_method(inst->meta_class) || depth > MAX_DEPTH)
        return false;
    const Meta_Class* mc = inst->meta_class;
    out.append(mc->name);
    bool first = true;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (!(mf->flags & CIMPLE_FLAG_KEY))
            continue;
        out.append(first ? '.' : ',');
        first = false;
        out.append(mf->name);
        out.append('=');
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = as_property(mf);
            if (mp->subscript)
                return false; // array keys have no path form
            bool ok = false;
            const void* f = field(inst, mp->offset);
            visit_type(mp->type, [&](auto tag) {
                using T = typename decltype(tag)::type;
                auto* p = static_cast<const Property<T>*>(f);
                if (p->null)
                    return;
                append_value(out, p->value);
                ok = true;
            });
            if (!ok)
                return false;
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = as_reference(mf);
            if (mr->subscript)
                return false;
            String inner;
            if (!model_path(ref_field(inst, mr), inner, depth + 1))
                return false;
            append_quoted(out, inner.c_str());
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int instance_to_model_path(const Instance* inst, String& path)
{
    String out;
    if (!model_path(inst, out, 0)) {
        path.clear();
        return -1;
    }
    path = out;
    return 0;
}

} // namespace cimple
