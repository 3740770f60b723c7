// Raw CIM-XML requests for the tests: builds operation bodies, posts them
// with chosen headers and reads the answer's error code.
#ifndef HOST_CIMSERVER_TESTS_CIM_CLIENT_H
#define HOST_CIMSERVER_TESTS_CIM_CLIENT_H

#include <httplib.h>
#include <pugixml.hpp>

#include <map>
#include <string>
#include <vector>

namespace cimserver::test {

struct CimReply {
    int http_status = 0;    // 0 when no answer came
    std::string cim_error;  // CIMError header
    std::string body;
    int error_code = 0;     // CODE of an ERROR element, 0 when none
    pugi::xml_document doc; // the parsed body

    // Elements of that name anywhere in the body.
    std::vector<pugi::xml_node> all(const char* name) const;
};

// A CimClient over HTTPS, trusting the certificate in ca_file (the server's
// own when it is self-signed) and checking that it names 127.0.0.1.
struct Https {
    std::string ca_file;
};

class CimClient {
public:
    explicit CimClient(int port, std::string user = "tester", std::string password = "s3cret");
    CimClient(int port, const Https& https, std::string user = "tester", std::string password = "s3cret");

    // The message around an IMETHODCALL in the name space.
    static std::string imethod(const std::string& op, const std::string& params,
                               const std::string& name_space = "root/kestris");
    // The message around a METHODCALL on an instance name (INSTANCENAME element).
    static std::string method(const std::string& name, const std::string& instance_name, const std::string& params,
                              const std::string& name_space = "root/kestris");
    static std::string class_param(const std::string& param, const std::string& class_name);
    // A string KEYBINDING of an INSTANCENAME.
    static std::string key(const std::string& name, const std::string& value);
    // The INSTANCENAME of the storage configuration service of the array.
    static std::string configuration_service(const std::string& address);
    // An element of an answer as raw XML, to send back in a request.
    static std::string raw(pugi::xml_node node);
    // The INSTANCENAME of the array's first thin provisioning pool.
    static std::string thin_pool(const std::string& address);

    // Posts with the standard CIM headers (cim_method for CIMMethod).
    void call(const std::string& cim_method, const std::string& body, CimReply& reply);
    // Posts with exactly these headers.
    void post(const httplib::Headers& headers, const std::string& body, CimReply& reply,
              const std::string& content_type = "application/xml; charset=\"utf-8\"");

    httplib::Client& http() { return _client; }

private:
    void set_up(const std::string& user, const std::string& password);

    httplib::Client _client;
};

// Every class of the repository, with whether it is an association (a deep
// EnumerateClasses).
std::map<std::string, bool> repository_classes(CimClient& client);

// The INSTANCENAME elements (raw XML) EnumerateInstanceNames answers for
// the class; empty when it answers an error.
std::vector<std::string> instance_names(CimClient& client, const std::string& class_name);

// The Name of the volume with that DeviceID (what LUNames carry); empty
// when none is served.
std::string volume_name(CimClient& client, const std::string& device_id);

// The classes whose enumeration answers instances of that very class (the
// providers that have their own code), with their instance names as XML.
std::map<std::string, std::vector<std::string>> landed_classes(CimClient& client);

} // namespace cimserver::test

#endif
