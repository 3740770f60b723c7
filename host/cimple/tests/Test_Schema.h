// A small schema written by hand in exactly the form that generated class
// code takes: one struct per class deriving from cimple::Instance with one
// field per property and reference of the class's whole feature list
// (inherited ones first, in the superclass's order), closed by CIMPLE_CLASS;
// one struct per method with one field per parameter and return_value last,
// closed by CIMPLE_METHOD. The records are in Test_Schema.cpp.
//
//   Test_Base                        Name (key), Count, Tags[]
//   Test_Derived : Test_Base         + State = 5, Enabled = true, When,
//                                      Letter = 'A', Big, Ratio, Sizes[] = {1, 2},
//                                      method Frob
//   Test_Holder                      Id (key), Owner (REF Test_Base),
//                                      Embedded (embedded object), Note
//   Test_Link (association)          Antecedent (REF Test_Base, key),
//                                      Dependent (REF Test_Derived, key), Weight
//   Test_Peer (association)          Parent (REF Test_Base, key), Child (REF Test_Base, key)
//   Test_Child : Test_Base           + Extra = 9
#ifndef CIMPLE_TESTS_TEST_SCHEMA_H
#define CIMPLE_TESTS_TEST_SCHEMA_H

#include <cimple/cimple.h>

namespace cimple {

class Test_Base : public Instance {
public:
    Property<String> Name;
    Property<uint16> Count;
    Property<Array<String>> Tags;
    CIMPLE_CLASS(Test_Base)
};

class Test_Derived : public Instance {
public:
    Property<String> Name;
    Property<uint16> Count;
    Property<Array<String>> Tags;
    Property<uint16> State;
    Property<boolean> Enabled;
    Property<Datetime> When;
    Property<char16> Letter;
    Property<sint64> Big;
    Property<real64> Ratio;
    Property<Array<uint64>> Sizes;
    CIMPLE_CLASS(Test_Derived)
};

class Test_Derived_Frob_method : public Instance {
public:
    Property<uint16> Mode;         // IN
    Test_Base* Target;             // REF IN
    Array<Test_Base*> Targets;     // REF[] IN, OUT
    Property<Array<uint64>> Sizes; // OUT
    Test_Base* Goal;               // embedded instance IN
    Property<uint32> return_value; // OUT
    CIMPLE_METHOD(Test_Derived_Frob_method)
};

class Test_Holder : public Instance {
public:
    Property<uint32> Id;
    Test_Base* Owner;
    Instance* Embedded;
    Property<String> Note;
    CIMPLE_CLASS(Test_Holder)
};

class Test_Link : public Instance {
public:
    Test_Base* Antecedent;
    Test_Derived* Dependent;
    Property<uint32> Weight;
    CIMPLE_CLASS(Test_Link)
};

class Test_Peer : public Instance {
public:
    Test_Base* Parent;
    Test_Base* Child;
    CIMPLE_CLASS(Test_Peer)
};

class Test_Child : public Instance {
public:
    Property<String> Name;
    Property<uint16> Count;
    Property<Array<String>> Tags;
    Property<uint32> Extra;
    CIMPLE_CLASS(Test_Child)
};

extern const Meta_Repository test_repository;

} // namespace cimple

#endif
