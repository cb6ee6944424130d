// How the allocator serves the run; nothing calls it: it is set as the program loads.

#ifdef QUILLGEN_MIMALLOC
#include "driver/interrupt.h"

#include <mimalloc.h>

#include <cerrno>
#include <cstring>

namespace {

bool named(char **environment, const char *variable) {
    const size_t length = std::strlen(variable);
    for (char **entry = environment; entry && *entry; ++entry)
        if (std::strncmp(*entry, variable, length) == 0 && (*entry)[length] == '=')
            return true;
    return false;
}

// A run fills tens of megabytes with text that it reads once or twice: in pages of
// 2 MiB the kernel takes one fault where it would take 512. Each thread's first
// segments are committed at once too, or they stay in 4 KiB pages. The price is a few
// megabytes more at the peak. What the environment names stays as it says.
//
// Set before any library's constructor: mimalloc reads its options as it loads, and
// the libraries loaded after it allocate their first segment at once. The C library
// passes the environment along, as getenv() may not be ready yet.
// mimalloc, written in C, cannot throw: where it finds no memory it reports the error
// and then aborts. The report ends the run as running out of memory anywhere does.
void onAllocatorError(int error, void *) {
    if (error == ENOMEM)
        exitOutOfMemory();
}

void tuneEarly(int, char **, char **environment) {
    mi_register_error(onAllocatorError, nullptr);
    if (!named(environment, "MIMALLOC_LARGE_OS_PAGES"))
        mi_option_set(mi_option_large_os_pages, 1);
    if (!named(environment, "MIMALLOC_EAGER_COMMIT_DELAY"))
        mi_option_set(mi_option_eager_commit_delay, 0);
}

} // namespace

__attribute__((section(".preinit_array"),
               used)) static void (*const tuneEarlyEntry)(int, char **, char **) = tuneEarly;
#endif
