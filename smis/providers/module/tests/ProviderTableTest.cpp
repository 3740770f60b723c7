// The generated providers as the table fixes them: the fixed answers of each
// shape and the extrinsic method dispatch by name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Module.h"
#include "Provider_Dispatch.h"
#include "schema_classes.h"

using namespace cimple;

namespace {

const Registration* record(const char* provider)
{
    for (const Registration* r = cimple_module(); r; r = r->next)
        if (std::strcmp(r->provider_name, provider) == 0)
            return r;
    return nullptr;
}

int call(const Registration* r, int op, void* a0 = nullptr, void* a1 = nullptr, void* a2 = nullptr,
         void* a3 = nullptr, void* a4 = nullptr, void* a5 = nullptr, void* a6 = nullptr)
{
    return r->proc(r, op, a0, a1, a2, a3, a4, a5, a6, nullptr);
}

// One provider object for the life of a test.
class Provider_Object {
public:
    explicit Provider_Object(const char* provider) : _r(record(provider))
    {
        EXPECT_NE(_r, nullptr) << provider;
        if (_r) {
            EXPECT_EQ(call(_r, 1, &_object), 0);
        }
        EXPECT_NE(_object, nullptr);
    }
    ~Provider_Object()
    {
        if (_r) {
            EXPECT_EQ(call(_r, 2, _object), 0);
        }
    }
    const Registration* r() const { return _r; }
    void* object() const { return _object; }
    int op(int operation, void* a1 = nullptr, void* a2 = nullptr, void* a3 = nullptr, void* a4 = nullptr,
           void* a5 = nullptr, void* a6 = nullptr)
    {
        return call(_r, operation, _object, a1, a2, a3, a4, a5, a6);
    }

private:
    const Registration* _r;
    void* _object = nullptr;
};

struct End_Calls {
    int count = 0;
};
bool count_end(const Instance* inst, int, void* client)
{
    if (!inst)
        ++static_cast<End_Calls*>(client)->count;
    return true;
}
bool names_cb(const Instance* i, Enum_Associator_Names_Status s, void* c) { return count_end(i, s, c); }
bool assocs_cb(const Instance* i, Enum_Associators_Status s, void* c) { return count_end(i, s, c); }
bool refs_cb(Instance* i, Enum_References_Status s, void* c)
{
    destroy(i);
    return count_end(nullptr, s, c);
}

template <class F>
void* fn(F f)
{
    return reinterpret_cast<void*>(f);
}

TEST(ProviderTable, FixedAnswersOfTheAssociationShape)
{
    String empty;
    struct Case {
        const char* provider;
        bool references; // answers references itself
        bool associators;
    } cases[] = {
        {"CIM_BasedOn_Provider", false, true},
        {"CIM_HostedService_Provider", true, false},
        {"CIM_IsSpare_Provider", true, true},
        {"VELDARO_StorageSynchronized_Provider", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.provider);
        Provider_Object p(c.provider);
        Instance* model = create(p.r()->meta_class);
        Instance* out = nullptr;
        EXPECT_EQ(p.op(5, model, &out), 61);
        EXPECT_EQ(p.op(7, model), 81);
        EXPECT_EQ(p.op(8, model), 91);
        EXPECT_EQ(p.op(9, model, model), 101);
        EXPECT_EQ(p.op(10, model, model), -1);
        EXPECT_EQ(p.op(11), -1);
        EXPECT_EQ(p.op(12), -1);
        EXPECT_EQ(p.op(3), 0);
        EXPECT_EQ(p.op(4), 0);
        End_Calls ends;
        if (!c.references) {
            EXPECT_EQ(p.op(15, model, model, &empty, fn(&refs_cb), &ends), 121);
            EXPECT_EQ(ends.count, 0);
        }
        if (!c.associators) {
            EXPECT_EQ(p.op(14, model, &empty, &empty, &empty, fn(&names_cb), &ends), 111);
            EXPECT_EQ(p.op(16, model, &empty, &empty, &empty, fn(&assocs_cb), &ends), 171);
            EXPECT_EQ(ends.count, 0);
        }
        destroy(model);
    }
}

TEST(ProviderTable, FixedAnswersOfTheInstanceAndIndicationShapes)
{
    for (const char* provider : {"VELDARO_Namespace_Provider", "VELDARO_RAIDStoragePool_Provider"}) {
        SCOPED_TRACE(provider);
        Provider_Object p(provider);
        Instance* model = create(p.r()->meta_class);
        EXPECT_EQ(p.op(7, model), 81);
        EXPECT_EQ(p.op(8, model), 91);
        EXPECT_EQ(p.op(9, model, model), 101);
        for (int op : {11, 12, 14, 15, 16, 17, -1})
            EXPECT_EQ(p.op(op), -1) << op;
        destroy(model);
    }
    Provider_Object ind("CIM_InstCreation_Provider");
    for (int op : {5, 6, 7, 8, 9, 10, 14, 15, 16, 17, -1})
        EXPECT_EQ(ind.op(op), -1) << op;
}

TEST(ProviderTable, EveryProviderIsMadeLoadedUnloadedAndFreed)
{
    int count = 0;
    for (const Registration* r = cimple_module(); r; r = r->next, ++count) {
        SCOPED_TRACE(r->provider_name);
        Provider_Object p(r->provider_name);
        EXPECT_EQ(p.op(3), 0);
        EXPECT_EQ(p.op(4), 0);
        EXPECT_EQ(call(r, 2, nullptr), 0) << "a null object is nothing to free";
    }
    EXPECT_EQ(count, 152);
}

// A method instance of `method` whose record carries another name (same
// parameters), as a client that spells the name in other case sends it.
class Renamed_Method {
public:
    Renamed_Method(const Meta_Method& method, const char* name) : _record(method)
    {
        _record.name = name;
        _instance = create(&_record);
    }
    ~Renamed_Method() { destroy(_instance); }
    Instance* instance() const { return _instance; }

private:
    Meta_Method _record;
    Instance* _instance;
};

TEST(ProviderTable, MethodNamesMatchWithoutRegardToCase)
{
    Provider_Object p("VELDARO_SnapDataPool_Provider");
    VELDARO_SnapDataPool* self = VELDARO_SnapDataPool::create();
    const Meta_Method& sizes = CIM_StoragePool_GetSupportedSizes_method::static_meta_class;
    struct Case {
        const char* name;
        int status;
    } cases[] = {
        {"GetSupportedSizes", 131}, {"getsupportedsizes", 131}, {"GETSUPPORTEDSIZES", 131},
        {"GetSupportedSize", -1},   {"GetSupportedSizesX", -1}, {"", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Renamed_Method m(sizes, c.name);
        EXPECT_EQ(p.op(10, self, m.instance()), c.status);
        EXPECT_TRUE(static_cast<CIM_StoragePool_GetSupportedSizes_method*>(m.instance())->return_value.null)
            << "a method that answers 131 writes no return value";
    }
    EXPECT_EQ(p.op(10, self, nullptr), -1);
    destroy(self);
}

TEST(ProviderTable, RequestStateChangeAnswers131Everywhere)
{
    int providers = 0;
    for (const Registration* r = cimple_module(); r; r = r->next) {
        const Meta_Method* m = find_method(r->meta_class, "RequestStateChange");
        if (!m || (r->meta_class->flags & (FLAG_ASSOCIATION | FLAG_INDICATION)))
            continue;
        SCOPED_TRACE(r->provider_name);
        ++providers;
        Provider_Object p(r->provider_name);
        Instance* self = create(r->meta_class);
        Instance* method = create(m);
        EXPECT_EQ(p.op(10, self, method), 131);
        destroy(method);
        destroy(self);
    }
    EXPECT_GT(providers, 30);
}

TEST(ProviderTable, ClassesWithoutMethodsAnswerMinusOne)
{
    Provider_Object p("VELDARO_Namespace_Provider");
    Instance* self = create(p.r()->meta_class);
    Instance* method = CIM_StoragePool_GetSupportedSizes_method::create();
    EXPECT_EQ(p.op(10, self, method), -1);
    destroy(method);
    destroy(self);
}

TEST(ProviderTable, AMethodInstanceOfAnotherLayoutIsRefused)
{
    // Both services declare GetAvailableTargetElements, each with its own
    // parameters; the storage configuration service must not read the
    // replication service's method instance as its own.
    Provider_Object p("VELDARO_StorageConfigurationService_Provider");
    const Meta_Method* own = find_method(p.r()->meta_class, "GetAvailableTargetElements");
    const Meta_Method* other =
        find_method(&VELDARO_ReplicationService::static_meta_class, "GetAvailableTargetElements");
    ASSERT_NE(own, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(own, other);
    Instance* self = create(p.r()->meta_class);
    Instance* mine = create(own);
    Instance* theirs = create(other);
    EXPECT_EQ(p.op(10, self, mine), 131);
    EXPECT_EQ(p.op(10, self, theirs), -1);
    destroy(theirs);
    destroy(mine);
    destroy(self);
}

} // namespace
