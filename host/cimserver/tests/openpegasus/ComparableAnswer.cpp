#include "ComparableAnswer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace cimserver::test {

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string scalar(const std::string& type, const std::string& text)
{
    if (type == "boolean")
        return lower(text);
    if (type == "real32" || type == "real64")
        return std::to_string(std::strtod(text.c_str(), nullptr));
    return text;
}

std::string property_value(pugi::xml_node p)
{
    const std::string element = p.name(), type = p.attribute("TYPE").value();
    if (element == "PROPERTY.REFERENCE")
        return p.child("VALUE.REFERENCE") ? comparable_name(p.child("VALUE.REFERENCE")) : "NULL";
    if (element == "PROPERTY.ARRAY") {
        if (!p.child("VALUE.ARRAY"))
            return "NULL";
        std::string out = "{";
        for (pugi::xml_node v : p.child("VALUE.ARRAY").children("VALUE"))
            out += scalar(type, v.text().get()) + "|";
        return out + "}";
    }
    return p.child("VALUE") ? scalar(type, p.child("VALUE").text().get()) : "NULL";
}

// Two CIM date-times (yyyymmddhhmmss.mmmmmm+utc) within five minutes.
bool close_times(const std::string& a, const std::string& b)
{
    auto seconds = [](const std::string& t) -> long long {
        std::tm tm{};
        if (t.size() < 14 || !strptime(t.substr(0, 14).c_str(), "%Y%m%d%H%M%S", &tm))
            return -1;
        return static_cast<long long>(timegm(&tm));
    };
    const long long x = seconds(a), y = seconds(b);
    return x >= 0 && y >= 0 && std::llabs(x - y) <= 300;
}

} // namespace

std::string comparable_name(pugi::xml_node node)
{
    pugi::xml_node name = std::string(node.name()) == "INSTANCENAME" ? node : node.find_node([](pugi::xml_node n) {
        return std::string(n.name()) == "INSTANCENAME";
    });
    if (!name)
        return "?";
    std::vector<std::string> keys;
    for (pugi::xml_node k : name.children("KEYBINDING")) {
        std::string value = k.child("VALUE.REFERENCE") ? comparable_name(k.child("VALUE.REFERENCE"))
                                                       : std::string(k.child("KEYVALUE").text().get());
        keys.push_back(std::string(k.attribute("NAME").value()) + "=" + value);
    }
    std::sort(keys.begin(), keys.end());
    std::string out = std::string(name.attribute("CLASSNAME").value()) + ".";
    for (const std::string& k : keys)
        out += k + ",";
    return out;
}

ComparableInstances comparable_instances(const CimReply& reply)
{
    ComparableInstances out;
    for (pugi::xml_node named : reply.all("VALUE.NAMEDINSTANCE")) {
        auto& props = out[comparable_name(named.child("INSTANCENAME"))];
        for (pugi::xml_node p : named.child("INSTANCE").children()) {
            const std::string element = p.name();
            if (element.rfind("PROPERTY", 0) != 0)
                continue;
            // A null property is the same whether sent without a value or not sent.
            std::string value = property_value(p);
            if (value != "NULL")
                props[p.attribute("NAME").value()] = std::move(value);
        }
    }
    return out;
}

std::set<std::string> comparable_paths(const CimReply& reply)
{
    std::set<std::string> out;
    for (pugi::xml_node path : reply.all("INSTANCEPATH")) {
        std::string ns;
        for (pugi::xml_node n : path.child("NAMESPACEPATH").child("LOCALNAMESPACEPATH").children("NAMESPACE"))
            ns += (ns.empty() ? "" : "/") + std::string(n.attribute("NAME").value());
        out.insert(ns + ":" + comparable_name(path.child("INSTANCENAME")));
    }
    return out;
}

std::string differences(const ComparableInstances& expected, const ComparableInstances& got,
                        const std::set<std::string>& observed_times)
{
    std::string out;
    for (const auto& [name, props] : expected) {
        auto it = got.find(name);
        if (it == got.end()) {
            out += name + ": answered by the first only\n";
            continue;
        }
        std::map<std::string, std::pair<std::string, std::string>> both;
        for (const auto& [p, v] : props)
            both[p] = {v, "NULL"};
        for (const auto& [p, v] : it->second) {
            auto b = both.emplace(p, std::pair<std::string, std::string>("NULL", v));
            b.first->second.second = v;
        }
        for (const auto& [p, values] : both)
            if (values.first != values.second &&
                !(observed_times.count(p) && close_times(values.first, values.second)))
                out += name + " " + p + ": " + values.first + " | " + values.second + "\n";
    }
    for (const auto& [name, props] : got)
        if (!expected.count(name))
            out += name + ": answered by the second only\n";
    return out;
}

} // namespace cimserver::test
