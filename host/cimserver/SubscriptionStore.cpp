#include "SubscriptionStore.h"

#include "ClassNameSpace.h"
#include "CimXmlWriter.h"
#include "ValueText.h"

#include <Pegasus/Logger.h>

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <tuple>

namespace cimserver {

using namespace cimple;

namespace {

constexpr const char* FILE_ROOT = "SUBSCRIPTIONS";

const Meta_Property* property_of(const Instance* inst, const char* name)
{
    const Meta_Feature* mf = find_feature(inst->meta_class, name);
    return mf && (mf->flags & CIMPLE_FLAG_PROPERTY) ? reinterpret_cast<const Meta_Property*>(mf) : nullptr;
}

// A scalar property's text; empty when null or absent.
std::string text(const Instance* inst, const char* name)
{
    std::vector<std::string> texts;
    const Meta_Property* mp = property_of(inst, name);
    return mp && property_texts(inst, mp, texts) && !texts.empty() ? texts[0] : std::string();
}

bool present(const Instance* inst, const char* name)
{
    std::vector<std::string> texts;
    const Meta_Property* mp = property_of(inst, name);
    return mp && property_texts(inst, mp, texts);
}

std::vector<std::string> texts(const Instance* inst, const char* name)
{
    std::vector<std::string> all;
    const Meta_Property* mp = property_of(inst, name);
    if (mp)
        property_texts(inst, mp, all);
    return all;
}

void set(Instance* inst, const char* name, const std::string& value)
{
    if (const Meta_Property* mp = property_of(inst, name))
        set_property_texts(inst, mp, {value}, false);
}

// The instance a reference of the association points to.
const Instance* end_of(const Instance* assoc, const char* role)
{
    const Meta_Feature* mf = find_feature(assoc->meta_class, role);
    if (!mf || !(mf->flags & CIMPLE_FLAG_REFERENCE) || (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT))
        return nullptr;
    return *static_cast<Instance* const*>(field_of(assoc, reinterpret_cast<const Meta_Reference*>(mf)->offset));
}

bool same(const Instance* a, const Instance* b)
{
    return a && b && key_eq(a, b);
}

void log(Pegasus::Uint32 level, const std::string& message)
{
    Pegasus::Logger::put(Pegasus::Logger::STANDARD_LOG, "cimserver", level, message.c_str());
}

// The value of a uint16 property: dflt when null; -1 when not a number.
long number(const Instance* inst, const char* name, long dflt)
{
    if (!present(inst, name))
        return dflt;
    try {
        return std::stol(text(inst, name));
    } catch (...) {
        return -1;
    }
}

// A journal record: the operation around the instance as the files keep
// it, on one line (line ends inside values are written as character
// references, which read the same).
std::string record(const char* op, const std::string& written)
{
    std::string r = std::string("<") + op + ">";
    r.reserve(written.size() + 32);
    for (char c : written) {
        if (c == '\n')
            r += "&#10;";
        else if (c == '\r')
            r += "&#13;";
        else
            r += c;
    }
    return r + "</" + op + ">\n";
}

constexpr const char* SET = "SET";
constexpr const char* DELETE = "DELETE";

// The journal is folded into the snapshot once it is larger than this and
// than the snapshot.
constexpr std::size_t FOLD_AT = 1u << 20;

} // namespace

SubscriptionStore::SubscriptionStore(const Meta_Repository* repository, std::string file, std::string system_name)
    : _repository(repository), _reader(repository), _file(std::move(file)), _system_name(std::move(system_name)),
      _filter_class(find_meta_class(repository, "CIM_IndicationFilter")),
      _destination_class(find_meta_class(repository, "CIM_ListenerDestination")),
      _subscription_class(find_meta_class(repository, "CIM_AbstractIndicationSubscription"))
{
}

bool SubscriptionStore::owns(const Meta_Class* mc) const
{
    return mc && ((_filter_class && is_subclass(_filter_class, mc)) ||
                  (_destination_class && is_subclass(_destination_class, mc)) ||
                  (_subscription_class && is_subclass(_subscription_class, mc)));
}

bool SubscriptionStore::serves_below(const Meta_Class* base) const
{
    for (const Meta_Class* mc : {_filter_class, _destination_class, _subscription_class})
        if (mc && base && (is_subclass(base, mc) || is_subclass(mc, base)))
            return true;
    return false;
}

Instance_List* SubscriptionStore::list_of(const Meta_Class* mc)
{
    if (_filter_class && is_subclass(_filter_class, mc))
        return &_filters;
    if (_destination_class && is_subclass(_destination_class, mc))
        return &_destinations;
    if (_subscription_class && is_subclass(_subscription_class, mc))
        return &_subscriptions;
    return nullptr;
}

void SubscriptionStore::on_routes(Routes routes)
{
    std::lock_guard<std::mutex> g(_lock);
    _routes = std::move(routes);
    publish();
}

void SubscriptionStore::fill_system_keys(Instance* inst)
{
    if (!present(inst, "SystemCreationClassName"))
        set(inst, "SystemCreationClassName", "CIM_ComputerSystem");
    if (!present(inst, "SystemName"))
        set(inst, "SystemName", _system_name);
    if (!present(inst, "CreationClassName"))
        set(inst, "CreationClassName", inst->meta_class->name);
    if (!present(inst, "Name")) {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        set(inst, "Name",
            "cimserver:" + std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) + ":" +
                std::to_string(++_made));
    }
}

