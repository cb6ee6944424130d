#pragma once

#include "docgen/headerparse.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class SourceBrowserObject;

// The documented declarations of the header whose pages are being made, prepared on a
// thread of their own in the order of their pages while the pages are made: the thread
// that makes the pages takes them ready, and the thread that parses the next header
// only parses. The thread stays at most a few hundred declarations ahead of the pages,
// so that the prepared ones held at a time stay few however long the header.
class PreparedAhead {
public:
    // Starts on the documented declarations of a parsed header (ParsedHeader::documented),
    // whose model must outlive this object; none when there are none or no thread can be
    // started.
    static std::unique_ptr<PreparedAhead>
    start(const std::vector<const SourceBrowserObject *> &documented);
    // Stops the thread; declarations it has not prepared are dropped.
    ~PreparedAhead();
    PreparedAhead(const PreparedAhead &) = delete;
    PreparedAhead &operator=(const PreparedAhead &) = delete;

    // Moves the prepared entity into out and returns true when the thread has prepared
    // it; false otherwise, and the caller prepares it. Entities are asked for in the
    // order of their pages.
    bool take(const SourceBrowserObject &entity, PreparedDeclaration &out);

private:
    struct Slot {
        const SourceBrowserObject *entity;
        PreparedDeclaration prepared;
    };
    PreparedAhead() = default;

    std::vector<Slot> slots_;         // the documented declarations, in page order
    std::atomic<size_t> prepared_{0}; // slots_[0, prepared_) are prepared
    std::atomic<size_t> next_{0}; // where the pages' thread looks first; the thread starts there
    std::atomic<bool> stopping_{false};
    // The thread waits here while it is far ahead of the pages, until next_ reaches
    // wakeAt_; the pages' thread takes the lock only while it waits.
    std::mutex mutex_;
    std::condition_variable room_;
    std::atomic<bool> waiting_{false};
    std::atomic<size_t> wakeAt_{0};
    std::thread thread_;

    void run();
};
