#pragma once
// The arguments tests hand to the masking methods (ExposePaths, HidePaths,
// ExposeDefaultLUs, HideDefaultLUs) and the views they get back:
//
//   provider.ExposePaths(service, job, texts({volume}), texts({host}), texts({port}), texts({}),
//                        accesses(1), view, rc);
//   ...
//   clear(view);

#include <cstddef>
#include <string>
#include <vector>

#include <cimple/cimple.h>

#include "CIM_SCSIProtocolController.h"

namespace smis::test {

// A string-array argument.
inline cimple::Property<cimple::Array<cimple::String>> texts(const std::vector<std::string>& values)
{
    cimple::Property<cimple::Array<cimple::String>> p;
    cimple::Array<cimple::String> a;
    for (const std::string& v : values)
        a.append(v.c_str());
    p.set(a);
    return p;
}

// DeviceAccesses for n volumes, each read-write (2).
inline cimple::Property<cimple::Array<cimple::uint16>> accesses(std::size_t n)
{
    cimple::Property<cimple::Array<cimple::uint16>> p;
    cimple::Array<cimple::uint16> a;
    for (std::size_t i = 0; i < n; ++i)
        a.append(2);
    p.set(a);
    return p;
}

// Destroys the views a method handed back and empties the array.
inline void clear(cimple::Array<cimple::CIM_SCSIProtocolController*>& spcs)
{
    for (std::size_t i = 0; i < spcs.size(); ++i)
        cimple::destroy(spcs[i]);
    spcs.clear();
}

}  // namespace smis::test
