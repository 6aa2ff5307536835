// Blocks of one size, carved from 2 MB regions of their own that the kernel
// may back with huge pages.
//
// A table of a million rows holds thousands of 8 KB pages of numbers. Taken
// from the general heap, every 4 KB of them costs the kernel a fault when it
// is first written, which was a good part of opening such a workspace; a
// region the kernel backs with one huge page costs one. Regions whose blocks
// are all free again are kept for reuse up to kKeptEmptyBytes, their memory
// left for the kernel to take back when it runs short; beyond that they are
// unmapped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class CBlockArena {
public:
    static constexpr std::size_t kRegionBytes = std::size_t(2) << 20;
    static constexpr std::size_t kKeptEmptyBytes = std::size_t(256) << 20;

    // blockBytes: a multiple of 64, less than a region. Empty regions are
    // kept while they take no more than keptEmptyBytes.
    explicit CBlockArena(std::size_t blockBytes, std::size_t keptEmptyBytes = kKeptEmptyBytes);
    // Unmaps every region: no block may be in use any more.
    ~CBlockArena();
    CBlockArena(const CBlockArena&) = delete;
    CBlockArena& operator=(const CBlockArena&) = delete;

    // A block of BlockBytes(), 64-byte aligned and not cleared; null when no
    // region can be mapped.
    void* Allocate();
    // Takes back a block that Allocate gave; false, doing nothing, when
    // block is none of the arena's.
    bool Free(void* block);
    bool Owns(const void* p) const;

    std::size_t BlockBytes() const { return m_blockBytes; }
    std::size_t BlocksInUse() const;
    // The bytes of the regions mapped now.
    std::size_t MappedBytes() const;
    // The bytes the blocks in use take, with their spacing.
    std::size_t BytesInUse() const;

private:
    struct SRegion {
        char* base;
        std::size_t used = 0;  // blocks handed out
        std::size_t fresh = 0; // blocks from here on were never handed out
        void* freed = nullptr; // blocks given back, linked through their first bytes
    };
    // The region holding p, or null.
    SRegion* RegionOf(const void* p);
    const SRegion* RegionOf(const void* p) const;
    bool HasRoom(const SRegion& region) const { return region.freed || region.fresh < m_blocksPerRegion; }

    // Blocks lie a cache line further apart than their size, so that the
    // same place in different blocks falls on different cache sets: walks
    // through several columns at once would otherwise have every stream at
    // the same address modulo 4 KB, and the processor stalls loads on
    // stores to such addresses.
    static constexpr std::size_t kStagger = 64;
    const std::size_t m_keptEmptyBytes;
    const std::size_t m_blockBytes;
    const std::size_t m_stride;
    const std::size_t m_blocksPerRegion;
    mutable std::mutex m_mutex;
    std::vector<SRegion> m_regions; // by base
    std::size_t m_hint = 0;         // a region likely to have room
    std::size_t m_inUse = 0;
};

// The arena of the tables' pages of numbers (blocks of kNumberPageBytes).
inline constexpr std::size_t kNumberPageBytes = 8192;
CBlockArena& NumberPageArena();

// Puts a vector's storage of exactly kNumberPageBytes in the number pages'
// arena and anything else on the heap.
template <class T>
struct CNumberPageAllocator {
    using value_type = T;
    CNumberPageAllocator() = default;
    template <class U>
    CNumberPageAllocator(const CNumberPageAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n * sizeof(T) == kNumberPageBytes)
            if (void* block = NumberPageArena().Allocate())
                return static_cast<T*>(block);
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n)
    {
        if (n * sizeof(T) != kNumberPageBytes || !NumberPageArena().Free(p))
            std::allocator<T>().deallocate(p, n);
    }
    template <class U>
    bool operator==(const CNumberPageAllocator<U>&) const noexcept
    {
        return true;
    }
};
