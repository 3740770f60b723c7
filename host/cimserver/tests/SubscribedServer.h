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

    // extra: further arguments of the server, at every start.
    explicit SubscribedServer(std::vector<std::string> extra = {});
    ~SubscribedServer();

    // Stops the server (expecting a clean exit) and starts it anew on the
    // same install directory. forget_tables: the array's cache files go
    // first, so that makeVolume waits until the new server has read the
    // array again.
    void restart(bool forget_tables = false);
    // Makes the filter, destination and subscription (fatal failures), for
    // the listener at url (the test's own listener when empty).
    void subscribe(SubscriptionClient& client, const std::string& url = "");
    // Switches the array's status until the static listener has seen one
    // more modification than before (fatal failure when none comes).
    void changeStatus();
    // Makes a 100 MiB volume of that name in the array's thin pool through
    // the storage configuration service: volume is its reference (a
    // VALUE.REFERENCE element). Fatal failure when it is not made.
    void makeVolume(SubscriptionClient& client, const std::string& name, std::string& volume);
    // Returns the volume to its pool (fatal failure when it is not).
    void returnVolume(SubscriptionClient& client, const std::string& volume);

    testsupport::ArraysimProcess sim{"small"};
    smis::test::TempInstallDir install;
    IndicationListener listener, control;
    std::unique_ptr<CimserverProcess> server;
    std::string filter, destination, subscription;
    std::vector<std::string> extra;

private:
    void start();
    int _status = 32;
};

} // namespace cimserver::test

#endif
