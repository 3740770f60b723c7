#include "IndicationExporter.h"

#include "CimXmlWriter.h"

#include <SMIS_AccessPoints.h>
#include <Pegasus/Logger.h>

#include <algorithm>

namespace cimserver {

using namespace cimple;

namespace {

std::shared_ptr<const ListenerTls> system_trust()
{
    auto tls = std::make_shared<ListenerTls>();
    std::string message;
    if (!tls->load("", message))
        Pegasus::Logger::put(Pegasus::Logger::STANDARD_LOG, "cimserver", Pegasus::Logger::WARNING, message.c_str());
    return tls;
}

} // namespace

IndicationExporter::IndicationExporter(std::vector<std::string> listeners, DeliveryRetry retry,
                                       ListenerQueue::Failed failed, std::shared_ptr<const ListenerTls> tls)
    : _listeners(std::move(listeners)), _retry(retry), _failed(std::move(failed)),
      _tls(tls ? std::move(tls) : system_trust())
{
    _thread = std::thread([this] { run(); });
}

IndicationExporter::~IndicationExporter()
{
    std::vector<std::unique_ptr<ListenerQueue>> ending;
    {
        std::lock_guard<std::mutex> g(_lock);
        _stopping = true;
        for (auto& [url, queue] : _queues)
            ending.push_back(std::move(queue));
        _queues.clear();
        for (auto& queue : _retired)
            ending.push_back(std::move(queue));
        _retired.clear();
        for (auto& queue : ending)
            queue->retire();
    }
    _wake.notify_all();
    _thread.join();
    // Each queue's destructor ends the delivery it has in progress and waits
    // for its thread (no lock held: a queue's failure report may still call
    // set_routes).
    ending.clear();
    for (Instance* i : _pending)
        destroy(i);
}

void IndicationExporter::submit(const Instance* indication)
{
    if (!indication)
        return;
    Instance* copy = clone(indication);
    if (!copy)
        return;
    {
        std::lock_guard<std::mutex> g(_lock);
        if (_stopping || (_listeners.empty() && _routes.empty())) {
            destroy(copy);
            return;
        }
        if (_pending.size() >= MAX_PENDING) {
            destroy(_pending.front());
            _pending.pop_front();
            _counts.dropped.fetch_add(1);
            // The first of a run of drops and every thousandth are logged.
            if (++_unwritten == 1 || _unwritten % 1000 == 0)
                Pegasus::Logger::put(Pegasus::Logger::STANDARD_LOG, "cimserver", Pegasus::Logger::WARNING,
                                     ("indications arrive faster than they can be written: the oldest are dropped (" +
                                      std::to_string(_unwritten) + " so far)")
                                         .c_str());
        }
        _pending.push_back(copy);
    }
    _wake.notify_one();
}

void IndicationExporter::set_routes(std::vector<IndicationRoute> routes)
{
    std::lock_guard<std::mutex> g(_lock);
    if (_stopping)
        return;
    _routes = std::move(routes);
    for (auto it = _queues.begin(); it != _queues.end();) {
        const std::string& url = it->first;
        bool used = std::find(_listeners.begin(), _listeners.end(), url) != _listeners.end() ||
                    std::any_of(_routes.begin(), _routes.end(),
                                [&](const IndicationRoute& r) { return r.destination == url; });
        if (used) {
            ++it;
            continue;
        }
        it->second->clear();
        it->second->retire();
        _retired.push_back(std::move(it->second));
        it = _queues.erase(it);
    }
    reap();
}

std::string IndicationExporter::export_request(const Instance* indication, unsigned long long id)
{
    // References in the indication name the server as a listener can reach
    // it back (HTTPS when it listens); "localhost" before it listens.
    std::string host = cimple::SMIS_AccessPoints::preferredAuthority();
    CimXmlWriter writer(host.empty() ? "localhost" : host, "root/kestris");
    writer.instance(indication, PropertyFilter());
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
           "<MESSAGE ID=\"" + std::to_string(id) + "\" PROTOCOLVERSION=\"1.0\"><SIMPLEEXPREQ>"
           "<EXPMETHODCALL NAME=\"ExportIndication\"><EXPPARAMVALUE NAME=\"NewIndication\">" +
           writer.out() + "</EXPPARAMVALUE></EXPMETHODCALL></SIMPLEEXPREQ></MESSAGE></CIM>\n";
}

std::vector<std::string> IndicationExporter::destinations_of(const Instance* indication) const
{
    std::vector<std::string> urls = _listeners;
    for (const IndicationRoute& r : _routes)
        if (r.query.matches(indication))
            urls.push_back(r.destination);
    std::sort(urls.begin(), urls.end());
    urls.erase(std::unique(urls.begin(), urls.end()), urls.end());
    return urls;
}

ListenerQueue& IndicationExporter::queue_of(const std::string& url)
{
    auto& queue = _queues[url];
    if (!queue)
        queue = std::make_unique<ListenerQueue>(url, _retry, _counts, _failed, _tls);
    return *queue;
}

void IndicationExporter::reap()
{
    std::erase_if(_retired, [](const std::unique_ptr<ListenerQueue>& q) { return q->finished(); });
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
            Pegasus::Logger::put(Pegasus::Logger::STANDARD_LOG, "cimserver", Pegasus::Logger::WARNING,
                                 (std::string("an indication of ") + next->meta_class->name +
                                  " could not be written")
                                     .c_str());
        }
        if (!body.empty()) {
            auto shared = std::make_shared<const std::string>(std::move(body));
            std::lock_guard<std::mutex> g(_lock);
            // The routes are read under the lock: a subscription deleted
            // before this point gets nothing more.
            for (const std::string& url : destinations_of(next))
                queue_of(url).push(shared);
            reap();
        }
        destroy(next);
    }
}

} // namespace cimserver
