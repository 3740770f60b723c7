#pragma once
// One fixed end (the storage system, the primordial pool, a composite
// extent) paired with each element an index walk builds: the fixed end is
// cloned for every pair, each walked end is placed as built.

#include <cstdint>

#include "Association_End.h"
#include "Association_Parent_Frame.h"

namespace cimple {

struct Fixed_End_Walk {
    // Where the fixed end stands in the association.
    enum class Fixed { FIRST, SECOND };
    // Which end a request hands on.
    enum class Far { FIXED, WALKED, OTHER_END };

    // For each index of range, the end build(i) gives (an Association_End
    // of T): failed fails the walk, nothing passes the index over, built is
    // paired with a clone of fixed; set(association, walked end, index) fills
    // the association's own properties.
    template <class A, class T, class Build, class Set>
    static bool pairs(Association_Parent_Frame& frame, const Instance* fixed, Fixed place, Index_Range range, Far far,
                      bool markFarEnd, Build build, Set set)
    {
        if (!fixed)
            return true;
        return eachEnd<T>(range, build, [&](Association_End<T>& walked, int i) {
            const T& end = *walked;
            Instance* f = clone(fixed);
            Instance* w = walked.release();
            Instance* first = place == Fixed::FIRST ? f : w;
            Instance* second = place == Fixed::FIRST ? w : f;
            Instance* farEnd = far == Far::FIXED ? f : far == Far::WALKED ? w : frame.otherEnd(first, second);
            frame.emit<A>(first, second, farEnd, markFarEnd, [&](A& association) { set(association, end, i); });
            return true;
        });
    }

    // The same, numbering the pairs from 1 in walk order (only built ends
    // count): set(association, walked end, number, index) — the order of
    // members under a composite or a concatenation.
    template <class A, class T, class Build, class Set>
    static bool numbered(Association_Parent_Frame& frame, const Instance* fixed, Fixed place, Index_Range range,
                         Far far, bool markFarEnd, Build build, Set set)
    {
        std::uint16_t number = 0;
        return pairs<A, T>(frame, fixed, place, range, far, markFarEnd, build,
                           [&](A& association, const T& end, int i) { set(association, end, ++number, i); });
    }

    template <class A, class T, class Build>
    static bool pairs(Association_Parent_Frame& frame, const Instance* fixed, Fixed place, Index_Range range, Far far,
                      bool markFarEnd, Build build)
    {
        return pairs<A, T>(frame, fixed, place, range, far, markFarEnd, build, [](A&, const T&, int) {});
    }
};

}  // namespace cimple
