#include "data/BlockArena.h"

#include <algorithm>
#include <cstring>

#include <sys/mman.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/asan_interface.h>
// What is not handed out stays poisoned, the gaps between blocks too: the
// sanitizer then catches a write past a block's end or into a block given
// back, as it does on the heap.
#define MX_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define MX_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define MX_POISON(p, n) ((void)(p), (void)(n))
#define MX_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

// A region of kRegionBytes at an address that is a multiple of its size, so
// that a block's region follows from its address.
char* MapRegion()
{
    constexpr std::size_t size = CBlockArena::kRegionBytes;
    void* p = ::mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    char* raw = static_cast<char*>(p);
    char* base = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(raw) + size - 1) & ~(size - 1));
    if (base > raw)
        ::munmap(raw, std::size_t(base - raw));
    if (base + size < raw + 2 * size)
        ::munmap(base + size, std::size_t(raw + 2 * size - (base + size)));
    // Refused where the kernel has no huge pages: the region works as it is.
    ::madvise(base, size, MADV_HUGEPAGE);
    MX_POISON(base, size);
    return base;
}

void UnmapRegion(char* base)
{
    // Memory mapped later at the same place must not look poisoned.
    MX_UNPOISON(base, CBlockArena::kRegionBytes);
    ::munmap(base, CBlockArena::kRegionBytes);
}

} // namespace

CBlockArena::CBlockArena(std::size_t blockBytes, std::size_t keptEmptyBytes)
    : m_keptEmptyBytes(keptEmptyBytes), m_blockBytes(blockBytes), m_stride(blockBytes + kStagger), m_blocksPerRegion(kRegionBytes / m_stride)
{
}

CBlockArena::~CBlockArena()
{
    for (const SRegion& region : m_regions)
        UnmapRegion(region.base);
}

const CBlockArena::SRegion* CBlockArena::RegionOf(const void* p) const
{
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t base = at & ~(kRegionBytes - 1);
    auto it = std::lower_bound(m_regions.begin(), m_regions.end(), base, [](const SRegion& r, std::uintptr_t b) {
        return reinterpret_cast<std::uintptr_t>(r.base) < b;
    });
    if (it == m_regions.end() || reinterpret_cast<std::uintptr_t>(it->base) != base)
        return nullptr;
    return &*it;
}

CBlockArena::SRegion* CBlockArena::RegionOf(const void* p)
{
    return const_cast<SRegion*>(static_cast<const CBlockArena*>(this)->RegionOf(p));
}

void* CBlockArena::Allocate()
{
    std::lock_guard lock(m_mutex);
    if (m_hint >= m_regions.size() || !HasRoom(m_regions[m_hint])) {
        auto it = std::find_if(m_regions.begin(), m_regions.end(), [&](const SRegion& r) { return HasRoom(r); });
        if (it == m_regions.end()) {
            char* base = MapRegion();
            if (!base)
                return nullptr;
            it = std::lower_bound(m_regions.begin(), m_regions.end(), base,
                                  [](const SRegion& r, const char* b) { return r.base < b; });
            it = m_regions.insert(it, SRegion{base});
        }
        m_hint = std::size_t(it - m_regions.begin());
    }
    SRegion& region = m_regions[m_hint];
    void* block;
    if (region.freed) {
        block = region.freed;
        MX_UNPOISON(block, m_blockBytes);
        std::memcpy(&region.freed, block, sizeof(void*));
    } else {
        // Blocks never handed out are not touched until their owner writes them.
        block = region.base + region.fresh * m_stride;
        ++region.fresh;
        MX_UNPOISON(block, m_blockBytes);
    }
    ++region.used;
    ++m_inUse;
    return block;
}

bool CBlockArena::Free(void* block)
{
    std::lock_guard lock(m_mutex);
    SRegion* region = RegionOf(block);
    if (!region)
        return false;
    std::memcpy(block, &region->freed, sizeof(void*));
    MX_POISON(block, m_blockBytes);
    region->freed = block;
    --region->used;
    --m_inUse;
    // Blocks given back go out again first: their memory is mapped already.
    m_hint = std::size_t(region - m_regions.data());
    if (region->used != 0)
        return true;
    // Empty regions stay for the next blocks (a table sorted, recalculated
    // or opened again takes as many pages as it gave back), up to a bound;
    // the kernel may take their memory back meanwhile if it runs short.
    const auto empty = std::count_if(m_regions.begin(), m_regions.end(), [](const SRegion& r) { return r.used == 0; });
    if (std::size_t(empty) * kRegionBytes <= m_keptEmptyBytes) {
        // The kernel may now replace the region's pages with zeros, and with
        // them the links of the blocks given back: the region starts afresh.
        ::madvise(region->base, kRegionBytes, MADV_FREE);
        region->freed = nullptr;
        region->fresh = 0;
        return true;
    }
    UnmapRegion(region->base);
    m_regions.erase(m_regions.begin() + (region - m_regions.data()));
    m_hint = 0;
    return true;
}

bool CBlockArena::Owns(const void* p) const
{
    std::lock_guard lock(m_mutex);
    return RegionOf(p) != nullptr;
}

std::size_t CBlockArena::BlocksInUse() const
{
    std::lock_guard lock(m_mutex);
    return m_inUse;
}

std::size_t CBlockArena::MappedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_regions.size() * kRegionBytes;
}

std::size_t CBlockArena::BytesInUse() const
{
    std::lock_guard lock(m_mutex);
    return m_inUse * m_stride;
}

CBlockArena& NumberPageArena()
{
    // Never destroyed: tables may outlive every other static object.
    static CBlockArena* arena = new CBlockArena(kNumberPageBytes);
    return *arena;
}
