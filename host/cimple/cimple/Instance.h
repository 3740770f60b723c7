// Instances of CIM classes and the operations over them.
//
// An instance is one heap block laid out as its class record says: the
// Instance head followed by one field per property or reference at the
// offset that the feature's record gives. The framework reaches fields only
// through those offsets. A generated class struct derives from Instance and
// declares every field of its class's feature list itself, the inherited
// ones first in feature order (methods have no field), for example:
//
//   class CIM_Example : public cimple::Instance {
//   public:
//       cimple::Property<cimple::String> Name;          // string (key)
//       cimple::Property<cimple::uint16> EnabledState;  // uint16
//       cimple::Property<cimple::Array<cimple::uint16>> Modes; // uint16[]
//       CIM_Other* Peer;                                 // REF CIM_Other
//       cimple::Instance* Embedded;                      // embedded object
//       CIMPLE_CLASS(CIM_Example)
//   };
//
// and its record is defined as `const Meta_Class CIM_Example::static_meta_class`
// (see Meta_Class.h; a complete hand-written example is the test schema in
// host/cimple/tests/Test_Schema.h and Test_Schema.cpp). A method instance is a
// struct of the same kind with one field per parameter and the uint32
// return value last:
//
//   class CIM_Example_Frob_method : public cimple::Instance {
//   public:
//       cimple::Property<cimple::uint16> Mode;         // uint16 IN
//       CIM_Other* Target;                             // REF IN/OUT
//       cimple::Array<CIM_Other*> Targets;             // REF[] IN
//       cimple::Property<cimple::uint32> return_value; // OUT
//       CIMPLE_METHOD(CIM_Example_Frob_method)
//   };
//
// Class structs do not derive from one another: a subclass struct repeats
// its superclass's fields at the same positions, so `cast` (below) converts
// a pointer to an instance into a pointer to any class struct the instance's
// class is or derives from.
//
// Ownership: an instance owns everything its fields point to (referenced
// and embedded instances, the elements of reference arrays); `destroy`
// frees all of it and `clone` copies all of it.
#ifndef CIMPLE_INSTANCE_H
#define CIMPLE_INSTANCE_H

#include <cimple/Array.h>
#include <cimple/Datetime.h>
#include <cimple/Meta_Class.h>
#include <cimple/Property.h>
#include <cimple/String.h>
#include <cimple/char16.h>

#include <atomic>
#include <type_traits>
#include <sys/types.h>

