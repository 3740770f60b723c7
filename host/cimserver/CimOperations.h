// Answers CIM-XML operation requests (one SIMPLEREQ each) from the hosted
// provider module: the intrinsic operations over instances, associations
// and classes, and extrinsic method calls.
#ifndef HOST_CIMSERVER_CIM_OPERATIONS_H
#define HOST_CIMSERVER_CIM_OPERATIONS_H

#include "CimStatus.h"
#include "CimXmlReader.h"
#include "CimXmlWriter.h"
#include "ProviderModule.h"

#include <string>

namespace cimserver {

// The answer to one request. http_status 200 carries a CIM-XML message in
// body (which may hold an ERROR); 400 carries the CIMError header value.
struct OperationReply {
    int http_status = 200;
    std::string cim_error;
    std::string body;
};

class CimOperations {
public:
    explicit CimOperations(const ProviderModule& module, std::string host = "localhost");

    // The host that references name ("address:port" once the server
    // listens); set before requests are answered.
    void set_host(std::string host);

    // Name spaces served.
    static bool served_name_space(const std::string& ns);

    // Answers a request body. cim_method is the CIMMethod header (it must
    // name the method the body calls).
    OperationReply handle(const std::string& body, const std::string& cim_method) const;

private:
    struct Call;

    std::string intrinsic(Call& call, pugi::xml_node imethod) const;
    std::string extrinsic(Call& call, pugi::xml_node method) const;

    std::string get_class(Call& c) const;
    std::string enumerate_classes(Call& c, bool names_only) const;
    std::string get_instance(Call& c) const;
    std::string enumerate_instances(Call& c, bool names_only) const;
    std::string create_instance(Call& c) const;
    std::string delete_instance(Call& c) const;
    std::string modify_instance(Call& c) const;
    std::string associators(Call& c, bool references, bool names_only) const;

    const ProviderModule& _module;
    CimXmlReader _reader;
    std::string _host;
};

} // namespace cimserver

#endif
