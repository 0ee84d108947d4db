// Allocation of the program's large buffers. An image and the copies made of it are written
// page by page as they are filled; on 4 KiB pages a 4 MiB image costs a thousand page faults,
// which took longer than everything a command does with the image. Allocations of 2 MiB and
// more therefore start on a 2 MiB boundary and ask for large pages, so that the same image
// costs two. Everything else is plain malloc; every delete is free, so memory from either
// side may be released by the other (the toolkit's libraries included).
//
// Sanitizer builds keep their own allocator, which checks every allocation.

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRIVANT_OWN_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define BRIVANT_OWN_ALLOCATOR 1
#endif

#if !defined(BRIVANT_OWN_ALLOCATOR)

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;

void* Allocate(std::size_t n) {
    if (n < kLargePage) return std::malloc(n == 0 ? 1 : n);
    void* p = std::aligned_alloc(kLargePage, n);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only whole large pages inside the block: the process must not own more than it asked
    // for. Where the system has no large pages this does nothing.
    if (p) ::madvise(p, n & ~(kLargePage - 1), MADV_HUGEPAGE);
#endif
    return p;
}
}  // namespace

void* operator new(std::size_t n) {
    for (;;) {
        if (void* p = Allocate(n)) return p;
        const std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

#endif
