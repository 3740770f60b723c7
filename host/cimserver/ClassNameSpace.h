// The name space each served instance lives in. The server's own elements
// (its system, object manager, name spaces, communication mechanism and
// software identity) and the registered profiles live in "interop"; the
// arrays' elements in "root/kestris". An instance whose provider set its
// name space lives there; an association without one lives in the name
// spaces of its ends, so one that ties a profile to an array system is
// served in both.
#ifndef HOST_CIMSERVER_CLASS_NAME_SPACE_H
#define HOST_CIMSERVER_CLASS_NAME_SPACE_H

#include <cimple/cimple.h>

#include <string>

namespace cimserver {

class ClassNameSpace {
public:
    static constexpr const char* INTEROP = "interop";
    static constexpr const char* ARRAYS = "root/kestris";

    // The name space of the class's instances: INTEROP or ARRAYS.
    static const char* home_of(const cimple::Meta_Class* mc);

    // True when the instance is served in the name space ns.
    static bool served_in(const cimple::Instance* inst, const std::string& ns);
};

} // namespace cimserver

#endif
