#include "Source_Model_Path.h"

#include <cstdio>

namespace cimple {

namespace {

// Deeper nesting than this is taken as a cycle of references.
constexpr int MAX_DEPTH = 32;

const void* field_at(const Instance* inst, uint32 offset)
{
    return reinterpret_cast<const char*>(inst) + offset;
}

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
    char text[4] = {};
    if (c < 0x80) {
        text[0] = static_cast<char>(c);
    } else if (c < 0x800) {
        text[0] = static_cast<char>(0xC0 | (c >> 6));
        text[1] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text[0] = static_cast<char>(0xE0 | (c >> 12));
        text[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text[2] = static_cast<char>(0x80 | (c & 0x3F));
    }
    append_quoted(out, text);
}

template <class T>
const Property<T>& property_at(const Instance* inst, const Meta_Property* mp)
{
    return *static_cast<const Property<T>*>(field_at(inst, mp->offset));
}

// Appends a number with printf's format; false when the key is null.
template <class T, class Shown>
bool append_number(String& out, const Instance* inst, const Meta_Property* mp, const char* format)
{
    const Property<T>& p = property_at<T>(inst, mp);
    if (p.null)
        return false;
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<Shown>(p.value));
    out.append(text);
    return true;
}

bool append_key(String& out, const Instance* inst, const Meta_Property* mp)
{
    switch (mp->type) {
    case BOOLEAN: {
        const Property<boolean>& p = property_at<boolean>(inst, mp);
        if (!p.null)
            out.append(p.value ? "true" : "false");
        return !p.null;
    }
    case UINT8: return append_number<uint8, unsigned long long>(out, inst, mp, "%llu");
    case SINT8: return append_number<sint8, long long>(out, inst, mp, "%lld");
    case UINT16: return append_number<uint16, unsigned long long>(out, inst, mp, "%llu");
    case SINT16: return append_number<sint16, long long>(out, inst, mp, "%lld");
    case UINT32: return append_number<uint32, unsigned long long>(out, inst, mp, "%llu");
    case SINT32: return append_number<sint32, long long>(out, inst, mp, "%lld");
    case UINT64: return append_number<uint64, unsigned long long>(out, inst, mp, "%llu");
    case SINT64: return append_number<sint64, long long>(out, inst, mp, "%lld");
    case REAL32: return append_number<real32, double>(out, inst, mp, "%.9g");
    case REAL64: return append_number<real64, double>(out, inst, mp, "%.17g");
    case CHAR16: {
        const Property<char16>& p = property_at<char16>(inst, mp);
        if (!p.null)
            append_utf8(out, p.value.code());
        return !p.null;
    }
    case STRING: {
        const Property<String>& p = property_at<String>(inst, mp);
        if (!p.null)
            append_quoted(out, p.value.c_str());
        return !p.null;
    }
    case DATETIME: {
        const Property<Datetime>& p = property_at<Datetime>(inst, mp);
        if (!p.null)
            append_quoted(out, p.value.ascii().c_str());
        return !p.null;
    }
    }
    return false;
}

bool model_path(const Instance* inst, String& out, int depth)
{
    if (!inst || !inst->meta_class || (inst->meta_class->flags & CIMPLE_FLAG_METHOD) || depth > MAX_DEPTH)
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
            auto* mp = reinterpret_cast<const Meta_Property*>(mf);
            if (mp->subscript || !append_key(out, inst, mp))
                return false;
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
            if (mr->subscript)
                return false;
            String inner;
            if (!model_path(*static_cast<Instance* const*>(field_at(inst, mr->offset)), inner, depth + 1))
                return false;
            append_quoted(out, inner.c_str());
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool source_model_path(const Instance* inst, String& path)
{
    String out;
    if (!model_path(inst, out, 0)) {
        path.clear();
        return false;
    }
    path = out;
    return true;
}

} // namespace cimple
