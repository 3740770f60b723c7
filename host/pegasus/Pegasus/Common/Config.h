#pragma once
// Basic integer and boolean types of the CIM server common library.

#include <cstdint>

namespace Pegasus {

using Uint16 = std::uint16_t;
using Uint32 = std::uint32_t;
using Sint32 = std::int32_t;
using Boolean = bool;

}  // namespace Pegasus
