#pragma once
// Pairs of two elements built on the same table index: a pool and its own
// extent (RAID group, thin pool, Layerix pool), a physical disk and its
// drive, a medium and its extent. Every index while enumerating, the given
// one in a request.

#include "Association_End.h"
#include "Association_Parent_Frame.h"
#include "SMIS_TraceLog.h"

namespace cimple {

struct Same_Index_Walk {
    // Which end a request hands on: the first, the second, or the one whose
    // class is not the source's.
    enum class Far { FIRST, SECOND, OTHER_END };

    // What a missing second end means: the walk fails with conflictMessage
    // (SEVERE, with the index), or the index is passed over (null).
    struct Missing_Second {
        const char* conflictMessage;
    };
    static constexpr Missing_Second PASS_OVER{nullptr};

    // For each index of range, buildFirst(i) then buildSecond(i) (each an
    // Association_End); a missing first end passes the index over, a failed
    // one fails the walk; both built ends go to pair(first, second, i)
    // (map shape: frame.add<A>(first.release(), second.release())).
    template <class First, class Second, class Build_First, class Build_Second, class Pair>
    static bool each(Index_Range range, Missing_Second missing, const char* file, unsigned line, Build_First buildFirst,
                     Build_Second buildSecond, Pair pair)
    {
        return Association_Provider_Frame::guard(file, line, [&] {
            return eachEnd<First>(range, buildFirst, [&](Association_End<First>& first, int i) {
                Association_End<Second> second = buildSecond(i);
                if (second.failed())
                    return false;
                if (!second.built()) {
                    if (!missing.conflictMessage)
                        return true;
                    SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, missing.conflictMessage, i);
                    return false;
                }
                pair(first, second, i);
                return true;
            });
        });
    }

    // The parent shape: both ends go to an association of class A.
    template <class A, class First, class Second, class Build_First, class Build_Second>
    static bool pairs(Association_Parent_Frame& frame, Index_Range range, Far far, bool markFarEnd,
                      Missing_Second missing, const char* file, unsigned line, Build_First buildFirst,
                      Build_Second buildSecond)
    {
        return each<First, Second>(
            range, missing, file, line, buildFirst, buildSecond,
            [&](Association_End<First>& first, Association_End<Second>& second, int) {
                Instance* a = first.release();
                Instance* b = second.release();
                Instance* farEnd = far == Far::FIRST ? a : far == Far::SECOND ? b : frame.otherEnd(a, b);
                frame.emit<A>(a, b, farEnd, markFarEnd);
            });
    }

    // The same with the createInstance(out, index) of two Resources.
    template <class A, class First, class Second, class First_Resource, class Second_Resource>
    static bool resourcePairs(Association_Parent_Frame& frame, Index_Range range, Far far, bool markFarEnd,
                              Missing_Second missing, const char* file, unsigned line, First_Resource& firsts,
                              Second_Resource& seconds)
    {
        return pairs<A, First, Second>(frame, range, far, markFarEnd, missing, file, line,
                                       Association_End<First>::byIndex(firsts),
                                       Association_End<Second>::byIndex(seconds));
    }
};

}  // namespace cimple
