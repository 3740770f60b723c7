#pragma once
// What every association provider shares, whatever its shape: the creation
// of an association instance from its two ends, ownership of the ends while
// a pair builder holds them, the storage address of a request's source, the
// test of a source's class, the failure record, and the address arithmetic
// of the association properties.
//
// The two shapes build on it: Association_Parent_Frame (enumeration,
// associators and associator names through one request worker) and
// Association_Map_Frame (enumeration only, through a map of the association
// class). A pair builder is a free function of the provider's source that
// gets the frame; it builds both ends through the end classes' Resources and
// hands each pair to the provider's emitter:
//
//   bool hostRAIDPools(Association_Parent_Frame& frame)
//   {
//       return Association_Provider_Frame::guard(__FILE__, __LINE__, [&] {
//           ... Owned<VELDARO_RAIDStoragePool> pool(built); ...
//           emit(frame, clone(system), pool.release(), far);
//           return true;
//       });
//   }

#include <cimple/cimple.h>

#include "Any_Class_Handler.h"

#include <cstdint>
#include <memory>
#include <new>

namespace cimple {

// Destroys an instance that a pair builder still holds when it leaves,
// also when an exception passes.
struct Instance_Destroyer {
    void operator()(Instance* instance) const { destroy(instance); }
};
template <class T>
using Owned = std::unique_ptr<T, Instance_Destroyer>;

// Table indexes a walk visits: begin .. end-1.
struct Index_Range {
    int begin;
    int end;
    // Every index below count (none for a negative count).
    static Index_Range all(int count) { return Index_Range{0, count < 0 ? 0 : count}; }
    // Only index, when it lies below count.
    static Index_Range one(int index, int count)
    {
        return (index >= 0 && index < count) ? Index_Range{index, index + 1} : Index_Range{0, 0};
    }
};

class Association_Provider_Frame {
public:
    // Name spaces of the ends: the profile-registration side (registered
    // profiles, the object manager, the provider's software identity) and
    // the array side.
    static constexpr const char* INTEROP_NAMESPACE = "interop";
    static constexpr const char* ARRAY_NAMESPACE = "root/kestris";

    // A 64-bit value with every bit set stands for "no value".
    static constexpr std::uint64_t NO_VALUE = ~std::uint64_t(0);
    static constexpr std::uint64_t BLOCK_SIZE = 512;

    // "Association Provider Error" at level SEVERE with the catching
    // code's file and line.
    static void logError(const char* file, unsigned line);

    // Runs body (returning bool) and turns an exception into false after
    // logging it. Instances the body holds are Owned, so they go with it.
    template <class Body>
    static bool guard(const char* file, unsigned line, Body body)
    {
        try {
            return body();
        } catch (...) {
            logError(file, line);
            return false;
        }
    }

    // A new association of class mc whose first reference (in the order of
    // the class's features) points to first and second one to second. The
    // association owns both ends from then on; when it cannot be made, both
    // ends are destroyed and null is returned.
    static Instance* newAssociation(const Meta_Class* mc, Instance* first, Instance* second);
    // The same, but an association that cannot be made throws
    // std::bad_alloc (the builder's guard logs it and fails) instead of
    // answering null.
    static Instance* makeAssociation(const Meta_Class* mc, Instance* first, Instance* second)
    {
        Instance* made = newAssociation(mc, first, second);
        if (!made)
            throw std::bad_alloc();
        return made;
    }

    // False when an end of the association is of a class the module's
    // host does not route to it (Unregistered_Classes): the frames drop
    // such an association rather than answer a reference that dangles.
    static bool hostServesEnds(const Instance* association);

    // Places the end in a name space (INTEROP_NAMESPACE or ARRAY_NAMESPACE)
    // and gives it back, so it can stand in an emit or add call.
    template <class T>
    static T* inNameSpace(T* end, const char* nameSpace)
    {
        if (end)
            end->__name_space = nameSpace;
        return end;
    }

    // True when source is of the class or of a subclass of it; false for
    // a null source.
    static bool isOf(const Instance* source, const Meta_Class& mc);

    // 0 when the source is of one of the element classes this library
    // serves (a source the provider does not relate: an empty answer), -1
    // for a null source or any other class (the request is not supported).
    static int checkProviderClass(const Instance* source);

    // The value of a string property of the source, or null when the class
    // has no such property or its value is null.
    static const String* stringValue(const Instance* source, const char* name);

    // Storage address of a source: its SystemName (devices, extents,
    // ports, controllers, services), its Name (the storage system), the text
    // before the first "_" of its Name (a controller system), or the text
    // after the last "_" of a key (pools and the like). Each answers false,
    // with the address untouched, when the value is missing or holds no
    // address, or when the text names no configured array.
    static bool storageFromProperty(const Instance* source, const char* name, String& address);
    static bool storageFromControllerName(const Instance* source, String& address);
    static bool storageFromKeySuffix(const Instance* source, const char* key, String& address);

    // How a source's key names its array, for request dispatch tables:
    // one of the forms above, or none (the source belongs to no array).
    struct Storage_Key {
        enum Kind { PROPERTY, CONTROLLER_NAME, KEY_SUFFIX, NO_ARRAY } kind;
        const char* property;
    };
    static constexpr Storage_Key BY_SYSTEM_NAME{Storage_Key::PROPERTY, "SystemName"};
    static constexpr Storage_Key BY_NAME{Storage_Key::PROPERTY, "Name"};
    static constexpr Storage_Key BY_CONTROLLER_NAME{Storage_Key::CONTROLLER_NAME, "Name"};
    static constexpr Storage_Key BY_INSTANCE_ID{Storage_Key::KEY_SUFFIX, "InstanceID"};
    static constexpr Storage_Key BY_DEVICE_ID{Storage_Key::KEY_SUFFIX, "DeviceID"};
    static constexpr Storage_Key BY_TAG{Storage_Key::KEY_SUFFIX, "Tag"};
    static constexpr Storage_Key NO_ARRAY{Storage_Key::NO_ARRAY, nullptr};
    // The address the key names (false for NO_ARRAY and when it names none).
    static bool storageOf(const Instance* source, Storage_Key key, String& address);

    // The text of a string key property, or null.
    static const char* keyText(const Instance* source, const char* name)
    {
        const String* value = stringValue(source, name);
        return value ? value->c_str() : nullptr;
    }

    // Byte address of the last byte of n blocks: n * 512 - 1, and 0 for
    // n = 0.
    static std::uint64_t lastByte(std::uint64_t blocks) { return blocks == 0 ? 0 : blocks * BLOCK_SIZE - 1; }
    // The same without the zero case: 0 blocks give NO_VALUE.
    static std::uint64_t plainLastByte(std::uint64_t blocks) { return blocks * BLOCK_SIZE - 1; }

    // Sets the property, or leaves it null for NO_VALUE.
    static void setUnlessNoValue(Property<uint64>& property, std::uint64_t value)
    {
        if (value != NO_VALUE)
            property.set(value);
    }
};

}  // namespace cimple
