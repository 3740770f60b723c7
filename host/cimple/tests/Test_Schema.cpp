// Meta-data records of the test schema, in the form a generator emits:
// every record is a constant-initialised aggregate, features are listed by
// address, offsets come from CIMPLE_OFF, sizes from sizeof.
#include "Test_Schema.h"

#include <cimple/config.h>

namespace cimple {

// ---- Test_Base ----------------------------------------------------------

static const Meta_Property _Test_Base_Name = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_KEY, "Name", nullptr, 0, STRING, 0, CIMPLE_OFF(Test_Base, Name), nullptr};
static const Meta_Property _Test_Base_Count = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Count", nullptr, 0, UINT16, 0, CIMPLE_OFF(Test_Base, Count), nullptr};
static const Meta_Property _Test_Base_Tags = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Tags", nullptr, 0, STRING, -1, CIMPLE_OFF(Test_Base, Tags), nullptr};

static const Meta_Feature* const _Test_Base_MFA[] = {
    reinterpret_cast<const Meta_Feature*>(&_Test_Base_Name),
    reinterpret_cast<const Meta_Feature*>(&_Test_Base_Count),
    reinterpret_cast<const Meta_Feature*>(&_Test_Base_Tags),
};
static const Meta_Feature_Local _Test_Base_locals[] = {{1}, {1}, {1}};

const Meta_Class Test_Base::static_meta_class = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_CLASS, "Test_Base", nullptr, 0, _Test_Base_MFA, 3, sizeof(Test_Base),
    _Test_Base_locals, nullptr, 1, &test_repository};

// ---- Test_Derived -------------------------------------------------------

static const Meta_Value_Scalar<uint16> _Test_Derived_State_MV = {5};
static const Meta_Value_Scalar<boolean> _Test_Derived_Enabled_MV = {true};
static const Meta_Value_Scalar<char16> _Test_Derived_Letter_MV = {char16('A')};
static const uint64 _Test_Derived_Sizes_MVA[] = {1, 2};
static const Meta_Value_Array<uint64> _Test_Derived_Sizes_MV = {_Test_Derived_Sizes_MVA, 2};

// Every class carries its own records for inherited features, so that the
// offsets are those of its own struct.
static const Meta_Property _Test_Derived_Name = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_KEY, "Name", nullptr, 0, STRING, 0, CIMPLE_OFF(Test_Derived, Name), nullptr};
static const Meta_Property _Test_Derived_Count = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Count", nullptr, 0, UINT16, 0, CIMPLE_OFF(Test_Derived, Count), nullptr};
static const Meta_Property _Test_Derived_Tags = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Tags", nullptr, 0, STRING, -1, CIMPLE_OFF(Test_Derived, Tags), nullptr};
static const Meta_Property _Test_Derived_State = {CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_WRITE, "State", nullptr, 0,
                                                  UINT16, 0, CIMPLE_OFF(Test_Derived, State),
                                                  reinterpret_cast<const Meta_Value*>(&_Test_Derived_State_MV)};
static const Meta_Property _Test_Derived_Enabled = {CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Enabled", nullptr, 0,
                                                    BOOLEAN, 0, CIMPLE_OFF(Test_Derived, Enabled),
                                                    reinterpret_cast<const Meta_Value*>(&_Test_Derived_Enabled_MV)};
static const Meta_Property _Test_Derived_When = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "When", nullptr, 0, DATETIME, 0, CIMPLE_OFF(Test_Derived, When), nullptr};
static const Meta_Property _Test_Derived_Letter = {CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Letter", nullptr, 0,
                                                   CHAR16, 0, CIMPLE_OFF(Test_Derived, Letter),
                                                   reinterpret_cast<const Meta_Value*>(&_Test_Derived_Letter_MV)};
static const Meta_Property _Test_Derived_Big = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_COUNTER, "Big", nullptr, 0, SINT64, 0, CIMPLE_OFF(Test_Derived, Big), nullptr};
static const Meta_Property _Test_Derived_Ratio = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Ratio", nullptr, 0, REAL64, 0, CIMPLE_OFF(Test_Derived, Ratio), nullptr};
static const Meta_Property _Test_Derived_Sizes = {CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Sizes", nullptr, 0,
                                                  UINT64, -1, CIMPLE_OFF(Test_Derived, Sizes),
                                                  reinterpret_cast<const Meta_Value*>(&_Test_Derived_Sizes_MV)};

