// The three procedure shapes, driven with a recording provider class: which
// member each operation code reaches, the end calls, and the statuses that
// stand in for exceptions.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "Provider_Dispatch.h"
#include "schema_classes.h"

using namespace cimple;

namespace {

// What the recording provider does; reset by every test.
struct Script {
    int status = 0;           // what every member answers
    int hand_out = 0;         // instances an enumeration hands to its handler
    bool throw_now = false;   // every member throws instead
    bool throw_in_ctor = false;
    bool leave_instance = false; // get_instance leaves an instance whatever its status
    int calls = 0;
    int live = 0;             // provider objects alive
    const char* last = "";
    const Instance* match = nullptr; // enum_references and enum_instances hand a clone of it after hand_out others
    bool names_unsupported = false;  // enum_associator_names answers "not supported" whatever status says
    const Instance* asked = nullptr; // the source of the last references request
    std::string role;                // and its role
};
Script script;

template <class C>
class Recording_Provider {
public:
    Recording_Provider()
    {
        if (script.throw_in_ctor)
            throw std::runtime_error("constructor");
        ++script.live;
    }
    ~Recording_Provider() { --script.live; }

    int enter(const char* name)
    {
        ++script.calls;
        script.last = name;
        if (script.throw_now)
            throw std::runtime_error(name);
        return script.status;
    }

    Load_Status load() { return Load_Status(enter("load")); }
    Unload_Status unload() { return Unload_Status(enter("unload")); }
    Get_Instance_Status get_instance(const C*, C*& instance)
    {
        int s = enter("get_instance");
        if (s == 0 || script.leave_instance)
            instance = C::create();
        return Get_Instance_Status(s);
    }
    Enum_Instances_Status enum_instances(const C*, Enum_Instances_Handler<C>* handler)
    {
        int s = enter("enum_instances");
        for (int i = 0; i < script.hand_out; ++i)
            handler->handle(C::create());
        if (script.match)
            handler->handle(static_cast<C*>(clone(script.match)));
        return Enum_Instances_Status(s);
    }
    Create_Instance_Status create_instance(C*) { return Create_Instance_Status(enter("create_instance")); }
    Delete_Instance_Status delete_instance(const C*) { return Delete_Instance_Status(enter("delete_instance")); }
    Modify_Instance_Status modify_instance(const C*, const C*) { return Modify_Instance_Status(enter("modify_instance")); }
    Enum_Associator_Names_Status enum_associator_names(const Instance*, const String&, const String&, const String&,
                                                       Enum_Associator_Names_Handler<Instance>*)
    {
        const int s = enter("enum_associator_names");
        return Enum_Associator_Names_Status(script.names_unsupported ? ENUM_ASSOCIATOR_NAMES_UNSUPPORTED : s);
    }
    Enum_References_Status enum_references(const Instance* source, const C*, const String& role,
                                           Enum_References_Handler<C>* handler)
    {
        int s = enter("enum_references");
        script.asked = source;
        script.role = role.c_str();
        for (int i = 0; i < script.hand_out; ++i)
            handler->handle(C::create());
        if (script.match)
            handler->handle(static_cast<C*>(clone(script.match)));
        return Enum_References_Status(s);
    }
    Enum_Associators_Status enum_associators(const Instance*, const String&, const String&, const String&,
                                             Enum_Associators_Handler<Instance>*)
    {
        return Enum_Associators_Status(enter("enum_associators"));
    }
    Enable_Indications_Status enable_indications(Indication_Handler<C>* handler)
    {
        handed_handler = handler != nullptr;
        if (handler) {
            C* indication = static_cast<C*>(C::create());
            handler->handle(indication);
            destroy(indication);
        }
        delete handler; // the provider owns it; deleting it makes the final call
        return Enable_Indications_Status(enter("enable_indications"));
    }
    Disable_Indications_Status disable_indications() { return Disable_Indications_Status(enter("disable_indications")); }