bool SubscriptionStore::check_filter(Instance* inst, CimError& error) const
{
    IndicationQuery query;
    if (!IndicationQuery::parse(text(inst, "QueryLanguage"), text(inst, "Query"), _repository, query, error))
        return false;
    // The indications come from the arrays' name space.
    std::vector<std::string> spaces = texts(inst, "SourceNamespaces");
    if (present(inst, "SourceNamespace"))
        spaces.push_back(text(inst, "SourceNamespace"));
    for (const std::string& ns : spaces)
        if (!eqi(ns.c_str(), ClassNameSpace::ARRAYS) && !eqi(ns.c_str(), ClassNameSpace::INTEROP)) {
            error = {CIM_ERR_INVALID_PARAMETER, "source name space " + ns + " is not served"};
            return false;
        }
    return true;
}

bool SubscriptionStore::check_destination(Instance* inst, CimError& error) const
{
    const std::string url = text(inst, "Destination");
    const bool http = url.rfind("http://", 0) == 0, https = url.rfind("https://", 0) == 0;
    if ((!http && !https) || url.size() <= (http ? 7u : 8u) || url.find_first_of(" \t\r\n") != std::string::npos) {
        error = {CIM_ERR_INVALID_PARAMETER,
                 "Destination must be a listener URL http[s]://host[:port][/path], not \"" + url + "\""};
        return false;
    }
    const long persistence = number(inst, "PersistenceType", 2);
    if (persistence < 1 || persistence > 3) {
        error = {CIM_ERR_INVALID_PARAMETER, "PersistenceType must be 1, 2 or 3"};
        return false;
    }
    const long protocol = number(inst, "Protocol", 2);
    if (protocol != 2) {
        error = {CIM_ERR_NOT_SUPPORTED, "only CIM-XML (Protocol 2) listeners are served"};
        return false;
    }
    return true;
}

bool SubscriptionStore::check_subscription(Instance* inst, CimError& error) const
{
    const Instance* filter = end_of(inst, "Filter");
    const Instance* handler = end_of(inst, "Handler");
    if (!filter || !handler) {
        error = {CIM_ERR_INVALID_PARAMETER, "a subscription needs its Filter and its Handler"};
        return false;
    }
    // The ends are answered as the client named them, so they must name
    // what exists: the filter or destination itself, in interop.
    for (const auto& [end, role, list] :
         {std::tuple{filter, "Filter", &_filters}, std::tuple{handler, "Handler", &_destinations}}) {
        if (!end->__name_space.empty() && !eqi(end->__name_space.c_str(), ClassNameSpace::INTEROP)) {
            error = {CIM_ERR_INVALID_PARAMETER, std::string("the subscription's ") + role + " is in name space " +
                                                    end->__name_space.c_str() + ": subscriptions' ends live in " +
                                                    ClassNameSpace::INTEROP};
            return false;
        }
        if (std::none_of(list->begin(), list->end(), [&](const Instance_Ptr& i) { return same(i.get(), end); })) {
            error = {CIM_ERR_INVALID_PARAMETER, std::string("the subscription's ") + role + " does not exist"};
            return false;
        }
    }
    const long state = number(inst, "SubscriptionState", 2);
    if (state != 2 && state != 4) {
        error = {CIM_ERR_NOT_SUPPORTED, "SubscriptionState must be 2 (Enabled) or 4 (Disabled)"};
        return false;
    }
    const long policy = number(inst, "OnFatalErrorPolicy", 2);
    if (policy < 2 || policy > 4) {
        error = {CIM_ERR_NOT_SUPPORTED, "OnFatalErrorPolicy must be 2 (Ignore), 3 (Disable) or 4 (Remove)"};
        return false;
    }
    return true;
}

