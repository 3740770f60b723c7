#include "Pegasus_Adapter.h"

#include <new>

namespace cimple {

// What a request's callback gathers: the instances (to a list, or to a
// consumer as they come) and the end call.
struct Adapter_Collector {
    Instance_List* out = nullptr;
    const Instance_Consumer* each = nullptr;
    int end_calls = 0;
    int end_status = 0;
    bool failed = false; // an instance could not be kept, or the consumer stopped

    explicit Adapter_Collector(Instance_List& list) : out(&list) {}
    explicit Adapter_Collector(const Instance_Consumer& consumer) : each(&consumer) {}

    void take(Instance* inst)
    {
        Instance_Ptr held(inst);
        if (failed)
            return; // the provider goes on after a refusal: the rest is dropped
        try {
            if (each)
                failed = !(*each)(std::move(held));
            else
                out->push_back(std::move(held));
        } catch (...) {
            failed = true;
        }
    }
    void copy(const Instance* inst)
    {
        Instance* c = clone(inst);
        if (!c) {
            failed = true;
            return;
        }
        take(c);
    }
    void end(int status)
    {
        ++end_calls;
        end_status = status;
    }
};

namespace {

bool ascii_equal_nocase(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a);
        unsigned char y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
        if (x == 0)
            return true;
    }
}

// Instances given away (enumerations, references) are kept; instances lent
// (associators, associator names) are copied.
bool given_instance(Instance* inst, int status, void* client_data)
{
    Adapter_Collector* c = static_cast<Adapter_Collector*>(client_data);
    if (inst)
        c->take(inst);
    else
        c->end(status);
    return !c->failed;
}

bool enum_instances_proc(Instance* inst, Enum_Instances_Status status, void* client_data)
{
    return given_instance(inst, status, client_data);
}

bool enum_references_proc(Instance* inst, Enum_References_Status status, void* client_data)
{
    return given_instance(inst, status, client_data);
}

bool lent_instance(const Instance* inst, int status, void* client_data)
{
    Adapter_Collector* c = static_cast<Adapter_Collector*>(client_data);
    if (inst)
        c->copy(inst);
    else
        c->end(status);
    return !c->failed;
}

bool enum_associators_proc(const Instance* inst, Enum_Associators_Status status, void* client_data)
{
    return lent_instance(inst, status, client_data);
}

bool enum_associator_names_proc(const Instance* inst, Enum_Associator_Names_Status status, void* client_data)
{
    return lent_instance(inst, status, client_data);
}

void* as_arg(const void* p)
{
    return const_cast<void*>(p);
}

template <class F>
void* proc_arg(F f)
{
    return reinterpret_cast<void*>(f);
}

// The status an operation answers when it could not be carried out: its
// own failure code, -1 for the operations without one.
int failure_status(int op) noexcept
{
    static constexpr int failed[][2] = {
        {OPERATION_ENUM_INSTANCES, ENUM_INSTANCES_FAILED},
        {OPERATION_ENUM_ASSOCIATOR_NAMES, ENUM_ASSOCIATOR_NAMES_FAILED},
        {OPERATION_ENUM_REFERENCES, ENUM_REFERENCES_FAILED},
        {OPERATION_ENUM_ASSOCIATORS, ENUM_ASSOCIATORS_FAILED},
        {OPERATION_ENABLE_INDICATIONS, ENABLE_INDICATIONS_FAILED},
        {OPERATION_DISABLE_INDICATIONS, DISABLE_INDICATIONS_FAILED},
    };
    for (const auto& f : failed)
        if (f[0] == op)
            return f[1];
    return -1;
}

// Calls a procedure; one that throws (none of the module's do) counts as
// failed, so that no exception passes through the adapter.
int run_proc(const Registration* r, int op, void* a0, void* a1 = nullptr, void* a2 = nullptr, void* a3 = nullptr,
             void* a4 = nullptr, void* a5 = nullptr, void* a6 = nullptr) noexcept
{
    try {
        return r->proc(r, op, a0, a1, a2, a3, a4, a5, a6, nullptr);
    } catch (...) {
        return failure_status(op);
    }
}

// An empty instance of the class, every property null, as the model of a
// request; null when it cannot be made.
Instance_Ptr make_model(const Meta_Class* mc) noexcept
{
    try {
        Instance_Ptr model(create(mc));
        nullify_properties(model.get());
        return model;
    } catch (...) {
        return Instance_Ptr();
    }
}

