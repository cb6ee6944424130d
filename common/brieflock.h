#pragma once

#include <mutex>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

// Takes a lock that its holders keep for a few instructions at a time, such as the
// queue between the thread that makes the pages and a helper. A thread that sleeps on
// such a lock is woken onto a processor that is busy with the other threads, where it
// waits for up to a scheduling slice: on two cores, a manual's pages waited a quarter
// of the run that way. So the lock is tried for a while before the thread sleeps.
inline std::unique_lock<std::mutex> lockBriefly(std::mutex &mutex) {
    // Ten microseconds or so: longer than any holder keeps it, unless it was preempted.
    constexpr int tries = 256;
    for (int attempt = 0; attempt < tries; ++attempt) {
        if (mutex.try_lock())
            return std::unique_lock<std::mutex>(mutex, std::adopt_lock);
#if defined(__x86_64__) || defined(__i386__)
        _mm_pause();
#endif
    }
    return std::unique_lock<std::mutex>(mutex);
}
