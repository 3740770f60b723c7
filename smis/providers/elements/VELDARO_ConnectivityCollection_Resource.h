#pragma once
// Builds VELDARO_ConnectivityCollection instances: one per remote array
// (remote box) to which one array has remote-copy paths, with a status from
// the live state of those paths (asked over the array channel). Also used
// by the association providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_ConnectivityCollection.h"

namespace cimple {

class VELDARO_ConnectivityCollection_Resource {
public:
    explicit VELDARO_ConnectivityCollection_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_ConnectivityCollection_Resource();
    VELDARO_ConnectivityCollection_Resource(const VELDARO_ConnectivityCollection_Resource&) = delete;
    VELDARO_ConnectivityCollection_Resource& operator=(const VELDARO_ConnectivityCollection_Resource&) = delete;

    // 0 done (also when the array returned no path data), 1 error (logged),
    // 2 the array's table image is not valid.
    int createConnectivityCollection();

    // ConnectivityStatus of a box with paths paths of which normal are
    // normal: 2 all, 4 some, 3 none (also without paths).
    static std::uint16_t connectivityStatus(unsigned paths, unsigned normal);

    Array<VELDARO_ConnectivityCollection*>& instances() { return _instances; }

private:
    Array<VELDARO_ConnectivityCollection*> _instances;
    String _storage;
};

}  // namespace cimple
