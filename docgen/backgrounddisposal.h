#pragma once

#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

// Frees what a finished input leaves behind on a thread of its own. A header's model
// is tens of thousands of small objects, and freeing them took milliseconds at the
// point where the next input's pages wait for the thread that makes them. One
// disposal runs at a time: the next one, and the destructor, wait for it first.
//
// A caller with a thread of its own that made the model may have the freeing done
// there instead (sendTo): freed by the thread that allocated it, memory goes straight
// back to that thread's heap, where another thread's freeing leaves it queued for the
// owner to collect, block by block.
class BackgroundDisposal {
public:
    // Takes a freeing to run in its turn, or declines it (false) and leaves it untouched.
    using Sender = std::function<bool(std::function<void()> &freeing)>;

    BackgroundDisposal() = default;
    ~BackgroundDisposal() { wait(); }
    BackgroundDisposal(const BackgroundDisposal &) = delete;
    BackgroundDisposal &operator=(const BackgroundDisposal &) = delete;

    // What the last input leaves is kept rather than freed: the process ends after it,
    // and the run would otherwise wait at its end for the freeing, and for the
    // allocator to take back what one thread freed of another's.
    void keepWhatIsLeft() { keep_ = true; }

    // Where the garbage goes from now on; declined, it is freed on a thread of its own.
    void sendTo(Sender sender) { sender_ = std::move(sender); }

    // Takes garbage and frees it on the thread; where no thread can be started, here.
    template <typename Garbage>
    void dispose(Garbage garbage) {
        wait();
        if (keep_) {
            keptAtExit() = std::make_shared<Garbage>(std::move(garbage));
            return;
        }
        // Held by a shared pointer, as a function is copied; the freeing moves it out, so
        // it is freed where the freeing runs. Where no thread can be started, the copy
        // that the thread would have owned is freed before the exception leaves, and the
        // garbage with it.
        std::function<void()> freeing = [held = std::make_shared<Garbage>(std::move(garbage))] {
            Garbage freed = std::move(*held);
        };
        if (sender_ && sender_(freeing))
            return;
        try {
            thread_ = std::thread(std::move(freeing));
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
    Sender sender_;
    bool keep_ = false;
};
