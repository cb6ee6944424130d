#pragma once

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

// Keeps the threads that work side by side in a run (the page thread, the writer, the
// thread that parses ahead) on cores of their own while there are cores enough. They
// hand work to each other and sleep while they wait for it, and on a machine of two
// cores the kernel woke one on the core where another worked and left it there: for
// stretches of ten milliseconds and more two of them took turns on one core while the
// other stood idle. So a thread that finds itself at work on the core of another one
// moves to a core that none of them works on, when it may use one and the machine has
// a core to spare: it narrows its own affinity for a moment, which moves it at once, and
// widens it again. Nothing is pinned: the kernel stays free to place the threads as it
// sees fit.
class CoreSpread {
public:
    // busyCheck: whether a thread stays put while the machine has no idle core; off,
    // only for tests, which may run beside others.
    explicit CoreSpread(bool busyCheck = true) : busyCheck_(busyCheck) {
        for (std::atomic<int> &place : places_)
            place.store(-1, std::memory_order_relaxed);
    }

    // The run's; the threads of a run share it.
    static CoreSpread &instance() {
        static CoreSpread spread;
        return spread;
    }

    // The calling thread is at work: after a wait, at its start, and now and then.
    void working() {
        std::atomic<int> &mine = place();
        const int cpu = sched_getcpu();
        if (cpu < 0 || cpu >= CPU_SETSIZE) {
            mine.store(-1, std::memory_order_relaxed);
            return;
        }
        cpu_set_t others;
        CPU_ZERO(&others);
        for (const std::atomic<int> &place : places_) {
            const int at = place.load(std::memory_order_relaxed);
            if (&place != &mine && at >= 0 && at < CPU_SETSIZE)
                CPU_SET(at, &others);
        }
        mine.store(CPU_ISSET(cpu, &others) ? moveOff(cpu, others) : cpu, std::memory_order_relaxed);
    }

    // The calling thread goes to wait for another (or ends).
    void waiting() { place().store(-1, std::memory_order_relaxed); }

    // A wait on a condition, between the two.
    template <typename Condition, typename Lock, typename Ready>
    static void wait(Condition &condition, Lock &lock, Ready ready) {
        if (ready())
            return;
        instance().waiting();
        condition.wait(lock, ready);
        instance().working();
    }

private:
    // The calling thread's place, taken at its first call. Threads beyond the places
    // share one that no thread looks at: they may move off the others' cores, and the
    // others never move for them.
    std::atomic<int> &place() {
        thread_local const CoreSpread *owner = nullptr;
        thread_local std::atomic<int> *mine = nullptr;
        if (owner != this) {
            const int index = taken_.fetch_add(1, std::memory_order_relaxed);
            mine = index < Places ? &places_[index] : &unwatched_;
            owner = this;
        }
        return *mine;
    }

    // Moves the calling thread from cpu to a core that none of the others works on, if it
    // may use one; the core it is on then.
    int moveOff(int cpu, const cpu_set_t &others) const {
        cpu_set_t allowed;
        if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
            return cpu;
        cpu_set_t free; // allowed and not the others'
        CPU_XOR(&free, &allowed, &others);
        CPU_AND(&free, &free, &allowed);
        CPU_CLR(cpu, &free);
        if (CPU_COUNT(&free) == 0 || (busyCheck_ && runnable() > CPU_COUNT(&allowed)) ||
            sched_setaffinity(0, sizeof free, &free) != 0)
            return cpu;
        sched_setaffinity(0, sizeof allowed, &allowed);
        return sched_getcpu();
    }

    // The threads of the whole system that run or wait to, this one included, as the
    // kernel counts them at this moment; a large number when it cannot be read. A busy
    // machine (a parallel build) has no idle core to move to: there a move only upsets
    // the kernel's own balance, and made runs of two at once a twentieth slower.
    static int runnable() {
        const int fd = ::open("/proc/loadavg", O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return INT_MAX;
        char text[128];
        const ssize_t size = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        if (size <= 0)
            return INT_MAX;
        text[size] = 0;
        // "0.52 0.58 0.59 3/278 12345": the fourth field counts them before its slash.
        const char *at = text;
        for (int field = 0; field < 3; ++field) {
            at = std::strchr(at, ' ');
            if (!at)
                return INT_MAX;
            ++at;
        }
        return std::atoi(at);
    }

    static constexpr int Places = 4;
    std::atomic<int> places_[Places]; // where each thread works; -1 while it waits
    std::atomic<int> unwatched_{-1};
    const bool busyCheck_;
    std::atomic<int> taken_{0};
};