const Instance* SubscriptionStore::find(const Instance* name) const
{
    for (const Instance_List* list : {&_filters, &_destinations, &_subscriptions})
        for (const Instance_Ptr& i : *list)
            if (same(i.get(), name))
                return i.get();
    return nullptr;
}

bool SubscriptionStore::check(Instance* inst, const Instance_List* list, CimError& error) const
{
    return list == &_filters        ? check_filter(inst, error)
           : list == &_destinations ? check_destination(inst, error)
                                    : check_subscription(inst, error);
}

bool SubscriptionStore::check_size(const Instance* inst, const std::string& written, CimError& error) const
{
    const std::size_t query = text(inst, "Query").size();
    if (query > MAX_QUERY) {
        error = {CIM_ERR_INVALID_PARAMETER, "the filter's Query is " + std::to_string(query) + " bytes: at most " +
                                                std::to_string(MAX_QUERY) + " are taken"};
        return false;
    }
    if (written.size() > MAX_INSTANCE) {
        error = {CIM_ERR_INVALID_PARAMETER, std::string("the ") + inst->meta_class->name + " takes " +
                                                std::to_string(written.size()) + " bytes: at most " +
                                                std::to_string(MAX_INSTANCE) + " are kept of one instance"};
        return false;
    }
    return true;
}

bool SubscriptionStore::room_for(const Instance_List* list, const Instance* inst, std::size_t size,
                                 CimError& error) const
{
    const std::size_t limit = list == &_destinations ? MAX_DESTINATIONS : MAX_FILTERS;
    if (list->size() >= limit) {
        error = {CIM_ERR_FAILED, "no more than " + std::to_string(limit) + " instances of " +
                                     inst->meta_class->name + " are kept"};
        return false;
    }
    if (_stored + size > MAX_STORED) {
        error = {CIM_ERR_FAILED, "the subscriptions kept take " + std::to_string(_stored) + " bytes: no more than " +
                                     std::to_string(MAX_STORED) + " are kept"};
        return false;
    }
    return true;
}

std::string SubscriptionStore::written(const Instance* inst) const
{
    std::string out;
    CimXmlWriter w("localhost", ClassNameSpace::INTEROP, out);
    w.instance(inst, PropertyFilter());
    return out;
}

bool SubscriptionStore::create(Instance* inst, Instance_Ptr& name, CimError& error)
{
    std::lock_guard<std::mutex> g(_lock);
    Instance_List* list = list_of(inst->meta_class);
    if (!list || (inst->meta_class->flags & CIMPLE_FLAG_ABSTRACT)) {
        error = {CIM_ERR_NOT_SUPPORTED, std::string("instances of ") + inst->meta_class->name + " cannot be created"};
        return false;
    }
    const bool subscription = list == &_subscriptions;
    if (!subscription)
        fill_system_keys(inst);
    if (!subscription && text(inst, "CreationClassName") != inst->meta_class->name) {
        error = {CIM_ERR_INVALID_PARAMETER, std::string("CreationClassName must be ") + inst->meta_class->name};
        return false;
    }
    if (list == &_destinations && !present(inst, "PersistenceType"))
        set(inst, "PersistenceType", "2");
    if (subscription) {
        if (!present(inst, "SubscriptionState"))
            set(inst, "SubscriptionState", "2");
        if (!present(inst, "OnFatalErrorPolicy"))
            set(inst, "OnFatalErrorPolicy", "2");
    }
    // Bounded before anything else reads it.
    const std::string kept_text = written(inst);
    if (!check_size(inst, kept_text, error) || !check(inst, list, error))
        return false;
    if (find(inst)) {
        error = {CIM_ERR_ALREADY_EXISTS, std::string("that ") + inst->meta_class->name + " exists already"};
        return false;
    }
    if (!room_for(list, inst, kept_text.size(), error))
        return false;
    Instance_Ptr kept(clone(inst));
    kept->__name_space = ClassNameSpace::INTEROP;
    list->push_back(std::move(kept));
    if (!keep(record(SET, kept_text), error)) {
        list->pop_back();
        return false;
    }
    _stored += kept_text.size();
    name.reset(clone(list->back().get()));
    publish();
    log(Pegasus::Logger::INFORMATION, std::string(inst->meta_class->name) + " created");
    return true;
}