bool contains_key_equal(const Instance_List& list, const Instance* inst)
{
    for (const Instance_Ptr& p : list)
        if (key_eq(p.get(), inst))
            return true;
    return false;
}

} // namespace

// The provider object of one request: made, loaded, and unloaded and
// destroyed when the request ends. Null when it could not be made (then
// every call answers its failure status).
class Pegasus_Adapter::Request_Object {
public:
    explicit Request_Object(const Registration* r) : _registration(r)
    {
        if (run_proc(r, OPERATION_CREATE_PROVIDER, &_object) != 0 || !_object) {
            _object = nullptr;
            return;
        }
        if (run_proc(r, OPERATION_LOAD, _object) != 0) {
            run_proc(r, OPERATION_DESTROY_PROVIDER, _object);
            _object = nullptr;
        }
    }
    ~Request_Object()
    {
        if (!_object)
            return;
        run_proc(_registration, OPERATION_UNLOAD, _object);
        run_proc(_registration, OPERATION_DESTROY_PROVIDER, _object);
    }
    Request_Object(const Request_Object&) = delete;
    Request_Object& operator=(const Request_Object&) = delete;

    int call(int operation, void* a1 = nullptr, void* a2 = nullptr, void* a3 = nullptr, void* a4 = nullptr,
             void* a5 = nullptr, void* a6 = nullptr)
    {
        if (!_object)
            return failure_status(operation);
        return run_proc(_registration, operation, _object, a1, a2, a3, a4, a5, a6);
    }

private:
    const Registration* _registration;
    void* _object = nullptr;
};

const Registration* Pegasus_Adapter::find(const Registration* head, const char* name)
{
    if (!name)
        return nullptr;
    // The list is fixed once the module is loaded; a guard against a cycle
    // keeps a damaged list from hanging the caller.
    size_t guard = 0;
    for (const Registration* r = head; r && guard < 1000000; r = r->next, ++guard)
        if (ascii_equal_nocase(r->provider_name, name))
            return r;
    return nullptr;
}

Pegasus_Adapter* Pegasus_Adapter::create(const Registration* head, const char* provider_name)
{
    const Registration* r = find(head, provider_name);
    if (!r || !r->proc)
        return nullptr;
    void* object = nullptr;
    int status = run_proc(r, OPERATION_CREATE_PROVIDER, &object);
    if (status != 0 || !object)
        return nullptr;
    Pegasus_Adapter* adapter = new (std::nothrow) Pegasus_Adapter(r, object);
    if (!adapter)
        run_proc(r, OPERATION_DESTROY_PROVIDER, object);
    return adapter;
}

Pegasus_Adapter::Pegasus_Adapter(const Registration* registration, void* object)
    : _registration(registration), _object(object), _loaded(false)
{
}

Pegasus_Adapter::~Pegasus_Adapter()
{
    if (_loaded)
        call(OPERATION_UNLOAD);
    _loaded = false;
    run_proc(_registration, OPERATION_DESTROY_PROVIDER, _object);
    _object = nullptr;
}

int Pegasus_Adapter::call(int operation, void* a1, void* a2, void* a3, void* a4, void* a5, void* a6)
{
    return run_proc(_registration, operation, _object, a1, a2, a3, a4, a5, a6);
}

int Pegasus_Adapter::load()
{
    int status = call(OPERATION_LOAD);
    if (status == 0)
        _loaded = true;
    return status;
}

int Pegasus_Adapter::unload()
{
    int status = call(OPERATION_UNLOAD);
    if (status == 0)
        _loaded = false;
    return status;
}

const Meta_Class* Pegasus_Adapter::served_class()
{
    const Meta_Class* mc = nullptr;
    if (run_proc(_registration, OPERATION_GET_META_CLASS, &mc) != 0)
        return nullptr;
    return mc;
}

const Meta_Class* Pegasus_Adapter::meta_class()
{
    return served_class();
}

const Meta_Repository* Pegasus_Adapter::repository()
{
    const Meta_Repository* mr = nullptr;
    if (run_proc(_registration, OPERATION_GET_REPOSITORY, &mr) != 0)
        return nullptr;
    return mr;
}

