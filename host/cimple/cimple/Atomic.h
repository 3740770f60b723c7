// Reference count of a meta-data record. Records are constant-initialised
// aggregates; their count is always 0 and never changes.
#ifndef CIMPLE_ATOMIC_H
#define CIMPLE_ATOMIC_H

namespace cimple {

struct Atomic {
    volatile int n;
};

} // namespace cimple

// Initialiser of an Atomic inside a record's aggregate initialiser.
#define CIMPLE_ATOMIC_INITIALIZER {0}

#endif
