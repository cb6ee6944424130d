#pragma once

#include "driver/boundedqueue.h"
#include "driver/interrupt.h"

#include <deque>
#include <functional>
#include <thread>
#include <utility>

// One stage of the run: handles items one at a time in the order given, on a thread of
// its own that it takes from a BoundedQueue or, when the run has one thread, at once on
// the caller's. Either way the items are handled in the same order with the same
// effects, so the two runs agree byte for byte.
template <typename Item>
class Stage {
public:
    using Handler = std::function<void(Item &)>;

    // Starts the thread when threaded (std::system_error when none can be had).
    Stage(Handler handler, bool threaded, std::size_t capacity, std::size_t wakeAfter)
        : handler_(std::move(handler)), queue_(capacity, wakeAfter) {
        if (threaded)
            thread_ = std::thread([this] { runThreadBody([this] { run(); }); });
    }
    // Drops what waits and stops: a run that stops early handles no more.
    ~Stage() {
        queue_.close(true);
        if (thread_.joinable())
            thread_.join();
    }
    Stage(const Stage &) = delete;
    Stage &operator=(const Stage &) = delete;

    // Hands item to the stage; urgent wakes its thread at once.
    void push(Item item, bool urgent = false) {
        if (thread_.joinable())
            queue_.push(std::move(item), urgent);
        else
            handler_(item);
    }

    // Handles what waits and stops the thread.
    void finish() {
        queue_.close();
        if (thread_.joinable())
            thread_.join();
    }

private:
    void run() {
        std::deque<Item> items;
        while (queue_.popAll(items)) {
            for (Item &item : items)
                handler_(item);
            items.clear(); // what the items hold is freed outside the lock
        }
    }

    Handler handler_;
    BoundedQueue<Item> queue_;
    std::thread thread_;
};
