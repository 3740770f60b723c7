#pragma once
// Pairs of two elements built on the same disk entry (a physical disk and
// its disk drive, a medium and its disk extent, a drive and its extent):
// every disk entry while enumerating, the given entry in a request.

#include <cstdint>
#include <new>

#include "Association_Parent_Frame.h"
#include "SMIS_TraceLog.h"

namespace cimple::disk_pairs {

// Disk entries of the disk table.
constexpr int DISK_TABLE_SIZE = 3072;

// Which of the two ends a request hands on.
enum class Far { FIRST, SECOND };

// What a missing second end means: the walk fails with conflictMessage
// (SEVERE, with the disk index), or the entry is passed over.
struct Missing_Second {
    const char* conflictMessage;  // null: pass over
};

// For each disk entry of the walk, first(out, index) then second(out, index)
// (0 with or without an instance, nonzero failure); a missing first end
// passes the entry over. Both ends go to an association of class mc.
template <class First, class Second, class Build_First, class Build_Second>
bool sameDiskPairs(Association_Parent_Frame& frame, const Meta_Class* mc, int diskIndex, Far far,
                   Missing_Second missing, const char* file, unsigned line, Build_First buildFirst,
                   Build_Second buildSecond)
{
    return Association_Provider_Frame::guard(file, line, [&] {
        const auto range = frame.walk(diskIndex, DISK_TABLE_SIZE);
        for (int i = range.begin; i < range.end; ++i) {
            First* madeFirst = nullptr;
            if (buildFirst(madeFirst, i) != 0)
                return false;
            Owned<First> first(madeFirst);
            if (!first)
                continue;
            Second* second = nullptr;
            if (buildSecond(second, i) != 0)
                return false;
            if (!second) {
                if (!missing.conflictMessage)
                    continue;
                SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, missing.conflictMessage, i);
                return false;
            }
            Instance* farEnd = far == Far::FIRST ? static_cast<Instance*>(first.get()) : second;
            Instance* made = Association_Provider_Frame::newAssociation(mc, first.release(), second);
            if (!made)
                throw std::bad_alloc();
            frame.deliver(made, farEnd, true);
        }
        return true;
    });
}

}  // namespace cimple::disk_pairs
