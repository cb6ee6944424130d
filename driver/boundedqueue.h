#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

// The one queue between the run's threads: items in the order pushed, at most capacity
// of them waiting, so that memory stays bounded however much one side outpaces the
// other. The consumer takes every waiting item at once, and is woken only when
// wakeAfter items wait, an urgent one is pushed or the queue is closed: waking it for
// every small item would cost more in switching threads than the item's work.
template <typename T>
class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity, std::size_t wakeAfter = 1)
        : capacity_(capacity < 1 ? 1 : capacity), wakeAfter_(wakeAfter < 1           ? 1
                                                             : wakeAfter > capacity_ ? capacity_
                                                                                     : wakeAfter) {}
    BoundedQueue(const BoundedQueue &) = delete;
    BoundedQueue &operator=(const BoundedQueue &) = delete;

    // Appends item, waiting while the queue is full; false, dropping item, once closed.
    bool push(T item, bool urgent = false) {
        std::unique_lock<std::mutex> lock(mutex_);
        notFull_.wait(lock, [this] { return closed_ || items_.size() < capacity_; });
        if (closed_)
            return false;
        items_.push_back(std::move(item));
        urgent_ = urgent_ || urgent;
        if (urgent_ || items_.size() >= wakeAfter_)
            notEmpty_.notify_one();
        return true;
    }

    // Moves every waiting item to the end of out, once there is a batch, an urgent item,
    // or the queue is closed; false when it is closed and nothing is left.
    bool popAll(std::deque<T> &out) {
        std::unique_lock<std::mutex> lock(mutex_);
        notEmpty_.wait(lock, [this] { return closed_ || urgent_ || items_.size() >= wakeAfter_; });
        if (items_.empty())
            return !closed_;
        if (out.empty())
            out.swap(items_);
        else
            for (T &item : items_)
                out.push_back(std::move(item));
        items_.clear();
        urgent_ = false;
        notFull_.notify_all();
        return true;
    }

    // No more items: the consumer takes what is left, then popAll() returns false. With
    // drop, what is left is dropped instead.
    void close(bool drop = false) {
        std::deque<T> dropped;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
            if (drop)
                dropped.swap(items_);
        }
        notEmpty_.notify_all();
        notFull_.notify_all();
    }

private:
    const std::size_t capacity_;
    const std::size_t wakeAfter_;
    std::mutex mutex_;
    std::condition_variable notEmpty_;
    std::condition_variable notFull_;
    std::deque<T> items_;
    bool urgent_ = false;
    bool closed_ = false;
};
