// Writes CIM-XML: classes, instances, instance names and paths, and the
// message envelope of responses. Every element gets an explicit end tag and
// an empty text is written as <VALUE></VALUE>, which is what clients that
// reject self-closing elements need.
#ifndef HOST_CIMSERVER_CIM_XML_WRITER_H
#define HOST_CIMSERVER_CIM_XML_WRITER_H

#include "CimStatus.h"

#include <cimple/cimple.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace cimserver {

// Property names to write (compared without regard to case); an absent list
// means every property. A filter serves one request at a time: what it keeps
// of a class is resolved on the class's first instance and remembered.
struct PropertyFilter {
    bool all = true;
    std::vector<std::string> names;
    bool includes(const char* name) const;
    // For each feature of the class, by index, whether the filter keeps it.
    const std::vector<bool>& kept_features(const cimple::Meta_Class* mc) const;

private:
    mutable std::vector<std::pair<const cimple::Meta_Class*, std::vector<bool>>> _resolved;
};

// How a class is written: LocalOnly, IncludeQualifiers and
// IncludeClassOrigin of the class operations.
struct ClassOptions {
    bool local_only = true;
    bool include_qualifiers = true;
    bool include_class_origin = false;
};

class CimXmlWriter {
public:
    // host: the host name written into instance paths; name_space: the name
    // space of the request, used for instances that carry none. The writer
    // appends to out when given, to a text of its own otherwise.
    CimXmlWriter(std::string host, std::string name_space);
    CimXmlWriter(std::string host, std::string name_space, std::string& out);
    CimXmlWriter(const CimXmlWriter&) = delete;
    CimXmlWriter& operator=(const CimXmlWriter&) = delete;

    static std::string escape(const std::string& text);
    // Appends text to out, escaped where it needs it.
    static void append_escaped(std::string& out, std::string_view text);

    std::string& out() { return _out; }

    void class_name(const char* name);
    // A class with the qualifiers of the server's class repository.
    void class_decl(const cimple::Meta_Class* mc, const ClassOptions& options);
    void instance(const cimple::Instance* inst, const PropertyFilter& filter);
    void instance_name(const cimple::Instance* inst);
    void instance_path(const cimple::Instance* inst);
    void value_reference(const cimple::Instance* inst);
    // A method's output parameter (left out when it holds no value).
    void out_parameter(const cimple::Instance* method, const cimple::Meta_Feature* mf);

    // The message envelope of a response, written around what the
    // operation writes between open_response() and close_response().
    void open_response(const std::string& id, const std::string& name, bool intrinsic);
    void close_response(bool intrinsic);
    void error(const CimError& e);

private:
    // The fixed texts of a class's elements, built once per class and answer.
    struct ClassText {
        std::string instance_open; // <INSTANCE CLASSNAME="..">
        std::string name_open;     // <INSTANCENAME CLASSNAME="..">
        std::vector<std::string> feature_open; // by feature: <PROPERTY NAME=.. TYPE=..> and the like
        std::vector<std::string> key_open;     // by feature: <KEYBINDING NAME=..>[<KEYVALUE VALUETYPE=..>]
        bool local_path = false;               // referenced by name space and name, without a host
    };
    const ClassText& text_of(const cimple::Meta_Class* mc);

    void open_value(std::string_view text);
    static void local_name_space_path(std::string& out, std::string_view ns);
    void property(const cimple::Instance* inst, const cimple::Meta_Property* mp, const std::string& open);
    void reference_property(const cimple::Instance* inst, const cimple::Meta_Reference* mr, const std::string& open);
    std::string_view name_space_of(const cimple::Instance* inst) const;

    std::string _host;
    std::string _name_space;
    std::string _own;
    std::string& _out;
    std::unordered_map<const cimple::Meta_Class*, ClassText> _class_texts;
    // By name space: the text of an instance path before its instance name.
    std::vector<std::pair<std::string, std::string>> _path_openings;
};

} // namespace cimserver

#endif
