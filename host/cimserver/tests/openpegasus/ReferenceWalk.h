// A reference-integrity walk through one CIM server: every instance name it
// answered (enumerated names, the references of association instances, the
// paths of AssociatorNames answers) must be found again by GetInstance in
// its name space, and every AssociatorNames call must succeed. Each name is
// fetched once; each failure is a problem.
#ifndef HOST_CIMSERVER_TESTS_OPENPEGASUS_REFERENCE_WALK_H
#define HOST_CIMSERVER_TESTS_OPENPEGASUS_REFERENCE_WALK_H

#include "CimClient.h"

#include <map>
#include <string>
#include <vector>

namespace cimserver::test {

class ReferenceWalk {
public:
    explicit ReferenceWalk(CimClient& client) : _client(client) {}

    // The names of an EnumerateInstances answer and the references of its
    // instances.
    void enumerated(const std::string& class_name, const CimReply& reply);
    // The paths of an AssociatorNames answer from source, or its failure.
    void associated(const std::string& source, const CimReply& reply);
    // Fetches every name met (once); the problems, one a line.
    std::vector<std::string> problems();

private:
    // Notes the INSTANCENAME in or below node, in the name space the node
    // names (root/kestris when none).
    void note(pugi::xml_node node, const std::string& where);

    struct Name {
        std::string name_space;
        std::string xml;
        std::string where;
    };
    CimClient& _client;
    std::map<std::string, Name> _names;
    std::vector<std::string> _problems;
};

} // namespace cimserver::test

#endif
