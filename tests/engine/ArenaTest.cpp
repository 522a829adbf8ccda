// Slabs lent by the arena: apart from each other, given back by the band
// once all its partitions are spent, filled again after a spill; a buffer
// over lent memory that grows leaves that memory as it was. Kept lines in
// their arena: each thread's partitions one after another, each taking only
// what it filled, and the same runs as on the heap.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include <thread>

#include "group/LineGroups.h"
#include "os/ByteBuffer.h"
#include "partition/SlabArena.h"
#include "record/Record.h"

using namespace lintrim;

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

TEST(KeptArena, EachThreadsRunsFollowOneAnotherAndMatchTheHeaps) {
    KeptArena arena(MappedRegion::kHugePage, false);
    // Records of one partition, every line twice: half of them are kept.
    std::string records;
    for (uint32_t i = 0; i < 2000; ++i) {
        const std::string line = "line" + std::to_string(i % 1000);
        char head[record::kHeadSize];
        record::WriteHead(head, static_cast<uint32_t>(line.size()), i);
        records.append(head, sizeof head).append(line);
    }
    auto group = [&](KeptArena* in) {
        LineGroups groups(KeptCopies::kFirst, LineKey(), nullptr, in);
        groups.Reserve(2000, records.size());
        for (size_t at = 0; at < records.size(); at += record::Size(records.data() + at))
            groups.Add(records.data() + at);
        return groups.TakeRun();
    };
    const KeptRun heap = group(nullptr);
    const KeptRun first = group(&arena);
    const KeptRun second = group(&arena);
    ASSERT_EQ(first.records, 1000u);
    EXPECT_EQ(std::string(first.bytes.Data(), first.bytes.Size()),
              std::string(heap.bytes.Data(), heap.bytes.Size()));
    EXPECT_EQ(second.bytes.Data(), first.bytes.Data() + first.bytes.Size());
    // Another thread fills a chain of its own; a room larger than a region
    // takes a region of its size.
    std::thread([&] {
        char* room = arena.Reserve(3 * MappedRegion::kHugePage);
        EXPECT_NE(room, second.bytes.Data() + second.bytes.Size());
        room[3 * MappedRegion::kHugePage - 1] = 'x';
        arena.Keep(room, 1);
    }).join();
    EXPECT_EQ(std::string(second.bytes.Data(), second.bytes.Size()),
              std::string(heap.bytes.Data(), heap.bytes.Size()));
}
