// The scenario with every table of one array at its limit, generated rather
// than written out: 16 CMs worth of limits, 64 CAs, 128 drive enclosures with
// 3072 disks, 8192 hosts, 2048 affinity groups, 128 LUN maps and host maps,
// 256 thin pools, 64 tiering pools, 16 remote boxes and full volume tables.
#pragma once

#include "SimArray.hpp"

namespace arraysim {

class MaxScenario {
public:
    static Json build();
};

}  // namespace arraysim
