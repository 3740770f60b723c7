#pragma once
// The functional profiles (DSP0200: 2 Basic Read, 3 Basic Write, 5 Instance
// Manipulation, 6 Association Traversal, 7 Query Execution, 9 Indications,
// ...) of the running CIM server: what its operations answer. The server
// publishes them before it listens; the provider that describes the
// server's communication mechanisms reads them, so that a client is never
// sent to an operation the server answers CIM_ERR_NOT_SUPPORTED. Empty
// until published, and under a CIM server that does not publish them.

#include <cstdint>
#include <string>
#include <vector>

namespace cimple {

class SMIS_FunctionalProfiles {
public:
    static void publish(std::vector<std::uint16_t> profiles);
    static std::vector<std::uint16_t> published();
    // The profile's name as FunctionalProfileDescriptions gives it.
    static std::string name(std::uint16_t profile);
};

}  // namespace cimple
