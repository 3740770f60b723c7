#include "ReferenceWalk.h"

#include "ComparableAnswer.h"

namespace cimserver::test {

namespace {

pugi::xml_node first_below(pugi::xml_node node, const char* name)
{
    if (std::string(node.name()) == name)
        return node;
    return node.find_node([name](pugi::xml_node n) { return std::string(n.name()) == name; });
}

} // namespace

void ReferenceWalk::note(pugi::xml_node node, const std::string& where)
{
    pugi::xml_node name = first_below(node, "INSTANCENAME");
    if (!name) {
        _problems.push_back(where + ": a reference without an instance name");
        return;
    }
    std::string ns;
    if (pugi::xml_node local = first_below(node, "LOCALNAMESPACEPATH"))
        for (pugi::xml_node n : local.children("NAMESPACE"))
            ns += (ns.empty() ? "" : "/") + std::string(n.attribute("NAME").value());
    if (ns.empty())
        ns = "root/kestris";
    _names.emplace(ns + ":" + comparable_name(name), Name{ns, CimClient::raw(name), where});
}

void ReferenceWalk::enumerated(const std::string& class_name, const CimReply& reply)
{
    if (reply.error_code != 0) {
        _problems.push_back("EnumerateInstances " + class_name + ": error " + std::to_string(reply.error_code));
        return;
    }
    for (pugi::xml_node named : reply.all("VALUE.NAMEDINSTANCE")) {
        const std::string where = comparable_name(named.child("INSTANCENAME"));
        note(named.child("INSTANCENAME"), "enumerated by " + class_name);
        for (pugi::xml_node p : named.child("INSTANCE").children("PROPERTY.REFERENCE"))
            if (pugi::xml_node ref = p.child("VALUE.REFERENCE"))
                note(ref, where + "." + p.attribute("NAME").value());
    }
}

void ReferenceWalk::associated(const std::string& source, const CimReply& reply)
{
    if (reply.error_code != 0) {
        _problems.push_back("AssociatorNames " + source + ": error " + std::to_string(reply.error_code));
        return;
    }
    for (pugi::xml_node path : reply.all("INSTANCEPATH"))
        note(path, "associator of " + source);
}

std::vector<std::string> ReferenceWalk::problems()
{
    for (const auto& [key, name] : _names) {
        CimReply got;
        _client.call("GetInstance",
                     CimClient::imethod("GetInstance",
                                        "<IPARAMVALUE NAME=\"InstanceName\">" + name.xml + "</IPARAMVALUE>",
                                        name.name_space),
                     got);
        if (got.error_code != 0 || got.http_status != 200)
            _problems.push_back(key + " (" + name.where + "): GetInstance error " + std::to_string(got.error_code));
    }
    _names.clear();
    return std::move(_problems);
}

} // namespace cimserver::test
