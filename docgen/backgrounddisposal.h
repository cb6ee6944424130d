#pragma once

#include <memory>
#include <system_error>
#include <thread>
#include <utility>

// Frees what a finished input leaves behind on a thread of its own. A header's model
// is tens of thousands of small objects, and freeing them took milliseconds at the
// point where the next input's pages wait for the thread that makes them. One
// disposal runs at a time: the next one, and the destructor, wait for it first.
class BackgroundDisposal {
public:
    BackgroundDisposal() = default;
    ~BackgroundDisposal() { wait(); }
    BackgroundDisposal(const BackgroundDisposal &) = delete;
    BackgroundDisposal &operator=(const BackgroundDisposal &) = delete;

    // Takes garbage and frees it on the thread; where no thread can be started, here.
    template <typename Garbage>
    void dispose(Garbage garbage) {
        wait();
        // The thread owns its copy of the lambda; when it cannot be started, that copy
        // and the garbage in it are freed before the exception leaves.
        try {
            thread_ = std::thread(
                [held = std::move(garbage)]() mutable { Garbage freed = std::move(held); });
        } catch (const std::system_error &) {
        }
    }
    void wait() {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread thread_;
};