bool SubscriptionStore::remove(const Instance* name, CimError& error)
{
    std::lock_guard<std::mutex> g(_lock);
    Instance_List* list = list_of(name->meta_class);
    auto at = list ? std::find_if(list->begin(), list->end(), [&](const Instance_Ptr& i) { return same(i.get(), name); })
                   : Instance_List::iterator();
    if (!list || at == list->end()) {
        error = {CIM_ERR_NOT_FOUND, std::string("no such ") + name->meta_class->name};
        return false;
    }
    if (list != &_subscriptions)
        for (const Instance_Ptr& s : _subscriptions)
            if (same(end_of(s.get(), "Filter"), at->get()) || same(end_of(s.get(), "Handler"), at->get())) {
                error = {CIM_ERR_FAILED,
                         std::string("the ") + name->meta_class->name + " is used by a subscription: delete that first"};
                return false;
            }
    const std::string gone_text = written(at->get());
    const auto index = at - list->begin();
    Instance_Ptr gone = std::move(*at);
    list->erase(at);
    if (!keep(record(DELETE, gone_text), error)) {
        list->insert(list->begin() + index, std::move(gone));
        return false;
    }
    _stored -= gone_text.size();
    publish();
    return true;
}

bool SubscriptionStore::get(const Instance* name, Instance_Ptr& found, CimError& error) const
{
    std::lock_guard<std::mutex> g(_lock);
    const Instance* i = find(name);
    if (!i) {
        error = {CIM_ERR_NOT_FOUND, std::string("no such ") + name->meta_class->name};
        return false;
    }
    found.reset(clone(i));
    return true;
}

Instance_List SubscriptionStore::enumerate(const Meta_Class* base) const
{
    Instance_List out;
    std::lock_guard<std::mutex> g(_lock);
    for (const Instance_List* list : {&_filters, &_destinations, &_subscriptions})
        for (const Instance_Ptr& i : *list)
            if (is_subclass(base, i->meta_class))
                out.emplace_back(clone(i.get()));
    return out;
}

Instance_List SubscriptionStore::references(const Instance* source, const Meta_Class* assoc_class,
                                            const std::string& role) const
{
    Instance_List out;
    std::lock_guard<std::mutex> g(_lock);
    for (const Instance_Ptr& s : _subscriptions) {
        if (assoc_class && !is_subclass(assoc_class, s->meta_class))
            continue;
        bool by_filter = (role.empty() || eqi(role.c_str(), "Filter")) && same(end_of(s.get(), "Filter"), source);
        bool by_handler = (role.empty() || eqi(role.c_str(), "Handler")) && same(end_of(s.get(), "Handler"), source);
        if (by_filter || by_handler)
            out.emplace_back(clone(s.get()));
    }
    return out;
}

Instance_List SubscriptionStore::associators(const Instance* source, const Meta_Class* assoc_class,
                                             const Meta_Class* result_class, const std::string& role,
                                             const std::string& result_role) const
{
    Instance_List out;
    for (const Instance_Ptr& s : references(source, assoc_class, role)) {
        for (const char* other : {"Filter", "Handler"}) {
            const Instance* end = end_of(s.get(), other);
            if (!end || same(end, source) || (!result_role.empty() && !eqi(result_role.c_str(), other)))
                continue;
            Instance_Ptr full;
            CimError ignored;
            if (get(end, full, ignored) && (!result_class || is_subclass(result_class, full->meta_class)))
                out.push_back(std::move(full));
        }
    }
    return out;
}

