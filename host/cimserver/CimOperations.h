// Answers CIM-XML operation requests (one SIMPLEREQ each) from the hosted
// provider module: the intrinsic operations over instances, associations
// and classes, and extrinsic method calls.
#ifndef HOST_CIMSERVER_CIM_OPERATIONS_H
#define HOST_CIMSERVER_CIM_OPERATIONS_H

#include "AnswerSink.h"
#include "CimStatus.h"
#include "CimXmlReader.h"
#include "CimXmlWriter.h"
#include "ProviderModule.h"
#include "SubscriptionStore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cimserver {

// How one request was answered. http_status 200: the CIM-XML message went
// to the sink (it may hold an ERROR); otherwise nothing went to the sink and
// cim_error is the CIMError header value. late_error: the operation failed
// after part of its answer had been sent; error is the failure.
struct OperationReply {
    int http_status = 200;
    std::string cim_error;
    bool late_error = false;
    CimError error;
};

class CimOperations {
public:
    explicit CimOperations(const ProviderModule& module, std::string host = "localhost");

    // The host that references name when a request does not say how its
    // client reached the server ("address:port").
    void set_host(std::string host);

    // The indication subscriptions the server keeps (none when not set).
    void set_subscriptions(SubscriptionStore* store) { _subscriptions = store; }

    // Name spaces served.
    static bool served_name_space(const std::string& ns);
    // The DSP0200 functional profiles the operations serve.
    static std::vector<std::uint16_t> functional_profiles();

    // Answers a request body into sink. cim_method is the CIMMethod header
    // (it must name the method the body calls). host: the server's
    // "address:port" as the client reached it, which references name (empty:
    // the one set_host gave).
    OperationReply handle(const std::string& body, const std::string& cim_method, AnswerSink& sink,
                          const std::string& host = {}) const;

private:
    struct Call;

    // Each writes its part of the response to the call's sink, or fails the call.
    void intrinsic(Call& call, pugi::xml_node imethod) const;
    void extrinsic(Call& call, pugi::xml_node method) const;

    void get_class(Call& c) const;
    void enumerate_classes(Call& c, bool names_only) const;
    void get_instance(Call& c) const;
    void enumerate_instances(Call& c, bool names_only) const;
    void create_instance(Call& c) const;
    void delete_instance(Call& c) const;
    void modify_instance(Call& c) const;
    void associators(Call& c, bool references, bool names_only) const;
    // The associations of a subscription's filter or destination.
    void subscription_associators(Call& c, const cimple::Instance* source, bool references, bool names_only,
                                  const cimple::Meta_Class* assoc_class, const cimple::Meta_Class* result_class,
                                  const std::string& role, const std::string& result_role,
                                  const PropertyFilter& filter) const;
    // True (with the call failed with code) when the request about one of
    // the store's classes is not in its name space.
    bool subscription_elsewhere(Call& c, const cimple::Meta_Class* mc, int code) const;

    const ProviderModule& _module;
    CimXmlReader _reader;
    std::string _host;
    SubscriptionStore* _subscriptions = nullptr;
};

} // namespace cimserver

#endif