int Pegasus_Adapter::get_instance(const Instance* model, Instance_Ptr& instance)
{
    Request_Object object(_registration);
    Instance* found = nullptr;
    int status = object.call(OPERATION_GET_INSTANCE, as_arg(model), &found);
    instance.reset(status == GET_INSTANCE_OK ? found : nullptr);
    if (status != GET_INSTANCE_OK && found)
        destroy(found);
    const Meta_Class* mc = served_class();
    if (status == GET_INSTANCE_UNSUPPORTED && model && mc && (mc->flags & CIMPLE_FLAG_ASSOCIATION))
        return instance_by_enumeration(object, model, instance);
    return status;
}

int Pegasus_Adapter::instance_by_enumeration(Request_Object& object, const Instance* model, Instance_Ptr& instance)
{
    Instance_List all;
    Adapter_Collector c(all);
    Instance_Ptr own_model = make_model(served_class());
    if (!own_model)
        return GET_INSTANCE_UNSUPPORTED;
    try {
        int status = object.call(OPERATION_ENUM_INSTANCES, own_model.get(), proc_arg(&enum_instances_proc), &c);
        if (status != 0 || c.failed)
            return GET_INSTANCE_UNSUPPORTED;
        for (Instance_Ptr& p : all)
            if (key_eq(p.get(), model)) {
                instance = std::move(p);
                return GET_INSTANCE_OK;
            }
    } catch (...) {
        return GET_INSTANCE_UNSUPPORTED;
    }
    return GET_INSTANCE_NOT_FOUND;
}

int Pegasus_Adapter::enum_instances(Instance_List& instances, const Instance* model)
{
    Adapter_Collector c(instances);
    return enumerate_into(c, model);
}

int Pegasus_Adapter::enum_instances(const Instance_Consumer& each, const Instance* model,
                                    const std::function<bool()>& wanted)
{
    Adapter_Collector c(each);
    return enumerate_into(c, model, wanted);
}

int Pegasus_Adapter::enumerate_into(Adapter_Collector& c, const Instance* model, const std::function<bool()>& wanted)
{
    if (wanted && !wanted())
        return ENUM_INSTANCES_FAILED;
    Request_Object object(_registration);
    Instance_Ptr own_model;
    if (!model) {
        own_model = make_model(served_class());
        if (!own_model)
            return ENUM_INSTANCES_FAILED;
        model = own_model.get();
    }
    int status = object.call(OPERATION_ENUM_INSTANCES, as_arg(model), proc_arg(&enum_instances_proc), &c);
    if (status == 0 && c.failed)
        status = ENUM_INSTANCES_FAILED;
    return status;
}

int Pegasus_Adapter::create_instance(Instance* instance)
{
    return Request_Object(_registration).call(OPERATION_CREATE_INSTANCE, instance);
}

int Pegasus_Adapter::delete_instance(const Instance* instance)
{
    return Request_Object(_registration).call(OPERATION_DELETE_INSTANCE, as_arg(instance));
}

int Pegasus_Adapter::modify_instance(const Instance* model, const Instance* instance)
{
    return Request_Object(_registration).call(OPERATION_MODIFY_INSTANCE, as_arg(model), as_arg(instance));
}

int Pegasus_Adapter::invoke_method(const Instance* instance, Instance* method)
{
    return Request_Object(_registration).call(OPERATION_INVOKE_METHOD, as_arg(instance), method);
}

int Pegasus_Adapter::enable_indications(Indication_Proc proc, void* client_data)
{
    return call(OPERATION_ENABLE_INDICATIONS, proc_arg(proc), client_data);
}

int Pegasus_Adapter::disable_indications()
{
    return call(OPERATION_DISABLE_INDICATIONS);
}