void SubscriptionStore::destination_failed(const std::string& url)
{
    std::lock_guard<std::mutex> g(_lock);
    std::string records;
    for (auto it = _subscriptions.begin(); it != _subscriptions.end();) {
        const Instance* handler = find(end_of(it->get(), "Handler"));
        const long policy = number(it->get(), "OnFatalErrorPolicy", 2);
        if (!handler || text(handler, "Destination") != url || policy == 2 ||
            number(it->get(), "SubscriptionState", 2) != 2) {
            ++it;
            continue;
        }
        log(Pegasus::Logger::WARNING, "listener " + url + " failed: a subscription to it is " +
                                          (policy == 3 ? "disabled" : "removed"));
        const std::string before = written(it->get());
        _stored -= before.size();
        if (policy == 3) {
            set(it->get(), "SubscriptionState", "4");
            const std::string after = written(it->get());
            _stored += after.size();
            records += record(SET, after);
            ++it;
        } else {
            records += record(DELETE, before);
            it = _subscriptions.erase(it);
        }
    }
    if (records.empty())
        return;
    // The delivery's policy holds even when it could not be kept.
    CimError error;
    if (!keep(records, error))
        log(Pegasus::Logger::SEVERE, error.description);
    publish();
}

bool SubscriptionStore::keep(const std::string& records, CimError& error)
{
    if (!_refused.empty()) {
        error = {CIM_ERR_FAILED, "the subscriptions cannot be kept: " + _refused};
        return false;
    }
    std::string message;
    if (!_file.append(records, message)) {
        error = {CIM_ERR_FAILED, "the subscriptions could not be kept: " + message};
        log(Pegasus::Logger::SEVERE, message);
        return false;
    }
    // Once the journal outgrows the snapshot it is folded into it, so a
    // change costs about twice its own record, whatever the store holds.
    if (_file.journal_size() > std::max(FOLD_AT, _file.snapshot_size()) && !write_snapshot(message))
        log(Pegasus::Logger::SEVERE, message); // the journal still holds every change
    return true;
}

bool SubscriptionStore::write_snapshot(std::string& message)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<" + std::string(FILE_ROOT) + ">\n";
    for (const Instance_List* list : {&_filters, &_destinations, &_subscriptions})
        for (const Instance_Ptr& i : *list)
            text += written(i.get()) + "\n";
    text += "</" + std::string(FILE_ROOT) + ">\n";
    return _file.replace(text, message);
}

void SubscriptionStore::add_read(std::vector<Instance_Ptr>& read, std::size_t& left_out)
{
    // Filters and destinations first: a subscription's ends must exist.
    for (const bool ends : {true, false})
        for (Instance_Ptr& inst : read) {
            if (!inst)
                continue;
            Instance_List* list = list_of(inst->meta_class);
            if (list && (list != &_subscriptions) != ends)
                continue;
            CimError error;
            const std::string kept_text = written(inst.get());
            bool ok = list && check_size(inst.get(), kept_text, error) && check(inst.get(), list, error);
            if (ok && find(inst.get())) {
                error = {CIM_ERR_ALREADY_EXISTS, "it is there twice"};
                ok = false;
            }
            ok = ok && room_for(list, inst.get(), kept_text.size(), error);
            if (!ok) {
                left_out++;
                log(Pegasus::Logger::WARNING, std::string("a kept ") + inst->meta_class->name +
                                                  " is no longer served: " +
                                                  (list ? error.description : std::string("not a subscription class")));
                inst.reset();
                continue;
            }
            inst->__name_space = ClassNameSpace::INTEROP;
            _stored += kept_text.size();
            list->push_back(std::move(inst));
        }
}

