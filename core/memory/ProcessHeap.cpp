#include "core/memory/ProcessHeap.h"

// Defines __GLIBC__ (through <features.h>): without a C library header before the check below,
// the function compiles to nothing.
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace kvr {

void ProcessHeap::fixThresholds()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, MappedFrom);
    mallopt(M_TRIM_THRESHOLD, KeptUnused);
#endif
}

void ProcessHeap::releaseFreePages()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace kvr