// Method Frob: parameters in order, return_value last.
static const Meta_Property _Test_Derived_Frob_Mode = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_IN | CIMPLE_FLAG_REQUIRED, "Mode", nullptr, 0, UINT16, 0,
    CIMPLE_OFF(Test_Derived_Frob_method, Mode), nullptr};
static const Meta_Reference _Test_Derived_Frob_Target = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_IN, "Target", nullptr, 0, 0, &Test_Base::static_meta_class,
    CIMPLE_OFF(Test_Derived_Frob_method, Target)};
static const Meta_Reference _Test_Derived_Frob_Targets = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_IN | CIMPLE_FLAG_OUT, "Targets", nullptr, 0, -1, &Test_Base::static_meta_class,
    CIMPLE_OFF(Test_Derived_Frob_method, Targets)};
static const Meta_Property _Test_Derived_Frob_Sizes = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_OUT, "Sizes", nullptr, 0, UINT64, -1,
    CIMPLE_OFF(Test_Derived_Frob_method, Sizes), nullptr};
static const Meta_Reference _Test_Derived_Frob_Goal = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_IN | CIMPLE_FLAG_EMBEDDED_OBJECT, "Goal", nullptr, 0, 0, &Test_Base::static_meta_class,
    CIMPLE_OFF(Test_Derived_Frob_method, Goal)};
static const Meta_Property _Test_Derived_Frob_return_value = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_OUT, "return_value", nullptr, 0, UINT32, 0,
    CIMPLE_OFF(Test_Derived_Frob_method, return_value), nullptr};

static const Meta_Feature* const _Test_Derived_Frob_MFA[] = {
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Frob_Mode),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Frob_Target),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Frob_Targets),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Frob_Sizes),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Frob_Goal),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Frob_return_value),
};

const Meta_Method Test_Derived_Frob_method::static_meta_class = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_METHOD, "Frob", nullptr, 0, _Test_Derived_Frob_MFA, 6, sizeof(Test_Derived_Frob_method), UINT32};

static const Meta_Feature* const _Test_Derived_MFA[] = {
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Name),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Count),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Tags),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_State),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Enabled),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_When),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Letter),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Big),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Ratio),
    reinterpret_cast<const Meta_Feature*>(&_Test_Derived_Sizes),
    reinterpret_cast<const Meta_Feature*>(&Test_Derived_Frob_method::static_meta_class),
};
static const Meta_Feature_Local _Test_Derived_locals[] = {{0}, {0}, {0}, {1}, {1}, {1}, {1}, {1}, {1}, {1}, {1}};

const Meta_Class Test_Derived::static_meta_class = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_CLASS, "Test_Derived", nullptr, 0, _Test_Derived_MFA, 11, sizeof(Test_Derived),
    _Test_Derived_locals, &Test_Base::static_meta_class, 1, &test_repository};

// ---- Test_Holder --------------------------------------------------------

static const Meta_Property _Test_Holder_Id = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_KEY, "Id", nullptr, 0, UINT32, 0, CIMPLE_OFF(Test_Holder, Id), nullptr};
static const Meta_Reference _Test_Holder_Owner = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE, "Owner", nullptr, 0, 0, &Test_Base::static_meta_class, CIMPLE_OFF(Test_Holder, Owner)};
static const Meta_Reference _Test_Holder_Embedded = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_EMBEDDED_OBJECT, "Embedded", nullptr, 0, 0, nullptr,
    CIMPLE_OFF(Test_Holder, Embedded)};
static const Meta_Property _Test_Holder_Note = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Note", nullptr, 0, STRING, 0, CIMPLE_OFF(Test_Holder, Note), nullptr};

static const Meta_Feature* const _Test_Holder_MFA[] = {
    reinterpret_cast<const Meta_Feature*>(&_Test_Holder_Id),
    reinterpret_cast<const Meta_Feature*>(&_Test_Holder_Owner),
    reinterpret_cast<const Meta_Feature*>(&_Test_Holder_Embedded),
    reinterpret_cast<const Meta_Feature*>(&_Test_Holder_Note),
};
static const Meta_Feature_Local _Test_Holder_locals[] = {{1}, {1}, {1}, {1}};

const Meta_Class Test_Holder::static_meta_class = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_CLASS | CIMPLE_FLAG_INDICATION, "Test_Holder", nullptr, 0, _Test_Holder_MFA, 4, sizeof(Test_Holder),
    _Test_Holder_locals, nullptr, 1, &test_repository};

// ---- Test_Link ----------------------------------------------------------

static const Meta_Reference _Test_Link_Antecedent = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_KEY, "Antecedent", nullptr, 0, 0, &Test_Base::static_meta_class,
    CIMPLE_OFF(Test_Link, Antecedent)};
