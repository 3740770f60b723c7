// cimserver on the simulated `small` array with a client's indication
// subscription: a listener subscribed through the interop name space to
// every instance indication, and a static listener (--listener) that sees
// every indication and so tells when the array's changes were reported.
// Failed deliveries are tried every 2 s for 80 s.
#ifndef HOST_CIMSERVER_TESTS_SUBSCRIBED_SERVER_H
#define HOST_CIMSERVER_TESTS_SUBSCRIBED_SERVER_H

#include "CimserverProcess.h"
#include "IndicationListener.h"
#include "SubscriptionClient.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <memory>
#include <string>
#include <vector>

namespace cimserver::test {

class SubscribedServer {
public:
    // What a modification of the array's system looks like in an export.
    static const std::vector<std::string> MODIFIED;

    SubscribedServer();
    ~SubscribedServer();

    // Stops the server (expecting a clean exit) and starts it anew on the
    // same install directory.
    void restart();
    // Makes the filter, destination and subscription (fatal failures).
    void subscribe(SubscriptionClient& client);
    // Switches the array's status until the static listener has seen one
    // more modification than before (fatal failure when none comes).
    void changeStatus();

    testsupport::ArraysimProcess sim{"small"};
    smis::test::TempInstallDir install;
    IndicationListener listener, control;
    std::unique_ptr<CimserverProcess> server;
    std::string filter, destination, subscription;

private:
    void start();
    int _status = 32;
};

} // namespace cimserver::test

#endif
