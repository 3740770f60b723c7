#include "CimClient.h"

#include "CimXmlGrammar.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <sstream>

namespace cimserver::test {

std::string CimClient::key(const std::string& name, const std::string& value)
{
    return "<KEYBINDING NAME=\"" + name + "\"><KEYVALUE VALUETYPE=\"string\">" + value + "</KEYVALUE></KEYBINDING>";
}

std::string CimClient::configuration_service(const std::string& address)
{
    return "<INSTANCENAME CLASSNAME=\"VELDARO_StorageConfigurationService\">" +
           key("CreationClassName", "VELDARO_StorageConfigurationService") +
           key("Name", "VELDARO:KESTRIS SMI-S Proxy Server") +
           key("SystemCreationClassName", "VELDARO_StorageComputerSystem") + key("SystemName", address) +
           "</INSTANCENAME>";
}

std::string CimClient::raw(pugi::xml_node node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

std::vector<pugi::xml_node> CimReply::all(const char* name) const
{
    std::vector<pugi::xml_node> found;
    for (auto& x : doc.select_nodes((std::string("//") + name).c_str()))
        found.push_back(x.node());
    return found;
}

CimClient::CimClient(int port, std::string user, std::string password) : _client("127.0.0.1", port)
{
    set_up(user, password);
}

CimClient::CimClient(int port, const Https& https, std::string user, std::string password)
    : _client("https://127.0.0.1:" + std::to_string(port))
{
    _client.set_ca_cert_path(https.ca_file.c_str());
    _client.enable_server_certificate_verification(true);
    set_up(user, password);
}

void CimClient::set_up(const std::string& user, const std::string& password)
{
    if (!user.empty())
        _client.set_basic_auth(user.c_str(), password.c_str());
    _client.set_keep_alive(true);
    // Headers and body leave in separate writes: without this the body
    // waits for the server's delayed acknowledgement of the headers, as
    // with any client that leaves Nagle's algorithm on.
    _client.set_tcp_nodelay(true);
    _client.set_read_timeout(120, 0);
}

static std::string name_space_path(const std::string& ns)
{
    std::string r = "<LOCALNAMESPACEPATH>";
    size_t start = 0;
    for (;;) {
        size_t slash = ns.find('/', start);
        r += "<NAMESPACE NAME=\"" + ns.substr(start, slash - start) + "\"></NAMESPACE>";
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return r + "</LOCALNAMESPACEPATH>";
}

std::string CimClient::imethod(const std::string& op, const std::string& params, const std::string& ns)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
           "<MESSAGE ID=\"7\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><IMETHODCALL NAME=\"" + op + "\">" +
           name_space_path(ns) + params + "</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>";
}

std::string CimClient::method(const std::string& name, const std::string& instance_name, const std::string& params,
                              const std::string& ns)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
           "<MESSAGE ID=\"8\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><METHODCALL NAME=\"" + name +
           "\"><LOCALINSTANCEPATH>" + name_space_path(ns) + instance_name + "</LOCALINSTANCEPATH>" + params +
           "</METHODCALL></SIMPLEREQ></MESSAGE></CIM>";
}

std::string CimClient::class_param(const std::string& param, const std::string& class_name)
{
    return "<IPARAMVALUE NAME=\"" + param + "\"><CLASSNAME NAME=\"" + class_name + "\"></CLASSNAME></IPARAMVALUE>";
}

std::string CimClient::thin_pool(const std::string& address)
{
    return "<INSTANCENAME CLASSNAME=\"VELDARO_ThinProvisioningPool\">" + key("InstanceID", "VELDARO:TPP0000_" + address) +
           "</INSTANCENAME>";
}

namespace {

// The name space a LOCALNAMESPACEPATH names ("root/kestris").
std::string path_of(pugi::xml_node local_name_space)
{
    std::string ns;
    for (pugi::xml_node n : local_name_space.children("NAMESPACE"))
        ns += (ns.empty() ? "" : "/") + std::string(n.attribute("NAME").value());
    return ns;
}

// What the CIMObject header of a request names: the target name space of an
// intrinsic method, the object path of an extrinsic one (string, numeric
// and boolean keys), percent-encoded.
std::string cim_object(const std::string& body)
{
    pugi::xml_document doc;
    std::string object = "root/kestris";
    if (doc.load_buffer(body.data(), body.size())) {
        if (auto ns = doc.select_node("//IMETHODCALL/LOCALNAMESPACEPATH")) {
            object = path_of(ns.node());
        } else if (auto path = doc.select_node("//METHODCALL/LOCALINSTANCEPATH")) {
            pugi::xml_node name = path.node().child("INSTANCENAME");
            object = path_of(path.node().child("LOCALNAMESPACEPATH")) + ":" + name.attribute("CLASSNAME").value();
            const char* separator = ".";
            for (pugi::xml_node k : name.children("KEYBINDING")) {
                pugi::xml_node v = k.child("KEYVALUE");
                std::string value = v.text().get();
                if (std::string(v.attribute("VALUETYPE").value()) == "string" || !v.attribute("VALUETYPE")) {
                    std::string quoted = "\"";
                    for (char c : value)
                        quoted += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
                    value = quoted + "\"";
                }
                object += separator + std::string(k.attribute("NAME").value()) + "=" + value;
                separator = ",";
            }
        } else if (auto cls = doc.select_node("//METHODCALL/LOCALCLASSPATH")) {
            object = path_of(cls.node().child("LOCALNAMESPACEPATH")) + ":" +
                     cls.node().child("CLASSNAME").attribute("NAME").value();
        }
    }
    std::string encoded;
    for (unsigned char c : object) {
        if (std::isalnum(c) || c == '_' || c == '-' || c == '.') {
            encoded += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            encoded += hex;
        }
    }
    return encoded;
}

} // namespace

void CimClient::call(const std::string& cim_method, const std::string& body, CimReply& reply)
{
    post({{"CIMOperation", "MethodCall"}, {"CIMMethod", cim_method}, {"CIMProtocolVersion", "1.0"},
          {"CIMObject", cim_object(body)}},
         body, reply);
}

void CimClient::post(const httplib::Headers& headers, const std::string& body, CimReply& reply,
                     const std::string& content_type)
{
    reply = CimReply();
    auto res = _client.Post("/cimom", headers, body, content_type.c_str());
    if (!res)
        return;
    reply.http_status = res->status;
    reply.cim_error = res->get_header_value("CIMError");
    reply.body = res->body;
    if (reply.doc.load_buffer(reply.body.data(), reply.body.size())) {
        auto e = reply.doc.select_node("//ERROR");
        if (e)
            reply.error_code = e.node().attribute("CODE").as_int();
    }
    // Every CIM-XML answer the tests receive is held to the grammar.
    if (res->has_header("CIMOperation") && !reply.body.empty()) {
        std::string problem = CimXmlGrammar::check(reply.body);
        if (!problem.empty())
            ADD_FAILURE() << "the answer departs from the CIM-XML grammar: " << problem << "\n" << reply.body;
    }
}

std::map<std::string, bool> repository_classes(CimClient& client)
{
    CimReply r;
    client.call("EnumerateClasses",
                CimClient::imethod("EnumerateClasses",
                                   "<IPARAMVALUE NAME=\"DeepInheritance\"><VALUE>TRUE</VALUE></IPARAMVALUE>"
                                   "<IPARAMVALUE NAME=\"LocalOnly\"><VALUE>FALSE</VALUE></IPARAMVALUE>"),
                r);
    std::map<std::string, bool> out;
    for (auto c : r.all("CLASS"))
        out[c.attribute("NAME").value()] =
            static_cast<bool>(c.find_child_by_attribute("QUALIFIER", "NAME", "Association"));
    return out;
}

std::vector<std::string> instance_names(CimClient& client, const std::string& class_name)
{
    CimReply r;
    client.call("EnumerateInstanceNames",
                CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", class_name)), r);
    std::vector<std::string> out;
    for (auto n : r.all("INSTANCENAME"))
        out.push_back(CimClient::raw(n));
    return out;
}

std::string volume_name(CimClient& client, const std::string& device_id)
{
    CimReply r;
    client.call("EnumerateInstances",
                CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", "VELDARO_StorageVolume")),
                r);
    for (auto instance : r.all("INSTANCE")) {
        auto id = instance.find_child_by_attribute("PROPERTY", "NAME", "DeviceID").child("VALUE");
        if (id.text().as_string() == device_id)
            return instance.find_child_by_attribute("PROPERTY", "NAME", "Name").child("VALUE").text().as_string();
    }
    return "";
}

std::map<std::string, std::vector<std::string>> landed_classes(CimClient& client)
{
    std::map<std::string, std::vector<std::string>> out;
    for (auto& entry : repository_classes(client)) {
        const std::string& name = entry.first;
        CimReply r;
        client.call("EnumerateInstanceNames",
                    CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", name)), r);
        if (r.http_status != 200 || r.error_code != 0)
            continue;
        std::vector<std::string> names;
        bool own = true;
        for (auto n : r.all("INSTANCENAME")) {
            if (std::string(n.parent().name()) != "IRETURNVALUE")
                continue;
            if (n.attribute("CLASSNAME").value() != name)
                own = false;
            std::ostringstream s;
            n.print(s, "", pugi::format_raw);
            names.push_back(s.str());
        }
        if (own && !names.empty())
            out[name] = names;
    }
    return out;
}

} // namespace cimserver::test
