#pragma once
// The common pre-check of every extrinsic method that works on an array's
// configuration.
//
//   VELDARO_RefTable table(address);
//   const std::uint32_t rc = SMISMethodCom::mcFirstCommonProcess(
//       SMISMethodCom::CHECK_VALID_TABLE | SMISMethodCom::CHECK_AVAILABLE, &table);
//   if (rc != 0) { returnValue = rc; return 0; }   // the method ends
//   // the view has been re-bound to the image the refresh installed

#include <cstdint>

namespace cimple {

class VELDARO_RefTable;

class SMISMethodCom {
public:
    // Flag bits.
    static constexpr std::uint32_t CHECK_VALID_TABLE = 0x01;
    static constexpr std::uint32_t CHECK_AVAILABLE = 0x04;
    // The method's return value on any failed check.
    static constexpr std::uint32_t METHOD_FAILED = 0x8030;

    SMISMethodCom() = default;
    SMISMethodCom& operator=(const SMISMethodCom&) { return *this; }

    // 0 to go on, 0x8030 to end the method. With CHECK_AVAILABLE the array
    // must be marked reachable, and its table is refreshed (conditionally);
    // after a successful refresh the view is re-bound to the current image.
    static std::uint32_t mcFirstCommonProcess(std::uint32_t flags, VELDARO_RefTable* table);
};

}  // namespace cimple
