#pragma once
// Counts the heap bytes a piece of code has live at its peak. Include in
// exactly one source file of a test program: it replaces the global
// operator new and delete of that program.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace zorp::testing {

struct AllocationCounter {
    static inline size_t live = 0;
    static inline size_t peak = 0;

    // Peak bytes allocated while `f` runs, beyond what was live before.
    template <typename F>
    static size_t PeakDuring(F&& f)
    {
        const size_t before = live;
        peak = live;
        f();
        return peak - before;
    }
};

} // namespace zorp::testing

inline void* CountedAllocate(std::size_t size)
{
    using zorp::testing::AllocationCounter;
    auto* p = static_cast<std::size_t*>(std::malloc(size + 16));
    if (p == nullptr)
        throw std::bad_alloc();
    *p = size;
    AllocationCounter::live += size;
    if (AllocationCounter::live > AllocationCounter::peak)
        AllocationCounter::peak = AllocationCounter::live;
    return reinterpret_cast<char*>(p) + 16;
}

inline void CountedFree(void* q) noexcept
{
    if (q == nullptr)
        return;
    auto* p = reinterpret_cast<std::size_t*>(static_cast<char*>(q) - 16);
    zorp::testing::AllocationCounter::live -= *p;
    std::free(p);
}

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return CountedAllocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }
