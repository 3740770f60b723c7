// The generated providers as the table fixes them: the fixed answers of each
// shape and the extrinsic method dispatch by name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Module.h"
#include "OneArrayFixture.h"
#include "Pegasus_Adapter.h"
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

template <class F>
void* fn(F f)
{
    return reinterpret_cast<void*>(f);
}

// The string property `name` of the end an association refers to through
// `role`, set to `value` in a copy of the association.
Instance* withEndKey(const Instance* association, const char* role, const char* name, const char* value)
{
    Instance* copy = clone(association);
    const auto* r = reinterpret_cast<const Meta_Reference*>(find_feature(copy->meta_class, role));
    if (!r)
        return copy;
    Instance*& end = *reinterpret_cast<Instance**>(reinterpret_cast<char*>(copy) + r->offset);
    const Meta_Property* p = end ? find_property(end->meta_class, name) : nullptr;
    if (p)
        reinterpret_cast<Property<String>*>(reinterpret_cast<char*>(end) + p->offset)->set(value);
    return copy;
}

bool collect_instance(Instance* i, Enum_Instances_Status, void* list)
{
    if (i)
        static_cast<std::vector<Instance_Ptr>*>(list)->emplace_back(i);
    return true;
}
bool collect_reference(Instance* i, Enum_References_Status, void* list)
{
    if (i)
        static_cast<std::vector<Instance_Ptr>*>(list)->emplace_back(i);
    return true;
}

// An array with its system, a RAID group and a volume on it. The two
// providers below are of the two association shapes (pair rules over
// walks, and a map of one end's pairs).
class AssociationShape : public smis::test::One_Array_Fixture {
protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        smis::test::CMTBuilder b;
        b.maxCounts({.olu = 8, .slu = 8, .rlu = 4, .dlu = 4});
        b.sys().ModelType(145).ProductID("PROD").SerialNumber("SER").FriendlyName("Friend");
        b.rlu(0).Status(0x2000).RaidLevel(1).RlbaCount(4096);
        b.olu(3).Status(0).SluCount(1).Slun(0, 0).OlbaCount(64);
        b.slu(0).Status(0).LuType(1).Rlun(0).Olun(3).Mlun(0xFFFF).SlbaCount(64);
        install(b);
        setDeviceStatus(0x50);
    }
};

// The association providers answer GetInstance themselves, from the
// references of one end of the requested association, and they answer the
// references of an end: a found association is the one enumeration gives,
// an association whose end is no element of the array is not found. Only
// a model without ends has nothing to look up ("not supported", so the
// caller may search the enumeration). Create, delete, modify and methods
// keep their fixed refusals.
TEST_F(AssociationShape, GetInstanceAndReferencesAreAnsweredFromARealEnd)
{
    struct Case {
        const char* provider;
        const char* role;  // the end changed into one the array does not have
        const char* key;
        const char* missing;
    } cases[] = {
        {"CIM_SystemDevice_Provider", "PartComponent", "DeviceID", "VOL00007"},
        {"CIM_HostedService_Provider", "Dependent", "Name", "no such service"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.provider);
        Provider_Object p(c.provider);
        ASSERT_NE(p.r(), nullptr);
        Instance_Ptr model(create(p.r()->meta_class));
        std::vector<Instance_Ptr> all;
        ASSERT_EQ(p.op(6, model.get(), fn(&collect_instance), &all), 0);
        // An association whose end of that role has the key to change.
        const auto* role = reinterpret_cast<const Meta_Reference*>(find_feature(p.r()->meta_class, c.role));
        ASSERT_NE(role, nullptr);
        const auto endOf = [&](const Instance* association) {
            return *reinterpret_cast<Instance* const*>(reinterpret_cast<const char*>(association) + role->offset);
        };
        const Instance* a = nullptr;
        for (const Instance_Ptr& i : all)
            if (!a && endOf(i.get()) && find_property(endOf(i.get())->meta_class, c.key))
                a = i.get();
        ASSERT_NE(a, nullptr);

        Instance* found = nullptr;
        EXPECT_EQ(p.op(5, const_cast<Instance*>(a), &found), 0);
        EXPECT_TRUE(found && key_eq(found, a));
        if (found)
            destroy(found);

        Instance_Ptr absent(withEndKey(a, c.role, c.key, c.missing));
        Instance* none = nullptr;
        EXPECT_EQ(p.op(5, absent.get(), &none), 60);
        EXPECT_EQ(none, nullptr);
        if (none)
            destroy(none);

        const Instance* end = endOf(a);
        const String roleName(c.role);
        std::vector<Instance_Ptr> references;
        EXPECT_EQ(p.op(15, const_cast<Instance*>(end), model.get(), const_cast<String*>(&roleName),
                       fn(&collect_reference), &references),
                  0);
        bool listed = false;
        for (const Instance_Ptr& r : references)
            listed = listed || key_eq(r.get(), a);
        EXPECT_TRUE(listed);

        Instance* out = nullptr;
        EXPECT_EQ(p.op(5, model.get(), &out), 61) << "a model without ends";
        EXPECT_EQ(p.op(7, model.get()), 81);
        EXPECT_EQ(p.op(8, model.get()), 91);
        EXPECT_EQ(p.op(9, model.get(), model.get()), 101);
        EXPECT_EQ(p.op(10, model.get(), model.get()), -1);
        EXPECT_EQ(p.op(11), -1);
        EXPECT_EQ(p.op(12), -1);
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
        nullify_properties(_instance); // as the adapter hands it over: nothing given yet
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
        if (!m || (r->meta_class->flags & (CIMPLE_FLAG_ASSOCIATION | CIMPLE_FLAG_INDICATION)))
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