    static bool handed_handler;
};
template <class C> bool Recording_Provider<C>::handed_handler = false;

using Assoc_Provider = Recording_Provider<CIM_BasedOn>;
using Inst_Provider = Recording_Provider<VELDARO_RAIDStoragePool>;
using Ind_Provider = Recording_Provider<CIM_InstCreation>;

int invoke_recorder(Inst_Provider* p, const VELDARO_RAIDStoragePool*, Instance*)
{
    return p->enter("invoke");
}

// The callback side of a request: instances received and end calls.
struct Requests {
    int instances = 0;
    int end_calls = 0;
    int end_status = -99;
    void* end_client = nullptr;
    int final_calls = 0;  // an indication handler's last call
    // A copy of the last instance lent: a lent one lives only during its call.
    std::shared_ptr<Instance> last_lent;
};

bool given(Instance* inst, int status, void* client)
{
    Requests* r = static_cast<Requests*>(client);
    if (inst) {
        ++r->instances;
        destroy(inst);
    } else {
        ++r->end_calls;
        r->end_status = status;
        r->end_client = client;
    }
    return true;
}
bool enum_cb(Instance* i, Enum_Instances_Status s, void* c) { return given(i, s, c); }
bool refs_cb(Instance* i, Enum_References_Status s, void* c) { return given(i, s, c); }
bool lent(const Instance* inst, int status, void* client)
{
    Requests* r = static_cast<Requests*>(client);
    if (inst) {
        ++r->instances;
        r->last_lent.reset(clone(inst), [](Instance* i) { destroy(i); });
    }
    else {
        ++r->end_calls;
        r->end_status = status;
        r->end_client = client;
    }
    return true;
}
bool names_cb(const Instance* i, Enum_Associator_Names_Status s, void* c) { return lent(i, s, c); }
bool assocs_cb(const Instance* i, Enum_Associators_Status s, void* c) { return lent(i, s, c); }
// Counts the indications (as instances) and the handler's final call.
bool indication_cb(Instance* indication, void* client)
{
    Requests* r = static_cast<Requests*>(client);
    ++(indication ? r->instances : r->final_calls);
    return true;
}

template <class F>
void* fn(F f)
{
    return reinterpret_cast<void*>(f);
}

enum Shape { ASSOCIATION, INSTANCE, INDICATION };

// Calls one operation with the arguments the adapter would pass.
int run(Shape shape, int op, void* object, Requests& req, bool with_invoke = true)
{
    static String text("x");
    Instance* out = nullptr;
    CIM_BasedOn* assoc_model = CIM_BasedOn::create();
    VELDARO_RAIDStoragePool* pool_model = VELDARO_RAIDStoragePool::create();
    void* model = shape == ASSOCIATION ? static_cast<void*>(assoc_model) : static_cast<void*>(pool_model);
    void* a[8] = {object, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    switch (op) {
    case 5: a[1] = model; a[2] = &out; break;
    case 6: a[1] = model; a[2] = fn(&enum_cb); a[3] = &req; break;
    case 7: case 8: a[1] = model; break;
    case 9: a[1] = model; a[2] = model; break;
    case 10: a[1] = model; a[2] = model; break;
    case 11: a[1] = fn(&indication_cb); a[2] = &req; break;
    case 14: a[1] = model; a[2] = &text; a[3] = &text; a[4] = &text; a[5] = fn(&names_cb); a[6] = &req; break;
    case 15: a[1] = model; a[2] = model; a[3] = &text; a[4] = fn(&refs_cb); a[5] = &req; break;
    case 16: a[1] = model; a[2] = &text; a[3] = &text; a[4] = &text; a[5] = fn(&assocs_cb); a[6] = &req; break;
    default: break;
    }
    int status = -99;
    switch (shape) {
    case ASSOCIATION:
        status = association_proc<Assoc_Provider, CIM_BasedOn>(op, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        break;
    case INSTANCE:
        status = instance_proc<Inst_Provider, VELDARO_RAIDStoragePool>(op, a[0], a[1], a[2], a[3], a[4], a[5], a[6],
                                                                      a[7], with_invoke ? &invoke_recorder : nullptr);
        break;
    case INDICATION:
        status = indication_proc<Ind_Provider, CIM_InstCreation>(op, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        break;
    }
    for (Instance* made : {out, static_cast<Instance*>(assoc_model), static_cast<Instance*>(pool_model)})
        if (made)
            destroy(made);
    return status;
}

class DispatchShape : public ::testing::Test {
protected:
    void SetUp() override { script = Script(); }
    void TearDown() override { EXPECT_EQ(script.live, 0) << "every provider object was destroyed"; }
};

// Expected status of each operation code per shape when every member
// answers 7 (so that a member's answer is told apart from a fixed one);
// "M" marks the member's answer.
constexpr int M = 7;
struct Row {
    int op;
    int status[3]; // association, instance, indication
};
const Row shape_table[] = {
    {-1, {-1, -1, -1}},
    {3, {M, M, M}},
    {4, {M, M, M}},
    {5, {61, M, -1}},
    {6, {M, M, -1}},
    {7, {M, M, -1}},
    {8, {M, M, -1}},
    {9, {M, M, -1}},
    {10, {-1, M, -1}},
    {11, {-1, -1, M}},
    {12, {-1, -1, M}},
    {14, {M, -1, -1}},
    {15, {M, -1, -1}},
    {16, {M, -1, -1}},
    {17, {-1, -1, -1}},
    {1000, {-1, -1, -1}},
    {-7, {-1, -1, -1}},
};

template <class P>
P* make(Shape shape, Requests& req)
{
    P* object = nullptr;
    EXPECT_EQ(run(shape, 1, &object, req), 0);
    EXPECT_NE(object, nullptr);
    return object;
}

TEST_F(DispatchShape, EveryOperationCodeReachesTheMemberOrItsFixedAnswer)
{
    script.status = M;
    for (Shape shape : {ASSOCIATION, INSTANCE, INDICATION}) {
        Requests req;
        void* object = shape == ASSOCIATION ? static_cast<void*>(make<Assoc_Provider>(shape, req))
                       : shape == INSTANCE  ? static_cast<void*>(make<Inst_Provider>(shape, req))
                                            : static_cast<void*>(make<Ind_Provider>(shape, req));
        for (const Row& row : shape_table) {
            SCOPED_TRACE(::testing::Message() << "shape " << shape << " op " << row.op);
            int before = script.calls;
            EXPECT_EQ(run(shape, row.op, object, req), row.status[shape]);
            bool member_expected = row.status[shape] == M;
            EXPECT_EQ(script.calls - before, member_expected ? 1 : 0);
        }
        EXPECT_EQ(run(shape, 2, object, req), 0);
    }
}

TEST_F(DispatchShape, CommonOperationsMakeAndFreeTheObjectAndHandOutRecords)
{
    for (Shape shape : {ASSOCIATION, INSTANCE, INDICATION}) {
        SCOPED_TRACE(shape);
        Requests req;
        const Meta_Class* mc = nullptr;
        const Meta_Repository* mr = nullptr;
        EXPECT_EQ(run(shape, 0, &mc, req), 0);
        EXPECT_EQ(mc, shape == ASSOCIATION ? &CIM_BasedOn::static_meta_class
                      : shape == INSTANCE  ? &VELDARO_RAIDStoragePool::static_meta_class
                                           : &CIM_InstCreation::static_meta_class);
        EXPECT_EQ(run(shape, 13, &mr, req), 0);
        EXPECT_EQ(mr, &schema_repository);
        EXPECT_EQ(run(shape, 0, nullptr, req), -1) << "nowhere to store";

        void* object = nullptr;
        EXPECT_EQ(run(shape, 1, &object, req), 0);
        EXPECT_EQ(script.live, 1);
        EXPECT_EQ(run(shape, 2, object, req), 0);
        EXPECT_EQ(script.live, 0);
        EXPECT_EQ(run(shape, 2, nullptr, req), 0) << "a null object is nothing to free";
    }
}

TEST_F(DispatchShape, EnumerationEndsWithExactlyOneEndCall)
{
    for (Shape shape : {ASSOCIATION, INSTANCE}) {
        for (int found : {0, 3}) {
            for (int status : {0, 70}) {
                SCOPED_TRACE(::testing::Message() << shape << " " << found << " " << status);
                script.status = status;
                script.hand_out = found;
                Requests req;
                void* object = shape == ASSOCIATION ? static_cast<void*>(make<Assoc_Provider>(shape, req))
                                                    : static_cast<void*>(make<Inst_Provider>(shape, req));
                EXPECT_EQ(run(shape, 6, object, req), status);
                EXPECT_EQ(req.instances, found);
                EXPECT_EQ(req.end_calls, 1);
                EXPECT_EQ(req.end_status, status);
                EXPECT_EQ(req.end_client, &req);
                run(shape, 2, object, req);
            }
        }
    }
}

TEST_F(DispatchShape, AssociatorRequestsEndUnlessNotSupported)
{
    struct Case {
        int op;
        int status;
        int end_calls;
    } cases[] = {
        {14, 0, 1}, {14, 110, 1},
        {15, 0, 1}, {15, 120, 1}, {15, 121, 0},
        {16, 0, 1}, {16, 170, 1}, {16, 171, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "op " << c.op << " status " << c.status);
        script.status = c.status;
        Requests req;
        Assoc_Provider* object = make<Assoc_Provider>(ASSOCIATION, req);
        EXPECT_EQ(run(ASSOCIATION, c.op, object, req), c.status);
        EXPECT_EQ(req.end_calls, c.end_calls);
        if (c.end_calls) {
            EXPECT_EQ(req.end_status, c.status);
        }
        run(ASSOCIATION, 2, object, req);
    }
}

TEST_F(DispatchShape, ExceptionsBecomeTheOperationsFailureStatus)
{
    struct Case {
        Shape shape;
        int op;
        int status;
        int end_calls;
    } cases[] = {
        {ASSOCIATION, 3, -1, 0},  {ASSOCIATION, 6, 70, 1},   {ASSOCIATION, 7, -1, 0},
        {ASSOCIATION, 14, 110, 1}, {ASSOCIATION, 15, 120, 1}, {ASSOCIATION, 16, 170, 1},
        {INSTANCE, 4, -1, 0},     {INSTANCE, 5, -1, 0},      {INSTANCE, 6, 70, 1},
        {INSTANCE, 9, -1, 0},     {INSTANCE, 10, -1, 0},     {INDICATION, 11, 140, 0},
        {INDICATION, 12, 150, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "shape " << c.shape << " op " << c.op);
        Requests req;
        void* object = c.shape == ASSOCIATION ? static_cast<void*>(make<Assoc_Provider>(c.shape, req))
                       : c.shape == INSTANCE  ? static_cast<void*>(make<Inst_Provider>(c.shape, req))
                                              : static_cast<void*>(make<Ind_Provider>(c.shape, req));
        script.throw_now = true;
        EXPECT_EQ(run(c.shape, c.op, object, req), c.status);
        EXPECT_EQ(req.end_calls, c.end_calls);
        if (c.end_calls) {
            EXPECT_EQ(req.end_status, c.status);
        }
        script.throw_now = false;
        run(c.shape, 2, object, req);
    }
}

TEST_F(DispatchShape, ConstructorThatThrowsLeavesNoObject)
{
    script.throw_in_ctor = true;
    Requests req;
    void* object = &req;
    EXPECT_EQ(run(INSTANCE, 1, &object, req), -1);
    EXPECT_EQ(object, nullptr);
}

TEST_F(DispatchShape, GetInstancePassesOnlyAFoundInstance)
{
    Requests req;
    Inst_Provider* object = make<Inst_Provider>(INSTANCE, req);
    VELDARO_RAIDStoragePool* model = VELDARO_RAIDStoragePool::create();
    for (int status : {0, 60}) {
        script.status = status;
        script.leave_instance = true;
        Instance* out = reinterpret_cast<Instance*>(&req);
        EXPECT_EQ((instance_proc<Inst_Provider, VELDARO_RAIDStoragePool>(5, object, model, &out, nullptr, nullptr,
                                                                        nullptr, nullptr, nullptr, nullptr)),
                  status);
        if (status == 0) {
            EXPECT_NE(out, nullptr);
        } else {
            EXPECT_EQ(out, nullptr) << "an instance left with 60 is freed, not passed on";
        }
        if (out)
            destroy(out);
    }
    destroy(model);
    run(INSTANCE, 2, object, req);
}

// A volume, as the extent end of a CIM_BasedOn.
CIM_StorageExtent* volume(const char* id)
{
    VELDARO_StorageVolume* v = VELDARO_StorageVolume::create();
    v->SystemName.set("10.0.0.1");
    v->DeviceID.set(id);
    return cast<CIM_StorageExtent*>(v);
}

// A CIM_BasedOn between the volumes of those IDs.
CIM_BasedOn* based_on(const char* antecedent, const char* dependent)
{
    CIM_BasedOn* association = CIM_BasedOn::create();
    association->Antecedent = volume(antecedent);
    association->Dependent = volume(dependent);
    return association;
}

// GetInstance of an association asks the references of the model's last
// end through its role and keeps the key-equal answer; it never enumerates.
TEST_F(DispatchShape, AssociationGetInstanceComesFromTheReferencesOfItsEnd)
{
    Requests req;
    Assoc_Provider* object = make<Assoc_Provider>(ASSOCIATION, req);
    CIM_BasedOn* model = based_on("1", "2");
    CIM_BasedOn* other = based_on("1", "3");
    struct Case {
        int references_status;
        const Instance* match;
        int expected;
    } cases[] = {
        {0, model, 0},    // found among others
        {0, other, 60},   // only associations with other keys
        {0, nullptr, 60}, // nothing
        {121, nullptr, 61}, // references not answered: the caller may still enumerate
        {120, model, 61},   // references failed: likewise
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.references_status << " " << c.expected);
        script.status = c.references_status;
        script.match = c.match;
        script.hand_out = 2;
        Instance* out = nullptr;
        EXPECT_EQ((association_proc<Assoc_Provider, CIM_BasedOn>(5, object, model, &out, nullptr, nullptr, nullptr,
                                                                 nullptr, nullptr)),
                  c.expected);
        EXPECT_STREQ(script.last, "enum_references");
        EXPECT_EQ(script.asked, model->Dependent);
        EXPECT_EQ(script.role, "Dependent");
        if (c.expected == 0) {
            ASSERT_NE(out, nullptr);
            EXPECT_TRUE(key_eq(out, model));
            EXPECT_NE(out, model);
        } else {
            EXPECT_EQ(out, nullptr);
        }
        if (out)
            destroy(out);
    }
    destroy(model);
    destroy(other);
    run(ASSOCIATION, 2, object, req);
}

// Associator names the provider does not answer come from its enumeration,
// and the request ends once. Each association handed over lends its far end
// (the association's own reference, not a copy) and is then freed with it:
// CIMPLE's own fallback for this keeps every far end it lends,
// so the sanitizer build's leak check stands for the freeing here.
TEST_F(DispatchShape, AssociatorNamesNotAnsweredComeFromTheEnumerationWhichIsFreed)
{
    Requests unused;
    Assoc_Provider* object = make<Assoc_Provider>(ASSOCIATION, unused);
    CIM_BasedOn* pair = based_on("1", "2");
    CIM_StorageExtent* source = volume("1");
    static String any("");
    struct Case {
        int enum_status;
        int unrelated;
        int expected;
    } cases[] = {{0, 0, 0}, {0, 3, 0}, {70, 1, 110}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.enum_status << " " << c.unrelated);
        script.names_unsupported = true;
        script.status = c.enum_status;
        script.hand_out = c.unrelated;
        script.match = pair;
        Requests req;
        EXPECT_EQ((association_proc<Assoc_Provider, CIM_BasedOn>(14, object, source, &any, &any, &any,
                                                                 fn(&names_cb), &req, nullptr)),
                  c.expected);
        EXPECT_STREQ(script.last, "enum_instances");
        EXPECT_EQ(req.instances, 1);
        ASSERT_NE(req.last_lent, nullptr);
        EXPECT_TRUE(key_eq(req.last_lent.get(), pair->Dependent));
        EXPECT_EQ(req.end_calls, 1);
        EXPECT_EQ(req.end_status, c.expected);
    }
    destroy(source);
    destroy(pair);
    run(ASSOCIATION, 2, object, unused);
}

// A provider whose table row names the end to look an instance up from.
struct From_Antecedent_Provider : Recording_Provider<CIM_BasedOn> {
    static constexpr const char* GET_INSTANCE_ROLE = "Antecedent";
};

// An association with a chosen end is looked up among that end's
// references; without a value there, among those of its other end.
TEST_F(DispatchShape, AssociationGetInstanceAsksTheEndItsProviderNames)
{
    auto* object = new From_Antecedent_Provider;
    CIM_BasedOn* model = CIM_BasedOn::create();
    model->Antecedent = volume("1");
    model->Dependent = volume("2");
    CIM_BasedOn* halfModel = CIM_BasedOn::create();
    halfModel->Dependent = volume("2");
    for (CIM_BasedOn* m : {model, halfModel}) {
        script.status = 0;
        script.match = m;
        Instance* out = nullptr;
        EXPECT_EQ((association_proc<From_Antecedent_Provider, CIM_BasedOn>(5, object, m, &out, nullptr, nullptr,
                                                                           nullptr, nullptr, nullptr)),
                  0);
        EXPECT_EQ(script.asked, m->Antecedent ? m->Antecedent : m->Dependent);
        EXPECT_EQ(script.role, m->Antecedent ? "Antecedent" : "Dependent");
        if (out)
            destroy(out);
    }
    destroy(model);
    destroy(halfModel);
    delete object;
}

TEST_F(DispatchShape, MissingProviderObjectAnswersTheFailureStatus)
{
    Requests req;
    EXPECT_EQ(run(ASSOCIATION, 6, nullptr, req), 70);
    EXPECT_EQ(req.end_calls, 1);
    EXPECT_EQ(run(INSTANCE, 5, nullptr, req), -1);
    EXPECT_EQ(run(INDICATION, 11, nullptr, req), 140);
    EXPECT_EQ(run(INDICATION, 12, nullptr, req), 150);
    EXPECT_EQ(script.calls, 0);
}

TEST_F(DispatchShape, InstanceShapeWithoutMethodsAnswersInvokeWithMinusOne)
{
    Requests req;
    Inst_Provider* object = make<Inst_Provider>(INSTANCE, req);
    EXPECT_EQ(run(INSTANCE, 10, object, req, false), -1);
    EXPECT_EQ(script.calls, 0);
    run(INSTANCE, 2, object, req);
}

TEST_F(DispatchShape, EnableIndicationsHandsOverAHeapHandler)
{
    Requests req;
    Ind_Provider* object = make<Ind_Provider>(INDICATION, req);
    Ind_Provider::handed_handler = false;
    EXPECT_EQ(run(INDICATION, 11, object, req), 0);
    EXPECT_TRUE(Ind_Provider::handed_handler);
    // The handler carried the adapter's callback and client data.
    EXPECT_EQ(req.instances, 1);
    EXPECT_EQ(req.final_calls, 1);
    run(INDICATION, 2, object, req);
}

} // namespace

// A served class whose indication handler cannot be allocated, to show that
// enable_indications is then not called and the operation answers 140.
namespace {
class Unallocatable_Indication : public CIM_InstCreation {};
} // namespace

template <>
class cimple::Indication_Handler<Unallocatable_Indication> : public cimple::Indication_Handler<cimple::Instance> {
public:
    Indication_Handler(Indication_Proc proc, void* client_data) : Indication_Handler<Instance>(proc, client_data) {}
    static void* operator new(size_t, const std::nothrow_t&) noexcept { return nullptr; }
    static void operator delete(void* p) noexcept { ::operator delete(p); }
};

namespace {

TEST_F(DispatchShape, EnableIndicationsWithoutHandlerMemoryAnswers140)
{
    using P = Recording_Provider<Unallocatable_Indication>;
    P* object = nullptr;
    ASSERT_EQ((indication_proc<P, Unallocatable_Indication>(1, &object, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                            nullptr, nullptr)),
              0);
    Requests req;
    EXPECT_EQ((indication_proc<P, Unallocatable_Indication>(11, object, fn(&indication_cb), &req, nullptr, nullptr,
                                                            nullptr, nullptr, nullptr)),
              140);
    EXPECT_EQ(script.calls, 0) << "enable_indications is not called without a handler";
    EXPECT_EQ((indication_proc<P, Unallocatable_Indication>(2, object, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                            nullptr, nullptr)),
              0);
}

} // namespace
