// Slabs lent by the arena: apart from each other, given back by the band
// once all its partitions are spent, filled again after a spill; a buffer
// over lent memory that grows leaves that memory as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "os/ByteBuffer.h"
#include "partition/SlabArena.h"

namespace {
constexpr size_t kRegion = MappedRegion::kHugePage;
}

TEST(SlabArena, LendsApartAndGivesBandsBackWhenAllTheirPartitionsAreSpent) {
    // Eight partitions in four bands of two.
    SlabArena arena(8, 4, kRegion, false);
    std::set<char*> slabs;
    char* firstOfBand1 = nullptr;
    for (size_t p = 0; p < 8; ++p)
        for (int n = 0; n < 20; ++n) {  // 100 KiB each: 20 to a region, two regions a band
            char* slab = arena.Take(p, 100 << 10);
            ASSERT_NE(slab, nullptr);
            std::memset(slab, static_cast<int>(p), 100 << 10);
            slabs.insert(slab);
            if (p == 2 && n == 0) firstOfBand1 = slab;
        }
    EXPECT_EQ(slabs.size(), 160u);
    for (auto at = slabs.begin(); std::next(at) != slabs.end(); ++at)
        ASSERT_GE(*std::next(at) - *at, 100 << 10);
    EXPECT_EQ(arena.HeldBytes(), 8 * kRegion);
    EXPECT_EQ(arena.Take(0, kRegion + 1), nullptr);  // left to the heap

    arena.Spent(0);
    EXPECT_EQ(arena.HeldBytes(), 8 * kRegion);
    arena.Spent(1);
    EXPECT_EQ(arena.HeldBytes(), 6 * kRegion);

    // After a spill, a band fills its regions again from the first.
    arena.Reuse();
    EXPECT_EQ(arena.Take(3, 100 << 10), firstOfBand1);
    EXPECT_EQ(arena.HeldBytes(), 6 * kRegion);
}

TEST(SlabArena, ABorrowedBufferThatGrowsMovesToTheHeap) {
    char lent[8] = "abcdefg";
    ByteBuffer buffer = ByteBuffer::Borrowed(lent, sizeof lent);
    buffer.Append("1234", 4);
    EXPECT_EQ(buffer.Data(), lent);
    buffer.Append("56789", 5);  // past the lent bytes
    EXPECT_NE(buffer.Data(), lent);
    EXPECT_EQ(std::string(buffer.Data(), buffer.Size()), "123456789");
    EXPECT_EQ(std::string(lent, 7), "1234efg");
}
