#pragma once

#include "common/brieflock.h"
#include "docgen/aheadworker.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

// How far a thread that works ahead of the page thread may get: at most a window of
// items past the first one the pages have not gone past, so that what waits for its
// page stays small however long the text. A worker that reaches the window's end waits
// until the pages have taken half of it, so that it is woken once a half window and
// not once a page; the page thread takes the lock only while the worker waits.
class AheadWindow {
public:
    // A worker given here is woken through it (see aheadOf), not waited for here.
    explicit AheadWindow(std::size_t size, AheadWorker *worker = nullptr)
        : size_(size), worker_(worker) {}

    // The worker, about to work on item i: waits while i is a window or more past
    // taken(), and returns whether it waited (the pages have moved on meanwhile).
    bool waitWhileAhead(std::size_t i) {
        if (i < taken_.load() + size_)
            return false;
        std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
        wakeAt_ = i - size_ / 2;
        waiting_ = true;
        room_.wait(lock, [this] { return stopped_ || taken_.load() >= wakeAt_.load(); });
        waiting_ = false;
        return true;
    }

    // For the worker given at construction, which has other work and must not wait
    // here: whether item i is a window or more past taken(). When it is, the worker is
    // woken once the pages have taken half of the window.
    bool aheadOf(std::size_t i) {
        if (i < taken_.load() + size_)
            return false;
        wakeAt_ = i - size_ / 2;
        waiting_ = true;
        // The pages may have moved on before they could see waiting_.
        if (taken_.load() >= wakeAt_.load() && waiting_.exchange(false))
            return false;
        return true;
    }

    // The page thread has gone past the first `taken` items. Stored before waiting_ is
    // read, as the worker sets waiting_ before it reads taken_ again: one of the two
    // sees the other's, and no wake-up is lost.
    void take(std::size_t taken) {
        taken_.store(taken);
        if (waiting_.load() && taken >= wakeAt_.load()) {
            if (worker_) {
                // Woken once: the worker reads on from here by itself.
                if (waiting_.exchange(false))
                    worker_->wake();
                return;
            }
            // Taken and let go: the worker is then either waiting or yet to read taken_.
            lockBriefly(mutex_);
            room_.notify_one();
        }
    }
    std::size_t taken() const { return taken_.load(std::memory_order_relaxed); }

    // Lets a waiting worker go for good: it stops at its next look.
    void stop() {
        {
            const std::unique_lock<std::mutex> lock = lockBriefly(mutex_);
            stopped_ = true;
        }
        room_.notify_one();
    }
    bool stopped() const { return stopped_; }

private:
    const std::size_t size_;
    AheadWorker *const worker_;
    // Written by the page thread once an item and read by the worker: on a cache line
    // of its own, with what the worker writes only when it waits.
    alignas(64) std::atomic<std::size_t> taken_{0};
    std::atomic<bool> waiting_{false};
    std::atomic<std::size_t> wakeAt_{0};
    std::atomic<bool> stopped_{false};
    alignas(64) std::mutex mutex_;
    std::condition_variable room_;
};
