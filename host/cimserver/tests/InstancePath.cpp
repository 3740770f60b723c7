#include "InstancePath.h"

#include <algorithm>
#include <cctype>

namespace cimserver::test {

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string name_space_of(pugi::xml_node local_name_space_path)
{
    std::string ns;
    for (pugi::xml_node n : local_name_space_path.children("NAMESPACE"))
        ns += (ns.empty() ? "" : "/") + std::string(n.attribute("NAME").value());
    return ns;
}

template <class T>
std::vector<std::pair<std::string, T>> sorted(std::vector<std::pair<std::string, T>> v)
{
    std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return v;
}

} // namespace

InstancePath InstancePath::of(pugi::xml_node node, const std::string& name_space)
{
    const std::string kind = node.name();
    if (kind == "VALUE.REFERENCE" || kind == "OBJECTPATH")
        return of(node.first_child(), name_space);
    InstancePath p;
    pugi::xml_node name = node;
    if (kind == "INSTANCEPATH") {
        p.host = node.child("NAMESPACEPATH").child_value("HOST");
        p.name_space = name_space_of(node.child("NAMESPACEPATH").child("LOCALNAMESPACEPATH"));
        name = node.child("INSTANCENAME");
    } else if (kind == "LOCALINSTANCEPATH") {
        p.name_space = name_space_of(node.child("LOCALNAMESPACEPATH"));
        name = node.child("INSTANCENAME");
    } else {
        p.name_space = name_space;
    }
    p.class_name = name.attribute("CLASSNAME").value();
    for (pugi::xml_node k : name.children("KEYBINDING")) {
        const std::string key = lower(k.attribute("NAME").value());
        if (pugi::xml_node ref = k.child("VALUE.REFERENCE"))
            p.refs.emplace_back(key, of(ref));
        else
            p.keys.emplace_back(key, k.child_value("KEYVALUE"));
    }
    p.keys = sorted(std::move(p.keys));
    p.refs = sorted(std::move(p.refs));
    return p;
}

InstancePath InstancePath::ref(const std::string& name) const
{
    for (const auto& [key, path] : refs)
        if (key == lower(name))
            return path;
    return {};
}

bool InstancePath::operator==(const InstancePath& other) const
{
    return lower(host) == lower(other.host) && lower(name_space) == lower(other.name_space) &&
           lower(class_name) == lower(other.class_name) && keys == other.keys && refs == other.refs;
}

std::string InstancePath::text() const
{
    std::string t = "//" + host + "/" + name_space + ":" + class_name;
    char sep = '.';
    for (const auto& [key, value] : keys) {
        t += sep + key + "=\"" + value + "\"";
        sep = ',';
    }
    for (const auto& [key, path] : refs) {
        t += sep + key + "=[" + path.text() + "]";
        sep = ',';
    }
    return t;
}

} // namespace cimserver::test
