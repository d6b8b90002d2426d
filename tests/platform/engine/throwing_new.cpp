// The program's global operator new and delete: malloc and free, with the armed allocation of
// ThrowingAllocation throwing std::bad_alloc instead (the nothrow forms answer null for it). Every
// form is replaced, so that no block of one allocator reaches another's delete (a sanitizer runtime
// brings its own).
#include "throwing_new.h"

#include <cstdlib>
#include <new>

namespace {

thread_local unsigned countdown = 0; // allocations until the armed one; 0 when disarmed
thread_local bool thrown = false;

} // namespace

ThrowingAllocation::ThrowingAllocation(unsigned nth) {
    thrown = false;
    countdown = nth;
}

ThrowingAllocation::~ThrowingAllocation() { countdown = 0; }

bool ThrowingAllocation::Thrown() const { return thrown; }

void* operator new(std::size_t bytes) {
    if (countdown != 0 && --countdown == 0) {
        thrown = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(bytes ? bytes : 1)) return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t bytes) { return ::operator new(bytes); }

void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t bytes, const std::nothrow_t& nothrow) noexcept {
    return ::operator new(bytes, nothrow);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
