#include "ValueText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>

namespace cimserver {

using namespace cimple;

namespace {

template <class T>
struct Tag {
    using type = T;
};

// Calls f(Tag<T>) with the C++ type of a type code; false for an unknown code.
template <class F>
bool with_type(uint16 type, F&& f)
{
    switch (type) {
    case BOOLEAN: return f(Tag<boolean>{});
    case UINT8: return f(Tag<uint8>{});
    case SINT8: return f(Tag<sint8>{});
    case UINT16: return f(Tag<uint16>{});
    case SINT16: return f(Tag<sint16>{});
    case UINT32: return f(Tag<uint32>{});
    case SINT32: return f(Tag<sint32>{});
    case UINT64: return f(Tag<uint64>{});
    case SINT64: return f(Tag<sint64>{});
    case REAL32: return f(Tag<real32>{});
    case REAL64: return f(Tag<real64>{});
    case CHAR16: return f(Tag<char16>{});
    case STRING: return f(Tag<String>{});
    case DATETIME: return f(Tag<Datetime>{});
    default: return false;
    }
}

// The text of a value, in buf or in store (for texts of any length).
template <class T>
std::string_view to_text(const T& v, char (&buf)[64], std::string& store)
{
    if constexpr (std::is_same_v<T, boolean>) {
        return v ? "TRUE" : "FALSE";
    } else if constexpr (std::is_same_v<T, String>) {
        return std::string_view(v.c_str(), v.size());
    } else if constexpr (std::is_same_v<T, Datetime>) {
        store = v.ascii().c_str();
        return store;
    } else if constexpr (std::is_same_v<T, char16>) {
        // UTF-8 of one UCS-2 code unit.
        uint16 c = v.code();
        size_t n = 0;
        if (c < 0x80) {
            buf[n++] = static_cast<char>(c);
        } else if (c < 0x800) {
            buf[n++] = static_cast<char>(0xC0 | (c >> 6));
            buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            buf[n++] = static_cast<char>(0xE0 | (c >> 12));
            buf[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
        return std::string_view(buf, n);
    } else if constexpr (std::is_floating_point_v<T>) {
        int n = std::snprintf(buf, sizeof buf, "%.17g", static_cast<double>(v));
        return std::string_view(buf, static_cast<size_t>(n));
    } else {
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        return std::string_view(buf, static_cast<size_t>(r.ptr - buf));
    }
}

std::string trimmed(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

template <class T>
bool from_text(const std::string& raw, T& out)
{
    if constexpr (std::is_same_v<T, String>) {
        out = String(raw.data(), raw.size());
        return true;
    } else {
        std::string s = trimmed(raw);
        if constexpr (std::is_same_v<T, boolean>) {
            if (String(s.c_str()).equali("true")) {
                out = true;
                return true;
            }
            if (String(s.c_str()).equali("false")) {
                out = false;
                return true;
            }
            return false;
        } else if constexpr (std::is_same_v<T, Datetime>) {
            Datetime d;
            if (!d.set(s.c_str()))
                return false;
            out = d;
            return true;
        } else if constexpr (std::is_same_v<T, char16>) {
            const unsigned char* p = reinterpret_cast<const unsigned char*>(raw.data());
            if (raw.size() == 1 && p[0] < 0x80) {
                out = char16(p[0]);
                return true;
            }
            if (raw.size() == 2 && (p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
                out = char16(static_cast<uint16>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F)));
                return true;
            }
            if (raw.size() == 3 && (p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
                out = char16(static_cast<uint16>(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F)));
                return true;
            }
            return false;
        } else if constexpr (std::is_floating_point_v<T>) {
            if (s.empty())
                return false;
            errno = 0;
            char* end = nullptr;
            double d = std::strtod(s.c_str(), &end);
            if (errno != 0 || *end != '\0' || !std::isfinite(d))
                return false;
            if constexpr (std::is_same_v<T, real32>) {
                if (std::fabs(d) > std::numeric_limits<real32>::max())
                    return false;
            }
            out = static_cast<T>(d);
            return true;
        } else {
            if (s.empty())
                return false;
            bool neg = s[0] == '-';
            size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
            if (i >= s.size())
                return false;
            int base = 10;
            if (s.size() > i + 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
                base = 16;
                i += 2;
            }
            unsigned long long mag = 0;
            for (; i < s.size(); i++) {
                int d;
                char c = s[i];
                if (c >= '0' && c <= '9')
                    d = c - '0';
                else if (base == 16 && c >= 'a' && c <= 'f')
                    d = c - 'a' + 10;
                else if (base == 16 && c >= 'A' && c <= 'F')
                    d = c - 'A' + 10;
                else
                    return false;
                if (mag > (std::numeric_limits<unsigned long long>::max() - static_cast<unsigned>(d)) / base)
                    return false;
                mag = mag * base + static_cast<unsigned>(d);
            }
            if constexpr (std::is_unsigned_v<T>) {
                if (neg && mag != 0)
                    return false;
                if (mag > std::numeric_limits<T>::max())
                    return false;
                out = static_cast<T>(mag);
            } else {
                unsigned long long limit = neg ? static_cast<unsigned long long>(std::numeric_limits<T>::max()) + 1
                                               : static_cast<unsigned long long>(std::numeric_limits<T>::max());
                if (mag > limit)
                    return false;
                out = neg ? static_cast<T>(-static_cast<long long>(mag - 1) - 1) : static_cast<T>(mag);
            }
            return true;
        }
    }
}

} // namespace

bool visit_property_texts(const Instance* inst, const Meta_Property* mp, TextVisitor visit, void* context)
{
    bool present = false;
    char buf[64];
    std::string store;
    with_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (mp->subscript == 0) {
            auto* f = static_cast<const Property<T>*>(field_of(inst, mp->offset));
            if (f->null)
                return true;
            visit(context, to_text(f->value, buf, store));
        } else {
            auto* f = static_cast<const Property<Array<T>>*>(field_of(inst, mp->offset));
            if (f->null)
                return true;
            for (size_t i = 0; i < f->value.size(); i++)
                visit(context, to_text(f->value[i], buf, store));
        }
        present = true;
        return true;
    });
    return present;
}

bool property_texts(const Instance* inst, const Meta_Property* mp, std::vector<std::string>& texts)
{
    texts.clear();
    auto keep = [](void* to, std::string_view text) { static_cast<std::vector<std::string>*>(to)->emplace_back(text); };
    return visit_property_texts(inst, mp, keep, &texts);
}

bool set_property_texts(Instance* inst, const Meta_Property* mp, const std::vector<std::string>& texts, bool is_array)
{
    if ((mp->subscript != 0) != is_array)
        return false;
    return with_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (mp->subscript == 0) {
            if (texts.size() != 1)
                return false;
            T v{};
            if (!from_text(texts[0], v))
                return false;
            static_cast<Property<T>*>(field_of(inst, mp->offset))->set(v);
        } else {
            Array<T> a;
            for (const auto& t : texts) {
                T v{};
                if (!from_text(t, v))
                    return false;
                a.append(v);
            }
            if (mp->subscript > 0 && a.size() > static_cast<size_t>(mp->subscript))
                return false;
            static_cast<Property<Array<T>>*>(field_of(inst, mp->offset))->set(a);
        }
        return true;
    });
}

void clear_property(Instance* inst, const Meta_Property* mp)
{
    with_type(mp->type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        if (mp->subscript == 0)
            static_cast<Property<T>*>(field_of(inst, mp->offset))->clear();
        else
            static_cast<Property<Array<T>>*>(field_of(inst, mp->offset))->clear();
        return true;
    });
}

const char* key_value_type(uint16 type)
{
    if (type == BOOLEAN)
        return "boolean";
    if (type <= REAL64)
        return "numeric";
    return "string";
}

} // namespace cimserver
