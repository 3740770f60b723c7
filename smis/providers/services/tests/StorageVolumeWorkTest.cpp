// The return values the volume methods give for each result letter of the
// array's command line, per command.

#include <gtest/gtest.h>

#include "Storage_Volume_Work.h"

using cimple::Storage_Volume_Work;

TEST(StorageVolumeWork, CommandLineResultsBecomeReturnValuesPerCommand)
{
    struct Case {
        unsigned char result;
        std::uint32_t create, expand, remove;
    };
    const Case cases[] = {
        {0, 0, 0, 0},
        {'A', 5, 5, 5},
        {'B', 0x8013, 0x8013, 0x8013},
        {'D', 0x8011, 0x8011, 0x8011},
        {'E', 4, 0x8012, 0x8012},
        {'F', 0x8014, 4, 4},
        {'G', 4097, 4, 4},
        {'H', 0x8001, 4, 4},
        {'Z', 0x801C, 4, 4},
        {'[', 0x8028, 0x8028, 4},
        {'C', 4, 4, 4},
        {'"', 4, 4, 4},
        {0xFF, 4, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        EXPECT_EQ(Storage_Volume_Work::translateCreate(c.result), c.create);
        EXPECT_EQ(Storage_Volume_Work::translateExpand(c.result), c.expand);
        EXPECT_EQ(Storage_Volume_Work::translateDelete(c.result), c.remove);
    }
}
