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

#include <cstdint>
#include <memory>

namespace cimple {

// Destroys an instance that a pair builder still holds when it leaves,
// also when an exception passes.
struct Instance_Destroyer {
    void operator()(Instance* instance) const { destroy(instance); }
};
template <class T>
using Owned = std::unique_ptr<T, Instance_Destroyer>;

class Association_Provider_Frame {
public:
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
