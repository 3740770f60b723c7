// The indication subscriptions of the interop name space, the CIM server's
// own instances: filters (CIM_IndicationFilter), listener destinations
// (CIM_ListenerDestinationCIMXML) and the subscriptions that tie one to the
// other (CIM_IndicationSubscription). Every change is checked (a filter
// must be one the server can evaluate; a subscription's ends must exist;
// nothing in use is deleted; no instance and no store grows past its
// bound), written to the subscription files before it is answered (its own
// record, in proportion to the change: see SubscriptionFile), and handed to
// delivery as the routes of the enabled subscriptions. The store's lock
// covers memory and the files only: it is never held while a listener is
// talked to.
#ifndef HOST_CIMSERVER_SUBSCRIPTION_STORE_H
#define HOST_CIMSERVER_SUBSCRIPTION_STORE_H

#include "CimStatus.h"
#include "CimXmlReader.h"
#include "IndicationExporter.h"
#include "SubscriptionFile.h"

#include <Pegasus_Adapter.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace cimserver {

class SubscriptionStore {
public:
    // The most listener destinations kept (each has a delivery queue).
    static constexpr std::size_t MAX_DESTINATIONS = 64;
    // The most filters and subscriptions kept, each.
    static constexpr std::size_t MAX_FILTERS = 1024;
    // The longest filter query, bytes.
    static constexpr std::size_t MAX_QUERY = 16u << 10;
    // The most bytes one instance takes written as CIM-XML, and all of them
    // together.
    static constexpr std::size_t MAX_INSTANCE = 64u << 10;
    static constexpr std::size_t MAX_STORED = 16u << 20;

    using Routes = std::function<void(std::vector<IndicationRoute>)>;

    // file: where the subscriptions are kept; system_name: the SystemName
    // given to filters and destinations that are created without one.
    SubscriptionStore(const cimple::Meta_Repository* repository, std::string file, std::string system_name);

    // Reads the files. What can no longer be served (a filter the server
    // cannot evaluate, a subscription whose ends are gone, an instance past
    // its bound) is left out and logged. Files that cannot be read whole, or
    // of which anything was left out, are kept aside (logged SEVERE) and
    // what was read of them is written anew. False with a message when
    // anything was left out or the files are refused; refused files are
    // never written: every change is then refused as well.
    bool load(std::string& message);

    // Where the routes go after every change (and at once).
    void on_routes(Routes routes);

    // True when the class is, or derives from, one the store serves.
    bool owns(const cimple::Meta_Class* mc) const;
    // True when instances the store serves are of the class or a subclass.
    bool serves_below(const cimple::Meta_Class* base) const;

    // Each answers false with the error to answer.
    bool create(cimple::Instance* inst, cimple::Instance_Ptr& name, CimError& error);
    bool remove(const cimple::Instance* name, CimError& error);
    bool get(const cimple::Instance* name, cimple::Instance_Ptr& found, CimError& error) const;

    // Copies of the instances of the class and its subclasses.
    cimple::Instance_List enumerate(const cimple::Meta_Class* base) const;
    // The subscriptions that reference source (through role, when given)
    // and are of assoc_class (any when null).
    cimple::Instance_List references(const cimple::Instance* source, const cimple::Meta_Class* assoc_class,
                                     const std::string& role) const;
    // The other ends of those subscriptions, of result_class when given.
    cimple::Instance_List associators(const cimple::Instance* source, const cimple::Meta_Class* assoc_class,
                                      const cimple::Meta_Class* result_class, const std::string& role,
                                      const std::string& result_role) const;

    // A destination gave up an indication after every retry: its
    // subscriptions follow their OnFatalErrorPolicy (3 Disable, 4 Remove).
    void destination_failed(const std::string& url);

private:
    // The list instances of that class live in; null for another class.
    cimple::Instance_List* list_of(const cimple::Meta_Class* mc);
    bool check_filter(cimple::Instance* inst, CimError& error) const;
    bool check_destination(cimple::Instance* inst, CimError& error) const;
    bool check_subscription(cimple::Instance* inst, CimError& error) const;
    void fill_system_keys(cimple::Instance* inst);
    // A filter, destination or subscription as its class's list takes it.
    bool check(cimple::Instance* inst, const cimple::Instance_List* list, CimError& error) const;
    // Within MAX_QUERY and MAX_INSTANCE (written: the instance as kept).
    bool check_size(const cimple::Instance* inst, const std::string& written, CimError& error) const;
    // Room in the list and the store for one more of size bytes.
    bool room_for(const cimple::Instance_List* list, const cimple::Instance* inst, std::size_t size,
                  CimError& error) const;
    // The instance as the files keep it.
    std::string written(const cimple::Instance* inst) const;
    const cimple::Instance* find(const cimple::Instance* name) const; // _lock held
    // Keeps the journal records of a change made in memory; false (error
    // set) when they could not be kept.
    bool keep(const std::string& records, CimError& error); // _lock held
    bool write_snapshot(std::string& message);             // _lock held
    // Takes what the files held, leaving out (and counting) what is not served.
    void add_read(std::vector<cimple::Instance_Ptr>& read, std::size_t& left_out); // _lock held
    std::vector<IndicationRoute> routes() const; // _lock held
    void publish();                              // _lock held

    const cimple::Meta_Repository* _repository;
    CimXmlReader _reader;
    SubscriptionFile _file;
    std::string _refused; // why the files are not used; empty when they are
    std::size_t _stored = 0; // bytes of the instances kept, as written
    std::string _system_name;
    const cimple::Meta_Class* _filter_class;       // CIM_IndicationFilter
    const cimple::Meta_Class* _destination_class;  // CIM_ListenerDestination
    const cimple::Meta_Class* _subscription_class; // CIM_AbstractIndicationSubscription
    mutable std::mutex _lock;
    cimple::Instance_List _filters, _destinations, _subscriptions;
    Routes _routes;
    unsigned long long _made = 0; // names given so far
};

} // namespace cimserver

#endif
