#include "ListenerQueue.h"

#include "ListenerExchange.h"

#include <Pegasus/Logger.h>

#include <sys/eventfd.h>
#include <unistd.h>

namespace cimserver {

namespace {

void log_warning(const std::string& text)
{
    Pegasus::Logger::put(Pegasus::Logger::STANDARD_LOG, "cimserver", Pegasus::Logger::WARNING, text.c_str());
}

} // namespace

ListenerQueue::ListenerQueue(std::string url, DeliveryRetry retry, DeliveryCounts& counts, Failed failed,
                             std::shared_ptr<const ListenerTls> tls)
    : _url(std::move(url)), _retry(retry), _counts(counts), _failed(std::move(failed)), _tls(std::move(tls)),
      _abort(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    _thread = std::thread([this] { run(); });
}

ListenerQueue::~ListenerQueue()
{
    retire();
    _thread.join();
    if (_abort >= 0)
        ::close(_abort);
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
    // The delivery in progress sees it at once, whatever it waits for.
    if (_abort >= 0) {
        const eventfd_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(_abort, &one, sizeof one);
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
        const ListenerExchange::Outcome outcome =
            ListenerExchange::post(_url, *head, _tls.get(), _abort, _retry.limit);
        const bool ok = outcome.delivered;
        bool gave_up = false;
        g.lock();
        if (outcome.aborted)
            break; // retired: what waits is dropped
        if (!ok && !_failure_logged) {
            _failure_logged = true;
            log_warning("indications for listener " + _url + " are not delivered: " + outcome.why +
                        (outcome.untrusted ? " (--export-ssl-trust-store names the certificates to trust)" : ""));
        }
        const bool still_head = generation == _generation && !_queue.empty() && _queue.front() == head;
        if (ok) {
            _counts.delivered.fetch_add(1);
            failures = 0;
        } else if (still_head && ++failures > _retry.attempts) {
            drop(("the listener did not take it after " + std::to_string(failures) + " tries (" + outcome.why + ")")
                     .c_str());
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

} // namespace cimserver
