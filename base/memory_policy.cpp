#include "base/memory_policy.h"

#include <malloc.h>

void returnLargeBlocksToTheSystem() {
#ifdef M_MMAP_THRESHOLD
    mallopt(M_MMAP_THRESHOLD, 1 << 20);  // fixed: no longer raised as blocks are freed
#endif
}
