#pragma once

#include "docgen/aheadworker.h"

#include <atomic>
#include <cstddef>

// How far a worker that works ahead of the page thread may get: at most a window of
// items past the first one the pages have not gone past, so that what waits for its
// page stays small however long the text. A worker that reaches the window's end is
// woken (AheadWorker::wake) once the pages have taken half of it, so that it is woken
// once a half window and not once a page.
class AheadWindow {
public:
    // worker: the worker to wake; none for items that are all ready before the pages.
    AheadWindow(std::size_t size, AheadWorker *worker) : size_(size), worker_(worker) {}

    // The worker, about to work on item i: whether i is a window or more past taken(),
    // in which case it is woken once the pages have taken half of the window.
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
        // Woken once: the worker reads on from here by itself.
        if (waiting_.load() && taken >= wakeAt_.load() && waiting_.exchange(false))
            worker_->wake();
    }
    std::size_t taken() const { return taken_.load(std::memory_order_relaxed); }

private:
    const std::size_t size_;
    AheadWorker *const worker_;
    // Written by the page thread once an item and read by the worker: on a cache line
    // of its own, with what the worker writes only when it reaches the window's end.
    alignas(64) std::atomic<std::size_t> taken_{0};
    std::atomic<bool> waiting_{false};
    std::atomic<std::size_t> wakeAt_{0};
};
