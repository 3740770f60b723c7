// Status values that providers return to the framework.
#ifndef CIMPLE_STATUS_H
#define CIMPLE_STATUS_H

namespace cimple {

enum Load_Status { LOAD_OK = 0, LOAD_FAILED = 1 };
enum Unload_Status { UNLOAD_OK = 0, UNLOAD_FAILED = 1 };

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
    MODIFY_INSTANCE_REJECTED = 102,
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

} // namespace cimple

#endif
