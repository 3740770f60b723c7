#include "ClassQualifiers.h"

#include <cimple/cimple.h>

#include <cctype>

namespace cimserver {

namespace {

std::string lower(const char* text)
{
    std::string r(text ? text : "");
    for (auto& c : r)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

} // namespace

const ClassQualifiers& ClassQualifiers::served()
{
    static const ClassQualifiers tables;
    return tables;
}

ClassQualifiers::ClassQualifiers()
{
    for (std::size_t i = 0; i < schema_qualifiers::class_count; i++)
        _classes.emplace(lower(schema_qualifiers::classes[i].name), &schema_qualifiers::classes[i]);
}

std::span<const ClassQualifiers::Qualifier> ClassQualifiers::of(const char* class_name, const char* feature,
                                                                const char* parameter) const
{
    auto it = _classes.find(lower(class_name));
    if (it == _classes.end())
        return {};
    const schema_qualifiers::Class& c = *it->second;
    for (std::size_t i = 0; i < c.count; i++) {
        const schema_qualifiers::Feature& f = c.features[i];
        if (!cimple::eqi(f.feature, feature))
            continue;
        if (parameter ? (f.parameter && cimple::eqi(f.parameter, parameter)) : !f.parameter)
            return {f.qualifiers, f.count};
    }
    return {};
}

} // namespace cimserver