static const Meta_Reference _Test_Link_Dependent = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_KEY, "Dependent", nullptr, 0, 0, &Test_Derived::static_meta_class,
    CIMPLE_OFF(Test_Link, Dependent)};
static const Meta_Property _Test_Link_Weight = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Weight", nullptr, 0, UINT32, 0, CIMPLE_OFF(Test_Link, Weight), nullptr};

static const Meta_Feature* const _Test_Link_MFA[] = {
    reinterpret_cast<const Meta_Feature*>(&_Test_Link_Antecedent),
    reinterpret_cast<const Meta_Feature*>(&_Test_Link_Dependent),
    reinterpret_cast<const Meta_Feature*>(&_Test_Link_Weight),
};
static const Meta_Feature_Local _Test_Link_locals[] = {{1}, {1}, {1}};

const Meta_Class Test_Link::static_meta_class = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_CLASS | CIMPLE_FLAG_ASSOCIATION, "Test_Link", nullptr, 0, _Test_Link_MFA, 3, sizeof(Test_Link),
    _Test_Link_locals, nullptr, 2, &test_repository};

// ---- Test_Peer ----------------------------------------------------------

static const Meta_Reference _Test_Peer_Parent = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_KEY, "Parent", nullptr, 0, 0, &Test_Base::static_meta_class,
    CIMPLE_OFF(Test_Peer, Parent)};
static const Meta_Reference _Test_Peer_Child = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_REFERENCE | CIMPLE_FLAG_KEY, "Child", nullptr, 0, 0, &Test_Base::static_meta_class,
    CIMPLE_OFF(Test_Peer, Child)};

static const Meta_Feature* const _Test_Peer_MFA[] = {
    reinterpret_cast<const Meta_Feature*>(&_Test_Peer_Parent),
    reinterpret_cast<const Meta_Feature*>(&_Test_Peer_Child),
};
static const Meta_Feature_Local _Test_Peer_locals[] = {{1}, {1}};

const Meta_Class Test_Peer::static_meta_class = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_CLASS | CIMPLE_FLAG_ASSOCIATION | CIMPLE_FLAG_AGGREGATION, "Test_Peer", nullptr, 0, _Test_Peer_MFA, 2,
    sizeof(Test_Peer), _Test_Peer_locals, nullptr, 2, &test_repository};

// ---- Test_Child ---------------------------------------------------------

static const Meta_Value_Scalar<uint32> _Test_Child_Extra_MV = {9};
static const Meta_Property _Test_Child_Name = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_KEY, "Name", nullptr, 0, STRING, 0, CIMPLE_OFF(Test_Child, Name), nullptr};
static const Meta_Property _Test_Child_Count = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Count", nullptr, 0, UINT16, 0, CIMPLE_OFF(Test_Child, Count), nullptr};
static const Meta_Property _Test_Child_Tags = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Tags", nullptr, 0, STRING, -1, CIMPLE_OFF(Test_Child, Tags), nullptr};
static const Meta_Property _Test_Child_Extra = {CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY, "Extra", nullptr, 0,
                                                UINT32, 0, CIMPLE_OFF(Test_Child, Extra),
                                                reinterpret_cast<const Meta_Value*>(&_Test_Child_Extra_MV)};

static const Meta_Feature* const _Test_Child_MFA[] = {
    reinterpret_cast<const Meta_Feature*>(&_Test_Child_Name),
    reinterpret_cast<const Meta_Feature*>(&_Test_Child_Count),
    reinterpret_cast<const Meta_Feature*>(&_Test_Child_Tags),
    reinterpret_cast<const Meta_Feature*>(&_Test_Child_Extra),
};
static const Meta_Feature_Local _Test_Child_locals[] = {{0}, {0}, {0}, {1}};

const Meta_Class Test_Child::static_meta_class = {
    CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_CLASS, "Test_Child", nullptr, 0, _Test_Child_MFA, 4, sizeof(Test_Child),
    _Test_Child_locals, &Test_Base::static_meta_class, 1, &test_repository};

// ---- repository ---------------------------------------------------------

static const Meta_Class* const _test_meta_classes[] = {
    &Test_Base::static_meta_class, &Test_Derived::static_meta_class, &Test_Holder::static_meta_class,
    &Test_Link::static_meta_class, &Test_Peer::static_meta_class, &Test_Child::static_meta_class};

const Meta_Repository test_repository = {_test_meta_classes, 6};

} // namespace cimple
