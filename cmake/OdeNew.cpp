// Global operator new and delete for ODE's own code, and nothing else in the process:
// build-ode.sh renames ODE's calls of them to these (for wasm, the linker's --wrap sends them to the
// __wrap_ names below). ODE's hash space makes and frees some 200 small
// nodes in every step; a free list per size serves them in a few instructions, where the C
// library's allocator took 6 % of a step. Everything else keeps the C library's allocator.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
constexpr std::size_t kHeader = 16;  // the block's size class, keeping blocks 16-byte aligned as new's are
constexpr std::size_t kGrain = 16;   // bytes between size classes
constexpr std::size_t kClasses = 16; // blocks of up to 256 bytes are kept for reuse
constexpr std::size_t kLarge = kClasses;

struct FreeBlock {
    FreeBlock* next;
};
// Per thread, so that no lock is needed; a block freed on another thread joins that thread's list.
thread_local FreeBlock* tFreeLists[kClasses];
}

void* dxPoolNew(std::size_t size)
{
    const std::size_t sizeClass = size ? (size - 1) / kGrain : 0;
    if (sizeClass < kClasses && tFreeLists[sizeClass]) {
        FreeBlock* block = tFreeLists[sizeClass];
        tFreeLists[sizeClass] = block->next;
        return block;
    }
    const bool kept = sizeClass < kClasses;
    auto* raw = static_cast<unsigned char*>(std::malloc(kHeader + (kept ? (sizeClass + 1) * kGrain : size)));
    if (!raw)
        throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(raw) = kept ? sizeClass : kLarge;
    return raw + kHeader;
}

void dxPoolDelete(void* p) noexcept
{
    if (!p)
        return;
    unsigned char* raw = static_cast<unsigned char*>(p) - kHeader;
    const std::size_t sizeClass = *reinterpret_cast<std::size_t*>(raw);
    if (sizeClass == kLarge) {
        std::free(raw);
        return;
    }
    auto* block = static_cast<FreeBlock*>(p);
    block->next = tFreeLists[sizeClass];
    tFreeLists[sizeClass] = block;
}

void* dxPoolNewArray(std::size_t size) { return dxPoolNew(size); }
void dxPoolDeleteArray(void* p) noexcept { dxPoolDelete(p); }

#ifdef __EMSCRIPTEN__
// The names wasm-ld's --wrap gives ODE's calls of operator new(size_t), new[], delete and delete[].
extern "C" {
void* __wrap__Znwm(std::size_t size) { return dxPoolNew(size); }
void* __wrap__Znam(std::size_t size) { return dxPoolNew(size); }
void __wrap__ZdlPv(void* p) noexcept { dxPoolDelete(p); }
void __wrap__ZdaPv(void* p) noexcept { dxPoolDelete(p); }
}
#endif
