#include "ListenerQueue.h"

#include <Pegasus/Logger.h>

#include <httplib.h>

namespace cimserver {

namespace {

void log_warning(const std::string& text)
{
    Pegasus::Logger::put(Pegasus::Logger::STANDARD_LOG, "cimserver", Pegasus::Logger::WARNING, text.c_str());
}

} // namespace

ListenerQueue::ListenerQueue(std::string url, DeliveryRetry retry, DeliveryCounts& counts, Failed failed)
    : _url(std::move(url)), _retry(retry), _counts(counts), _failed(std::move(failed))
{
    _thread = std::thread([this] { run(); });
}

ListenerQueue::~ListenerQueue()
{
    retire();
    _thread.join();
}

void ListenerQueue::push(Body body)
{
    if (!body)
        return;
    {
        std::lock_guard<std::mutex> g(_lock);
        if (_stopping)
            return;
        _bytes += body->size();
        _queue.push_back(std::move(body));
        // The oldest waiting goes first; the one in delivery (the head)
        // stays while anything else is left.
        while (_queue.size() > 1 && (_queue.size() > MAX_QUEUED || _bytes > MAX_BYTES)) {
            auto victim = std::next(_queue.begin());
            _bytes -= (*victim)->size();
            _queue.erase(victim);
            drop("its queue is full");
        }
    }
    _wake.notify_all();
}

void ListenerQueue::clear()
{
    std::lock_guard<std::mutex> g(_lock);
    _queue.clear();
    _bytes = 0;
    _generation++;
}

void ListenerQueue::retire()
{
    {
        std::lock_guard<std::mutex> g(_lock);
        _stopping = true;
    }
    _wake.notify_all();
}

std::size_t ListenerQueue::waiting() const
{
    std::lock_guard<std::mutex> g(_lock);
    return _queue.size();
}

// Called with _lock held. The log says the first drop of a run of them and
// then every thousandth, so a listener that is gone for good does not fill
// the log either.
void ListenerQueue::drop(const char* why)
{
    _counts.dropped.fetch_add(1);
    unsigned long long n = ++_dropped;
    if (n == 1 || n % 1000 == 0)
        log_warning("indication for listener " + _url + " dropped: " + why + " (" + std::to_string(n) +
                    " dropped for it so far)");
}

void ListenerQueue::run()
{
    unsigned failures = 0; // failed tries of the head
    std::unique_lock<std::mutex> g(_lock);
    for (;;) {
        _wake.wait(g, [this] { return _stopping || !_queue.empty(); });
        if (_stopping)
            break;
        Body head = _queue.front();
        const unsigned long long generation = _generation;
        g.unlock();
        std::string why;
        const bool ok = post(*head, why);
        bool gave_up = false;
        g.lock();
        const bool still_head = generation == _generation && !_queue.empty() && _queue.front() == head;
        if (ok) {
            _counts.delivered.fetch_add(1);
            failures = 0;
        } else if (still_head && ++failures > _retry.attempts) {
            drop(("the listener did not take it after " + std::to_string(failures) + " tries (" + why + ")").c_str());
            failures = 0;
            gave_up = true;
        }
        if (still_head && (ok || gave_up)) {
            _bytes -= head->size();
            _queue.pop_front();
        }
        if (!still_head)
            failures = 0;
        if (gave_up && _failed && !_stopping) {
            g.unlock();
            _failed(_url);
            g.lock();
        } else if (!ok && still_head) {
            _wake.wait_for(g, _retry.interval, [this] { return _stopping; });
        }
    }
    _finished.store(true);
}

bool ListenerQueue::post(const std::string& body, std::string& why) const
{
    // "http[s]://host[:port][/path]": the client takes scheme, host and port.
    const std::size_t scheme_end = _url.find("://");
    const std::size_t slash = _url.find('/', scheme_end == std::string::npos ? 0 : scheme_end + 3);
    const std::string origin = slash == std::string::npos ? _url : _url.substr(0, slash);
    const std::string path = slash == std::string::npos ? "/" : _url.substr(slash);
    try {
        httplib::Client client(origin);
        client.set_connection_timeout(5, 0);
        client.set_read_timeout(10, 0);
        client.set_write_timeout(10, 0);
        httplib::Headers headers{{"CIMExport", "MethodRequest"}, {"CIMExportMethod", "ExportIndication"}};
        auto result = client.Post(path, headers, body, "application/xml; charset=\"utf-8\"");
        if (!result) {
            why = "not reached: " + httplib::to_string(result.error());
            return false;
        }
        if (result->status != 200 || result->body.find("<ERROR") != std::string::npos) {
            why = "refused with HTTP " + std::to_string(result->status);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        why = e.what();
        return false;
    }
}

} // namespace cimserver
