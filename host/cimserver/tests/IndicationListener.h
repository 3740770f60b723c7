// A CIM-XML indication listener for the end-to-end tests: answers every
// export request and keeps what it got ("<CIMExport> <CIMExportMethod>",
// a line end, then the body). Each request is held to the CIM-XML grammar.
// It can be paused (nothing listens on its port) and resumed on the same
// port, as a listener that goes down and comes back. Given a certificate
// it listens over HTTPS with it.
#ifndef HOST_CIMSERVER_TESTS_INDICATION_LISTENER_H
#define HOST_CIMSERVER_TESTS_INDICATION_LISTENER_H

#include "CimXmlGrammar.h"
#include "TestCertificate.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {

class IndicationListener {
public:
    IndicationListener() { start(0); }
    explicit IndicationListener(const TestCertificate& cert) : _cert(cert.cert_file()), _key(cert.key_file())
    {
        start(0);
    }
    ~IndicationListener() { pause(); }

    std::string url() const
    {
        return (_cert.empty() ? "http" : "https") + std::string("://127.0.0.1:") + std::to_string(_port) +
               "/indications";
    }

    // Stops listening: deliveries fail until resume().
    void pause()
    {
        if (!_server)
            return;
        _server->stop();
        _thread.join();
        _server.reset();
    }
    // Listens again on the same port.
    void resume()
    {
        if (!_server)
            start(_port);
    }

    // The first request that contains every text, waiting up to the limit.
    std::string waitFor(const std::vector<std::string>& texts, std::chrono::seconds limit)
    {
        std::unique_lock<std::mutex> g(_lock);
        std::string found;
        _arrived.wait_for(g, limit, [&] {
            for (const std::string& r : _requests)
                if (contains(r, texts)) {
                    found = r;
                    return true;
                }
            return false;
        });
        return found;
    }

    // How many requests contain every text.
    size_t count(const std::vector<std::string>& texts)
    {
        std::lock_guard<std::mutex> g(_lock);
        size_t n = 0;
        for (const std::string& r : _requests)
            n += contains(r, texts);
        return n;
    }

    // Waits up to the limit until count(texts) reaches n; the count then.
    size_t waitForCount(const std::vector<std::string>& texts, size_t n, std::chrono::seconds limit)
    {
        std::unique_lock<std::mutex> g(_lock);
        size_t seen = 0;
        _arrived.wait_for(g, limit, [&] {
            seen = 0;
            for (const std::string& r : _requests)
                seen += contains(r, texts);
            return seen >= n;
        });
        return seen;
    }

    size_t received()
    {
        std::lock_guard<std::mutex> g(_lock);
        return _requests.size();
    }

    // The first departure of a request from the CIM-XML grammar; empty when none.
    std::string grammarProblem()
    {
        std::lock_guard<std::mutex> g(_lock);
        return _problem;
    }

private:
    static bool contains(const std::string& r, const std::vector<std::string>& texts)
    {
        for (const std::string& t : texts)
            if (r.find(t) == std::string::npos)
                return false;
        return true;
    }

    void start(int port)
    {
        _server = _cert.empty() ? std::make_unique<httplib::Server>()
                                : std::make_unique<httplib::SSLServer>(_cert.c_str(), _key.c_str());
        _server->Post("/indications", [this](const httplib::Request& req, httplib::Response& res) {
            std::string problem = CimXmlGrammar::check(req.body);
            {
                std::lock_guard<std::mutex> g(_lock);
                _requests.push_back(req.get_header_value("CIMExport") + " " +
                                    req.get_header_value("CIMExportMethod") + "\n" + req.body);
                if (_problem.empty() && !problem.empty())
                    _problem = problem;
            }
            _arrived.notify_all();
            res.set_header("CIMExport", "MethodResponse");
            res.set_content("<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
                            "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPRSP>"
                            "<EXPMETHODRESPONSE NAME=\"ExportIndication\"></EXPMETHODRESPONSE>"
                            "</SIMPLEEXPRSP></MESSAGE></CIM>",
                            "application/xml; charset=\"utf-8\"");
        });
        if (port == 0) {
            _port = _server->bind_to_any_port("127.0.0.1");
        } else {
            // The port was ours a moment ago; it may take a moment to be free.
            for (int i = 0; i < 50 && !_server->bind_to_port("127.0.0.1", port); i++)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        _thread = std::thread([this] { _server->listen_after_bind(); });
    }

    const std::string _cert, _key; // HTTPS with these when given
    std::unique_ptr<httplib::Server> _server;
    int _port = -1;
    std::thread _thread;
    std::mutex _lock;
    std::condition_variable _arrived;
    std::vector<std::string> _requests;
    std::string _problem;
};

}  // namespace cimserver::test

#endif
