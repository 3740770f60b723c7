// What a provider exchanges with the framework: the status values of each
// operation, the dispatch procedure and its operation codes, and the handlers
// through which a provider hands results to the adapter.
//
// Each handler is the adapter's callback and its client data, one unrelated
// class per served class (a handler of one class does not convert to that of
// another). Handlers of enumerations and references give the instance away:
// the callback owns it from then on. Handlers of associators and associator
// names lend it for the call only: the callback copies what it needs and the
// caller keeps (and frees) the instance. The end of such a request is one
// more call of the callback with a null instance and the final status, which
// the dispatch procedure makes.
#ifndef CIMPLE_PROVIDER_H
#define CIMPLE_PROVIDER_H

#include <cimple/Instance.h>

namespace cimple {


enum Load_Status { LOAD_OK = 0, LOAD_FAILED = 30 };
enum Unload_Status { UNLOAD_OK = 0, UNLOAD_FAILED = 40 };

enum Get_Instance_Status {
    GET_INSTANCE_OK = 0,
    GET_INSTANCE_NOT_FOUND = 60,
    GET_INSTANCE_UNSUPPORTED = 61,
};

enum Enum_Instances_Status {
    ENUM_INSTANCES_OK = 0,
    ENUM_INSTANCES_FAILED = 70,
};

enum Create_Instance_Status {
    CREATE_INSTANCE_OK = 0,
    CREATE_INSTANCE_DUPLICATE = 80,
    CREATE_INSTANCE_UNSUPPORTED = 81,
};

enum Delete_Instance_Status {
    DELETE_INSTANCE_OK = 0,
    DELETE_INSTANCE_NOT_FOUND = 90,
    DELETE_INSTANCE_UNSUPPORTED = 91,
};

enum Modify_Instance_Status {
    MODIFY_INSTANCE_OK = 0,
    MODIFY_INSTANCE_NOT_FOUND = 100,
    MODIFY_INSTANCE_UNSUPPORTED = 101,
    MODIFY_INSTANCE_INVALID_PARAMETER = 102,
    MODIFY_INSTANCE_FAILED = 104,
};

enum Enum_Associator_Names_Status {
    ENUM_ASSOCIATOR_NAMES_OK = 0,
    ENUM_ASSOCIATOR_NAMES_FAILED = 110,
    ENUM_ASSOCIATOR_NAMES_UNSUPPORTED = 111,
};

enum Enum_References_Status {
    ENUM_REFERENCES_OK = 0,
    ENUM_REFERENCES_FAILED = 120,
    ENUM_REFERENCES_UNSUPPORTED = 121,
};

enum Invoke_Method_Status {
    INVOKE_METHOD_OK = 0,
    INVOKE_METHOD_FAILED = 130,
    INVOKE_METHOD_UNSUPPORTED = 131,
};

enum Enable_Indications_Status {
    ENABLE_INDICATIONS_OK = 0,
    ENABLE_INDICATIONS_FAILED = 140,
};

enum Disable_Indications_Status {
    DISABLE_INDICATIONS_OK = 0,
    DISABLE_INDICATIONS_FAILED = 150,
};

enum Enum_Associators_Status {
    ENUM_ASSOCIATORS_OK = 0,
    ENUM_ASSOCIATORS_FAILED = 170,
    ENUM_ASSOCIATORS_UNSUPPORTED = 171,
};

struct Registration;

// Called by the adapter with an operation code and up to eight untyped
// arguments whose meaning the operation gives; returns the operation's status
// (-1 for an operation that the provider does not have).
typedef int (*Provider_Proc)(const Registration* registration, int operation, void* arg0, void* arg1, void* arg2,
                             void* arg3, void* arg4, void* arg5, void* arg6, void* arg7);

enum Provider_Operation {
    OPERATION_GET_META_CLASS = 0,        // arg0: const Meta_Class** out
    OPERATION_CREATE_PROVIDER = 1,       // arg0: provider object** out
    OPERATION_DESTROY_PROVIDER = 2,      // arg0: provider object
    OPERATION_LOAD = 3,                  // arg0: provider object
    OPERATION_UNLOAD = 4,                // arg0: provider object
    OPERATION_GET_INSTANCE = 5,          // arg1 model, arg2 Instance** out
    OPERATION_ENUM_INSTANCES = 6,        // arg1 model, arg2 Enum_Instances_Proc, arg3 client data
    OPERATION_CREATE_INSTANCE = 7,       // arg1 instance
    OPERATION_DELETE_INSTANCE = 8,       // arg1 instance
    OPERATION_MODIFY_INSTANCE = 9,       // arg1 model, arg2 instance
    OPERATION_INVOKE_METHOD = 10,        // arg1 instance called on, arg2 method instance
    OPERATION_ENABLE_INDICATIONS = 11,   // arg1 Indication_Proc, arg2 client data
    OPERATION_DISABLE_INDICATIONS = 12,  // arg0: provider object
    OPERATION_GET_REPOSITORY = 13,       // arg0: const Meta_Repository** out
    OPERATION_ENUM_ASSOCIATOR_NAMES = 14, // arg1 instance, arg2 result class, arg3 role, arg4 result role (const String*), arg5 Enum_Associator_Names_Proc, arg6 client data
    OPERATION_ENUM_REFERENCES = 15,      // arg1 instance, arg2 model, arg3 role (const String*), arg4 Enum_References_Proc, arg5 client data
    OPERATION_ENUM_ASSOCIATORS = 16,     // arg1 instance, arg2 result class, arg3 role, arg4 result role (const String*), arg5 Enum_Associators_Proc, arg6 client data
};

// Handler of indication delivery: allocated by the dispatch procedure when
// indications are enabled and owned by the provider from then on. handle()
// lends the indication for the call only; the caller keeps and frees it.
// Destroying the handler makes the final call, with a null instance, on which
// the adapter frees its client data: a provider keeps the handler for as long
// as it delivers and deletes it when delivery ends.
typedef bool (*Indication_Proc)(Instance* indication, void* client_data);

template <class CLASS>
class Indication_Handler {
public:
    Indication_Handler(Indication_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}
    ~Indication_Handler() { _proc(nullptr, _client_data); }