int Pegasus_Adapter::associators_by_enumeration(Request_Object& object, int operation, const Instance* source, const String& result_class,
                                                const String& role, const String& result_role,
                                                Instance_List& out)
{
    int failed = static_cast<int>(ENUM_ASSOCIATORS_FAILED);
    if (operation == OPERATION_ENUM_ASSOCIATOR_NAMES)
        failed = ENUM_ASSOCIATOR_NAMES_FAILED;
    else if (operation == OPERATION_ENUM_REFERENCES)
        failed = ENUM_REFERENCES_FAILED;
    const Meta_Class* mc = served_class();
    Instance_Ptr model = make_model(mc);
    if (!source || !model)
        return failed;
    Instance_List associations;
    Adapter_Collector c(associations);
    int status = ENUM_REFERENCES_UNSUPPORTED;
    if (operation != OPERATION_ENUM_REFERENCES) {
        // A provider that answers the references of the source gives the
        // associations that can lead from it, without enumerating them all.
        status = object.call(OPERATION_ENUM_REFERENCES, as_arg(source), model.get(), as_arg(&role),
                             proc_arg(&enum_references_proc), &c);
        if (status == ENUM_REFERENCES_UNSUPPORTED) {
            associations.clear();
            c.failed = false;
        }
    }
    if (status == ENUM_REFERENCES_UNSUPPORTED)
        status = object.call(OPERATION_ENUM_INSTANCES, model.get(), proc_arg(&enum_instances_proc), &c);
    if (status != 0 || c.failed)
        return failed;
    try {
        Instance_List found;
        for (Instance_Ptr& assoc : associations) {
            if (operation == OPERATION_ENUM_REFERENCES) {
                if (is_reference_of(source, assoc.get(), role.c_str()))
                    found.push_back(std::move(assoc));
                continue;
            }
            const Instance* ends[CIMPLE_MAX_REFERENCES_PER_CLASS];
            const ssize_t count = get_associators(source, assoc.get(), result_class.c_str(), role.c_str(),
                                                  result_role.c_str(), ends);
            for (ssize_t i = 0; i < count; ++i) {
                if (contains_key_equal(found, ends[i]))
                    continue;
                Instance_Ptr copy(clone(ends[i]));
                if (!copy)
                    return failed;
                found.push_back(std::move(copy));
            }
        }
        for (Instance_Ptr& p : found)
            out.push_back(std::move(p));
    } catch (...) {
        return failed;
    }
    return 0;
}

int Pegasus_Adapter::enum_associator_names(const Instance* source, const String& result_class, const String& role,
                                           const String& result_role, Instance_List& names)
{
    Request_Object object(_registration);
    size_t before = names.size();
    Adapter_Collector c(names);
    int status = object.call(OPERATION_ENUM_ASSOCIATOR_NAMES, as_arg(source), as_arg(&result_class), as_arg(&role),
                      as_arg(&result_role), proc_arg(&enum_associator_names_proc), &c);
    if (status == ENUM_ASSOCIATOR_NAMES_UNSUPPORTED) {
        // Nothing the provider handed over before it declined counts.
        names.erase(names.begin() + static_cast<std::ptrdiff_t>(before), names.end());
        return associators_by_enumeration(object, OPERATION_ENUM_ASSOCIATOR_NAMES, source, result_class, role, result_role,
                                          names);
    }
    if (status == 0 && c.failed)
        status = ENUM_ASSOCIATOR_NAMES_FAILED;
    return status;
}

int Pegasus_Adapter::enum_references(const Instance* source, const String& role, Instance_List& references,
                                     const Instance* model)
{
    Request_Object object(_registration);
    Instance_Ptr own_model;
    if (!model) {
        own_model = make_model(served_class());
        if (!own_model)
            return ENUM_REFERENCES_FAILED;
        model = own_model.get();
    }
    size_t before = references.size();
    Adapter_Collector c(references);
    int status = object.call(OPERATION_ENUM_REFERENCES, as_arg(source), as_arg(model), as_arg(&role),
                             proc_arg(&enum_references_proc), &c);
    if (status == ENUM_REFERENCES_UNSUPPORTED) {
        // Nothing the provider handed over before it declined counts.
        references.erase(references.begin() + static_cast<std::ptrdiff_t>(before), references.end());
        return associators_by_enumeration(object, OPERATION_ENUM_REFERENCES, source, String(), role, String(), references);
    }
    if (status == 0 && c.failed)
        status = ENUM_REFERENCES_FAILED;
    return status;
}

int Pegasus_Adapter::enum_associators(const Instance* source, const String& result_class, const String& role,
                                      const String& result_role, Instance_List& associators)
{
    Request_Object object(_registration);
    size_t before = associators.size();
    Adapter_Collector c(associators);
    int status = object.call(OPERATION_ENUM_ASSOCIATORS, as_arg(source), as_arg(&result_class), as_arg(&role),
                      as_arg(&result_role), proc_arg(&enum_associators_proc), &c);
    if (status == ENUM_ASSOCIATORS_UNSUPPORTED) {
        // Nothing the provider handed over before it declined counts.
        associators.erase(associators.begin() + static_cast<std::ptrdiff_t>(before), associators.end());
        return associators_by_enumeration(object, OPERATION_ENUM_ASSOCIATORS, source, result_class, role, result_role,
                                          associators);
    }
    if (status == 0 && c.failed)
        status = ENUM_ASSOCIATORS_FAILED;
    return status;
}

} // namespace cimple
