#pragma once

#include <cstddef>
#include <new>
#include <sys/mman.h>
#include <type_traits>
#include <utility>

namespace cellsonify {

// Allocator for the large per-event arrays of a recording. Blocks of 2 MB and
// more come straight from mmap with transparent huge pages requested, which
// cuts the page faults of a large load by hundreds of times; elements of
// trivial types are left uninitialised on resize, since every slot is written
// before it is read.
template <typename T>
class BigAllocator {
public:
    using value_type = T;
    static constexpr std::size_t kLarge = std::size_t{2} << 20;

    BigAllocator() noexcept = default;
    template <typename U>
    BigAllocator(const BigAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge) return static_cast<T*>(::operator new(bytes));
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        ::madvise(p, bytes, MADV_HUGEPAGE);
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge)
            ::operator delete(p);
        else
            ::munmap(p, bytes);
    }

    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) == 0 && std::is_trivially_default_constructible_v<U>)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const BigAllocator<U>&) const noexcept { return true; }
};

}  // namespace cellsonify
