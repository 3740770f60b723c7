// cimserver: hosts the provider module and answers CIM-XML operations over
// HTTP and HTTPS until SIGINT or SIGTERM.
#include "AllocatorPolicy.h"
#include "CimOperations.h"
#include "HttpFrontEnd.h"
#include "IndicationHost.h"
#include "ListenerTls.h"
#include "PollingHost.h"
#include "ProviderModule.h"
#include "ServerOptions.h"
#include "ServerLog.h"
#include "SpoolDirectory.h"
#include "SubscriptionStore.h"
#include "TlsContext.h"

#include <SMIS_AccessPoints.h>
#include <SMIS_FunctionalProfiles.h>
#include <Pegasus/InstallRoot.h>
#include <Pegasus/Logger.h>
#include <Pegasus/System.h>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

using namespace cimserver;

namespace {

std::string executable_folder()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string path(buf, static_cast<size_t>(n));
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool read_credentials(const std::string& file, Credentials& credentials, std::string& message)
{
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) {
        message = "cannot read " + file;
        return false;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    size_t colon = line.find(':');
    if (colon == 0 || colon == std::string::npos) {
        message = file + " must hold user:password";
        return false;
    }
    credentials.required = true;
    credentials.user = line.substr(0, colon);
    credentials.password = line.substr(colon + 1);
    return true;
}

// The ports that listen: "port" for HTTP, "https_port" for HTTPS.
bool write_ready_file(const std::string& file, int port, int https_port)
{
    std::string tmp = file + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << "{\"pid\": " << getpid();
        if (port >= 0)
            out << ", \"port\": " << port;
        if (https_port >= 0)
            out << ", \"https_port\": " << https_port;
        out << "}\n";
        if (!out)
            return false;
    }
    return std::rename(tmp.c_str(), file.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    AllocatorPolicy::apply();
    ServerOptions options;
    std::string message;
    if (!options.parse(argc, argv, message)) {
        std::fprintf(stderr, "cimserver: %s\n%s", message.c_str(), ServerOptions::usage());
        return 2;
    }
    if (options.help) {
        std::fputs(ServerOptions::usage(), stdout);
        return 0;
    }
    // Warnings and severe errors are always logged; information only when
    // asked for. No log file grows past its limit.
    Pegasus::Logger::setLogLevel(options.log_information ? Pegasus::Logger::INFORMATION : Pegasus::Logger::WARNING);
    Pegasus::Logger::setRotation(options.log_max_size, options.log_files);
    Credentials credentials;
    if (!options.auth_file.empty() && !read_credentials(options.auth_file, credentials, message)) {
        std::fprintf(stderr, "cimserver: %s\n", message.c_str());
        return 2;
    }
    // How the listeners indications are exported to over HTTPS are verified.
    auto listener_tls = std::make_shared<ListenerTls>();
    if (!listener_tls->load(options.export_trust_store, message)) {
        std::fprintf(stderr, "cimserver: %s\n", message.c_str());
        if (!options.export_trust_store.empty())
            return 2;
    }
    std::unique_ptr<TlsContext> tls;
    if (options.https_port >= 0) {
        tls = std::make_unique<TlsContext>();
        if (!tls->load(options.cert_file, options.key_file, message)) {
            std::fprintf(stderr, "cimserver: %s\n", message.c_str());
            return 2;
        }
    }

    // Signals are taken by one thread with sigwait; every other thread,
    // the providers' included, inherits the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::string module_path = options.module_path.empty() ? executable_folder() + "/../lib/libarrayprov.so"
                                                          : options.module_path;
    // Answers that wait for slow clients past their memory go to files here;
    // those a killed server left behind go first.
    std::shared_ptr<SpoolDirectory> spool;
    if (options.max_spool != 0) {
        const std::string folder =
            options.spool_folder.empty() ? Pegasus::InstallRoot::path() + "/spool" : options.spool_folder;
        std::string why;
        spool = SpoolDirectory::open(folder, static_cast<std::size_t>(options.spool_reserve), why);
        if (spool)
            spool->clean();
        else
            server_log("spool folder " + folder + " refused: " + why + "; answers are not spooled");
    }

    ProviderModule module;
    if (!module.open(module_path, message)) {
        std::fprintf(stderr, "cimserver: %s\n", message.c_str());
        return 1;
    }
    std::fprintf(stderr, "cimserver: %zu providers loaded from %s\n", module.providers().size(), module_path.c_str());

    // The indication subscriptions clients made, kept in the install
    // directory across restarts.
    SubscriptionStore subscriptions(module.repository(), Pegasus::InstallRoot::path() + "/data/subscriptions.xml",
                                    Pegasus::System::getFullyQualifiedHostName().str());
    if (!subscriptions.load(message))
        std::fprintf(stderr, "cimserver: %s\n", message.c_str());

    PollingHost polling;
    if (options.polling)
        polling.start(options.poll_interval);
    IndicationHost indications(
        options.listeners, options.delivery_retry,
        [&subscriptions](const std::string& url) { subscriptions.destination_failed(url); }, listener_tls);
    subscriptions.on_routes([&indications](std::vector<IndicationRoute> routes) {
        indications.set_routes(std::move(routes));
    });
    if (options.indications)
        indications.enable(module);

    int status = 0;
    {
        CimOperations operations(module, options.address);
        operations.set_subscriptions(&subscriptions);
        FrontEndTuning tuning;
        tuning.max_pending = options.max_pending;
        tuning.min_rate = options.min_rate;
        tuning.max_answer_held = options.max_answer_held;
        tuning.rate_window = std::chrono::seconds(options.rate_window);
        tuning.answers.memory = options.max_answer_memory;
        tuning.answers.spool = static_cast<std::size_t>(options.max_spool);
        tuning.answers.spool_folder = spool;
        HttpFrontEnd front(operations, credentials, options.max_request, tuning);
        // One front end serves both ports: the same bounds, accounting and
        // spool for every connection.
        const int port = options.plain_http() ? front.bind(options.address, options.port) : -1;
        const int https_port = tls ? front.bind(options.address, options.https_port, tls.get()) : -1;
        if (options.plain_http() && port < 0) {
            std::fprintf(stderr, "cimserver: cannot listen on %s:%d\n", options.address.c_str(), options.port);
            status = 1;
        } else if (tls && https_port < 0) {
            std::fprintf(stderr, "cimserver: cannot listen on %s:%d\n", options.address.c_str(), options.https_port);
            status = 1;
        } else {
            // References name the server the way each client reached it;
            // the communication mechanisms advertise exactly the listeners
            // and the functional profiles the operations serve.
            cimple::SMIS_AccessPoints::publish(front.access_points());
            cimple::SMIS_FunctionalProfiles::publish(CimOperations::functional_profiles());
            operations.set_host(cimple::SMIS_AccessPoints::preferredAuthority());
            if (!options.ready_file.empty() && !write_ready_file(options.ready_file, port, https_port))
                std::fprintf(stderr, "cimserver: cannot write %s\n", options.ready_file.c_str());
            if (port >= 0)
                std::fprintf(stderr, "cimserver: listening on %s:%d (HTTP)\n", options.address.c_str(), port);
            else
                std::fprintf(stderr, "cimserver: plain HTTP is off: the login of --auth-file is taken over HTTPS "
                                     "only (--allow-plain-auth takes it over HTTP too)\n");
            if (https_port >= 0)
                std::fprintf(stderr, "cimserver: listening on %s:%d (HTTPS)\n", options.address.c_str(), https_port);
            std::thread waiter([&] {
                int sig = 0;
                sigwait(&signals, &sig);
                // Every wait on an array ends first, so that the workers the
                // front end then waits for are free to finish.
                polling.cancel();
                front.stop();
            });
            if (!front.serve())
                status = 1;
            // Wakes the waiter when the server ended on its own.
            pthread_kill(waiter.native_handle(), SIGTERM);
            waiter.join();
            cimple::SMIS_AccessPoints::publish({});
            cimple::SMIS_FunctionalProfiles::publish({});
        }
    }
    // No route changes reach delivery once it stops.
    subscriptions.on_routes({});
    indications.disable();
    polling.stop();
    module.close();
    PollingHost::release();
    std::fprintf(stderr, "cimserver: stopped\n");
    return status;
}
