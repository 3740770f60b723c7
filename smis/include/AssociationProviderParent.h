#pragma once
// Base of the association providers that answer associators and associator
// names through one request worker.
//
// enum_associators and enum_associator_names store the request in the
// members below, call execRequest, clear the handler and map its result:
// 0 done, -1 not supported, anything else failed. A provider that also
// answers references keeps its own references handler and calls
// execReferences. One object serves one request at a time: the providers
// guard their objects with their framework mutex.
//
//   class CIM_X_Provider : public AssociationProviderParent {
//       int execRequest() override {          // reads _mode, _instance, ...
//           if (_mode == MODE_ASSOCIATORS) _associatorsHandler->handle(inst);
//           return 0;
//       }
//   };

#include <cstdint>

#include <cimple/Provider.h>
#include <cimple/Instance.h>
#include <cimple/String.h>

namespace cimple {

class AssociationProviderParent {
public:
    enum Mode : std::uint32_t {
        MODE_ENUMERATE = 0,
        MODE_ASSOCIATORS = 17,
        MODE_ASSOCIATOR_NAMES = 18,
        MODE_REFERENCES = 19,
    };

    Enum_Associators_Status enum_associators(const Instance* instance, const String& resultClass, const String& role,
                                             const String& resultRole, Enum_Associators_Handler<Instance>* handler);
    Enum_Associator_Names_Status enum_associator_names(const Instance* instance, const String& resultClass,
                                                       const String& role, const String& resultRole,
                                                       Enum_Associator_Names_Handler<Instance>* handler);

protected:
    AssociationProviderParent() = default;
    AssociationProviderParent(const AssociationProviderParent&) = default;
    AssociationProviderParent& operator=(const AssociationProviderParent&) = default;
    // Providers are deleted as their own class, never through this base.
    ~AssociationProviderParent() = default;

    // The request worker: 0 done, -1 not supported, any other value failed.
    virtual int execRequest() = 0;
    // Runs the worker for a references request (the caller sets and clears
    // its own handler around it): 0, 121 (not supported) or 120 (failed).
    Enum_References_Status execReferences(const Instance* instance, const String& role);

    // The request; the texts and the instance are the framework's and are
    // valid only during the call (NULL between calls; the result class and
    // result role are NULL in a references request).
    const char* _resultClass = nullptr;
    const char* _role = nullptr;
    const char* _resultRole = nullptr;
    const Instance* _instance = nullptr;
    std::uint32_t _mode = MODE_ENUMERATE;
    Enum_Associators_Handler<Instance>* _associatorsHandler = nullptr;
    Enum_Associator_Names_Handler<Instance>* _associatorNamesHandler = nullptr;

private:
    // A worker that throws counts as failed.
    int runWorker();
    // Drops the request's texts and instance once the call returns: they
    // belong to the framework's request.
    void forgetRequest();
};

}  // namespace cimple
