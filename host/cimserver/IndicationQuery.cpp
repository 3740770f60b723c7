#include "IndicationQuery.h"

#include "ValueText.h"

#include <cctype>
#include <vector>

namespace cimserver {

using namespace cimple;

namespace {

// The words of the query: names, "*" and the end; anything else (quotes,
// operators, parentheses) makes the query one the server does not evaluate.
bool words_of(const std::string& query, std::vector<std::string>& words)
{
    size_t i = 0;
    while (i < query.size()) {
        unsigned char ch = static_cast<unsigned char>(query[i]);
        if (std::isspace(ch)) {
            i++;
        } else if (ch == '*') {
            words.emplace_back("*");
            i++;
        } else if (std::isalnum(ch) || ch == '_') {
            size_t start = i;
            while (i < query.size() &&
                   (std::isalnum(static_cast<unsigned char>(query[i])) || query[i] == '_'))
                i++;
            words.push_back(query.substr(start, i - start));
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool IndicationQuery::parse(const std::string& language, const std::string& query, const Meta_Repository* repository,
                            IndicationQuery& out, CimError& error)
{
    if (!eqi(language.c_str(), "WQL") && !eqi(language.c_str(), "DMTF:CQL")) {
        error = {CIM_ERR_NOT_SUPPORTED, "query language \"" + language + "\" is not supported (WQL or DMTF:CQL)"};
        return false;
    }
    const std::string form = "the filter query must read SELECT * FROM <indication class> "
                             "[WHERE SourceInstance ISA <class>]";
    std::vector<std::string> w;
    if (!words_of(query, w) || (w.size() != 4 && w.size() != 8) || !eqi(w[0].c_str(), "SELECT") || w[1] != "*" ||
        !eqi(w[2].c_str(), "FROM") ||
        (w.size() == 8 && (!eqi(w[4].c_str(), "WHERE") || !eqi(w[5].c_str(), "SourceInstance") ||
                           !eqi(w[6].c_str(), "ISA")))) {
        error = {CIM_ERR_INVALID_PARAMETER, form + ": \"" + query + "\" is not evaluated"};
        return false;
    }
    const Meta_Class* from = find_meta_class(repository, w[3].c_str());
    if (!from || !(from->flags & CIMPLE_FLAG_CLASS) || !(from->flags & CIMPLE_FLAG_INDICATION)) {
        error = {CIM_ERR_INVALID_PARAMETER, "the filter query selects from " + w[3] + ", which is no indication class"};
        return false;
    }
    const Meta_Class* source = nullptr;
    if (w.size() == 8) {
        source = find_meta_class(repository, w[7].c_str());
        if (!source || !(source->flags & CIMPLE_FLAG_CLASS)) {
            error = {CIM_ERR_INVALID_PARAMETER, "the filter query tests ISA " + w[7] + ", which is no class"};
            return false;
        }
        if (!find_feature(from, "SourceInstance")) {
            error = {CIM_ERR_INVALID_PARAMETER, std::string(from->name) + " has no SourceInstance"};
            return false;
        }
    }
    out.indication_class = from;
    out.source_class = source;
    return true;
}

bool IndicationQuery::matches(const Instance* indication) const
{
    if (!indication || !indication_class || !is_subclass(indication_class, indication->meta_class))
        return false;
    if (!source_class)
        return true;
    const Meta_Feature* mf = find_feature(indication->meta_class, "SourceInstance");
    if (!mf || !(mf->flags & CIMPLE_FLAG_REFERENCE))
        return false;
    auto* source = *static_cast<Instance* const*>(field_of(indication, reinterpret_cast<const Meta_Reference*>(mf)->offset));
    return source && is_subclass(source_class, source->meta_class);
}

} // namespace cimserver
