// Large blocks kept for reuse, for the sequence target. Its images and their copies are
// blocks of 128 KiB and more, which ASan's allocator maps afresh for each allocation and
// unmaps when they leave its quarantine; the page faults and unmappings were a third of a
// sequence's time. Here a freed block of 64 KiB or more is kept, poisoned whole, and handed
// out again for the next request of the same rounded size, unpoisoned only as far as asked:
// a read or write past the end, or into a kept block, is still reported (as a use of
// poisoned memory). What this gives up is the check that new pairs with delete and new[]
// with delete[]; the sanitizer tests keep it.
#include <malloc.h>
#include <sanitizer/asan_interface.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr std::size_t kStep = 64 * 1024;  // kept blocks are whole steps from one step on
constexpr std::size_t kKept = 64;

struct Kept {
    void* block;
    std::size_t size;
};

// The fuzzer's watchdog thread may allocate too.
std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
std::array<Kept, kKept> kept;
std::size_t keptCount = 0;

void* Take(std::size_t n) {
    if (n < kStep) return std::malloc(n ? n : 1);
    const std::size_t size = (n + kStep - 1) / kStep * kStep;
    {
        std::lock_guard<std::mutex> guard(Lock());
        // The longest kept of that size, so that a stale pointer meets poison as long as can be.
        for (std::size_t i = 0; i < keptCount; ++i) {
            if (kept[i].size != size) continue;
            void* p = kept[i].block;
            for (std::size_t j = i + 1; j < keptCount; ++j) kept[j - 1] = kept[j];
            --keptCount;
            __asan_unpoison_memory_region(p, n);
            return p;
        }
    }
    void* p = std::malloc(size);
    if (p) __asan_poison_memory_region(static_cast<char*>(p) + n, size - n);
    return p;
}

void Give(void* p) noexcept {
    if (!p) return;
    const std::size_t size = malloc_usable_size(p);
    if (size >= kStep && size % kStep == 0) {
        if (__asan_address_is_poisoned(p)) {
            // A large block's first byte is poisoned only while it is kept.
            std::fprintf(stderr, "delete of a block already deleted: %p\n", p);
            std::abort();
        }
        std::lock_guard<std::mutex> guard(Lock());
        if (keptCount < kKept) {
            __asan_poison_memory_region(p, size);
            kept[keptCount++] = {p, size};
            return;
        }
    }
    std::free(p);
}

void* TakeOrThrow(std::size_t n) {
    if (void* p = Take(n)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) {
    return TakeOrThrow(n);
}
void* operator new[](std::size_t n) {
    return TakeOrThrow(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return Take(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return Take(n);
}
void operator delete(void* p) noexcept {
    Give(p);
}
void operator delete[](void* p) noexcept {
    Give(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Give(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Give(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Give(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Give(p);
}
