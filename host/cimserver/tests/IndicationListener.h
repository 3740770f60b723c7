// A CIM-XML indication listener for the end-to-end tests: answers every
// export request and keeps what it got ("<CIMExport> <CIMExportMethod>",
// a line end, then the body).
#ifndef HOST_CIMSERVER_TESTS_INDICATION_LISTENER_H
#define HOST_CIMSERVER_TESTS_INDICATION_LISTENER_H

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {

class IndicationListener {
public:
    IndicationListener()
    {
        _server.Post("/indications", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> g(_lock);
                _requests.push_back(req.get_header_value("CIMExport") + " " +
                                    req.get_header_value("CIMExportMethod") + "\n" + req.body);
            }
            _arrived.notify_all();
            res.set_header("CIMExport", "MethodResponse");
            res.set_content("<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
                            "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPRSP>"
                            "<EXPMETHODRESPONSE NAME=\"ExportIndication\"></EXPMETHODRESPONSE>"
                            "</SIMPLEEXPRSP></MESSAGE></CIM>",
                            "application/xml; charset=\"utf-8\"");
        });
        _port = _server.bind_to_any_port("127.0.0.1");
        _thread = std::thread([this] { _server.listen_after_bind(); });
    }
    ~IndicationListener()
    {
        _server.stop();
        _thread.join();
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(_port) + "/indications"; }

    // The first request that contains every text, waiting up to the limit.
    std::string waitFor(const std::vector<std::string>& texts, std::chrono::seconds limit)
    {
        std::unique_lock<std::mutex> g(_lock);
        std::string found;
        _arrived.wait_for(g, limit, [&] {
            for (const std::string& r : _requests) {
                bool all = true;
                for (const std::string& t : texts)
                    all = all && r.find(t) != std::string::npos;
                if (all) {
                    found = r;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

private:
    httplib::Server _server;
    int _port = -1;
    std::thread _thread;
    std::mutex _lock;
    std::condition_variable _arrived;
    std::vector<std::string> _requests;
};

}  // namespace cimserver::test

#endif
