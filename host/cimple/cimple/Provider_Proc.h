// The dispatch procedure of a provider and its operation codes.
#ifndef CIMPLE_PROVIDER_PROC_H
#define CIMPLE_PROVIDER_PROC_H

namespace cimple {

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

} // namespace cimple

#endif
