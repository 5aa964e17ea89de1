// Counts the program's heap allocations through operator new and new[], which a test that links
// this replaces for the whole process.
#pragma once

#include <cstddef>

struct AllocationCounts {
    long objects;  // operator new
    long arrays;   // operator new[]
    long arrays96; // operator new[] of 96 bytes: one box's corner array
};

AllocationCounts CountedAllocations();
