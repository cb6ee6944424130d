#include "driver/boundedqueue.h"
#include "driver/stage.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Items cross in the order pushed, however small the queue and however the consumer
// is woken, and the consumer ends once the queue is closed and drained.
TEST(BoundedQueue, KeepsOrderAndEndsWhenClosed) {
    struct Case {
        std::size_t capacity;
        std::size_t wakeAfter;
    };
    for (const Case c : {Case{1, 1}, Case{8, 1}, Case{8, 8}, Case{64, 100}}) {
        BoundedQueue<int> queue(c.capacity, c.wakeAfter);
        std::vector<int> received;
        std::thread consumer([&] {
            std::deque<int> items;
            while (queue.popAll(items)) {
                received.insert(received.end(), items.begin(), items.end());
                items.clear();
            }
        });
        constexpr int count = 5000;
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(queue.push(i, i % 97 == 0));
        queue.close();
        consumer.join();
        ASSERT_EQ(received.size(), std::size_t(count)) << c.capacity << '/' << c.wakeAfter;
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(received[std::size_t(i)], i);
        EXPECT_FALSE(queue.push(count)) << "a closed queue takes no more";
    }
}

TEST(BoundedQueue, DroppedItemsAreNotHandedOut) {
    BoundedQueue<int> queue(8, 8);
    queue.push(1);
    queue.push(2);
    queue.close(true);
    std::deque<int> items;
    EXPECT_FALSE(queue.popAll(items));
    EXPECT_TRUE(items.empty());
}

// A stage with a thread handles its items as one without does: in the order given.
TEST(Stage, ThreadedAndInlineAgree) {
    for (const bool threaded : {false, true}) {
        std::vector<int> handled;
        {
            Stage<int> stage([&handled](int &item) { handled.push_back(item); }, threaded, 4, 2);
            for (int i = 0; i < 1000; ++i)
                stage.push(i);
            stage.finish();
        }
        ASSERT_EQ(handled.size(), 1000u) << threaded;
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(handled[std::size_t(i)], i);
    }
}

} // namespace
