// The framework adapter: builds the provider object of one registration
// record and drives it through the record's dispatch procedure with typed
// calls, one operation at a time.
//
// Ownership follows the dispatch procedures: an instance that get_instance
// finds, and every instance an enumeration or a request returns, belongs to
// the caller (held in Instance_Ptr); instances passed in stay the caller's.
// Instances that a provider lends (associators, associator names) are
// copied before they are handed on.
//
// Every request (operations 5 to 10 and 14 to 16) runs on a provider object
// of its own, made, loaded, unloaded and destroyed for it, so requests of
// one provider run side by side, none waits for another (however long that
// one waits on an array) and no request state is ever shared. The adapter
// holds no lock of its own. Its resident object serves load, unload and the
// indication operations (the module's indication providers serialise
// enabling and disabling themselves). No operation throws.
#ifndef HOST_ADAPTER_PEGASUS_ADAPTER_H
#define HOST_ADAPTER_PEGASUS_ADAPTER_H

#include <cimple/cimple.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace cimple {

struct Instance_Deleter {
    void operator()(Instance* inst) const { destroy(inst); }
};
using Instance_Ptr = std::unique_ptr<Instance, Instance_Deleter>;
using Instance_List = std::vector<Instance_Ptr>;
// Takes each instance an enumeration hands over, as the provider hands it;
// false stops the enumeration, which then fails.
using Instance_Consumer = std::function<bool(Instance_Ptr)>;

// What one call's callback gathers (the adapter's own).
struct Adapter_Collector;

class Pegasus_Adapter {
public:
    // The record whose provider name equals name (ASCII, without regard to
    // case) in the list that starts at head, or null.
    static const Registration* find(const Registration* head, const char* name);

    // Finds the record and creates its provider object (operation 1). Null
    // when no record has that name or the provider object was not made.
    static Pegasus_Adapter* create(const Registration* head, const char* provider_name);

    // Unloads the provider object if it is loaded, then destroys it.
    ~Pegasus_Adapter();
    Pegasus_Adapter(const Pegasus_Adapter&) = delete;
    Pegasus_Adapter& operator=(const Pegasus_Adapter&) = delete;

    const Registration* registration() const { return _registration; }
    const char* provider_name() const { return _registration->provider_name; }
    bool loaded() const { return _loaded.load(); }

    // Operations 3 and 4; the provider's status (0 done).
    int load();
    int unload();

    // Operations 0 and 13: the served class's record and the module's
    // repository (null when the procedure does not answer 0).
    const Meta_Class* meta_class();
    const Meta_Repository* repository();

    // Operation 5. The found instance passes to the caller.
    int get_instance(const Instance* model, Instance_Ptr& instance);

    // Operation 6: every instance the provider hands over is appended to
    // instances. Without a model the adapter supplies an empty instance of
    // the served class.
    int enum_instances(Instance_List& instances, const Instance* model = nullptr);
    // The same, with each instance handed to each as the provider hands it
    // over, so an answer can be written while it is made instead of being
    // held whole. An exception from each fails the enumeration (it does
    // not pass through the provider). wanted, when given, is asked before
    // the walk: false fails the enumeration without a walk (the one who
    // asked went away meanwhile).
    int enum_instances(const Instance_Consumer& each, const Instance* model = nullptr,
                       const std::function<bool()>& wanted = nullptr);

    // Operations 7, 8 and 9.
    int create_instance(Instance* instance);
    int delete_instance(const Instance* instance);
    int modify_instance(const Instance* model, const Instance* instance);

    // Operation 10: the provider reads its inputs from the method instance
    // and writes its outputs and return value there.
    int invoke_method(const Instance* instance, Instance* method);

    // Operations 11 and 12.
    int enable_indications(Indication_Proc proc, void* client_data);
    int disable_indications();

    // Operations 14, 15 and 16. When an association provider answers one of
    // them as not supported, the adapter answers it itself: it takes the
    // provider's references of the source (or, when the provider does not
    // answer those either, enumerates the association class) and keeps what
    // matches the source instance, role, result class and result role
    // (associators and their names: each far end once).
    int enum_associator_names(const Instance* source, const String& result_class, const String& role,
                              const String& result_role, Instance_List& names);
    int enum_references(const Instance* source, const String& role, Instance_List& references,
                        const Instance* model = nullptr);
    int enum_associators(const Instance* source, const String& result_class, const String& role,
                         const String& result_role, Instance_List& associators);

private:
    Pegasus_Adapter(const Registration* registration, void* object);

    int call(int operation, void* a1 = nullptr, void* a2 = nullptr, void* a3 = nullptr, void* a4 = nullptr,
             void* a5 = nullptr, void* a6 = nullptr);
    const Meta_Class* served_class();
    int enumerate_into(Adapter_Collector& c, const Instance* model, const std::function<bool()>& wanted = nullptr);
    class Request_Object;
    // An association provider that does not answer get_instance: the
    // enumerated instance key-equal to the model (60 when none; 61 when the
    // enumeration fails).
    int instance_by_enumeration(Request_Object& object, const Instance* model, Instance_Ptr& instance);
    int associators_by_enumeration(Request_Object& object, int operation, const Instance* source, const String& result_class,
                                   const String& role, const String& result_role, Instance_List& out);

    const Registration* _registration;
    void* _object;
    std::atomic<bool> _loaded;
};

} // namespace cimple

// The adapter's C entry, eight untyped arguments. arg0 is the kind, 'P' (80)
// cast to a pointer; arg1 the provider name (a const Pegasus::String*); arg2
// the head of the registration list (cimple::Registration*); arg3 where the
// adapter is stored (void**). The adapter finds the record of that name in
// the list, makes a Pegasus_Adapter for it and stores its address in *arg3
// (untouched when it makes none). The other arguments are unused. Returns 0
// when it stored an adapter, -1 otherwise.
extern "C" int cimple_pegasus_adapter(void* arg0, void* arg1, void* arg2, void* arg3, void* arg4, void* arg5,
                                      void* arg6, void* arg7);

#endif
