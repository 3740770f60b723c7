#include "IndicationExporter.h"

#include "CimXmlWriter.h"

#include <httplib.h>

#include <cstdio>

namespace cimserver {

using namespace cimple;

IndicationExporter::IndicationExporter(std::vector<std::string> listeners) : _listeners(std::move(listeners))
{
    _thread = std::thread([this] { run(); });
}

IndicationExporter::~IndicationExporter()
{
    {
        std::lock_guard<std::mutex> g(_lock);
        _stopping = true;
    }
    _wake.notify_all();
    _thread.join();
    for (Instance* i : _pending)
        destroy(i);
}

void IndicationExporter::submit(const Instance* indication)
{
    if (!indication || _listeners.empty())
        return;
    Instance* copy = clone(indication);
    if (!copy)
        return;
    {
        std::lock_guard<std::mutex> g(_lock);
        if (_pending.size() >= MAX_PENDING) {
            destroy(_pending.front());
            _pending.pop_front();
            _dropped.fetch_add(1);
        }
        _pending.push_back(copy);
    }
    _wake.notify_one();
}

std::string IndicationExporter::export_request(const Instance* indication, unsigned long long id)
{
    CimXmlWriter writer("localhost", "root/kestris");
    writer.instance(indication, PropertyFilter());
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
           "<MESSAGE ID=\"" + std::to_string(id) + "\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPREQ>"
           "<EXPMETHODCALL NAME=\"ExportIndication\"><EXPPARAMVALUE NAME=\"NewIndication\">" +
           writer.out() + "</EXPPARAMVALUE></EXPMETHODCALL></SIMPLEEXPREQ></MESSAGE></CIM>\n";
}

void IndicationExporter::run()
{
    for (;;) {
        Instance* next = nullptr;
        {
            std::unique_lock<std::mutex> g(_lock);
            _wake.wait(g, [this] { return _stopping || !_pending.empty(); });
            if (_stopping)
                return;
            next = _pending.front();
            _pending.pop_front();
        }
        std::string body;
        try {
            body = export_request(next, _next_id++);
        } catch (...) {
            std::fprintf(stderr, "cimserver: an indication of %s could not be written\n", next->meta_class->name);
        }
        destroy(next);
        if (body.empty())
            continue;
        for (const std::string& listener : _listeners) {
            if (post(listener, body))
                _exported.fetch_add(1);
            else
                _failed.fetch_add(1);
        }
    }
}

bool IndicationExporter::post(const std::string& listener, const std::string& body)
{
    // "http://host[:port][/path]": the client takes scheme, host and port.
    const std::size_t slash = listener.find('/', 7);
    const std::string origin = slash == std::string::npos ? listener : listener.substr(0, slash);
    const std::string path = slash == std::string::npos ? "/" : listener.substr(slash);
    try {
        httplib::Client client(origin);
        client.set_connection_timeout(5, 0);
        client.set_read_timeout(10, 0);
        client.set_write_timeout(10, 0);
        httplib::Headers headers{{"CIMExport", "MethodRequest"}, {"CIMExportMethod", "ExportIndication"}};
        auto result = client.Post(path, headers, body, "application/xml; charset=\"utf-8\"");
        if (!result) {
            std::fprintf(stderr, "cimserver: listener %s not reached (%s)\n", listener.c_str(),
                         httplib::to_string(result.error()).c_str());
            return false;
        }
        if (result->status != 200 || result->body.find("<ERROR") != std::string::npos) {
            std::fprintf(stderr, "cimserver: listener %s refused an indication (HTTP %d)\n", listener.c_str(),
                         result->status);
            return false;
        }
        return true;
    } catch (...) {
        std::fprintf(stderr, "cimserver: listener %s failed\n", listener.c_str());
        return false;
    }
}

} // namespace cimserver
