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
    // non-null element c of candidates with match(c, e) is paired with it.
    template <class A, class Each_List, class Candidates, class Match>
    static void firstWithEach(Association_Map_Frame& frame, Each_List& each, Each place, Candidates& candidates,
                              Match match)
    {
        for (std::size_t k = 0; k < each.size(); ++k) {
            const auto* e = each[k];
            if (!e)
                continue;
            const auto* candidate = firstMatch(candidates, *e, match);
            if (!candidate)
                continue;
            if (place == Each::FIRST)
                frame.addClones<A>(e, candidate);
            else
                frame.addClones<A>(candidate, e);
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
    // seconds that match, firsts outermost.
    template <class A, class Firsts, class Seconds, class Match>
    static void allMatching(Association_Map_Frame& frame, Firsts& firsts, Seconds& seconds, Match match)
    {
        for (std::size_t f = 0; f < firsts.size(); ++f) {
            const auto* first = firsts[f];
            for (std::size_t s = 0; first && s < seconds.size(); ++s)
                if (seconds[s] && match(*first, *seconds[s]))
                    frame.addClones<A>(first, seconds[s]);
        }
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