bool SubscriptionStore::load(std::string& message)
{
    SubscriptionFile::Contents contents;
    std::string damage;
    switch (_file.read(contents, damage)) {
    case SubscriptionFile::Read::refused:
        _refused = damage;
        message = damage + ": no subscription is read or kept until it is put right";
        log(Pegasus::Logger::SEVERE, message);
        return false;
    case SubscriptionFile::Read::damaged:
        contents = SubscriptionFile::Contents();
        break;
    case SubscriptionFile::Read::ok:
        break;
    }
    std::lock_guard<std::mutex> g(_lock);
    // What the files hold, the journal's changes made in order.
    std::vector<Instance_Ptr> read;
    std::size_t left_out = 0;
    if (damage.empty() && !contents.snapshot.empty()) {
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_buffer(contents.snapshot.data(), contents.snapshot.size());
        if (!parsed || !doc.child(FILE_ROOT)) {
            damage = _file.path() + " is not a whole subscription file (" +
                     (parsed ? std::string("no ") + FILE_ROOT : std::string(parsed.description())) + ")";
        } else {
            for (pugi::xml_node node : doc.child(FILE_ROOT).children("INSTANCE")) {
                CimError error;
                if (Instance_Ptr inst = _reader.from_instance(node, error)) {
                    read.push_back(std::move(inst));
                } else {
                    left_out++;
                    log(Pegasus::Logger::WARNING, "a kept instance cannot be read again: " + error.description);
                }
            }
        }
    }
    for (std::size_t n = 0; damage.empty() && n < contents.records.size(); n++) {
        pugi::xml_document doc;
        const std::string& line = contents.records[n];
        const pugi::xml_node op = doc.load_buffer(line.data(), line.size()) ? doc.first_child() : pugi::xml_node();
        const bool setting = op && std::string(op.name()) == SET;
        CimError error;
        Instance_Ptr inst =
            op && (setting || std::string(op.name()) == DELETE) ? _reader.from_instance(op.child("INSTANCE"), error)
                                                                : nullptr;
        Instance_List* list = inst ? list_of(inst->meta_class) : nullptr;
        if (!list) {
            damage = _file.journal_path() + " record " + std::to_string(n + 1) + " cannot be read";
            break;
        }
        auto at = std::find_if(read.begin(), read.end(), [&](const Instance_Ptr& i) {
            return list_of(i->meta_class) == list && same(i.get(), inst.get());
        });
        if (at != read.end() && setting)
            *at = std::move(inst);
        else if (at != read.end())
            read.erase(at);
        else if (setting)
            read.push_back(std::move(inst));
    }
    if (contents.cut_short)
        log(Pegasus::Logger::WARNING, "the last change in " + _file.journal_path() +
                                          " was cut short while it was written (the server stopped): it is left out");
    add_read(read, left_out);
    if (!damage.empty() || left_out) {
        // Nothing is lost: the files go aside as they are, and what could
        // be read of them is kept anew.
        if (damage.empty())
            damage = std::to_string(left_out) + " kept instance(s) could not be served again";
        std::string aside;
        if (!_file.keep_aside(aside))
            _refused = aside;
        message = damage + "; " + aside;
        log(Pegasus::Logger::SEVERE, message);
    }
    std::string written_message;
    if (_refused.empty() && (!message.empty() || !contents.records.empty() || contents.cut_short) &&
        !write_snapshot(written_message))
        log(Pegasus::Logger::SEVERE, written_message);
    publish();
    return message.empty();
}

std::vector<IndicationRoute> SubscriptionStore::routes() const
{
    std::vector<IndicationRoute> out;
    for (const Instance_Ptr& s : _subscriptions) {
        if (number(s.get(), "SubscriptionState", 2) != 2)
            continue;
        const Instance* filter = find(end_of(s.get(), "Filter"));
        const Instance* handler = find(end_of(s.get(), "Handler"));
        IndicationRoute route;
        CimError error;
        if (!filter || !handler ||
            !IndicationQuery::parse(text(filter, "QueryLanguage"), text(filter, "Query"), _repository, route.query,
                                    error))
            continue;
        // Indications come from the arrays' name space: a filter that names
        // source name spaces without it selects none.
        std::vector<std::string> spaces = texts(filter, "SourceNamespaces");
        if (present(filter, "SourceNamespace"))
            spaces.push_back(text(filter, "SourceNamespace"));
        if (!spaces.empty() && std::none_of(spaces.begin(), spaces.end(), [](const std::string& ns) {
                return eqi(ns.c_str(), ClassNameSpace::ARRAYS);
            }))
            continue;
        route.destination = text(handler, "Destination");
        out.push_back(std::move(route));
    }
    return out;
}

void SubscriptionStore::publish()
{
    if (_routes)
        _routes(routes());
}

} // namespace cimserver