    bool handle(CLASS* indication) { return _proc(indication, _client_data); }

private:
    Indication_Proc _proc;
    void* _client_data;
};

typedef bool (*Enum_Instances_Proc)(Instance* instance, Enum_Instances_Status status, void* client_data);

template <class CLASS>
class Enum_Instances_Handler {
public:
    Enum_Instances_Handler(Enum_Instances_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}

    bool handle(CLASS* instance) { return _proc(instance, ENUM_INSTANCES_OK, _client_data); }

    Enum_Instances_Proc _proc;
    void* _client_data;
};

typedef bool (*Enum_Associator_Names_Proc)(const Instance* associator_name, Enum_Associator_Names_Status status,
                                           void* client_data);

template <class CLASS>
class Enum_Associator_Names_Handler {
public:
    Enum_Associator_Names_Handler(Enum_Associator_Names_Proc proc, void* client_data)
        : _proc(proc), _client_data(client_data)
    {
    }

    bool handle(CLASS* instance) { return _proc(instance, ENUM_ASSOCIATOR_NAMES_OK, _client_data); }

    Enum_Associator_Names_Proc _proc;
    void* _client_data;
};

typedef bool (*Enum_Associators_Proc)(const Instance* associator, Enum_Associators_Status status, void* client_data);

template <class CLASS>
class Enum_Associators_Handler {
public:
    Enum_Associators_Handler(Enum_Associators_Proc proc, void* client_data) : _proc(proc), _client_data(client_data)
    {
    }

    bool handle(CLASS* instance) { return _proc(instance, ENUM_ASSOCIATORS_OK, _client_data); }

    Enum_Associators_Proc _proc;
    void* _client_data;
};

typedef bool (*Enum_References_Proc)(Instance* reference, Enum_References_Status status, void* client_data);

template <class CLASS>
class Enum_References_Handler {
public:
    Enum_References_Handler(Enum_References_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}

    bool handle(CLASS* instance) { return _proc(instance, ENUM_REFERENCES_OK, _client_data); }

    Enum_References_Proc _proc;
    void* _client_data;
};

} // namespace cimple

#endif
