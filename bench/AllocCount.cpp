#include "AllocCount.h"

#include <cstdlib>
#include <new>

#include <ode/ode.h>

static unsigned long gProgramAllocs;
static unsigned long gOdeAllocs;

// Every form of the global operator new and delete is replaced, so that whatever allocates is
// counted and every block goes back the way it came (a sanitizer checks that).
static void* CountedNew(std::size_t size)
{
    ++gProgramAllocs;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size) { return CountedNew(size); }
void* operator new[](std::size_t size) { return CountedNew(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++gProgramAllocs;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

static void* CountedOdeAlloc(dsizeint size)
{
    ++gOdeAllocs;
    return std::malloc(size);
}

static void* CountedOdeRealloc(void* p, dsizeint, dsizeint size)
{
    ++gOdeAllocs;
    return std::realloc(p, size);
}

static void FreeOdeBlock(void* p, dsizeint)
{
    std::free(p);
}

void StartCountingOdeAllocations()
{
    dSetAllocHandler(CountedOdeAlloc);
    dSetReallocHandler(CountedOdeRealloc);
    dSetFreeHandler(FreeOdeBlock);
}

AllocCounts ReadAllocCounts()
{
    return {gProgramAllocs, gOdeAllocs};
}
