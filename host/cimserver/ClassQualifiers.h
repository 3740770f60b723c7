// The qualifiers the server's class repository holds for the features of
// the served classes beyond the module's class records: value maps and their
// names, units, array types, overrides, deprecations and the experimental
// and required marks. The tables are generated from the schema source with
// the module's classes, so both describe the same classes.
#ifndef HOST_CIMSERVER_CLASS_QUALIFIERS_H
#define HOST_CIMSERVER_CLASS_QUALIFIERS_H

#include <schema_qualifiers.h>

#include <span>
#include <string>
#include <unordered_map>

namespace cimserver {

class ClassQualifiers {
public:
    using Qualifier = schema_qualifiers::Qualifier;

    // The tables of the served classes.
    static const ClassQualifiers& served();

    // The qualifiers of a class's feature (parameter null) or of a method's
    // parameter; empty when it has none. Names compare without regard to case.
    std::span<const Qualifier> of(const char* class_name, const char* feature,
                                  const char* parameter = nullptr) const;

private:
    ClassQualifiers();

    std::unordered_map<std::string, const schema_qualifiers::Class*> _classes; // by lower-case name
};

} // namespace cimserver

#endif
