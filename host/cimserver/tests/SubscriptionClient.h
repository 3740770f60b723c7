// A subscription manager as a standard client drives one: filters, listener
// destinations and subscriptions made and removed with CreateInstance and
// DeleteInstance in the interop name space.
#ifndef HOST_CIMSERVER_TESTS_SUBSCRIPTION_CLIENT_H
#define HOST_CIMSERVER_TESTS_SUBSCRIPTION_CLIENT_H

#include "CimClient.h"

#include <string>
#include <vector>

namespace cimserver::test {

class SubscriptionClient {
public:
    static constexpr const char* INTEROP = "interop";

    explicit SubscriptionClient(int port) : _client(port) {}

    // Each answers the INSTANCENAME the server made (raw XML); empty when
    // the server answered an error (see last()).
    std::string createFilter(const std::string& name, const std::string& query, const std::string& language = "WQL",
                             const std::string& source_namespace = "root/kestris");
    std::string createDestination(const std::string& name, const std::string& url);
    std::string createSubscription(const std::string& filter, const std::string& destination);
    // Creates an INSTANCE element as it stands.
    std::string create(const std::string& instance);

    // The error code of DeleteInstance (0 when deleted).
    int remove(const std::string& instance_name);
    // The INSTANCENAME elements of the class's instances in interop.
    std::vector<std::string> names(const std::string& class_name);

    const CimReply& last() const { return _last; }
    CimClient& client() { return _client; }

    // A property element of an INSTANCE.
    static std::string property(const std::string& name, const std::string& type, const std::string& value);

private:
    CimClient _client;
    CimReply _last;
};

} // namespace cimserver::test

#endif
