#pragma once
// An enumeration handler that keeps what a provider hands over (the
// instances are destroyed with it), for tests that call provider objects
// directly.
//
//   Collected<VELDARO_FCPort> ports;
//   provider.enum_instances(nullptr, &ports);
//   for (VELDARO_FCPort* p : ports.got) ...

#include <vector>

#include <cimple/cimple.h>

namespace smis::test {

template <class Model>
struct Collected : cimple::Enum_Instances_Handler<Model> {
    static bool collect(cimple::Instance* instance, cimple::Enum_Instances_Status, void* data)
    {
        if (instance)
            static_cast<std::vector<Model*>*>(data)->push_back(static_cast<Model*>(instance));
        return true;
    }
    std::vector<Model*> got;
    Collected() : cimple::Enum_Instances_Handler<Model>(collect, &got) {}
    ~Collected()
    {
        for (Model* m : got)
            cimple::destroy(m);
    }
    Collected(const Collected&) = delete;
    Collected& operator=(const Collected&) = delete;
};

}  // namespace smis::test
