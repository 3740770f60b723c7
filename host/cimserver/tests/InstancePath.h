// An instance path as a standard client models it: host, name space, class
// and key bindings, a reference key holding a path itself. Two paths are
// equal when all of it is: host, name space and class names without regard
// to case, key names without regard to case, key values exactly. A client
// that finds its own subscriptions again compares paths this way.
#ifndef HOST_CIMSERVER_TESTS_INSTANCE_PATH_H
#define HOST_CIMSERVER_TESTS_INSTANCE_PATH_H

#include <pugixml.hpp>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace cimserver::test {

struct InstancePath {
    std::string host;       // empty: none
    std::string name_space; // empty: none
    std::string class_name;
    std::vector<std::pair<std::string, std::string>> keys;      // by lower-case name
    std::vector<std::pair<std::string, InstancePath>> refs;     // by lower-case name

    // From INSTANCENAME (in name_space, as a client sets it on the paths it
    // enumerated), LOCALINSTANCEPATH, INSTANCEPATH, VALUE.REFERENCE or
    // OBJECTPATH.
    static InstancePath of(pugi::xml_node node, const std::string& name_space = "");

    // The reference key of that name; an empty path when there is none.
    InstancePath ref(const std::string& name) const;

    bool operator==(const InstancePath& other) const;
    std::string text() const; // for messages
};

inline void PrintTo(const InstancePath& p, std::ostream* os)
{
    *os << p.text();
}

} // namespace cimserver::test

#endif
