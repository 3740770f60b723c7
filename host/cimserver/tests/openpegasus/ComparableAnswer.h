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

// Every difference between two answers, one line each (empty when equal):
// an instance answered by one only, and per instance of both a property
// whose values differ (a null value, sent without a value or not sent,
// equals only a null value). The date-times of observed_times are each
// server's own moment of seeing something (its cache's time stamp): they
// need both be null, or both set within five minutes of each other.
std::string differences(const ComparableInstances& expected, const ComparableInstances& got,
                        const std::set<std::string>& observed_times = {});

} // namespace cimserver::test

#endif
