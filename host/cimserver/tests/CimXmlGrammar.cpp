#include "CimXmlGrammar.h"

#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace cimserver::test {

namespace {

// The allowed attribute values of the enumerated attributes.
const char* const CIM_TYPES = "boolean|string|char16|uint8|sint8|uint16|sint16|uint32|sint32|uint64|sint64|"
                              "datetime|real32|real64";
const std::map<std::string, std::string> ENUMERATED = {
    {"TYPE", CIM_TYPES},
    {"PARAMTYPE", std::string(CIM_TYPES) + "|reference|object|instance"},
    {"EmbeddedObject", "object|instance"},
    {"VALUETYPE", "string|boolean|numeric"},
    {"PROPAGATED", "true|false"},
    {"OVERRIDABLE", "true|false"},
    {"TOSUBCLASS", "true|false"},
    {"TOINSTANCE", "true|false"},
    {"TRANSLATABLE", "true|false"},
    {"ISARRAY", "true|false"},
};

// One element: its content model in the grammar's notation (names, ",", "|",
// "?", "*", "+", parentheses; "EMPTY"; "#PCDATA" for text only), its
// required attributes and its optional ones, separated by spaces.
struct Rule {
    const char* name;
    const char* content;
    const char* required;
    const char* optional;
};

const char* const FLAVORS = "OVERRIDABLE TOSUBCLASS TOINSTANCE TRANSLATABLE";

const Rule RULES[] = {
    {"CIM", "(MESSAGE|DECLARATION)", "CIMVERSION DTDVERSION", ""},
    {"MESSAGE", "(SIMPLEREQ|MULTIREQ|SIMPLERSP|MULTIRSP|SIMPLEEXPREQ|MULTIEXPREQ|SIMPLEEXPRSP|MULTIEXPRSP)",
     "ID PROTOCOLVERSION", ""},
    {"MULTIREQ", "(SIMPLEREQ,SIMPLEREQ+)", "", ""},
    {"MULTIRSP", "(SIMPLERSP,SIMPLERSP+)", "", ""},
    {"MULTIEXPREQ", "(SIMPLEEXPREQ,SIMPLEEXPREQ+)", "", ""},
    {"MULTIEXPRSP", "(SIMPLEEXPRSP,SIMPLEEXPRSP+)", "", ""},
    {"SIMPLEREQ", "(IMETHODCALL|METHODCALL)", "", ""},
    {"SIMPLERSP", "(METHODRESPONSE|IMETHODRESPONSE)", "", ""},
    {"SIMPLEEXPREQ", "(EXPMETHODCALL)", "", ""},
    {"SIMPLEEXPRSP", "(EXPMETHODRESPONSE)", "", ""},
    {"IMETHODCALL", "(LOCALNAMESPACEPATH,IPARAMVALUE*)", "NAME", ""},
    {"METHODCALL", "((LOCALINSTANCEPATH|LOCALCLASSPATH),PARAMVALUE*)", "NAME", ""},
    {"EXPMETHODCALL", "(EXPPARAMVALUE*)", "NAME", ""},
    {"PARAMVALUE", "(VALUE|VALUE.REFERENCE|VALUE.ARRAY|VALUE.REFARRAY|CLASSNAME|CLASS|INSTANCE|VALUE.NAMEDINSTANCE)?",
     "NAME", "PARAMTYPE EmbeddedObject"},
    {"IPARAMVALUE",
     "(VALUE|VALUE.ARRAY|VALUE.REFERENCE|INSTANCENAME|CLASSNAME|QUALIFIER.DECLARATION|CLASS|INSTANCE|"
     "VALUE.NAMEDINSTANCE)?",
     "NAME", ""},
    {"EXPPARAMVALUE", "(INSTANCE?|VALUE?|METHODRESPONSE?|IMETHODRESPONSE?)", "NAME", ""},
    {"METHODRESPONSE", "(ERROR|(RETURNVALUE?,PARAMVALUE*))", "NAME", ""},
    {"IMETHODRESPONSE", "(ERROR|(IRETURNVALUE?,PARAMVALUE*))", "NAME", ""},
    {"EXPMETHODRESPONSE", "(ERROR|IRETURNVALUE?)", "NAME", ""},
    {"ERROR", "(INSTANCE*)", "CODE", "DESCRIPTION"},
    {"RETURNVALUE", "(VALUE|VALUE.REFERENCE)?", "", "PARAMTYPE EmbeddedObject"},
    {"IRETURNVALUE",
     "(CLASSNAME*|INSTANCENAME*|VALUE*|VALUE.OBJECTWITHPATH*|VALUE.OBJECTWITHLOCALPATH*|VALUE.OBJECT*|"
     "OBJECTPATH*|QUALIFIER.DECLARATION*|VALUE.ARRAY?|VALUE.REFERENCE?|CLASS*|INSTANCE*|VALUE.NAMEDINSTANCE*)",
     "", ""},
    {"DECLARATION", "(DECLGROUP|DECLGROUP.WITHNAME|DECLGROUP.WITHPATH)+", "", ""},
    {"DECLGROUP", "((LOCALNAMESPACEPATH|NAMESPACEPATH)?,QUALIFIER.DECLARATION*,VALUE.OBJECT*)", "", ""},
    {"DECLGROUP.WITHNAME", "((LOCALNAMESPACEPATH|NAMESPACEPATH)?,QUALIFIER.DECLARATION*,VALUE.NAMEDOBJECT*)", "",
     ""},
    {"DECLGROUP.WITHPATH", "(VALUE.OBJECTWITHPATH|VALUE.OBJECTWITHLOCALPATH)*", "", ""},
    {"QUALIFIER.DECLARATION", "(SCOPE?,(VALUE|VALUE.ARRAY)?)", "NAME TYPE", "ISARRAY ARRAYSIZE"},
    {"SCOPE", "EMPTY", "", "CLASS ASSOCIATION REFERENCE PROPERTY METHOD PARAMETER INDICATION"},
    {"VALUE", "#PCDATA", "", ""},
    {"VALUE.ARRAY", "(VALUE|VALUE.NULL)*", "", ""},
    {"VALUE.REFERENCE", "(CLASSPATH|LOCALCLASSPATH|CLASSNAME|INSTANCEPATH|LOCALINSTANCEPATH|INSTANCENAME)", "", ""},
    {"VALUE.REFARRAY", "(VALUE.REFERENCE|VALUE.NULL)*", "", ""},
    {"VALUE.OBJECT", "(CLASS|INSTANCE)", "", ""},
    {"VALUE.NAMEDINSTANCE", "(INSTANCENAME,INSTANCE)", "", ""},
    {"VALUE.NAMEDOBJECT", "(CLASS|(INSTANCENAME,INSTANCE))", "", ""},
    {"VALUE.OBJECTWITHLOCALPATH", "((LOCALCLASSPATH,CLASS)|(LOCALINSTANCEPATH,INSTANCE))", "", ""},
    {"VALUE.OBJECTWITHPATH", "((CLASSPATH,CLASS)|(INSTANCEPATH,INSTANCE))", "", ""},
    {"VALUE.NULL", "EMPTY", "", ""},
    {"VALUE.INSTANCEWITHPATH", "(INSTANCEPATH,INSTANCE)", "", ""},
    {"NAMESPACEPATH", "(HOST,LOCALNAMESPACEPATH)", "", ""},
    {"LOCALNAMESPACEPATH", "(NAMESPACE+)", "", ""},
    {"HOST", "#PCDATA", "", ""},
    {"NAMESPACE", "EMPTY", "NAME", ""},
    {"CLASSPATH", "(NAMESPACEPATH,CLASSNAME)", "", ""},
    {"LOCALCLASSPATH", "(LOCALNAMESPACEPATH,CLASSNAME)", "", ""},
    {"CLASSNAME", "EMPTY", "NAME", ""},
    {"INSTANCEPATH", "(NAMESPACEPATH,INSTANCENAME)", "", ""},
    {"LOCALINSTANCEPATH", "(LOCALNAMESPACEPATH,INSTANCENAME)", "", ""},
    {"INSTANCENAME", "(KEYBINDING*|KEYVALUE?|VALUE.REFERENCE?)", "CLASSNAME", ""},
    {"OBJECTPATH", "(INSTANCEPATH|CLASSPATH)", "", ""},
    {"KEYBINDING", "(KEYVALUE|VALUE.REFERENCE)", "NAME", ""},
    {"KEYVALUE", "#PCDATA", "", "VALUETYPE TYPE"},
    {"CLASS", "(QUALIFIER*,(PROPERTY|PROPERTY.ARRAY|PROPERTY.REFERENCE)*,METHOD*)", "NAME", "SUPERCLASS"},
    {"INSTANCE", "(QUALIFIER*,(PROPERTY|PROPERTY.ARRAY|PROPERTY.REFERENCE)*)", "CLASSNAME", "xml:lang"},
    {"QUALIFIER", "((VALUE|VALUE.ARRAY)?)", "NAME TYPE", "PROPAGATED xml:lang"},
    {"PROPERTY", "(QUALIFIER*,VALUE?)", "NAME TYPE", "CLASSORIGIN PROPAGATED EmbeddedObject xml:lang"},
    {"PROPERTY.ARRAY", "(QUALIFIER*,VALUE.ARRAY?)", "NAME TYPE",
     "ARRAYSIZE CLASSORIGIN PROPAGATED EmbeddedObject xml:lang"},
    {"PROPERTY.REFERENCE", "(QUALIFIER*,(VALUE.REFERENCE)?)", "NAME", "REFERENCECLASS CLASSORIGIN PROPAGATED"},
    {"METHOD", "(QUALIFIER*,(PARAMETER|PARAMETER.REFERENCE|PARAMETER.ARRAY|PARAMETER.REFARRAY)*)", "NAME",
     "TYPE CLASSORIGIN PROPAGATED"},
    {"PARAMETER", "(QUALIFIER*)", "NAME TYPE", ""},
    {"PARAMETER.REFERENCE", "(QUALIFIER*)", "NAME", "REFERENCECLASS"},
    {"PARAMETER.ARRAY", "(QUALIFIER*)", "NAME TYPE", "ARRAYSIZE"},
    {"PARAMETER.REFARRAY", "(QUALIFIER*)", "NAME", "REFERENCECLASS ARRAYSIZE"},
    {"ENUMERATIONCONTEXT", "#PCDATA", "", ""},
};

std::set<std::string> words(const char* text)
{
    std::set<std::string> out;
    std::string w;
    for (const char* p = text;; ++p) {
        if (*p == ' ' || *p == '\0') {
            if (!w.empty())
                out.insert(w);
            w.clear();
            if (*p == '\0')
                break;
        } else {
            w += *p;
        }
    }
    return out;
}

// A content model, parsed: a name or a sequence or choice of models, each
// with its repetition ('1', '?', '*' or '+').
struct Model {
    enum Kind { NAME, SEQUENCE, CHOICE } kind = NAME;
    std::string name;
    std::vector<Model> parts;
    char repeat = '1';
};

Model parse_part(const char*& p)
{
    Model m;
    if (*p == '(') {
        ++p;
        m.kind = Model::SEQUENCE;
        m.parts.push_back(parse_part(p));
        while (*p == ',' || *p == '|') {
            m.kind = *p == ',' ? Model::SEQUENCE : Model::CHOICE;
            ++p;
            m.parts.push_back(parse_part(p));
        }
        ++p; // ')'
    } else {
        while (*p && !std::strchr("()|?*+,", *p))
            m.name += *p++;
    }
    if (*p && std::strchr("?*+", *p))
        m.repeat = *p++;
    return m;
}

Model parse_model(const char* text)
{
    std::string compact;
    for (const char* p = text; *p; ++p)
        if (*p != ' ')
            compact += *p;
    const char* p = compact.c_str();
    return parse_part(p);
}

using Ends = std::set<size_t>;

Ends match(const Model& m, const std::vector<std::string>& kids, size_t at);

// Where one occurrence of m starting at at can end.
Ends match_once(const Model& m, const std::vector<std::string>& kids, size_t at)
{
    Ends out;
    if (m.kind == Model::NAME) {
        if (at < kids.size() && kids[at] == m.name)
            out.insert(at + 1);
    } else if (m.kind == Model::CHOICE) {
        for (const Model& part : m.parts)
            for (size_t e : match(part, kids, at))
                out.insert(e);
    } else {
        out.insert(at);
        for (const Model& part : m.parts) {
            Ends next;
            for (size_t s : out)
                for (size_t e : match(part, kids, s))
                    next.insert(e);
            out.swap(next);
            if (out.empty())
                break;
        }
    }
    return out;
}

// Where m with its repetition, starting at at, can end. Repetitions walk a
// frontier, so long lists of children cost in proportion to their length.
Ends match(const Model& m, const std::vector<std::string>& kids, size_t at)
{
    if (m.repeat == '1')
        return match_once(m, kids, at);
    Ends reached;
    std::vector<size_t> frontier;
    if (m.repeat == '+') {
        for (size_t e : match_once(m, kids, at))
            if (reached.insert(e).second)
                frontier.push_back(e);
    } else {
        reached.insert(at);
        frontier.push_back(at);
    }
    if (m.repeat == '?') {
        for (size_t e : match_once(m, kids, at))
            reached.insert(e);
        return reached;
    }
    while (!frontier.empty()) {
        size_t s = frontier.back();
        frontier.pop_back();
        for (size_t e : match_once(m, kids, s))
            if (e != s && reached.insert(e).second)
                frontier.push_back(e);
    }
    return reached;
}

struct CompiledRule {
    enum Kind { EMPTY, TEXT, ELEMENTS } kind;
    Model children;
    std::set<std::string> required;
    std::set<std::string> allowed;
};

const std::map<std::string, CompiledRule>& rules()
{
    static const std::map<std::string, CompiledRule> compiled = [] {
        std::map<std::string, CompiledRule> out;
        for (const Rule& r : RULES) {
            CompiledRule c;
            if (std::strcmp(r.content, "EMPTY") == 0)
                c.kind = CompiledRule::EMPTY;
            else if (std::strcmp(r.content, "#PCDATA") == 0)
                c.kind = CompiledRule::TEXT;
            else {
                c.kind = CompiledRule::ELEMENTS;
                c.children = parse_model(r.content);
            }
            c.required = words(r.required);
            c.allowed = c.required;
            for (const auto& w : words(r.optional))
                c.allowed.insert(w);
            if (std::strcmp(r.name, "QUALIFIER") == 0 || std::strcmp(r.name, "QUALIFIER.DECLARATION") == 0)
                for (const auto& w : words(FLAVORS))
                    c.allowed.insert(w);
            out.emplace(r.name, std::move(c));
        }
        return out;
    }();
    return compiled;
}

bool one_of(const std::string& value, const std::string& list)
{
    size_t start = 0;
    for (;;) {
        size_t bar = list.find('|', start);
        if (list.compare(start, bar == std::string::npos ? std::string::npos : bar - start, value) == 0)
            return true;
        if (bar == std::string::npos)
            return false;
        start = bar + 1;
    }
}

bool blank(const char* text)
{
    for (const char* p = text; *p; ++p)
        if (!std::strchr(" \t\r\n", *p))
            return false;
    return true;
}

std::string check_element(pugi::xml_node e, const std::string& parent)
{
    std::string path = parent + "/" + e.name();
    if (auto n = e.attribute("NAME"))
        path += "[" + std::string(n.value()) + "]";
    auto it = rules().find(e.name());
    if (it == rules().end())
        return path + ": no such element";
    const CompiledRule& rule = it->second;
    for (const auto& a : e.attributes()) {
        if (!rule.allowed.count(a.name()))
            return path + ": attribute " + a.name() + " is not allowed";
        auto en = ENUMERATED.find(a.name());
        if (en != ENUMERATED.end() && !one_of(a.value(), en->second))
            return path + ": " + a.name() + "=\"" + a.value() + "\" is not one of " + en->second;
    }
    for (const auto& name : rule.required)
        if (!e.attribute(name.c_str()))
            return path + ": attribute " + name + " is missing";
    std::vector<std::string> children;
    for (auto child : e.children()) {
        switch (child.type()) {
        case pugi::node_element:
            if (rule.kind != CompiledRule::ELEMENTS)
                return path + ": holds element " + child.name() + " where it may hold " +
                       (rule.kind == CompiledRule::TEXT ? "only text" : "nothing");
            if (!rules().count(child.name()))
                return path + "/" + child.name() + ": no such element";
            children.emplace_back(child.name());
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            if (rule.kind == CompiledRule::EMPTY || (rule.kind == CompiledRule::ELEMENTS && !blank(child.value())))
                return path + ": holds text where it may not";
            break;
        default:
            break;
        }
    }
    if (rule.kind == CompiledRule::ELEMENTS && !match(rule.children, children, 0).count(children.size())) {
        std::string list;
        for (const auto& c : children)
            list += (list.empty() ? "" : " ") + c;
        return path + ": children (" + list + ") do not fit the element's content";
    }
    for (auto child : e.children())
        if (child.type() == pugi::node_element) {
            std::string problem = check_element(child, path);
            if (!problem.empty())
                return problem;
        }
    return "";
}

} // namespace

std::string CimXmlGrammar::check(const pugi::xml_document& doc)
{
    pugi::xml_node root = doc.document_element();
    if (!root || std::strcmp(root.name(), "CIM") != 0)
        return "the document's element is not CIM";
    return check_element(root, "");
}

std::string CimXmlGrammar::check(const std::string& text)
{
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    if (!parsed)
        return std::string("not well-formed XML: ") + parsed.description();
    return check(doc);
}

} // namespace cimserver::test
