#pragma once
// The map-shape pair walk over two built lists: each element of one list
// with the first element of the other that matches it (same port, same
// controller module, the one storage system), both cloned.

#include <cstddef>
#include <type_traits>
#include <utility>

#include "Association_End.h"
#include "Association_Map_Frame.h"

namespace cimple {

struct Matching_Pair_Walk {
    // Where the element of the `each` list stands in the association.
    enum class Each { FIRST, SECOND };

    // The first non-null element c of candidates with match(c, element), or
    // null.
    template <class Candidates, class Element, class Match>
    static auto firstMatch(Candidates& candidates, const Element& element, Match match)
        -> std::remove_reference_t<decltype(candidates[0])>
    {
        for (std::size_t c = 0; c < candidates.size(); ++c)
            if (candidates[c] && match(*candidates[c], element))
                return candidates[c];
        return nullptr;
    }

    // For each non-null element e of each (in list order), the first
    // non-null element c of candidates with match(c, e) is paired with it;
    // both clones go into nameSpace when one is given.
    template <class A, class Each_List, class Candidates, class Match>
    static void firstWithEach(Association_Map_Frame& frame, Each_List& each, Each place, Candidates& candidates,
                              Match match, const char* nameSpace = nullptr)
    {
        for (std::size_t k = 0; k < each.size(); ++k) {
            const auto* e = each[k];
            if (!e)
                continue;
            const auto* candidate = firstMatch(candidates, *e, match);
            if (!candidate)
                continue;
            if (place == Each::FIRST)
                frame.addClones<A>(e, candidate, nameSpace);
            else
                frame.addClones<A>(candidate, e, nameSpace);
        }
    }

    // For each non-null element e of each (in list order), the first
    // element of every candidate list that matches it, list by list: the
    // interleaved form of firstWithEach for an element related to several
    // lists (a port with its IP and iSCSI endpoints). Each candidate is a
    // pair (list, place of e).
    template <class A, class Each_List, class Match, class... Candidates>
    static void firstsOfEach(Association_Map_Frame& frame, Each_List& each, Match match,
                             std::pair<Candidates&, Each>... candidates)
    {
        for (std::size_t k = 0; k < each.size(); ++k) {
            const auto* e = each[k];
            if (!e)
                continue;
            (
                [&] {
                    const auto* c = firstMatch(candidates.first, *e, match);
                    if (!c)
                        return;
                    if (candidates.second == Each::FIRST)
                        frame.addClones<A>(e, c);
                    else
                        frame.addClones<A>(c, e);
                }(),
                ...);
        }
    }

    // One candidate list of firstsOfEach.
    template <class List>
    static std::pair<List&, Each> candidates(List& list, Each place)
    {
        return {list, place};
    }

    // The lead of an array (the first element of the lead builder's list,
    // normally the storage system) with the first element (FIRST_ONLY) or
    // every element (EVERY) of the other builder's list, both cloned; the
    // other list is built only when there is a lead. False when a builder
    // fails.
    enum class Others { FIRST_ONLY, EVERY };
    template <class A, class Lead_Resource, class Other_Resource>
    static bool leadWith(Association_Map_Frame& frame, int (Lead_Resource::*buildLead)(), Each leadPlace,
                         int (Other_Resource::*buildOther)(), Others others)
    {
        Lead_Resource leads(frame.storage());
        if (!buildList(leads, buildLead))
            return false;
        auto* lead = firstListed(leads);
        if (!lead)
            return true;
        Other_Resource resource(frame.storage());
        if (!buildList(resource, buildOther))
            return false;
        auto& list = listedOf(resource);
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (!list[k]) {
                if (others == Others::FIRST_ONLY)
                    break;
                continue;
            }
            if (leadPlace == Each::FIRST)
                frame.addClones<A>(lead, list[k]);
            else
                frame.addClones<A>(list[k], lead);
            if (others == Others::FIRST_ONLY)
                break;
        }
        return true;
    }

    // Each pair of a non-null element of firsts and a non-null element of
    // seconds that match, firsts outermost (clones placed as above).
    template <class A, class Firsts, class Seconds, class Match>
    static void allMatching(Association_Map_Frame& frame, Firsts& firsts, Seconds& seconds, Match match,
                            const char* nameSpace = nullptr)
    {
        eachWithAllOf<A>(frame, firsts, match, nameSpace, seconds);
    }

    // For each non-null element of firsts, in list order, every matching
    // non-null element of each list of seconds, the lists in the order
    // given (clones placed as above).
    template <class A, class Firsts, class Match, class... Seconds>
    static void eachWithAllOf(Association_Map_Frame& frame, Firsts& firsts, Match match, const char* nameSpace,
                              Seconds&... seconds)
    {
        for (std::size_t f = 0; f < firsts.size(); ++f) {
            const auto* first = firsts[f];
            if (!first)
                continue;
            (addMatching<A>(frame, *first, seconds, match, nameSpace), ...);
        }
    }

    // The first elements of two lists as one association (nothing when
    // either list has none), clones placed as above.
    template <class A, class Firsts, class Seconds>
    static void firstWithFirst(Association_Map_Frame& frame, Firsts& firsts, Seconds& seconds,
                               const char* nameSpace = nullptr)
    {
        if (firsts.size() > 0 && firsts[0] && seconds.size() > 0 && seconds[0])
            frame.addClones<A>(firsts[0], seconds[0], nameSpace);
    }

    // Equal CMSlotNumber: a controller system and what sits in its slot.
    struct Same_Slot {
        template <class X, class Y>
        bool operator()(const X& x, const Y& y) const
        {
            return !x.CMSlotNumber.null && !y.CMSlotNumber.null && x.CMSlotNumber.value == y.CMSlotNumber.value;
        }
    };

    // One first end with every matching non-null element of seconds.
    template <class A, class First, class Seconds, class Match>
    static void addMatching(Association_Map_Frame& frame, const First& first, Seconds& seconds, Match match,
                            const char* nameSpace)
    {
        for (std::size_t s = 0; s < seconds.size(); ++s)
            if (seconds[s] && match(first, *seconds[s]))
                frame.addClones<A>(&first, seconds[s], nameSpace);
    }

    // Always matches: the lone element of one list with each of the other.
    struct Any {
        template <class X, class Y>
        bool operator()(const X&, const Y&) const
        {
            return true;
        }
    };
};

}  // namespace cimple
