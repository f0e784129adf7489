#include "core/memory/ProcessHeap.h"

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

} // namespace kvr
