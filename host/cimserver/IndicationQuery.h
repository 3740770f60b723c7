// The filter queries the server evaluates for indication subscriptions:
// "SELECT * FROM <indication class>", optionally followed by
// "WHERE SourceInstance ISA <class>", in the query languages "WQL" and
// "DMTF:CQL". Anything else is refused when the filter is created, so a
// filter that exists is one the server can evaluate.
#ifndef HOST_CIMSERVER_INDICATION_QUERY_H
#define HOST_CIMSERVER_INDICATION_QUERY_H

#include "CimStatus.h"

#include <cimple/cimple.h>

#include <string>

namespace cimserver {

struct IndicationQuery {
    const cimple::Meta_Class* indication_class = nullptr; // the FROM class
    const cimple::Meta_Class* source_class = nullptr;     // the ISA class; null: any source

    // Reads the query; false with the error to answer when the language or
    // the query is one the server does not evaluate, or names a class the
    // repository does not hold.
    static bool parse(const std::string& language, const std::string& query, const cimple::Meta_Repository* repository,
                      IndicationQuery& out, CimError& error);

    // True when the indication is one the query selects.
    bool matches(const cimple::Instance* indication) const;
};

} // namespace cimserver

#endif
