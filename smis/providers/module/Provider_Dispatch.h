// The three shapes of dispatch procedure (association, instance, indication).
//
// The adapter calls a provider's procedure with an operation code and eight
// untyped arguments; the shape turns the call into a call of the provider
// class's member with typed arguments and returns the member's status.
// Every provider's procedure is one instantiation of a shape (generated in
// Provider_Procedures.cpp from the provider table).
//
// No exception leaves a procedure: whatever a member throws is caught and
// the operation answers its failure status (enum_instances 70, associator
// names 110, references 120, associators 170, enable indications 140,
// disable indications 150, any other operation -1). An enumeration or
// associator request that fails so still gets its end call, so that the
// adapter's request is always closed.
#ifndef SMIS_PROVIDERS_PROVIDER_DISPATCH_H
#define SMIS_PROVIDERS_PROVIDER_DISPATCH_H

#include <cimple/cimple.h>

#include <memory>
#include <new>
#include <type_traits>

#include "schema_repository.h"
#include "Instance_Keys.h"

namespace cimple {

// Operation codes outside 0..16 and operations a shape lacks answer this.
constexpr int DISPATCH_NO_OPERATION = -1;

// The status an operation answers when it fails without a status of its own
// (an exception, a missing argument).
inline int dispatch_failure_status(int operation)
{
    switch (operation) {
    case OPERATION_ENUM_INSTANCES: return ENUM_INSTANCES_FAILED;
    case OPERATION_ENUM_ASSOCIATOR_NAMES: return ENUM_ASSOCIATOR_NAMES_FAILED;
    case OPERATION_ENUM_REFERENCES: return ENUM_REFERENCES_FAILED;
    case OPERATION_ENUM_ASSOCIATORS: return ENUM_ASSOCIATORS_FAILED;
    case OPERATION_ENABLE_INDICATIONS: return ENABLE_INDICATIONS_FAILED;
    case OPERATION_DISABLE_INDICATIONS: return DISABLE_INDICATIONS_FAILED;
    default: return DISPATCH_NO_OPERATION;
    }
}

// ASCII comparison without regard to case (the C locale's notion, whatever
// locale the process runs in).
inline bool ascii_equal_nocase(const char* a, const char* b)
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

// The method record of a method instance, or null when the instance is
// null or not a method instance: a method instance's head points at its
// Meta_Method through the class-record pointer.
inline const Meta_Method* method_record(const Instance* method)
{
    if (!method || !method->meta_class || !(method->meta_class->flags & CIMPLE_FLAG_METHOD))
        return nullptr;
    return reinterpret_cast<const Meta_Method*>(method->meta_class);
}

// True when the method instance's record lays out the same parameters as
// the record that the served class lists under that name, so that the
// instance can be read as that method's struct. A method instance of
// another class's method of the same name does not pass.
inline bool same_layout(const Meta_Method* given, const Meta_Method* expected)
{
    return given == expected ||
           (given->meta_features == expected->meta_features &&
            given->num_meta_features == expected->num_meta_features && given->size == expected->size);
}

namespace dispatch_detail {

inline const String& text_or_empty(const void* p)
{
    static const String empty;
    return p ? *static_cast<const String*>(p) : empty;
}

// The end call of a request: the callback once more with a null instance,
// the final status and the client data. A callback that throws is ignored.
template <class PROC, class STATUS>
void end_call(void* proc, void* client_data, int status)
{
    if (!proc)
        return;
    try {
        reinterpret_cast<PROC>(proc)(nullptr, static_cast<STATUS>(status), client_data);
    } catch (...) {
    }
}

// After a failure of an enumeration or associator request: close it.
inline void end_failed_request(int operation, int status, void* a2, void* a3, void* a4, void* a5, void* a6)
{
    switch (operation) {
    case OPERATION_ENUM_INSTANCES:
        end_call<Enum_Instances_Proc, Enum_Instances_Status>(a2, a3, status);
        break;
    case OPERATION_ENUM_ASSOCIATOR_NAMES:
        end_call<Enum_Associator_Names_Proc, Enum_Associator_Names_Status>(a5, a6, status);
        break;
    case OPERATION_ENUM_REFERENCES:
        end_call<Enum_References_Proc, Enum_References_Status>(a4, a5, status);
        break;
    case OPERATION_ENUM_ASSOCIATORS:
        end_call<Enum_Associators_Proc, Enum_Associators_Status>(a5, a6, status);
        break;
    default:
        break;
    }
}

// Operations 0 to 4 and 13, the same in every shape. True when the
// operation is one of them (its status in `status`).
template <class PROVIDER, class CLASS>
bool common_operation(int operation, void* a0, int& status)
{
    switch (operation) {
    case OPERATION_GET_META_CLASS:
        if (!a0)
            return status = DISPATCH_NO_OPERATION, true;
        *static_cast<const Meta_Class**>(a0) = &CLASS::static_meta_class;
        return status = 0, true;
    case OPERATION_CREATE_PROVIDER: {
        if (!a0)
            return status = DISPATCH_NO_OPERATION, true;
        PROVIDER** out = static_cast<PROVIDER**>(a0);
        *out = nullptr;
        // A failed allocation leaves null in place and still answers 0; the
        // adapter sees that no object was made.
        *out = new (std::nothrow) PROVIDER;
        return status = 0, true;
    }
    case OPERATION_DESTROY_PROVIDER:
        delete static_cast<PROVIDER*>(a0);
        return status = 0, true;
    case OPERATION_LOAD:
        status = a0 ? static_cast<int>(static_cast<PROVIDER*>(a0)->load()) : DISPATCH_NO_OPERATION;
        return true;
    case OPERATION_UNLOAD:
        status = a0 ? static_cast<int>(static_cast<PROVIDER*>(a0)->unload()) : DISPATCH_NO_OPERATION;
        return true;
    case OPERATION_GET_REPOSITORY:
        if (!a0)
            return status = DISPATCH_NO_OPERATION, true;
        *static_cast<const Meta_Repository**>(a0) = &schema_repository;
        return status = 0, true;
    default:
        return false;
    }
}

// Operations 6 to 9, the same in the association and instance shapes.
template <class PROVIDER, class CLASS>
bool instance_operation(PROVIDER* provider, int operation, void* a1, void* a2, void* a3, int& status)
{
    switch (operation) {
    case OPERATION_ENUM_INSTANCES: {
        Enum_Instances_Handler<CLASS> handler(reinterpret_cast<Enum_Instances_Proc>(a2), a3);
        status = provider->enum_instances(static_cast<const CLASS*>(a1), &handler);
        end_call<Enum_Instances_Proc, Enum_Instances_Status>(a2, a3, status);
        return true;
    }
    case OPERATION_CREATE_INSTANCE:
        status = provider->create_instance(static_cast<CLASS*>(a1));
        return true;
    case OPERATION_DELETE_INSTANCE:
        status = provider->delete_instance(static_cast<const CLASS*>(a1));
        return true;
    case OPERATION_MODIFY_INSTANCE:
        status = provider->modify_instance(static_cast<const CLASS*>(a1), static_cast<const CLASS*>(a2));
        return true;
    default:
        return false;
    }
}

// Keeps the first association key-equal to the model among those a
// references request hands over; the rest are freed.
struct Key_Equal_Match {
    const Instance* model;
    Instance* match = nullptr;
    ~Key_Equal_Match()
    {
        if (match)
            destroy(match);
    }
};

inline bool keep_key_equal(Instance* instance, Enum_References_Status, void* client_data)
{
    auto* found = static_cast<Key_Equal_Match*>(client_data);
    if (!instance)
        return true;
    if (!found->match && same_instance(instance, found->model))
        found->match = instance;
    else
        destroy(instance);
    return true;
}

// The end an association provider looks an instance up from: the role its
// table row names (GET_INSTANCE_ROLE), or none (the last end).
template <class PROVIDER, class = void>
struct Get_Instance_Role {
    static constexpr const char* name = nullptr;
};
template <class PROVIDER>
struct Get_Instance_Role<PROVIDER, std::void_t<decltype(PROVIDER::GET_INSTANCE_ROLE)>> {
    static constexpr const char* name = PROVIDER::GET_INSTANCE_ROLE;
};

// GetInstance of an association built from its keys' two ends: the
// references of one non-null end (the provider's chosen role, else the
// model's last one), through that end's role, and among them the one
// key-equal to the model. A provider that does not answer references (or
// fails to) answers "not supported", so the caller may still look the
// instance up in the whole enumeration.
template <class PROVIDER, class CLASS>
int association_by_references(PROVIDER* provider, const CLASS* model, Instance** out)
{
    const char* chosen = Get_Instance_Role<PROVIDER>::name;
    const Meta_Class* mc = model ? model->meta_class : nullptr;
    const Meta_Reference* role = nullptr;
    const Instance* end = nullptr;
    for (std::size_t i = 0; mc && i < mc->num_meta_features; ++i) {
        const Meta_Feature* f = mc->meta_features[i];
        if (!(f->flags & CIMPLE_FLAG_REFERENCE) || (f->flags & CIMPLE_FLAG_EMBEDDED_OBJECT))
            continue;
        const auto* r = reinterpret_cast<const Meta_Reference*>(f);
        if (r->subscript != 0)
            continue;
        if (const Instance* value =
                *reinterpret_cast<Instance* const*>(reinterpret_cast<const char*>(model) + r->offset)) {
            const bool isChosen = chosen && eqi(r->name, chosen);
            if (isChosen || !(role && chosen && eqi(role->name, chosen))) {
                role = r;
                end = value;
            }
        }
    }
    if (!end)
        return GET_INSTANCE_UNSUPPORTED;
    Key_Equal_Match found{model};
    Enum_References_Handler<CLASS> handler(&keep_key_equal, &found);
    const int status = provider->enum_references(end, model, String(role->name), &handler);
    if (status != ENUM_REFERENCES_OK)
        return GET_INSTANCE_UNSUPPORTED;
    if (!found.match)
        return GET_INSTANCE_NOT_FOUND;
    *out = found.match;
    found.match = nullptr;
    return GET_INSTANCE_OK;
}

// Associator names answered from the provider's enumeration, for a
// provider that does not answer them itself. CIMPLE's Provider_Handle
// fallback does the same but takes a second reference on every name it
// lends and never drops it, so each answer leaves its far end behind; here
// every association is freed, ends and all, once its names were lent.
struct Names_By_Enumeration {
    const Instance* source;
    const char* result_class;
    const char* role;
    const char* result_role;
    Enum_Associator_Names_Handler<Instance>* handler;
};

inline bool lend_associator_names(Instance* association, Enum_Instances_Status, void* client_data)
{
    if (!association)
        return true;
    const auto* ask = static_cast<const Names_By_Enumeration*>(client_data);
    const Instance* names[CIMPLE_MAX_REFERENCES_PER_CLASS];
    const ssize_t found = get_associators(ask->source, association, ask->result_class, ask->role,
                                          ask->result_role, names);
    bool more = true;
    for (ssize_t i = 0; i < found && more; ++i)
        more = ask->handler->handle(const_cast<Instance*>(names[i]));
    destroy(association);
    return more;
}

template <class PROVIDER, class CLASS>
Enum_Associator_Names_Status associator_names_by_enumeration(PROVIDER* provider, const Names_By_Enumeration& ask)
{
    struct Model_Destroyer {
        void operator()(CLASS* model) const { destroy(model); }
    };
    std::unique_ptr<CLASS, Model_Destroyer> model(static_cast<CLASS*>(create(&CLASS::static_meta_class)));
    nullify_non_keys(model.get());
    Enum_Instances_Handler<CLASS> handler(&lend_associator_names, const_cast<Names_By_Enumeration*>(&ask));
    return provider->enum_instances(model.get(), &handler) == ENUM_INSTANCES_OK ? ENUM_ASSOCIATOR_NAMES_OK
                                                                                 : ENUM_ASSOCIATOR_NAMES_FAILED;
}

} // namespace dispatch_detail

// Association shape.
template <class PROVIDER, class CLASS>
int association_proc(int operation, void* a0, void* a1, void* a2, void* a3, void* a4, void* a5, void* a6,
                     void* a7)
{
    using namespace dispatch_detail;
    (void)a7;
    bool ended = false;
    try {
        int status = DISPATCH_NO_OPERATION;
        if (common_operation<PROVIDER, CLASS>(operation, a0, status))
            return status;
        if (operation < OPERATION_GET_INSTANCE || operation > OPERATION_ENUM_ASSOCIATORS)
            return DISPATCH_NO_OPERATION;
        if (operation == OPERATION_GET_INSTANCE) {
            if (!a0 || !a2)
                return GET_INSTANCE_UNSUPPORTED;
            Instance** out = static_cast<Instance**>(a2);
            *out = nullptr;
            return association_by_references(static_cast<PROVIDER*>(a0), static_cast<const CLASS*>(a1), out);
        }
        if (operation == OPERATION_INVOKE_METHOD || operation == OPERATION_ENABLE_INDICATIONS ||
            operation == OPERATION_DISABLE_INDICATIONS)
            return DISPATCH_NO_OPERATION;
        PROVIDER* provider = static_cast<PROVIDER*>(a0);
        if (!provider) {
            status = dispatch_failure_status(operation);
            end_failed_request(operation, status, a2, a3, a4, a5, a6);
            return status;
        }
        if (instance_operation<PROVIDER, CLASS>(provider, operation, a1, a2, a3, status)) {
            ended = true;
            return status;
        }
        switch (operation) {
        case OPERATION_ENUM_ASSOCIATOR_NAMES: {
            Enum_Associator_Names_Handler<Instance> handler(reinterpret_cast<Enum_Associator_Names_Proc>(a5), a6);
            const Instance* source = static_cast<const Instance*>(a1);
            status = provider->enum_associator_names(source, text_or_empty(a2), text_or_empty(a3),
                                                     text_or_empty(a4), &handler);
            if (status == ENUM_ASSOCIATOR_NAMES_UNSUPPORTED && source) {
                const Names_By_Enumeration ask{source, text_or_empty(a2).c_str(), text_or_empty(a3).c_str(),
                                               text_or_empty(a4).c_str(), &handler};
                status = associator_names_by_enumeration<PROVIDER, CLASS>(provider, ask);
            }
            ended = true;
            if (status != ENUM_ASSOCIATOR_NAMES_UNSUPPORTED)
                end_call<Enum_Associator_Names_Proc, Enum_Associator_Names_Status>(a5, a6, status);
            return status;
        }
        case OPERATION_ENUM_REFERENCES: {
            Enum_References_Handler<CLASS> handler(reinterpret_cast<Enum_References_Proc>(a4), a5);
            status = provider->enum_references(static_cast<const Instance*>(a1), static_cast<const CLASS*>(a2),
                                               text_or_empty(a3), &handler);
            ended = true;
            if (status != ENUM_REFERENCES_UNSUPPORTED)
                end_call<Enum_References_Proc, Enum_References_Status>(a4, a5, status);
            return status;
        }
        case OPERATION_ENUM_ASSOCIATORS: {
            Enum_Associators_Handler<Instance> handler(reinterpret_cast<Enum_Associators_Proc>(a5), a6);
            status = provider->enum_associators(static_cast<const Instance*>(a1), text_or_empty(a2),
                                                text_or_empty(a3), text_or_empty(a4), &handler);
            ended = true;
            if (status != ENUM_ASSOCIATORS_UNSUPPORTED)
                end_call<Enum_Associators_Proc, Enum_Associators_Status>(a5, a6, status);
            return status;
        }
        default:
            return DISPATCH_NO_OPERATION;
        }
    } catch (...) {
        int status = dispatch_failure_status(operation);
        if (!ended)
            end_failed_request(operation, status, a2, a3, a4, a5, a6);
        return status;
    }
}

// The method dispatch of one instance provider (generated per class): the
// member's status, or -1 when no method of the class has the name.
template <class PROVIDER, class CLASS>
using Invoke_Proc = int (*)(PROVIDER* provider, const CLASS* self, Instance* method);

// Instance shape. `invoke` is null for a class without methods.
template <class PROVIDER, class CLASS>
int instance_proc(int operation, void* a0, void* a1, void* a2, void* a3, void* a4, void* a5, void* a6, void* a7,
                  Invoke_Proc<PROVIDER, CLASS> invoke)
{
    using namespace dispatch_detail;
    (void)a4;
    (void)a5;
    (void)a6;
    (void)a7;
    bool ended = false;
    try {
        int status = DISPATCH_NO_OPERATION;
        if (common_operation<PROVIDER, CLASS>(operation, a0, status))
            return status;
        if (operation < OPERATION_GET_INSTANCE || operation > OPERATION_INVOKE_METHOD)
            return DISPATCH_NO_OPERATION;
        PROVIDER* provider = static_cast<PROVIDER*>(a0);
        if (!provider) {
            status = dispatch_failure_status(operation);
            end_failed_request(operation, status, a2, a3, a4, a5, a6);
            return status;
        }
        if (instance_operation<PROVIDER, CLASS>(provider, operation, a1, a2, a3, status)) {
            ended = true;
            return status;
        }
        if (operation == OPERATION_GET_INSTANCE) {
            if (!a2)
                return DISPATCH_NO_OPERATION;
            Instance** out = static_cast<Instance**>(a2);
            *out = nullptr;
            CLASS* found = nullptr;
            status = provider->get_instance(static_cast<const CLASS*>(a1), found);
            // Only a found instance passes to the caller; anything a provider
            // left behind with another status is freed here.
            if (status == GET_INSTANCE_OK)
                *out = found;
            else if (found)
                destroy(found);
            return status;
        }
        // OPERATION_INVOKE_METHOD
        if (!invoke)
            return DISPATCH_NO_OPERATION;
        return invoke(provider, static_cast<const CLASS*>(a1), static_cast<Instance*>(a2));
    } catch (...) {
        int status = dispatch_failure_status(operation);
        if (!ended)
            end_failed_request(operation, status, a2, a3, a4, a5, a6);
        return status;
    }
}

// Indication shape.
template <class PROVIDER, class CLASS>
int indication_proc(int operation, void* a0, void* a1, void* a2, void* a3, void* a4, void* a5, void* a6,
                    void* a7)
{
    using namespace dispatch_detail;
    (void)a3;
    (void)a4;
    (void)a5;
    (void)a6;
    (void)a7;
    try {
        int status = DISPATCH_NO_OPERATION;
        if (common_operation<PROVIDER, CLASS>(operation, a0, status))
            return status;
        PROVIDER* provider = static_cast<PROVIDER*>(a0);
        switch (operation) {
        case OPERATION_ENABLE_INDICATIONS: {
            if (!provider)
                return ENABLE_INDICATIONS_FAILED;
            // The provider owns the handler from the call on.
            Indication_Handler<CLASS>* handler =
                new (std::nothrow) Indication_Handler<CLASS>(reinterpret_cast<Indication_Proc>(a1), a2);
            if (!handler)
                return ENABLE_INDICATIONS_FAILED;
            return provider->enable_indications(handler);
        }
        case OPERATION_DISABLE_INDICATIONS:
            if (!provider)
                return DISABLE_INDICATIONS_FAILED;
            return provider->disable_indications();
        default:
            return DISPATCH_NO_OPERATION;
        }
    } catch (...) {
        return dispatch_failure_status(operation);
    }
}

} // namespace cimple

#endif
