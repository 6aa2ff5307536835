// The arena of fixed-size blocks behind the tables' pages of numbers: blocks
// that never overlap, given back and handed out again, regions kept or
// unmapped as they empty, and many threads at once.
#include "data/BlockArena.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kBlock = 8192;
constexpr std::size_t kRegion = CBlockArena::kRegionBytes;

// Blocks as address ranges: none may overlap another or leave its region.
void ExpectApart(std::vector<void*> blocks)
{
    std::sort(blocks.begin(), blocks.end());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto at = reinterpret_cast<std::uintptr_t>(blocks[i]);
        EXPECT_EQ(at % 64, 0u);
        EXPECT_LE(at % kRegion + kBlock, kRegion) << i;
        if (i > 0) {
            EXPECT_GE(at, reinterpret_cast<std::uintptr_t>(blocks[i - 1]) + kBlock) << i;
        }
    }
}

TEST(BlockArena, BlocksNeverOverlapAndComeBackAfterFree)
{
    CBlockArena arena(kBlock);
    // More than one region's worth, each block written whole.
    const std::size_t count = kRegion / kBlock + 40;
    std::vector<void*> blocks;
    for (std::size_t i = 0; i < count; ++i) {
        void* block = arena.Allocate();
        ASSERT_NE(block, nullptr);
        std::memset(block, int(i & 0xff), kBlock);
        blocks.push_back(block);
    }
    ExpectApart(blocks);
    for (std::size_t i = 0; i < count; ++i) {
        const auto* bytes = static_cast<const unsigned char*>(blocks[i]);
        EXPECT_EQ(bytes[0], i & 0xff);
        EXPECT_EQ(bytes[kBlock - 1], i & 0xff);
        EXPECT_TRUE(arena.Owns(bytes + 100));
    }
    EXPECT_EQ(arena.BlocksInUse(), count);
    EXPECT_EQ(arena.MappedBytes(), 2 * kRegion);
    int onTheHeap = 0;
    EXPECT_FALSE(arena.Owns(&onTheHeap));
    EXPECT_FALSE(arena.Free(&onTheHeap));
    EXPECT_EQ(arena.BlocksInUse(), count);

    // A block given back is the next one handed out, in whichever region.
    void* middle = blocks[count / 2];
    arena.Free(middle);
    EXPECT_EQ(arena.BlocksInUse(), count - 1);
    EXPECT_EQ(arena.Allocate(), middle);
    for (void* block : blocks)
        arena.Free(block);
    EXPECT_EQ(arena.BlocksInUse(), 0u);
    // Both regions stay for reuse, well within the bound, and start afresh:
    // the kernel may take their pages back (as here at once), leaving zeros
    // where the blocks given back were linked.
    EXPECT_EQ(arena.MappedBytes(), 2 * kRegion);
    std::set<std::uintptr_t> regions;
    for (void* block : blocks)
        regions.insert(reinterpret_cast<std::uintptr_t>(block) & ~(kRegion - 1));
    for (std::uintptr_t base : regions)
        ASSERT_EQ(::madvise(reinterpret_cast<void*>(base), kRegion, MADV_DONTNEED), 0);
    std::vector<void*> again;
    for (std::size_t i = 0; i < count; ++i)
        again.push_back(arena.Allocate());
    EXPECT_EQ(arena.MappedBytes(), 2 * kRegion);
    ExpectApart(again);
    std::sort(blocks.begin(), blocks.end());
    std::sort(again.begin(), again.end());
    EXPECT_EQ(again.front(), blocks.front());
    for (void* block : again)
        arena.Free(block);
}

// The same place in consecutive blocks does not repeat modulo 4 KB, so that
// walks through several blocks at once do not meet at one cache set.
TEST(BlockArena, ConsecutiveBlocksAreStaggered)
{
    CBlockArena arena(kBlock);
    std::set<std::uintptr_t> offsets;
    for (int i = 0; i < 64; ++i)
        offsets.insert(reinterpret_cast<std::uintptr_t>(arena.Allocate()) % 4096);
    EXPECT_EQ(offsets.size(), 64u);
}

TEST(BlockArena, EmptyRegionsBeyondTheBoundAreUnmapped)
{
    // Keeps one empty region.
    CBlockArena arena(kBlock, kRegion);
    std::vector<void*> blocks;
    while (arena.MappedBytes() < 3 * kRegion)
        blocks.push_back(arena.Allocate());
    for (void* block : blocks)
        arena.Free(block);
    EXPECT_EQ(arena.BlocksInUse(), 0u);
    EXPECT_EQ(arena.MappedBytes(), kRegion);
    // A region given back is no longer the arena's.
    EXPECT_EQ(std::count_if(blocks.begin(), blocks.end(), [&](void* b) { return arena.Owns(b); }),
              std::ptrdiff_t(kRegion / (kBlock + 64)));
}

TEST(BlockArena, ThreadsTakeAndGiveBackAtOnce)
{
    CBlockArena arena(kBlock, kRegion);
    constexpr int kThreads = 4;
    std::vector<std::vector<void*>> kept(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&arena, &kept, t] {
            std::vector<void*> mine;
            for (int i = 0; i < 3000; ++i) {
                void* block = arena.Allocate();
                std::memcpy(static_cast<char*>(block) + 64, &t, sizeof t);
                mine.push_back(block);
                if (i % 3 == 2) {
                    int owner = -1;
                    std::memcpy(&owner, static_cast<char*>(mine[mine.size() - 2]) + 64, sizeof owner);
                    EXPECT_EQ(owner, t);
                    arena.Free(mine[mine.size() - 2]);
                    mine.erase(mine.end() - 2);
                }
            }
            kept[std::size_t(t)] = std::move(mine);
        });
    for (auto& thread : threads)
        thread.join();
    std::vector<void*> all;
    for (const auto& mine : kept)
        all.insert(all.end(), mine.begin(), mine.end());
    EXPECT_EQ(arena.BlocksInUse(), all.size());
    ExpectApart(all);
    for (void* block : all)
        arena.Free(block);
    EXPECT_EQ(arena.BlocksInUse(), 0u);
}

// Vectors of numbers take their whole-page room from the arena and any
// other room from the heap.
TEST(BlockArena, NumberPagesOfAWholePageComeFromTheArena)
{
    std::vector<double, CNumberPageAllocator<double>> page(kNumberPageBytes / sizeof(double), 1.5);
    std::vector<double, CNumberPageAllocator<double>> part(100, 2.5);
    EXPECT_TRUE(NumberPageArena().Owns(page.data()));
    EXPECT_FALSE(NumberPageArena().Owns(part.data()));
    page.resize(10);
    page.shrink_to_fit();
    EXPECT_FALSE(NumberPageArena().Owns(page.data()));
    EXPECT_EQ(page[9], 1.5);
    EXPECT_EQ(part[99], 2.5);
}

#ifdef __SANITIZE_ADDRESS__
// With the sanitizer, a write past a block's end or into a block given back
// is caught as on the heap.
TEST(BlockArenaDeathTest, TheSanitizerSeesPastABlockAndIntoAFreedOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto writeAt = [](std::size_t at, bool freeFirst) {
        CBlockArena arena(kBlock);
        auto* bytes = static_cast<volatile char*>(arena.Allocate());
        if (freeFirst)
            arena.Free(const_cast<char*>(bytes));
        bytes[at] = 1;
    };
    EXPECT_DEATH(writeAt(kBlock, false), "use-after-poison");
    EXPECT_DEATH(writeAt(100, true), "use-after-poison");
    writeAt(kBlock - 1, false);
}
#endif

} // namespace