namespace cimple {

class Instance {
public:
    const Meta_Class* meta_class; // class record (for a method instance: its Meta_Method)
    std::atomic<uint32> __refs;   // 1 while the instance lives
    String __name_space;          // name space of the instance ("" when none is set)
};

// A new instance of the class. Without defaults every property is present
// with its empty value (0, false, "", a date-time of zero, no elements);
// with defaults, each property whose record carries a default value takes
// it and is present, and every other property is null. References are null
// either way. Null for a null record. So a provider that means to leave
// properties unset asks for create(mc, true), or marks them null itself.
Instance* create(const Meta_Class* mc, bool defaults = false);
// A new method instance: every parameter and the return value present with
// its empty value, as create(mc) without defaults.
Instance* create(const Meta_Method* mm);

// A deep copy: values, null flags, the name space, and copies of every
// referenced, embedded and reference-array instance. Null for null.
Instance* clone(const Instance* inst);

// Frees the instance and everything it owns. The instance must not be null
// (a null one aborts the process with a message).
void destroy(Instance* inst);

// True when every key of a's class is a key of b's class of the same name
// and type with the same value and null flag in both; reference keys are
// compared by the keys of the instances they point to (both null counts as
// equal). The classes themselves are not compared: instances of two classes
// whose keys carry the same values are key-equal. Non-key properties are
// ignored. False when either is null.
bool key_eq(const Instance* a, const Instance* b);

// Sets the null flag of every key property (include_keys) and/or every
// non-key property (include_non_keys) to null_flag (1 null, 0 present).
// References have no flag and are left alone.
void __set_null_flags(const Instance* inst, bool include_keys, bool include_non_keys, uint8 null_flag);

inline void nullify_properties(const Instance* inst) { __set_null_flags(inst, true, true, 1); }
inline void de_nullify_properties(const Instance* inst) { __set_null_flags(inst, true, true, 0); }
inline void nullify_keys(const Instance* inst) { __set_null_flags(inst, true, false, 1); }
inline void nullify_non_keys(const Instance* inst) { __set_null_flags(inst, false, true, 1); }
inline void de_nullify_keys(const Instance* inst) { __set_null_flags(inst, true, false, 0); }

// The model path of the instance as CIMPLE writes it: its class name, then
// "." and the comma-separated key bindings Name=value in feature order. A
// text key is in double quotes as it stands (nothing escaped), a date-time
// bare, a char16 in single quotes, a real with six decimals; a reference key
// is the model path of the instance it points to in double quotes, its
// quotes escaped with a backslash. A method instance gives its name and
// ".". 0 on success; -1 for a null instance, a class without keys, a null
// key or a null reference key, the path then holding what was written
// before the failure.
int instance_to_model_path(const Instance* inst, String& model_path);

// True when one of the association's references (the one named role, or
// any when role is null or empty) points to an instance whose keys equal
// those of inst (key_eq).
bool is_reference_of(const Instance* inst, const Instance* assoc, const char* role);

// The associators of inst through the association instance: for every
// reference of assoc that points to an instance key-equal to inst and
// matches role (named so, or any role when null or empty), every other
// non-null reference of assoc that matches result_role (likewise) and whose
// instance is of result_class or a subclass of it (any when null or empty)
// is stored in associators, up to CIMPLE_MAX_REFERENCES_PER_CLASS of them.
// Stores the association's own pointers: the caller owns nothing. Returns the
// number stored, or -1 for a null inst or assoc or an assoc that is not an
// association.
#define CIMPLE_MAX_REFERENCES_PER_CLASS 16
ssize_t get_associators(const Instance* inst, const Instance* assoc, const char* result_class,
                        const char* role, const char* result_role,
                        const Instance* associators[CIMPLE_MAX_REFERENCES_PER_CLASS]);

// A checked conversion between pointers to instances: the pointer as a
// CLASS_PTR (a pointer to a class struct) when the instance is of that class
// or one of its subclasses, else null (also for null). For example:
//
//   CIM_StorageExtent* extent = cast<CIM_StorageExtent*>(volume);
template <class CLASS_PTR>
struct cast {
    explicit cast(const Instance* ptr)
        : _ptr(ptr)
    {
    }
    operator CLASS_PTR()
    {
        using CLASS = std::remove_cv_t<std::remove_pointer_t<CLASS_PTR>>;
        if (_ptr && is_subclass(&CLASS::static_meta_class, _ptr->meta_class))
            return static_cast<CLASS_PTR>(const_cast<Instance*>(_ptr));
        return nullptr;
    }

private:
    const Instance* _ptr;
};

} // namespace cimple

// Members that every generated class and method instance struct declares:
// instances live on the heap only, create() makes one, destroy() frees it,
// clone() copies it.
#define CIMPLE_INSTANCE_MEMBERS(CLASS)                                                      \
    static void destroy(CLASS* instance) { ::cimple::destroy(instance); }                  \
    CLASS* clone() const { return static_cast<CLASS*>(::cimple::clone(this)); }            \
                                                                                            \
private:                                                                                    \
    CLASS() {}                                                                              \
    ~CLASS() {}                                                                             \
                                                                                            \
public:

// Closes every generated class struct.
#define CIMPLE_CLASS(CLASS)                                                                 \
public:                                                                                     \
    static const ::cimple::Meta_Class static_meta_class;                                    \
    static CLASS* create(bool defaults = false)                                             \
    {                                                                                       \
        return static_cast<CLASS*>(::cimple::create(&CLASS::static_meta_class, defaults)); \
    }                                                                                       \
    CIMPLE_INSTANCE_MEMBERS(CLASS)

// Closes every generated method instance struct.
#define CIMPLE_METHOD(METHOD)                                                               \
public:                                                                                     \
    static const ::cimple::Meta_Method static_meta_class;                                   \
    static METHOD* create() { return static_cast<METHOD*>(::cimple::create(&METHOD::static_meta_class)); } \
    CIMPLE_INSTANCE_MEMBERS(METHOD)

#endif
