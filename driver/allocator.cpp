#include "driver/allocator.h"

#ifdef QUILLGEN_MIMALLOC
#include <mimalloc.h>
#endif

void tuneAllocator() {
#ifdef QUILLGEN_MIMALLOC
    // A run fills tens of megabytes with text that it reads once or twice: in pages of
    // 2 MiB the kernel takes one fault where it took 512, and on a manual of thousands
    // of pages those faults were a sixth of the run. MIMALLOC_LARGE_OS_PAGES=0 in the
    // environment still says otherwise.
    mi_option_set_default(mi_option_large_os_pages, 1);
#endif
}
