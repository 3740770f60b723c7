#include "AssociationProviderParent.h"

namespace cimple {

int AssociationProviderParent::runWorker()
{
    try {
        return execRequest();
    } catch (...) {
        return 1;
    }
}

void AssociationProviderParent::forgetRequest()
{
    _resultClass = nullptr;
    _role = nullptr;
    _resultRole = nullptr;
    _instance = nullptr;
}

Enum_Associators_Status AssociationProviderParent::enum_associators(const Instance* instance,
                                                                    const String& resultClass, const String& role,
                                                                    const String& resultRole,
                                                                    Enum_Associators_Handler<Instance>* handler)
{
    _resultClass = resultClass.c_str();
    _role = role.c_str();
    _resultRole = resultRole.c_str();
    _instance = instance;
    _mode = MODE_ASSOCIATORS;
    _associatorsHandler = handler;
    const int result = runWorker();
    _associatorsHandler = nullptr;
    forgetRequest();
    if (result == 0)
        return ENUM_ASSOCIATORS_OK;
    return result == -1 ? ENUM_ASSOCIATORS_UNSUPPORTED : ENUM_ASSOCIATORS_FAILED;
}

Enum_Associator_Names_Status AssociationProviderParent::enum_associator_names(
    const Instance* instance, const String& resultClass, const String& role, const String& resultRole,
    Enum_Associator_Names_Handler<Instance>* handler)
{
    _resultClass = resultClass.c_str();
    _role = role.c_str();
    _resultRole = resultRole.c_str();
    _instance = instance;
    _mode = MODE_ASSOCIATOR_NAMES;
    _associatorNamesHandler = handler;
    const int result = runWorker();
    _associatorNamesHandler = nullptr;
    forgetRequest();
    if (result == 0)
        return ENUM_ASSOCIATOR_NAMES_OK;
    return result == -1 ? ENUM_ASSOCIATOR_NAMES_UNSUPPORTED : ENUM_ASSOCIATOR_NAMES_FAILED;
}

Enum_References_Status AssociationProviderParent::execReferences(const Instance* instance, const String& role)
{
    _resultClass = nullptr;
    _role = role.c_str();
    _resultRole = nullptr;
    _instance = instance;
    _mode = MODE_REFERENCES;
    const int result = runWorker();
    forgetRequest();
    if (result == 0)
        return ENUM_REFERENCES_OK;
    return result == -1 ? ENUM_REFERENCES_UNSUPPORTED : ENUM_REFERENCES_FAILED;
}

}  // namespace cimple
