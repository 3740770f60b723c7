#pragma once
// The table check and the result mapping of the instance providers.

#include <cimple/Provider.h>

#include "CommonBase.h"

namespace cimple {

class Instance_Common : public CommonBase {
public:
    // FirstCommonProcess's answer: 1 and 2 pass through, anything else is 0.
    static int icFirstCommonProcess(VELDARO_RefTable* table);
    // 60 (not found) for a builder result of 1 or 2, else 0.
    static int checkGetInstanceResult(int result);
    // 70 (failed) for a builder result of 1, else 0.
    static int checkEnumInstanceResult(int result);
};

}  // namespace cimple
