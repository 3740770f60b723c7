// The pool of answer part buffers: a buffer given back is taken again
// (the same memory), only buffers of about a part's size are kept, the
// bytes kept stay within the bound, and clear frees them all.
#include "AnswerBufferPool.h"

#include <gtest/gtest.h>

namespace cimserver {
namespace {

constexpr std::size_t PART = 1000;

std::string buffer_of(std::size_t capacity)
{
    std::string b;
    b.reserve(capacity);
    b = "text";
    return b;
}

TEST(AnswerBufferPool, KeepsBuffersOfAboutAPartAndHandsThemOutAgain)
{
    AnswerBufferPool pool(10 * PART);
    std::string b = buffer_of(2 * PART);
    const char* memory = b.data();
    pool.give(b, PART);
    EXPECT_TRUE(b.empty());
    EXPECT_GE(pool.kept(), 2 * PART);
    std::string again = pool.take(PART + PART / 4);
    EXPECT_EQ(again.data(), memory);
    EXPECT_TRUE(again.empty());
    EXPECT_EQ(pool.kept(), 0u);
    // Nothing kept is large enough: a new buffer with the room asked for.
    pool.give(again, PART);
    std::string larger = pool.take(3 * PART);
    EXPECT_GE(larger.capacity(), 3 * PART);
    EXPECT_NE(larger.data(), memory);
    EXPECT_GE(pool.kept(), 2 * PART);
}

TEST(AnswerBufferPool, FreesWhatIsNotAboutAPartOrPassesTheBound)
{
    struct Case {
        std::size_t capacity;
        bool kept;
    } cases[] = {{PART / 2, false}, {PART, true}, {4 * PART, true}, {5 * PART, false}};
    for (const Case& c : cases) {
        AnswerBufferPool pool(10 * PART);
        std::string b = buffer_of(c.capacity);
        pool.give(b, PART);
        EXPECT_EQ(pool.kept() > 0, c.kept) << c.capacity;
    }
    AnswerBufferPool pool(10 * PART);
    for (int i = 0; i < 8; i++) {
        std::string b = buffer_of(2 * PART);
        pool.give(b, PART);
        EXPECT_LE(pool.kept(), 10 * PART);
    }
    EXPECT_GE(pool.kept(), 8 * PART);
    pool.clear();
    EXPECT_EQ(pool.kept(), 0u);
}

} // namespace
} // namespace cimserver
