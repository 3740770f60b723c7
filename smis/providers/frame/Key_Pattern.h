#pragma once
// Reads the numbers of a key text that must have exactly the form the
// builders write, so that a key read back names the entry it was made from
// and no other: a pattern of literal text and fields, where "%Nd" is exactly
// N decimal digits, "%Nx" exactly N lower-case hexadecimal digits and "%NX"
// exactly N upper-case ones. After the pattern the key ends, or, with
// ADDRESS, goes on with "_" and a storage address (no further "_").
//
//   unsigned rlun = 0;
//   Key_Pattern::read("VELDARO:RSP0001_10.0.0.1", "VELDARO:RSP%4d", Key_Pattern::ADDRESS, {&rlun});  // true, 1
//   Key_Pattern::read("VELDARO:RSP00011_10.0.0.1", ...)                                               // false

#include <initializer_list>

namespace cimple {

class Key_Pattern {
public:
    enum Tail { END, ADDRESS };

    // True when key matches; the fields' values in order into values (as
    // many as the pattern has fields). Nothing is written on false.
    static bool read(const char* key, const char* pattern, Tail tail, std::initializer_list<unsigned*> values);
};

}  // namespace cimple
