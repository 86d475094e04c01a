// Counting heap allocations: operator new (the program and the C++ library) and ODE's allocator.
#pragma once

struct AllocCounts {
    unsigned long program;
    unsigned long ode;
};

void StartCountingOdeAllocations();  // before the world is built, so frees match their allocations
AllocCounts ReadAllocCounts();
