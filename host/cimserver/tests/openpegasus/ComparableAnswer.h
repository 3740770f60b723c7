// An answer of EnumerateInstances or AssociatorNames reduced to what two CIM
// servers serving the same provider module must agree on: each instance by
// its name (class and key bindings, references by the name they point at,
// host and name-space paths left out) with the values of its non-null
// properties (reals compared as numbers, booleans without case).
#ifndef HOST_CIMSERVER_TESTS_OPENPEGASUS_COMPARABLE_ANSWER_H
#define HOST_CIMSERVER_TESTS_OPENPEGASUS_COMPARABLE_ANSWER_H

#include "CimClient.h"

#include <map>
#include <set>
#include <string>

namespace cimserver::test {

// Instance name -> property name -> value.
using ComparableInstances = std::map<std::string, std::map<std::string, std::string>>;

// The VALUE.NAMEDINSTANCE elements of an EnumerateInstances answer.
ComparableInstances comparable_instances(const CimReply& reply);

// An INSTANCENAME (or an element holding one, as a VALUE.REFERENCE or an
// INSTANCEPATH does) as "Class.Key=value,..." with the keys in name order.
std::string comparable_name(pugi::xml_node node);

// The instance paths of an AssociatorNames answer as "namespace:name".
std::set<std::string> comparable_paths(const CimReply& reply);

} // namespace cimserver::test

#endif
