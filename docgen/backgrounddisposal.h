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

    // What the last input leaves is kept rather than freed: the process ends after it,
    // and the run would otherwise wait at its end for the freeing, and for the
    // allocator to take back what one thread freed of another's.
    void keepWhatIsLeft() { keep_ = true; }

    // Takes garbage and frees it on the thread; where no thread can be started, here.
    template <typename Garbage>
    void dispose(Garbage garbage) {
        wait();
        if (keep_) {
            keptAtExit() = std::make_shared<Garbage>(std::move(garbage));
            return;
        }
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
    // Kept garbage stays reachable, so leak checkers see it in use; a process that
    // runs again (as tests do) frees the earlier run's when it keeps its own. The
    // holder is never destroyed: that would free the garbage at exit after all.
    static std::shared_ptr<void> &keptAtExit() {
        static auto *const kept = new std::shared_ptr<void>;
        return *kept;
    }

    std::thread thread_;
    bool keep_ = false;
};
