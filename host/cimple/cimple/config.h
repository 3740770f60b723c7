// The framework's configuration macros that the project uses; sources that
// define meta-data records include it for CIMPLE_OFF. CIMPLE_OFF gives the
// position of a field in a generated class struct as a constant expression,
// so that the records are constant-initialised (no start-up code). Generated
// class structs derive from Instance, which makes them non-standard-layout;
// GCC computes their offsets exactly but warns, and this header silences
// that warning for the including file.
#ifndef CIMPLE_CONFIG_H
#define CIMPLE_CONFIG_H

#include <cimple/Type.h>

#pragma GCC diagnostic ignored "-Winvalid-offsetof"

#define CIMPLE_OFF(CLASS, FIELD) static_cast<::cimple::uint32>(__builtin_offsetof(CLASS, FIELD))

#endif
