#include "common/corespread.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Runs on the calling thread, moved to cpu alone and then allowed all of allowed
// again, as the kernel may leave a thread after a wake-up.
void startOn(int cpu, const cpu_set_t &allowed) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    ASSERT_EQ(sched_getcpu(), cpu);
    ASSERT_EQ(sched_setaffinity(0, sizeof allowed, &allowed), 0);
}

} // namespace

// A thread at work on the core of another one that works moves to a free core and keeps
// its affinity; one whose partner waits stays where it is.
TEST(CoreSpread, MovesOffTheCoreOfAnotherAtWork) {
    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    if (CPU_COUNT(&allowed) < 2)
        GTEST_SKIP() << "one core only";
    int first = 0;
    while (!CPU_ISSET(first, &allowed))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0)
        GTEST_SKIP() << "the affinity cannot be set here";
    ASSERT_EQ(sched_setaffinity(0, sizeof allowed, &allowed), 0);
    // The kernel may move a thread between its start and its look; such a run tells
    // nothing, and only a thread still on the first core is checked.
    CoreSpread spread(false); // moves whether or not other tests keep the cores busy
    std::thread([&] {
        startOn(first, allowed);
        spread.working();
    }).join(); // its place says it works on the first core still

    int before = -1, after = -1;
    cpu_set_t affinity;
    std::thread([&] {
        startOn(first, allowed);
        before = sched_getcpu();
        spread.working();
        after = sched_getcpu();
        sched_getaffinity(0, sizeof affinity, &affinity);
    }).join();
    if (before == first) {
        EXPECT_NE(after, first);
    }
    EXPECT_TRUE(CPU_ISSET(after, &allowed));
    EXPECT_TRUE(CPU_EQUAL(&affinity, &allowed)) << "the affinity is given back whole";

    CoreSpread idle(false);
    std::thread([&] {
        startOn(first, allowed);
        idle.working();
        idle.waiting();
    }).join();
    std::thread([&] {
        startOn(first, allowed);
        before = sched_getcpu();
        idle.working();
        after = sched_getcpu();
    }).join();
    if (before == first) {
        EXPECT_EQ(after, first);
    }
}
